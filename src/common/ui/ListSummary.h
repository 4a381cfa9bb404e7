#pragma once

#include <QString>
#include <QStringList>

class QAbstractItemView;
class QWidget;

namespace clinora {

struct Services;
class ReportTemplate;
struct PdfExport;

// Prints a prepared report through the print dialog, then says to the user
// what the engine had to say (no printer, a printer refusing jobs...).
void printReport(const Services &services, const ReportTemplate &rep, QWidget *owner);
// Writes a prepared report to the PDF the settings name; on failure says so
// and returns false.
bool exportReportPdf(const Services &services, const ReportTemplate &rep, const PdfExport &settings,
                     QWidget *owner);

// The lines of a list as it shows them, from the first to the last.
QStringList listLines(const QAbstractItemView *list);

// Prints the lines of a screen's list under a title on the screen's list
// template, then the extra lines if any: fills the template, lays it out and
// prints it through the print dialog.
void ListSummaryPrint(const Services &services, ReportTemplate &rep, const QString &title,
                      const QAbstractItemView *list, const QStringList &extraLines = {});

} // namespace clinora
