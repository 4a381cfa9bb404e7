#pragma once

#include <benchmark/benchmark.h>

#include <QString>

#include <vector>

// The figures of a run as a Markdown table: for each case the median of its
// repetitions (its time, its limit, their ratio, the goal and whether it is
// met), under the machine it ran on.
namespace clinora::bench {

class ResultsTable : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run> &runs) override;
    // False when the file cannot be written.
    bool write(const QString &path, int repetitions) const;
    // Every case that reported a ratio met its goal.
    bool allMet() const;

private:
    struct Row {
        QString name, limit;
        double ms = 0, limitMs = 0, ratio = 0, goal = 0;
        QString limitUnit;
        double durableMs = 0, emptyWindowMs = 0, peakMB = 0;
        bool met() const { return ratio > 0 && ratio <= goal; }
    };
    std::vector<Row> m_rows;
};

} // namespace clinora::bench
