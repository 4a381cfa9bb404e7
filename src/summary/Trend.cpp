#include "summary/Trend.h"

#include "common/CommonSettings.h"
#include "common/ListOrder.h"
#include "common/Text.h"

#include <QHash>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace clinora::summary {

namespace {

// A hyphen, or the en dash that word processors put between two numbers.
bool isDash(QChar c) { return c == u'-' || c == QChar(0x2013); }

// The length of a leading "<" or "<=" (`sign` "<"), or ">" or ">=": 0 for none.
qsizetype signLength(QStringView t, QChar sign)
{
    if (!t.startsWith(sign))
        return 0;
    return t.size() > 1 && t[1] == u'=' ? 2 : 1;
}

// A number of a laboratory report, with "," or "." as its decimal
// separator ("5,4", "5.4"). A point before exactly three digits after a
// whole part other than 0 ("6.500") may as well group thousands: such a
// text is not taken as a number rather than drawn a thousand times too low.
std::optional<double> chartNumber(QStringView text)
{
    const QStringView t = text::trimmedView(text);
    const qsizetype point = t.indexOf(u'.');
    if (point < 0)
        return settings::parseNumber(t);
    if (t.indexOf(u',') >= 0 || t.indexOf(u'.', point + 1) >= 0)
        return std::nullopt;
    const QStringView whole = t.first(point);
    const bool zeroWhole = [&] {
        for (QChar c : whole)
            if (c != u'0' && c != u'-' && c != u'+')
                return false;
        return true;
    }();
    if (t.size() - point - 1 == 3 && !zeroWhole)
        return std::nullopt;
    QString comma = t.toString();
    comma[point] = u',';
    return settings::parseNumber(comma);
}

} // namespace

std::optional<double> resultValue(QStringView risultato) { return chartNumber(risultato); }

std::optional<ReferenceRange> referenceRange(QStringView rife)
{
    const QStringView t = text::trimmedView(rife);
    if (t.isEmpty())
        return std::nullopt;
    if (const qsizetype n = signLength(t, u'<')) {
        if (const auto high = chartNumber(t.mid(n)))
            return ReferenceRange{std::nullopt, *high};
        return std::nullopt;
    }
    if (const qsizetype n = signLength(t, u'>')) {
        if (const auto low = chartNumber(t.mid(n)))
            return ReferenceRange{*low, std::nullopt};
        return std::nullopt;
    }
    // "low-high": the dash that splits the text into two numbers in order.
    // A dash at the very start is the sign of the low end, never the split.
    for (qsizetype i = 1; i + 1 < t.size(); ++i) {
        if (!isDash(t[i]))
            continue;
        const auto low = chartNumber(t.first(i));
        const auto high = chartNumber(t.sliced(i + 1));
        if (low && high && *low <= *high)
            return ReferenceRange{*low, *high};
    }
    return std::nullopt;
}

QList<RangeStep> ExamTrend::rangeSteps() const
{
    QList<RangeStep> steps;
    for (const TrendPoint &p : points) {
        if (!p.range)
            continue; // a result without a range keeps the one before it
        if (steps.isEmpty() || !(steps.last().range == *p.range))
            steps.append({p.date, *p.range});
    }
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
                                 referenceRange(e->fields.rife)});
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
