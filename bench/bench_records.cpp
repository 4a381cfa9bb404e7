// Reading the patient archive: a raw read of the file beside reading and
// decoding every record, on a generated archive of 20,000 patients.
#include "patients/PatientRecord.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace Qt::StringLiterals;
using namespace clinora;

namespace {

constexpr int kPatients = 20000;

QString pick(QRandomGenerator &rng, std::initializer_list<const char16_t *> words)
{
    return QString::fromUtf16(*(words.begin() + rng.bounded(int(words.size()))));
}

// A practice's archive: short personal fields, some clinical free text.
const QString &archivePath()
{
    static QTemporaryDir dir;
    static const QString path = [] {
        const QString p = PatientArchivePath(dir.path());
        QFile f(p);
        if (!f.open(QIODevice::WriteOnly))
            std::abort();
        QRandomGenerator rng(42);
        PatientRecord r;
        for (int i = 0; i < kPatients; ++i) {
            r.clear();
            r.set(PatientRecord::Paziente, pick(rng, {u"ROSSI", u"BIANCHI", u"ESPOSITO", u"COLOMBO", u"RICCI"})
                                               + u' ' + pick(rng, {u"MARIO", u"GIULIA", u"LUCA", u"NICCOLÒ"}));
            r.set(PatientRecord::DataNasc, u"%1/%2/19%3"_s.arg(rng.bounded(1, 29), 2, 10, QChar(u'0'))
                                               .arg(rng.bounded(1, 13), 2, 10, QChar(u'0'))
                                               .arg(rng.bounded(30, 99)));
            r.set(PatientRecord::ComuneNasc, pick(rng, {u"ROMA", u"MILANO", u"FORLÌ", u"NAPOLI", u"TORINO"}));
            r.set(PatientRecord::ProvNasc, pick(rng, {u"RM", u"MI", u"FC", u"NA", u"TO"}));
            r.set(PatientRecord::Sesso, rng.bounded(2) ? u"M"_s : u"F"_s);
            r.set(PatientRecord::Recapito, u"333 %1"_s.arg(rng.bounded(1000000, 9999999)));
            r.set(PatientRecord::IndirizzoRes, u"VIA GARIBALDI %1"_s.arg(rng.bounded(1, 200)));
            r.set(PatientRecord::ComuneRes, pick(rng, {u"ROMA", u"MILANO", u"FORLÌ", u"NAPOLI"}));
            r.set(PatientRecord::CapRes, u"%1"_s.arg(rng.bounded(10000, 99999)));
            r.set(PatientRecord::Email, u"paziente%1@example.org"_s.arg(i));
            r.set(PatientRecord::CodFisc, u"RSSMRA80A01H501U"_s);
            r.set(PatientRecord::Patologie, u"Ipertensione arteriosa in trattamento; controlli semestrali"_s);
            r.set(PatientRecord::Allergie, rng.bounded(3) ? QString() : u"Penicillina, pollini"_s);
            r.set(PatientRecord::Farmaci, u"Ramipril 5 mg una compressa al mattino"_s);
            r.set(PatientRecord::Note, u"Preferisce essere contattato nel pomeriggio."_s);
            r.set(PatientRecord::Ricontatta, rng.bounded(5) ? kNo : kYes);
            f.write(r.bytes());
        }
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
