// The patient lists and the export on archives of 20,000 and 100,000
// patients, beside a raw read of the same file: the search (no filter and
// one filter), the pick of the last line, the patients to recontact, the
// export grid and the spreadsheet file.
#include "common/ExcelHtml.h"
#include "patients/PatientExport.h"
#include "patients/PatientList.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <map>

using namespace Qt::StringLiterals;
using namespace clinora;

namespace {

QTemporaryDir &folder()
{
    static QTemporaryDir dir;
    return dir;
}

QString pick(QRandomGenerator &rng, std::initializer_list<const char16_t *> words)
{
    return QString::fromUtf16(*(words.begin() + rng.bounded(int(words.size()))));
}

// An archive of `n` patients, made once per size.
const QString &archivePath(int n)
{
    static std::map<int, QString> paths;
    auto it = paths.find(n);
    if (it != paths.end())
        return it->second;
    const QString p = folder().filePath(u"Pazienti_%1.pro"_s.arg(n));
    QFile f(p);
    if (!f.open(QIODevice::WriteOnly))
        std::abort();
    QRandomGenerator rng(7);
    PatientRecord r;
    for (int i = 0; i < n; ++i) {
        r.clear();
        r.set(PatientRecord::Paziente, pick(rng, {u"ROSSI", u"Bianchi", u"ESPOSITO", u"Colombo", u"RICCI"}) + u' '
                                           + pick(rng, {u"MARIO", u"Giulia", u"LUCA", u"NICCOLÒ"}) + u' '
                                           + QString::number(i));
        r.set(PatientRecord::Recapito, u"333 %1"_s.arg(rng.bounded(1000000, 9999999)));
        r.set(PatientRecord::ComuneNasc, pick(rng, {u"ROMA", u"MILANO", u"FORLÌ", u"NAPOLI"}));
        r.set(PatientRecord::ProvNasc, u"RM"_s);
        r.set(PatientRecord::ComuneRes, pick(rng, {u"ROMA", u"MILANO", u"FORLÌ", u"NAPOLI"}));
        r.set(PatientRecord::Email, u"paziente%1@example.org"_s.arg(i));
        r.set(PatientRecord::CodFisc, u"RSSMRA80A01H%1U"_s.arg(i % 1000, 3, 10, QChar(u'0')));
        r.set(PatientRecord::Tessera, u"80380%1"_s.arg(i));
        r.set(PatientRecord::Patologie, u"Ipertensione arteriosa in trattamento; controlli semestrali"_s);
        r.set(PatientRecord::Farmaci, u"Ramipril 5 mg una compressa al mattino"_s);
        r.set(PatientRecord::Note, u"Preferisce essere contattato nel pomeriggio."_s);
        r.set(PatientRecord::Ricontatta, rng.bounded(5) ? kNo : kYes);
        f.write(r.bytes());
    }
    return paths.emplace(n, p).first->second;
}

void BM_RawRead(benchmark::State &state)
{
    const QString &path = archivePath(int(state.range(0)));
    QByteArray buffer(1 << 20, Qt::Uninitialized);
    for (auto _ : state) {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly))
            state.SkipWithError("open");
        qint64 n, total = 0;
        while ((n = f.read(buffer.data(), buffer.size())) > 0)
            total += n;
        benchmark::DoNotOptimize(total);
    }
}

void BM_SearchAll(benchmark::State &state)
{
    const QString &path = archivePath(int(state.range(0)));
    const PatientMatcher none({});
    for (auto _ : state)
        benchmark::DoNotOptimize(searchPatients(path, none).lines.size());
}

void BM_SearchOneFilter(benchmark::State &state)
{
    const QString &path = archivePath(int(state.range(0)));
    const PatientMatcher rossi({{PatientRecord::Paziente, u"rossi"_s}, {PatientRecord::ComuneRes, u"  "_s}});
    for (auto _ : state)
        benchmark::DoNotOptimize(searchPatients(path, rossi).lines.size());
}

void BM_Pick(benchmark::State &state)
{
    const QString &path = archivePath(int(state.range(0)));
    const QString line = searchPatients(path, PatientMatcher({})).lines.constLast();
    for (auto _ : state)
        benchmark::DoNotOptimize(findPatientByLine(path, line).number);
}

void BM_Recontact(benchmark::State &state)
{
    const QString &path = archivePath(int(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(recontactPatients(path).lines.size());
}

void BM_ExportGrid(benchmark::State &state)
{
    const QString &path = archivePath(int(state.range(0)));
    for (auto _ : state) {
        TextGridModel grid(patientGridColumns());
        grid.setRows(readPatientGrid(path));
        benchmark::DoNotOptimize(grid.rowCount());
    }
}

void BM_ExportFile(benchmark::State &state)
{
    const QString &path = archivePath(int(state.range(0)));
    TextGridModel grid(patientGridColumns());
    grid.setRows(readPatientGrid(path));
    const QString target = folder().filePath(u"Pazienti.xls"_s);
    const QList<ExcelColumn> columns = patientExportColumns();
    for (auto _ : state) {
        if (!ExcelHtmlEnvelope(target, u"Archivio Pazienti", columns, grid.rowCount(),
                               [&](qsizetype r, int c) { return grid.cell(r, c + 1); }))
            state.SkipWithError("write");
    }
}

#define SIZES ->Arg(20000)->Arg(100000)->Unit(benchmark::kMillisecond)
BENCHMARK(BM_RawRead) SIZES;
BENCHMARK(BM_SearchAll) SIZES;
BENCHMARK(BM_SearchOneFilter) SIZES;
BENCHMARK(BM_Pick) SIZES;
BENCHMARK(BM_Recontact) SIZES;
BENCHMARK(BM_ExportGrid) SIZES;
BENCHMARK(BM_ExportFile) SIZES;

} // namespace

BENCHMARK_MAIN();
