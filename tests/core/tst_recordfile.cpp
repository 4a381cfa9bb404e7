#include "analyses/AnalysisRecord.h"
#include "common/FileIo.h"
#include "common/RecordFile.h"
#include "common/RecordScan.h"
#include "common/SpareMemory.h"
#include "support/FileTools.h"

#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <QTest>

#include <optional>

#if defined(Q_OS_LINUX)
#include <unistd.h>
#endif

using namespace Qt::StringLiterals;
using namespace clinora;
using namespace clinora::test;

namespace {

constexpr int kSize = AnalysisRecord::kSize;

QByteArray recordOf(char fill) { return QByteArray(kSize, fill); }

// Leaves the journal of a rewrite of record 2 (b -> N) of an archive a b c,
// as a power cut just before the record was written would.
void leaveJournal(const QString &p)
{
    QFile::remove(p);
    QFile::remove(RecordFile::journalPath(p));
    writeFile(p, recordOf('a') + recordOf('b') + recordOf('c'));
    struct CutRecord : io::FaultHook {
        int seen = 0;
        bool shouldFail(io::Op, const QString &) override { return false; }
        qint64 bytesBeforeCut(const QString &, qint64 size) override { return ++seen == 2 ? 0 : size; }
    } hook;
    RecordFile f(kSize);
    QVERIFY(f.open(p));
    io::setFaultHook(&hook);
    const IoResult r = f.write(2, recordOf('N'));
    io::setFaultHook(nullptr);
    QCOMPARE(r.error, IoError::Write);
    QVERIFY(QFile::exists(RecordFile::journalPath(p)));
}

#if defined(Q_OS_LINUX)
// Seen through /proc, so on Linux only.
// Every sync the system is asked for, with the file or folder it was for,
// and what a watched file held at that moment.
QStringList g_synced;
QString g_watched;
QList<QByteArray> g_watchedHeld;
int noteSync(int fd)
{
    if (!g_watched.isEmpty())
        g_watchedHeld << fileBytes(g_watched);
    char target[4096];
    const QByteArray link = "/proc/self/fd/" + QByteArray::number(fd);
    const ssize_t n = ::readlink(link.constData(), target, sizeof target);
    g_synced << (n > 0 ? QFile::decodeName(QByteArray(target, int(n))) : QString());
    return ::fsync(fd);
}

class NoteSyncs {
public:
    NoteSyncs()
    {
        g_synced.clear();
        io::setSyncCall(&noteSync);
    }
    ~NoteSyncs() { io::setSyncCall(nullptr); }
};
#endif

// Fails the n-th operation of one kind.
class FailNth : public io::FaultHook {
public:
    FailNth(io::Op op, int n) : m_op(op), m_n(n) { io::setFaultHook(this); }
    ~FailNth() override { io::setFaultHook(nullptr); }
    bool shouldFail(io::Op op, const QString &) override { return op == m_op && --m_n == 0; }

private:
    io::Op m_op;
    int m_n;
};

} // namespace

class TestRecordFile : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    QString path(const QString &name) const { return m_dir.filePath(name); }

