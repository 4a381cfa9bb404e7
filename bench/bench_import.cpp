// A laboratory report of 25 results (the blood count with formula):
//   - read and shown on the import screen, from the file to the rows
//     painted, against a goal of 100 ms;
//   - its 25 cards stored at once (one lock, one sync) beside the same 25
//     cards stored by 25 single saves of the card, measured in the same
//     iteration; the import must take no longer than the single saves.
//   QT_QPA_PLATFORM=offscreen build-bench/bench/clinora_bench_import
#include "analyses/LabReport.h"
#include "analyses/ui/ImportaReferto.h"
#include "app/ui/AppContext.h"
#include "common/CardLogic.h"
#include "common/ui/Services.h"
#include "support/LabReportSamples.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QStandardItemModel>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace Qt::StringLiterals;
using namespace clinora;

namespace {

struct Quiet : MessageSeam {
    MsgAnswer show(QWidget *, MsgKind, const QString &) override { return MsgAnswer::Ok; }
};

void BM_ReadAndShow25(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(u"emocromo.hl7"_s);
    QFile f(file);
    f.open(QIODevice::WriteOnly);
    f.write(samples::bloodCountHl7());
    f.close();
    auto services = Services::createDefault(dir.path());
    services->messages = std::make_unique<Quiet>();
    AppContext ctx(*services);
    TfrmImportaReferto d(ctx, nullptr);
    d.setPatient(u"ROSSI MARIO"_s, QString::fromLatin1(samples::kFiscalCode), QString());
    d.show();
    QApplication::processEvents();
    double worst = 0;
    for (auto _ : state) {
        QElapsedTimer t;
        t.start();
        d.openReport(file);
        d.repaint();
        QApplication::processEvents();
        worst = std::max(worst, t.nsecsElapsed() / 1e6);
        if (d.m_rows->rowCount() != 25)
            state.SkipWithError("the report did not read");
    }
    state.counters["worst_ms"] = worst;
    state.counters["goal_ms"] = 100;
}

void BM_Store25(benchmark::State &state)
{
    QTemporaryDir dir;
    const referto::Reading r = referto::readHl7(samples::bloodCountHl7());
    QList<AnalysisRecord> cards;
    for (const referto::ReportRow &row : r.report->rows)
        cards << referto::cardOf(row, u"ROSSI MARIO"_s, QString::fromLatin1(samples::kFiscalCode));
    double importMs = 0, singleMs = 0;
    int n = 0;
    for (auto _ : state) {
        const QString a = dir.filePath(u"import-%1.asl"_s.arg(n)), b = dir.filePath(u"single-%1.asl"_s.arg(n));
        ++n;
        QElapsedTimer t;
        t.start();
        if (!referto::appendCards(a, cards))
            state.SkipWithError("import failed");
        importMs += t.nsecsElapsed() / 1e6;
        t.restart();
        for (const AnalysisRecord &card : cards) {
            LoadedRecord loaded;
            if (saveToArchive(b, 0, card, loaded, [] { return true; }, [](qint64) {}) != SaveOutcome::Appended)
                state.SkipWithError("single save failed");
        }
        singleMs += t.nsecsElapsed() / 1e6;
    }
    state.counters["import_ms"] = importMs / n;
    state.counters["single_saves_ms"] = singleMs / n;
    state.counters["ratio"] = importMs / singleMs;
}

BENCHMARK(BM_ReadAndShow25)->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_Store25)->Unit(benchmark::kMillisecond)->Iterations(10);

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
