#include "checks/CodiceFiscale.h"

#include <array>

namespace clinora {

namespace {

// The published conversion of a character in an odd position (1, 3, ... 15),
// by rank: the digits 0-9 and the letters A-J share the first ten values.
constexpr std::array<int, 26> kOdd = {
    1,  0,  5,  7,  9,  13, 15, 17, 19, 21, // A-J (and 0-9)
    2,  4,  18, 20, 11, 3,  6,  8,  12, 14, // K-T
    16, 10, 22, 25, 24, 23,                 // U-Z
};

// The rank of a character in its table: 0-9 for digits, 0-25 for letters,
// -1 outside 0-9 and A-Z.
int rank(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'A' && u <= u'Z')
        return u - u'A';
    return -1;
}

} // namespace

bool CodFiscBenFormato(QStringView code)
{
    if (code.size() != kCodFiscLength)
        return false;
    for (QChar c : code)
        if (rank(c) < 0)
            return false;
    return true;
}

QChar CodFiscCarattereControllo(QStringView first15)
{
    if (first15.size() != kCodFiscLength - 1)
        return {};
    int sum = 0;
    for (qsizetype i = 0; i < first15.size(); ++i) {
        const int r = rank(first15[i]);
        if (r < 0)
            return {};
        // Position i + 1: odd positions go through the published table, even
        // ones count a digit by its value and a letter by its rank.
        sum += (i % 2 == 0) ? kOdd[size_t(r)] : r;
    }
    return QChar(char16_t(u'A' + sum % 26));
}

bool CodFiscValido(QStringView code)
{
    if (!CodFiscBenFormato(code))
        return false;
    return CodFiscCarattereControllo(code.first(kCodFiscLength - 1)) == code[kCodFiscLength - 1];
}

} // namespace clinora
