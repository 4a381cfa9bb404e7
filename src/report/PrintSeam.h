#pragma once

#include <QString>

class QWidget;

namespace clinora {

struct PreparedReport;

// How a print ended.
struct PrintOutcome {
    enum class Kind {
        Printed,      // handed to the print system, or written to the chosen file
        Cancelled,    // the dialog was cancelled, or the pages chosen hold none
        NotAccepting, // the chosen printer refuses new jobs: nothing was sent
        Stopped,      // the chosen printer is stopped: nothing was sent
        Failed,       // sending or writing failed
    };
    Kind kind = Kind::Cancelled;
    QString printer; // the printer chosen in the dialog, or the file printed to
    QString reason;  // the print system's words, when it gave any
    bool toFile = false;
};

// The report engine's way to the printers, replaced by a fake in tests.
class PrintSeam {
public:
    virtual ~PrintSeam() = default;
    // True when the system has at least one printer.
    virtual bool hasPrinter() = 0;
    // Shows the print dialog (printer, page range, copies) for the prepared
    // report and prints the chosen pages unless the user cancels; the job
    // carries the report's name. Before sending, the print system is asked
    // whether the chosen printer takes jobs and prints them.
    virtual PrintOutcome print(QWidget *owner, const PreparedReport &report) = 0;
};

// The system's printers and print dialog.
class SystemPrinting : public PrintSeam {
public:
    bool hasPrinter() override;
    PrintOutcome print(QWidget *owner, const PreparedReport &report) override;
};

} // namespace clinora
