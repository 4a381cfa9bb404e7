// Every file the program writes, as a hostile colleague on the same computer
// would meet it: a link planted at the name, a FIFO or a device in place of
// an archive, and the permissions each new file gets under any umask.

#include "analyses/AnalysisRecord.h"
#include "analyses/FrequentExams.h"
#include "app/Backup.h"
#include "app/LoginDelay.h"
#include "app/PasswordStore.h"
#include "app/Privacy.h"
#include "common/ExcelHtml.h"
#include "common/FileIo.h"
#include "common/RecordFile.h"
#include "patients/Attachments.h"
#include "patients/PatientRecord.h"
#include "support/FileTools.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <functional>
#include <thread>

#if defined(Q_OS_UNIX)
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

using namespace Qt::StringLiterals;
using namespace clinora;
using namespace clinora::test;

namespace {

// One way the program writes a file into the data folder.
struct Writer {
    QString name; // the name it writes, relative to the data folder
    std::function<bool(const QString &folder)> write;
};

QList<Writer> writers()
{
    const auto exportTo = [](const QString &name) {
        return [name](const QString &folder) {
            return ExcelHtmlEnvelope(QDir(folder).filePath(name), u"Pazienti", {{u"Cognome"_s, 80}}, 1,
                                     [](qsizetype, int) { return QStringView(u"Rossi"); });
        };
    };
    return {
        {u"unins000.dll"_s, [](const QString &f) { return PasswordStore(f).writeStoredValue(u"41"_s); }},
        {u"Esami_Frequenti.lst"_s,
         [](const QString &f) { return writeFrequentExams(f, {FrequentExamLine(u"Glicemia", u"mg/dl", u"70-110")}); }},
        {u"Pazienti.xls"_s, exportTo(u"Pazienti.xls"_s)},
        {u"Analisi_Cliniche.xls"_s, exportTo(u"Analisi_Cliniche.xls"_s)},
        {u"Documenti_Allegati/referto.txt"_s,
         [](const QString &f) {
             const QString source = QDir(f).filePath(u"../referto-scelto.txt"_s);
             writeFile(source, "referto\r\n");
             return attachments::ensureFolder(f)
                    && attachments::copyFile(source, attachments::filePath(f, u"referto.txt"));
         }},
        {u"Clinora-backup.ini"_s,
         [](const QString &f) {
             backup::Settings s;
             s.folder = f;
             return s.save(f);
         }},
        {u"Clinora-accessi.ini"_s,
         [](const QString &f) {
             LoginDelay(f).failed(QDateTime(QDate(2026, 12, 10), QTime(10, 0)));
             return QFileInfo(LoginDelay(f).path()).isFile();
         }},
        {u"Clinora-sicurezza.ini"_s, [](const QString &f) { return privacy::Settings().save(f); }},
        // A record rewritten in place goes through its journal first.
        {u"Pazienti.pro.jrn"_s,
         [](const QString &f) {
             RecordFile archive(PatientRecord::kSize);
             const QByteArray record(PatientRecord::kSize, '\0');
             return archive.open(PatientArchivePath(f)) && archive.append(record) && archive.write(1, record)
                    && archive.close();
         }},
    };
}

#if defined(Q_OS_UNIX)
int modeOf(const QString &path)
{
    struct stat st = {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? int(st.st_mode & 07777) : -1;
}

class Umask {
public:
    explicit Umask(mode_t mask) : m_old(::umask(mask)) {}
    ~Umask() { ::umask(m_old); }
    Umask(const Umask &) = delete;
    Umask &operator=(const Umask &) = delete;

private:
    mode_t m_old;
};

// Runs `work`; should it wait on a FIFO for more than a few seconds, the FIFO
// is opened from here so that it ends, and the test fails.
bool finishesWithoutWaiting(const QString &fifo, const std::function<void()> &work)
{
    std::atomic<bool> done{false};
    std::atomic<bool> rescued{false};
    std::thread watchdog([&] {
        for (int i = 0; i < 500 && !done; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        if (done)
            return;
        rescued = true;
        while (!done) {
            const int fd = ::open(QFile::encodeName(fifo).constData(), O_RDWR | O_NONBLOCK);
            if (fd >= 0) {
                (void)::write(fd, "x", 1);
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
                ::close(fd);
            }
        }
    });
    work();
    done = true;
    watchdog.join();
    return !rescued;
}
#endif

} // namespace

class TestPrivateFiles : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
#if !defined(Q_OS_UNIX)
        QSKIP("links, FIFOs and permission bits as POSIX systems have them");
#endif
    }

