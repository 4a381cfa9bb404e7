#include "common/Text.h"

#include <QList>
#include <QVarLengthArray>

#include <array>
#include <cstring>
#include <string_view>

namespace clinora::text {

namespace {

// Windows-1252 bytes 0x80-0x9F. Undefined bytes keep their own value.
constexpr std::array<char16_t, 32> kHigh = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// Returns the byte for a character, or -1 when the code page has none.
int byteFor(char16_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return c;
    for (int i = 0; i < 32; ++i)
        if (kHigh[size_t(i)] == c)
            return 0x80 + i;
    return -1;
}

constexpr bool isBlankChar(QChar c) { return c.unicode() <= 32; }

// Letters with no decomposition to a base letter, and punctuation with a
// plain twin, as Windows' best-fit table for this code page gives them.
struct Fit {
    char16_t from, to;
};
constexpr Fit kOwnFits[] = {
    {0x0110, u'D'}, {0x0111, u'd'}, // Đ đ
    {0x0126, u'H'}, {0x0127, u'h'}, // Ħ ħ
    {0x0131, u'i'},                 // dotless ı
    {0x013F, u'L'}, {0x0140, u'l'}, // Ŀ ŀ
    {0x0141, u'L'}, {0x0142, u'l'}, // Ł ł
    {0x0166, u'T'}, {0x0167, u't'}, // Ŧ ŧ
    {0x0180, u'b'}, {0x0197, u'I'}, {0x019A, u'l'}, {0x01B5, u'Z'}, {0x01B6, u'z'},
    {0x01E4, u'G'}, {0x01E5, u'g'}, // Ǥ ǥ
    {0x2010, u'-'}, {0x2011, u'-'}, {0x2012, u'-'}, {0x2015, u'-'}, {0x2212, u'-'},
    {0x2032, u'\''}, {0x2035, u'`'}, {0x2033, u'"'}, {0x201B, u'\''}, {0x201F, u'"'},
    {0x2024, u'.'}, {0x2044, u'/'}, {0x2215, u'/'}, {0x2236, u':'}, {0x2223, u'|'},
    {0x02B9, u'\''}, {0x02BA, u'"'}, {0x02BC, u'\''}, {0x02C8, u'\''}, {0x02CB, u'`'}, {0x02CD, u'_'},
    {0x2002, u' '}, {0x2003, u' '}, {0x2009, u' '}, {0x200A, u' '}, {0x202F, u' '}, {0x3000, u' '},
};

// Characters that compose into letters of the code page: decomposed input
// (as some systems write file names) becomes the letters themselves.
QString composed(QStringView text)
{
    for (QChar c : text)
        if (c.unicode() >= 0x300)
            return text.toString().normalized(QString::NormalizationForm_C);
    return text.toString();
}

// The text in the code page's characters: `fits` says whether every
// character found a letter or was one already.
QString toCodePage(QStringView text, bool *fits)
{
    const QString in = composed(text);
    QString out;
    out.reserve(in.size());
    bool all = true;
    for (qsizetype i = 0; i < in.size(); ++i) {
        char32_t c = in[i].unicode();
        if (in[i].isHighSurrogate() && i + 1 < in.size() && in[i + 1].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(in[i], in[i + 1]);
            ++i;
        }
        if (QChar::category(c) == QChar::Mark_NonSpacing)
            continue; // an accent with nothing left to sit on
        if (const std::optional<char16_t> fit = closestCp1252(c)) {
            out += QChar(*fit);
        } else {
            out += QLatin1Char(kReplacement);
            all = false;
        }
    }
    if (fits)
        *fits = all;
    return out;
}

} // namespace

std::optional<char16_t> closestCp1252(char32_t c)
{
    // Down the decompositions (ǘ, ü then u), stopping at the first character
    // the code page holds; only a single letter, or a letter with accents on
    // it, counts: a ligature or a fraction has no one closest letter.
    for (int depth = 0; depth < 4; ++depth) {
        if (c < 0x10000 && byteFor(char16_t(c)) >= 0)
            return char16_t(c);
        for (const Fit &f : kOwnFits)
            if (f.from == c)
                return f.to;
        const QString d = QChar::decomposition(c);
        if (d.isEmpty())
            return std::nullopt;
        const QList<uint> parts = d.toUcs4();
        for (qsizetype k = 1; k < parts.size(); ++k)
            if (QChar::category(parts[k]) != QChar::Mark_NonSpacing)
                return std::nullopt;
        if (!QChar::isLetterOrNumber(parts[0]) && QChar::decompositionTag(c) != QChar::Canonical)
            return std::nullopt;
        c = parts[0];
    }
    return std::nullopt;
}

QString storedForm(QStringView text) { return toCodePage(text, nullptr); }

QString fromCp1252(QByteArrayView bytes)
{
    QString out = QString::fromLatin1(bytes.data(), bytes.size());
    // Latin-1 already agrees everywhere but 0x80-0x9F; patch only those.
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (b >= 0x80 && b < 0xA0)
            out[i] = QChar(kHigh[b - 0x80]);
    }
    return out;
}

