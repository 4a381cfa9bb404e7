// The logic both cards share: where an arrow leads, how the position label
// is read, saving by rewrite or append with the check for another
// computer's change, and the required fields of each card.
#include "analyses/AnalysisEntry.h"
#include "common/CardLogic.h"
#include "patients/PatientEntry.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <map>

using namespace Qt::StringLiterals;
using namespace clinora;

Q_DECLARE_METATYPE(clinora::BrowseCommand)
Q_DECLARE_METATYPE(clinora::BrowseOutcome)
Q_DECLARE_METATYPE(clinora::SaveOutcome)

namespace {

PatientRecord patient(const QString &name)
{
    PatientRecord r;
    r.set(PatientRecord::Paziente, name);
    return r;
}

// An archive of `names.size()` patients at `path`.
void writeArchive(const QString &path, const QStringList &names)
{
    PatientArchive archive;
    QVERIFY(archive.open(path));
    for (const QString &name : names)
        QVERIFY(archive.append(patient(name)));
    QVERIFY(archive.close());
}

QStringList namesIn(const QString &path)
{
    QStringList names;
    PatientArchive archive;
    if (!archive.open(path, lock::Mode::Shared))
        return {u"<unreadable>"_s};
    for (qint64 k = 1; k <= archive.count(); ++k) {
        PatientRecord r;
        if (!archive.read(k, r))
            return {u"<unreadable>"_s};
        names << r.get(PatientRecord::Paziente);
    }
    (void)archive.close();
    return names;
}

} // namespace

class TestCardLogic : public QObject {
    Q_OBJECT
private slots:
    void browseStep_data()
    {
        QTest::addColumn<BrowseCommand>("command");
        QTest::addColumn<qint64>("position");
        QTest::addColumn<qint64>("count");
        QTest::addColumn<qint64>("target");
        QTest::addColumn<bool>("empty");
        QTest::addColumn<bool>("clearPosition");
        using C = BrowseCommand;
        QTest::newRow("first") << C::First << qint64(3) << qint64(5) << qint64(1) << false << false;
        QTest::newRow("last") << C::Last << qint64(0) << qint64(5) << qint64(5) << false << false;
        QTest::newRow("next") << C::Next << qint64(2) << qint64(5) << qint64(3) << false << false;
        QTest::newRow("next from none") << C::Next << qint64(0) << qint64(5) << qint64(1) << false << false;
        QTest::newRow("next at the last") << C::Next << qint64(5) << qint64(5) << qint64(0) << false << false;
        QTest::newRow("next past the end") << C::Next << qint64(9) << qint64(5) << qint64(0) << false << false;
        QTest::newRow("back") << C::Back << qint64(4) << qint64(5) << qint64(3) << false << false;
        QTest::newRow("back from none") << C::Back << qint64(0) << qint64(5) << qint64(1) << false << false;
        // Past the end: the read of that record fails, as an access error.
        QTest::newRow("back past the end") << C::Back << qint64(9) << qint64(5) << qint64(8) << false << false;
        QTest::newRow("first, empty") << C::First << qint64(0) << qint64(0) << qint64(0) << true << false;
        QTest::newRow("last, empty") << C::Last << qint64(0) << qint64(0) << qint64(0) << true << false;
        QTest::newRow("back, empty") << C::Back << qint64(3) << qint64(0) << qint64(0) << true << false;
        QTest::newRow("next, empty") << C::Next << qint64(3) << qint64(0) << qint64(0) << true << true;
    }
    void browseStep()
    {
        QFETCH(BrowseCommand, command);
        QFETCH(qint64, position);
        QFETCH(qint64, count);
        const BrowseStep step = clinora::browseStep(command, position, count);
        QTEST(step.target, "target");
        QTEST(step.empty, "empty");
        QTEST(step.clearPosition, "clearPosition");
    }

