#include "support/Results.h"

#include "support/Platform.h"

#include <QDateTime>
#include <QFile>
#include <QRegularExpression>
#include <QSysInfo>
#include <QThread>

using namespace Qt::StringLiterals;

namespace clinora::bench {

namespace {

double counter(const benchmark::BenchmarkReporter::Run &run, const char *name)
{
    const auto it = run.counters.find(name);
    return it == run.counters.end() ? 0 : it->second.value;
}

QString figure(double v, int decimals) { return QString::number(v, 'f', decimals); }

} // namespace

void ResultsTable::ReportRuns(const std::vector<Run> &runs)
{
    ConsoleReporter::ReportRuns(runs);
    for (const Run &run : runs) {
        // The median of the repetitions, or the one run when there are none.
        const bool single = run.run_type == Run::RT_Iteration && run.repetitions <= 1;
        if (!single && !(run.run_type == Run::RT_Aggregate && run.aggregate_name == "median"))
            continue;
        Row row;
        // "BM_PatientSearch/no_filter/20000/iterations:3/manual_time" reads
        // "PatientSearch/no_filter/20000".
        row.name = QString::fromStdString(run.run_name.str())
                       .remove(QRegularExpression(u"^BM_|/iterations:\\d+|/manual_time|/repeats:\\d+"_s));
        row.limit = QString::fromStdString(run.report_label);
        row.ms = run.GetAdjustedRealTime() * 1e3 / benchmark::GetTimeUnitMultiplier(run.time_unit);
        row.ratio = counter(run, "ratio");
        row.goal = counter(run, "goal");
        row.durableMs = counter(run, "durable_ms");
        row.emptyWindowMs = counter(run, "empty_window_ms");
        row.peakMB = counter(run, "peak_MB");
        if (run.counters.count("baseline_ms")) {
            row.limitMs = counter(run, "baseline_ms");
            row.limitUnit = u"ms"_s;
        } else {
            row.limitMs = counter(run, "archive_MB");
            row.limitUnit = u"MB"_s;
        }
        m_rows.push_back(row);
    }
}

bool ResultsTable::allMet() const
{
    for (const Row &r : m_rows)
        if (!r.met())
            return false;
    return !m_rows.empty();
}

bool ResultsTable::write(const QString &path, int repetitions) const
{
    QString md;
    md += u"# Benchmark results\n\n"_s;
    md += u"Written by `scripts/bench.sh`; do not edit by hand. Each figure is the median of "_s
          + QString::number(repetitions)
          + u" repetitions of 5 or 10 runs; each case's limit is measured in the same runs, just before it. A raw "_s
            u"read copies the file from the page cache through one reused buffer of a megabyte: on this kind "_s
            u"of virtual machine a fresh buffer the size of the file costs ten times as much in page faults, "_s
            u"and would make a lax limit.\n\n"_s;
    md += u"- Machine: "_s + cpuName() + u", "_s + QString::number(QThread::idealThreadCount())
          + u" logical cores, "_s + QSysInfo::prettyProductName() + u"\n"_s;
    md += u"- Qt "_s + QString::fromLatin1(qVersion()) + u", platform offscreen, Release build\n"_s;
    md += u"- Date: "_s + QDateTime::currentDateTime().toString(u"yyyy-MM-dd HH:mm"_s) + u"\n\n"_s;
    md += u"| Case | Time | Limit | Limit measured | Ratio | Goal | Met |\n"_s;
    md += u"|---|---:|---|---:|---:|---:|---|\n"_s;
    for (const Row &r : m_rows) {
        md += u"| "_s + r.name + u" | "_s + figure(r.ms, 1) + u" ms | "_s + r.limit + u" | "_s
              + figure(r.limitMs, 1) + u" "_s + r.limitUnit + u" | "_s + figure(r.ratio, 2) + u" | "_s
              + (r.limitUnit == u"MB"_s ? u"< "_s : u"≤ "_s) + figure(r.goal, 0) + u" | "_s
              + (r.met() ? u"yes"_s : u"**no**"_s) + u" |\n"_s;
    }
    QString notes;
    for (const Row &r : m_rows) {
        if (r.durableMs > 0)
            notes += u"- "_s + r.name + u": an export replaces its file whole (a temporary file, synced to the "_s
                     u"disk, then renamed over the old one, whose space is given back on a helper thread after the "_s
                     u"export returns). The buffered write is synced after it is measured, and the space given "_s
                     u"back after the export, so that neither is left to slow down what is measured next. "_s
                     u"Replacing the file so with the same bytes, without making them, takes "_s
                     + figure(r.durableMs, 1) + u" ms, "_s + figure(r.durableMs / r.limitMs, 2)
                     + u" times the buffered write; the export takes "_s + figure(r.ms / r.durableMs, 2)
                     + u" times that. Less the difference between the two writes, the export would take "_s
                     + figure((r.ms - r.durableMs + r.limitMs) / r.limitMs, 2) + u" times the buffered write.\n"_s;
        if (r.emptyWindowMs > 0)
            notes += u"- "_s + r.name + u": measured from the process started to the login window painted, "_s
                     u"the program and its libraries loaded and its 25 screens made on the way; the limit is "_s
                     u"the goal, not a measure. An empty main window takes "_s
                     + figure(r.emptyWindowMs, 1) + u" ms the same way; the program takes "_s + figure(r.ms / r.emptyWindowMs, 2)
                     + u" times that.\n"_s;
        if (r.peakMB > 0)
            notes += u"- "_s + r.name + u": the time is the search listing 100,000 patients in a fresh process; "_s
                     u"the ratio is the resident memory it added at its peak ("_s
                     + figure(r.peakMB, 1) + u" MB) over the archive's size.\n"_s;
    }
    if (!notes.isEmpty())
        md += u"\nNotes:\n\n"_s + notes;
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(md.toUtf8()) >= 0;
}

} // namespace clinora::bench
