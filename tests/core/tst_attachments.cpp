// The files a card names: the bare-name rule that keeps every stored name
// inside Documenti_Allegati, names a card can store, the copy that never
// leaves a damaged attachment behind, and the patient's folder path.
#include "analyses/AnalysisRecord.h"
#include "common/FileIo.h"
#include "patients/Attachments.h"
#include "patients/PatientRecord.h"

#include <QDateTime>
#include <algorithm>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace clinora;

namespace {

QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

// Fails one kind of operation on one path, or cuts its writes short.
class Fault : public io::FaultHook {
public:
    Fault(io::Op op, QString path, qint64 cutAfter = -1) : m_op(op), m_path(std::move(path)), m_cut(cutAfter)
    {
        io::setFaultHook(this);
    }
    ~Fault() override { io::setFaultHook(nullptr); }
    bool shouldFail(io::Op op, const QString &path) override { return m_cut < 0 && op == m_op && path == m_path; }
    qint64 bytesBeforeCut(const QString &path, qint64 size) override
    {
        if (m_cut < 0 || path != m_path)
            return size;
        const qint64 allowed = std::min(size, m_cut);
        m_cut -= allowed;
        return m_cut == 0 && allowed < size ? allowed : size;
    }

private:
    io::Op m_op;
    QString m_path;
    qint64 m_cut;
};

} // namespace

