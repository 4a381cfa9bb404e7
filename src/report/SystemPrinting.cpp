#include "report/PrintSeam.h"

#include "report/PrinterState.h"
#include "report/ReportRender.h"
#include "report/ReportTemplate.h"

#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>

namespace clinora {

bool SystemPrinting::hasPrinter() { return !QPrinterInfo::availablePrinterNames().isEmpty(); }

PrintOutcome SystemPrinting::print(QWidget *owner, const PreparedReport &report)
{
    using Kind = PrintOutcome::Kind;
    const int count = int(report.pages.size());
    if (count == 0)
        return {};
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(report.name);
    // Positions are measured from the paper's corner.
    printer.setFullPage(true);
    printer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), report.pages.first().orientation, QMarginsF()));
    printer.setFromTo(1, count);

    QPrintDialog dialog(&printer, owner);
    dialog.setMinMax(1, count);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
    if (dialog.exec() != QDialog::Accepted)
        return {};

    QList<int> pages;
    if (printer.printRange() == QPrinter::PageRange) {
        for (int p = std::max(1, printer.fromPage()); p <= std::min(count, printer.toPage()); ++p)
            pages.append(p - 1);
        if (pages.isEmpty())
            return {};
    } else {
        for (int p = 0; p < count; ++p)
            pages.append(p);
    }
    // A printer that cannot make copies itself gets the pages again.
    QList<int> job;
    const int copies = printer.supportsMultipleCopies() ? 1 : std::max(1, printer.copyCount());
    if (printer.collateCopies()) {
        for (int c = 0; c < copies; ++c)
            job += pages;
    } else {
        for (int p : pages) {
            for (int c = 0; c < copies; ++c)
                job.append(p);
        }
    }

    PrintOutcome outcome;
    outcome.toFile = !printer.outputFileName().isEmpty();
    outcome.printer = outcome.toFile ? printer.outputFileName() : printer.printerName();
    // A queue that refuses jobs, or holds them, would take the job without a
    // word to the user; asked first, so that the user hears why and where.
    printer::State state;
    if (!outcome.toFile) {
        state = printer::stateOf(printer.printerName());
        if (state.known && (!state.accepting || state.stopped)) {
            outcome.kind = state.accepting ? Kind::Stopped : Kind::NotAccepting;
            outcome.reason = state.reason;
            return outcome;
        }
    }
    outcome.kind = Kind::Printed;
    if (!report::render(report, printer, job)) {
        outcome.kind = Kind::Failed;
    } else if (state.known) {
        outcome.reason = printer::sendFailure();
        if (!outcome.reason.isEmpty())
            outcome.kind = Kind::Failed;
    }
    return outcome;
}

} // namespace clinora
