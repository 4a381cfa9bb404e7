#pragma once

#include <QStringView>

// The check character of an Italian fiscal code (codice fiscale of a person).
// Only the length, the alphabet and the 16th character are examined: which
// positions hold letters or digits, the month letter, the day and the place
// code are not.
namespace clinora {

inline constexpr int kCodFiscLength = 16;

// True when `code` is exactly 16 characters, each 0-9 or A-Z: the only
// codes whose check character can be computed. Lower-case letters are not
// accepted; callers upper-case first.
bool CodFiscBenFormato(QStringView code);

// True when the 16th character of `code` is the check character computed
// from the first 15. A code that is not well formed (see above) is never
// valid: no character outside 0-9 and A-Z is ever looked up.
bool CodFiscValido(QStringView code);

// The letter A-Z that a code whose first 15 characters are `first15` must end
// with, or a null QChar when they are not 15 characters of 0-9 and A-Z.
QChar CodFiscCarattereControllo(QStringView first15);

} // namespace clinora
