#include "analyses/ui/ListaPresc.h"

#include "analyses/FrequentExams.h"
#include "analyses/ResultLine.h"
#include "analyses/ui/LineList.h"
#include "analyses/ui/ToolLayout.h"
#include "common/CommonSettings.h"
#include "common/Text.h"
#include "common/ui/Behaviours.h"
#include "common/ui/ListSummary.h"
#include "common/ui/ScreenContext.h"
#include "common/ui/Widgets.h"
#include "report/ListTemplate.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>

using namespace Qt::StringLiterals;

namespace clinora {

TfrmListaPresc::TfrmListaPresc(ScreenContext &ctx, QWidget *parent)
    : DialogScreen(ctx, parent, u" Gestione elenco esami frequenti"_s, QSize(862, 560), Centre::Screen),
      repRiepilogo(report::makeListTemplate())
{
    setObjectName(u"frmListaPresc"_s);
    settings::apply();

    QWidget *pan = tools::panel(this, u"panElenco"_s, QRect(8, 8, 846, 544));
    tools::banner(pan, u"imgIstruzioni"_s, QRect(14, 12, 818, 72), art::Glyph::Booklet,
                  u"Elenco esami frequenti"_s,
                  u"Indicare esame, unità di misura e valori di riferimento, poi premere Aggiungi all'elenco."_s);

    // The row of the three fields and "Aggiungi all'elenco".
    constexpr int kCaptionY = 94, kFieldY = 114, kFieldH = 32;
    txtEsame = tools::input(pan, u"txtEsame"_s, QRect(22, kFieldY, 300, kFieldH), kFrequentExamWidth);
    txtUM = tools::input(pan, u"txtUM"_s, QRect(332, kFieldY, 140, kFieldH), kFrequentUnitWidth);
    txtRife = tools::input(pan, u"txtRife"_s, QRect(482, kFieldY, 150, kFieldH), kFrequentRangeWidth);
    const QFont captionFont = designFont(u"Verdana"_s, 9, true);
    const std::pair<QLineEdit *, QString> captions[] = {
        {txtEsame, u"Esame:"_s}, {txtUM, u"U.M."_s}, {txtRife, u"Valori di riferimento:"_s}};
    for (const auto &[field, text] : captions) {
        QLabel *l = captionFor(pan, field, text, captionFont);
        l->setGeometry(field->x() + 1, kCaptionY, field->width(), 18);
    }
    btnTrova = tools::button(pan, u"btnTrova"_s, u"Aggiungi all'elenco"_s, QRect(642, kFieldY, 181, kFieldH));

    lstRecords = new LineList(pan, u"lstRecords"_s, u"Elenco esami frequenti"_s, QRect(22, 160, 801, 273), 1500);
    tools::textLine(pan, u"lblElimina"_s,
                    u"Per rimuovere un esame dall'elenco, selezionarlo con un clic e premere il pulsante Elimina voce "
                    u"selezionata."_s,
                    QRect(22, 440, 801, 20), tools::kCrimson, true);

    constexpr int kButtonsY = 494, kButtonH = 36;
    btnElimina =
        tools::button(pan, u"btnElimina"_s, u"Elimina voce selezionata"_s, QRect(22, kButtonsY, 214, kButtonH));
    btnStampa = tools::button(pan, u"btnStampa"_s, u"Stampa elenco"_s, QRect(246, kButtonsY, 150, kButtonH));
    btnAnnulla = tools::button(pan, u"btnAnnulla"_s, u"Chiudi senza salvare"_s, QRect(449, kButtonsY, 194, kButtonH));
    btnChiudi = tools::button(pan, u"btnChiudi"_s, u"Salva e chiudi"_s, QRect(653, kButtonsY, 170, kButtonH));

    QWidget *tabs[] = {txtEsame, txtUM, txtRife, btnTrova, lstRecords, btnAnnulla, btnElimina, btnStampa, btnChiudi};
    for (size_t i = 0; i + 1 < std::size(tabs); ++i)
        setTabOrder(tabs[i], tabs[i + 1]);
    // Enter goes on to the next field, and from the last one to "Aggiungi all'elenco".
    enterChain({txtEsame, txtUM, txtRife, btnTrova});

    connect(btnTrova, &QPushButton::clicked, this, &TfrmListaPresc::btnTrovaClick);
    connect(btnElimina, &QPushButton::clicked, this, &TfrmListaPresc::btnEliminaClick);
    connect(btnStampa, &QPushButton::clicked, this, &TfrmListaPresc::btnStampaClick);
    connect(btnChiudi, &QPushButton::clicked, this, &TfrmListaPresc::btnChiudiClick);
    connect(btnAnnulla, &QPushButton::clicked, this, &TfrmListaPresc::btnAnnullaClick);
}

TfrmListaPresc::~TfrmListaPresc() = default;

void TfrmListaPresc::showEvent(QShowEvent *event)
{
    DialogScreen::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TfrmListaPresc::FormShow()
{
    for (QLineEdit *e : {txtEsame, txtUM, txtRife})
        e->clear();
    const std::optional<QStringList> stored = readFrequentExams(m_ctx.services.appFolder);
    m_unreadable = !stored.has_value();
    QStringList lines = stored.value_or(QStringList());
    // The list stands in alphabetical order of the exams.
    sortListLines(lines);
    lstRecords->setLines(lines);
    txtEsame->setFocus(Qt::OtherFocusReason);
}

void TfrmListaPresc::btnTrovaClick()
{
    if (text::isBlank(txtEsame->text())) {
        m_ctx.services.warning(this, u"Attenzione: non è stato indicato alcun esame da aggiungere all'elenco."_s);
        txtEsame->setFocus(Qt::OtherFocusReason);
        return;
    }
    const QString line = FrequentExamLine(txtEsame->text(), txtUM->text(), txtRife->text());
    // After the entries that sort before it or equal to it.
    const QStringList lines = lstRecords->lines();
    const auto at = std::upper_bound(lines.cbegin(), lines.cend(), line,
                                     [](const QString &a, const QString &b) { return listLineLess(a, b); });
    lstRecords->insertLine(int(at - lines.cbegin()), line);
    // Nothing stays selected: "Elimina" right after adding asks which line,
    // rather than removing one the user never chose.
    lstRecords->selectRow(-1);
    for (QLineEdit *e : {txtEsame, txtUM, txtRife})
        e->clear();
    txtEsame->setFocus(Qt::OtherFocusReason);
}

void TfrmListaPresc::btnEliminaClick()
{
    const int row = lstRecords->selectedRow();
    if (row < 0) {
        m_ctx.services.warning(this, u"Attenzione: selezionare dall'elenco la voce che si vuole eliminare prima di "
                                     u"premere il pulsante di cancellazione."_s);
        return;
    }
    lstRecords->removeLine(row);
    lstRecords->selectRow(-1);
}

void TfrmListaPresc::btnStampaClick()
{
    ListSummaryPrint(m_ctx.services, *repRiepilogo, u"Riepilogo esami frequenti"_s, lstRecords);
}

void TfrmListaPresc::btnChiudiClick()
{
    if (m_unreadable || !writeFrequentExams(m_ctx.services.appFolder, lstRecords->lines())) {
        m_ctx.services.plain(this, u"Attenzione: il sistema non permette di aggiornare i dati.\n\r\n\rAccertarsi "
                                   u"che il database non sia già aperto."_s);
        return;
    }
    accept();
}

void TfrmListaPresc::btnAnnullaClick() { reject(); }

void TfrmListaPresc::done(int result)
{
    lstRecords->clearLines();
    DialogScreen::done(result);
}

} // namespace clinora
