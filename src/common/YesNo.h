#pragma once

#include <QByteArrayView>
#include <QStringView>

// The two words of every yes/no the program stores or asks: the recontact
// flag, the alarm mark and the buttons of a question.
namespace clinora {

inline constexpr QStringView kYes = u"S\u00EC";
inline constexpr QStringView kNo = u"No";

// The same as the records store them, in Windows-1252: compared on the
// stored bytes, no text need be made.
inline constexpr QByteArrayView kYesBytes("S\xEC", 2);
inline constexpr QByteArrayView kNoBytes("No", 2);

} // namespace clinora
