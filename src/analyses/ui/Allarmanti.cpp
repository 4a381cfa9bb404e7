#include "analyses/ui/Allarmanti.h"

#include "common/Messages.h"

#include "analyses/AnalysisSearch.h"
#include "analyses/ReferenceRange.h"
#include "analyses/ui/AnalysisCardHook.h"
#include "analyses/ui/FuoriIntervallo.h"
#include "analyses/ui/LineList.h"
#include "analyses/ui/ToolLayout.h"
#include "common/CommonSettings.h"
#include "common/Messages.h"
#include "common/Text.h"
#include "common/ui/FindInList.h"
#include "common/ui/ListSummary.h"
#include "common/ui/ScreenContext.h"
#include "report/ListTemplate.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>

using namespace Qt::StringLiterals;

namespace clinora {

TfrmAllarmanti::TfrmAllarmanti(ScreenContext &ctx, QWidget *parent)
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
    // A result outside its range that nobody marked is a slip to be seen.
    lblFuoriIntervallo = tools::textLine(pan, u"lblFuoriIntervallo"_s, QString(), QRect(184, 490, 370, 44),
                                         tools::kCrimson, true);
    lblFuoriIntervallo->setWordWrap(true);
    lblFuoriIntervallo->setAlignment(Qt::AlignCenter);
    btnFuoriIntervallo = tools::button(pan, u"btnFuoriIntervallo"_s, u"Elenca"_s, QRect(563, 494, 100, 36));
    btnFuoriIntervallo->setAccessibleName(u"Elenca i risultati fuori dall'intervallo"_s);
    lblFuoriIntervallo->hide();
    btnFuoriIntervallo->hide();

    setTabOrder(txtTrova, btnTrova);
    setTabOrder(btnTrova, lstRecords);
    setTabOrder(lstRecords, btnChiudi);
    setTabOrder(btnChiudi, btnFuoriIntervallo);
    setTabOrder(btnFuoriIntervallo, btnStampa);

    FindInList::attach(ctx.services, ctx.findKeys, FindScreen::Allarmanti, this, txtTrova, btnTrova, lstRecords);
    lstRecords->setChooseAction([this] { lstRecordsDblClick(); });
    connect(btnStampa, &QPushButton::clicked, this, &TfrmAllarmanti::btnStampaClick);
    connect(btnChiudi, &QPushButton::clicked, this, &TfrmAllarmanti::btnChiudiClick);
    connect(btnFuoriIntervallo, &QPushButton::clicked, this, &TfrmAllarmanti::btnFuoriIntervalloClick);
}

TfrmAllarmanti::~TfrmAllarmanti() = default;

QString TfrmAllarmanti::archivePath() const
{
    const AnalysisCardHook *card = m_ctx.hook<AnalysisCardHook>(caller::kAnalysisCard);
    return card ? text::trimmed(card->lblFile->text()) : QString();
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
    const bool read = bool(alarmingResultLines(archivePath(), lines, m_unmarked));
    lstRecords->setLines(std::move(lines));
    const qsizetype n = m_unmarked.size();
    const QString flag = unmarkedOutsideCount(n);
    lblFuoriIntervallo->setText(n > 0 ? flag : QString());
    lblFuoriIntervallo->setVisible(n > 0);
    btnFuoriIntervallo->setVisible(n > 0);
    btnFuoriIntervallo->setAccessibleDescription(n > 0 ? flag : QString());
    txtTrova->setFocus(Qt::OtherFocusReason);
    if (!read)
        m_ctx.services.plain(this, msg::kAccessError.toString());
}

void TfrmAllarmanti::btnFuoriIntervalloClick()
{
    QString chosen;
    m_ctx.openDialog<TfrmFuoriIntervallo>(this, [&](TfrmFuoriIntervallo &d) {
        d.setLines(m_unmarked.toStringList());
        connect(&d, &QDialog::accepted, this, [&] { chosen = d.chosenLine(); });
    });
    if (chosen.isEmpty())
        return;
    loadCard(chosen);
    accept();
}

void TfrmAllarmanti::loadCard(const QString &line)
{
    CardOfLine found;
    (void)findCardOfLine(archivePath(), line, found);
    const AnalysisCardHook *card = m_ctx.hook<AnalysisCardHook>(caller::kAnalysisCard);
    if (found.number > 0 && card)
        card->showRecord(found.record, found.number);
}

void TfrmAllarmanti::btnStampaClick()
{
    const AnalysisCardHook *card = m_ctx.hook<AnalysisCardHook>(caller::kAnalysisCard);
    const QString patient = card ? text::trimmed(card->txtPaziente->text()) : QString();
    ListSummaryPrint(m_ctx.services, *repRiepilogo,
                     u"Riepilogo esami clinici di "_s + patient + u" con risultati allarmanti"_s, lstRecords);
}

void TfrmAllarmanti::lstRecordsDblClick()
{
    if (lstRecords->selectedRow() >= 0)
        loadCard(lstRecords->selectedLine());
    accept();
}

void TfrmAllarmanti::btnChiudiClick() { reject(); }

void TfrmAllarmanti::done(int result)
{
    lstRecords->clearLines();
    DialogScreen::done(result);
}

} // namespace clinora
