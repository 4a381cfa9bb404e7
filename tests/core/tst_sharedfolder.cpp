// Copies of the program in processes of their own, on one data folder, as
// on computers sharing a network folder.
//
// The saving run lasts CLINORA_SHARE_SECONDS seconds per copy (2 unless
// set), and CLINORA_SHARE_COPIES copies (3 unless set) save at once:
//   CLINORA_SHARE_SECONDS=60 CLINORA_SHARE_COPIES=4 ctest --test-dir build -R sharedfolder
#include "common/FileIo.h"
#include "common/FileLock.h"
#include "share/LockHolder.h"
#include "common/RecordFile.h"
#include "share/ShareRecords.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;
using namespace clinora;
using namespace clinora::test;
using namespace std::chrono_literals;

namespace {

QString helperPath() { return test::shareHelperPath(); }

using Holder = test::LockHolder;

int envNumber(const char *name, int fallback)
{
    bool ok = false;
    const int n = qEnvironmentVariableIntValue(name, &ok);
    return ok && n > 0 ? n : fallback;
}

template <class Record>
void seed(const QString &path, int count)
{
    QDir().mkpath(QFileInfo(path).path());
    RecordArchive<Record> archive;
    QVERIFY(archive.open(path));
    for (int k = 1; k <= count; ++k)
        QVERIFY(archive.append(recordOfTag<Record>(u"seed-%1"_s.arg(k))));
    QVERIFY(archive.close());
}

struct Saves {
    QHash<qint64, QSet<QString>> doneAt; // every tag reported stored at a record number
    QList<qint64> appended;              // the numbers the appends were given
    int failed = 0;
};

// Every save reported done is in the archive once and whole, unless a later
// rewrite of the same record took its place; nothing else is there.
template <class Record>
void checkArchive(const QString &path, const Saves &saves, int seeded)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    QCOMPARE(bytes.size() % Record::kSize, 0);
    const qint64 count = bytes.size() / Record::kSize;
    // No two appends were given the same number, and none was lost.
    QCOMPARE(QSet<qint64>(saves.appended.begin(), saves.appended.end()).size(), saves.appended.size());
    QCOMPARE(count, seeded + saves.appended.size());
    QSet<QString> seen;
    for (qint64 k = 1; k <= count; ++k) {
        Record r;
        QVERIFY(r.assign(QByteArrayView(bytes).sliced((k - 1) * Record::kSize, Record::kSize)));
        const QString tag = r.text(0);
        QVERIFY2(r.bytes() == recordOfTag<Record>(tag).bytes(), qPrintable(u"record %1 is not whole"_s.arg(k)));
        const bool seedRecord = k <= seeded && tag == u"seed-%1"_s.arg(k);
        QVERIFY2(seedRecord || saves.doneAt.value(k).contains(tag),
                 qPrintable(u"record %1 holds %2, never reported saved there"_s.arg(k).arg(tag)));
        QVERIFY2(!seen.contains(tag), qPrintable(u"%1 is stored twice"_s.arg(tag)));
        seen.insert(tag);
    }
    QVERIFY(!QFile::exists(RecordFile::journalPath(path)));
}

} // namespace