    // A link planted at any name the program writes is replaced: what it
    // points to (another user's file, or one not there yet) is never written.
    void writersReplaceLinksNeverTheirTargets_data()
    {
        QTest::addColumn<int>("writer");
        QTest::addColumn<bool>("targetExists");
        const QList<Writer> all = writers();
        for (int i = 0; i < all.size(); ++i) {
            QTest::addRow("%s over a file elsewhere", qPrintable(all[i].name)) << i << true;
            QTest::addRow("%s over a name elsewhere", qPrintable(all[i].name)) << i << false;
        }
    }
    void writersReplaceLinksNeverTheirTargets()
    {
#if defined(Q_OS_UNIX)
        QFETCH(int, writer);
        QFETCH(bool, targetExists);
        const Writer w = writers().at(writer);
        QTemporaryDir root;
        const QString folder = root.filePath(u"Clinora"_s);
        const QString victim = root.filePath(u"altro-utente/documento.txt"_s);
        QVERIFY(QDir().mkpath(QFileInfo(QDir(folder).filePath(w.name)).path()));
        QVERIFY(QDir().mkpath(QFileInfo(victim).path()));
        if (targetExists)
            writeFile(victim, "non toccare");
        const QString name = QDir(folder).filePath(w.name);
        QVERIFY(QFile::link(victim, name));

        const bool written = w.write(folder);

        if (targetExists)
            QCOMPARE(fileBytes(victim), QByteArray("non toccare"));
        else
            QVERIFY2(!QFileInfo::exists(victim), "a file was made through a dangling link");
        // A file taken under the lock of the other computer (the password,
        // the frequent exams) refuses a dangling link rather than replace
        // it: the link may be an archive kept on a disk not there now.
        if (!written && !targetExists && (w.name == u"unins000.dll" || w.name == u"Esami_Frequenti.lst"))
            return;
        QVERIFY(written);
        QVERIFY(!QFileInfo(name).isSymLink() || w.name.endsWith(u".jrn"_s));
        if (!w.name.endsWith(u".jrn"_s)) // a journal is gone once the record is written
            QVERIFY(QFileInfo(name).isFile());
#endif
    }

    // A new archive is never made through a dangling link either; an archive
    // that is a link to a real file (kept on another disk) is read as usual.
    void archivesBehindLinks()
    {
#if defined(Q_OS_UNIX)
        QTemporaryDir root;
        const QString elsewhere = root.filePath(u"altrove.asl"_s);
        const QString archive = root.filePath(u"Paziente_CF_X.asl"_s);
        QVERIFY(QFile::link(elsewhere, archive));
        RecordFile file(AnalysisRecord::kSize);
        QCOMPARE(file.open(archive).error, IoError::Open);
        QVERIFY(!QFileInfo::exists(elsewhere));

        writeFile(elsewhere, QByteArray(2 * AnalysisRecord::kSize, 'a'));
        QVERIFY(file.open(archive, lock::Mode::Shared));
        QCOMPARE(file.count(), 2);
        QVERIFY(file.close());
#endif
    }

