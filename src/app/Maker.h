#pragma once

// Who makes the program, as the start menu, the information and the splash
// screens show it.
namespace clinora::maker {

inline constexpr QStringView kName = u"Officina Software Esempio";
inline constexpr QStringView kWebAddress = u"https://www.clinora.example.org";
inline constexpr QStringView kWebLabel = u"www.clinora.example.org";
inline constexpr QStringView kSupportMail = u"assistenza@clinora.example.org";
inline constexpr QStringView kProduct = u"Clinora";
inline constexpr QStringView kVersion = u"1.0";

} // namespace clinora::maker
