#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <cstring>
#include <optional>

// Text as the stored files hold it: the Windows-1252 code page, and the
// program's own notions of blank and of case.
namespace clinora::text {

// Written in place of a character that Windows-1252 cannot hold and that
// has no close letter there.
inline constexpr char kReplacement = '?';

// Every byte maps to one character and back: the five bytes the code page
// leaves undefined (81 8D 8F 90 9D) map to the control characters of the same
// value, so any file round-trips unchanged.
QString fromCp1252(QByteArrayView bytes);
// The same decoding, appended to `out` (for building long texts without a
// string per piece).
void appendCp1252(QString &out, QByteArrayView bytes);
// Writes the decoded characters at `out`, one for each byte; returns the end.
char16_t *putCp1252(char16_t *out, QByteArrayView bytes);

// The letter of the code page closest to a character it cannot hold, as
// Windows' own best-fit conversion gives it: the base letter of an accented
// one (č → c, ș → s, ǘ → ü where the code page has the accent), a few letters
// of their own (ł → l, đ → d, ħ → h) and some punctuation (‐ → -); nothing
// when no character fits. A character the code page holds is itself.
std::optional<char16_t> closestCp1252(char32_t c);

// The text as the code page stores it, one character for each it keeps:
// composed first (a letter followed by its combining accent counts as one
// letter), then each character the code page lacks becomes its closest
// letter, or kReplacement where none fits; an accent left over with no
// letter to sit on is dropped. The stored form of a stored text is itself.
QString storedForm(QStringView text);

// storedForm in bytes.
QByteArray toCp1252(QStringView text);

// The text's bytes in Windows-1252, or nothing when a character has no
// byte there: such a text cannot occur in a stored field.
std::optional<QByteArray> exactCp1252(QStringView text);

// Writes at most `capacity` bytes of `text` in Windows-1252, as storedForm
// gives it, to `out`; returns the number of bytes written.
int encodeCp1252(QStringView text, char *out, int capacity);

// Removes every leading and trailing character whose code is 32 or less.
QString trimmed(QStringView text);
QStringView trimmedView(QStringView text);
// The same on Windows-1252 bytes, which map every byte up to 32 to itself.
QByteArrayView trimmedBytes(QByteArrayView bytes);
inline bool isBlank(QStringView text) { return trimmedView(text).isEmpty(); }

// Change only the letters a-z / A-Z; accented letters stay as they are.
QString upperAZ(QStringView text);
QString lowerAZ(QStringView text);

// A key looked for in stored texts the way the searches look: the key as
// typed, blanks included, found anywhere in the text with the letters A-Z
// taken as a-z on both sides and every other character, accented letters
// too, compared as it is. Prepared once in Windows-1252 and tested on the
// stored bytes of each text, which need no decoding.
class FoldedKey {
public:
    explicit FoldedKey(QStringView typed);
    // True when the key occurs in `stored` (Windows-1252); an empty key
    // occurs everywhere.
    bool occursIn(QByteArrayView stored) const;

private:
    QByteArray m_folded; // a-z for A-Z
    bool m_possible;     // false: a character no stored text can hold
};

// Copies the first `n` bytes of `bytes` to `out` and returns the end; an
// empty view may carry no pointer at all, which memcpy must never be given.
inline char *putBytes(char *out, QByteArrayView bytes, qsizetype n)
{
    if (n > 0)
        std::memcpy(out, bytes.data(), size_t(n));
    return out + n;
}
inline char *putBytes(char *out, QByteArrayView bytes) { return putBytes(out, bytes, bytes.size()); }

} // namespace clinora::text
