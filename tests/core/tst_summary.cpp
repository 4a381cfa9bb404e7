// The results summary without its screens: the ten checks of the criteria,
// the interval and exam tests over an archive, and the reading of results
// and reference ranges as numbers for the trend.
#include "analyses/AnalysisEntry.h"
#include "analyses/AnalysisRecord.h"
#include "analyses/ResultLine.h"
#include "common/CommonSettings.h"
#include "common/FileIo.h"
#include "summary/SummaryCriteria.h"
#include "summary/SummaryList.h"
#include "analyses/ReferenceRange.h"
#include "summary/Trend.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace clinora;
using namespace clinora::summary;

namespace {

const QString kCode = u"RSSNCC80A01H501U"_s;
const QString kBreak2 = u"\n\r\n\r"_s;

struct Result {
    QString data, esame, risultato = u"100"_s, rife = u"70-110"_s, um = u"mg/dl"_s;
    bool alarm = false;
    QString code = kCode;
};

AnalysisRecord record(const Result &r)
{
    AnalysisRecord rec;
    rec.set(AnalysisRecord::Paziente, u"Rossi Niccolò"_s);
    rec.set(AnalysisRecord::CodFisc, r.code);
    rec.set(AnalysisRecord::NumRef, u"R1"_s);
    rec.set(AnalysisRecord::DataRef, r.data);
    rec.set(AnalysisRecord::Data, r.data);
    rec.set(AnalysisRecord::Esame, r.esame);
    rec.set(AnalysisRecord::Risultato, r.risultato);
    rec.set(AnalysisRecord::UM, r.um);
    rec.set(AnalysisRecord::Rife, r.rife);
    rec.set(AnalysisRecord::Esito, u"NELLA NORMA"_s);
    setAlarmMark(rec, r.alarm);
    return rec;
}

QString writeArchive(const QTemporaryDir &dir, const QList<Result> &results)
{
    const QString path = AnalysisArchivePath(dir.path(), kCode);
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        qFatal("cannot write the archive");
    for (const Result &r : results)
        f.write(record(r).bytes());
    return path;
}

QDate d(const char *text) { return QDate::fromString(QString::fromLatin1(text), u"dd/MM/yyyy"_s); }

// The sample dates of the lines, in list order.
QStringList datesOf(const QStringList &lines)
{
    QStringList out;
    for (const QString &l : lines)
        out << l.mid(l.indexOf(u"Data: "_s) + 6, 10);
    return out;
}

QStringList examsOf(const QStringList &lines)
{
    QStringList out;
    for (const QString &l : lines)
        out << l.mid(l.indexOf(u"Data: "_s) + 6 + 10 + 2, 28).trimmed();
    return out;
}

class FailOpen : public io::FaultHook {
public:
    FailOpen() { io::setFaultHook(this); }
    ~FailOpen() override { io::setFaultHook(nullptr); }
    bool shouldFail(io::Op op, const QString &) override { return op == io::Op::Open; }
};

} // namespace

Q_DECLARE_METATYPE(clinora::summary::Field)
Q_DECLARE_METATYPE(clinora::summary::Box)

class TestSummary : public QObject {
    Q_OBJECT
private slots:
    // ---- The criteria --------------------------------------------------------------------------