class TestAttachments : public QObject {
    Q_OBJECT
private slots:
    void bareNameKeepsOnlyTheLastComponent_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("bare");
        QTest::newRow("plain") << u"referto.pdf"_s << u"referto.pdf"_s;
        QTest::newRow("blanks and inner blank") << u"  esito 2024.pdf \t"_s << u"esito 2024.pdf"_s;
        QTest::newRow("accents") << u"ecografìa è.jpg"_s << u"ecografìa è.jpg"_s;
        QTest::newRow("up and out") << u"../../Pazienti.pro"_s << u"Pazienti.pro"_s;
        QTest::newRow("up with backslashes") << u"..\\..\\unins000.dll"_s << u"unins000.dll"_s;
        QTest::newRow("absolute") << u"/etc/passwd"_s << u"passwd"_s;
        QTest::newRow("drive") << u"C:\\Windows\\win.ini"_s << u"win.ini"_s;
        QTest::newRow("network share") << u"\\\\server\\share\\x.pdf"_s << u"x.pdf"_s;
        QTest::newRow("mixed") << u"a/b\\c/ d.txt"_s << u"d.txt"_s;
        QTest::newRow("parent") << u".."_s << QString();
        QTest::newRow("self") << u"."_s << QString();
        QTest::newRow("dots") << u"..."_s << QString();
        QTest::newRow("ends in parent") << u"x/.."_s << QString();
        QTest::newRow("folder") << u"Documenti/"_s << QString();
        QTest::newRow("folder and blank") << u"Documenti\\ "_s << QString();
        QTest::newRow("empty") << QString() << QString();
        QTest::newRow("dotted name") << u"..referto"_s << u"..referto"_s;
    }
    void bareNameKeepsOnlyTheLastComponent()
    {
        QFETCH(QString, stored);
        QFETCH(QString, bare);
        QCOMPARE(attachments::bareName(stored), bare);

        // Whatever the name, its file lies right in the attachments folder.
        const QString app = u"/studio/Clinora"_s;
        const QString path = attachments::filePath(app, stored);
        if (bare.isEmpty()) {
            QVERIFY(path.isEmpty());
        } else {
            QCOMPARE(path, u"/studio/Clinora/Documenti_Allegati/"_s + bare);
            QCOMPARE(QFileInfo(QDir::cleanPath(path)).path(), u"/studio/Clinora/Documenti_Allegati"_s);
        }
    }

    void storableNameSurvivesTheCard_data()
    {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("stored");
        QTest::newRow("plain") << u"/home/medico/referto.pdf"_s << u"referto.pdf"_s;
        QTest::newRow("code page letters") << u"Ecografia è € ß.pdf"_s << u"Ecografia è € ß.pdf"_s;
        QTest::newRow("greek") << u"Ωmega.pdf"_s << u"_mega.pdf"_s;
        QTest::newRow("surrogate pair") << u"foto \U0001F600.jpg"_s << u"foto _.jpg"_s;
        // The closest letter first, as every stored text has it.
        QTest::newRow("closest letters") << u"Referto Kovačić Łódź.pdf"_s << u"Referto Kovacic L\u00F3dz.pdf"_s;
        QTest::newRow("letters and accents apart") << u"Kovac\u030Cic\u0301.pdf"_s << u"Kovacic.pdf"_s;
        QTest::newRow("no one letter") << u"\u0133.pdf"_s << u"_.pdf"_s;
        QTest::newRow("long, with extension") << QString(300, u'a') + u".pdf"_s << QString(246, u'a') + u".pdf"_s;
        QTest::newRow("long, no extension") << QString(300, u'b') << QString(250, u'b');
        QTest::newRow("long, blank at the cut")
            << QString(244, u'c') + u" "_s + QString(60, u'd') + u".docx"_s << QString(244, u'c') + u".docx"_s;
        QTest::newRow("exactly full") << QString(246, u'e') + u".txt"_s << QString(246, u'e') + u".txt"_s;        // Names Windows cannot hold, made to fit on every system: the folder may be copied there.
        QTest::newRow("device name") << u"C:/Referti/CON.pdf"_s << u"CON_.pdf"_s;
        QTest::newRow("device name, lower case") << u"/home/medico/lpt1"_s << u"lpt1_"_s;
        QTest::newRow("refused characters") << u"/tmp/esito: \"ok\" <1> | ?*.pdf"_s << u"esito_ _ok_ _1_ _ __.pdf"_s;
        QTest::newRow("final dot") << u"/tmp/referto."_s << u"referto_"_s;
    }
    void storableNameSurvivesTheCard()
    {
        QFETCH(QString, chosen);
        QFETCH(QString, stored);
        const QString name = attachments::storableName(chosen);
        QCOMPARE(name, stored);
        // Stored in either card and read back, it is still the same name.
        PatientRecord p;
        p.set(PatientRecord::File01, name);
        QCOMPARE(p.get(PatientRecord::File01), name);
        AnalysisRecord a;
        a.set(AnalysisRecord::File03, name);
        QCOMPARE(a.get(AnalysisRecord::File03), name);
    }

    // A folder filled on Windows: a stored name finds its file whatever the
    // case of either, the exact name first.
    void namesAreFoundRegardlessOfCase()
    {
        QTemporaryDir app;
        QVERIFY(attachments::ensureFolder(app.path()));
        const QString folder = attachments::folderPath(app.path());
        QVERIFY(writeFile(folder + u"/referto.pdf"_s, "r"));
        QCOMPARE(attachments::filePath(app.path(), u"Referto.PDF"_s), folder + u"/referto.pdf"_s);
        QCOMPARE(attachments::filePath(app.path(), u"referto.pdf"_s), folder + u"/referto.pdf"_s);
        // Where the file system itself ignores case (Windows), one file answers to both names.
        if (QFileInfo::exists(folder + u"/REFERTO.PDF"_s))
            return;
        QVERIFY(writeFile(folder + u"/Referto.PDF"_s, "R"));
        QCOMPARE(attachments::filePath(app.path(), u"Referto.PDF"_s), folder + u"/Referto.PDF"_s);
        QCOMPARE(attachments::filePath(app.path(), u"REFERTO.pdf"_s), folder + u"/Referto.PDF"_s); // name order
        // No such file in any case: the name as given, for a new copy.
        QCOMPARE(attachments::filePath(app.path(), u"Esame.pdf"_s), folder + u"/Esame.pdf"_s);
    }

    void storedNameLengthIsTheFieldsCapacity()
    {
        for (int f : {PatientRecord::File01, PatientRecord::File02, PatientRecord::File03})
            QCOMPARE(PatientRecord::recordLayout().field(f).capacity, attachments::kStoredNameLength);
        for (int f : {AnalysisRecord::File01, AnalysisRecord::File02, AnalysisRecord::File03})
            QCOMPARE(AnalysisRecord::recordLayout().field(f).capacity, attachments::kStoredNameLength);
    }

    void copyMakesAWholeCopy()
    {
        QTemporaryDir dir;
        const QString source = dir.filePath(u"scansione.tif"_s);
        // Larger than one chunk, and not a multiple of it.
        QByteArray bytes(3 * 1024 * 1024 + 777, Qt::Uninitialized);
        for (qsizetype i = 0; i < bytes.size(); ++i)
            bytes[i] = char((i * 131) % 251);
        QVERIFY(writeFile(source, bytes));
        const QDateTime taken(QDate(2023, 4, 5), QTime(6, 7, 8));
        {
            QFile f(source);
            QVERIFY(f.open(QIODevice::ReadWrite));
            QVERIFY(f.setFileTime(taken, QFileDevice::FileModificationTime));
        }
        QVERIFY(attachments::ensureFolder(dir.path()));
        const QString target = attachments::filePath(dir.path(), u"scansione.tif"_s);
        QVERIFY(attachments::copyFile(source, target));
        QCOMPARE(fileBytes(target), bytes);
        QCOMPARE(QFileInfo(target).lastModified(), taken);
        QCOMPARE(fileBytes(source), bytes);

        // Over an older file of the same name; an empty source too.
        QVERIFY(writeFile(source, QByteArray()));
        QVERIFY(attachments::copyFile(source, target));
        QCOMPARE(QFileInfo(target).size(), 0);
        QCOMPARE(QDir(attachments::folderPath(dir.path())).entryList(QDir::Files), QStringList{u"scansione.tif"_s});
    }

    void failedCopyLeavesTheOldFile_data()
    {
        QTest::addColumn<int>("op"); // an io::Op, or -1: the writes stop half-way
        QTest::addColumn<bool>("onSource");
        QTest::newRow("copy refused") << int(io::Op::Copy) << false;
        QTest::newRow("source unreadable") << int(io::Op::Open) << true;
        QTest::newRow("read fails") << int(io::Op::Read) << true;
        QTest::newRow("target not created") << int(io::Op::Open) << false;
        QTest::newRow("write fails") << int(io::Op::Write) << false;
        QTest::newRow("disk full half-way") << -1 << false;
        QTest::newRow("cannot replace") << int(io::Op::Rename) << false;
    }
    void failedCopyLeavesTheOldFile()
    {
        QFETCH(int, op);
        QFETCH(bool, onSource);
        QTemporaryDir dir;
        const QString source = dir.filePath(u"referto.pdf"_s);
        const QByteArray fresh(2 * 1024 * 1024 + 5, 'N');
        QVERIFY(writeFile(source, fresh));
        QVERIFY(attachments::ensureFolder(dir.path()));
        const QString target = attachments::filePath(dir.path(), u"referto.pdf"_s);
        QVERIFY(writeFile(target, "the attachment a card already names"));
        bool copied = true;
        {
            Fault fault(op < 0 ? io::Op::Write : io::Op(op), onSource ? source : target, op < 0 ? 1500000 : -1);
            copied = attachments::copyFile(source, target);
        }
        QVERIFY(!copied);
        QCOMPARE(fileBytes(target), QByteArray("the attachment a card already names"));
        // No half-written temporary file is left in the folder either.
        QCOMPARE(QDir(attachments::folderPath(dir.path())).entryList(QDir::Files | QDir::Hidden),
                 QStringList{u"referto.pdf"_s});
    }

    void copyOfAMissingSourceFails()
    {
        QTemporaryDir dir;
        QVERIFY(attachments::ensureFolder(dir.path()));
        const QString target = attachments::filePath(dir.path(), u"x.pdf"_s);
        QVERIFY(!attachments::copyFile(dir.filePath(u"non-esiste.pdf"_s), target));
        QVERIFY(!QFileInfo::exists(target));
    }

    void sameFileIsRecognised()
    {
        QTemporaryDir dir;
        QVERIFY(attachments::ensureFolder(dir.path()));
        const QString inFolder = attachments::filePath(dir.path(), u"a.pdf"_s);
        QVERIFY(writeFile(inFolder, "a"));
        QVERIFY(writeFile(dir.filePath(u"a.pdf"_s), "a"));
        QVERIFY(attachments::sameFile(dir.filePath(u"Documenti_Allegati/../Documenti_Allegati/a.pdf"_s), inFolder));
        QVERIFY(!attachments::sameFile(dir.filePath(u"a.pdf"_s), inFolder));
        QVERIFY(!attachments::sameFile(dir.filePath(u"b.pdf"_s), attachments::filePath(dir.path(), u"b.pdf"_s)));
    }

    void foldersAreCreatedWithTheirParents()
    {
        QTemporaryDir dir;
        const QString app = dir.filePath(u"Studio Medico/Clinora"_s);
        QVERIFY(attachments::ensureFolder(app));
        QVERIFY(QFileInfo(app + u"/Documenti_Allegati"_s).isDir());
        QVERIFY(attachments::ensureFolder(app)); // already there

        // A file in the folder's place, and a disk that refuses.
        QVERIFY(writeFile(dir.filePath(u"Documenti_Allegati"_s), "x"));
        QVERIFY(!attachments::ensureFolder(dir.path()));
        const QString folder = dir.filePath(u"Paziente_3"_s);
        {
            Fault fault(io::Op::Mkdir, folder);
            QVERIFY(!io::makeFolder(folder));
        }
        QVERIFY(!QFileInfo::exists(folder));
        QVERIFY(io::makeFolder(folder));
        QVERIFY(QFileInfo(folder).isDir());
    }

    void patientFolderIsNamedAfterTheRecordNumber_data()
    {
        QTest::addColumn<QString>("tag");
        QTest::addColumn<QString>("folder"); // empty: not a record number
        QTest::newRow("5") << u"5"_s << u"/studio/Paziente_5"_s;
        QTest::newRow("blanks") << u" 12 "_s << u"/studio/Paziente_12"_s;
        QTest::newRow("leading zeros") << u"007"_s << u"/studio/Paziente_7"_s;
        QTest::newRow("large") << u"123456789"_s << u"/studio/Paziente_123456789"_s;
        QTest::newRow("empty") << QString() << QString();
        QTest::newRow("zero") << u"0"_s << QString();
        QTest::newRow("negative") << u"-1"_s << QString();
        QTest::newRow("path") << u"../x"_s << QString();
        QTest::newRow("number and path") << u"1/.."_s << QString();
        QTest::newRow("word") << u"clienti"_s << QString();
        QTest::newRow("too large") << u"99999999999999999999"_s << QString();
    }
    void patientFolderIsNamedAfterTheRecordNumber()
    {
        QFETCH(QString, tag);
        QFETCH(QString, folder);
        QCOMPARE(patientFolderPath(u"/studio"_s, tag), folder);
    }
};

QTEST_GUILESS_MAIN(TestAttachments)
#include "tst_attachments.moc"
