#include "summary/ui/RiepLavoro.h"

#include "analyses/ReferenceRange.h"
#include "common/CommonSettings.h"
#include "common/Text.h"
#include "common/ui/Accessibility.h"
#include "common/ui/Artwork.h"
#include "common/ui/FindInList.h"
#include "common/ui/LineList.h"
#include "common/ui/ListScreen.h"
#include "common/ui/ListSummary.h"
#include "common/ui/Palette.h"
#include "common/ui/Panel.h"
#include "common/ui/Screen.h"
#include "common/ui/ScreenContext.h"
#include "common/ui/Widgets.h"
#include "report/ListTemplate.h"
#include "report/ReportTemplate.h"
#include "summary/Trend.h"
#include "summary/ui/Grafico.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QShowEvent>

using namespace Qt::StringLiterals;

namespace clinora {

namespace {

QLabel *label(QWidget *parent, const QString &name, const QString &text, const QRect &geometry, int pointSize,
              bool bold, const QColor &color)
{
    return kit::textLine(parent, name, text, geometry, color, bold, pointSize);
}

const QString kInitialInterval = u"Dal gg/mm/aaaa al gg/mm/aaaa"_s;

} // namespace

TfrmRiepLavoro::TfrmRiepLavoro(ScreenContext &ctx, QWidget *parent)
    : QDialog(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                          | Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint),
      repRiepilogo(report::makeListTemplate()), m_ctx(ctx)
{
    setObjectName(u"frmRiepLavoro"_s);
    setWindowTitle(u" Clinora - Riepilogo Risultati Esami"_s);
    settings::apply();
    setModal(true);
    resize(WorkingArea::kDesignSize);
    setWindowState(Qt::WindowMaximized);

    m_board = new QWidget(this);
    m_board->setObjectName(u"panBoard"_s);
    m_board->setFixedSize(WorkingArea::kBoardSize);
    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->addWidget(m_board, 1, 1);
    grid->setRowStretch(0, 1);
    grid->setRowStretch(2, 1);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(2, 1);

    QWidget *b = m_board;
    auto *backdrop = new Picture(b, u"panSfondo"_s, [](QPainter &p, const QRectF &r) {
        paintPanel(p, r, 14, palette::creamTop, palette::creamBottom, palette::creamBorder);
    });
    backdrop->setGeometry(b->rect());

    imgIntestazione = new Picture(b, u"imgIntestazione"_s, [](QPainter &p, const QRectF &r) {
        paintPanel(p, r, 10, palette::orangeTop, palette::orangeBottom, palette::orangeBorder);
        const qreal side = r.height() - 14;
        const QRectF disc(r.left() + 12, r.top() + 7, side, side);
        p.setPen(QPen(palette::orangeBorder, 1));
        p.setBrush(QColor(255, 255, 255, 240));
        p.drawEllipse(disc);
        art::drawGlyph(p, disc.adjusted(side * 0.17, side * 0.17, -side * 0.17, -side * 0.17),
                       art::Glyph::Summary);
        p.setPen(Qt::white);
        p.setFont(designFont(u"Verdana"_s, 14, true));
        p.drawText(QRectF(disc.right() + 16, r.top(), 290, r.height()), Qt::AlignLeft | Qt::AlignVCenter,
                   u"Codice fiscale paziente:"_s);
        // The white plate that carries the fiscal code.
        paintFlatPanel(p, QRectF(r.left() + 375.5, r.top() + 11.5, 281, r.height() - 23), 8, QColor(255, 250, 244),
                       palette::orangeBorder);
        p.setPen(QColor(255, 236, 214));
        p.setFont(designFont(u"Verdana"_s, 11, true));
        p.drawText(r.adjusted(0, 0, -20, 0), Qt::AlignRight | Qt::AlignVCenter, u"Riepilogo Risultati Esami"_s);
    });
    imgIntestazione->setGeometry(14, 14, 967, 64);
    imgIntestazione->keepDrawing(u"summary|heading"_s);
    imgIntestazione->setAccessibleName(u"Codice fiscale paziente:"_s);
    titTipologia = label(b, u"titTipologia"_s, u"- - -"_s, QRect(390, 26, 266, 40), 15, true, palette::maroon);
    titTipologia->setAlignment(Qt::AlignCenter);
    access::valueLabel(titTipologia, u"Codice fiscale paziente"_s);

    lblIstruzioni1 = label(b, u"lblIstruzioni1"_s,
                           u"Immettere una o più parole consecutive presenti nella scheda in elenco da cercare e "
                           u"premere il pulsante Trova."_s,
                           QRect(24, 88, 880, 20), 9, false, palette::summaryInk);
    lblIstruzioni2 = label(b, u"lblIstruzioni2"_s,
                           u"Per spostarsi sulla voce successiva contenente la stessa chiave di ricerca, fare di "
                           u"nuovo clic su Trova."_s,
                           QRect(24, 108, 880, 20), 9, false, palette::summaryInk);
    imgGuida = new PictureButton(b, u"imgGuida"_s, u"Guida"_s, art::Glyph::Help, PictureButton::Style::Icon);
    imgGuida->setGeometry(929, 86, 44, 44);

    const kit::FindRow find = kit::findRow(b, 24, 136, 949);
    txtTrova = find.txtTrova;
    btnTrova = find.btnTrova;
    lstRecords = new LineList(b, u"lstRecords"_s, u"Risultati delle analisi cliniche nell'intervallo"_s,
                              QRect(24, 178, 949, 360), 1600);

    auto *info = new Picture(b, u"panTotali"_s, [](QPainter &p, const QRectF &r) {
        paintPanel(p, r, 10, palette::white, palette::peach, palette::peachBorder);
    });
    info->setGeometry(14, 546, 967, 60);
    info->keepDrawing(u"summary|totals"_s);
    m_capIntervallo = label(b, u"titIntervallo"_s, u"Intervallo selezionato:"_s, QRect(), 11, true, palette::summaryInk);
    lblIntervallo = label(b, u"lblIntervallo"_s, kInitialInterval, QRect(), 11, true, palette::maroon);
    m_capTotale = label(b, u"titTotale"_s, u"Totale analisi cliniche:"_s, QRect(), 11, true, palette::summaryInk);
    lblTotCosti = label(b, u"lblTotCosti"_s, u"0"_s, QRect(), 11, true, palette::maroon);
    m_capIntervallo->setBuddy(lblIntervallo);
    m_capTotale->setBuddy(lblTotCosti);
    access::valueLabel(lblIntervallo, u"Intervallo selezionato"_s);
    access::valueLabel(lblTotCosti, u"Totale analisi cliniche"_s);
    lblEscluse = label(b, u"lblEscluse"_s, QString(), QRect(30, 580, 940, 20), 9, true, art::colors::crimson);
    lblEscluse->hide();
    placeTotals(false);

    auto *bottom = new Picture(b, u"panBasso"_s, [](QPainter &p, const QRectF &r) {
        paintPanel(p, r, 10, palette::orangeTop, palette::orangeBottom, palette::orangeBorder);
    });
    bottom->setGeometry(14, 614, 967, 64);
    bottom->keepDrawing(u"summary|bottom"_s);
    btnStampa = kit::button(b, u"btnStampa"_s, u"Stampa riepilogo"_s, QRect(30, 628, 220, 36));
    btnGrafico = kit::button(b, u"btnGrafico"_s, u"Grafico"_s, QRect(266, 628, 180, 36));
    btnGrafico->setToolTip(u"Mostra l'andamento nel tempo dei risultati numerici"_s);
    btnEsci = kit::button(b, u"btnEsci"_s, u"Esci"_s, QRect(785, 628, 180, 36));
    for (QPushButton *button : {btnStampa, btnGrafico, btnEsci})
        button->setFont(designFont(u"Verdana"_s, 12, true));
    lblFuoriIntervallo = label(b, u"lblFuoriIntervallo"_s, QString(), QRect(456, 618, 320, 56), 9, true, Qt::white);
    lblFuoriIntervallo->setWordWrap(true);
    lblFuoriIntervallo->setAlignment(Qt::AlignCenter);
    lblFuoriIntervallo->hide();

    lblConta = hiddenLabel(b, u"lblConta"_s, u"0"_s);

    setTabOrder(txtTrova, btnTrova);
    setTabOrder(btnTrova, lstRecords);
    setTabOrder(lstRecords, btnStampa);
    setTabOrder(btnStampa, btnGrafico);
    setTabOrder(btnGrafico, btnEsci);

    FindInList::attach(ctx.services, ctx.findKeys, FindScreen::RiepLavoro, this, txtTrova, btnTrova, lstRecords);
    connect(btnStampa, &QPushButton::clicked, this, &TfrmRiepLavoro::btnStampaClick);
    connect(btnGrafico, &QPushButton::clicked, this, &TfrmRiepLavoro::btnGraficoClick);
    connect(btnEsci, &QPushButton::clicked, this, &TfrmRiepLavoro::btnEsciClick);
    connect(imgGuida, &QAbstractButton::clicked, this, &TfrmRiepLavoro::imgGuidaClick);
}

TfrmRiepLavoro::~TfrmRiepLavoro() = default;

void TfrmRiepLavoro::placeTotals(bool withNote)
{
    const int top = withNote ? 550 : 563;
    m_capIntervallo->setGeometry(30, top, 214, 26);
    lblIntervallo->setGeometry(244, top, 420, 26);
    m_capTotale->setGeometry(664, top, 226, 26);
    lblTotCosti->setGeometry(890, top, 80, 26);
    lblEscluse->setVisible(withNote);
}

void TfrmRiepLavoro::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    art::fillGradient(p, QRectF(rect()), palette::orangeDark, palette::orangePale);
}

