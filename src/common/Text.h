#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// Text as the stored files hold it: the Windows-1252 code page, and the
// program's own notions of blank and of case.
namespace clinora::text {

// Written in place of a character that Windows-1252 cannot hold.
inline constexpr char kReplacement = '?';

// Every byte maps to one character and back: the five bytes the code page
// leaves undefined (81 8D 8F 90 9D) map to the control characters of the same
// value, so any file round-trips unchanged.
QString fromCp1252(QByteArrayView bytes);
// The same decoding, appended to `out` (for building long texts without a
// string per piece).
void appendCp1252(QString &out, QByteArrayView bytes);

// One byte per character; a character outside the code page (a surrogate pair
// counts as one character) becomes kReplacement.
QByteArray toCp1252(QStringView text);

// Writes at most `capacity` bytes of `text` in Windows-1252 to `out`;
// returns the number of bytes written.
int encodeCp1252(QStringView text, char *out, int capacity);

// Removes every leading and trailing character whose code is 32 or less.
QString trimmed(QStringView text);
QStringView trimmedView(QStringView text);
inline bool isBlank(QStringView text) { return trimmedView(text).isEmpty(); }

// Change only the letters a-z / A-Z; accented letters stay as they are.
QString upperAZ(QStringView text);
QString lowerAZ(QStringView text);

} // namespace clinora::text
