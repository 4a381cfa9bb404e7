#pragma once

#include <QString>

#include <functional>

// What the print system says of a printer, asked before a job is sent and
// after: the one place that talks to the print system beside the toolkit.
namespace clinora::printer {

struct State {
    bool known = false;    // the print system answered for this printer
    bool accepting = true; // false: the queue refuses new jobs
    bool stopped = false;  // the queue holds its jobs instead of printing them
    QString reason;        // the print system's own words, when it gives any
};

// The state the print system's attributes of a printer describe, `option`
// giving each attribute's value by name (empty when absent):
// "printer-is-accepting-jobs" ("true", "false"), "printer-state" ("3" idle,
// "4" processing, "5" stopped) and "printer-state-reasons" (keywords, "none").
State stateFromAttributes(const std::function<QString(const char *)> &option);

// The state of the printer named as the print dialog names it ("queue" or
// "queue/instance"). Unknown (and so no obstacle) where the print system
// cannot be asked.
State stateOf(const QString &printerName);

// After a job was handed to the print system by the toolkit: the print
// system's words when it refused the job, empty when it took it or cannot
// tell. Meaningful only when `stateOf` found the printer just before the
// job, on this thread.
QString sendFailure();

} // namespace clinora::printer
