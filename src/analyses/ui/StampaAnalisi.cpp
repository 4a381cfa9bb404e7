#include "analyses/ui/StampaAnalisi.h"

#include "analyses/ui/AnalysisCardHook.h"
#include "common/CommonSettings.h"
#include "common/Text.h"
#include "common/ui/ListScreen.h"
#include "common/ui/ListSummary.h"
#include "common/ui/Palette.h"
#include "common/ui/Panel.h"
#include "common/ui/ScreenContext.h"
#include "common/ui/Widgets.h"
#include "report/CardTemplate.h"

#include <QPainter>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace clinora {

namespace {

const QColor kLightSteelBlue(0xB0, 0xC4, 0xDE);
const QColor kGold(0xFF, 0xD7, 0x00);
// The frames of the rows and the line between captions and values: a dark
// grey that reads as black on paper without the heaviness of doubled black lines.
const QColor kFrame(0x40, 0x48, 0x50);

const QString kCaptions[13] = {
    u"Paziente:"_s,  u"Codice fiscale:"_s, u"Referto n."_s,       u"Data referto:"_s,
    u"Data prelievo:"_s, u"Esame:"_s,      u"Risultato:"_s,        u"Unità di Misura:"_s,
    u"Valori di riferimento:"_s, u"Esito:"_s, u"Commento:"_s,     u"Firmatario referto:"_s,
    u"Note:"_s,
};

QString rowName(QStringView prefix, int k) { return prefix + QString::number(k + 1).rightJustified(2, u'0'); }

// The picture of the dialog: a small form with its blue title band, its rows
// and its gold footer, going to the printer.
void paintExplanation(QPainter &p, const QRectF &r)
{
    p.setRenderHint(QPainter::Antialiasing);
    paintFlatPanel(p, r, 10, Qt::white, palette::listPanelBorder);

    // The sheet.
    const QRectF sheet(r.left() + 24, r.top() + 18, 104, 136);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 40));
    p.drawRect(sheet.translated(3, 3));
    p.setPen(QPen(palette::frameGrey, 1));
    p.setBrush(Qt::white);
    p.drawRect(sheet);
    const qreal x = sheet.left() + 8, w = sheet.width() - 16;
    p.setPen(QPen(QColor(90, 110, 140), 0.8));
    p.setBrush(kLightSteelBlue);
    p.drawRect(QRectF(x, sheet.top() + 8, w, 7));
    p.setBrush(Qt::NoBrush);
    for (int k = 0; k < 9; ++k) {
        const QRectF row(x, sheet.top() + 19 + k * 8, w, 6.5);
        p.drawRect(row);
        p.fillRect(QRectF(row.left() + 2, row.top() + 2.5, 16, 1.6), palette::frameGrey);
        p.fillRect(QRectF(row.left() + 25, row.top() + 2.5, 20 + (k * 13) % 40, 1.6), QColor(40, 50, 70));
    }
    p.drawLine(QPointF(x + 22, sheet.top() + 19), QPointF(x + 22, sheet.top() + 19 + 8 * 8 + 6.5));
    p.setBrush(kGold);
    p.drawRect(QRectF(x, sheet.top() + 19 + 9 * 8 + 2, w, 7));

    // An arrow to the printer.
    const qreal ay = sheet.center().y();
    QPainterPath arrow;
    arrow.moveTo(sheet.right() + 14, ay - 6);
    arrow.lineTo(sheet.right() + 38, ay - 6);
    arrow.lineTo(sheet.right() + 38, ay - 14);
    arrow.lineTo(sheet.right() + 54, ay);
    arrow.lineTo(sheet.right() + 38, ay + 14);
    arrow.lineTo(sheet.right() + 38, ay + 6);
    arrow.lineTo(sheet.right() + 14, ay + 6);
    arrow.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(palette::buttonBlue);
    p.drawPath(arrow);
    art::drawGlyph(p, QRectF(sheet.right() + 64, ay - 52, 104, 104), art::Glyph::Print);

    p.setPen(palette::toolTextNavy);
    p.setFont(designFont(u"Verdana"_s, 9, true));
    p.drawText(QRectF(r.left() + 12, sheet.bottom() + 10, r.width() - 24, 20), Qt::AlignCenter,
               u"La scheda corrente su un foglio A4"_s);
    p.setFont(designFont(u"Verdana"_s, 8));
    p.setPen(QColor(70, 85, 110));
    p.drawText(QRectF(r.left() + 12, sheet.bottom() + 30, r.width() - 24, 18), Qt::AlignCenter,
               u"come appare ora sullo schermo, anche se non salvata."_s);
}

} // namespace

