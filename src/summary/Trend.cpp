#include "summary/Trend.h"

#include "analyses/ReferenceRange.h"
#include "common/ListOrder.h"
#include "common/Text.h"

#include <QHash>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace clinora::summary {

std::optional<double> resultValue(QStringView risultato) { return readResultValue(risultato); }

std::optional<ReferenceRange> referenceRange(QStringView rife, QStringView um)
{
    const std::optional<RangeLimits> r = readReferenceRange(rife);
    if (!r || !sameUnit(r->unit, um))
        return std::nullopt;
    if (!r->unit.isEmpty() && text::isBlank(um))
        return std::nullopt;
    return ReferenceRange{r->low, r->high, r->lowIncluded, r->highIncluded};
}

bool ReferenceRange::contains(double v) const
{
    if (low && (v < *low || (!lowIncluded && v == *low)))
        return false;
    if (high && (v > *high || (!highIncluded && v == *high)))
        return false;
    return true;
}

QList<RangeStep> ExamTrend::rangeSteps() const
{
    QList<RangeStep> steps;
    bool any = false;
    for (const TrendPoint &p : points) {
        any = any || p.range.has_value();
        if (!steps.isEmpty() && steps.last().range == p.range)
            steps.last().to = p.date;
        else
            steps.append({p.date, p.date, p.range});
    }
    if (!any)
        steps.clear();
    return steps;
}

TrendSet buildTrends(const QList<SummaryEntry> &entries)
{
    // In order of sample date; results of the same day keep the archive's order.
    QList<const SummaryEntry *> ordered;
    ordered.reserve(entries.size());
    for (const SummaryEntry &e : entries)
        ordered.append(&e);
    std::stable_sort(ordered.begin(), ordered.end(),
                     [](const SummaryEntry *a, const SummaryEntry *b) { return a->date < b->date; });

    QList<ExamTrend> groups;
    QHash<QString, qsizetype> groupOf;
    TrendSet set;
    for (const SummaryEntry *e : ordered) {
        const QString key = text::upperAZ(e->fields.esame) + QChar(0) + text::upperAZ(e->fields.um);
        auto it = groupOf.constFind(key);
        if (it == groupOf.constEnd()) {
            it = groupOf.insert(key, groups.size());
            groups.append({e->fields.esame, e->fields.um, {}, 0});
        }
        ExamTrend &trend = groups[*it];
        if (const auto value = resultValue(e->fields.risultato)) {
            trend.points.append({e->date, *value, text::trimmed(e->fields.risultato), e->alarming,
                                 referenceRange(e->fields.rife, e->fields.um)});
        } else {
            ++trend.nonNumeric;
            ++set.nonNumeric;
        }
    }
    for (ExamTrend &trend : groups)
        if (!trend.points.isEmpty())
            set.exams.append(std::move(trend));
    std::stable_sort(set.exams.begin(), set.exams.end(), [](const ExamTrend &a, const ExamTrend &b) {
        const int c = compareListText(a.exam, b.exam);
        return c != 0 ? c < 0 : compareListText(a.unit, b.unit) < 0;
    });
    return set;
}

} // namespace clinora::summary
