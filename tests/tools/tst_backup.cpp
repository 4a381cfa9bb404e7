// The backup of a demo data folder and its restore, on real files: what goes
// in, what comes back byte for byte, what a failing disk leaves behind, and
// what restore does with a damaged backup.
#include "app/Backup.h"
#include "common/FileIo.h"
#include "common/FileLock.h"
#include "demo/DemoData.h"
#include "patients/PatientRecord.h"
#include "share/LockHolder.h"
#include "support/FileTools.h"

#include <QCoreApplication>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QMap>
#include <QProcess>
#include <QSet>
#include <QStandardPaths>
#include <QThread>
#include <QTemporaryDir>
#include <QTest>

#include <libdeflate.h>
#include <zip.h>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

#include <cstdio>
#include <functional>


using namespace Qt::StringLiterals;
using namespace clinora;
using namespace clinora::test;

namespace {

const QDateTime kWhen(QDate(2026, 12, 11), QTime(9, 30, 12));

// Every file and folder under `root`, with the bytes of the files.
QMap<QString, QByteArray> tree(const QString &root)
{
    QMap<QString, QByteArray> out;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        const QString rel = QDir(root).relativeFilePath(it.filePath());
        if (it.fileInfo().isDir())
            out.insert(rel + u'/', QByteArray());
        else
            out.insert(rel, fileBytes(it.filePath()));
    }
    return out;
}

QMap<QString, QByteArray> withoutProgramFiles(QMap<QString, QByteArray> t)
{
    for (const QString &name : {u"clinora"_s, u"Guida.pdf"_s, u"Pazienti.xls"_s, u"Paziente.pdf"_s,
                                u"Analisi_Cliniche.xls"_s, u"Clinora-backup.ini"_s})
        t.remove(name);
    return t;
}

// A practice's folder: demo patients and results, the password, attached
// files, patient folders (one empty), and the program's own files beside them.
void writePractice(const QString &folder, int patients = 200, int withResults = 10)
{
    demo::FolderOptions o;
    o.patients = patients;
    o.patientsWithResults = withResults;
    o.resultsPerPatient = 30;
    o.today = QDate(2026, 12, 1);
    QVERIFY(demo::writeDemoFolder(folder, o));
    const QDir d(folder);
    writeFile(d.filePath(u"unins000.dll"_s), "[Accesso]\r\nValore=1A2B3C\r\n");
    QByteArray binary;
    for (int i = 0; i < 70000; ++i)
        binary.append(char(i * 7 % 256));
    writeFile(d.filePath(u"Documenti_Allegati/referto è già.pdf"_s), binary);
    writeFile(d.filePath(u"Documenti_Allegati/vuoto.txt"_s), QByteArray());
    writeFile(d.filePath(u"Paziente_3/lettera.doc"_s), "lettera del medico");
    writeFile(d.filePath(u"Paziente_3/esami/ecografia.jpg"_s), binary.left(5000));
    QVERIFY(d.mkpath(u"Paziente_12"_s));
    // The program's own files and the last exports: not data.
    writeFile(d.filePath(u"clinora"_s), "program");
    writeFile(d.filePath(u"Guida.pdf"_s), "guide");
    writeFile(d.filePath(u"Pazienti.xls"_s), "export");
    writeFile(d.filePath(u"Clinora-backup.ini"_s), "[Backup]\r\nCartella=/altrove\r\n");
}

// A file of the data folder by its name; "analysis" for one of the
// patients' analysis archives.
QString dataFile(const QString &folder, const QString &file)
{
    if (file != u"analysis"_s)
        return QDir(folder).filePath(file);
    const QDir analyses(folder + u"/Analisi_Cliniche"_s);
    return analyses.filePath(analyses.entryList(QDir::Files).last());
}

QStringList zipsIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden);
}

// Fails the n-th operation of a kind (1-based) on files whose path holds
// `part`, or cuts that write short.
class FailNth : public io::FaultHook {
public:
    FailNth(io::Op op, QString part, int nth, bool cut = false) : m_op(op), m_part(std::move(part)), m_nth(nth), m_cut(cut)
    {
        io::setFaultHook(this);
    }
    ~FailNth() override { io::setFaultHook(nullptr); }
    bool shouldFail(io::Op op, const QString &path) override
    {
        if (op != m_op || !path.contains(m_part))
            return false;
        ++m_seen;
        return !m_cut && m_seen == m_nth;
    }
    qint64 bytesBeforeCut(const QString &path, qint64 size) override
    {
        if (m_cut && m_op == io::Op::Write && path.contains(m_part) && m_seen == m_nth)
            return size / 2;
        return size;
    }
    int seen() const { return m_seen; }

private:
    io::Op m_op;
    QString m_part;
    int m_nth;
    bool m_cut;
    int m_seen = 0;
};

// Writes a zip with libzip directly: a backup someone tampered with.
void writeZip(const QString &path, const QList<std::pair<QByteArray, QByteArray>> &entries)
{
    int err = 0;
    zip_t *za = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &err);
    QVERIFY(za);
    for (const auto &[name, bytes] : entries) {
        zip_source_t *s = zip_source_buffer(za, bytes.constData(), zip_uint64_t(bytes.size()), 0);
        QVERIFY(zip_file_add(za, name.constData(), s, ZIP_FL_ENC_UTF_8) >= 0);
    }
    QCOMPARE(zip_close(za), 0);
}

// Writes the zip at `path` again with libzip, every entry through `change`
// (each with the zip checksum of its new bytes), encrypted with `secret`
// when given.
void rewriteZip(const QString &path, const QString &secret,
                const std::function<void(const QByteArray &, QByteArray &)> &change)
{
    QList<std::pair<QByteArray, QByteArray>> entries;
    {
        int err = 0;
        zip_t *za = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &err);
        QVERIFY(za);
        if (!secret.isEmpty())
            zip_set_default_password(za, secret.toUtf8().constData());
        for (zip_int64_t i = 0; i < zip_get_num_entries(za, 0); ++i) {
            zip_stat_t st;
            QCOMPARE(zip_stat_index(za, zip_uint64_t(i), 0, &st), 0);
            QByteArray content(qsizetype(st.size), '\0');
            zip_file_t *zf = zip_fopen_index(za, zip_uint64_t(i), 0);
            QVERIFY(zf);
            QCOMPARE(zip_fread(zf, content.data(), st.size), zip_int64_t(st.size));
            zip_fclose(zf);
            entries.append({QByteArray(st.name), content});
        }
        zip_discard(za);
    }
    int err = 0;
    zip_t *za = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &err);
    QVERIFY(za);
    for (auto &[name, content] : entries) {
        change(name, content);
        if (name.endsWith('/')) {
            QVERIFY(zip_dir_add(za, name.constData(), ZIP_FL_ENC_UTF_8) >= 0);
            continue;
        }
        zip_source_t *s = zip_source_buffer(za, content.constData(), zip_uint64_t(content.size()), 0);
        const zip_int64_t at = zip_file_add(za, name.constData(), s, ZIP_FL_ENC_UTF_8);
        QVERIFY(at >= 0);
        if (!secret.isEmpty())
            QCOMPARE(zip_file_set_encryption(za, zip_uint64_t(at), ZIP_EM_AES_256, secret.toUtf8().constData()), 0);
    }
    QCOMPARE(zip_close(za), 0);
}

