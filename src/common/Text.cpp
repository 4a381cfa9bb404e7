#include "common/Text.h"

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

} // namespace

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
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i; // one character, one replacement
        const int b = byteFor(c.unicode());
        out[n++] = b < 0 ? kReplacement : static_cast<char>(b);
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
    QByteArray bytes = toCp1252(text);
    if (fromCp1252(bytes) != text)
        return std::nullopt;
    return bytes;
}

namespace {
constexpr char foldAZ(char c) { return (c >= 'A' && c <= 'Z') ? char(c + 32) : c; }
} // namespace

FoldedKey::FoldedKey(QStringView typed)
{
    const std::optional<QByteArray> bytes = exactCp1252(typed);
    m_possible = bytes.has_value();
    if (bytes) {
        m_folded = *bytes;
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
