// Both record layouts and the fixed-record file over arbitrary file contents.
#include "analyses/AnalysisRecord.h"
#include "common/RecordFile.h"
#include "common/Text.h"
#include "patients/PatientRecord.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdlib>

using namespace clinora;

namespace {

// In memory where the system offers it: every save is synced to the disk.
QString fuzzFolder()
{
    const QString shm = QStringLiteral("/dev/shm");
    return (QFileInfo(shm).isDir() ? shm : QDir::tempPath()) + QStringLiteral("/clinora-fuzz-XXXXXX");
}

} // namespace

namespace {

// Every field decodes within its capacity and re-encodes to its stored bytes.
void checkFields(const FixedRecord &r)
{
    for (int f = 0; f < r.layout().fieldCount(); ++f) {
        const FieldDef &def = r.layout().field(f);
        const QString raw = r.rawText(f);
        if (raw.size() > def.capacity || r.length(f) > def.capacity)
            std::abort();
        if (text::toCp1252(raw) != r.bytes().mid(def.offset + 1, r.length(f)))
            std::abort();
        if (r.text(f) != text::trimmed(raw))
            std::abort();
    }
}

template <class Record>
void readAll(const QString &path)
{
    RecordArchive<Record> a;
    if (!a.open(path))
        return;
    const qint64 n = a.count();
    if (n != QFile(path).size() / Record::kSize)
        std::abort();
    Record rec;
    bool end = false;
    qint64 seen = 0;
    while (a.readNext(rec, end) && !end) {
        ++seen;
        if (a.currentNumber() != seen)
            std::abort();
        checkFields(rec);
    }
    if (seen != n)
        std::abort();
    if (n > 0 && !a.read(n, rec))
        std::abort();
    (void)a.close();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static QTemporaryDir dir(fuzzFolder());
    const QString path = dir.filePath(QStringLiteral("f.bin"));
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            std::abort();
        f.write(reinterpret_cast<const char *>(data), qint64(size));
    }
    readAll<PatientRecord>(path);
    readAll<AnalysisRecord>(path);

    // A record rebuilt field by field from what it shows holds the same texts.
    PatientRecord p;
    const qsizetype n = std::min<qsizetype>(qsizetype(size), PatientRecord::kSize);
    std::memcpy(p.bytes().data(), data, size_t(n));
    PatientRecord copy;
    for (int f = 0; f < PatientRecord::FieldCount; ++f)
        copy.setText(f, p.text(f));
    for (int f = 0; f < PatientRecord::FieldCount; ++f)
        if (copy.text(f) != text::trimmed(p.text(f)))
            std::abort();
    return 0;
}
