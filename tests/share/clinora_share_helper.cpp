// A copy of the program's record layer in a process of its own, for the
// tests of computers sharing one data folder.
//
//   clinora_share_helper hold <file> shared|exclusive
//       locks the file as a command would, prints "locked", and keeps the
//       lock until its standard input is closed.
//   clinora_share_helper save <folder> <seconds> <id>
//       for that long, saves as "Salva" does (open, append or rewrite,
//       close) new and stored patients and analyses into the folder, and
//       prints one line for every save reported done:
//           done <P|A> <append|rewrite> <record number> <tag>
//       and "failed <P|A>" for every save reported failed.
#include "share/ShareRecords.h"

#include "common/FileLock.h"

#include <QCoreApplication>
#include <QDir>
#include <QRandomGenerator>

#include <chrono>
#include <cstdio>

using namespace clinora;
using namespace std::chrono_literals;

namespace {

void say(const QString &line)
{
    std::fputs(qPrintable(line + u'\n'), stdout);
    std::fflush(stdout);
}

int hold(const QString &path, const QString &mode)
{
    lock::setWaitLimit(30s);
    lock::FileLock guard;
    if (guard.acquire(path, mode == u"exclusive" ? lock::Mode::Exclusive : lock::Mode::Shared) != lock::Outcome::Locked)
        return 2;
    say(QStringLiteral("locked"));
    while (std::fgetc(stdin) != EOF) {
    }
    return 0;
}

template <class Record>
void saveOne(const QString &path, char kind, bool append, const QString &tag, QRandomGenerator &random)
{
    RecordArchive<Record> archive;
    const Record record = test::recordOfTag<Record>(tag);
    qint64 number = 0;
    bool done = archive.open(path, lock::Mode::Exclusive).ok();
    if (done && append) {
        done = archive.append(record, &number).ok();
    } else if (done) {
        // Mostly the first few records, so that copies rewrite the same ones.
        const qint64 count = archive.count();
        number = 1 + qint64(random.bounded(quint32(std::min<qint64>(count, 6))));
        done = archive.write(number, record).ok();
    }
    done = archive.close().ok() && done;
    if (done)
        say(QStringLiteral("done %1 %2 %3 %4")
                .arg(QChar::fromLatin1(kind), append ? QStringLiteral("append") : QStringLiteral("rewrite"))
                .arg(number)
                .arg(tag));
    else
        say(QStringLiteral("failed %1").arg(QChar::fromLatin1(kind)));
}

int save(const QString &folder, double seconds, const QString &id)
{
    const QString patients = test::shareArchivePatients(folder);
    const QString analyses = test::shareArchiveAnalyses(folder);
    QRandomGenerator random(quint32(qHash(id)));
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    for (int seq = 1; std::chrono::steady_clock::now() < end; ++seq) {
        const QString tag = id + u'-' + QString::number(seq);
        const quint32 what = random.bounded(4u);
        if (what < 2)
            saveOne<PatientRecord>(patients, 'P', what == 0, tag, random);
        else
            saveOne<AnalysisRecord>(analyses, 'A', what == 2, tag, random);
    }
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() == 4 && args[1] == u"hold")
        return hold(args[2], args[3]);
    if (args.size() == 5 && args[1] == u"save")
        return save(args[2], args[3].toDouble(), args[4]);
    std::fputs("usage: clinora_share_helper hold FILE shared|exclusive | save FOLDER SECONDS ID\n", stderr);
    return 1;
}
