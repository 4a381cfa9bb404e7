#include "analyses/ReferenceRange.h"

#include "common/CommonSettings.h"
#include "common/Text.h"

using namespace Qt::StringLiterals;

namespace clinora {

namespace {

struct Number {
    double value = 0;
    int decimals = 0;
};

// Up to 15 digits: every such number and its power of ten are exact doubles,
// so one division gives the value a full reading would.
constexpr int kMostDigits = 15;
constexpr double kPowersOfTen[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                   1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};

bool isDigit(QChar c) { return c >= u'0' && c <= u'9'; }
bool isBlank(QChar c) { return c.unicode() <= 32; }

// A hyphen, the en and em dashes word processors put between two numbers, or "÷".
bool isRangeDash(QChar c) { return c == u'-' || c == QChar(0x2013) || c == QChar(0x2014) || c == QChar(0x00F7); }

class Reader {
public:
    explicit Reader(QStringView t) : m_t(t) {}

    bool atEnd() const { return m_i >= m_t.size(); }
    QChar peek() const { return atEnd() ? QChar() : m_t[m_i]; }
    void skip() { ++m_i; }
    void skipBlanks()
    {
        while (!atEnd() && isBlank(m_t[m_i]))
            ++m_i;
    }
    bool take(QChar c)
    {
        if (peek() != c)
            return false;
        ++m_i;
        return true;
    }
    // A word of letters (case aside) followed by a blank; the blanks after it are taken too.
    bool takeWord(QStringView word)
    {
        const QStringView rest = m_t.sliced(m_i);
        if (rest.size() <= word.size() || !rest.startsWith(word, Qt::CaseInsensitive) || !isBlank(rest[word.size()]))
            return false;
        m_i += word.size();
        skipBlanks();
        return true;
    }

    // [sign] digits [separator digits]. A point followed by exactly three
    // digits after a whole part other than 0 may separate thousands: refused.
    std::optional<Number> number(bool signAllowed)
    {
        qsizetype j = m_i;
        const qsizetype n = m_t.size();
        bool negative = false;
        if (signAllowed && j < n && (m_t[j] == u'-' || m_t[j] == u'+')) {
            negative = m_t[j] == u'-';
            ++j;
        }
        quint64 mantissa = 0, whole = 0;
        int digits = 0, decimals = 0;
        QChar separator;
        for (; j < n; ++j) {
            const QChar c = m_t[j];
            if (isDigit(c)) {
                if (++digits > kMostDigits)
                    return std::nullopt;
                mantissa = mantissa * 10 + (c.unicode() - u'0');
                if (separator.isNull())
                    whole = mantissa;
                else
                    ++decimals;
            } else if ((c == u',' || c == u'.') && separator.isNull()) {
                separator = c;
            } else {
                break;
            }
        }
        if (digits == 0 || (!separator.isNull() && decimals == 0))
            return std::nullopt;
        if (separator == u'.' && decimals == 3 && whole != 0)
            return std::nullopt;
        m_i = j;
        const double v = double(mantissa) / kPowersOfTen[decimals];
        return Number{negative ? -v : v, decimals};
    }

    // A unit after a number: one word ("mg/dl", "%", "x10^3/µl", "10^9/l"),
    // or "x" and a word ("x 10^3/µl"). Empty when none; nothing is taken then.
    QStringView unit()
    {
        const qsizetype start = m_i;
        const qsizetype end = wordEnd(start);
        if (end == start)
            return {};
        const QStringView first = m_t.sliced(start, end - start);
        if ((first == u"x" || first == u"X") && end < m_t.size() && isBlank(m_t[end])) {
            qsizetype k = end;
            while (k < m_t.size() && isBlank(m_t[k]))
                ++k;
            const qsizetype after = wordEnd(k);
            if (after > k && isUnitWord(m_t.sliced(k, after - k))) {
                m_i = after;
                return m_t.sliced(start, after - start);
            }
        }
        if (!isUnitWord(first))
            return {};
        m_i = end;
        return first;
    }

private:
    static bool isUnitChar(QChar c)
    {
        if (c.isLetter() || isDigit(c))
            return true;
        switch (c.unicode()) {
        case u'/': case u'%': case u'^': case u'.': case u'*': case 0x00B0: case 0x00B2: case 0x00B3: case 0x00B7:
            return true;
        default:
            return false;
        }
    }
    // A word that can only be a unit: something besides digits in it, and
    // one that begins with a digit is a power of ten or a per-something.
    static bool isUnitWord(QStringView w)
    {
        if (w.isEmpty())
            return false;
        bool sign = false;
        for (QChar c : w)
            if (c.isLetter() || c == u'%' || c == u'^' || c == u'/')
                sign = true;
        if (!sign)
            return false;
        return !isDigit(w.front()) || w.contains(u'^') || w.contains(u'/');
    }
    qsizetype wordEnd(qsizetype from) const
    {
        while (from < m_t.size() && isUnitChar(m_t[from]))
            ++from;
        return from;
    }

