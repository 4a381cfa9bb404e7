#pragma once

#include <QString>

class QWidget;

namespace clinora {

struct PreparedReport;

// The report engine's way to the printers, replaced by a fake in tests.
class PrintSeam {
public:
    virtual ~PrintSeam() = default;
    // True when the system has at least one printer.
    virtual bool hasPrinter() = 0;
    // Shows the print dialog (printer, page range, copies) for the prepared
    // report and prints the chosen pages unless the user cancels; the job
    // carries the report's name. True when something was sent to print.
    virtual bool print(QWidget *owner, const PreparedReport &report) = 0;
};

// The system's printers and print dialog.
class SystemPrinting : public PrintSeam {
public:
    bool hasPrinter() override;
    bool print(QWidget *owner, const PreparedReport &report) override;
};

} // namespace clinora