    // A FIFO (or a device) where an archive should be is refused at once:
    // nothing waits for a writer that never comes, and a backup of it fails
    // instead of reporting 0 patients saved.
    void specialFilesAreRefusedAtOnce_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("device");
        QTest::newRow("patient archive FIFO") << u"Pazienti.pro"_s << false;
        QTest::newRow("patient archive device") << u"Pazienti.pro"_s << true;
        QTest::newRow("results archive FIFO") << u"Analisi_Cliniche/Paziente_CF_X.asl"_s << false;
        QTest::newRow("password file FIFO") << u"unins000.dll"_s << false;
        QTest::newRow("frequent exams FIFO") << u"Esami_Frequenti.lst"_s << false;
        QTest::newRow("journal FIFO") << u"Pazienti.pro.jrn"_s << false;
        QTest::newRow("attachment source FIFO") << u"scelto.txt"_s << false;
    }
    void specialFilesAreRefusedAtOnce()
    {
#if defined(Q_OS_UNIX)
        QFETCH(QString, name);
        QFETCH(bool, device);
        QTemporaryDir folder;
        const QString path = folder.filePath(name);
        QVERIFY(QDir().mkpath(QFileInfo(path).path()));
        if (name.endsWith(u".jrn"_s))
            writeFile(folder.filePath(u"Pazienti.pro"_s), QByteArray(PatientRecord::kSize, 'a'));
        if (device)
            QVERIFY(QFile::link(u"/dev/zero"_s, path));
        else
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);

        bool refused = false;
        const bool quick = finishesWithoutWaiting(path, [&] {
            if (name == u"unins000.dll")
                refused = !PasswordStore(folder.path()).readStoredValue().has_value();
            else if (name == u"Esami_Frequenti.lst")
                refused = !readFrequentExams(folder.path()).has_value();
            else if (name == u"scelto.txt")
                refused = !attachments::copyFile(path, folder.filePath(u"copia.txt"_s));
            else {
                const bool patients = name.startsWith(u"Pazienti");
                RecordFile file(patients ? PatientRecord::kSize : AnalysisRecord::kSize);
                refused = file.open(patients ? folder.filePath(u"Pazienti.pro"_s) : path, lock::Mode::Shared).error
                          == IoError::Open;
            }
        });
        QVERIFY2(quick, "waited on a special file");
        QVERIFY(refused);

        if (name == u"Pazienti.pro") {
            QTemporaryDir target;
            backup::Result r;
            QVERIFY(finishesWithoutWaiting(
                path, [&] { r = backup::create(folder.path(), target.path(), QDateTime::currentDateTime()); }));
            // Never opened, and never a backup that says it is whole: the
            // archive is named as left out (or the backup fails).
            QVERIFY2(!r.ok() || r.leftOut.contains(u"Pazienti.pro"_s),
                     "a backup of a special file reported itself complete");
        }
