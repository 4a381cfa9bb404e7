#pragma once

#include <QFont>
#include <QString>
#include <QStringList>

// The fonts the templates name, and where they are missing (on Linux) the
// free fonts with the same widths, so that what fits on the page still fits.
namespace clinora::report {

// Makes the metric-compatible fonts that lie outside the system's font
// folders known to the program (once; later calls do nothing).
void registerCompatibleFonts();

// The family followed by its stand-ins, best first.
QStringList familyWithStandIns(const QString &family);

// A font of `family` at `pointSize`, for drawing in report units.
QFont reportFont(const QString &family, double pointSize, bool bold);

} // namespace clinora::report
