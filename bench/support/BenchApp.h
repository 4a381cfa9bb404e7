#pragma once

// The whole program on a data folder, for measuring commands end to end:
// every screen created as at start, the platform seams replaced by quiet
// ones, and dialogs that show, lay out and paint before the user's part runs.

#include "app/ui/AppContext.h"
#include "common/ui/Services.h"

#include <QElapsedTimer>
#include <QString>
#include <QStringList>

#include <deque>
#include <functional>
#include <memory>
#include <vector>

class QDialog;

namespace clinora::bench {

// Message boxes answered from a queue (Yes or OK when it is empty).
class QuietMessages : public MessageSeam {
public:
    std::deque<MsgAnswer> answers;
    QStringList shown;
    MsgAnswer show(QWidget *parent, MsgKind kind, const QString &text) override;
};

// A dialog opened by a screen: shown, laid out and painted as the user
// would first see it; then `next` plays the user's part (when set) and the
// dialog closes.
class ShownDialogs : public DialogSeam {
public:
    std::function<void(QDialog &)> next;
    int exec(QDialog *dialog) override;
};

class BenchApp {
public:
    explicit BenchApp(const QString &appFolder);
    ~BenchApp();
    BenchApp(const BenchApp &) = delete;
    BenchApp &operator=(const BenchApp &) = delete;

    Services services;
    std::unique_ptr<AppContext> ctx;
    QuietMessages *messages;
    ShownDialogs *dialogs;
};

// Runs what is pending: delayed layouts, then the paint of what they
// changed, so that a list or grid is on screen as the user sees it.
void settle();

// Seconds on a monotonic clock since it was made.
class Stopwatch {
public:
    Stopwatch() { m_timer.start(); }
    double seconds() const { return double(m_timer.nsecsElapsed()) * 1e-9; }

private:
    QElapsedTimer m_timer;
};

// The speed limit a reading command is held to: the whole file read from
// the page cache, a megabyte at a time into the same buffer. Seconds.
double rawReadSeconds(const QString &path);
// The limit of an export: `bytes` written to `path` in one buffered write.
double bufferedWriteSeconds(const QString &path, const QByteArray &bytes);
// What an export's own way of replacing its file costs for `bytes`: a
// temporary file beside `path`, synced to the disk, then put in its place.
double durableWriteSeconds(const QString &path, const QByteArray &bytes);

double median(std::vector<double> values);

// The data folders the benchmarks run on, written once by the demo data
// generator into $CLINORA_BENCH_DATA (or a temporary folder): a practice of
// `patients` patients, the first of whom has `results` results.
QString practiceFolder(int patients, int results);
// The first patient of every practice folder: name and fiscal code.
QString firstPatientName();
QString firstPatientCode();

} // namespace clinora::bench