// A record that tells its number: the same byte over the whole record.
QByteArray numbered(qint64 n) { return QByteArray(PatientRecord::kSize, char('A' + n % 50)); }
// Record 1 says how many records follow it.
QByteArray counter(qint64 n) { return QByteArray::number(n).leftJustified(PatientRecord::kSize, ' '); }

// The other computer: saves that each append a record and then update the
// counter in record 1, under the exclusive lock every save takes, with a
// pause between the two writes as a slow disk would have, for `ms`
// milliseconds. Prints how many saves it made.
int saver(const QString &archive, int ms)
{
    QElapsedTimer t;
    t.start();
    qint64 saves = 0;
    while (t.elapsed() < ms) {
        lock::FileLock guard;
        if (guard.acquire(archive, lock::Mode::Exclusive) != lock::Outcome::Locked)
            return 2;
        QFile f(archive);
        if (!f.open(QIODevice::ReadWrite))
            return 3;
        const qint64 n = f.size() / PatientRecord::kSize; // records after the counter, plus one
        f.seek(n * PatientRecord::kSize);
        f.write(numbered(n + 1));
        f.flush();
        QThread::usleep(1500);
        f.seek(0);
        f.write(counter(n));
        f.close();
        guard.release();
        ++saves;
        QThread::usleep(300);
    }
    std::printf("%lld\n", qlonglong(saves));
    return 0;
}

} // namespace

class TestBackup : public QObject {
    Q_OBJECT
private slots:
    // The whole data folder goes in and comes back byte for byte; the
    // program's own files stay out.
    void backupThenRestoreIntoEmptyFolder()
    {
        QTemporaryDir practice, stick, empty;
        writePractice(practice.path());
        const QMap<QString, QByteArray> before = tree(practice.path());

        qint64 lastDone = -1, total = 0;
        const backup::Result made = backup::create(practice.path(), stick.path(), kWhen, [&](qint64 done, qint64 t) {
            lastDone = done;
            total = t;
            return true;
        });
        QVERIFY2(made.ok(), qPrintable(made.detail));
        QCOMPARE(QFileInfo(made.path).fileName(), u"Clinora-backup-2026-12-11-0930.zip"_s);
        QCOMPARE(zipsIn(stick.path()), QStringList{u"Clinora-backup-2026-12-11-0930.zip"_s});
        QCOMPARE(lastDone, total);
        QCOMPARE(made.summary.patients, 200);
        QCOMPARE(made.summary.analysisArchives, 10);
        const QMap<QString, QByteArray> data = withoutProgramFiles(before);
        int files = 0;
        for (auto it = data.begin(); it != data.end(); ++it)
            files += it.key().endsWith(u'/') ? 0 : 1;
        QCOMPARE(made.summary.files, files);
        QCOMPARE(made.summary.zipBytes, QFileInfo(made.path).size());
        QCOMPARE(tree(practice.path()), before); // a backup changes nothing

        const backup::Result seen = backup::inspect(made.path);
        QVERIFY(seen.ok());
        QCOMPARE(seen.summary.created, kWhen);
        QCOMPARE(seen.summary.files, files);
        QCOMPARE(seen.summary.patients, 200);

        const backup::Result back = backup::restore(made.path, empty.path());
        QVERIFY2(back.ok(), qPrintable(back.detail));
        QCOMPARE(tree(empty.path()), data);

        // A second backup in the same minute keeps the first.
        const backup::Result again = backup::create(practice.path(), stick.path(), kWhen);
        QVERIFY(again.ok());
        QCOMPARE(QFileInfo(again.path).fileName(), u"Clinora-backup-2026-12-11-0930-2.zip"_s);
    }

    // Restore over a folder in use: the data are replaced whole (a patient
    // folder the backup does not hold goes), the program's files stay.
    void restoreReplacesDataWhole()
    {
        QTemporaryDir practice, stick, other;
        writePractice(practice.path());
        const backup::Result made = backup::create(practice.path(), stick.path(), kWhen);
        QVERIFY(made.ok());

        writePractice(other.path(), 50);
        writeFile(other.path() + u"/Paziente_99/nuovo.txt"_s, "after the backup");
        writeFile(other.path() + u"/Guida.pdf"_s, "this installation's guide");
        const backup::Result back = backup::restore(made.path, other.path());
        QVERIFY2(back.ok(), qPrintable(back.detail));
        QCOMPARE(withoutProgramFiles(tree(other.path())), withoutProgramFiles(tree(practice.path())));
        QCOMPARE(fileBytes(other.path() + u"/Guida.pdf"_s), QByteArray("this installation's guide"));
        QVERIFY(!QFileInfo::exists(other.path() + u"/Paziente_99"_s));
        QCOMPARE(tree(other.path()).size(), tree(practice.path()).size());
    }