    // -1 in the table: no position to be trusted.
    void positionLabel_data()
    {
        QTest::addColumn<bool>("strict");
        QTest::addColumn<QString>("label");
        QTest::addColumn<qint64>("browse");
        QTest::addColumn<qint64>("save");
        for (const bool strict : {true, false}) {
            const auto row = [strict](const char *name) -> QTestData & {
                return QTest::addRow("%s, %s", strict ? "patient" : "analysis", name) << strict;
            };
            row("blank") << u"  "_s << qint64(0) << qint64(0);
            row("number") << u" 12 "_s << qint64(12) << qint64(12);
            row("zero") << u"0"_s << qint64(0) << (strict ? qint64(-1) : qint64(0));
            row("negative") << u"-3"_s << (strict ? qint64(-1) : qint64(0)) << (strict ? qint64(-1) : qint64(0));
            row("no number") << u"x7"_s << (strict ? qint64(-1) : qint64(0)) << (strict ? qint64(-1) : qint64(0));
        }
    }
    void positionLabel()
    {
        QFETCH(bool, strict);
        QFETCH(QString, label);
        const CardRules rules = strict ? kPatientCardRules : kAnalysisCardRules;
        QTEST(browsePosition(label, rules).value_or(-1), "browse");
        QTEST(savePosition(label, rules).value_or(-1), "save");
    }

    void browseArchive_data()
    {
        QTest::addColumn<bool>("patientCard");
        QTest::addColumn<int>("records"); // -1: an archive out of reach
        QTest::addColumn<BrowseCommand>("command");
        QTest::addColumn<QString>("label");
        QTest::addColumn<BrowseOutcome>("outcome");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<bool>("clearPosition");
        using C = BrowseCommand;
        using O = BrowseOutcome;
        for (const bool patientCard : {true, false}) {
            const auto row = [patientCard](const char *name) -> QTestData & {
                return QTest::addRow("%s, %s", patientCard ? "patient" : "analysis", name) << patientCard;
            };
            row("last") << 3 << C::Last << u""_s << O::Show << u"C"_s << false;
            row("next") << 3 << C::Next << u"1"_s << O::Show << u"B"_s << false;
            row("next at the last") << 3 << C::Next << u"3"_s << O::Stay << u""_s << false;
            row("back") << 3 << C::Back << u"3"_s << O::Show << u"B"_s << false;
            row("back past the end") << 3 << C::Back << u"9"_s << O::AccessError << u""_s << false;
            row("next, empty") << 0 << C::Next << u"2"_s << O::Empty << u""_s << true;
            row("first, empty") << 0 << C::First << u""_s << O::Empty << u""_s << false;
            row("first, out of reach") << -1 << C::First << u""_s << O::AccessError << u""_s << false;
            row("back on the first") << 3 << C::Back << u"1"_s << O::Stay << u""_s << false;
            // The two cards' differences.
            row("back on the first, out of reach")
                << -1 << C::Back << u" 1"_s << (patientCard ? O::Stay : O::AccessError) << u""_s << false;
            row("next from a label without a number")
                << 3 << C::Next << u"n."_s << (patientCard ? O::AccessError : O::Show)
                << (patientCard ? u""_s : u"A"_s) << false;
        }
    }
    void browseArchive()
    {
        QFETCH(bool, patientCard);
        QFETCH(int, records);
        QFETCH(BrowseCommand, command);
        QFETCH(QString, label);
        QTemporaryDir dir;
        QString path = dir.filePath(u"Pazienti.pro"_s);
        if (records < 0)
            path = dir.filePath(u"manca/Pazienti.pro"_s); // a folder that is not there
        else
            writeArchive(path, QStringList{u"A"_s, u"B"_s, u"C"_s}.mid(0, records));
        const Browsed<PatientRecord> step = clinora::browseArchive<PatientRecord>(
            path, command, label, patientCard ? kPatientCardRules : kAnalysisCardRules);
        QTEST(step.outcome, "outcome");
        QTEST(step.clearPosition, "clearPosition");
        QFETCH(QString, shown);
        if (step.outcome == BrowseOutcome::Show) {
            QCOMPARE(step.record.get(PatientRecord::Paziente), shown);
            QCOMPARE(step.number, qint64(shown.at(0).unicode() - u'A' + 1));
        }
    }

