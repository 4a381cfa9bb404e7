// The frequent-exams list over arbitrary file contents: the reader, the
// import's slicing of a line, and the list written back and read again.
#include "analyses/FrequentExams.h"
#include "common/Text.h"

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

void check(bool ok)
{
    if (!ok)
        std::abort();
}

void writeRaw(const QString &path, const uint8_t *data, size_t size)
{
    QFile f(path);
    check(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    check(f.write(reinterpret_cast<const char *>(data), qint64(size)) == qint64(size));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static QTemporaryDir dir(fuzzFolder());
    check(dir.isValid());
    const QString path = dir.filePath(kFrequentExamsFileName.toString());
    writeRaw(path, data, size);

    const std::optional<QStringList> lines = readFrequentExams(dir.path());
    check(lines.has_value());
    for (const QString &line : *lines) {
        // A line is one line, without its outer blanks.
        check(!line.contains(u'\r') && !line.contains(u'\n'));
        check(line == text::trimmed(line));
        // The import's three parts fit their columns, and a line built from
        // them gives them back.
        const FrequentExam e = splitFrequentExamLine(line);
        check(e.exam.size() <= kFrequentExamWidth && e.unit.size() <= kFrequentUnitWidth
              && e.range.size() <= kFrequentRangeWidth);
        const QString built = FrequentExamLine(e.exam, e.unit, e.range);
        check(built.size() == kFrequentExamLineLength);
        const FrequentExam again = splitFrequentExamLine(built);
        check(again.exam == e.exam && again.unit == e.unit && again.range == e.range);
    }

    // Saved and read back, the list is the same.
    check(writeFrequentExams(dir.path(), *lines));
    const std::optional<QStringList> back = readFrequentExams(dir.path());
    check(back && *back == *lines);
    return 0;
}
