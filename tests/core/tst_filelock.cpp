#include "common/FileIo.h"
#include "common/FileLock.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <thread>

using namespace Qt::StringLiterals;
using namespace clinora;
using namespace std::chrono_literals;

namespace {

// Two guards of one process exclude each other as two processes do (the
// locks belong to the open handle), so one process can show both sides.
class CountWaits : public lock::WaitObserver {
public:
    CountWaits() { lock::setWaitObserver(this); }
    ~CountWaits() override { lock::setWaitObserver(nullptr); }
    void waitStarted() override
    {
        ++started;
        waiting = true;
    }
    void waitEnded() override
    {
        ++ended;
        waiting = false;
    }
    int started = 0;
    int ended = 0;
    bool waiting = false;
};

QByteArray contentOf(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class TestFileLock : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    QString path(const QString &name) const { return m_dir.filePath(name); }

private slots:
    void init() { lock::setWaitLimit(150ms); }
    void cleanup() { lock::setWaitLimit(2000ms); }

    void modesExcludeAsReadersAndWriters_data()
    {
        QTest::addColumn<bool>("firstExclusive");
        QTest::addColumn<bool>("secondExclusive");
        QTest::addColumn<bool>("together");
        QTest::newRow("two readers") << false << false << true;
        QTest::newRow("reader, then writer") << false << true << false;
        QTest::newRow("writer, then reader") << true << false << false;
        QTest::newRow("two writers") << true << true << false;
    }
    void modesExcludeAsReadersAndWriters()
    {
        QFETCH(bool, firstExclusive);
        QFETCH(bool, secondExclusive);
        QFETCH(bool, together);
        const QString file = path(u"modes.pro"_s);
        const auto mode = [](bool exclusive) { return exclusive ? lock::Mode::Exclusive : lock::Mode::Shared; };
        CountWaits waits;
        lock::FileLock first;
        QCOMPARE(first.acquire(file, mode(firstExclusive)), lock::Outcome::Locked);
        QVERIFY(first.held());
        QVERIFY(first.lockingAvailable());
        lock::FileLock second;
        const auto started = std::chrono::steady_clock::now();
        const lock::Outcome got = second.acquire(file, mode(secondExclusive));
        QCOMPARE(got, together ? lock::Outcome::Locked : lock::Outcome::Busy);
        if (!together) {
            // A bounded wait, told to the observer once, then given up.
            QVERIFY(std::chrono::steady_clock::now() - started >= 150ms);
            QCOMPARE(waits.started, 1);
            QCOMPARE(waits.ended, 1);
            QVERIFY(!second.held());
            // Once the first lets go, the second gets it at once.
            first.release();
            QCOMPARE(second.acquire(file, mode(secondExclusive)), lock::Outcome::Locked);
            QCOMPARE(waits.started, 1);
        } else {
            QCOMPARE(waits.started, 0);
        }
    }

    void waiterGetsTheLockWhenReleasedWithinTheWait()
    {
        const QString file = path(u"wait.pro"_s);
        lock::setWaitLimit(5000ms);
        CountWaits waits;
        lock::FileLock writer;
        QCOMPARE(writer.acquire(file, lock::Mode::Exclusive), lock::Outcome::Locked);
        std::thread letGo([&] {
            std::this_thread::sleep_for(100ms);
            writer.release();
        });
        lock::FileLock reader;
        const lock::Outcome got = reader.acquire(file, lock::Mode::Shared);
        letGo.join();
        QCOMPARE(got, lock::Outcome::Locked);
        QCOMPARE(waits.started, 1);
        QCOMPARE(waits.ended, 1);
        QVERIFY(!waits.waiting);
    }

    void aFileReplacedMeanwhileIsLockedUnderItsNewName()
    {
        // The frequent exams and the password file are replaced by a rename:
        // whoever waited on the old file must end up holding the new one.
        const QString file = path(u"list.lst"_s);
        QVERIFY(io::replaceFile(file, "old"));
        lock::setWaitLimit(5000ms);
        lock::FileLock writer;
        QCOMPARE(writer.acquire(file, lock::Mode::Exclusive), lock::Outcome::Locked);
        bool replaced = false;
        std::thread replace([&] {
            std::this_thread::sleep_for(100ms);
            replaced = io::replaceFile(file, "new");
            writer.release();
        });
        lock::FileLock reader;
        const lock::Outcome got = reader.acquire(file, lock::Mode::Shared);
        replace.join();
        QVERIFY(replaced);
        QCOMPARE(got, lock::Outcome::Locked);
        QCOMPARE(contentOf(file), QByteArray("new"));
        // The reader's lock is on the file now named so: a writer waits for it.
        lock::setWaitLimit(50ms);
        lock::FileLock other;
        QCOMPARE(other.acquire(file, lock::Mode::Exclusive), lock::Outcome::Busy);
    }

    void missingFiles()
    {
        lock::FileLock guard;
        const QString absent = path(u"absent.lst"_s);
        QCOMPARE(guard.acquire(absent, lock::Mode::Exclusive, lock::Missing::Skip), lock::Outcome::Locked);
        QVERIFY(!guard.held());
        QVERIFY(!QFile::exists(absent));
        QCOMPARE(guard.acquire(absent, lock::Mode::Shared, lock::Missing::Create), lock::Outcome::Locked);
        QVERIFY(guard.held());
        QVERIFY(QFile::exists(absent));
        QCOMPARE(QFile(absent).size(), 0);
        // A folder that cannot be: its parent is a file.
        QVERIFY(io::replaceFile(path(u"plain"_s), "x"));
        QCOMPARE(guard.acquire(path(u"plain/inside.pro"_s), lock::Mode::Shared), lock::Outcome::Failed);
        QVERIFY(!guard.held());
    }

    void changeBetweenSharedAndExclusive()
    {
        const QString file = path(u"change.pro"_s);
        lock::FileLock guard;
        QCOMPARE(guard.acquire(file, lock::Mode::Shared), lock::Outcome::Locked);
        QCOMPARE(guard.change(lock::Mode::Exclusive), lock::Outcome::Locked);
        QCOMPARE(guard.mode(), lock::Mode::Exclusive);
        lock::FileLock reader;
        QCOMPARE(reader.acquire(file, lock::Mode::Shared), lock::Outcome::Busy);
        QCOMPARE(guard.change(lock::Mode::Shared), lock::Outcome::Locked);
        QCOMPARE(reader.acquire(file, lock::Mode::Shared), lock::Outcome::Locked);
        // Another reader keeps the guard from writing.
        QCOMPARE(guard.change(lock::Mode::Exclusive), lock::Outcome::Busy);
    }

    void movedGuardKeepsTheLock()
    {
        const QString file = path(u"moved.pro"_s);
        lock::FileLock a;
        QCOMPARE(a.acquire(file, lock::Mode::Exclusive), lock::Outcome::Locked);
        lock::FileLock b = std::move(a);
        QVERIFY(!a.held()); // NOLINT(bugprone-use-after-move): a moved-from guard holds nothing
        QVERIFY(b.held());
        lock::FileLock other;
        QCOMPARE(other.acquire(file, lock::Mode::Shared), lock::Outcome::Busy);
        b.release();
        QCOMPARE(other.acquire(file, lock::Mode::Shared), lock::Outcome::Locked);
    }
};

QTEST_APPLESS_MAIN(TestFileLock)
#include "tst_filelock.moc"
