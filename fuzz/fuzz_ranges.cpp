// The readers of results and reference values over arbitrary text: what
// reads is finite and in order, a word that is not a unit is never taken
// for one, and the card's offer, the archive-wide question and the chart's
// range always agree.
#include "analyses/ReferenceRange.h"
#include "common/Text.h"
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
    const QStringList parts = s.split(u'\n');
    const auto part = [&parts](int i) { return i < parts.size() ? parts[i] : QString(); };
    const QString result = part(0), rife = part(1), um = part(2);

    if (const std::optional<double> v = readResultValue(result)) {
        check(std::isfinite(*v));
        // A mark or a word after a number makes it no plain number.
        check(!readResultValue(QString(result + QStringLiteral(" positivo"))));
    }

    const std::optional<RangeLimits> r = readReferenceRange(rife);
    if (r) {
        check(r->low || r->high);
        if (r->low)
            check(std::isfinite(*r->low));
        if (r->high)
            check(std::isfinite(*r->high));
        if (r->low && r->high)
            check(*r->low <= *r->high);
        if (!r->unit.isEmpty())
            check(sameUnit(r->unit, r->unit) && !sameUnit(r->unit, QString()));
    }
    // Any word beside the numbers that is not a unit: no range.
    check(!readReferenceRange(QString(rife + QStringLiteral(" positivo"))));
    check(!readReferenceRange(QString(rife + QStringLiteral(" insufficienza"))));

    const RangeCheck c = checkResult(result, rife, um);
    check(outsideRange(result, rife, um) == c.outside());
    check(offeredOutcome(c).isEmpty() != c.readable());
    if (!r)
        check(!c.readable());
    if (r && !r->unit.isEmpty() && text::isBlank(um) && !text::isBlank(result))
        check(!c.readable());
    if (c.readable()) {
        check(!rangeExplanation(c).isEmpty());
        // The chart's band holds the value exactly when the card calls it normal.
        const std::optional<summary::ReferenceRange> band = summary::referenceRange(rife, um);
        check(band.has_value());
        check(band->contains(c.value) == (c.place == RangePlace::Inside));
    }
    // Read as stored, the texts read as they do once stored again.
    const QString storedResult = text::storedForm(result), storedRife = text::storedForm(rife),
                  storedUm = text::storedForm(um);
    check(checkResult(text::storedForm(storedResult), text::storedForm(storedRife), text::storedForm(storedUm)).place
          == checkResult(storedResult, storedRife, storedUm).place);
    return 0;
}
