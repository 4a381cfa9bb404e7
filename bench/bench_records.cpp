// Reading the patient archive: a raw read of the file beside reading and
// decoding every record, on a generated archive of 20,000 patients.
#include "demo/DemoData.h"
#include "patients/PatientRecord.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace Qt::StringLiterals;
using namespace clinora;

namespace {

constexpr int kPatients = 20000;

// A practice's archive of realistic patients, written once.
const QString &archivePath()
{
    static QTemporaryDir dir;
    static const QString path = [] {
        const QString p = PatientArchivePath(dir.path());
        if (!demo::writePatientArchive(p, kPatients))
            std::abort();
        return p;
    }();
    return path;
}

void BM_RawRead(benchmark::State &state)
{
    const QString &path = archivePath();
    QByteArray buffer(1 << 20, Qt::Uninitialized);
    qint64 total = 0;
    for (auto _ : state) {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly))
            state.SkipWithError("open");
        qint64 n;
        while ((n = f.read(buffer.data(), buffer.size())) > 0)
            total += n;
        benchmark::DoNotOptimize(total);
    }
    state.SetBytesProcessed(total);
}
BENCHMARK(BM_RawRead)->Unit(benchmark::kMillisecond);

void BM_ReadAndDecodeAll(benchmark::State &state)
{
    const QString &path = archivePath();
    qint64 total = 0;
    for (auto _ : state) {
        PatientArchive archive;
        if (!archive.open(path))
            state.SkipWithError("open");
        PatientRecord rec;
        bool end = false;
        qsizetype chars = 0;
        while (archive.readNext(rec, end) && !end) {
            for (int f = 0; f < PatientRecord::FieldCount; ++f)
                chars += rec.text(f).size();
            total += PatientRecord::kSize;
        }
        (void)archive.close();
        benchmark::DoNotOptimize(chars);
    }
    state.SetBytesProcessed(total);
}
BENCHMARK(BM_ReadAndDecodeAll)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
