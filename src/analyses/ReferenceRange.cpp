#include "analyses/ReferenceRange.h"

#include "common/CommonSettings.h"
#include "common/Text.h"

#include <algorithm>
#include <string_view>
#include <vector>

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

// ---- Units ----------------------------------------------------------------------------------

// A unit as compared: blanks and points left out, letters a-z folded, "µ"
// (either sign) as "u", "²" and "³" as "^2" and "^3", "10*3" as "10^3", a
// leading "x", "×" or "*" before a power of ten left out. Empty when it is
// longer than any unit.
constexpr qsizetype kUnitKeyMax = 24;
struct UnitKey {
    char16_t c[kUnitKeyMax];
    qsizetype n = 0;
    std::u16string_view view() const { return {c, size_t(n)}; }
};

UnitKey unitKey(QStringView u)
{
    UnitKey k;
    auto put = [&k](char16_t c) {
        if (k.n < kUnitKeyMax)
            k.c[k.n] = c;
        ++k.n;
    };
    for (qsizetype i = 0; i < u.size(); ++i) {
        const char16_t c = u[i].unicode();
        if (c <= 32 || c == u'.')
            continue;
        if (k.n == 0 && (c == u'x' || c == u'X' || c == u'*' || c == 0x00D7) && i + 1 < u.size()
            && (isDigit(u[i + 1]) || isBlank(u[i + 1])))
            continue;
        if (c == 0x00B5 || c == 0x03BC)
            put(u'u');
        else if (c == 0x00B2 || c == 0x00B3) {
            put(u'^');
            put(c == 0x00B2 ? u'2' : u'3');
        } else if (c == u'*' && k.n > 0)
            put(u'^');
        else if (c >= u'A' && c <= u'Z')
            put(char16_t(c - u'A' + u'a'));
        else
            put(c);
    }
    if (k.n > kUnitKeyMax)
        k.n = 0;
    return k;
}

// The units laboratories print, each line one unit in its usual spellings
// (as unitKey gives them), the first the one it is known by. Spellings of
// one line are the same unit: a range in one agrees with a card in another.
constexpr std::u16string_view kUnits[] = {
    u"mg/dl", u"g/dl", u"g/l", u"mg/l", u"mg/ml", u"ug/dl|mcg/dl", u"ug/l|mcg/l", u"ug/ml|mcg/ml", u"ng/ml",
    u"ng/dl", u"ng/l", u"pg/ml", u"mol/l", u"mmol/l", u"umol/l|mcmol/l", u"nmol/l", u"pmol/l", u"mmol/mol",
    u"meq/l", u"mosm/kg", u"mosm/l", u"u/l|ui/l|iu/l", u"u/ml|ui/ml|iu/ml", u"mu/l|mui/l|miu/l",
    u"mu/ml|mui/ml|miu/ml", u"uu/ml|uui/ml|uiu/ml|mcu/ml|mcui/ml", u"ku/l|kui/l|kiu/l", u"%", u"fl", u"pg",
    u"g", u"mg", u"ug|mcg", u"kg", u"g/24h|g/24ore|g/die", u"mg/24h|mg/24ore|mg/die", u"ug/24h|mcg/24h",
    u"mmol/24h", u"mg/g", u"mg/mmol", u"10^3/ul|10^3/mm^3|10^3/mm3|10^9/l", u"10^6/ul|10^6/mm^3|10^6/mm3|10^12/l", u"10^3",
    u"10^6", u"10^9", u"10^12", u"/ul|/mm^3|/mm3|cell/ul|cellule/ul", u"/campo",
    u"mm/h|mm/1h|mm/ora|mm/1ora|mm/1\u00B0ora", u"sec|s|secondi", u"min", u"inr", u"ratio", u"ml/min",
    u"ml/min/173m^2|ml/min/173m2|ml/min/173mq", u"mmhg", u"kg/m^2|kg/m2|kg/mq", u"cm", u"mm", u"ng/ml/h|ng/ml/ora",
    u"copie/ml|cp/ml",
};

struct UnitSpelling {
    std::u16string_view key;
    int unit; // the line of kUnits
};

