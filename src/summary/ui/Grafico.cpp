#include "summary/ui/Grafico.h"

#include "common/CommonSettings.h"
#include "common/Text.h"
#include "common/ui/ListScreen.h"
#include "common/ui/ListSummary.h"
#include "common/ui/OpenURL.h"
#include "common/ui/Palette.h"
#include "common/ui/Panel.h"
#include "common/ui/ScreenContext.h"
#include "common/ui/Widgets.h"
#include "report/CardTemplate.h"
#include "report/ReportTemplate.h"
#include "summary/ui/TrendChart.h"

#include <QBuffer>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QToolTip>
#include <QXYSeries>

using namespace Qt::StringLiterals;

namespace clinora {

namespace {

const QColor kSlateGray(0x70, 0x80, 0x90);

QByteArray pngOf(const QImage &image)
{
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return png;
}

// A file name made of the letters and digits of `text`, the rest as "_".
QString fileNamePart(const QString &text)
{
    QString out;
    for (QChar c : text) {
        const bool keep = (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
        if (keep)
            out += c;
        else if (!out.endsWith(u'_'))
            out += u'_';
    }
    while (out.endsWith(u'_'))
        out.chop(1);
    while (out.startsWith(u'_'))
        out.remove(0, 1);
    return out;
}

// The page "Andamento risultati": A4 landscape, the title, the patient and
// interval, the chart, what the chart leaves out, and the moment of printing.
std::unique_ptr<ReportTemplate> makeRepGrafico(const QByteArray &chartPng)
{
    using units::mmRect;
    auto rep = report::makeCardTemplate(u"Andamento risultati"_s, u"Page1"_s);
    ReportPage &page = rep->page1();
    page.setOrientation(QPageLayout::Landscape);
    page.addText(u"txtTitolo"_s, mmRect(0, 0, 277, 9),
                 report::cardText(u"Verdana"_s, 11, Qt::white, kSlateGray, Qt::AlignHCenter, Qt::AlignVCenter, true),
                 u"Andamento risultati"_s);
    page.addText(u"txtPaziente"_s, mmRect(1, 11, 275, 6),
                 report::cardText(u"Verdana"_s, 9, palette::chartText, QColor(), Qt::AlignLeft, Qt::AlignVCenter,
                                  true));
    page.addPicture(u"imgGrafico"_s, mmRect(0, 19, 277, 154), chartPng);
    page.addText(u"txtEsclusi"_s, mmRect(1, 175, 275, 6),
                 report::cardText(u"Verdana"_s, 8, palette::chartText));
    page.addText(u"txtCalce"_s, mmRect(0, 183, 277, 7),
                 report::cardText(u"Verdana"_s, 8, Qt::white, kSlateGray, Qt::AlignHCenter, Qt::AlignVCenter, true),
                 u"Stampa eseguita in data"_s);
    return rep;
}

// The chart's size on the page, in screen pixels: the picture's frame, 277 x 154 mm.
constexpr QSize kPrintedChart(1200, 667);
constexpr qreal kPrintScale = 2.5;

} // namespace

TfrmGrafico::TfrmGrafico(ScreenContext &ctx, QWidget *parent)
    : DialogScreen(ctx, parent, u" Andamento dei risultati"_s, QSize(980, 640), Centre::Owner)
{
    setObjectName(u"frmGrafico"_s);
    settings::apply();

    QWidget *pan = kit::panel(this, u"panGrafico"_s, QRect(8, 8, 964, 624));
    imgIntestazione = new Picture(pan, u"imgIntestazione"_s, [this](QPainter &p, const QRectF &r) {
        paintPanel(p, r, 8, palette::orangeBottom, QColor(226, 146, 70), palette::orangeBorder, Qt::Horizontal);
        const qreal side = r.height() - 16;
        const QRectF disc(r.left() + 12, r.top() + 8, side, side);
        p.setBrush(QColor(255, 255, 255, 240));
        p.drawEllipse(disc);
        art::drawGlyph(p, disc.adjusted(side * 0.18, side * 0.18, -side * 0.18, -side * 0.18), art::Glyph::Chart);
        const qreal x = disc.right() + 16;
        const QRectF text(x, r.top() + 6, r.right() - x - 16, r.height() - 12);
        p.setPen(Qt::white);
        p.setFont(designFont(u"Verdana"_s, 16, true));
        p.drawText(QRectF(text.left(), text.top(), text.width(), text.height() * 0.58),
                   Qt::AlignLeft | Qt::AlignBottom, u"Andamento dei risultati"_s);
        p.setPen(QColor(255, 238, 220));
        p.setFont(designFont(u"Verdana"_s, 9, true));
        p.drawText(QRectF(text.left(), text.top() + text.height() * 0.6, text.width(), text.height() * 0.4),
                   Qt::AlignLeft | Qt::AlignTop,
                   u"Codice fiscale paziente: "_s + m_codFisc + u"     Intervallo selezionato: "_s + intervalText());
    });
    imgIntestazione->setGeometry(14, 12, 936, 72);
    imgIntestazione->setAccessibleName(u"Andamento dei risultati"_s);

    txtEsame = new QComboBox(pan);
    txtEsame->setObjectName(u"txtEsame"_s);
    txtEsame->setFont(designFont(u"Verdana"_s, 11, true));
    txtEsame->setGeometry(96, 96, 460, 32);
    txtEsame->setMaxVisibleItems(16);
    QLabel *caption = captionFor(pan, txtEsame, u"Esame:"_s, designFont(u"Verdana"_s, 11, true));
    caption->setGeometry(16, 96, 78, 32);
    kit::textLine(pan, u"lblSceltaEsame"_s, u"Scegliere l'esame di cui visualizzare l'andamento."_s,
                    QRect(572, 96, 378, 32));

    grfAndamento = new QChartView(pan);
    grfAndamento->setObjectName(u"grfAndamento"_s);
    grfAndamento->setAccessibleName(u"Grafico dell'andamento dei risultati"_s);
    grfAndamento->setRenderHint(QPainter::Antialiasing);
    grfAndamento->setFrameShape(QFrame::StyledPanel);
    grfAndamento->setBackgroundBrush(Qt::white);
    grfAndamento->setGeometry(14, 138, 936, 410);

    lblEsclusi = kit::textLine(pan, u"lblEsclusi"_s, QString(), QRect(16, 552, 934, 20));

    btnChiudi = kit::button(pan, u"btnChiudi"_s, u"Chiudi"_s, QRect(14, 576, 150, 36));
    btnPDF = kit::button(pan, u"btnPDF"_s, u"Salva PDF"_s, QRect(638, 576, 150, 36));
    btnStampa = kit::button(pan, u"btnStampa"_s, u"Stampa"_s, QRect(800, 576, 150, 36));

    setTabOrder(txtEsame, btnStampa);
    setTabOrder(btnStampa, btnPDF);
    setTabOrder(btnPDF, btnChiudi);

    connect(txtEsame, &QComboBox::currentIndexChanged, this, &TfrmGrafico::txtEsameChange);
    connect(btnStampa, &QPushButton::clicked, this, &TfrmGrafico::btnStampaClick);
    connect(btnPDF, &QPushButton::clicked, this, &TfrmGrafico::btnPDFClick);
    connect(btnChiudi, &QPushButton::clicked, this, &TfrmGrafico::btnChiudiClick);
}

TfrmGrafico::~TfrmGrafico() = default;

void TfrmGrafico::setTrends(const summary::TrendSet &trends, const QString &codFisc, const QDate &from,
                            const QDate &to)
{
    m_trends = trends;
    m_codFisc = codFisc;
    m_from = from;
    m_to = to;
    const QSignalBlocker quiet(txtEsame);
    txtEsame->clear();
    for (const summary::ExamTrend &t : m_trends.exams)
        txtEsame->addItem(trendchart::seriesName(t));
    txtEsame->setCurrentIndex(m_trends.exams.isEmpty() ? -1 : 0);
    txtEsameChange();
    // The heading's second line is drawn, not written: a screen reader
    // reads it from the description.
    imgIntestazione->setAccessibleDescription(u"Codice fiscale paziente: "_s + m_codFisc
                                              + u". Intervallo selezionato: "_s + intervalText());
    imgIntestazione->update();
}

const summary::ExamTrend *TfrmGrafico::shownTrend() const
{
    const int i = txtEsame->currentIndex();
    return i >= 0 && i < m_trends.exams.size() ? &m_trends.exams[i] : nullptr;
}

QString TfrmGrafico::intervalText() const
{
    return u"Dal "_s + settings::formatDate(m_from) + u" al "_s + settings::formatDate(m_to);
}

QString TfrmGrafico::excludedText() const
{
    const summary::ExamTrend *t = shownTrend();
    if (!t)
        return QString();
    QString text = u"Risultati rappresentati: "_s + QString::number(t->points.size())
                   + u"   -   Risultati non numerici esclusi dal grafico: "_s + QString::number(t->nonNumeric);
    int elsewhere = m_trends.nonNumeric;
    for (const summary::ExamTrend &e : m_trends.exams)
        elsewhere -= e.nonNumeric;
    if (elsewhere > 0)
        text += u"   -   Risultati non numerici di altri esami del riepilogo: "_s + QString::number(elsewhere);
    return text;
}

void TfrmGrafico::txtEsameChange()
{
    const summary::ExamTrend *t = shownTrend();
    QChart *old = grfAndamento->chart();
    if (!t) {
        grfAndamento->setChart(new QChart);
    } else {
        const trendchart::Chart made = trendchart::make(*t, m_from, m_to);
        // Pointing at a result tells its date and value as written.
        connect(made.line, &QXYSeries::hovered, made.chart, [this, made](const QPointF &point, bool over) {
            const summary::ExamTrend *shown = shownTrend();
            if (!over || !shown) {
                QToolTip::hideText();
                return;
            }
            const summary::TrendPoint *nearest = nullptr;
            double best = 0;
            for (const summary::TrendPoint &p : shown->points) {
                const double d = std::abs(double(m_from.daysTo(p.date)) - point.x())
                                 + std::abs(p.value - point.y()) * 1e-9;
                if (!nearest || d < best) {
                    nearest = &p;
                    best = d;
                }
            }
            if (nearest)
                QToolTip::showText(QCursor::pos(),
                                   settings::formatDate(nearest->date) + u":  "_s + nearest->result
                                       + (shown->unit.isEmpty() ? QString() : u" "_s + shown->unit)
                                       + (nearest->alarming ? u"  (risultato allarmante)"_s : QString()),
                                   grfAndamento);
        });
        grfAndamento->setChart(made.chart);
    }
    // The view does not own a chart it no longer shows.
    if (old && old != grfAndamento->chart())
        delete old;
    lblEsclusi->setText(excludedText());
}

std::unique_ptr<ReportTemplate> TfrmGrafico::preparedReport() const
{
    const summary::ExamTrend *t = shownTrend();
    if (!t)
        return nullptr;
    auto rep = makeRepGrafico(pngOf(trendchart::render(*t, m_from, m_to, kPrintedChart, kPrintScale)));
    const QDateTime now = m_ctx.services.clock->now();
    rep->text(u"txtTitolo").setText(u"Andamento risultati - "_s + trendchart::seriesName(*t));
    rep->text(u"txtPaziente")
        .setText(u"Codice fiscale paziente: "_s + m_codFisc + u"     Intervallo selezionato: "_s + intervalText());
    rep->text(u"txtEsclusi").setText(excludedText());
    rep->text(u"txtCalce").setText(report::printedAt(now));
    // What a text too long for the page is called where it is printed whole.
    rep->text(u"txtTitolo").setCaption(u"Esame:"_s);
    rep->text(u"txtPaziente").setCaption(u"Paziente e intervallo:"_s);
    rep->text(u"txtEsclusi").setCaption(u"Risultati esclusi:"_s);
    rep->PrepareReport(now, true);
    return rep;
}

void TfrmGrafico::btnStampaClick()
{
    if (const auto rep = preparedReport())
        printReport(m_ctx.services, *rep, this);
}

void TfrmGrafico::btnPDFClick()
{
    const summary::ExamTrend *t = shownTrend();
    if (!t)
        return;
    const Services &services = m_ctx.services;
    const QString suggested =
        services.appPath(u"Andamento_"_s + fileNamePart(t->exam) + u"_"_s + fileNamePart(m_codFisc) + u".pdf"_s);
    QString target = services.files->saveFile(this, u"Salva il grafico in PDF"_s, u"Documenti PDF (*.pdf)"_s,
                                              suggested);
    if (target.isEmpty())
        return; // the user cancelled
    if (QFileInfo(target).suffix().isEmpty())
        target += u".pdf"_s;
    const auto rep = preparedReport();
    PdfExport pdf;
    pdf.fileName = target;
    pdf.title = u"Andamento risultati"_s;
    pdf.subject = trendchart::seriesName(*t);
    if (!exportReportPdf(services, *rep, pdf, this))
        return; // the engine has said why
    if (services.confirm(this, u"L'esportazione del grafico in PDF è terminata con successo.\n\r\n\rSi vuole "
                               u"aprire il file?"_s))
        TMisc::Open(services, u"\""_s + target + u"\""_s);
}

void TfrmGrafico::btnChiudiClick() { reject(); }

} // namespace clinora