    void checks_data()
    {
        QTest::addColumn<QStringList>("input"); // anno, code, start day, start month, end day, end month
        QTest::addColumn<int>("step");
        QTest::addColumn<QString>("message");
        QTest::addColumn<Box>("box");
        QTest::addColumn<Field>("focus");
        QTest::addColumn<QString>("dataInizio");
        QTest::addColumn<QString>("dataFine");

        const QString code = kCode;
        const auto row = [](const char *name) -> QTestData & { return QTest::newRow(name); };
        const QString notADay = u"Per poter visualizzare il riepilogo è necessario indicare una data valida."_s;

        row("year of three digits") << QStringList{u"202"_s, code, u"01"_s, u"Marzo"_s, u"31"_s, u"Marzo"_s} << 1
                                    << u"Attenzione: indicare l'anno solare utilizzando quattro cifre."_s
                                    << Box::Warning << Field::Anno << QString() << QString();
        row("no fiscal code") << QStringList{u"2024"_s, QString(), u"01"_s, u"Marzo"_s, u"31"_s, u"Marzo"_s} << 2
                              << u"Attenzione: indicare il codice fiscale del paziente."_s << Box::Warning
                              << Field::CodFisc << QString() << QString();
        row("fiscal code of blanks") << QStringList{u"2024"_s, u"   "_s, u"01"_s, u"Marzo"_s, u"31"_s, u"Marzo"_s}
                                     << 2 << u"Attenzione: indicare il codice fiscale del paziente."_s
                                     << Box::Warning << Field::CodFisc << QString() << QString();
        row("fiscal code of 15") << QStringList{u"2024"_s, code.left(15), u"01"_s, u"Marzo"_s, u"31"_s, u"Marzo"_s}
                                 << 3
                                 << u"Attenzione: indicare il codice fiscale del paziente utilizzando 16 caratteri "
                                    u"alfanumerici."_s
                                 << Box::Warning << Field::CodFisc << QString() << QString();
        row("no start day") << QStringList{u"2024"_s, code, u" "_s, u"Marzo"_s, u"31"_s, u"Marzo"_s} << 4
                            << u"Attenzione: indicare il giorno di inizio intervallo selezionandolo dall'elenco a "
                               u"cascata."_s
                            << Box::Warning << Field::GiornoInizio << QString() << QString();
        row("no start month") << QStringList{u"2024"_s, code, u"01"_s, QString(), u"31"_s, u"Marzo"_s} << 5
                              << u"Attenzione: indicare il mese di inizio intervallo selezionandolo dall'elenco a "
                                 u"cascata."_s
                              << Box::Warning << Field::MeseInizio << QString() << QString();
        row("no end day") << QStringList{u"2024"_s, code, u"01"_s, u"Marzo"_s, QString(), u"Marzo"_s} << 6
                          << u"Attenzione: indicare il giorno di fine intervallo selezionandolo dall'elenco a "
                             u"cascata."_s
                          << Box::Warning << Field::GiornoFine << QString() << QString();
        row("no end month") << QStringList{u"2024"_s, code, u"01"_s, u"Marzo"_s, u"31"_s, QString()} << 7
                            << u"Attenzione: indicare il mese di fine intervallo selezionandolo dall'elenco a "
                               u"cascata."_s
                            << Box::Warning << Field::MeseFine << QString() << QString();
        row("31 April does not exist") << QStringList{u"2024"_s, code, u"31"_s, u"Aprile"_s, u"31"_s, u"Maggio"_s}
                                       << 8
                                       << u"Attenzione: la data 31/04/2024 di inizio intervallo non esiste."_s
                                              + kBreak2 + notADay
                                       << Box::Plain << Field::GiornoInizio << u"31/04/2024"_s << QString();
        row("29 February 2023 does not exist")
            << QStringList{u"2023"_s, code, u"01"_s, u"Febbraio"_s, u"29"_s, u"Febbraio"_s} << 9
            << u"Attenzione: la data 29/02/2023 di fine intervallo non esiste."_s + kBreak2 + notADay << Box::Plain
            << Field::GiornoFine << u"01/02/2023"_s << u"29/02/2023"_s;
        row("reversed interval") << QStringList{u"2024"_s, code, u"15"_s, u"Marzo"_s, u"01"_s, u"Marzo"_s} << 10
                                 << u"Attenzione: la data di fine intervallo (01/03/2024) non può essere anteriore a "
                                    u"quella di inizio intervallo (15/03/2024)."_s
                                        + kBreak2
                                        + u"Per poter visualizzare il riepilogo è necessario indicare un intervallo "
                                          u"di tempo valido."_s
                                 << Box::Plain << Field::None << u"15/03/2024"_s << u"01/03/2024"_s;
        row("29 February of a leap year") << QStringList{u"2024"_s, code, u"29"_s, u"Febbraio"_s, u"31"_s,
                                                         u"Dicembre"_s}
                                          << 0 << QString() << Box::Warning << Field::None << u"29/02/2024"_s
                                          << u"31/12/2024"_s;
        row("one day") << QStringList{u"2024"_s, code, u"05"_s, u"Marzo"_s, u"05"_s, u"Marzo"_s} << 0 << QString()
                       << Box::Warning << Field::None << u"05/03/2024"_s << u"05/03/2024"_s;
        row("month names in any case") << QStringList{u"2024"_s, code, u"01"_s, u" gennaio "_s, u"02"_s, u"MARZO"_s}
                                       << 0 << QString() << Box::Warning << Field::None << u"01/01/2024"_s
                                       << u"02/03/2024"_s;
        row("a month that is none") << QStringList{u"2024"_s, code, u"01"_s, u"Marzolino"_s, u"02"_s, u"Marzo"_s}
                                    << 8
                                    << u"Attenzione: la data 01//2024 di inizio intervallo non esiste."_s + kBreak2
                                           + notADay
                                    << Box::Plain << Field::GiornoInizio << u"01//2024"_s << QString();
    }

