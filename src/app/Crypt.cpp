#include "app/Crypt.h"

namespace clinora::Crypt {

namespace {

// All key arithmetic is on 16 bits and wraps.
quint16 advance(quint16 key, quint8 x)
{
    return quint16((quint32(quint16(x + key)) * kMultiplier + kAddend) & 0xFFFF);
}

int hexDigit(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    return -1;
}

} // namespace

QString Scramble(QStringView password)
{
    static constexpr char16_t digits[] = u"0123456789ABCDEF";
    QString out;
    out.reserve(password.size() * 2);
    quint16 key = kStartKey;
    for (QChar ch : password) {
        const quint8 c = quint8(ch.unicode() & 0xFF);
        const quint8 x = quint8(c ^ (key >> 8));
        out += QChar(digits[x >> 4]);
        out += QChar(digits[x & 0xF]);
        key = advance(key, x);
    }
    return out;
}

std::optional<QString> Unscramble(QStringView hex)
{
    const qsizetype n = hex.size() / 2;
    QString out;
    out.reserve(n);
    quint16 key = kStartKey;
    for (qsizetype i = 0; i < n; ++i) {
        const int hi = hexDigit(hex[2 * i]);
        const int lo = hexDigit(hex[2 * i + 1]);
        if (hi < 0 || lo < 0)
            return std::nullopt;
        const quint8 x = quint8(hi * 16 + lo);
        out += QChar(char16_t(x ^ (key >> 8)));
        key = advance(key, x);
    }
    return out;
}

} // namespace clinora::Crypt