const std::vector<UnitSpelling> &unitSpellings()
{
    static const std::vector<UnitSpelling> spellings = [] {
        std::vector<UnitSpelling> out;
        for (int line = 0; line < int(std::size(kUnits)); ++line) {
            std::u16string_view rest = kUnits[line];
            for (;;) {
                const size_t bar = rest.find(u'|');
                out.push_back({rest.substr(0, bar), line});
                if (bar == std::u16string_view::npos)
                    break;
                rest.remove_prefix(bar + 1);
            }
        }
        std::sort(out.begin(), out.end(), [](const UnitSpelling &a, const UnitSpelling &b) { return a.key < b.key; });
        return out;
    }();
    return spellings;
}

// The line of kUnits a unit is, or -1 for none.
int unitOf(const UnitKey &k)
{
    if (k.n == 0)
        return -1;
    const std::vector<UnitSpelling> &all = unitSpellings();
    const auto it = std::lower_bound(all.begin(), all.end(), k.view(),
                                     [](const UnitSpelling &s, std::u16string_view key) { return s.key < key; });
    return it != all.end() && it->key == k.view() ? it->unit : -1;
}

bool isKnownUnit(QStringView word) { return unitOf(unitKey(word)) >= 0; }

// "10^3" alone: a power of ten, which a card may follow with what it counts per.
bool isPowerOfTen(std::u16string_view key)
{
    if (key.size() < 4 || key.substr(0, 3) != u"10^")
        return false;
    return std::all_of(key.begin() + 3, key.end(), [](char16_t c) { return c >= u'0' && c <= u'9'; });
}

// Whether the range's unit agrees with the card's: none in the range agrees
// with anything; one in the range and none on the card agrees with nothing,
// the result may be in any unit. Otherwise the same unit (as spelled in
// kUnits, or written alike), or a power of ten and the same followed by
// what it counts per ("x10^3" and "x10^3/µl").
bool unitsAgree(QStringView rangeUnit, QStringView um)
{
    const UnitKey a = unitKey(rangeUnit), b = unitKey(um);
    if (text::isBlank(rangeUnit))
        return true;
    if (a.n == 0 || b.n == 0)
        return false;
    const int ua = unitOf(a), ub = unitOf(b);
    if (ua >= 0 && ua == ub)
        return true;
    if (a.view() == b.view())
        return true;
    const auto perSomething = [](std::u16string_view power, std::u16string_view longer) {
        return isPowerOfTen(power) && longer.size() > power.size() && longer.substr(0, power.size()) == power
               && longer[power.size()] == u'/';
    };
    return perSomething(a.view(), b.view()) || perSomething(b.view(), a.view());
}

// ---- Numbers and ranges -----------------------------------------------------------------------

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

    // [sign] digits [separator digits]. A point or a comma followed by
    // exactly three digits after a whole part other than 0 may separate
    // thousands ("1.500", "4,500"): refused.
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
        if (decimals == 3 && whole != 0)
            return std::nullopt;
        m_i = j;
        const double v = double(mantissa) / kPowersOfTen[decimals];
        return Number{negative ? -v : v, decimals};
    }

    // A unit after a number: one word ("mg/dl", "%", "x10^3/µl", "10^9/l"),
    // or "x" and a word ("x 10^3/µl"), that is a laboratory unit. Empty when
    // none; nothing is taken then.
    QStringView unit()
    {
        const qsizetype start = m_i;
        const qsizetype end = wordEnd(start);
        if (end == start)
            return {};
        const QStringView first = m_t.sliced(start, end - start);
        if ((first == u"x" || first == u"X" || first == u"\u00D7") && end < m_t.size() && isBlank(m_t[end])) {
            qsizetype k = end;
            while (k < m_t.size() && isBlank(m_t[k]))
                ++k;
            const qsizetype after = wordEnd(k);
            const QStringView whole = m_t.sliced(start, after - start);
            if (after > k && isKnownUnit(whole)) {
                m_i = after;
                return whole;
            }
        }
        if (!isKnownUnit(first))
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
        case 0x00D7:
            return true;
        default:
            return false;
        }
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
    if (!range->unit.isEmpty() && text::isBlank(um)) {
        c.place = RangePlace::NoUnit;
        return c;
    }
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
    case RangePlace::NoUnit:
        return u"Unità di misura del risultato non indicata, i valori di riferimento sono in "_s + r.unit +
               u": l'esito va indicato a mano."_s;
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