    void checks()
    {
        QFETCH(QStringList, input);
        QFETCH(int, step);
        QFETCH(QString, message);
        QFETCH(Box, box);
        QFETCH(Field, focus);
        QFETCH(QString, dataInizio);
        QFETCH(QString, dataFine);

        // The year labels follow txtAnno, trimmed.
        const CriteriaInput in{input[0], input[1], input[2], input[3], input[4], input[5], input[0].trimmed(),
                               input[0].trimmed()};
        const CriteriaCheck c = checkCriteria(in);
        QCOMPARE(c.step, step);
        QCOMPARE(c.message, message);
        if (step != 0) {
            QCOMPARE(c.box, box);
            QCOMPARE(c.focus, focus);
        } else {
            QVERIFY(c.passed());
            QCOMPARE(c.start, settings::parseDate(dataInizio).value());
            QCOMPARE(c.end, settings::parseDate(dataFine).value());
        }
        QCOMPARE(c.dataInizio, dataInizio);
        QCOMPARE(c.dataFine, dataFine);
    }

    void datesTakeTheYearOfTheirLabels()
    {
        // The year typed is what the labels show; the dates are built from the labels.
        const CriteriaCheck c =
            checkCriteria({u"2025"_s, kCode, u"01"_s, u"Marzo"_s, u"31"_s, u"Marzo"_s, u" 2025 "_s, u"2025"_s});
        QVERIFY(c.passed());
        QCOMPARE(c.dataInizio, u"01/03/2025"_s);
        QCOMPARE(c.end, QDate(2025, 3, 31));
    }

    void listValues()
    {
        QCOMPARE(dayNames().size(), 31);
        QCOMPARE(dayNames().first(), u"01"_s);
        QCOMPARE(dayNames().last(), u"31"_s);
        QVERIFY(isDayName(u" 07 "));
        QVERIFY(!isDayName(u"7"));
        QVERIFY(!isDayName(u"32"));
        QCOMPARE(monthNames().size(), 12);
        QCOMPARE(monthNumber(u"Settembre"), 9);
        QCOMPARE(monthNumber(u"settembre "), 9);
        QCOMPARE(monthNumber(u"Sett"), 0);
        QCOMPARE(intervalDate(u"05", u"Marzo", u"2024"), u"05/03/2024"_s);
    }

    // ---- Building the list ---------------------------------------------------------------------

