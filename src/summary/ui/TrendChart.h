#pragma once

#include "summary/Trend.h"

#include <QDate>
#include <QImage>
#include <QSize>

#include <functional>

class QChart;
class QXYSeries;

// One exam's results drawn over the interval of the summary: a line over the
// sample dates, the reference range as a band behind it, the results marked
// as alarming on top.
namespace clinora::trendchart {

struct Chart {
    QChart *chart = nullptr;   // owned by the caller
    QXYSeries *line = nullptr; // the results, for hover tips
    // Puts each result's value beside its point; the chart does it itself
    // whenever its plot area changes.
    std::function<void()> placeLabels;
};

// The date axis spans `from` to `to` (both days included).
Chart make(const summary::ExamTrend &trend, const QDate &from, const QDate &to);

// The chart drawn on white into an image of `size` logical pixels, each
// `scale` device pixels wide: sharp on paper.
QImage render(const summary::ExamTrend &trend, const QDate &from, const QDate &to, QSize size, qreal scale);

// "Glicemia (mg/dl)", or the exam alone when it has no unit.
QString seriesName(const summary::ExamTrend &trend);

// The days from `from` to `to` that the date axis labels.
QList<QDate> tickDates(const QDate &from, const QDate &to);

} // namespace clinora::trendchart
