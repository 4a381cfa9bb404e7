// The frequent-exams list: the 113-character entry, its three parts, and
// Esami_Frequenti.lst byte for byte, read back and replaced whole or not at all.
#include "analyses/FrequentExams.h"
#include "common/FileIo.h"
#include "support/FileTools.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace clinora;
using namespace clinora::test;

namespace {

QString blanks(int n) { return QString(n, u' '); }

const QString kGlicemia = u"Glicemia"_s + blanks(42) + u"  UM: mg/dl"_s + blanks(20) + u"  Rif. 70-110"_s + blanks(19);

} // namespace

class TestFrequentExams : public QObject {
    Q_OBJECT

private slots:
    void entryLine_data()
    {
        QTest::addColumn<QString>("exam");
        QTest::addColumn<QString>("unit");
        QTest::addColumn<QString>("range");
        QTest::addColumn<QString>("line");
        QTest::newRow("Glicemia") << u"Glicemia"_s << u"mg/dl"_s << u"70-110"_s << kGlicemia;
        QTest::newRow("trimmed first") << u"  Glicemia \t"_s << u" mg/dl "_s << u" 70-110"_s << kGlicemia;
        QTest::newRow("exam only") << u"Emocromo"_s << QString() << QString()
                                   << u"Emocromo"_s + blanks(42) + u"  UM: "_s + blanks(25) + u"  Rif. "_s + blanks(25);
        QTest::newRow("cut to the widths")
            << QString(60, u'E') << QString(30, u'U') << QString(30, u'R')
            << QString(50, u'E') + u"  UM: "_s + QString(25, u'U') + u"  Rif. "_s + QString(25, u'R');
    }

    void entryLine()
    {
        QFETCH(QString, exam);
        QFETCH(QString, unit);
        QFETCH(QString, range);
        QFETCH(QString, line);
        const QString built = FrequentExamLine(exam, unit, range);
        QCOMPARE(built, line);
        QCOMPARE(built.size(), 113);
    }