    void intervalIncludesBothEnds()
    {
        QTemporaryDir dir;
        const QString path = writeArchive(dir, {
                                                   {u"01/04/2024"_s, u"Glicemia"_s},
                                                   {u"31/03/2024"_s, u"Glicemia"_s},
                                                   {u"15/03/2023"_s, u"Glicemia"_s}, // a year before
                                                   {u"01/02/2024"_s, u"Glicemia"_s},
                                                   {u"31/01/2024"_s, u"Glicemia"_s},
                                                   {u"20/03/2024"_s, u"Azotemia"_s},
                                                   {u"20/03/2024"_s, u"Albumina"_s},
                                               });
        SummaryList list;
        QVERIFY(buildSummary(path, {kCode, QString(), d("01/02/2024"), d("31/03/2024")}, list).ok());
        QCOMPARE(datesOf(list.lines),
                 (QStringList{u"01/02/2024"_s, u"20/03/2024"_s, u"20/03/2024"_s, u"31/03/2024"_s}));
        // Lines of the same day follow the rest of the line: the exam.
        QCOMPARE(examsOf(list.lines).mid(1, 2), (QStringList{u"Albumina"_s, u"Azotemia"_s}));
        QCOMPARE(list.lines.first(), resultLine(record({u"01/02/2024"_s, u"Glicemia"_s})));
        QCOMPARE(list.entries.size(), 4);
        QCOMPARE(list.undated, 0);

        QVERIFY(inInterval(u"01/02/2024", d("01/02/2024"), d("01/02/2024")));
        QVERIFY(!inInterval(u"15/03/2023", d("01/01/2024"), d("31/12/2024")));
        QVERIFY(!inInterval(u"", d("01/01/2024"), d("31/12/2024")));
    }

    void examCriterion_data()
    {
        QTest::addColumn<QString>("esame");
        QTest::addColumn<QStringList>("listed");
        const QStringList all{u"Colesterolo totale"_s, u"Emoglobina GLICATA"_s, u"Glicemia"_s};
        QTest::newRow("none") << QString() << all;
        QTest::newRow("blanks only") << u"   "_s << all;
        QTest::newRow("glic") << u"glic"_s << QStringList{u"Emoglobina GLICATA"_s, u"Glicemia"_s};
        // As typed, not trimmed: a leading blank must stand before the word.
        QTest::newRow("leading blank") << u" glic"_s << QStringList{u"Emoglobina GLICATA"_s};
        QTest::newRow("nothing") << u"ferritina"_s << QStringList{};
    }

    void examCriterion()
    {
        QFETCH(QString, esame);
        QFETCH(QStringList, listed);
        QTemporaryDir dir;
        const QString path = writeArchive(dir, {
                                                   {u"10/05/2024"_s, u"Glicemia"_s},
                                                   {u"10/05/2024"_s, u"Emoglobina GLICATA"_s},
                                                   {u"10/05/2024"_s, u"Colesterolo totale"_s},
                                               });
        SummaryList list;
        QVERIFY(buildSummary(path, {kCode, esame, d("01/01/2024"), d("31/12/2024")}, list).ok());
        QCOMPARE(examsOf(list.lines), listed);
    }

    void fiscalCodeWithoutRegardToCase()
    {
        QTemporaryDir dir;
        Result lower{u"10/05/2024"_s, u"Glicemia"_s};
        lower.code = kCode.toLower();
        Result other{u"11/05/2024"_s, u"Azotemia"_s};
        other.code = u"VRDLCU70B02F205X"_s;
        const QString path = writeArchive(dir, {lower, other});
        SummaryList list;
        QVERIFY(buildSummary(path, {kCode, QString(), d("01/01/2024"), d("31/12/2024")}, list).ok());
        QCOMPARE(examsOf(list.lines), QStringList{u"Glicemia"_s});
    }