private slots:
    void openCreatesMissingFileEmpty()
    {
        RecordFile f(kSize);
        QVERIFY(f.open(path(u"new.asl"_s)));
        QCOMPARE(f.count(), 0);
        QByteArray rec;
        bool end = false;
        QVERIFY(f.readNext(rec, end));
        QVERIFY(end);
        QVERIFY(f.close());
        QVERIFY(QFile::exists(path(u"new.asl"_s)));
        QCOMPARE(QFile(path(u"new.asl"_s)).size(), 0);
    }

    void appendReadWrite()
    {
        const QString p = path(u"a.asl"_s);
        RecordFile f(kSize);
        QVERIFY(f.open(p));
        qint64 n = 0;
        for (char c : {'a', 'b', 'c', 'd', 'e'}) {
            QVERIFY(f.append(recordOf(c), &n));
        }
        QCOMPARE(n, 5);
        QCOMPARE(f.count(), 5);
        QVERIFY(f.close());

        // Rewriting record 2 of 5 touches only its bytes.
        const QByteArray before = fileBytes(p);
        QVERIFY(f.open(p));
        QVERIFY(f.write(2, recordOf('X')));
        QCOMPARE(f.currentNumber(), 2);
        QVERIFY(f.close());
        const QByteArray after = fileBytes(p);
        QCOMPARE(after.size(), 12490);
        QCOMPARE(after.left(kSize), before.left(kSize));
        QCOMPARE(after.mid(kSize, kSize), recordOf('X'));
        QCOMPARE(after.mid(2 * kSize), before.mid(2 * kSize));

        // Random and sequential reads.
        QVERIFY(f.open(p));
        QByteArray rec;
        QVERIFY(f.read(4, rec));
        QCOMPARE(rec, recordOf('d'));
        bool end = false;
        QVERIFY(f.readNext(rec, end));
        QCOMPARE(rec, recordOf('e'));
        QCOMPARE(f.currentNumber(), 5);
        QVERIFY(f.readNext(rec, end));
        QVERIFY(end);
        QCOMPARE(f.read(6, rec).error, IoError::Range);
        QCOMPARE(f.read(0, rec).error, IoError::Range);
        QCOMPARE(f.write(6, recordOf('z')).error, IoError::Range);
        QVERIFY(f.close());
    }

    void trailingFragmentIsNotARecord()
    {
        const QString p = path(u"frag.asl"_s);
        writeFile(p, recordOf('a') + recordOf('b') + recordOf('c') + QByteArray(100, 'z'));
        RecordFile f(kSize);
        QVERIFY(f.open(p));
        QCOMPARE(f.count(), 3);
        QByteArray rec;
        bool end = false;
        int seen = 0;
        while (f.readNext(rec, end) && !end)
            ++seen;
        QCOMPARE(seen, 3);
        qint64 n = 0;
        QVERIFY(f.append(recordOf('d'), &n));
        QCOMPARE(n, 4);
        QVERIFY(f.close());
        const QByteArray bytes = fileBytes(p);
        QCOMPARE(bytes.size(), 4 * kSize);
        QCOMPARE(bytes.mid(3 * kSize), recordOf('d'));
    }

    void openFailures()
    {
        // A folder that cannot hold files: its "parent" is a regular file.
        writeFile(path(u"plain"_s), "x");
        RecordFile f(kSize);
        QCOMPARE(f.open(path(u"plain/a.asl"_s)).error, IoError::Open);
        QVERIFY(!f.isOpen());

        // Something that exists but is no file is never replaced.
        QVERIFY(QDir(m_dir.path()).mkdir(u"dir.asl"_s));
        QCOMPARE(f.open(path(u"dir.asl"_s)).error, IoError::Open);
        QVERIFY(QFileInfo(path(u"dir.asl"_s)).isDir());

        // An existing file that cannot be opened keeps its content.
        const QString p = path(u"locked.asl"_s);
        writeFile(p, recordOf('a'));
        {
            FailNth fault(io::Op::Open, 1);
            QCOMPARE(f.open(p).error, IoError::Open);
        }
        QCOMPARE(fileBytes(p), recordOf('a'));
    }

    void failuresCloseTheFile_data()
    {
        QTest::addColumn<int>("op");
        QTest::addColumn<int>("expected");
        QTest::newRow("write") << int(io::Op::Write) << int(IoError::Write);
        QTest::newRow("flush") << int(io::Op::Flush) << int(IoError::Flush);
        QTest::newRow("sync") << int(io::Op::Sync) << int(IoError::Sync);
    }
    void failuresCloseTheFile()
    {
        QFETCH(int, op);
        QFETCH(int, expected);
        const QString p = path(u"fail%1.asl"_s.arg(op));
        RecordFile f(kSize);
        QVERIFY(f.open(p));
        QVERIFY(f.append(recordOf('a')));
        {
            FailNth fault(io::Op(op), 1);
            QCOMPARE(int(f.append(recordOf('b')).error), expected);
        }
        QVERIFY(!f.isOpen());
        QVERIFY(f.close());

        QVERIFY(f.open(p));
        QByteArray rec;
        {
            FailNth fault(io::Op::Read, 1);
            QCOMPARE(f.read(1, rec).error, IoError::Read);
        }
        QVERIFY(!f.isOpen());
    }

    void rewriteCutShortIsOldOrNew_data()
    {
        QTest::addColumn<int>("write"); // 1: the journal, 2: the record in place
        QTest::addColumn<int>("cut");   // bytes that reached the disk
        const int journal = 28 + 2 * kSize + 32;
        for (int cut : {0, 1, 4, 27, 28, 29, 1000, 28 + kSize, journal - 33, journal - 32, journal - 1})
            QTest::addRow("journal cut at %d", cut) << 1 << cut;
        for (int cut : {0, 1, 500, kSize - 1})
            QTest::addRow("record cut at %d", cut) << 2 << cut;
    }
    void rewriteCutShortIsOldOrNew()
    {
        QFETCH(int, write);
        QFETCH(int, cut);
        const QString p = path(u"power.asl"_s);
        QFile::remove(p);
        QFile::remove(RecordFile::journalPath(p));
        writeFile(p, recordOf('a') + recordOf('b') + recordOf('c'));

        // The power goes during the n-th write, after `cut` bytes.
        struct Cut : io::FaultHook {
            int writeNo, bytes, seen = 0;
            bool shouldFail(io::Op, const QString &) override { return false; }
            qint64 bytesBeforeCut(const QString &, qint64 size) override
            {
                return ++seen == writeNo ? bytes : size;
            }
        } hook;
        hook.writeNo = write;
        hook.bytes = cut;
        {
            RecordFile f(kSize);
            QVERIFY(f.open(p));
            io::setFaultHook(&hook);
            const IoResult r = f.write(2, recordOf('N'));
            io::setFaultHook(nullptr);
            QCOMPARE(r.error, IoError::Write);
        }
        // Started again, the program finds the old record or the new one, whole.
        RecordFile f(kSize);
        QVERIFY(f.open(p));
        QCOMPARE(f.count(), 3);
        QVERIFY(f.close());
        const QByteArray bytes = fileBytes(p);
        QCOMPARE(bytes.size(), 3 * kSize);
        QCOMPARE(bytes.left(kSize), recordOf('a'));
        QCOMPARE(bytes.mid(2 * kSize), recordOf('c'));
        const QByteArray second = bytes.mid(kSize, kSize);
        QVERIFY(second == recordOf('b') || second == recordOf('N'));
        if (write == 2) // the journal was whole: the rewrite is finished
            QCOMPARE(second, recordOf('N'));
        QVERIFY(!QFile::exists(RecordFile::journalPath(p)));
    }

    void rewriteLeavesNoJournal()
    {
        const QString p = path(u"clean.asl"_s);
        RecordFile f(kSize);
        QVERIFY(f.open(p));
        QVERIFY(f.append(recordOf('a')));
        QVERIFY(f.write(1, recordOf('b')));
        QVERIFY(f.close());
        QVERIFY(!QFile::exists(RecordFile::journalPath(p)));
        QCOMPARE(fileBytes(p), recordOf('b'));
    }

    // A journal is applied only to its own archive: one left beside an
    // archive put back from a copy is set aside under a name that says so.
    void foreignJournalIsSetAside_data()
    {
        QTest::addColumn<QByteArray>("archive");
        QTest::newRow("the record is another") << recordOf('a') + recordOf('z') + recordOf('c');
        QTest::newRow("a record more") << recordOf('a') + recordOf('b') + recordOf('c') + recordOf('d');
        QTest::newRow("a record less") << recordOf('a') + recordOf('b');
        QTest::newRow("the record is gone") << recordOf('a');
    }
    void foreignJournalIsSetAside()
    {
        QFETCH(QByteArray, archive);
        const QString p = path(u"restored.asl"_s);
        const QString aside = RecordFile::journalPath(p) + u".estraneo"_s;
        QFile::remove(aside);
        QFile::remove(aside + u'2');
        for (const QString &expected : {aside, QString(aside + u'2')}) {
            leaveJournal(p);
            const QByteArray journal = fileBytes(RecordFile::journalPath(p));
            writeFile(p, archive); // the folder is restored; the journal stayed
            RecordFile f(kSize);
            QVERIFY(f.open(p));
            QCOMPARE(f.count(), archive.size() / kSize);
            QVERIFY(f.close());
            QCOMPARE(fileBytes(p), archive);
            QVERIFY(!QFile::exists(RecordFile::journalPath(p)));
            QCOMPARE(fileBytes(expected), journal);
        }
    }

    // A journal whose bytes were damaged is never replayed, even with its
    // length right: the record it would write is not the one saved.
    void damagedJournalIsNeverReplayed_data()
    {
        QTest::addColumn<int>("at");
        QTest::addColumn<int>("length"); // bytes changed; -1: every byte zeroed
        const int header = 28;
        QTest::newRow("record number") << 12 << 1;
        QTest::newRow("old record") << header + 7 << 1;
        QTest::newRow("new record") << header + kSize + 100 << 1;
        QTest::newRow("new record's last byte") << header + 2 * kSize - 1 << 1;
        QTest::newRow("hash") << header + 2 * kSize + 5 << 1;
        QTest::newRow("all zero") << 0 << -1;
    }
    void damagedJournalIsNeverReplayed()
    {
        QFETCH(int, at);
        QFETCH(int, length);
        const QString p = path(u"damaged.asl"_s);
        leaveJournal(p);
        const QString jpath = RecordFile::journalPath(p);
        QByteArray journal = fileBytes(jpath);
        if (length < 0)
            journal.fill('\0');
        else
            for (int i = at; i < at + length; ++i)
                journal[i] = char(journal[i] ^ 0x5A);
        writeFile(jpath, journal);
        const QByteArray before = fileBytes(p);
        RecordFile f(kSize);
        QVERIFY(f.open(p));
        QVERIFY(f.close());
        QCOMPARE(fileBytes(p), before);
        QVERIFY(!QFile::exists(jpath));
    }

    // The syncs are seen where they are made, at the system call: a sync
    // left out, or made before the bytes it must keep, fails here.
    void savesReachTheDisk()
    {
#if defined(Q_OS_LINUX)
        const QString p = QDir(QFileInfo(m_dir.path()).canonicalFilePath()).filePath(u"synced.asl"_s);
        const QString folder = QFileInfo(p).absolutePath();
        RecordFile f(kSize);
        QVERIFY(f.open(p));
        {
            const NoteSyncs notes;
            QVERIFY(f.append(recordOf('a')));
            QCOMPARE(g_synced, QStringList{p});
        }
        {
            const NoteSyncs notes;
            QVERIFY(f.write(1, recordOf('b')));
            // The journal and its name, then the record.
            QCOMPARE(g_synced, (QStringList{RecordFile::journalPath(p), folder, p}));
        }
        QVERIFY(f.close());

        // A file replaced as a whole: the new file, then its name in the folder.
        const QString list = QDir(folder).filePath(u"list.lst"_s);
        writeFile(list, "old");
        {
            const NoteSyncs notes;
            g_watched = list;
            g_watchedHeld.clear();
            QVERIFY(io::replaceFile(list, "new"));
            g_watched.clear();
            QCOMPARE(g_synced.size(), 2);
            // The new file, under a temporary name or none yet.
            QVERIFY2(g_synced[0] != list && g_synced[0] != folder, qPrintable(g_synced[0]));
            QCOMPARE(g_synced[1], folder);
            // The new file is synced before it takes the old one's place,
            // the folder after.
            QCOMPARE(g_watchedHeld, (QList<QByteArray>{"old", "new"}));
        }
        QCOMPARE(fileBytes(list), QByteArray("new"));
#else
        QSKIP("the syncs are seen through /proc");
#endif
    }

    // Records seen in place in the read-ahead buffer, over several fills of
    // it: each shows its own bytes; a copy keeps them after the reads go on,
    // and a record changed through its fields never writes into the buffer.
    void readsInPlace()
    {
        const QString p = path(u"inplace.asl"_s);
        constexpr int kRecords = 250; // a few fills of the read-ahead buffer
        QByteArray all;
        for (int k = 0; k < kRecords; ++k) {
            QByteArray r(kSize, char('A' + k % 26));
            r[0] = char(k % 100); // the first field's length byte
            all += r;
        }
        writeFile(p, all);
        AnalysisArchive archive;
        QVERIFY(archive.open(p));
        AnalysisRecord seen;
        std::optional<AnalysisRecord> kept;
        for (int k = 0; k < kRecords; ++k) {
            bool end = false;
            QVERIFY(archive.readNextInPlace(seen, end));
            QVERIFY(!end);
            QCOMPARE(seen.bytes(), all.mid(qsizetype(k) * kSize, kSize));
            QCOMPARE(archive.currentNumber(), k + 1);
            if (k == 3) {
                kept = seen;
                seen.set(AnalysisRecord::Paziente, u"changed"_s);
                QCOMPARE(seen.get(AnalysisRecord::Paziente), u"changed"_s);
                AnalysisRecord fromBuffer; // read again from the same read-ahead
                QVERIFY(archive.read(4, fromBuffer));
                QCOMPARE(fromBuffer.bytes(), all.mid(3 * kSize, kSize));
            }
        }
        bool end = false;
        QVERIFY(archive.readNextInPlace(seen, end));
        QVERIFY(end);
        QCOMPARE(kept->bytes(), all.mid(3 * kSize, kSize));
        QVERIFY(archive.close());
        QCOMPARE(fileBytes(p), all);
    }

    // A large archive is read in two halves side by side: every record once,
    // numbered, the second half after the first; a small one by one reader.
    // A failure in either half leaves a beginning of the file read.
    void readsLargeArchivesInHalves()
    {
        const qint64 large = kScanSplitBytes / kSize + 11;
        for (const qint64 count : {qint64(40), large}) {
            const QString p = path(u"halves%1.asl"_s.arg(count));
            QByteArray all;
            for (qint64 k = 1; k <= count; ++k)
                all += QByteArray::number(k).leftJustified(kSize, ' ');
            writeFile(p, all);
            const auto scan = [&](QList<qint64> &first, QList<qint64> &second) {
                return scanInHalves<AnalysisRecord>(p, first, second,
                                                    [](QList<qint64> &part, const AnalysisRecord &r, qint64 k) {
                    // A record that is not the one numbered shows as its number negated.
                    const QByteArray number = QByteArray::number(k) + QByteArray(" ");
                    part << (r.bytes().startsWith(number) ? k : -k);
                });
            };
            QList<qint64> first, second;
            ScanResult r = scan(first, second);
            QVERIFY(r.result);
            QCOMPARE(r.count, count);
            QCOMPARE(r.secondRead, count == large);
            QList<qint64> expected;
            for (qint64 k = 1; k <= count; ++k)
                expected << k;
            QCOMPARE(first + second, expected);
            if (count != large)
                continue;
            // The reader of the second half fails at its first read, then the reader of the first half.
            const QThread *main = QThread::currentThread();
            class FailIn : public io::FaultHook {
            public:
                FailIn(const QThread *main, bool inMain) : m_main(main), m_inMain(inMain) { io::setFaultHook(this); }
                ~FailIn() override { io::setFaultHook(nullptr); }
                bool shouldFail(io::Op op, const QString &) override
                {
                    return op == io::Op::Read && (QThread::currentThread() == m_main) == m_inMain;
                }

            private:
                const QThread *m_main;
                bool m_inMain;
            };
            for (const bool inMain : {false, true}) {
                QList<qint64> f, s;
                {
                    FailIn fault(main, inMain);
                    r = scan(f, s);
                }
                QCOMPARE(r.result.error, IoError::Read);
                QCOMPARE(r.secondRead, !inMain);
                QCOMPARE(f, inMain ? QList<qint64>() : expected.first(count / 2));
                if (!inMain)
                    QVERIFY(s.isEmpty()); // failed at its first record
            }
        }
    }

    // The blocks dropped by one command serve the next: the smallest one
    // big enough is handed out, a shared one is not kept, nor a small one.
    void spareBlocksAreReused()
    {
        const qsizetype big = 3 << 20, bigger = 5 << 20;
        QByteArray a(big, 'a'), b(bigger, 'b');
        const char *const aData = a.constData(), *const bData = b.constData();
        spare::keepBytes(std::move(b));
        spare::keepBytes(std::move(a));
        QByteArray first = spare::takeBytes(big - 10);
        QCOMPARE(first.constData(), aData);
        QByteArray second = spare::takeBytes(big + 10);
        QCOMPARE(second.constData(), bData);
        QVERIFY(spare::takeBytes(big).constData() != aData); // both handed out: a new one
        const QByteArray shared = first;
        spare::keepBytes(std::move(first));
        QVERIFY(spare::takeBytes(big - 10).constData() != aData);
        QCOMPARE(shared.constData(), aData);
        QByteArray small(1000, 's');
        const char *const smallData = small.constData();
        spare::keepBytes(std::move(small));
        QVERIFY(spare::takeBytes(100).constData() != smallData);
    }

    // The probe really makes a file, and leaves nothing behind.
    void folderTakesNewFiles()
    {
        QTemporaryDir dir;
        QVERIFY(io::canCreateFilesIn(dir.path()));
        QVERIFY(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).isEmpty());

        writeFile(dir.filePath(u"plain"_s), "x");
        QVERIFY(!io::canCreateFilesIn(dir.filePath(u"plain"_s))); // a file, not a folder
        QVERIFY(!io::canCreateFilesIn(dir.filePath(u"missing"_s)));
        {
            FailNth fault(io::Op::Open, 1); // a disk that takes no new file
            QVERIFY(!io::canCreateFilesIn(dir.path()));
        }
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList{u"plain"_s});
    }

    void closeFailureIsReported()
    {
        RecordFile f(kSize);
        QVERIFY(f.open(path(u"close.asl"_s)));
        FailNth fault(io::Op::Close, 1);
        QCOMPARE(f.close().error, IoError::Close);
        QVERIFY(!f.isOpen());
    }
};

QTEST_APPLESS_MAIN(TestRecordFile)
#include "tst_recordfile.moc"
