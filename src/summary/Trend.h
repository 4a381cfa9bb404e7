#pragma once

#include "summary/SummaryList.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringView>

#include <optional>

// How the results of a summary move over time: each exam's results that read
// as numbers, in order of sample date, with the reference range each was
// given against.
namespace clinora::summary {

// A result that reads as a plain number ("12,5", " 7 ", "12.5"); "<5",
// "neg." or "250.000" do not. The card's own reader (ReferenceRange.h).
std::optional<double> resultValue(QStringView risultato);

// A reference range as the card reads it: both ends ("70-110", "0,6 - 1,2",
// "70-110 mg/dl"), or one ("<200", ">40", "<=5", "fino a 200"). A missing end
// is open; an end may be excluded ("<200": 200 lies outside). A range written
// in another unit than `um`, or naming a unit where `um` is blank, reads as
// none.
struct ReferenceRange {
    std::optional<double> low, high;
    bool lowIncluded = true, highIncluded = true;
    // As the card judges: true for a value inside, an included end too.
    bool contains(double v) const;
    friend bool operator==(const ReferenceRange &, const ReferenceRange &) = default;
};
// The range the reference values read as, or nothing when they read as none.
std::optional<ReferenceRange> referenceRange(QStringView rife, QStringView um = {});

struct TrendPoint {
    QDate date;
    double value = 0;
    QString result; // as written on the card
    bool alarming = false;
    std::optional<ReferenceRange> range;
};

// A run of consecutive results read against the same reference range, or
// against none (their reference values blank or unreadable): the results
// from the sample date `from` to `to`.
struct RangeStep {
    QDate from, to;
    std::optional<ReferenceRange> range;
};

// One exam (and unit of measure) of the summary.
struct ExamTrend {
    QString exam; // as first written, in order of sample date
    QString unit;
    QList<TrendPoint> points; // in order of sample date
    int nonNumeric = 0;       // results of the exam that do not read as numbers

    // The steps of the reference range along the points, in order; empty
    // when no result of the exam has a range that reads. A result without a
    // range that reads is in a step without one: no earlier range carries
    // over to it.
    QList<RangeStep> rangeSteps() const;
};

struct TrendSet {
    // Exams with at least one numeric result, in list order of their names.
    QList<ExamTrend> exams;
    // Results left out because they do not read as numbers, over the whole summary.
    int nonNumeric = 0;
};

// Groups the results by exam and unit (A-Z without regard to case): the
// same exam in two units is two trends, so that no line mixes them.
TrendSet buildTrends(const QList<SummaryEntry> &entries);

} // namespace clinora::summary