    QStringView m_t;
    qsizetype m_i = 0;
};

// What the reader made of a range, the unit still a view of the text.
struct Limits {
    std::optional<Number> low, high;
    bool lowIncluded = true, highIncluded = true;
    QStringView unit;
};

bool sameWrittenUnit(QStringView a, QStringView b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i)
        if (a[i].toCaseFolded() != b[i].toCaseFolded())
            return false;
    return true;
}

// The number and its unit after it, and then nothing more.
bool lastNumber(Reader &r, std::optional<Number> &n, QStringView &unit)
{
    n = r.number(true);
    if (!n)
        return false;
    r.skipBlanks();
    unit = r.unit();
    r.skipBlanks();
    return r.atEnd();
}

std::optional<Limits> readLimits(QStringView rife)
{
    const QStringView t = text::trimmedView(rife);
    if (t.isEmpty())
        return std::nullopt;
    Reader r(t);
    Limits l;

    // One end: "<200", "<= 200", ">40", "fino a 200", "superiore a 60".
    auto oneEnd = [&](bool upper, bool included) -> std::optional<Limits> {
        r.skipBlanks();
        std::optional<Number> n;
        if (!lastNumber(r, n, l.unit))
            return std::nullopt;
        (upper ? l.high : l.low) = n;
        (upper ? l.highIncluded : l.lowIncluded) = included;
        return l;
    };
    if (r.take(u'<'))
        return oneEnd(true, r.take(u'='));
    if (r.take(u'>'))
        return oneEnd(false, r.take(u'='));
    if (r.takeWord(u"fino a"))
        return oneEnd(true, true);
    if (r.takeWord(u"inferiore a") || r.takeWord(u"minore di"))
        return oneEnd(true, false);
    if (r.takeWord(u"superiore a") || r.takeWord(u"maggiore di"))
        return oneEnd(false, false);

    // Both ends: "70-110", "3,5 ÷ 5", "70 mg/dl - 110 mg/dl", "da 70 a 110".
    const bool from = r.takeWord(u"da");
    l.low = r.number(true);
    if (!l.low)
        return std::nullopt;
    r.skipBlanks();
    QStringView firstUnit;
    if (from) {
        if (!r.takeWord(u"a")) {
            firstUnit = r.unit();
            r.skipBlanks();
            if (!r.takeWord(u"a"))
                return std::nullopt;
        }
    } else {
        firstUnit = r.unit();
        r.skipBlanks();
        if (!isRangeDash(r.peek()))
            return std::nullopt;
        r.skip();
        r.skipBlanks();
    }
    if (!lastNumber(r, l.high, l.unit))
        return std::nullopt;
    // A unit after the first number is the same one repeated, or the range is not one.
    if (!firstUnit.isEmpty() && !sameWrittenUnit(firstUnit, l.unit))
        return std::nullopt;
    if (l.low->value > l.high->value)
        return std::nullopt;
    return l;
}

// A unit as compared: letters folded, blanks and points left out, "µ" as
// "u", a leading "x" before a power of ten left out. At most `N` characters.
template <qsizetype N>
qsizetype unitKey(QStringView u, char16_t (&out)[N])
{
    qsizetype n = 0;
    for (qsizetype i = 0; i < u.size() && n < N; ++i) {
        QChar c = u[i];
        if (isBlank(c) || c == u'.')
            continue;
        if (n == 0 && (c == u'x' || c == u'X' || c == u'*') && i + 1 < u.size()
            && (isDigit(u[i + 1]) || isBlank(u[i + 1])))
            continue;
        if (c == QChar(0x00B5) || c == QChar(0x03BC))
            c = u'u';
        out[n++] = c.toCaseFolded().unicode();
    }
    return n;
}

bool unitsAgree(QStringView rangeUnit, QStringView um)
{
    char16_t a[64], b[64];
    const qsizetype na = unitKey(rangeUnit, a), nb = unitKey(um, b);
    if (na == 0 || nb == 0)
        return true;
    const qsizetype common = std::min(na, nb);
    for (qsizetype i = 0; i < common; ++i)
        if (a[i] != b[i])
            return false;
    return true;
}

RangePlace placeOf(double v, const Limits &l)
{
    if (l.low && (v < l.low->value || (!l.lowIncluded && v == l.low->value)))
        return RangePlace::Below;
    if (l.high && (v > l.high->value || (!l.highIncluded && v == l.high->value)))
        return RangePlace::Above;
    return RangePlace::Inside;
}

std::optional<Number> resultNumber(QStringView risultato)
{
    const QStringView t = text::trimmedView(risultato);
    if (t.isEmpty())
        return std::nullopt;
    Reader r(t);
    const std::optional<Number> n = r.number(true);
    return n && r.atEnd() ? n : std::nullopt;
}

QString numberText(double value, int decimals) { return settings::formatNumber(value, decimals); }

} // namespace

