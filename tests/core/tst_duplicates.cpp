// Looking for a stored patient that a new card repeats, over an archive
// large enough to be read in two halves side by side.
#include "common/RecordScan.h"
#include "patients/PatientDuplicates.h"

#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace clinora;

namespace {

PatientRecord patient(int k)
{
    PatientRecord r;
    r.set(PatientRecord::Paziente, u"PAZIENTE %1"_s.arg(k));
    r.set(PatientRecord::DataNasc, u"01/01/1950"_s);
    r.set(PatientRecord::CodFisc, u"CF%1"_s.arg(k, 14, 10, QChar(u'0')));
    return r;
}

} // namespace

class TestDuplicates : public QObject {
    Q_OBJECT
private slots:
    void find_data()
    {
        QTest::addColumn<QList<int>>("sameCodeAt");  // stored copies of the card's code
        QTest::addColumn<QList<int>>("sameNameAt");  // stored copies of its name and birth date
        QTest::addColumn<QString>("cardDate");
        QTest::addColumn<qint64>("code");
        QTest::addColumn<qint64>("name");
        QTest::newRow("none") << QList<int>{} << QList<int>{} << u"02/02/1960"_s << qint64(0) << qint64(0);
        QTest::newRow("second half only") << QList<int>{1150, 1100} << QList<int>{} << u"02/02/1960"_s
                                          << qint64(1100) << qint64(0);
        QTest::newRow("both halves: the first") << QList<int>{1100, 300} << QList<int>{1199, 2}
                                                << u"02/02/1960"_s << qint64(300) << qint64(2);
        // The same day written another way is the same birth date.
        QTest::newRow("date written otherwise") << QList<int>{} << QList<int>{700} << u" 2/2/1960"_s << qint64(0)
                                                << qint64(700);
        QTest::newRow("no birth date on the card") << QList<int>{} << QList<int>{700} << QString() << qint64(0)
                                                   << qint64(0);
    }
    void find()
    {
        QFETCH(QList<int>, sameCodeAt);
        QFETCH(QList<int>, sameNameAt);
        QFETCH(QString, cardDate);
        QFETCH(qint64, code);
        QFETCH(qint64, name);
        QTemporaryDir dir;
        const QString path = PatientArchivePath(dir.path());
        constexpr int kCount = 1200;
        static_assert(qint64(kCount) * PatientRecord::kSize >= kScanSplitBytes);
        PatientArchive a;
        QVERIFY(a.open(path));
        for (int k = 1; k <= kCount; ++k) {
            PatientRecord r = patient(k);
            if (sameCodeAt.contains(k))
                r.set(PatientRecord::CodFisc, u"rssmra85t10a562s"_s);
            if (sameNameAt.contains(k)) {
                r.set(PatientRecord::Paziente, u"De  Rossi Maria"_s);
                r.set(PatientRecord::DataNasc, u"02/02/1960"_s);
            }
            QVERIFY(a.append(r));
        }
        QVERIFY(a.close());

        PatientRecord card;
        card.set(PatientRecord::Paziente, u" DE ROSSI MARIA "_s);
        card.set(PatientRecord::DataNasc, cardDate);
        card.set(PatientRecord::CodFisc, u"RSSMRA85T10A562S"_s);
        const PatientDuplicates found = findPatientDuplicates(path, card);
        QVERIFY(found.result);
        QCOMPARE(found.sameCode, code);
        QCOMPARE(found.sameNameAndBirth, name);
    }

    void unreadableArchive()
    {
        // A path under a regular file cannot be opened, even by root.
        QTemporaryDir dir;
        QFile plain(dir.filePath(u"file"_s));
        QVERIFY(plain.open(QIODevice::WriteOnly));
        plain.close();
        PatientRecord card;
        card.set(PatientRecord::CodFisc, u"RSSMRA85T10A562S"_s);
        QVERIFY(!findPatientDuplicates(dir.filePath(u"file/Pazienti.pro"_s), card).result);
    }
};

QTEST_GUILESS_MAIN(TestDuplicates)
#include "tst_duplicates.moc"