    // A disk that fails at any step: the backup says so, and leaves no file
    // that passes for a backup (nor any leftover at all).
    void failingDisk_data()
    {
        QTest::addColumn<int>("op");
        QTest::addColumn<int>("nth");
        QTest::addColumn<bool>("cut");
        QTest::addColumn<int>("failure");
        const int write = int(backup::Failure::WriteFailed);
        QTest::newRow("cannot create the file") << int(io::Op::Open) << 1 << false << write;
        QTest::newRow("disk full at once") << int(io::Op::Write) << 1 << false << write;
        QTest::newRow("disk full half way") << int(io::Op::Write) << 40 << false << write;
        QTest::newRow("write cut short") << int(io::Op::Write) << 25 << true << write;
        QTest::newRow("flush fails") << int(io::Op::Flush) << 1 << false << write;
        QTest::newRow("sync fails") << int(io::Op::Sync) << 1 << false << write;
        QTest::newRow("reading back fails") << int(io::Op::Read) << 5 << false << int(backup::Failure::VerifyFailed);
        QTest::newRow("rename fails") << int(io::Op::Rename) << 1 << false << write;
        QTest::newRow("folder sync fails") << int(io::Op::Sync) << 2 << false << write;
    }
    void failingDisk()
    {
        QFETCH(int, op);
        QFETCH(int, nth);
        QFETCH(bool, cut);
        QFETCH(int, failure);
        QTemporaryDir practice, stick;
        writePractice(practice.path());
        const QMap<QString, QByteArray> before = tree(practice.path());
        backup::Result r;
        {
            // Only the backup's own file (and its folder) fail.
            FailNth hook(io::Op(op), stick.path(), nth, cut);
            r = backup::create(practice.path(), stick.path(), kWhen);
            QVERIFY(hook.seen() >= nth);
        }
        QCOMPARE(int(r.failure), failure);
        QCOMPARE(zipsIn(stick.path()), QStringList());
        QCOMPARE(tree(practice.path()), before);
    }

    // The stick pulled out while the backup is written, and a folder that
    // is not there at all.
    void vanishingFolder()
    {
        QTemporaryDir practice, usb;
        writePractice(practice.path());
        const QString stick = usb.path() + u"/chiavetta"_s;
        QVERIFY(QDir().mkpath(stick));
        bool pulled = false;
        const backup::Result r = backup::create(practice.path(), stick, kWhen, [&](qint64 done, qint64) {
            if (!pulled && done > 0)
                pulled = QDir(stick).removeRecursively();
            return true;
        });
        QVERIFY(pulled);
        QVERIFY(!r.ok());
        QVERIFY(!QFileInfo::exists(stick));
        QCOMPARE(zipsIn(usb.path()), QStringList{});

        const backup::Result missing = backup::create(practice.path(), stick, kWhen);
        QCOMPARE(missing.failure, backup::Failure::FolderMissing);
        QCOMPARE(missing.detail, stick);
    }

    // Stopped by the user: nothing left.
    void cancelled()
    {
        QTemporaryDir practice, stick;
        writePractice(practice.path());
        const backup::Result r =
            backup::create(practice.path(), stick.path(), kWhen, [](qint64 done, qint64 total) { return done < total / 3; });
        QCOMPARE(r.failure, backup::Failure::Cancelled);
        QCOMPARE(zipsIn(stick.path()), QStringList());
    }

    // An archive held by a save (its exclusive lock, as another computer's
    // save holds it): the backup waits the bounded time, then says so.
    void archiveLockedBySave()
    {
        QTemporaryDir practice, stick;
        writePractice(practice.path(), 20);
        lock::setWaitLimit(std::chrono::milliseconds(300));
        lock::FileLock save;
        QCOMPARE(save.acquire(PatientArchivePath(practice.path()), lock::Mode::Exclusive), lock::Outcome::Locked);
        const backup::Result r = backup::create(practice.path(), stick.path(), kWhen);
        save.release();
        lock::setWaitLimit(std::chrono::milliseconds(2000));
        QCOMPARE(r.failure, backup::Failure::Locked);
        QCOMPARE(QFileInfo(r.detail).fileName(), u"Pazienti.pro"_s);
        QCOMPARE(zipsIn(stick.path()), QStringList());
    }

    // A damaged backup is refused before anything is touched.
    void damagedBackupRefused_data()
    {
        QTest::addColumn<QString>("damage");
        QTest::newRow("a byte of an archive changed") << u"flip"_s;
        QTest::newRow("cut short") << u"truncate"_s;
        QTest::newRow("not a zip") << u"text"_s;
        QTest::newRow("a zip without index") << u"foreign"_s;
        QTest::newRow("an entry outside the data folder") << u"escape"_s;
        QTest::newRow("a file missing from the archive") << u"missing"_s;
        // Replaced together with the zip's own checksum: only the index tells.
        QTest::newRow("an entry replaced with its zip checksum") << u"replaced"_s;
        QTest::newRow("an encrypted entry replaced with its zip checksum") << u"replaced encrypted"_s;
    }
    void damagedBackupRefused()
    {
        QFETCH(QString, damage);
        QTemporaryDir practice, stick, current;
        writePractice(practice.path());
        const QString secret = damage.endsWith(u"encrypted"_s) ? u"chiave dello studio"_s : QString();
        const backup::Result made = backup::create(practice.path(), stick.path(), kWhen, {}, QString(), secret);
        QVERIFY(made.ok());
        QByteArray bytes = fileBytes(made.path);
        if (damage.startsWith(u"replaced"_s)) {
            rewriteZip(made.path, secret, [](const QByteArray &name, QByteArray &content) {
                if (name == "Pazienti.pro")
                    content[100] = char(content[100] ^ 0x20);
            });
        } else if (damage == u"flip"_s) {
            const qsizetype at = bytes.indexOf("Pazienti.pro") + 4000; // inside its data
            bytes[at] = char(bytes[at] ^ 0x20);
            writeFile(made.path, bytes);
        } else if (damage == u"truncate"_s) {
            writeFile(made.path, bytes.left(bytes.size() / 2));
        } else if (damage == u"text"_s) {
            writeFile(made.path, "not a backup at all");
        } else if (damage == u"foreign"_s) {
            writeZip(made.path, {{"Pazienti.pro", "x"}});
        } else if (damage == u"escape"_s) {
            const QByteArray idx = "Backup dei dati di Clinora\nVersione: 1\nData: 2026-12-11T09:30:12\n"
                                   "File: 1\nCartelle: 0\nfile\t8cdc1683\t4\t../fuori.txt\n";
            writeZip(made.path, {{"../fuori.txt", "ciao"}, {"Indice-backup-Clinora.txt", idx}});
        } else if (damage == u"missing"_s) {
            const QByteArray idx = "Backup dei dati di Clinora\nVersione: 1\nData: 2026-12-11T09:30:12\n"
                                   "File: 2\nCartelle: 0\nfile\t8cdc1683\t4\tPazienti.pro\n"
                                   "file\t8cdc1683\t4\tEsami_Frequenti.lst\n";
            writeZip(made.path, {{"Pazienti.pro", "ciao"}, {"Indice-backup-Clinora.txt", idx}});
        }

        writePractice(current.path(), 30);
        const QMap<QString, QByteArray> before = tree(current.path());
        QVERIFY(!backup::inspect(made.path, {}, secret).ok());
        const backup::Result r = backup::restore(made.path, current.path(), {}, nullptr, secret);
        QVERIFY(!r.ok());
        QVERIFY(r.failure == backup::Failure::Damaged || r.failure == backup::Failure::NotABackup
                || r.failure == backup::Failure::UnsafeName);
        QCOMPARE(tree(current.path()), before);
        QVERIFY(!QFileInfo::exists(QFileInfo(current.path()).dir().filePath(u"fuori.txt"_s)));
    }