std::optional<double> readResultValue(QStringView risultato)
{
    if (const std::optional<Number> n = resultNumber(risultato))
        return n->value;
    return std::nullopt;
}

std::optional<RangeLimits> readReferenceRange(QStringView rife)
{
    const std::optional<Limits> l = readLimits(rife);
    if (!l)
        return std::nullopt;
    RangeLimits out;
    if (l->low) {
        out.low = l->low->value;
        out.lowDecimals = l->low->decimals;
    }
    if (l->high) {
        out.high = l->high->value;
        out.highDecimals = l->high->decimals;
    }
    out.lowIncluded = l->lowIncluded;
    out.highIncluded = l->highIncluded;
    out.unit = l->unit.toString();
    return out;
}

bool sameUnit(QStringView rangeUnit, QStringView um) { return unitsAgree(rangeUnit, um); }

RangeCheck checkResult(QStringView risultato, QStringView rife, QStringView um)
{
    RangeCheck c;
    if (text::isBlank(risultato) || text::isBlank(rife))
        return c;
    const std::optional<Number> v = resultNumber(risultato);
    if (!v) {
        c.place = RangePlace::NoValue;
        return c;
    }
    c.value = v->value;
    c.valueDecimals = v->decimals;
    const std::optional<RangeLimits> range = readReferenceRange(rife);
    if (!range) {
        c.place = RangePlace::NoRange;
        return c;
    }
    c.range = *range;
    if (!unitsAgree(range->unit, um)) {
        c.place = RangePlace::OtherUnit;
        return c;
    }
    Limits l;
    if (range->low)
        l.low = Number{*range->low, range->lowDecimals};
    if (range->high)
        l.high = Number{*range->high, range->highDecimals};
    l.lowIncluded = range->lowIncluded;
    l.highIncluded = range->highIncluded;
    c.place = placeOf(c.value, l);
    return c;
}

bool outsideRange(QStringView risultato, QStringView rife, QStringView um)
{
    const std::optional<Number> v = resultNumber(risultato);
    if (!v)
        return false;
    const std::optional<Limits> l = readLimits(rife);
    if (!l || !unitsAgree(l->unit, um))
        return false;
    return placeOf(v->value, *l) != RangePlace::Inside;
}

bool unmarkedOutsideRange(QStringView risultato, QStringView rife, QStringView um, QStringView esito, bool alarming)
{
    if (alarming || text::trimmedView(esito).compare(u"FUORI NORMA", Qt::CaseInsensitive) == 0)
        return false;
    return outsideRange(risultato, rife, um);
}

QString unmarkedOutsideCount(qsizetype n)
{
    return n == 1 ? u"1 risultato fuori dall'intervallo non segnato come allarmante"_s
                  : QString::number(n) + u" risultati fuori dall'intervallo non segnati come allarmanti"_s;
}

QString offeredOutcome(const RangeCheck &check)
{
    if (!check.readable())
        return {};
    return check.outside() ? u"FUORI NORMA"_s : u"NELLA NORMA"_s;
}

QString rangeExplanation(const RangeCheck &c)
{
    const QString value = u"Valore "_s + numberText(c.value, c.valueDecimals);
    const RangeLimits &r = c.range;
    const auto low = [&] { return numberText(*r.low, r.lowDecimals); };
    const auto high = [&] { return numberText(*r.high, r.highDecimals); };
    switch (c.place) {
    case RangePlace::Empty:
        return {};
    case RangePlace::NoValue:
        return u"Risultato non numerico: l'esito va indicato a mano."_s;
    case RangePlace::NoRange:
        return u"Valori di riferimento non interpretabili: l'esito va indicato a mano."_s;
    case RangePlace::OtherUnit:
        return u"Valori di riferimento in un'unità diversa da quella del risultato: l'esito va indicato a mano."_s;
    case RangePlace::Below:
        if (*r.low == c.value)
            return value + u" pari al limite inferiore "_s + low() + u", escluso dall'intervallo"_s;
        return value + u" sotto il limite inferiore "_s + low();
    case RangePlace::Above:
        if (*r.high == c.value)
            return value + u" pari al limite superiore "_s + high() + u", escluso dall'intervallo"_s;
        return value + u" oltre il limite superiore "_s + high();
    case RangePlace::Inside:
        if (r.low && r.high)
            return value + u" entro l'intervallo "_s + low() + u'-' + high();
        if (r.high)
            return value + u" entro il limite superiore "_s + high();
        return value + u" sopra il limite inferiore "_s + low();
    }
    return {};
}

} // namespace clinora
