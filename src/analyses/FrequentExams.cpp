#include "analyses/FrequentExams.h"

#include "common/FileIo.h"
#include "common/FileLock.h"
#include "common/Text.h"

#include <QDir>
#include <QFile>

using namespace Qt::StringLiterals;

namespace clinora {

namespace {

void appendPadded(QString &out, QStringView text, int width)
{
    const QStringView t = text::trimmedView(text);
    const qsizetype kept = std::min<qsizetype>(t.size(), width);
    out += t.first(kept);
    out.resize(out.size() + (width - kept), u' ');
}

QString path(const QString &appFolder) { return QDir(appFolder).filePath(kFrequentExamsFileName.toString()); }

} // namespace

QString FrequentExamLine(QStringView exam, QStringView unit, QStringView range)
{
    QString line;
    line.reserve(kFrequentExamLineLength);
    appendPadded(line, exam, kFrequentExamWidth);
    line += u"  UM: ";
    appendPadded(line, unit, kFrequentUnitWidth);
    line += u"  Rif. ";
    appendPadded(line, range, kFrequentRangeWidth);
    return line;
}

FrequentExam splitFrequentExamLine(QStringView line)
{
    // Characters 1-50, 57-81 and 89-113.
    return {text::trimmed(line.mid(0, kFrequentExamWidth)), text::trimmed(line.mid(56, kFrequentUnitWidth)),
            text::trimmed(line.mid(88, kFrequentRangeWidth))};
}

std::optional<QStringList> readFrequentExams(const QString &appFolder)
{
    // Not read half-way through another computer's replacing it.
    lock::FileLock guard;
    if (guard.acquire(path(appFolder), lock::Mode::Shared, lock::Missing::Skip) != lock::Outcome::Locked)
        return std::nullopt;
    QFile f(path(appFolder));
    if (!f.exists())
        return QStringList();
    if (io::injectFault(io::Op::Open, f.fileName()) || !io::openRegular(f, QIODevice::ReadOnly))
        return std::nullopt;
    if (io::injectFault(io::Op::Read, f.fileName()))
        return std::nullopt;
    const QByteArray bytes = f.readAll();
    if (f.error() != QFileDevice::NoError)
        return std::nullopt;

    // Lines end in CR LF; a line ended by LF or CR alone (a list edited by
    // hand) is a line too. A break at the very end opens no further line.
    const QString all = text::fromCp1252(bytes);
    QStringList lines;
    qsizetype start = 0;
    const qsizetype n = all.size();
    while (start < n) {
        qsizetype end = start;
        while (end < n && all[end] != u'\r' && all[end] != u'\n')
            ++end;
        lines.append(text::trimmed(QStringView(all).sliced(start, end - start)));
        if (end < n && all[end] == u'\r' && end + 1 < n && all[end + 1] == u'\n')
            ++end;
        start = end + 1;
    }
    return lines;
}

bool writeFrequentExams(const QString &appFolder, const QStringList &lines)
{
    QString all;
    for (const QString &line : lines) {
        QString one = line;
        // A line break inside an entry would split it in two when read back.
        one.replace(u'\r', u' ').replace(u'\n', u' ');
        all += one;
        all += u"\r\n";
    }
    // The new list takes the place of the old one only once it is whole,
    // and one computer at a time replaces it.
    lock::FileLock guard;
    if (guard.acquire(path(appFolder), lock::Mode::Exclusive) != lock::Outcome::Locked)
        return false;
    guard.releaseForRename();
    return io::replaceFile(path(appFolder), text::toCp1252(all));
}

} // namespace clinora
