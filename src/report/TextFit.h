#pragma once

#include "report/ReportTemplate.h"

#include <QString>
#include <QStringList>

// Measuring and fitting text as the paper will show it, so that no value is
// ever cut without saying so. Sizes are in report units (96 to the inch).
namespace clinora::report {

// The smallest size a value is set in to make it fit its frame: below it a
// doctor reading in a hurry misreads.
inline constexpr double kSmallestPoints = 8;
// What a value cut to fit its frame ends with; the whole value is printed
// in the continuation.
inline constexpr QStringView kContinues = u"\u2026 (continua)";

// Space (report units) kept between text and the left and right edges of
// its frame, so that it never touches the edge of a filled box.
inline constexpr double kTextPadding = 2;

// The width of one line of `text` in `look`'s font at `pointSize`.
double textWidth(const FontSpec &font, double pointSize, const QString &text);
// The distance from one line to the next in that font.
double lineSpacing(const FontSpec &font, double pointSize);

// `text` broken into lines no wider than `width` (at word boundaries where
// there are any, anywhere in a word wider than a line); its own line
// breaks are kept. Every character but the blanks at the breaks is kept.
QStringList wrapText(const QString &text, const FontSpec &font, double pointSize, double width);

// How a text is shown in a frame of `size` (the frame itself, padding
// included).
struct FittedText {
    bool asDesigned = true; // it fits as it is: the frame draws it unchanged
    double pointSize = 0;   // otherwise: the size it is set in,
    double pitch = 0;       // the distance between its lines,
    QStringList lines;      // and its lines
    bool cut = false;       // the lines end with kContinues: the whole text goes on
};

// As it is, when it fits; else wrapped inside the frame where its height
// holds the lines; else a size smaller, half a point at a time, down to
// kSmallestPoints (never above the frame's own size), wrapped or not; else
// cut at kSmallestPoints after the last whole word that leaves room for
// kContinues.
FittedText fitText(const QStringList &lines, const TextLook &look, const QSizeF &size);

// A list line too long for a frame `width` wide in the monospaced `font`:
// the first part as it is, then the rest on as many lines as it takes,
// indented by four blanks so the columns of the other lines stay clear.
QStringList wrapListLine(const QString &line, const FontSpec &font, double width);

} // namespace clinora::report
