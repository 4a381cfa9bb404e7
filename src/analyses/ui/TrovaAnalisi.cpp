#include "analyses/ui/TrovaAnalisi.h"

#include "analyses/AnalysisSearch.h"
#include "analyses/ui/AnalysisCardHook.h"
#include "analyses/ui/LineList.h"
#include "analyses/ui/ToolLayout.h"
#include "common/CommonSettings.h"
#include "common/Messages.h"
#include "common/Text.h"
#include "common/ui/Behaviours.h"
#include "common/ui/FindInList.h"
#include "common/ui/ListSummary.h"
#include "common/ui/ScreenContext.h"
#include "common/ui/Widgets.h"
#include "report/ListTemplate.h"

#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QShowEvent>

using namespace Qt::StringLiterals;

namespace clinora {

TfrmTrovaAnalisi::TfrmTrovaAnalisi(ScreenContext &ctx, QWidget *parent)
    : DialogScreen(ctx, parent, u" Trova analisi cliniche in archivio"_s, QSize(862, 560), Centre::Screen),
      repRiepilogo(report::makeListTemplate())
{
    setObjectName(u"frmTrovaAnalisi"_s);
    settings::apply();
    lblMemory = hiddenLabel(this, u"lblMemory"_s);
    lblConta = hiddenLabel(this, u"lblConta"_s, u"0"_s);

    // ---- Criteria page ----
    panAvvio = tools::panel(this, u"panAvvio"_s, QRect(8, 8, 846, 544));
    tools::banner(panAvvio, u"imgAvvio"_s, QRect(14, 12, 818, 72), art::Glyph::Find,
                  u"Trova analisi cliniche"_s, u"Ricerca delle schede nell'archivio del paziente."_s);
    const QString instructions[] = {
        u"Immettere nei campi prescelti una o più parole consecutive presenti nelle schede da trovare e premere "
        u"il pulsante Cerca."_s,
        u"Lasciare in bianco tutti gli altri campi."_s,
        u"Per ogni ricerca è possibile utilizzare uno o più campi contemporaneamente."_s,
    };
    for (int i = 0; i < 3; ++i)
        tools::textLine(panAvvio, u"lblIstruzioni%1"_s.arg(i + 1), instructions[i], QRect(22, 92 + i * 18, 810, 18));

    struct Criterion {
        QLineEdit **field;
        QString name, caption;
    };
    const Criterion criteria[] = {
        {&txtNumRef, u"txtNumRef"_s, u"Referto n."_s},
        {&txtDataRef, u"txtDataRef"_s, u"Data referto (gg/mm/aaaa):"_s},
        {&txtData, u"txtData"_s, u"Data prelievo (gg/mm/aaaa):"_s},
        {&txtEsame, u"txtEsame"_s, u"Esame:"_s},
        {&txtRisultato, u"txtRisultato"_s, u"Risultato:"_s},
        {&txtUM, u"txtUM"_s, u"Unità di Misura:"_s},
        {&txtEsito, u"txtEsito"_s, u"Esito:"_s},
        {&txtCommento, u"txtCommento"_s, u"Commento:"_s},
        {&txtFirmatario, u"txtFirmatario"_s, u"Firmatario referto:"_s},
        {&txtNote, u"txtNote"_s, u"Note:"_s},
    };
    // The criteria stand together on a white sheet.
    auto *sheet = new Picture(panAvvio, u"panCriteri"_s, [](QPainter &p, const QRectF &r) {
        p.setPen(QPen(QColor(170, 188, 212), 1));
        p.setBrush(Qt::white);
        p.drawRoundedRect(r.adjusted(0.5, 0.5, -0.5, -0.5), 8, 8);
    });
    sheet->setGeometry(12, 150, 822, 320);
    const QFont captionFont = designFont(u"Verdana"_s, 9, true);
    for (int i = 0; i < 10; ++i) {
        // Two columns: the odd criteria on the left, the even ones on the right.
        const int x = i % 2 == 0 ? 22 : 431;
        const int y = 164 + (i / 2) * 60;
        QLineEdit *e = tools::input(panAvvio, criteria[i].name, QRect(x, y + 20, 392, 30));
        *criteria[i].field = e;
        QLabel *caption = captionFor(panAvvio, e, criteria[i].caption, captionFont);
        caption->setGeometry(x + 1, y, 392, 18);
        FocusHighlight::attach(e, u"eff"_s + criteria[i].name.mid(3));
    }
    btnAnnulla = tools::button(panAvvio, u"btnAnnulla"_s, u"Chiudi"_s, QRect(22, 494, 150, 36));
    btnCerca = tools::button(panAvvio, u"btnCerca"_s, u"Cerca"_s, QRect(673, 494, 150, 36));
    lblAttendere = tools::textLine(panAvvio, u"lblAttendere"_s, u"Ricerca schede in corso. Attendere..."_s,
                                   QRect(182, 494, 481, 36), tools::kDarkCyan, true);
    lblAttendere->setAlignment(Qt::AlignCenter);
    lblAttendere->hide();

    // ---- Results page ----
    panContainer = tools::panel(this, u"panContainer"_s, QRect(8, 8, 846, 544));
    tools::banner(panContainer, u"imgRisultati"_s, QRect(14, 12, 818, 72), art::Glyph::Flask,
                  u"Analisi cliniche trovate"_s, u"In ordine di data del prelievo."_s);
    tools::textLine(panContainer, u"lblIstruzioni4"_s,
                    u"Immettere una o più parole consecutive presenti nella scheda in elenco da cercare e premere il "
                    u"pulsante Trova."_s,
                    QRect(22, 92, 810, 18));
    tools::textLine(panContainer, u"lblIstruzioni5"_s,
                    u"Per spostarsi sulla voce successiva contenente la stessa chiave di ricerca, fare di nuovo clic "
                    u"su Trova."_s,
                    QRect(22, 110, 810, 18));
    const tools::FindRow find = tools::findRow(panContainer, 22, 136, 801);
    txtTrova = find.txtTrova;
    btnTrova = find.btnTrova;
    lstRecords = new LineList(panContainer, u"lstRecords"_s, u"Analisi cliniche trovate"_s,
                              QRect(22, 178, 801, 273), 1600);
    tools::textLine(panContainer, u"lblDoppioClic"_s,
                    u"Per richiamare i dati di una scheda, selezionarla con un doppio clic."_s, QRect(22, 458, 801, 20),
                    tools::kCrimson, true);
    btnChiudi = tools::button(panContainer, u"btnChiudi"_s, u"Chiudi"_s, QRect(22, 494, 150, 36));
    btnStampa = tools::button(panContainer, u"btnStampa"_s, u"Stampa"_s, QRect(673, 494, 150, 36));
    lblTrovate = tools::textLine(panContainer, u"lblTrovate"_s, QString(), QRect(182, 494, 481, 36),
                                 tools::kDarkCyan, true);
    lblTrovate->setAlignment(Qt::AlignCenter);
    panContainer->hide();

    QWidget *tabs[] = {txtNumRef, txtDataRef, txtData,      txtEsame,      txtRisultato, txtUM,
                       txtEsito,  txtCommento, txtFirmatario, txtNote,     btnAnnulla,   btnCerca,
                       txtTrova,  btnTrova,    lstRecords,    btnChiudi,     btnStampa};
    for (size_t i = 0; i + 1 < std::size(tabs); ++i)
        setTabOrder(tabs[i], tabs[i + 1]);
    enterRing({txtNumRef, txtDataRef, txtData, txtEsame, txtRisultato, txtUM, txtEsito, txtCommento, txtFirmatario,
               txtNote});

    FindInList::attach(ctx.services, ctx.findKeys, FindScreen::TrovaAnalisi, this, txtTrova, btnTrova, lstRecords);
    lstRecords->setChooseAction([this] { lstRecordsDblClick(); });
    connect(btnCerca, &QPushButton::pressed, this, &TfrmTrovaAnalisi::btnCercaMouseDown);
    connect(btnCerca, &QPushButton::clicked, this, &TfrmTrovaAnalisi::btnCercaClick);
    connect(btnStampa, &QPushButton::clicked, this, &TfrmTrovaAnalisi::btnStampaClick);
    connect(btnChiudi, &QPushButton::clicked, this, &TfrmTrovaAnalisi::btnChiudiClick);
    connect(btnAnnulla, &QPushButton::clicked, this, &TfrmTrovaAnalisi::btnAnnullaClick);
}

TfrmTrovaAnalisi::~TfrmTrovaAnalisi() = default;

QString TfrmTrovaAnalisi::archivePath() const
{
    const AnalysisCardHook *card = m_ctx.hook<AnalysisCardHook>(caller::kAnalysisCard);
    return card ? text::trimmed(card->lblFile->text()) : QString();
}

void TfrmTrovaAnalisi::showEvent(QShowEvent *event)
{
    DialogScreen::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TfrmTrovaAnalisi::FormShow()
{
    lstRecords->selectRow(0);
    txtTrova->clear();
    txtNumRef->setFocus(Qt::OtherFocusReason);
}

void TfrmTrovaAnalisi::btnCercaMouseDown()
{
    lblAttendere->show();
    lblAttendere->repaint();
}

void TfrmTrovaAnalisi::btnCercaClick()
{
    const AnalysisCriteria criteria({txtNumRef->text(), txtDataRef->text(), txtData->text(), txtEsame->text(),
                                     txtRisultato->text(), txtUM->text(), txtEsito->text(), txtCommento->text(),
                                     txtFirmatario->text(), txtNote->text()});
    lblConta->setText(QString::number(criteria.count()));
    ListLines lines;
    if (!findResultLines(archivePath(), criteria, lines)) {
        // The criteria stay on screen, with the notice of the search that failed.
        m_ctx.services.plain(this, msg::kAccessError.toString());
        return;
    }
    const qsizetype count = lines.size();
    lstRecords->setLines(std::move(lines));
    lblTrovate->setText(u"Il presente riepilogo contiene "_s + QString::number(count) + u" schede."_s);
    panContainer->show();
    panAvvio->hide();
    txtTrova->clear();
    txtTrova->setFocus(Qt::OtherFocusReason);
}

void TfrmTrovaAnalisi::btnStampaClick()
{
    const AnalysisCardHook *card = m_ctx.hook<AnalysisCardHook>(caller::kAnalysisCard);
    const QString patient = card ? text::trimmed(card->txtPaziente->text()) : QString();
    ListSummaryPrint(m_ctx.services, *repRiepilogo, u"Riepilogo analisi cliniche di "_s + patient, lstRecords);
}

void TfrmTrovaAnalisi::lstRecordsDblClick()
{
    if (lstRecords->selectedRow() >= 0) {
        CardOfLine found;
        // A failure part way leaves on the card what was found before it.
        (void)findCardOfLine(archivePath(), lstRecords->selectedLine(), found);
        const AnalysisCardHook *card = m_ctx.hook<AnalysisCardHook>(text::trimmed(lblMemory->text()));
        if (found.number > 0 && card)
            card->showRecord(found.record, found.number);
    }
    accept();
}

void TfrmTrovaAnalisi::btnChiudiClick() { reject(); }

void TfrmTrovaAnalisi::btnAnnullaClick() { reject(); }

void TfrmTrovaAnalisi::done(int result)
{
    lstRecords->clearLines();
    lblAttendere->hide();
    DialogScreen::done(result);
}

} // namespace clinora
