#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringView>

#include <optional>

// The common date and number settings: every date the program turns into text
// or reads from text is dd/mm/yyyy, and every number uses "," as its decimal
// separator.
namespace clinora::settings {

inline constexpr QChar kDateSeparator = u'/';
inline constexpr QChar kDecimalSeparator = u',';

// Makes the settings the process-wide defaults (the number locale). Screens
// call it when created; calling it again changes nothing.
void apply();

// dd/mm/yyyy
QString formatDate(const QDate &date);
// hh:mm:ss, the long time format
QString formatTime(const QTime &time);
// Exactly dd/mm/yyyy, and a date that exists (29/02/2023 does not).
std::optional<QDate> parseDate(QStringView text);

// A number written with "," as the decimal separator; blanks around it are
// allowed, nothing else is.
std::optional<double> parseNumber(QStringView text);
QString formatNumber(double value, int decimals);

} // namespace clinora::settings