    void parts_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("exam");
        QTest::addColumn<QString>("unit");
        QTest::addColumn<QString>("range");
        QTest::newRow("as built") << kGlicemia << u"Glicemia"_s << u"mg/dl"_s << u"70-110"_s;
        QTest::newRow("as read back") << kGlicemia.trimmed() << u"Glicemia"_s << u"mg/dl"_s << u"70-110"_s;
        QTest::newRow("exam only") << u"Emocromo"_s << u"Emocromo"_s << QString() << QString();
        QTest::newRow("ends inside the unit") << u"Sodio"_s + blanks(45) + u"  UM: mE"_s << u"Sodio"_s << u"mE"_s
                                              << QString();
        QTest::newRow("empty line") << QString() << QString() << QString() << QString();
    }

    void parts()
    {
        QFETCH(QString, line);
        QFETCH(QString, exam);
        QFETCH(QString, unit);
        QFETCH(QString, range);
        const FrequentExam e = splitFrequentExamLine(line);
        QCOMPARE(e.exam, exam);
        QCOMPARE(e.unit, unit);
        QCOMPARE(e.range, range);
    }

    // Written in Windows-1252, every line ended by CR LF; read back trimmed.
    void roundTrip()
    {
        QTemporaryDir dir;
        const QString unit = FrequentExamLine(u"Unità di prova"_s, u"µg/l"_s, QString());
        QVERIFY(writeFrequentExams(dir.path(), {kGlicemia, QString(), unit}));
        const QByteArray bytes = fileBytes(dir.filePath(u"Esami_Frequenti.lst"_s));
        QCOMPARE(bytes.size(), 113 + 2 + 2 + 113 + 2);
        QCOMPARE(bytes.left(115), kGlicemia.toLatin1() + "\r\n");
        QCOMPARE(bytes.mid(115, 2), QByteArray("\r\n"));
        QCOMPARE(bytes.mid(117, 6), QByteArray("Unit\xE0 "));
        QCOMPARE(bytes.mid(117 + 56, 5), QByteArray("\xB5g/l "));
        QVERIFY(bytes.endsWith("\r\n"));

        const std::optional<QStringList> lines = readFrequentExams(dir.path());
        QVERIFY(lines);
        QCOMPARE(*lines, (QStringList{kGlicemia.trimmed(), QString(), unit.trimmed()}));
        const FrequentExam back = splitFrequentExamLine(lines->at(0));
        QCOMPARE(back.exam, u"Glicemia"_s);
        QCOMPARE(back.unit, u"mg/dl"_s);
        QCOMPARE(back.range, u"70-110"_s);
        QCOMPARE(splitFrequentExamLine(lines->at(2)).unit, u"µg/l"_s);
    }

    void reading_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("empty file") << QByteArray() << QStringList{};
        QTest::newRow("no final break") << QByteArray("Azotemia\r\nGlicemia")
                                        << QStringList{u"Azotemia"_s, u"Glicemia"_s};
        QTest::newRow("empty line kept") << QByteArray("A\r\n\r\nB\r\n") << QStringList{u"A"_s, QString(), u"B"_s};
        QTest::newRow("a lone break") << QByteArray("\r\n") << QStringList{QString()};
        QTest::newRow("LF or CR alone") << QByteArray("A\nB\rC\n") << QStringList{u"A"_s, u"B"_s, u"C"_s};
        QTest::newRow("trimmed") << QByteArray("  Sodio \t \r\n") << QStringList{u"Sodio"_s};
    }

    void reading()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, lines);
        QTemporaryDir dir;
        writeFile(dir.filePath(u"Esami_Frequenti.lst"_s), bytes);
        QCOMPARE(readFrequentExams(dir.path()), std::optional<QStringList>(lines));
    }

    void missingFileIsAnEmptyList()
    {
        QTemporaryDir dir;
        QCOMPARE(readFrequentExams(dir.path()), std::optional<QStringList>(QStringList()));
        QVERIFY(!QFile::exists(dir.filePath(u"Esami_Frequenti.lst"_s)));
    }

    void unreadableFileIsNoList()
    {
        QTemporaryDir dir;
        writeFile(dir.filePath(u"Esami_Frequenti.lst"_s), "Glicemia\r\n");
        FailOp fault(io::Op::Open);
        QVERIFY(!readFrequentExams(dir.path()).has_value());
    }

    // A failed replacement leaves the practice's list exactly as it was.
    void failedWriteKeepsTheList_data()
    {
        QTest::addColumn<io::Op>("op");
        QTest::newRow("cannot create") << io::Op::Open;
        QTest::newRow("cannot write") << io::Op::Write;
        QTest::newRow("cannot replace") << io::Op::Rename;
    }

    void failedWriteKeepsTheList()
    {
        QFETCH(io::Op, op);
        QTemporaryDir dir;
        const QString path = dir.filePath(u"Esami_Frequenti.lst"_s);
        QVERIFY(writeFrequentExams(dir.path(), {kGlicemia}));
        const QByteArray before = fileBytes(path);
        {
            FailOp fault(op);
            QVERIFY(!writeFrequentExams(dir.path(), {u"Azotemia"_s}));
        }
        QCOMPARE(fileBytes(path), before);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{u"Esami_Frequenti.lst"_s});
    }

    void lineBreakInsideAnEntryStaysOneLine()
    {
        QTemporaryDir dir;
        QVERIFY(writeFrequentExams(dir.path(), {u"Glicemia\r\npost prandiale"_s}));
        QCOMPARE(readFrequentExams(dir.path()), std::optional<QStringList>(QStringList{u"Glicemia  post prandiale"_s}));
    }
};

QTEST_GUILESS_MAIN(TestFrequentExams)
#include "tst_frequentexams.moc"
