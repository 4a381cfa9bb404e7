// The date and number readers over arbitrary text, and the summary's
// interval: its criteria checks, the interval test on a sample date, the
// date key the result lists sort on, and the trend's readings of results
// and reference values.
#include "analyses/ReferenceRange.h"
#include "analyses/ResultLine.h"
#include "common/CommonSettings.h"
#include "common/Text.h"
#include "summary/SummaryCriteria.h"
#include "summary/SummaryList.h"
#include "summary/Trend.h"

#include <QStringList>

#include <cmath>
#include <cstdlib>

using namespace clinora;

namespace {

void check(bool ok)
{
    if (!ok)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString s = text::fromCp1252(QByteArrayView(reinterpret_cast<const char *>(data), qsizetype(size)));

    // A date read back is a real day, written the same way.
    const std::optional<QDate> d = settings::parseDate(s);
    if (d)
        check(d->isValid() && settings::formatDate(*d) == s);
    if (const std::optional<double> n = settings::parseNumber(s))
        check(std::isfinite(*n));

    // The sort key of a sample date: yyyymmdd of a date, and never longer.
    const QString key = resultDateKey(s);
    check(key.size() <= 8);
    if (d)
        check(key == d->toString(QStringLiteral("yyyyMMdd")));

    // The criteria screen's texts, one per line of the input.
    const QStringList parts = s.split(u'\n');
    const auto part = [&parts](int i) { return i < parts.size() ? parts[i] : QString(); };
    summary::CriteriaInput in;
    in.anno = part(0);
    in.codFisc = part(1);
    in.giornoInizio = part(2);
    in.meseInizio = part(3);
    in.giornoFine = part(4);
    in.meseFine = part(5);
    in.annoInizio = in.anno;
    in.annoFine = in.anno;
    const summary::CriteriaCheck c = summary::checkCriteria(in);
    check(c.step >= 0 && c.step <= 10);
    if (c.passed()) {
        // A passed check gives an interval of real days, in order, within
        // the year typed, as the date labels say.
        check(c.start.isValid() && c.end.isValid() && c.start <= c.end);
        check(c.start.year() == in.anno.toInt() && c.end.year() == in.anno.toInt());
        check(settings::parseDate(c.dataInizio) == c.start && settings::parseDate(c.dataFine) == c.end);
        check(summary::inInterval(c.dataInizio, c.start, c.end) && summary::inInterval(c.dataFine, c.start, c.end));
        // A sample date lies in it exactly when it reads as a day between them.
        const std::optional<QDate> sample = settings::parseDate(text::trimmed(part(6)));
        check(summary::inInterval(part(6), c.start, c.end) == (sample && *sample >= c.start && *sample <= c.end));
    } else {
        check(!c.message.isEmpty());
    }
    if (d)
        check(summary::inInterval(s, *d, *d) && !summary::inInterval(s, d->addDays(1), d->addDays(2)));

    // The trend's readings: a number, and a range whose ends are in order.
    if (const std::optional<double> v = summary::resultValue(s))
        check(std::isfinite(*v));
    if (const std::optional<summary::ReferenceRange> r = summary::referenceRange(s)) {
        check(r->low || r->high);
        if (r->low && r->high)
            check(std::isfinite(*r->low) && std::isfinite(*r->high) && *r->low <= *r->high);
    }

    // The card's reading of a result against its range, over the input's
    // first three lines: an offer only from what reads, and the same answer
    // from the archive-wide question.
    const clinora::RangeCheck rc = checkResult(part(0), part(1), part(2));
    check(rc.readable() == (readResultValue(part(0)) && readReferenceRange(part(1))
                            && sameUnit(readReferenceRange(part(1))->unit, part(2))));
    check(outsideRange(part(0), part(1), part(2)) == rc.outside());
    check(offeredOutcome(rc).isEmpty() != rc.readable());
    if (rc.readable())
        check(!rangeExplanation(rc).isEmpty());
    return 0;
}