#endif
    }

    // Every file the program makes takes the data folder's permissions, no
    // execute bits and never more open than the folder, whatever the umask;
    // a folder it makes takes the folder's own.
    void newFilesTakeTheFolderPermissions_data()
    {
        QTest::addColumn<int>("newMask");
        QTest::addColumn<int>("folderMode");
        QTest::addColumn<int>("fileMode");
        QTest::newRow("private folder, usual umask") << 022 << 0700 << 0600;
        QTest::newRow("private folder, strict umask") << 077 << 0700 << 0600;
        QTest::newRow("group folder, strict umask") << 077 << 0770 << 0660;
        QTest::newRow("group folder, open umask") << 0 << 0750 << 0640;
        QTest::newRow("open folder, usual umask") << 022 << 0755 << 0644;
    }
    void newFilesTakeTheFolderPermissions()
    {
#if defined(Q_OS_UNIX)
        QFETCH(int, newMask);
        QFETCH(int, folderMode);
        QFETCH(int, fileMode);
        QTemporaryDir root;
        const QString folder = root.filePath(u"Clinora"_s);
        QVERIFY(QDir().mkpath(folder));
        QCOMPARE(::chmod(QFile::encodeName(folder).constData(), mode_t(folderMode)), 0);
        const Umask mask{mode_t(newMask)};

        QStringList files;
        for (const Writer &w : writers()) {
            QVERIFY2(w.write(folder), qPrintable(w.name));
            if (!w.name.endsWith(u".jrn"_s))
                files << w.name;
        }
        files << u"Pazienti.pro"_s;
        QVERIFY(io::makeFolder(QDir(folder).filePath(u"Analisi_Cliniche/Vecchi"_s)));
        RecordFile results(AnalysisRecord::kSize);
        const QString asl = AnalysisArchivePath(folder, u"RSSMRA61E12L219X");
        QVERIFY(results.open(asl) && results.append(QByteArray(AnalysisRecord::kSize, 'a')) && results.close());
        files << QDir(folder).relativeFilePath(asl);

        for (const QString &name : std::as_const(files))
            QVERIFY2(modeOf(QDir(folder).filePath(name)) == fileMode,
                     qPrintable(u"%1: %2"_s.arg(name).arg(modeOf(QDir(folder).filePath(name)), 0, 8)));
        for (const QString &name : {u"Analisi_Cliniche"_s, u"Analisi_Cliniche/Vecchi"_s, u"Documenti_Allegati"_s})
            QVERIFY2(modeOf(QDir(folder).filePath(name)) == folderMode, qPrintable(name));

        // A file an administrator made stricter than the folder stays so.
        const QString password = QDir(folder).filePath(u"unins000.dll"_s);
        QCOMPARE(::chmod(QFile::encodeName(password).constData(), 0600), 0);
        QVERIFY(PasswordStore(folder).writeStoredValue(u"4142"_s));
        QCOMPARE(modeOf(password), 0600);

        // The backup holds everything: its owner's alone, wherever it goes.
        QTemporaryDir target;
        QCOMPARE(::chmod(QFile::encodeName(target.path()).constData(), 0755), 0);
        const backup::Result made = backup::create(folder, target.path(), QDateTime(QDate(2026, 12, 10), QTime(9, 30)));
        QVERIFY(made.ok());
        QCOMPARE(modeOf(made.path), 0600);

        // A restore gives each item the permissions of the one it replaces;
        // one the data did not have takes the folder's.
        QCOMPARE(::chmod(QFile::encodeName(QDir(folder).filePath(u"Pazienti.pro"_s)).constData(), 0400), 0);
        QCOMPARE(::chmod(QFile::encodeName(asl).constData(), 0600), 0);
        QVERIFY(QFile::remove(QDir(folder).filePath(u"Esami_Frequenti.lst"_s)));
        const backup::Result restored = backup::restore(made.path, folder);
        QVERIFY2(restored.ok(), qPrintable(restored.detail));
        QCOMPARE(modeOf(QDir(folder).filePath(u"Pazienti.pro"_s)), 0400);
        QCOMPARE(modeOf(asl), 0600);
        QCOMPARE(modeOf(QDir(folder).filePath(u"Esami_Frequenti.lst"_s)), fileMode);
        QCOMPARE(modeOf(QDir(folder).filePath(u"Analisi_Cliniche"_s)), folderMode);
        QCOMPARE(modeOf(password), 0600);
#endif
    }

    // Who else can reach the data: the folder when others may list or write
    // it, and the archives they can read through it.
    void dataOpenToOthers_data()
    {
        QTest::addColumn<int>("folderMode");
        QTest::addColumn<int>("archiveMode");
        QTest::addColumn<QStringList>("exposed");
        QTest::newRow("closed folder, open archives") << 0700 << 0644 << QStringList();
        QTest::newRow("group folder") << 0770 << 0660 << QStringList();
        QTest::newRow("usual umask") << 0755 << 0644
                                     << QStringList{u"."_s, u"Pazienti.pro"_s, u"unins000.dll"_s,
                                                    u"Analisi_Cliniche/Paziente_CF_X.asl"_s};
        QTest::newRow("folder passable, archives closed") << 0711 << 0600 << QStringList();
        QTest::newRow("folder passable, archives open") << 0711 << 0604
                                                        << QStringList{u"Pazienti.pro"_s, u"unins000.dll"_s,
                                                                       u"Analisi_Cliniche/Paziente_CF_X.asl"_s};
    }
    void dataOpenToOthers()
    {
#if defined(Q_OS_UNIX)
        QFETCH(int, folderMode);
        QFETCH(int, archiveMode);
        QFETCH(QStringList, exposed);
        QTemporaryDir folder;
        for (const QString &name : {u"Pazienti.pro"_s, u"unins000.dll"_s, u"Analisi_Cliniche/Paziente_CF_X.asl"_s}) {
            writeFile(folder.filePath(name), "x");
            QCOMPARE(::chmod(QFile::encodeName(folder.filePath(name)).constData(), mode_t(archiveMode)), 0);
        }
        QCOMPARE(::chmod(QFile::encodeName(folder.filePath(u"Analisi_Cliniche"_s)).constData(), 0711), 0);
        QCOMPARE(::chmod(QFile::encodeName(folder.path()).constData(), mode_t(folderMode)), 0);
        QStringList found;
        for (const QString &item : privacy::exposedItems(folder.path()))
            found << QDir(folder.path()).relativeFilePath(item);
        QCOMPARE(found, exposed);
#endif
    }
};

QTEST_APPLESS_MAIN(TestPrivateFiles)
#include "tst_privatefiles.moc"
