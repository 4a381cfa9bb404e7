#include "analyses/ui/ImportaPresc.h"

#include "analyses/FrequentExams.h"
#include "analyses/ui/AnalysisCardHook.h"
#include "analyses/ui/LineList.h"
#include "analyses/ui/ToolLayout.h"
#include "common/CommonSettings.h"
#include "common/ui/FindInList.h"
#include "common/ui/ListSummary.h"
#include "common/ui/ScreenContext.h"
#include "report/ListTemplate.h"

#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>

using namespace Qt::StringLiterals;

namespace clinora {

TfrmImportaPresc::TfrmImportaPresc(ScreenContext &ctx, QWidget *parent)
    : DialogScreen(ctx, parent, u" Importazione dati da elenco esami frequenti"_s, QSize(862, 560), Centre::Screen),
      repRiepilogo(report::makeListTemplate())
{
    setObjectName(u"frmImportaPresc"_s);
    settings::apply();

    QWidget *pan = tools::panel(this, u"panImporta"_s, QRect(8, 8, 846, 544));
    tools::banner(pan, u"imgBanner"_s, QRect(14, 12, 818, 72), art::Glyph::Import,
                  u"Importazione da elenco esami frequenti"_s,
                  u"Esame, unità di misura e valori di riferimento passano nella scheda corrente."_s);
    tools::textLine(pan, u"lblIstruzioni1"_s,
                    u"Immettere una o più parole consecutive presenti nella descrizione dell'esame da importare e "
                    u"premere il pulsante Trova."_s,
                    QRect(22, 92, 810, 18));
    tools::textLine(pan, u"lblIstruzioni2"_s,
                    u"Per spostarsi sulla voce successiva contenente la stessa chiave di ricerca, fare di nuovo clic "
                    u"su Trova."_s,
                    QRect(22, 110, 810, 18));
    const tools::FindRow find = tools::findRow(pan, 22, 136, 801);
    txtTrova = find.txtTrova;
    btnTrova = find.btnTrova;
    lstRecords = new LineList(pan, u"lstRecords"_s, u"Elenco esami frequenti"_s, QRect(22, 178, 801, 273), 1500);
    tools::textLine(pan, u"lblDoppioClic"_s,
                    u"Per richiamare i dati di una scheda, selezionarla con un doppio clic."_s, QRect(22, 458, 801, 20),
                    tools::kCrimson, true);
    btnChiudi = tools::button(pan, u"btnChiudi"_s, u"Chiudi"_s, QRect(22, 494, 150, 36));
    btnStampa = tools::button(pan, u"btnStampa"_s, u"Stampa"_s, QRect(673, 494, 150, 36));

    setTabOrder(txtTrova, lstRecords);
    setTabOrder(lstRecords, btnStampa);
    setTabOrder(btnStampa, btnTrova);
    setTabOrder(btnTrova, btnChiudi);

    // This dialog's find key lasts for the whole run: a reopened list goes on from the line last found.
    FindInList::attach(ctx.services, ctx.findKeys, FindScreen::ImportaPresc, this, txtTrova, btnTrova, lstRecords);
    lstRecords->setChooseAction([this] { lstRecordsDblClick(); });
    connect(btnStampa, &QPushButton::clicked, this, &TfrmImportaPresc::btnStampaClick);
    connect(btnChiudi, &QPushButton::clicked, this, &TfrmImportaPresc::btnChiudiClick);
}

TfrmImportaPresc::~TfrmImportaPresc() = default;

void TfrmImportaPresc::showEvent(QShowEvent *event)
{
    DialogScreen::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TfrmImportaPresc::FormShow()
{
    txtTrova->clear();
    // A list that cannot be read shows empty.
    lstRecords->setLines(readFrequentExams(m_ctx.services.appFolder).value_or(QStringList()));
    txtTrova->setFocus(Qt::OtherFocusReason);
}

void TfrmImportaPresc::lstRecordsDblClick()
{
    const int row = lstRecords->selectedRow();
    if (row >= 0) {
        const FrequentExam exam = splitFrequentExamLine(lstRecords->selectedLine());
        // The list always fills the analysis card's exam.
        if (const AnalysisCardHook *card = m_ctx.hook<AnalysisCardHook>(caller::kAnalysisCard)) {
            card->txtEsame->setText(exam.exam);
            card->txtUM->setText(exam.unit);
            card->txtRife->setText(exam.range);
        }
    }
    accept();
}

void TfrmImportaPresc::btnStampaClick()
{
    ListSummaryPrint(m_ctx.services, *repRiepilogo, u"Riepilogo esami frequenti"_s, lstRecords);
}

void TfrmImportaPresc::btnChiudiClick() { reject(); }

void TfrmImportaPresc::done(int result)
{
    lstRecords->clearLines();
    DialogScreen::done(result);
}

} // namespace clinora