    // A sample date that is no date is left out and the reading goes on: the
    // total always equals the lines listed.
    void damagedDatesAreSkipped()
    {
        QTemporaryDir dir;
        const QString path = writeArchive(dir, {
                                                   {u"10/03/2024"_s, u"Glicemia"_s},
                                                   {u"31/02/2024"_s, u"Glicemia"_s},
                                                   {QString(), u"Glicemia"_s},
                                                   {u"2024-03-12"_s, u"Glicemia"_s},
                                                   {u"12/03/2024"_s, u"Azotemia"_s},
                                                   {u"1x/03/2024"_s, u"Ferritina"_s}, // another exam: not counted
                                               });
        SummaryList list;
        QVERIFY(buildSummary(path, {kCode, u"emia"_s, d("01/01/2024"), d("31/12/2024")}, list).ok());
        QCOMPARE(datesOf(list.lines), (QStringList{u"10/03/2024"_s, u"12/03/2024"_s}));
        QCOMPARE(list.entries.size(), list.lines.size());
        QCOMPARE(list.undated, 3);
    }

    void missingArchiveIsCreatedEmpty()
    {
        QTemporaryDir dir;
        QDir().mkpath(dir.filePath(u"Analisi_Cliniche"_s));
        const QString path = AnalysisArchivePath(dir.path(), kCode);
        SummaryList list;
        QVERIFY(buildSummary(path, {kCode, QString(), d("01/01/2024"), d("31/12/2024")}, list).ok());
        QVERIFY(list.lines.isEmpty());
        QVERIFY(QFileInfo::exists(path));
        QCOMPARE(QFileInfo(path).size(), 0);
    }

    void archiveThatCannotBeOpened()
    {
        QTemporaryDir dir;
        const QString path = writeArchive(dir, {{u"10/03/2024"_s, u"Glicemia"_s}});
        SummaryList list;
        {
            FailOpen fail;
            QVERIFY(!buildSummary(path, {kCode, QString(), d("01/01/2024"), d("31/12/2024")}, list).ok());
        }
        QVERIFY(list.lines.isEmpty());
        QVERIFY(!buildSummary(QString(), {kCode, QString(), d("01/01/2024"), d("31/12/2024")}, list).ok());
    }

    // ---- Numbers for the trend -----------------------------------------------------------------

