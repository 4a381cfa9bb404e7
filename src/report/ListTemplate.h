#pragma once

#include "report/ReportTemplate.h"

#include <memory>

// The list template "Riepilogo dati" that every list screen carries, and the
// filling that prints a screen's list under a title.
namespace clinora::report {

// Height of one printed list line, and what the list band adds below them.
inline constexpr double kListLineHeight = 12.822;
inline constexpr double kListBandExtra = 10;

// A4 landscape: the title band with txtTitolo, the MasterData band with the
// lines in txtRiepilogo, the Footer band with the date of printing.
std::unique_ptr<ReportTemplate> makeListTemplate();

// Writes the title, the lines and then the extra lines into the template and
// sets the heights that make the lines fit: every value a print relies on. A
// line wider than the paper goes on, indented, on the printed lines below it.
void fillListSummary(ReportTemplate &rep, const QString &title, const QStringList &lines,
                     const QStringList &extraLines = {});

} // namespace clinora::report