    // A new card goes after the last record; a stored one over its own.
    void saveAppendsOrRewrites()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"Pazienti.pro"_s);
        LoadedRecord loaded;
        int asked = 0;
        QList<qint64> told;
        const auto confirm = [&asked] { return ++asked, true; };
        const auto stored = [&told](qint64 n) { told << n; };

        QCOMPARE(saveToArchive(path, 0, patient(u"A"_s), loaded, confirm, stored), SaveOutcome::Appended);
        QCOMPARE(saveToArchive(path, 0, patient(u"B"_s), loaded, confirm, stored), SaveOutcome::Appended);
        QCOMPARE(told, (QList<qint64>{1, 2}));
        QCOMPARE(loaded.number, qint64(2));
        QCOMPARE(saveToArchive(path, 1, patient(u"A2"_s), loaded, confirm, stored), SaveOutcome::Rewritten);
        QCOMPARE(told.last(), qint64(1));
        QCOMPARE(namesIn(path), (QStringList{u"A2"_s, u"B"_s}));
        QCOMPARE(loaded.bytes, patient(u"A2"_s).bytes());
        QCOMPARE(asked, 0); // the card read nothing else of record 1

        // Out of reach: nothing told, nothing remembered.
        LoadedRecord none;
        told.clear();
        QCOMPARE(saveToArchive(dir.filePath(u"manca/Pazienti.pro"_s), 0, patient(u"C"_s), none, confirm, stored),
                 SaveOutcome::AccessError);
        QVERIFY(told.isEmpty());
        QCOMPARE(none.number, qint64(0));
    }

    // The card read record 2 as "B"; another computer then saved "B (altro)".
    void saveChecksForAnotherComputer_data()
    {
        QTest::addColumn<QString>("onDisk");
        QTest::addColumn<bool>("answer");
        QTest::addColumn<int>("asked");
        QTest::addColumn<SaveOutcome>("outcome");
        QTest::addColumn<QString>("result");
        QTest::newRow("unchanged") << u"B"_s << false << 0 << SaveOutcome::Rewritten << u"B mio"_s;
        QTest::newRow("already this save") << u"B mio"_s << false << 0 << SaveOutcome::Rewritten << u"B mio"_s;
        QTest::newRow("changed, overwrite") << u"B altro"_s << true << 1 << SaveOutcome::Rewritten << u"B mio"_s;
        QTest::newRow("changed, keep") << u"B altro"_s << false << 1 << SaveOutcome::Declined << u"B altro"_s;
    }
    void saveChecksForAnotherComputer()
    {
        QFETCH(QString, onDisk);
        QFETCH(bool, answer);
        QTemporaryDir dir;
        const QString path = dir.filePath(u"Pazienti.pro"_s);
        writeArchive(path, {u"A"_s, onDisk});
        LoadedRecord loaded;
        loaded.remember(path, 2, patient(u"B"_s).bytes());
        int asked = 0;
        const SaveOutcome outcome = saveToArchive(
            path, 2, patient(u"B mio"_s), loaded,
            [&] {
                ++asked;
                return answer;
            },
            [](qint64) {});
        QTEST(asked, "asked");
        QTEST(outcome, "outcome");
        QFETCH(QString, result);
        QCOMPARE(namesIn(path), (QStringList{u"A"_s, result}));
        // Kept: what the card read. Saved: what it wrote.
        QCOMPARE(loaded.bytes, patient(outcome == SaveOutcome::Declined ? u"B"_s : u"B mio"_s).bytes());
    }

    // While the question is open the archive is free (the other computer is
    // not kept waiting), and a save made there meanwhile is asked about in
    // turn after "Sì": never overwritten unseen.
    void overwriteQuestionLeavesArchiveFreeAndAsksAgain()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"Pazienti.pro"_s);
        writeArchive(path, {u"A"_s, u"B altro"_s});
        LoadedRecord loaded;
        loaded.remember(path, 2, patient(u"B"_s).bytes());
        lock::setWaitLimit(std::chrono::milliseconds(100));
        QList<lock::Outcome> freeWhileAsking;
        int asked = 0;
        const SaveOutcome outcome = saveToArchive(
            path, 2, patient(u"B mio"_s), loaded,
            [&] {
                ++asked;
                // Another computer saves the record while the first question is open.
                {
                    lock::FileLock other;
                    freeWhileAsking << other.acquire(path, lock::Mode::Exclusive);
                }
                if (asked == 1) {
                    RecordArchive<PatientRecord> archive;
                    const bool saved = archive.open(path) && archive.write(2, patient(u"B terzo"_s));
                    const bool closed = archive.close().ok();
                    if (!saved || !closed)
                        return false;
                }
                return asked == 1; // yes to the first, no to the second
            },
            [](qint64) {});
        lock::setWaitLimit(std::chrono::milliseconds(2000));
        QCOMPARE(freeWhileAsking, (QList<lock::Outcome>{lock::Outcome::Locked, lock::Outcome::Locked}));
        QCOMPARE(asked, 2);
        QCOMPARE(outcome, SaveOutcome::Declined);
        QCOMPARE(namesIn(path), (QStringList{u"A"_s, u"B terzo"_s}));
    }

    // Each card's table, in its order: the first rule unmet is reported.
    void requiredFields_data()
    {
        QTest::addColumn<bool>("patientCard");
        QTest::addColumn<QStringList>("texts"); // the fields of the table, in its order
        QTest::addColumn<int>("unmet");         // index in the table; -1: none
        const QString code = u"RSSMRA80A01H501U"_s;
        QTest::newRow("patient, empty") << true << QStringList{u""_s, u""_s, u""_s, u""_s} << 0;
        QTest::newRow("patient, blanks only") << true << QStringList{u" \t"_s, u"0"_s, code, code} << 0;
        QTest::newRow("patient, no phone") << true << QStringList{u"Rossi"_s, u" "_s, code, code} << 1;
        QTest::newRow("patient, no code") << true << QStringList{u"Rossi"_s, u"0"_s, u""_s, u""_s} << 2;
        QTest::newRow("patient, short code") << true << QStringList{u"Rossi"_s, u"0"_s, u"RSS"_s, u"RSS"_s} << 3;
        // Counted as typed: an outer blank makes the code 17 characters long.
        QTest::newRow("patient, code and a blank")
            << true << QStringList{u"Rossi"_s, u"0"_s, code + u' ', code + u' '} << 3;
        QTest::newRow("patient, complete") << true << QStringList{u"Rossi"_s, u"0"_s, code, code} << -1;
        const QStringList full{u"7"_s, u"01/02/2024"_s, u"01/02/2024"_s, u"Glicemia"_s, u"90"_s, u"NELLA NORMA"_s};
        QTest::newRow("analysis, complete") << false << full << -1;
        for (int i = 0; i < int(full.size()); ++i) {
            QStringList missing = full;
            missing[i] = u" "_s;
            QTest::addRow("analysis, blank %d", i) << false << missing << i;
        }
        QStringList twoMissing = full;
        twoMissing[4] = twoMissing[1] = QString();
        QTest::newRow("analysis, the first missing") << false << twoMissing << 1;
    }
    void requiredFields()
    {
        QFETCH(bool, patientCard);
        QFETCH(QStringList, texts);
        QFETCH(int, unmet);
        if (patientCard) {
            // The code is asked twice (present, then its length): one text serves both.
            std::map<PatientRecord::Field, QString> typed;
            for (int i = 0; i < int(kPatientRequiredFields.size()); ++i)
                typed[kPatientRequiredFields[i].field] = texts.at(i);
            const auto *found = firstUnmet(kPatientRequiredFields, [&](PatientRecord::Field f) { return typed[f]; });
            QCOMPARE(found ? int(found - kPatientRequiredFields.data()) : -1, unmet);
        } else {
            AnalysisRecord r;
            for (int i = 0; i < int(kAnalysisRequiredFields.size()); ++i)
                r.set(kAnalysisRequiredFields[i].field, texts.at(i));
            const auto *found = firstMissingField(r);
            QCOMPARE(found ? int(found - kAnalysisRequiredFields.data()) : -1, unmet);
        }
    }
};

QTEST_GUILESS_MAIN(TestCardLogic)
#include "tst_cardlogic.moc"
