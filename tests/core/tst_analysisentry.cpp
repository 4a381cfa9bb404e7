// The rules of entering results that need no screen: the archives' folder
// and the alarm mark.
#include "analyses/AnalysisEntry.h"
#include "common/FileIo.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace clinora;

class TestAnalysisEntry : public QObject {
    Q_OBJECT
private slots:
    void folderIsCreatedWithItsParents()
    {
        QTemporaryDir dir;
        const QString app = dir.filePath(u"Studio Medico/Clinora"_s);
        QVERIFY(ensureAnalysisFolder(app));
        QVERIFY(QFileInfo(app + u"/Analisi_Cliniche"_s).isDir());
        QVERIFY(ensureAnalysisFolder(app)); // already there
        // Only the folder: no archive comes into being here.
        QVERIFY(QDir(app + u"/Analisi_Cliniche"_s).isEmpty());
    }

    void folderThatCannotBeMade()
    {
        QTemporaryDir dir;
        // A file where the folder should be.
        QFile blocker(dir.filePath(u"Analisi_Cliniche"_s));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        QVERIFY(!ensureAnalysisFolder(dir.path()));

        struct FailMkdir : io::FaultHook {
            QStringList asked;
            bool shouldFail(io::Op op, const QString &path) override
            {
                asked << path;
                return op == io::Op::Mkdir;
            }
        } hook;
        QTemporaryDir other;
        io::setFaultHook(&hook);
        const bool made = ensureAnalysisFolder(other.path());
        io::setFaultHook(nullptr);
        QVERIFY(!made);
        QCOMPARE(hook.asked, QStringList{QDir(other.path()).filePath(u"Analisi_Cliniche"_s)});
        QVERIFY(!QFileInfo::exists(other.filePath(u"Analisi_Cliniche"_s)));
    }

    void alarmMarkReads_data()
    {
        QTest::addColumn<QByteArray>("stored"); // the field's bytes at offset 989
        QTest::addColumn<int>("reads");         // 1 ticked, 0 not ticked, -1 left as it was
        QTest::newRow("Sì") << QByteArray("\x02S\xEC", 3) << 1;
        QTest::newRow("No") << QByteArray("\x02No", 3) << 0;
        QTest::newRow("empty") << QByteArray("\x00\x00\x00", 3) << -1;
        QTest::newRow("si unaccented") << QByteArray("\x02Si", 3) << -1;
        QTest::newRow("lower case no") << QByteArray("\x02no", 3) << -1;
        QTest::newRow("S alone") << QByteArray("\x01S\xEC", 3) << -1;
        QTest::newRow("No with a blank") << QByteArray("\x02 N", 3) << -1;
    }
    void alarmMarkReads()
    {
        QFETCH(QByteArray, stored);
        QFETCH(int, reads);
        AnalysisRecord r;
        r.bytes().replace(989, 3, stored);
        const std::optional<bool> mark = alarmMark(r);
        QCOMPARE(mark.has_value() ? int(*mark) : -1, reads);
    }

    void alarmMarkWrites()
    {
        AnalysisRecord r;
        setAlarmMark(r, true);
        QCOMPARE(r.bytes().mid(989, 3), QByteArray("\x02\x53\xEC", 3));
        setAlarmMark(r, false);
        QCOMPARE(r.bytes().mid(989, 3), QByteArray("\x02\x4E\x6F", 3));
    }

    void requiredFieldsInOrder()
    {
        AnalysisRecord r;
        QCOMPARE(firstMissingField(r)->field, AnalysisRecord::NumRef);
        const AnalysisRecord::Field order[] = {AnalysisRecord::NumRef, AnalysisRecord::DataRef,
                                               AnalysisRecord::Data,   AnalysisRecord::Esame,
                                               AnalysisRecord::Risultato, AnalysisRecord::Esito};
        for (AnalysisRecord::Field f : order) {
            QCOMPARE(firstMissingField(r)->field, f);
            r.set(f, u"x"_s);
        }
        QCOMPARE(firstMissingField(r), nullptr);
        // Blank bytes stored by another program count as missing.
        r.bytes().replace(385, 3, QByteArray("\x02\x20\x09", 3));
        QCOMPARE(firstMissingField(r)->field, AnalysisRecord::Esito);
    }
};

QTEST_GUILESS_MAIN(TestAnalysisEntry)
#include "tst_analysisentry.moc"
