// The longest lists the screens can show (100,000 lines): laying the list
// template out into pages, and one find that runs through every line.
#include "common/ui/FindInList.h"
#include "report/ListTemplate.h"

#include <QGuiApplication>
#include <QStringListModel>

#include <benchmark/benchmark.h>

using namespace Qt::StringLiterals;
using namespace clinora;

namespace {

QStringList analysisLines(int n)
{
    QStringList lines;
    lines.reserve(n);
    for (int i = 0; i < n; ++i)
        lines << u"Cod. 2024%1  Data: 05/01/2024  Glicemia                      Valore: %2"_s
                     .arg(i % 10000, 4, 10, QChar(u'0'))
                     .arg(i);
    return lines;
}

void BM_PrepareListSummary(benchmark::State &state)
{
    const QStringList lines = analysisLines(int(state.range(0)));
    const auto rep = report::makeListTemplate();
    const QDateTime now(QDate(2026, 1, 1), QTime(9, 0));
    for (auto _ : state) {
        report::fillListSummary(*rep, u"Riepilogo"_s, lines);
        rep->PrepareReport(now);
        benchmark::DoNotOptimize(rep->prepared().pages.size());
    }
}
BENCHMARK(BM_PrepareListSummary)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);

// A key that no line holds: every line is read and lowered once.
void BM_FindInListNoMatch(benchmark::State &state)
{
    QStringListModel model(analysisLines(int(state.range(0))));
    for (auto _ : state)
        benchmark::DoNotOptimize(FindInList::findRow(model, {}, 0, 0, u"colesterolo"_s, false));
}
BENCHMARK(BM_FindInListNoMatch)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace

// Laying a list out measures its lines with the printer fonts, which needs a
// GUI application (offscreen is enough).
int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
