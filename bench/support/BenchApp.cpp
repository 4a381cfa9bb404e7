#include "support/BenchApp.h"

#include "common/CommonSettings.h"
#include "common/FileIo.h"
#include "demo/DemoData.h"
#include "report/PrintSeam.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace clinora::bench {

namespace {

class NoFiles : public FileChooserSeam {
public:
    QString openFile(QWidget *, const QString &, const QString &) override { return {}; }
    QString saveFile(QWidget *, const QString &, const QString &, const QString &) override { return {}; }
};

class NoShell : public ShellSeam {
public:
    void open(const QString &) override {}
};

class FixedClock : public ClockSeam {
public:
    QDateTime now() const override { return {QDate(2026, 12, 10), QTime(10, 30)}; }
};

class NoPrinters : public PrintSeam {
public:
    bool hasPrinter() override { return false; }
    PrintOutcome print(QWidget *, const PreparedReport &) override { return {}; }
};

// The day the generated results end, so that every run lists the same.
const QDate kLastResult(2026, 12, 1);

} // namespace

MsgAnswer QuietMessages::show(QWidget *, MsgKind kind, const QString &text)
{
    shown << text;
    if (!answers.empty()) {
        const MsgAnswer a = answers.front();
        answers.pop_front();
        return a;
    }
    return kind == MsgKind::Confirmation ? MsgAnswer::Yes : MsgAnswer::Ok;
}

int ShownDialogs::exec(QDialog *dialog)
{
    dialog->setResult(QDialog::Rejected);
    dialog->show();
    settle();
    if (next) {
        const auto user = std::move(next);
        next = nullptr;
        user(*dialog);
    }
    dialog->hide();
    return dialog->result();
}

BenchApp::BenchApp(const QString &appFolder)
{
    settings::apply();
    services.appFolder = appFolder;
    auto m = std::make_unique<QuietMessages>();
    auto d = std::make_unique<ShownDialogs>();
    messages = m.get();
    dialogs = d.get();
    services.messages = std::move(m);
    services.dialogs = std::move(d);
    services.files = std::make_unique<NoFiles>();
    services.shell = std::make_unique<NoShell>();
    services.clock = std::make_unique<FixedClock>();
    services.printing = std::make_shared<NoPrinters>();
    ctx = std::make_unique<AppContext>(services);
    ctx->onEnd = [] {};
    ctx->createScreens();
}

BenchApp::~BenchApp() = default;

void settle()
{
    // The first round lays out what changed; the second paints it.
    for (int i = 0; i < 2; ++i) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }
}

double rawReadSeconds(const QString &path)
{
    // One buffer, reused: what is measured is the copy out of the page cache,
    // not the making of fresh memory for the whole file.
    static QByteArray buffer(1 << 20, Qt::Uninitialized);
    qint64 total = 0;
    const Stopwatch watch;
    {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly))
            qFatal("cannot read %s", qPrintable(path));
        qint64 n;
        while ((n = f.read(buffer.data(), buffer.size())) > 0)
            total += n;
    }
    const double s = watch.seconds();
    if (total == 0)
        qFatal("empty baseline file %s", qPrintable(path));
    return s;
}

double bufferedWriteSeconds(const QString &path, const QByteArray &bytes)
{
    const Stopwatch watch;
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
    f.close();
    const double took = watch.seconds();
    // Its writing back, after the measure, so that the next case measured
    // does not wait for it.
    if (!f.open(QIODevice::ReadWrite) || !io::syncToDisk(f))
        qFatal("cannot sync %s", qPrintable(path));
    return took;
}

double durableWriteSeconds(const QString &path, const QByteArray &bytes)
{
    const Stopwatch watch;
    // The exports' own way of replacing a file: temporary, synced, renamed.
    if (!io::replaceFile(path, bytes))
        qFatal("cannot write %s", qPrintable(path));
    const double took = watch.seconds();
    io::finishReleases(); // not left to slow the next case down
    return took;
}

double median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

QString practiceFolder(int patients, int results)
{
    static QTemporaryDir scratch;
    QString root = qEnvironmentVariable("CLINORA_BENCH_DATA");
    if (root.isEmpty())
        root = scratch.path();
    const QString folder = QDir(root).filePath(u"practice-%1-%2"_s.arg(patients).arg(results));
    const QString done = QDir(folder).filePath(u".complete"_s);
    if (QFile::exists(done))
        return folder;
    QDir(folder).removeRecursively();
    demo::FolderOptions o;
    o.patients = patients;
    o.patientsWithResults = results > 0 ? 1 : 0;
    o.resultsPerPatient = results;
    o.today = kLastResult;
    if (!demo::writeDemoFolder(folder, o))
        qFatal("cannot write the practice folder %s", qPrintable(folder));
    QFile marker(done);
    if (!marker.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", qPrintable(done));
    return folder;
}

QString firstPatientName()
{
    demo::Generator g;
    return g.patient(0).name;
}

QString firstPatientCode()
{
    demo::Generator g;
    return g.patient(0).fiscalCode;
}

} // namespace clinora::bench