void TfrmRiepLavoro::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TfrmRiepLavoro::FormShow()
{
    const SummaryMenuHook *menu = m_ctx.hook<SummaryMenuHook>(caller::kSummaryMenu);
    if (!menu)
        return;
    const QString code = text::trimmed(menu->txtCodFisc->text());
    titTipologia->setText(code.isEmpty() ? u"- - -"_s : code);
    const QString exam = menu->txtEsame->text();
    lblConta->setText(QString::number((code.isEmpty() ? 0 : 1) + (text::isBlank(exam) ? 0 : 1)));

    const QString dataInizio = text::trimmed(menu->lblDataInizio->text());
    const QString dataFine = text::trimmed(menu->lblDataFine->text());
    const std::optional<QDate> start = settings::parseDate(dataInizio);
    const std::optional<QDate> end = settings::parseDate(dataFine);
    placeTotals(false);
    lblFuoriIntervallo->hide();
    m_start = start.value_or(QDate());
    m_end = end.value_or(QDate());
    if (!start || !end) { // no interval was asked for: nothing to read
        m_list = {};
        lstRecords->clearLines();
        lblIntervallo->setText(kInitialInterval);
        lblTotCosti->setText(u"0"_s);
        txtTrova->setFocus(Qt::OtherFocusReason);
        return;
    }

    const IoResult read =
        summary::buildSummary(menu->lblFile->text(), {menu->txtCodFisc->text(), exam, *start, *end}, m_list);
    lstRecords->setLines(m_list.lines);
    // The interval and the total always describe the lines shown, even
    // those of an archive that failed part way.
    lblIntervallo->setText(u"Dal   "_s + dataInizio + u"   al   "_s + dataFine);
    lblTotCosti->setText(QString::number(m_list.lines.size()));
    if (m_list.undated > 0) {
        lblEscluse->setText(m_list.undated == 1
                                ? u"Una scheda non è elencata perché la sua data del prelievo non è valida."_s
                                : QString::number(m_list.undated)
                                      + u" schede non sono elencate perché la loro data del prelievo non è valida."_s);
        placeTotals(true);
    }
    if (const int n = m_list.unmarkedOutside; n > 0) {
        lblFuoriIntervallo->setText(unmarkedOutsideCount(n));
        lblFuoriIntervallo->show();
    }
    txtTrova->setFocus(Qt::OtherFocusReason);
    // The total is seen at once; the focus is on the find box.
    access::announce(this, u"Totale analisi cliniche: "_s + lblTotCosti->text());
    if (!read)
        m_ctx.services.plain(this, u"Attenzione: il file di archivio non risulta accessibile."_s);
}

