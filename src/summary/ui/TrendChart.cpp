#include "summary/ui/TrendChart.h"

#include "common/CommonSettings.h"
#include "common/ui/Palette.h"
#include "common/ui/Widgets.h"

#include <QAreaSeries>
#include <QCategoryAxis>
#include <QChart>
#include <QCoreApplication>
#include <QGraphicsLayout>
#include <QGraphicsScene>
#include <QGraphicsSimpleTextItem>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QPainter>
#include <QScatterSeries>
#include <QValueAxis>

#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

namespace clinora::trendchart {

namespace {

const QColor kLine(31, 96, 170);
const QColor kBand(46, 160, 90);
const QColor kAxisInk(70, 60, 50);
const QColor kGrid(225, 218, 208);
// How far inside an excluded end its edge is drawn, as a share of the value axis.
constexpr double kExcludedEndInset = 0.012;

// Digits after the decimal separator of a result as written ("12,50": 2).
int decimalsOf(const QString &result)
{
    const qsizetype comma = result.indexOf(settings::kDecimalSeparator);
    return comma < 0 ? 0 : int(result.size() - comma - 1);
}

void styleAxis(QAbstractAxis *axis)
{
    axis->setLabelsFont(designFont(u"Verdana"_s, 9));
    axis->setLabelsColor(kAxisInk);
    axis->setTitleFont(designFont(u"Verdana"_s, 9, true));
    axis->setTitleBrush(kAxisInk);
    axis->setLinePenColor(QColor(160, 140, 120));
    axis->setGridLineColor(kGrid);
}

} // namespace

QString seriesName(const summary::ExamTrend &trend)
{
    return trend.unit.isEmpty() ? trend.exam : trend.exam + u" ("_s + trend.unit + u")"_s;
}

QList<QDate> tickDates(const QDate &from, const QDate &to)
{
    QList<QDate> ticks;
    const qint64 days = from.daysTo(to);
    if (days < 0)
        return ticks;
    if (days <= 10) {
        for (QDate d = from; d <= to; d = d.addDays(1))
            ticks << d;
    } else if (days <= 70) {
        for (QDate d = from; d <= to; d = d.addDays(7))
            ticks << d;
    } else {
        // The first day of the month, every month over half a year, every
        // other month (January, March, ...) beyond.
        const int step = days <= 200 ? 1 : 2;
        for (QDate d(from.year(), from.month(), 1); d <= to; d = d.addMonths(1))
            if (d >= from && (d.month() - 1) % step == 0)
                ticks << d;
    }
    return ticks;
}

Chart make(const summary::ExamTrend &trend, const QDate &from, const QDate &to)
{
    auto *chart = new QChart;
    chart->setLocalizeNumbers(true);
    chart->setLocale(QLocale(QLocale::Italian, QLocale::Italy));
    chart->setAnimationOptions(QChart::NoAnimation);
    chart->setBackgroundRoundness(0);
    chart->setBackgroundBrush(Qt::white);
    chart->setMargins(QMargins(6, 6, 10, 4));
    chart->layout()->setContentsMargins(0, 0, 0, 0);
    chart->legend()->setAlignment(Qt::AlignBottom);
    chart->legend()->setFont(designFont(u"Verdana"_s, 9));
    chart->legend()->setLabelColor(kAxisInk);

    // Days from the start of the interval: the date axis is labelled by hand
    // so that its marks fall on whole days (or months) inside the interval.
    const double span = std::max<qint64>(from.daysTo(to), 0);
    auto x = [&](const QDate &d) { return double(from.daysTo(d)); };
    const double pad = std::max(0.6, span * 0.02);
    const double xMin = -pad, xMax = span + pad;

    // The value axis: every result and every finite end of a range in view.
    double lo = trend.points.first().value, hi = lo;
    int decimals = 0;
    for (const summary::TrendPoint &p : trend.points) {
        lo = std::min(lo, p.value);
        hi = std::max(hi, p.value);
        decimals = std::max(decimals, decimalsOf(p.result));
        if (p.range) {
            for (const std::optional<double> &end : {p.range->low, p.range->high})
                if (end) {
                    lo = std::min(lo, *end);
                    hi = std::max(hi, *end);
                }
        }
    }
    const double room = hi > lo ? (hi - lo) * 0.12 : std::max(std::abs(hi) * 0.1, 1.0);
    const bool allPositive = lo >= 0;
    lo -= room;
    hi += room;
    if (allPositive)
        lo = std::max(lo, 0.0);

    auto *axisY = new QValueAxis;
    axisY->setRange(lo, hi);
    axisY->applyNiceNumbers();
    axisY->setLabelFormat(u"%."_s + QString::number(std::min(decimals, 3)) + u"f"_s);
    axisY->setTitleText(trend.unit);
    styleAxis(axisY);
    chart->addAxis(axisY, Qt::AlignLeft);

    auto *axisX = new QCategoryAxis;
    axisX->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    axisX->setRange(xMin, xMax);
    axisX->setStartValue(xMin);
    for (const QDate &d : tickDates(from, to))
        axisX->append(settings::formatDate(d), x(d));
    axisX->setTitleText(u"Data del prelievo"_s);
    styleAxis(axisX);
    chart->addAxis(axisX, Qt::AlignBottom);

    // The reference range, as it stood for each run of results: a run whose
    // range does not read has no band. A run's band reaches halfway to the
    // results beside it, the first from the axis's start, the last to its
    // end. An excluded end ("<200") is drawn a little inside its value, so
    // that a result on it lies outside the band, as the card says.
    const QList<summary::RangeStep> steps = trend.rangeSteps();
    const double yMin = axisY->min(), yMax = axisY->max();
    const double inset = (yMax - yMin) * kExcludedEndInset;
    bool named = false;
    for (qsizetype i = 0; i < steps.size(); ++i) {
        if (!steps[i].range)
            continue;
        const summary::ReferenceRange &range = *steps[i].range;
        const double a = i == 0 ? xMin : (x(steps[i - 1].to) + x(steps[i].from)) / 2;
        const double b = i + 1 < steps.size() ? (x(steps[i].to) + x(steps[i + 1].from)) / 2 : xMax;
        const double low = range.low ? *range.low + (range.lowIncluded ? 0 : inset) : yMin;
        const double high = range.high ? *range.high - (range.highIncluded ? 0 : inset) : yMax;
        auto *upper = new QLineSeries;
        auto *lower = new QLineSeries;
        lower->append(a, low);
        lower->append(b, low);
        upper->append(a, high);
        upper->append(b, high);
        auto *band = new QAreaSeries(upper, lower);
        // An area series does not own its edges.
        upper->setParent(band);
        lower->setParent(band);
        band->setName(u"Intervallo di riferimento"_s);
        QColor fill = kBand;
        fill.setAlpha(46);
        band->setBrush(fill);
        QColor edge = kBand;
        edge.setAlpha(140);
        band->setPen(QPen(edge, 1, Qt::DashLine));
        chart->addSeries(band);
        band->attachAxis(axisX);
        band->attachAxis(axisY);
        // One entry in the legend for every stretch of the band.
        if (named) {
            for (QLegendMarker *marker : chart->legend()->markers(band))
                marker->setVisible(false);
        }
        named = true;
    }

    auto *line = new QLineSeries;
    line->setName(seriesName(trend));
    line->setPen(QPen(kLine, 2.5));
    line->setPointsVisible(true);
    line->setMarkerSize(8);
    for (const summary::TrendPoint &p : trend.points)
        line->append(x(p.date), p.value);
    chart->addSeries(line);
    line->attachAxis(axisX);
    line->attachAxis(axisY);

    // Each result written above its point, as on the card, while there is
    // room for them; an alarming one in red.
    struct Label {
        QGraphicsSimpleTextItem *item;
        QPointF at;
    };
    QList<Label> labels;
    if (trend.points.size() <= 24) {
        for (const summary::TrendPoint &p : trend.points) {
            auto *item = new QGraphicsSimpleTextItem(p.result, chart);
            item->setFont(designFont(u"Verdana"_s, 8, true));
            item->setBrush(p.alarming ? palette::crimson : kLine.darker(140));
            item->setZValue(1000);
            labels.append({item, QPointF(x(p.date), p.value)});
        }
    }
    auto placeLabels = [chart, line, labels] {
        const QRectF plot = chart->plotArea();
        QList<QRectF> taken;
        for (const Label &l : labels) {
            const QPointF at = chart->mapToPosition(l.at, line);
            const QSizeF size = l.item->boundingRect().size();
            const QRectF above(QPointF(at.x() - size.width() / 2, at.y() - size.height() - 7), size);
            const QRectF below(QPointF(at.x() - size.width() / 2, at.y() + 7), size);
            auto fits = [&](const QRectF &r) {
                return r.top() >= plot.top() && r.bottom() <= plot.bottom()
                       && std::none_of(taken.cbegin(), taken.cend(),
                                       [&](const QRectF &t) { return t.intersects(r.adjusted(-2, -1, 2, 1)); });
            };
            // Above the point, else below it; a value with no room of its own
            // (results crowded on a day) is left to the hover tip.
            const QRectF *place = fits(above) ? &above : (fits(below) ? &below : nullptr);
            l.item->setVisible(place && plot.contains(at));
            if (place && plot.contains(at)) {
                l.item->setPos(place->topLeft());
                taken.append(*place);
            }
        }
    };
    QObject::connect(chart, &QChart::plotAreaChanged, chart, placeLabels);

    const bool anyAlarm = std::any_of(trend.points.cbegin(), trend.points.cend(),
                                      [](const summary::TrendPoint &p) { return p.alarming; });
    if (anyAlarm) {
        auto *alarm = new QScatterSeries;
        alarm->setName(u"Risultato allarmante"_s);
        alarm->setMarkerShape(QScatterSeries::MarkerShapeCircle);
        alarm->setMarkerSize(15);
        alarm->setColor(palette::crimson);
        alarm->setBorderColor(Qt::white);
        for (const summary::TrendPoint &p : trend.points)
            if (p.alarming)
                alarm->append(x(p.date), p.value);
        chart->addSeries(alarm);
        alarm->attachAxis(axisX);
        alarm->attachAxis(axisY);
    }
    return {chart, line, placeLabels};
}

QImage render(const summary::ExamTrend &trend, const QDate &from, const QDate &to, QSize size, qreal scale)
{
    QGraphicsScene scene;
    const Chart made = make(trend, from, to);
    QChart *chart = made.chart;
    scene.addItem(chart); // the scene owns it from here
    chart->setGeometry(QRectF(QPointF(0, 0), QSizeF(size)));
    // Let the chart lay itself out before it is drawn.
    if (QGraphicsLayout *layout = chart->layout())
        layout->activate();
    QCoreApplication::sendPostedEvents();
    made.placeLabels();

    QImage image(QSize(qRound(size.width() * scale), qRound(size.height() * scale)), QImage::Format_ARGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
    scene.render(&painter, QRectF(image.rect()), QRectF(QPointF(0, 0), QSizeF(size)));
    return image;
}

} // namespace clinora::trendchart
