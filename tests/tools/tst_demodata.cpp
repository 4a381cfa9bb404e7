#include "analyses/AnalysisRecord.h"
#include "analyses/FrequentExams.h"
#include "checks/CodiceFiscale.h"
#include "checks/PartitaIva.h"
#include "common/CommonSettings.h"
#include "demo/DemoData.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace clinora;

class TestDemoData : public QObject {
    Q_OBJECT
private slots:
    void patientsAreValidAndVaried()
    {
        demo::Generator g(7);
        QSet<QString> names;
        int withVat = 0;
        for (int i = 0; i < 500; ++i) {
            const demo::Patient p = g.patient(i);
            QVERIFY2(CodFiscValido(p.fiscalCode), qPrintable(p.fiscalCode));
            QCOMPARE(p.record.get(PatientRecord::CodFisc), p.fiscalCode);
            QVERIFY(settings::parseDate(p.record.get(PatientRecord::DataNasc)));
            const QString vat = p.record.get(PatientRecord::PartitaIva);
            if (!vat.isEmpty()) {
                ++withVat;
                QVERIFY2(PartitaIvaValida(vat), qPrintable(vat));
            }
            const QString flag = p.record.get(PatientRecord::Ricontatta);
            QVERIFY(flag == kYes || flag == kNo);
            names.insert(p.name);
        }
        QVERIFY(names.size() > 300);
        QVERIFY(withVat > 20);
    }

    void resultsHaveDatesAndSomeAlarms_data()
    {
        QTest::addColumn<int>("count");
        QTest::newRow("a few years") << 300;
        QTest::newRow("a long history") << 3000; // kept within forty years
    }

    void resultsHaveDatesAndSomeAlarms()
    {
        QFETCH(int, count);
        QTemporaryDir dir;
        demo::Generator g;
        const demo::Patient p = g.patient(0);
        const QString path = dir.filePath(u"a.asl"_s);
        const QDate last(2026, 12, 1);
        QVERIFY(demo::writeAnalysisArchive(path, p, count, last));
        AnalysisArchive a;
        QVERIFY(a.open(path));
        QCOMPARE(a.count(), count);
        AnalysisRecord r;
        bool end = false;
        int alarms = 0;
        QDate previous;
        while (a.readNext(r, end) && !end) {
            const auto d = settings::parseDate(r.get(AnalysisRecord::Data));
            QVERIFY(d && *d <= last && *d >= last.addYears(-40));
            QVERIFY(!previous.isValid() || *d >= previous);
            previous = *d;
            QCOMPARE(r.get(AnalysisRecord::CodFisc), p.fiscalCode);
            alarms += r.get(AnalysisRecord::Allarme) == kYes;
        }
        QVERIFY(a.close());
        QVERIFY(previous >= last.addYears(-1)); // the history reaches the present
        QVERIFY(alarms > count / 100 && alarms < count / 5);
    }

    void demoFolder()
    {
        QTemporaryDir dir;
        demo::FolderOptions o;
        o.patients = 40;
        o.patientsWithResults = 5;
        o.resultsPerPatient = 12;
        o.today = QDate(2026, 12, 10);
        QVERIFY(demo::writeDemoFolder(dir.path(), o));
        QCOMPARE(QFile(PatientArchivePath(dir.path())).size(), 40 * PatientRecord::kSize);
        const QStringList archives = QDir(dir.filePath(u"Analisi_Cliniche"_s)).entryList({u"*.asl"_s});
        QVERIFY(archives.size() >= 4); // two patients may share a fiscal code
        demo::Generator g;
        QVERIFY(QFile::exists(AnalysisArchivePath(dir.path(), g.patient(0).fiscalCode)));
        const std::optional<QStringList> frequent = readFrequentExams(dir.path());
        QVERIFY(frequent);
        QCOMPARE(frequent->size(), qsizetype(demo::exams().size()));
        QCOMPARE(splitFrequentExamLine(frequent->constFirst()).exam, QString::fromUtf16(demo::exams()[0].name));
    }
};

QTEST_APPLESS_MAIN(TestDemoData)
#include "tst_demodata.moc"