void appendCp1252(QString &out, QByteArrayView bytes)
{
    const qsizetype start = out.size();
    out.resize(start + bytes.size());
    putCp1252(reinterpret_cast<char16_t *>(out.data()) + start, bytes);
}

char16_t *putCp1252(char16_t *out, QByteArrayView bytes)
{
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.data());
    const qsizetype n = bytes.size();
    qsizetype i = 0;
    // Eight bytes below 80 at a time, each its own character: the compiler
    // widens them together.
    for (; i + 8 <= n; i += 8) {
        quint64 word;
        std::memcpy(&word, p + i, 8);
        if (word & 0x8080808080808080ULL)
            break;
        for (int k = 0; k < 8; ++k)
            out[i + k] = p[i + k];
    }
    for (; i < n; ++i) {
        const unsigned char b = p[i];
        out[i] = (b >= 0x80 && b < 0xA0) ? kHigh[b - 0x80] : char16_t(b);
    }
    return out + n;
}

int encodeCp1252(QStringView text, char *out, int capacity)
{
    int n = 0;
    for (qsizetype i = 0; i < text.size() && n < capacity; ++i) {
        const int b = byteFor(text[i].unicode());
        // A character to fit, or one that a combining accent after it may
        // compose with.
        if (b < 0 || (i + 1 < text.size() && text[i + 1].unicode() >= 0x300 && byteFor(text[i + 1].unicode()) < 0)) {
            // Something to fit: the rest goes through the whole conversion.
            const QString rest = toCodePage(text.sliced(i), nullptr);
            for (qsizetype k = 0; k < rest.size() && n < capacity; ++k)
                out[n++] = static_cast<char>(byteFor(rest[k].unicode()));
            return n;
        }
        out[n++] = static_cast<char>(b);
    }
    return n;
}

QByteArray toCp1252(QStringView text)
{
    QByteArray out(text.size(), Qt::Uninitialized);
    out.truncate(encodeCp1252(text, out.data(), int(text.size())));
    return out;
}

std::optional<QByteArray> exactCp1252(QStringView text)
{
    QByteArray out(text.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const int b = byteFor(text[i].unicode());
        if (b < 0)
            return std::nullopt;
        out[i] = static_cast<char>(b);
    }
    return out;
}

namespace {
constexpr char foldAZ(char c) { return (c >= 'A' && c <= 'Z') ? char(c + 32) : c; }
} // namespace

FoldedKey::FoldedKey(QStringView typed)
{
    // Typed as it would be stored: "Kovačić" finds the "Kovacic" that a card
    // typed the same way holds. A character with no letter in the code page
    // cannot be in any stored text.
    bool fits = true;
    const QString stored = toCodePage(typed, &fits);
    m_possible = fits;
    if (fits) {
        m_folded = toCp1252(stored);
        for (char &c : m_folded)
            c = foldAZ(c);
    }
}

bool FoldedKey::occursIn(QByteArrayView stored) const
{
    if (!m_possible)
        return false;
    if (m_folded.size() > stored.size())
        return false;
    // Stored fields hold at most 255 bytes: folded on the stack.
    QVarLengthArray<char, 256> folded(stored.size());
    for (qsizetype i = 0; i < stored.size(); ++i)
        folded[i] = foldAZ(stored[i]);
    const std::string_view hay(folded.constData(), size_t(folded.size()));
    return hay.find(std::string_view(m_folded.constData(), size_t(m_folded.size()))) != std::string_view::npos;
}

QByteArrayView trimmedBytes(QByteArrayView bytes)
{
    qsizetype b = 0, e = bytes.size();
    while (b < e && static_cast<unsigned char>(bytes[b]) <= 32)
        ++b;
    while (e > b && static_cast<unsigned char>(bytes[e - 1]) <= 32)
        --e;
    return bytes.sliced(b, e - b);
}

QStringView trimmedView(QStringView text)
{
    qsizetype b = 0, e = text.size();
    while (b < e && isBlankChar(text[b]))
        ++b;
    while (e > b && isBlankChar(text[e - 1]))
        --e;
    return text.sliced(b, e - b);
}

QString trimmed(QStringView text) { return trimmedView(text).toString(); }

QString upperAZ(QStringView text)
{
    QString out = text.toString();
    for (QChar &c : out)
        if (c >= u'a' && c <= u'z')
            c = QChar(c.unicode() - 32);
    return out;
}

QString lowerAZ(QStringView text)
{
    QString out = text.toString();
    for (QChar &c : out)
        if (c >= u'A' && c <= u'Z')
            c = QChar(c.unicode() + 32);
    return out;
}

} // namespace clinora::text
