#pragma once

#include <QString>
#include <QStringList>

class QAbstractItemView;

namespace clinora {

struct Services;
class ReportTemplate;

// The lines of a list as it shows them, from the first to the last.
QStringList listLines(const QAbstractItemView *list);

// Prints the lines of a screen's list under a title on the screen's list
// template, then the extra lines if any: fills the template, lays it out and
// prints it through the print dialog.
void ListSummaryPrint(const Services &services, ReportTemplate &rep, const QString &title,
                      const QAbstractItemView *list, const QStringList &extraLines = {});

} // namespace clinora
