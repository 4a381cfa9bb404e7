#include "analyses/ui/Allarmanti.h"

#include "common/Messages.h"

#include "analyses/AnalysisSearch.h"
#include "analyses/ui/AnalisiCliniche.h"
#include "analyses/ui/LineList.h"
#include "analyses/ui/ToolLayout.h"
#include "app/ui/AppContext.h"
#include "common/CommonSettings.h"
#include "common/Messages.h"
#include "common/Text.h"
#include "common/ui/FindInList.h"
#include "common/ui/ListSummary.h"
#include "report/ListTemplate.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>

using namespace Qt::StringLiterals;

namespace clinora {

TfrmAllarmanti::TfrmAllarmanti(AppContext &ctx, QWidget *parent)
    : DialogScreen(ctx, parent, u" Riepilogo esami clinici con risultati allarmanti"_s, QSize(862, 560),
                   Centre::Screen),
      repRiepilogo(report::makeListTemplate())
{
    setObjectName(u"frmAllarmanti"_s);
    settings::apply();

    QWidget *pan = tools::panel(this, u"panAllarmanti"_s, QRect(8, 8, 846, 544));
    tools::banner(pan, u"imgBanner"_s, QRect(14, 12, 818, 72), art::Glyph::Warning,
                  u"Risultati allarmanti"_s,
                  u"Gli esami clinici segnati come allarmanti, in ordine di data del prelievo."_s);
    tools::textLine(pan, u"lblIstruzioni1"_s,
                    u"Immettere una o più parole consecutive presenti nella scheda in elenco da cercare e premere il "
                    u"pulsante Trova."_s,
                    QRect(22, 92, 810, 18));
    tools::textLine(pan, u"lblIstruzioni2"_s,
                    u"Per spostarsi sulla voce successiva contenente la stessa chiave di ricerca, fare di nuovo clic "
                    u"su Trova."_s,
                    QRect(22, 110, 810, 18));
    const tools::FindRow find = tools::findRow(pan, 22, 136, 801);
    txtTrova = find.txtTrova;
    btnTrova = find.btnTrova;
    lstRecords = new LineList(pan, u"lstRecords"_s, u"Esami clinici con risultati allarmanti"_s,
                              QRect(22, 178, 801, 273), 1600);
    tools::textLine(pan, u"lblDoppioClic"_s,
                    u"Per richiamare i dati di una scheda, selezionarla con un doppio clic."_s, QRect(22, 458, 801, 20),
                    tools::kCrimson, true);
    btnChiudi = tools::button(pan, u"btnChiudi"_s, u"Chiudi"_s, QRect(22, 494, 150, 36));
    btnStampa = tools::button(pan, u"btnStampa"_s, u"Stampa"_s, QRect(673, 494, 150, 36));

    setTabOrder(txtTrova, btnTrova);
    setTabOrder(btnTrova, lstRecords);
    setTabOrder(lstRecords, btnChiudi);
    setTabOrder(btnChiudi, btnStampa);

    FindInList::attach(ctx.services, ctx.findKeys, FindScreen::Allarmanti, this, txtTrova, btnTrova, lstRecords);
    lstRecords->setChooseAction([this] { lstRecordsDblClick(); });
    connect(btnStampa, &QPushButton::clicked, this, &TfrmAllarmanti::btnStampaClick);
    connect(btnChiudi, &QPushButton::clicked, this, &TfrmAllarmanti::btnChiudiClick);
}

TfrmAllarmanti::~TfrmAllarmanti() = default;

QString TfrmAllarmanti::archivePath() const
{
    return text::trimmed(m_ctx.screens.frmAnalisiCliniche->lblFile->text());
}

void TfrmAllarmanti::showEvent(QShowEvent *event)
{
    DialogScreen::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TfrmAllarmanti::FormShow()
{
    txtTrova->clear();
    // Built once, from the archive as saved. An archive that fails part way
    // shows the cards read before the failure, and says so: an empty or
    // short list must not pass for "no alarming results".
    ListLines lines;
    const bool read = bool(alarmingResultLines(archivePath(), lines));
    lstRecords->setLines(std::move(lines));
    txtTrova->setFocus(Qt::OtherFocusReason);
    if (!read)
        m_ctx.services.plain(this, msg::kAccessError.toString());
}

void TfrmAllarmanti::btnStampaClick()
{
    const QString patient = text::trimmed(m_ctx.screens.frmAnalisiCliniche->txtPaziente->text());
    ListSummaryPrint(m_ctx.services, *repRiepilogo,
                     u"Riepilogo esami clinici di "_s + patient + u" con risultati allarmanti"_s, lstRecords);
}

void TfrmAllarmanti::lstRecordsDblClick()
{
    if (lstRecords->selectedRow() >= 0) {
        CardOfLine found;
        (void)findCardOfLine(archivePath(), lstRecords->selectedLine(), found);
        if (found.number > 0)
            m_ctx.screens.frmAnalisiCliniche->showRecord(found.record, found.number);
    }
    accept();
}

void TfrmAllarmanti::btnChiudiClick() { reject(); }

void TfrmAllarmanti::done(int result)
{
    lstRecords->clearLines();
    DialogScreen::done(result);
}

} // namespace clinora