class TestSharedFolder : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY2(QFile::exists(helperPath()), qPrintable(helperPath()));
        // What a user sits through when another computer holds a file, before
        // the command says so: long enough for a search there to end, short
        // enough not to look hung.
        QCOMPARE(lock::waitLimit(), 2000ms);
    }

    void copiesSavingAtOnceLoseNothing()
    {
        QTemporaryDir dir;
        const QString patients = shareArchivePatients(dir.path());
        const QString analyses = shareArchiveAnalyses(dir.path());
        constexpr int kSeeded = 4;
        seed<PatientRecord>(patients, kSeeded);
        seed<AnalysisRecord>(analyses, kSeeded);

        const int seconds = envNumber("CLINORA_SHARE_SECONDS", 2);
        const int copies = envNumber("CLINORA_SHARE_COPIES", 3);
        std::vector<std::unique_ptr<QProcess>> running;
        for (int i = 0; i < copies; ++i) {
            auto p = std::make_unique<QProcess>();
            p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
            p->start(helperPath(), {u"save"_s, dir.path(), QString::number(seconds), u"c%1"_s.arg(i)});
            running.push_back(std::move(p));
        }
        Saves savedPatients, savedAnalyses;
        for (auto &p : running) {
            QVERIFY(p->waitForFinished((seconds + 120) * 1000));
            QCOMPARE(p->exitStatus(), QProcess::NormalExit);
            QCOMPARE(p->exitCode(), 0);
            int done = 0;
            for (const QByteArray &raw : p->readAllStandardOutput().split('\n')) {
                const QList<QByteArray> w = raw.trimmed().split(' ');
                if (w.size() == 2 && w[0] == "failed") {
                    ++(w[1] == "P" ? savedPatients : savedAnalyses).failed;
                } else if (w.size() == 5 && w[0] == "done") {
                    Saves &s = w[1] == "P" ? savedPatients : savedAnalyses;
                    const qint64 k = w[3].toLongLong();
                    s.doneAt[k].insert(QString::fromLatin1(w[4]));
                    if (w[2] == "append")
                        s.appended << k;
                    ++done;
                }
            }
            QVERIFY(done > 0);
        }
        qInfo("%d copies for %d s: %lld patients and %lld analyses appended, %d and %d saves reported failed",
              copies, seconds, qlonglong(savedPatients.appended.size()), qlonglong(savedAnalyses.appended.size()),
              savedPatients.failed, savedAnalyses.failed);
        checkArchive<PatientRecord>(patients, savedPatients, kSeeded);
        checkArchive<AnalysisRecord>(analyses, savedAnalyses, kSeeded);
    }

    void anotherCopysLockIsWaitedForThenGivenUp_data()
    {
        QTest::addColumn<bool>("heldExclusive");
        QTest::addColumn<bool>("readerGetsIn");
        QTest::newRow("held for writing") << true << false;
        QTest::newRow("held for reading") << false << true;
    }
    void anotherCopysLockIsWaitedForThenGivenUp()
    {
        QFETCH(bool, heldExclusive);
        QFETCH(bool, readerGetsIn);
        QTemporaryDir dir;
        const QString patients = shareArchivePatients(dir.path());
        seed<PatientRecord>(patients, 2);
        QFile f(patients);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray before = f.readAll();
        f.close();

        lock::setWaitLimit(200ms);
        Holder other(patients, heldExclusive ? lock::Mode::Exclusive : lock::Mode::Shared);
        QVERIFY(other.locked());
        PatientArchive reader;
        QCOMPARE(reader.open(patients, lock::Mode::Shared).error, readerGetsIn ? IoError::None : IoError::Busy);
        QVERIFY(reader.close());
        PatientArchive writer;
        QCOMPARE(writer.open(patients, lock::Mode::Exclusive).error, IoError::Busy);
        QVERIFY(!writer.isOpen());
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), before);
        lock::setWaitLimit(2000ms);
    }

    // A rewrite cut short (its journal left) is finished by the next copy
    // that opens the archive, even one that only reads; but only with the
    // file to itself: while another copy reads it, finishing waits, and
    // gives up with nothing written.
    void unfinishedRewriteFinishedOnlyWithTheFileAlone()
    {
        QTemporaryDir dir;
        const QString patients = shareArchivePatients(dir.path());
        seed<PatientRecord>(patients, 3);
        {
            // The power goes just as the record itself is written.
            struct CutRecord : io::FaultHook {
                QString archive;
                bool shouldFail(io::Op, const QString &) override { return false; }
                qint64 bytesBeforeCut(const QString &path, qint64 size) override
                {
                    return path == archive ? 0 : size;
                }
            } cut;
            cut.archive = patients;
            PatientArchive writer;
            QVERIFY(writer.open(patients, lock::Mode::Exclusive));
            io::setFaultHook(&cut);
            const bool written = writer.write(2, recordOfTag<PatientRecord>(u"nuovo"_s)).ok();
            io::setFaultHook(nullptr);
            QVERIFY(!written);
        }
        const QString journal = RecordFile::journalPath(patients);
        QVERIFY(QFile::exists(journal));
        QFile f(patients);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray before = f.readAll();
        f.close();

        lock::setWaitLimit(300ms);
        {
            Holder other(patients, lock::Mode::Shared);
            QVERIFY(other.locked());
            PatientArchive reader;
            QCOMPARE(reader.open(patients, lock::Mode::Shared).error, IoError::Busy);
            QVERIFY(QFile::exists(journal));
            QVERIFY(f.open(QIODevice::ReadOnly));
            QCOMPARE(f.readAll(), before);
            f.close();
        }
        lock::setWaitLimit(2000ms);
        PatientArchive reader;
        QVERIFY(reader.open(patients, lock::Mode::Shared));
        QVERIFY(!QFile::exists(journal));
        PatientRecord second;
        QVERIFY(reader.read(2, second));
        QCOMPARE(second.bytes(), recordOfTag<PatientRecord>(u"nuovo"_s).bytes());
    }
};

QTEST_GUILESS_MAIN(TestSharedFolder)
#include "tst_sharedfolder.moc"