    // Restore failing half way (a disk error while the old data are set
    // aside): the data folder is put back as it was.
    void restoreFailingHalfWay()
    {
        QTemporaryDir practice, stick, current;
        writePractice(practice.path());
        const backup::Result made = backup::create(practice.path(), stick.path(), kWhen);
        QVERIFY(made.ok());
        writePractice(current.path(), 30);
        const QMap<QString, QByteArray> before = tree(current.path());
        for (int nth : {1, 4, 9}) {
            FailNth hook(io::Op::Rename, current.path(), nth);
            const backup::Result r = backup::restore(made.path, current.path());
            QCOMPARE(r.failure, backup::Failure::ReplaceFailed);
            QCOMPARE(tree(current.path()), before);
        }
        {
            FailNth hook(io::Op::Write, current.path(), 3);
            const backup::Result r = backup::restore(made.path, current.path());
            QCOMPARE(r.failure, backup::Failure::ReplaceFailed);
            QCOMPARE(tree(current.path()), before);
        }
    }

    // Restore swaps the data under the locks saves take: a file that another
    // process holds (a save, or a reader a save would wait for) makes it
    // wait the bounded time, then stop with nothing changed; once let go,
    // the same restore goes through.
    void restoreWaitsForLocksHeldElsewhere_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("exclusive");
        QTest::newRow("patient archive saved elsewhere") << u"Pazienti.pro"_s << true;
        QTest::newRow("patient archive read elsewhere") << u"Pazienti.pro"_s << false;
        QTest::newRow("analysis archive saved elsewhere") << u"analysis"_s << true;
        QTest::newRow("frequent exams saved elsewhere") << u"Esami_Frequenti.lst"_s << true;
    }
    void restoreWaitsForLocksHeldElsewhere()
    {
        QFETCH(QString, file);
        QFETCH(bool, exclusive);
        QTemporaryDir practice, stick, current;
        writePractice(practice.path());
        const backup::Result made = backup::create(practice.path(), stick.path(), kWhen);
        QVERIFY(made.ok());
        writePractice(current.path(), 30);
        const QMap<QString, QByteArray> before = tree(current.path());
        const QString held = dataFile(current.path(), file);
        QVERIFY(QFileInfo(held).isFile());

        constexpr auto wait = std::chrono::milliseconds(300);
        lock::setWaitLimit(wait);
        backup::Result r;
        std::chrono::steady_clock::duration took{};
        {
            LockHolder other(held, exclusive ? lock::Mode::Exclusive : lock::Mode::Shared);
            QVERIFY(other.locked());
            const auto started = std::chrono::steady_clock::now();
            r = backup::restore(made.path, current.path());
            took = std::chrono::steady_clock::now() - started;
        }
        lock::setWaitLimit(std::chrono::milliseconds(2000));
        QCOMPARE(r.failure, backup::Failure::Locked);
        QCOMPARE(r.detail, held);
        QVERIFY(took >= wait);
        QCOMPARE(tree(current.path()), before); // nothing set aside, nothing left beside

        const backup::Result again = backup::restore(made.path, current.path());
        QVERIFY2(again.ok(), qPrintable(again.detail));
        QCOMPARE(withoutProgramFiles(tree(current.path())), withoutProgramFiles(tree(practice.path())));
    }

    // The backup of the current data is made before the restore takes its
    // locks: a save in between (here written straight to the file, as a
    // process that has let its lock go leaves it) would be in neither, so
    // the restore stops with nothing changed.
    void restoreStopsWhenDataChangedSinceTheirBackup_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("bytes"); // empty: as it was
        QTest::addColumn<bool>("appended");
        QTest::addColumn<backup::Failure>("failure");
        QTest::newRow("nothing changed") << u"Pazienti.pro"_s << QByteArray() << false << backup::Failure::None;
        QTest::newRow("a patient saved over, same size")
            << u"Pazienti.pro"_s << QByteArray(PatientRecord::kSize, 'z') << false << backup::Failure::Changed;
        QTest::newRow("a result added") << u"analysis"_s << QByteArray(2498, 'r') << true << backup::Failure::Changed;
        QTest::newRow("a file attached") << u"Paziente_12/nuovo.pdf"_s << QByteArray("%PDF") << false
                                         << backup::Failure::Changed;
    }
    void restoreStopsWhenDataChangedSinceTheirBackup()
    {
        QFETCH(QString, file);
        QFETCH(QByteArray, bytes);
        QFETCH(bool, appended);
        QFETCH(backup::Failure, failure);
        QTemporaryDir practice, stick, current;
        writePractice(practice.path());
        const backup::Result made = backup::create(practice.path(), stick.path(), kWhen);
        QVERIFY(made.ok());
        writePractice(current.path(), 30);
        const backup::Result aside = backup::create(current.path(), stick.path(), kWhen.addDays(1));
        QVERIFY(aside.ok());
        QCOMPARE(aside.entries.size(), backup::inspect(aside.path).entries.size());

        const QString changed = dataFile(current.path(), file);
        if (!bytes.isEmpty()) {
            QFile f(changed);
            QVERIFY(f.open(appended ? QIODevice::Append : QIODevice::ReadWrite));
            f.write(bytes);
        }
        const QMap<QString, QByteArray> before = tree(current.path());
        const backup::Result r = backup::restore(made.path, current.path(), {}, &aside.entries);
        QCOMPARE(r.failure, failure);
        if (failure == backup::Failure::None) {
            QCOMPARE(withoutProgramFiles(tree(current.path())), withoutProgramFiles(tree(practice.path())));
        } else {
            QCOMPARE(tree(current.path()), before); // nothing set aside, nothing left beside
        }
    }

    // The comparison with the backup of the current data is made under the
    // restore's locks: a save that another computer holds its lock for
    // when the restore arrives, and writes while the restore waits, is seen.
    void restoreComparesOnlyUnderItsLocks()
    {
        QTemporaryDir practice, stick, current;
        writePractice(practice.path());
        const backup::Result made = backup::create(practice.path(), stick.path(), kWhen);
        QVERIFY(made.ok());
        writePractice(current.path(), 30);
        const backup::Result aside = backup::create(current.path(), stick.path(), kWhen.addDays(1));
        QVERIFY(aside.ok());
        const QString archive = PatientArchivePath(current.path());
        const qint64 sizeBefore = QFileInfo(archive).size();

        QProcess other;
        other.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        other.start(QCoreApplication::applicationFilePath(), {u"--save-when-told"_s, archive});
        QVERIFY(other.waitForReadyRead(20000));
        QCOMPARE(other.readLine().trimmed(), QByteArray("locked"));
        // Told to save as soon as the restore waits for its lock.
        struct Tell : lock::WaitObserver {
            QProcess *other = nullptr;
            void waitStarted() override
            {
                other->write("save\n");
                other->waitForBytesWritten(5000);
            }
            void waitEnded() override {}
        } tell;
        tell.other = &other;
        lock::setWaitObserver(&tell);
        const backup::Result r = backup::restore(made.path, current.path(), {}, &aside.entries);
        lock::setWaitObserver(nullptr);
        QVERIFY(other.waitForFinished(20000));
        QCOMPARE(other.exitCode(), 0);
        QCOMPARE(r.failure, backup::Failure::Changed);
        QCOMPARE(QFileInfo(archive).size(), sizeBefore + PatientRecord::kSize);
    }

    // Saves from another process while backups are made: each backup holds
    // the archive between two saves, never in the middle of one.
    void saveFromAnotherProcess()
    {
        QTemporaryDir practice, stick;
        const QString archive = PatientArchivePath(practice.path());
        writeFile(archive, counter(0));
        QProcess other;
        other.setProgram(QCoreApplication::applicationFilePath());
        other.setArguments({u"--saver"_s, archive, u"2500"_s});
        other.start();
        QVERIFY(other.waitForStarted());
        QTest::qWait(100);
        QStringList made;
        for (int i = 0; i < 12 && other.state() == QProcess::Running; ++i) {
            const backup::Result r = backup::create(practice.path(), stick.path(), kWhen.addSecs(60 * i));
            QVERIFY2(r.ok(), qPrintable(r.detail));
            made << r.path;
        }
        QVERIFY(other.waitForFinished(10000));
        QCOMPARE(other.exitCode(), 0);
        QVERIFY(other.readAllStandardOutput().trimmed().toLongLong() > 0);
        QVERIFY(made.size() >= 3);
        qint64 lastCount = -1;
        for (const QString &zip : made) {
            QTemporaryDir out;
            QVERIFY(backup::restore(zip, out.path()).ok());
            const QByteArray bytes = fileBytes(PatientArchivePath(out.path()));
            QCOMPARE(bytes.size() % PatientRecord::kSize, 0);
            const qint64 records = bytes.size() / PatientRecord::kSize;
            QCOMPARE(bytes.left(PatientRecord::kSize), counter(records - 1));
            for (qint64 k = 2; k <= records; ++k)
                QCOMPARE(bytes.mid((k - 1) * PatientRecord::kSize, PatientRecord::kSize), numbered(k));
            QVERIFY(records >= lastCount);
            lastCount = records;
        }
        QVERIFY(lastCount > 1);
    }

    // A restore killed at every step of its swap (a crash, a power cut):
    // the next start leaves either the data as they were or the backup's,
    // each whole, says which, and leaves nothing beside them.
    void restoreKilledAtEveryStep()
    {
        QTemporaryDir practice, stick;
        writePractice(practice.path(), 40, 3);
        const backup::Result made = backup::create(practice.path(), stick.path(), kWhen);
        QVERIFY(made.ok());
        const QMap<QString, QByteArray> restored = withoutProgramFiles(tree(practice.path()));
        QSet<int> seen;
        int steps = 0;
        for (int n = 1; n < 200; ++n) {
            QTemporaryDir current;
            writePractice(current.path(), 20, 2);
            writeFile(current.path() + u"/unins000.dll"_s, "[Accesso]\r\nValore=FFEE\r\n");
            writeFile(current.path() + u"/Paziente_77/solo-qui.txt"_s, "not in the backup");
            const QMap<QString, QByteArray> before = tree(current.path());

            QProcess child;
            child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
            child.start(QCoreApplication::applicationFilePath(),
                        {u"--restore-stopping"_s, made.path, current.path(), QString::number(n)});
            QVERIFY(child.waitForStarted());
            QVERIFY(child.waitForReadyRead(60000));
            const QByteArray said = child.readLine().trimmed();
            if (said.startsWith("done")) {
                QVERIFY(child.waitForFinished(60000));
                QCOMPARE(child.exitCode(), 0);
                steps = n - 1;
                QCOMPARE(withoutProgramFiles(tree(current.path())), restored);
                break;
            }
            QCOMPARE(said, QByteArray("stopped"));
            child.kill();
            QVERIFY(child.waitForFinished(10000));

            const backup::Recovery r = backup::recoverSwap(current.path());
            seen.insert(int(r.action));
            const QMap<QString, QByteArray> now = tree(current.path());
            if (r.action == backup::Recovery::Action::Finished) {
                QCOMPARE(withoutProgramFiles(now), restored);
                QCOMPARE(r.backupCreated, kWhen);
                QVERIFY(r.passwordReplaced);
                for (const QString &own : {u"clinora"_s, u"Guida.pdf"_s, u"Clinora-backup.ini"_s})
                    QCOMPARE(now.value(own), before.value(own));
            } else {
                QVERIFY2(r.action == backup::Recovery::Action::None, qPrintable(QString::number(n)));
                QCOMPARE(now, before);
            }
            QVERIFY(r.keptFolder.isEmpty());
            // Found once: the start after that has nothing to do.
            QCOMPARE(backup::recoverSwap(current.path()).action, backup::Recovery::Action::None);
        }
        QVERIFY(steps > 10); // every item set aside and brought in was a step
        QVERIFY(seen.contains(int(backup::Recovery::Action::None)));
        QVERIFY(seen.contains(int(backup::Recovery::Action::Finished)));
    }

    // A swap stopped by an earlier version, which kept no journal: the data
    // set aside are put back, and the unpacked copy goes.
    void setAsideWithoutJournalPutBack()
    {
        QTemporaryDir current;
        writePractice(current.path(), 20);
        const QMap<QString, QByteArray> before = tree(current.path());
        QDir d(current.path());
        QVERIFY(d.mkpath(u".Clinora-ripristino-precedenti"_s));
        QVERIFY(d.mkpath(u".Clinora-ripristino/Analisi_Cliniche"_s));
        for (const QString &item : {u"Pazienti.pro"_s, u"Esami_Frequenti.lst"_s, u"unins000.dll"_s})
            QVERIFY(d.rename(item, u".Clinora-ripristino-precedenti/"_s + item));
        const backup::Recovery r = backup::recoverSwap(current.path());
        QCOMPARE(r.action, backup::Recovery::Action::RolledBack);
        QCOMPARE(tree(current.path()), before);
    }

    // Backups left unfinished by a run that was killed are removed by the
    // next one, which takes the next free name; one being written by a run
    // still at work (its lock held) is left alone.
    void unfinishedBackupsOfKilledRuns()
    {
        QTemporaryDir practice, stick;
        writePractice(practice.path(), 40);
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        child.start(QCoreApplication::applicationFilePath(),
                    {u"--backup-stopping"_s, practice.path(), stick.path(), u"20"_s});
        QVERIFY(child.waitForReadyRead(60000));
        QCOMPARE(child.readLine().trimmed(), QByteArray("stopped"));
        child.kill();
        QVERIFY(child.waitForFinished(10000));
        const QString killed = stick.path() + u"/Clinora-backup-2026-12-11-0930.zip.incompleto"_s;
        QVERIFY(QFileInfo(killed).size() > 0);
        // Another run at work on its own.
        const QString working = stick.path() + u"/Clinora-backup-2026-12-11-0930-2.zip.incompleto"_s;
        writeFile(working, "being written");
        lock::setWaitLimit(std::chrono::milliseconds(300));
        {
            LockHolder other(working, lock::Mode::Exclusive);
            QVERIFY(other.locked());
            const backup::Result r = backup::create(practice.path(), stick.path(), kWhen);
            QVERIFY2(r.ok(), qPrintable(r.detail));
            QCOMPARE(QFileInfo(r.path).fileName(), u"Clinora-backup-2026-12-11-0930.zip"_s);
        }
        lock::setWaitLimit(std::chrono::milliseconds(2000));
        QCOMPARE(zipsIn(stick.path()), (QStringList{u"Clinora-backup-2026-12-11-0930-2.zip.incompleto"_s,
                                                     u"Clinora-backup-2026-12-11-0930.zip"_s}));

        // One that cannot be removed is named when the disk then fails.
        writeFile(killed, "left by a crash");
        QVERIFY(QFile::remove(working));
        struct Stuck : io::FaultHook {
            bool shouldFail(io::Op op, const QString &path) override
            {
                return (op == io::Op::Remove && path.endsWith(u"0930.zip.incompleto"_s))
                       || (op == io::Op::Write && path.contains(u"0930-2"_s));
            }
        } stuck;
        io::setFaultHook(&stuck);
        const backup::Result full = backup::create(practice.path(), stick.path(), kWhen);
        io::setFaultHook(nullptr);
        QCOMPARE(full.failure, backup::Failure::WriteFailed);
        QCOMPARE(full.leftovers, QStringList{killed});
        QCOMPARE(zipsIn(stick.path()), (QStringList{u"Clinora-backup-2026-12-11-0930.zip"_s,
                                                     u"Clinora-backup-2026-12-11-0930.zip.incompleto"_s}));
    }

    // Two backups started at once into one folder (two computers, one
    // stick): each takes its own name and both succeed.
    void twoBackupsAtOnce()
    {
        QTemporaryDir practice, stick;
        writePractice(practice.path(), 60);
        for (int round = 0; round < 2; ++round) {
            QProcess a, b;
            for (QProcess *p : {&a, &b}) {
                p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
                p->start(QCoreApplication::applicationFilePath(),
                         {u"--backup"_s, practice.path(), stick.path(), QString::number(round)});
            }
            QStringList made;
            for (QProcess *p : {&a, &b}) {
                QVERIFY(p->waitForFinished(120000));
                QCOMPARE(p->exitCode(), 0);
                made << QString::fromLocal8Bit(p->readAllStandardOutput().trimmed());
            }
            QVERIFY(made[0] != made[1]);
            for (const QString &zip : made)
                QVERIFY2(backup::inspect(zip).ok(), qPrintable(zip));
        }
        QCOMPARE(zipsIn(stick.path()).size(), 4);
        QCOMPARE(zipsIn(stick.path()).filter(u"incompleto"_s), QStringList());
    }

    // Attachments kept on another disk through a link, and an archive that
    // is a link, are backed up through the link and come back as files; a
    // pipe, a link leading nowhere and a link round in a circle are named
    // as left out, never opened.
    void linksAndSpecialFiles()
    {
#ifdef Q_OS_UNIX
        QTemporaryDir practice, elsewhere, stick, empty;
        writePractice(practice.path(), 20);
        QDir d(practice.path());
        // The attachments folder moved to another disk, a link in its place.
        QVERIFY(d.rename(u"Documenti_Allegati"_s, elsewhere.path() + u"/Allegati"_s));
        QVERIFY(QFile::link(elsewhere.path() + u"/Allegati"_s, d.filePath(u"Documenti_Allegati"_s)));
        const QString archive = dataFile(practice.path(), u"analysis"_s);
        QVERIFY(QFile::rename(archive, elsewhere.path() + u"/archivio.asl"_s));
        QVERIFY(QFile::link(elsewhere.path() + u"/archivio.asl"_s, archive));
        QMap<QString, QByteArray> expected = withoutProgramFiles(tree(practice.path()));
        QVERIFY(::mkfifo(QFile::encodeName(d.filePath(u"Paziente_3/coda"_s)).constData(), 0600) == 0);
        QVERIFY(QFile::link(d.filePath(u"Paziente_3/manca.doc"_s), d.filePath(u"Paziente_3/rotto.doc"_s)));
        QVERIFY(QFile::link(d.filePath(u"Paziente_3"_s), d.filePath(u"Paziente_3/esami/su"_s)));

        const backup::Result r = backup::create(practice.path(), stick.path(), kWhen);
        QVERIFY2(r.ok(), qPrintable(r.detail));
        QCOMPARE(r.leftOut, (QStringList{u"Paziente_3/coda"_s, u"Paziente_3/rotto.doc"_s, u"Paziente_3/esami/su/"_s}));
        QVERIFY(backup::restore(r.path, empty.path()).ok());
        // Followed through the links: the bytes, as files and folders of their own.
        expected.insert(u"Documenti_Allegati/"_s, QByteArray());
        for (const auto &[name, bytes] : tree(elsewhere.path() + u"/Allegati"_s).asKeyValueRange())
            expected.insert(u"Documenti_Allegati/"_s + name, bytes);
        const QString archiveName = QDir(practice.path()).relativeFilePath(archive);
        expected.insert(archiveName, fileBytes(elsewhere.path() + u"/archivio.asl"_s));
        QCOMPARE(tree(empty.path()), expected);
        QVERIFY(QFileInfo(empty.path() + u"/Documenti_Allegati"_s).isDir()
                && !QFileInfo(empty.path() + u"/Documenti_Allegati"_s).isSymLink());
#else
        QSKIP("pipes and links made here with POSIX calls");
#endif
    }

    // An encrypted backup: nothing of the data readable without the
    // passphrase, which verify and restore ask for; a wrong one is said
    // plainly and changes nothing; an independent tool opens it with it.
    void encryptedBackup()
    {
        QTemporaryDir practice, stick, current;
        writePractice(practice.path(), 30, 3);
        const QString secret = u"Frase segreta è 42"_s;
        const backup::Result made = backup::create(practice.path(), stick.path(), kWhen, {}, QString(), secret);
        QVERIFY2(made.ok(), qPrintable(made.detail));
        QVERIFY(made.summary.encrypted);
        const QByteArray raw = fileBytes(made.path);
        QVERIFY(!raw.contains("Backup dei dati di Clinora"));
        QVERIFY(!raw.contains(fileBytes(practice.path() + u"/Paziente_3/lettera.doc"_s)));
        QVERIFY(!raw.contains(fileBytes(practice.path() + u"/unins000.dll"_s)));

        QCOMPARE(backup::inspect(made.path).failure, backup::Failure::PassphraseNeeded);
        QCOMPARE(backup::inspect(made.path, {}, u"frase segreta è 42"_s).failure, backup::Failure::WrongPassphrase);
        const backup::Result seen = backup::inspect(made.path, {}, secret);
        QVERIFY(seen.ok());
        QVERIFY(seen.summary.encrypted);
        QCOMPARE(seen.summary.files, made.summary.files);

        writePractice(current.path(), 10);
        const QMap<QString, QByteArray> before = tree(current.path());
        QCOMPARE(backup::restore(made.path, current.path()).failure, backup::Failure::PassphraseNeeded);
        QCOMPARE(backup::restore(made.path, current.path(), {}, nullptr, u"sbagliata"_s).failure,
                 backup::Failure::WrongPassphrase);
        QCOMPARE(tree(current.path()), before);
        QVERIFY(backup::restore(made.path, current.path(), {}, nullptr, secret).ok());
        QCOMPARE(withoutProgramFiles(tree(current.path())), withoutProgramFiles(tree(practice.path())));

        // Independent readers: 7-Zip for both kinds, Python's zipfile for the plain one.
        const backup::Result plain = backup::create(practice.path(), stick.path(), kWhen);
        QVERIFY(plain.ok());
        if (!QStandardPaths::findExecutable(u"python3"_s).isEmpty()) {
            QProcess py;
            py.start(u"python3"_s, {u"-c"_s, u"import sys, zipfile; z = zipfile.ZipFile(sys.argv[1]); "
                                              u"sys.exit(1 if z.testzip() else 0)"_s,
                                    plain.path});
            QVERIFY(py.waitForFinished(60000));
            QCOMPARE(py.exitCode(), 0);
        }
        const QString sevenZip = QStandardPaths::findExecutable(u"7zz"_s);
        if (sevenZip.isEmpty())
            QSKIP("7zz is not installed (scripts/deps.sh installs 7zip)");
        auto test = [&](const QString &zip, const QString &pass) {
            QProcess p;
            p.start(sevenZip, pass.isEmpty() ? QStringList{u"t"_s, zip} : QStringList{u"t"_s, u"-p"_s + pass, zip});
            return p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
        };
        QCOMPARE(test(made.path, secret), 0);
        QVERIFY(test(made.path, u"sbagliata"_s) != 0);
        QCOMPARE(test(plain.path, QString()), 0);
    }

    // An entry that inflates past the size the zip and the index declare is
    // stopped at that size: never more bytes than declared, the progress
    // never past its end, and the backup refused with nothing changed.
    void entryInflatingPastItsSize()
    {
        QTemporaryDir stick, current;
        const QByteArray bomb(64 << 20, '\0');
        const QByteArray shown(PatientRecord::kSize, '\0');
        const quint32 crc = quint32(libdeflate_crc32(0, shown.constData(), size_t(shown.size())));
        const QByteArray idx = "Backup dei dati di Clinora\nVersione: 1\nData: 2026-12-11T09:30:12\nFile: 1\n"
                               "Cartelle: 0\nfile\t"
                               + QByteArray::number(crc, 16).rightJustified(8, '0') + '\t'
                               + QByteArray::number(shown.size()) + "\tPazienti.pro\n";
        const QString zip = stick.path() + u"/Clinora-backup-2026-12-11-0930.zip"_s;
        {
            int err = 0;
            zip_t *za = zip_open(QFile::encodeName(zip).constData(), ZIP_CREATE | ZIP_TRUNCATE, &err);
            QVERIFY(za);
            zip_source_t *s = zip_source_buffer(za, bomb.constData(), zip_uint64_t(bomb.size()), 0);
            const zip_int64_t at = zip_file_add(za, "Pazienti.pro", s, ZIP_FL_ENC_UTF_8);
            QVERIFY(at >= 0);
            QCOMPARE(zip_set_file_compression(za, zip_uint64_t(at), ZIP_CM_DEFLATE, 9), 0);
            zip_source_t *i = zip_source_buffer(za, idx.constData(), zip_uint64_t(idx.size()), 0);
            QVERIFY(zip_file_add(za, "Indice-backup-Clinora.txt", i, ZIP_FL_ENC_UTF_8) >= 0);
            QCOMPARE(zip_close(za), 0);
        }
        // Both headers of the entry made to declare the small size and its checksum.
        QByteArray bytes = fileBytes(zip);
        auto put32 = [&](qsizetype at, quint32 v) {
            for (int k = 0; k < 4; ++k)
                bytes[at + k] = char((v >> (8 * k)) & 0xff);
        };
        const qsizetype local = bytes.indexOf(QByteArray("PK\x03\x04", 4));
        const qsizetype central = bytes.indexOf(QByteArray("PK\x01\x02", 4));
        QVERIFY(local >= 0 && central > local);
        put32(local + 14, crc);
        put32(local + 22, quint32(shown.size()));
        put32(central + 16, crc);
        put32(central + 24, quint32(shown.size()));
        writeFile(zip, bytes);
        QVERIFY(bytes.size() < 1 << 20);

        qint64 furthest = 0, total = 0;
        const backup::Result seen = backup::inspect(zip, [&](qint64 done, qint64 t) {
            furthest = std::max(furthest, done);
            total = t;
            return true;
        });
        QCOMPARE(seen.failure, backup::Failure::Damaged);
        QVERIFY2(furthest <= total, qPrintable(u"%1 of %2"_s.arg(furthest).arg(total)));
        writePractice(current.path(), 10);
        const QMap<QString, QByteArray> before = tree(current.path());
        QVERIFY(!backup::restore(zip, current.path()).ok());
        QCOMPARE(tree(current.path()), before);
    }

    void settingsAndReminder_data()
    {
        QTest::addColumn<QDateTime>("last");
        QTest::addColumn<QDateTime>("now");
        QTest::addColumn<bool>("due");
        QTest::newRow("never") << QDateTime() << kWhen << true;
        QTest::newRow("today") << kWhen << kWhen.addSecs(3600) << false;
        QTest::newRow("seven days exactly") << kWhen << kWhen.addDays(7) << false;
        QTest::newRow("seven days and a minute") << kWhen << kWhen.addDays(7).addSecs(60) << true;
        QTest::newRow("a month") << kWhen << kWhen.addDays(30) << true;
    }
    void settingsAndReminder()
    {
        QFETCH(QDateTime, last);
        QFETCH(QDateTime, now);
        QFETCH(bool, due);
        QTemporaryDir app;
        backup::Settings s;
        s.folder = u"/media/chiavetta/Backup Studio è"_s;
        s.lastTime = last;
        s.lastPath = s.folder + u"/Clinora-backup-2026-12-11-0930.zip"_s;
        s.lastBytes = 123456789;
        s.lastFiles = 42;
        QVERIFY(s.save(app.path()));
        const backup::Settings read = backup::Settings::load(app.path());
        QCOMPARE(read.folder, s.folder);
        QCOMPARE(read.lastTime, last);
        if (last.isValid()) {
            QCOMPARE(read.lastPath, s.lastPath);
            QCOMPARE(read.lastBytes, s.lastBytes);
            QCOMPARE(read.lastFiles, s.lastFiles);
        }
        QCOMPARE(backup::reminderDue(read, now), due);
    }
};