std::unique_ptr<ReportTemplate> makeRepDocumento()
{
    using units::mmRect;
    auto rep = report::makeCardTemplate(u"Scheda Esame Clinico"_s);
    ReportPage &page = rep->page1();
    page.addShape(u"shpArcataSup"_s, mmRect(1, 1, 188, 5.8), ShapeLook{kLightSteelBlue, QColor(), 0});
    page.addText(u"titArcataSup"_s, mmRect(2, 2, 185.8, 4.2),
                 report::cardText(u"Arial"_s, 9, Qt::black, QColor(), Qt::AlignHCenter, Qt::AlignVCenter),
                 u"SCHEDA ESAME CLINICO"_s);
    for (int k = 0; k < 13; ++k) {
        const double top = 7 + 5 * k;
        page.addShape(rowName(u"shpRiga", k), mmRect(1, top, 188, 4.6), ShapeLook{QColor(), kFrame, 0.8});
        const double captionWidth = k == 8 ? 39.5 : 37.8;
        page.addText(rowName(u"titRiga", k), mmRect(2, top + 0.5, captionWidth, 3.5),
                     report::cardText(u"Arial"_s, 7), kCaptions[k]);
        page.addText(kAnalysisCardValues[size_t(k)].toString(), mmRect(44, top + 0.5, 144, 3.5),
                     report::cardText(u"Arial"_s, 7));
    }
    page.addLine(u"linVerticale"_s, mmRect(42, 7, 0, 64.6), LineLook{kFrame, 0.8, Qt::Vertical});
    page.addShape(u"shpArcataInf"_s, mmRect(1, 72, 188, 5.8), ShapeLook{kGold, QColor(), 0});
    page.addText(u"txtCalce"_s, mmRect(2, 73, 185.8, 4.2),
                 report::cardText(u"Arial"_s, 8, Qt::black, QColor(), Qt::AlignHCenter, Qt::AlignVCenter),
                 u"Data e ora stampa"_s);
    return rep;
}

void fillRepDocumento(ReportTemplate &repDocumento, const ControlTextLookup &card, const QDateTime &now)
{
    QList<std::pair<QString, QString>> texts;
    for (size_t k = 0; k < std::size(kAnalysisCardValues); ++k) {
        const QString name = kAnalysisCardValues[k].toString();
        texts.append({name, text::trimmed(card(name))});
        // A value too long for its row is printed whole below the form, under its caption.
        repDocumento.text(name).setCaption(kCaptions[k]);
    }
    const QString patient = text::trimmed(card(u"txtPaziente"));
    repDocumento.page1().continuationTitle =
        patient.isEmpty() ? u"SCHEDA ESAME CLINICO"_s : u"SCHEDA ESAME CLINICO - "_s + patient;
    report::prepareCard(repDocumento, texts, u"txtCalce", now);
}

TfrmStampaAnalisi::TfrmStampaAnalisi(ScreenContext &ctx, QWidget *parent)
    : DialogScreen(ctx, parent, u" Stampa scheda"_s, QSize(364, 287), Centre::Owner), repDocumento(makeRepDocumento())
{
    setObjectName(u"frmStampaAnalisi"_s);
    settings::apply();

    QWidget *pan = kit::panel(this, u"panStampa"_s, QRect(6, 6, 352, 275));
    auto *picture = new Picture(pan, u"imgStampa"_s, paintExplanation);
    picture->setGeometry(8, 8, 336, 212);
    picture->setAccessibleName(u"Stampa della scheda corrente sul modulo Scheda Esame Clinico"_s);
    btnAnnulla = kit::button(pan, u"btnAnnulla"_s, u"Annulla"_s, QRect(8, 229, 160, 36));
    btnStampa = kit::button(pan, u"btnStampa"_s, u"Stampa"_s, QRect(184, 229, 160, 36));
    setTabOrder(btnAnnulla, btnStampa);
    btnStampa->setFocus(Qt::OtherFocusReason);

    connect(btnStampa, &QPushButton::clicked, this, &TfrmStampaAnalisi::btnStampaClick);
    connect(btnAnnulla, &QPushButton::clicked, this, &TfrmStampaAnalisi::btnAnnullaClick);
}

TfrmStampaAnalisi::~TfrmStampaAnalisi() = default;

void TfrmStampaAnalisi::btnStampaClick()
{
    // The printout shows what is on the analysis card.
    const AnalysisCardHook *card = m_ctx.hook<AnalysisCardHook>(caller::kAnalysisCard);
    fillRepDocumento(*repDocumento, controlTexts(card ? card->card : nullptr), m_ctx.services.clock->now());
    printReport(m_ctx.services, *repDocumento, this);
    // Printed or not, the dialog has done its part.
    accept();
}

void TfrmStampaAnalisi::btnAnnullaClick() { reject(); }

} // namespace clinora
