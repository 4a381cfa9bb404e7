// The analyses tools on one patient with 10,000 results: the analysis search
// (no criteria and one criterion) and the alarming results, beside a raw
// read of the same file. Each lists, sorts and returns every line.
#include "analyses/AnalysisSearch.h"
#include "analyses/AnalysisEntry.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace Qt::StringLiterals;
using namespace clinora;

namespace {

constexpr int kResults = 10000;

const QString &archivePath()
{
    static QTemporaryDir dir;
    static const QString path = [] {
        const QString p = dir.filePath(u"Paziente_CF_RSSMRA80A01H501U.asl"_s);
        QFile f(p);
        if (!f.open(QIODevice::WriteOnly))
            std::abort();
        const char16_t *exams[] = {u"Glicemia", u"Emocromo completo", u"Colesterolo totale", u"Azotemia",
                                   u"Creatinina", u"Emoglobina glicata", u"Potassio", u"Sodio"};
        QRandomGenerator rng(7);
        AnalysisRecord r;
        for (int i = 0; i < kResults; ++i) {
            r.clear();
            const QString date = u"%1/%2/%3"_s.arg(rng.bounded(1, 29), 2, 10, QChar(u'0'))
                                     .arg(rng.bounded(1, 13), 2, 10, QChar(u'0'))
                                     .arg(rng.bounded(1995, 2026));
            r.set(AnalysisRecord::Paziente, u"ROSSI MARIO"_s);
            r.set(AnalysisRecord::CodFisc, u"RSSMRA80A01H501U"_s);
            r.set(AnalysisRecord::NumRef, u"%1/%2"_s.arg(i / 8).arg(rng.bounded(1000)));
            r.set(AnalysisRecord::DataRef, date);
            r.set(AnalysisRecord::Data, date);
            r.set(AnalysisRecord::Esame, QString::fromUtf16(exams[rng.bounded(8)]));
            r.set(AnalysisRecord::Risultato, u"%1,%2"_s.arg(rng.bounded(300)).arg(rng.bounded(10)));
            r.set(AnalysisRecord::UM, u"mg/dl"_s);
            r.set(AnalysisRecord::Rife, u"70 - 110"_s);
            r.set(AnalysisRecord::Esito, rng.bounded(4) ? u"NELLA NORMA"_s : u"FUORI NORMA"_s);
            r.set(AnalysisRecord::Commento, u"Valore da ricontrollare al prossimo prelievo"_s);
            r.set(AnalysisRecord::Firmatario, u"Dott. Verdi"_s);
            setAlarmMark(r, rng.bounded(10) == 0);
            f.write(r.bytes());
        }
        return p;
    }();
    return path;
}

void BM_RawRead(benchmark::State &state)
{
    const QString path = archivePath();
    for (auto _ : state) {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly))
            std::abort();
        benchmark::DoNotOptimize(f.readAll());
    }
}
BENCHMARK(BM_RawRead)->Unit(benchmark::kMillisecond);

void BM_SearchEveryCard(benchmark::State &state)
{
    const AnalysisCriteria none({});
    QStringList lines;
    for (auto _ : state) {
        if (!findResultLines(archivePath(), none, lines) || lines.size() != kResults)
            std::abort();
    }
}
BENCHMARK(BM_SearchEveryCard)->Unit(benchmark::kMillisecond);

void BM_SearchByExamAndYear(benchmark::State &state)
{
    std::array<QString, 10> typed{};
    typed[2] = u"2019"_s;
    typed[3] = u"glic"_s;
    const AnalysisCriteria criteria(typed);
    QStringList lines;
    for (auto _ : state) {
        if (!findResultLines(archivePath(), criteria, lines))
            std::abort();
    }
}
BENCHMARK(BM_SearchByExamAndYear)->Unit(benchmark::kMillisecond);

void BM_AlarmingResults(benchmark::State &state)
{
    QStringList lines;
    for (auto _ : state) {
        if (!alarmingResultLines(archivePath(), lines))
            std::abort();
    }
}
BENCHMARK(BM_AlarmingResults)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