// Stops the process at the n-th operation of the kinds given on files under
// `part`: says "stopped" and waits to be killed there, as a crash would
// stop it.
class StopAt : public io::FaultHook {
public:
    StopAt(QList<io::Op> ops, QString part, int nth) : m_ops(std::move(ops)), m_part(std::move(part)), m_nth(nth)
    {
        io::setFaultHook(this);
    }
    bool shouldFail(io::Op op, const QString &path) override
    {
        if (m_ops.contains(op) && path.startsWith(m_part) && ++m_seen == m_nth) {
            std::puts("stopped");
            std::fflush(stdout);
            for (;;)
                QThread::sleep(1);
        }
        return false;
    }

private:
    QList<io::Op> m_ops;
    QString m_part;
    int m_nth;
    int m_seen = 0;
};

int main(int argc, char *argv[])
{
    if (argc == 4 && qstrcmp(argv[1], "--saver") == 0)
        return saver(QString::fromLocal8Bit(argv[2]), QByteArray(argv[3]).toInt());
    // Another computer's save: the archive locked, one record appended when told.
    if (argc == 3 && qstrcmp(argv[1], "--save-when-told") == 0) {
        const QString archive = QString::fromLocal8Bit(argv[2]);
        lock::FileLock guard;
        if (guard.acquire(archive, lock::Mode::Exclusive) != lock::Outcome::Locked)
            return 2;
        std::puts("locked");
        std::fflush(stdout);
        char line[16];
        if (!std::fgets(line, sizeof line, stdin))
            return 3;
        QFile f(archive);
        if (!f.open(QIODevice::Append) || f.write(numbered(7)) != PatientRecord::kSize)
            return 4;
        return 0;
    }
        // Another computer's backup, a minute later per round: prints the file made.
    if (argc == 5 && qstrcmp(argv[1], "--backup") == 0) {
        const backup::Result r = backup::create(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]),
                                                kWhen.addSecs(60 * QByteArray(argv[4]).toInt()));
        std::puts(qPrintable(r.ok() ? r.path : u"failed %1 %2"_s.arg(int(r.failure)).arg(r.detail)));
        return r.ok() ? 0 : 1;
    }
    if (argc == 5 && qstrcmp(argv[1], "--backup-stopping") == 0) {
        const QString stick = QString::fromLocal8Bit(argv[3]);
        StopAt stop({io::Op::Write}, stick, QByteArray(argv[4]).toInt());
        backup::create(QString::fromLocal8Bit(argv[2]), stick, kWhen);
        std::puts("done");
        return 0;
    }
    // A restore killed at its n-th rename or removal in the data folder.
    if (argc == 5 && qstrcmp(argv[1], "--restore-stopping") == 0) {
        const QString data = QString::fromLocal8Bit(argv[3]);
        StopAt stop({io::Op::Rename, io::Op::Remove}, data, QByteArray(argv[4]).toInt());
        const backup::Result r = backup::restore(QString::fromLocal8Bit(argv[2]), data);
        std::puts(r.ok() ? "done" : "failed");
        return r.ok() ? 0 : 1;
    }
    QCoreApplication app(argc, argv);
    TestBackup t;
    return QTest::qExec(&t, argc, argv);
}

#include "tst_backup.moc"
