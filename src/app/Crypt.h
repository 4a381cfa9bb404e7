#pragma once

#include <QString>
#include <QStringView>

#include <optional>

// The scrambling of the stored password: a 16-bit keystream advanced by each
// scrambled byte. The three constants must never change: every installed
// password file depends on them.
namespace clinora::Crypt {

inline constexpr quint16 kStartKey = 0xC1A0;
inline constexpr quint16 kMultiplier = 0x5BD1;
inline constexpr quint16 kAddend = 0x2A79;

// Two upper-case hexadecimal digits per character (low 8 bits of each code).
QString Scramble(QStringView password);

// Inverse of Scramble; a last unpaired digit is ignored, digits of either case
// are accepted. Empty when a pair is not a hexadecimal number.
std::optional<QString> Unscramble(QStringView hex);

} // namespace clinora::Crypt