    void resultValues_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("numeric");
        QTest::addColumn<double>("value");
        QTest::newRow("decimal comma") << u"12,5"_s << true << 12.5;
        QTest::newRow("blanks around") << u" 7 "_s << true << 7.0;
        QTest::newRow("negative") << u"-0,25"_s << true << -0.25;
        QTest::newRow("below a limit") << u"<5"_s << false << 0.0;
        QTest::newRow("words") << u"neg."_s << false << 0.0;
        // Laboratory reports print either separator; the chart takes both.
        QTest::newRow("decimal point") << u"12.5"_s << true << 12.5;
        QTest::newRow("decimal point, blanks") << u" 5.4 "_s << true << 5.4;
        QTest::newRow("decimal point, three decimals below 1") << u"0.125"_s << true << 0.125;
        QTest::newRow("negative, decimal point") << u"-0.25"_s << true << -0.25;
        // Thousands or decimals? Left out rather than drawn a thousand times off.
        QTest::newRow("thousands") << u"250.000"_s << false << 0.0;
        QTest::newRow("thousands or three decimals") << u"6.500"_s << false << 0.0;
        QTest::newRow("both separators") << u"1.250,5"_s << false << 0.0;
        QTest::newRow("two points") << u"1.2.3"_s << false << 0.0;
        QTest::newRow("point alone") << u"."_s << false << 0.0;
        QTest::newRow("with its unit") << u"7 mg/dl"_s << false << 0.0;
        QTest::newRow("empty") << QString() << false << 0.0;
    }

    void resultValues()
    {
        QFETCH(QString, text);
        QFETCH(bool, numeric);
        QFETCH(double, value);
        const std::optional<double> v = resultValue(text);
        QCOMPARE(v.has_value(), numeric);
        if (numeric)
            QCOMPARE(*v, value);
    }

    void referenceRanges_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("reads");
        QTest::addColumn<QVariant>("low");  // invalid: open
        QTest::addColumn<QVariant>("high"); // invalid: open
        const QVariant open;
        QTest::newRow("low-high") << u"70-110"_s << true << QVariant(70.0) << QVariant(110.0);
        QTest::newRow("blanks around the dash") << u"70 - 110"_s << true << QVariant(70.0) << QVariant(110.0);
        QTest::newRow("decimals") << u"0,6-1,2"_s << true << QVariant(0.6) << QVariant(1.2);
        QTest::newRow("decimal points") << u"3.5-5.1"_s << true << QVariant(3.5) << QVariant(5.1);
        QTest::newRow("below, decimal point") << u"<0.5"_s << true << open << QVariant(0.5);
        QTest::newRow("en dash") << u"3,5\u20135"_s << true << QVariant(3.5) << QVariant(5.0);
        QTest::newRow("negative low") << u"-5-5"_s << true << QVariant(-5.0) << QVariant(5.0);
        QTest::newRow("below") << u"<200"_s << true << open << QVariant(200.0);
        QTest::newRow("up to") << u"<= 5"_s << true << open << QVariant(5.0);
        QTest::newRow("above") << u">40"_s << true << QVariant(40.0) << open;
        QTest::newRow("reversed") << u"110-70"_s << false << open << open;
        QTest::newRow("one number") << u"12,5"_s << false << open << open;
        QTest::newRow("words") << u"neg."_s << false << open << open;
        QTest::newRow("absent") << u"assenti"_s << false << open << open;
        QTest::newRow("half a range") << u"70-"_s << false << open << open;
        QTest::newRow("a unit after it") << u"70-110 mg/dl"_s << true << QVariant(70.0) << QVariant(110.0);
        QTest::newRow("a note after it") << u"70-110 vedi nota"_s << false << open << open;
        QTest::newRow("another unit") << u"3,9-6,1 mmol/l"_s << false << open << open;
        QTest::newRow("empty") << QString() << false << open << open;
    }

    void referenceRanges()
    {
        QFETCH(QString, text);
        QFETCH(bool, reads);
        QFETCH(QVariant, low);
        QFETCH(QVariant, high);
        const std::optional<ReferenceRange> r = referenceRange(text, u"mg/dl");
        QCOMPARE(r.has_value(), reads);
        if (!reads)
            return;
        QCOMPARE(r->low.has_value(), low.isValid());
        QCOMPARE(r->high.has_value(), high.isValid());
        if (low.isValid())
            QCOMPARE(*r->low, low.toDouble());
        if (high.isValid())
            QCOMPARE(*r->high, high.toDouble());
    }

    void trendsGroupByExamAndUnit()
    {
        const auto entry = [](const char *date, const QString &exam, const QString &result, const QString &um,
                              const QString &rife, bool alarm = false) {
            SummaryEntry e;
            e.date = d(date);
            e.fields = {QString::fromLatin1(date), exam, result, um, rife, u"NELLA NORMA"_s};
            e.alarming = alarm;
            return e;
        };
        const QList<SummaryEntry> entries{
            entry("20/05/2024", u"Glicemia"_s, u"128"_s, u"mg/dl"_s, u"60-100"_s, true),
            entry("10/01/2024", u"Glicemia"_s, u"95"_s, u"mg/dl"_s, u"70-110"_s),
            entry("15/02/2024", u"GLICEMIA"_s, u"102,5"_s, u"MG/DL"_s, u"70-110"_s),
            entry("01/03/2024", u"Glicemia"_s, u"neg."_s, u"mg/dl"_s, u"70-110"_s),
            entry("10/04/2024", u"Glicemia"_s, u"99"_s, u"mg/dl"_s, QString()),
            entry("10/04/2024", u"Glicemia"_s, u"5,4"_s, u"mmol/l"_s, u"3,9-5,6"_s),
            entry("12/04/2024", u"Glicemia"_s, u"5,6"_s, u"mmol/l"_s, u"70-110 mg/dl"_s),
            entry("10/04/2024", u"Urine: proteine"_s, u"assenti"_s, QString(), QString()),
        };
        const TrendSet set = buildTrends(entries);
        QCOMPARE(set.nonNumeric, 2);
        QCOMPARE(set.exams.size(), 2); // the urine test has no number: no trend

        const ExamTrend &mg = set.exams[0];
        QCOMPARE(mg.exam, u"Glicemia"_s); // as first written, in date order
        QCOMPARE(mg.unit, u"mg/dl"_s);
        QCOMPARE(mg.nonNumeric, 1);
        QCOMPARE(mg.points.size(), 4);
        QList<double> values;
        for (const TrendPoint &p : mg.points)
            values << p.value;
        QCOMPARE(values, (QList<double>{95, 102.5, 99, 128}));
        QVERIFY(mg.points.last().alarming);
        QVERIFY(!mg.points.first().alarming);
        QCOMPARE(mg.points[1].result, u"102,5"_s);

        // Each run of results has the range they were given; a result without
        // one has none: the range before it does not carry over.
        const QList<RangeStep> steps = mg.rangeSteps();
        QCOMPARE(steps.size(), 3);
        QCOMPARE(steps[0].from, d("10/01/2024"));
        QCOMPARE(steps[0].to, d("15/02/2024"));
        QCOMPARE(steps[0].range, (ReferenceRange{70.0, 110.0}));
        QCOMPARE(steps[1].from, d("10/04/2024"));
        QVERIFY(!steps[1].range);
        QCOMPARE(steps[2].from, d("20/05/2024"));
        QCOMPARE(steps[2].range, (ReferenceRange{60.0, 100.0}));

        QCOMPARE(set.exams[1].unit, u"mmol/l"_s);
        QCOMPARE(set.exams[1].points.size(), 2);
        // A range written in another unit than the result is no range for it.
        QVERIFY(!set.exams[1].points[1].range);
        QCOMPARE(set.exams[1].rangeSteps().size(), 2);
        // No range that reads anywhere: no steps at all.
        QVERIFY(buildTrends({entry("10/01/2024", u"Sodio"_s, u"140"_s, QString(), u"135 - 145 mEq/l"_s)})
                    .exams[0]
                    .rangeSteps()
                    .isEmpty());
    }

    // The chart's range says what the card says: an excluded end is
    // outside, an included one inside.
    void rangeContainsAsTheCardJudges_data()
    {
        QTest::addColumn<QString>("rife");
        QTest::addColumn<QString>("result");
        QTest::newRow("included lower end") << u"70-110"_s << u"70"_s;
        QTest::newRow("included upper end") << u"70-110"_s << u"110"_s;
        QTest::newRow("below") << u"70-110"_s << u"69,9"_s;
        QTest::newRow("excluded upper end") << u"<200"_s << u"200"_s;
        QTest::newRow("under an excluded end") << u"<200"_s << u"199"_s;
        QTest::newRow("excluded lower end") << u">40"_s << u"40"_s;
        QTest::newRow("included upper, words") << u"fino a 200"_s << u"200"_s;
    }

    void rangeContainsAsTheCardJudges()
    {
        QFETCH(QString, rife);
        QFETCH(QString, result);
        const std::optional<ReferenceRange> r = referenceRange(rife, u"mg/dl");
        QVERIFY(r);
        QCOMPARE(r->contains(*resultValue(result)), !outsideRange(result, rife, u"mg/dl"));
    }
};

QTEST_GUILESS_MAIN(TestSummary)
#include "tst_summary.moc"