void TfrmRiepLavoro::btnStampaClick()
{
    if (lstRecords->count() == 0) {
        m_ctx.services.warning(this,
                               u"Operazione di stampa non applicabile: il riepilogo non contiene nessuna voce."_s);
        return;
    }
    if (!m_ctx.services.confirm(this, u"Si vuole stampare il presente riepilogo?"_s))
        return;
    QStringList extra = {u"- - - - - - - - - - - - - - - -"_s,
                         u"INTERVALLO SELEZIONATO:    "_s + text::trimmed(lblIntervallo->text()),
                         u"TOTALE ANALISI CLINICHE:   "_s + text::trimmed(lblTotCosti->text())};
    // The paper, like the screen, says that the total leaves cards out.
    if (m_list.undated > 0)
        extra << lblEscluse->text();
    ListSummaryPrint(m_ctx.services, *repRiepilogo,
                     u"Riepilogo analisi cliniche - Codice fiscale paziente: "_s + text::trimmed(titTipologia->text()),
                     lstRecords, extra);
}

void TfrmRiepLavoro::btnGraficoClick()
{
    if (lstRecords->count() == 0) {
        m_ctx.services.warning(this, u"Grafico non disponibile: il riepilogo non contiene nessuna voce."_s);
        return;
    }
    const summary::TrendSet trends = summary::buildTrends(m_list.entries);
    if (trends.exams.isEmpty()) {
        m_ctx.services.warning(this, u"Grafico non disponibile: nessun risultato del riepilogo è espresso da un "
                                     u"valore numerico."_s);
        return;
    }
    const QString code = text::trimmed(titTipologia->text());
    m_ctx.openDialog<TfrmGrafico>(this, [&](TfrmGrafico &d) { d.setTrends(trends, code, m_start, m_end); });
}

void TfrmRiepLavoro::imgGuidaClick() { m_ctx.showHelp(this, help::TopicId::Summary); }

void TfrmRiepLavoro::btnEsciClick() { reject(); }

void TfrmRiepLavoro::done(int result)
{
    lstRecords->clearLines();
    m_list = {};
    if (const SummaryMenuHook *menu = m_ctx.hook<SummaryMenuHook>(caller::kSummaryMenu))
        menu->lblAttendere->hide();
    QDialog::done(result);
}

} // namespace clinora
