// The patient lists: the search's matching rule, the line every list shows,
// the order of the lines, the recontact flag, and finding a picked line's
// patient again in Pazienti.pro.
#include "common/FileIo.h"
#include "patients/PatientList.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace clinora;

namespace {

using F = PatientRecord::Field;

PatientRecord patient(const QString &name, const QString &town = QString())
{
    PatientRecord r;
    r.set(F::Paziente, name);
    r.set(F::ComuneRes, town);
    r.set(F::Ricontatta, kNo);
    return r;
}

// Puts raw bytes into a field, length byte first, as a foreign or damaged
// file may hold them.
void putRaw(PatientRecord &r, F field, const QByteArray &bytes)
{
    const int offset = PatientRecord::recordLayout().field(field).offset;
    r.bytes()[offset] = char(bytes.size());
    r.bytes().replace(offset + 1, bytes.size(), bytes);
}

void writeArchive(const QString &path, const QList<PatientRecord> &records)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    for (const PatientRecord &r : records)
        f.write(r.bytes());
}

// Fails the reads after the first `allowed` ones.
class FailReadsAfter : public io::FaultHook {
public:
    explicit FailReadsAfter(int allowed) : m_left(allowed) { io::setFaultHook(this); }
    ~FailReadsAfter() override { io::setFaultHook(nullptr); }
    bool shouldFail(io::Op op, const QString &) override { return op == io::Op::Read && m_left-- <= 0; }

private:
    int m_left;
};

} // namespace

class TestPatientList : public QObject {
    Q_OBJECT

private slots:
    // ---- The matching rule ----------------------------------------------------------------------

    void matching_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("town");
        QTest::addColumn<QString>("nameFilter");
        QTest::addColumn<QString>("townFilter");
        QTest::addColumn<bool>("listed");

        QTest::newRow("capitals find a name") << u"Mario Rossi"_s << u"Roma"_s << u"ROSSI"_s << QString() << true;
        QTest::newRow("a longer name holds the filter") << u"rossini anna"_s << u"Roma"_s << u"ROSSI"_s << QString()
                                                       << true;
        QTest::newRow("a name without it") << u"Bianchi Anna"_s << u"Roma"_s << u"ROSSI"_s << QString() << false;
        QTest::newRow("a trailing blank is part of the filter")
            << u"Mario Rossi"_s << u"Roma"_s << u"rossi "_s << QString() << false;
        QTest::newRow("and is found inside a name") << u"Rossi Mario"_s << u"Roma"_s << u"rossi "_s << QString()
                                                   << true;
        QTest::newRow("a leading blank too") << u"Rossi Mario"_s << u"Roma"_s << u" rossi"_s << QString() << false;
        QTest::newRow("an accented capital is not its small letter")
            << u"Niccolò Rossi"_s << u"Roma"_s << u"NICCOLÒ"_s << QString() << false;
        QTest::newRow("an accented letter as stored") << u"NICCOLÒ ROSSI"_s << u"Roma"_s << u"niccolÒ"_s << QString()
                                                      << true;
        QTest::newRow("a blank-only filter plays no part")
            << u"Mario Rossi"_s << u"Roma"_s << u"   "_s << QString() << true;
        QTest::newRow("no filter lists everyone") << u"Mario Rossi"_s << u"Roma"_s << QString() << QString() << true;
        QTest::newRow("two filters: both hold") << u"Mario Rossi"_s << u"Roma"_s << u"rossi"_s << u"ROM"_s << true;
        QTest::newRow("two filters: one fails") << u"Mario Rossi"_s << u"Milano"_s << u"rossi"_s << u"ROM"_s
                                                << false;
        QTest::newRow("a filter longer than the field") << u"Ros"_s << u"Roma"_s << u"Rossi"_s << QString() << false;
        QTest::newRow("a character no stored text can hold")
            << u"Rossi ? Mario"_s << u"Roma"_s << u"\u03A9"_s << QString() << false;
        QTest::newRow("the euro sign, stored as one byte")
            << u"Rossi 5 \u20AC"_s << u"Roma"_s << u"5 \u20AC"_s << QString() << true;
    }

    void matching()
    {
        QFETCH(QString, name);
        QFETCH(QString, town);
        QFETCH(QString, nameFilter);
        QFETCH(QString, townFilter);
        QFETCH(bool, listed);
        const PatientRecord r = patient(name, town);
        const PatientMatcher matcher({{F::Paziente, nameFilter}, {F::ComuneRes, townFilter}});
        QCOMPARE(matcher.matches(r), listed);
        QCOMPARE(matcher.filledCount(), int(filterFilled(nameFilter)) + int(filterFilled(townFilter)));
        // The matcher works on the stored bytes; the rule on texts agrees.
        const bool byText = (!filterFilled(nameFilter) || filterOccurs(nameFilter, name))
                            && (!filterFilled(townFilter) || filterOccurs(townFilter, town));
        QCOMPARE(byText, listed);
    }

    void matchingLooksAtTheTrimmedField()
    {
        PatientRecord r = patient(QString());
        putRaw(r, F::Paziente, "  Mario Rossi  ");
        QVERIFY(PatientMatcher({{F::Paziente, u"rossi"_s}}).matches(r));
        QVERIFY(!PatientMatcher({{F::Paziente, u"rossi "_s}}).matches(r));
        QVERIFY(!PatientMatcher({{F::Paziente, u" mario"_s}}).matches(r));
    }

    // ---- The list line --------------------------------------------------------------------------

    void listLine_data()
    {
        QTest::addColumn<QStringList>("fields"); // name, phone, fiscal code, card, notes
        QTest::addColumn<QString>("line");
        QTest::newRow("every piece filled up")
            << QStringList{u"Rossi Mario"_s, u"06 1234567"_s, u"RSSMRA80A01H501U"_s, u"80380001"_s, u"Allergico"_s}
            << u"Rossi Mario                 Tel. 06 1234567       CF: RSSMRA80A01H501U  Tessera n. 80380001         "
               u"          Allergico"_s;
        QTest::newRow("a name cut at 26 characters")
            << QStringList{u"Abcdefghijklmnopqrstuvwxyz Oltre"_s, u"3331234567"_s, u"XYZ"_s, QString(), QString()}
            << u"Abcdefghijklmnopqrstuvwxyz  Tel. 3331234567       CF: XYZ               Tessera n.                  "
               u"          "_s;
        QTest::newRow("long phone and card cut, notes whole")
            << QStringList{u"Bianchi Anna"_s, u"0039 06 12345678 int. 4"_s, u"BNCNNA70B41F205X"_s,
                           u"12345678901234567890123456789"_s, u"Nota lunga, tutta intera fino in fondo."_s}
            << u"Bianchi Anna                Tel. 0039 06 1234567  CF: BNCNNA70B41F205X  Tessera n. "
               u"1234567890123456789012345  Nota lunga, tutta intera fino in fondo."_s;
        QTest::newRow("accented letters count as one")
            << QStringList{u"Niccolò Àlvarez"_s, u"€"_s, u"CF"_s, u"T"_s, u"è così"_s}
            << u"Niccolò Àlvarez             Tel. €                CF: CF                Tessera n. T                "
               u"          è così"_s;
        QTest::newRow("an empty card")
            << QStringList{QString(), QString(), QString(), QString(), QString()}
            << u"                            Tel.                  CF:                   Tessera n.                  "
               u"          "_s;
    }

    void listLine()
    {
        QFETCH(QStringList, fields);
        QFETCH(QString, line);
        PatientRecord r;
        r.set(F::Paziente, fields[0]);
        r.set(F::Recapito, fields[1]);
        r.set(F::CodFisc, fields[2]);
        r.set(F::Tessera, fields[3]);
        r.set(F::Note, fields[4]);
        QCOMPARE(PatientListLine(r), line);
        QCOMPARE(PatientListLine(r).size(), 110 + fields[4].size());
    }

    void listLineTrimsStoredBlanks()
    {
        PatientRecord r;
        putRaw(r, F::Paziente, " \tRossi\r\n");
        putRaw(r, F::Note, "  nota  ");
        QVERIFY(PatientListLine(r).startsWith(u"Rossi                       Tel. "_s));
        QVERIFY(PatientListLine(r).endsWith(u"  nota"_s));
    }

    // ---- The order of the lines -----------------------------------------------------------------

    void order_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QStringList>("sorted");
        QTest::newRow("by name, case apart") << QStringList{u"rossi"_s, u"Bianchi"_s, u"ROSSA"_s}
                                             << QStringList{u"Bianchi"_s, u"ROSSA"_s, u"rossi"_s};
        QTest::newRow("a beginning comes first") << QStringList{u"Rossi Mario"_s, u"Rossi"_s}
                                                 << QStringList{u"Rossi"_s, u"Rossi Mario"_s};
        // Small letters compare as capitals: "z" is "Z" (5A), before "[" (5B)
        // and "_" (5F); an accented capital comes after every plain letter.
        QTest::newRow("codes after a-z became A-Z")
            << QStringList{u"_x"_s, u"[a"_s, u"z"_s, u"Èlia"_s, u"Zeno"_s, u"elia"_s}
            << QStringList{u"elia"_s, u"z"_s, u"Zeno"_s, u"[a"_s, u"_x"_s, u"Èlia"_s};
        QTest::newRow("blanks before letters") << QStringList{u"Rossi Mario"_s, u"RossiAnna"_s}
                                               << QStringList{u"Rossi Mario"_s, u"RossiAnna"_s};
    }

    void order()
    {
        QFETCH(QStringList, lines);
        QFETCH(QStringList, sorted);
        sortListLines(lines);
        QCOMPARE(lines, sorted);
    }

    // ---- The recontact flag ---------------------------------------------------------------------

    void recontact_data()
    {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<bool>("marked");
        QTest::newRow("S\u00EC") << QByteArray("S\xEC") << true;
        QTest::newRow("No") << QByteArray("No") << false;
        QTest::newRow("lower-case si") << QByteArray("si") << false;
        QTest::newRow("capitals SI") << QByteArray("SI") << false;
        QTest::newRow("unaccented Si") << QByteArray("Si") << false;
        QTest::newRow("s\u00EC in lower case") << QByteArray("s\xEC") << false;
        QTest::newRow("a blank and S") << QByteArray(" S") << false;
        QTest::newRow("empty") << QByteArray() << false;
    }

    void recontact()
    {
        QFETCH(QByteArray, stored);
        QFETCH(bool, marked);
        PatientRecord r;
        putRaw(r, F::Ricontatta, stored);
        QCOMPARE(isToRecontact(r), marked);
    }

    // ---- Reading the archive --------------------------------------------------------------------

    void searchAndRecontactReadTheArchive()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"Pazienti.pro"_s);
        PatientRecord a = patient(u"Verdi Luca"_s, u"Roma"_s);
        PatientRecord b = patient(u"bianchi Anna"_s, u"Milano"_s);
        b.set(F::Ricontatta, kYes);
        PatientRecord c = patient(u"Rossi Mario"_s, u"Roma"_s);
        c.set(F::Ricontatta, kYes);
        writeArchive(path, {a, b, c});

        const PatientLines roma = searchPatients(path, PatientMatcher({{F::ComuneRes, u"roma"_s}}));
        QVERIFY(roma.result.ok());
        QCOMPARE(roma.lines.toStringList(), (QStringList{PatientListLine(c), PatientListLine(a)}));
        const PatientLines all = searchPatients(path, PatientMatcher({}));
        QCOMPARE(all.lines.toStringList(), (QStringList{PatientListLine(b), PatientListLine(c), PatientListLine(a)}));
        const PatientLines marked = recontactPatients(path);
        QCOMPARE(marked.lines.toStringList(), (QStringList{PatientListLine(b), PatientListLine(c)}));

        // A missing archive is created empty, and lists nothing.
        const QString missing = dir.filePath(u"altro.pro"_s);
        const PatientLines none = searchPatients(missing, PatientMatcher({}));
        QVERIFY(none.result.ok());
        QVERIFY(none.lines.isEmpty());
        QVERIFY(QFile::exists(missing));

        // A read that fails: the command says so, and keeps what it read.
        FailReadsAfter fail(0);
        const PatientLines broken = recontactPatients(path);
        QVERIFY(!broken.result.ok());
    }

    // ---- The pick ---------------------------------------------------------------------------------

    void pickFindsTheLastEqualRecord()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"Pazienti.pro"_s);
        // Two patients whose names differ only after the 26th character
        // give the same line; so do true twins.
        PatientRecord first = patient(u"Abcdefghijklmnopqrstuvwxyz Primo"_s);
        first.set(F::Email, u"primo@esempio.it"_s);
        PatientRecord other = patient(u"Bianchi Anna"_s);
        PatientRecord second = patient(u"Abcdefghijklmnopqrstuvwxyz Secondo"_s);
        second.set(F::Email, u"secondo@esempio.it"_s);
        PatientRecord third = patient(u"Abcdefghijklmnopqrstuvwxyz"_s);
        third.set(F::Note, u"altro"_s);
        writeArchive(path, {first, other, second, third});
        const QString line = PatientListLine(first);
        QCOMPARE(PatientListLine(second), line);

        PatientPick pick = findPatientByLine(path, line);
        QVERIFY(pick.result.ok());
        QVERIFY(pick.found);
        QCOMPARE(pick.number, 3);
        QCOMPARE(pick.record.get(F::Email), u"secondo@esempio.it"_s);

        // Outer blanks do not count; case does.
        pick = findPatientByLine(path, QString(u"  "_s + line + u"\t"_s));
        QCOMPARE(pick.number, 3);
        QVERIFY(!findPatientByLine(path, line.toUpper()).found);
        QCOMPARE(findPatientByLine(path, PatientListLine(other)).number, 2);
        QVERIFY(!findPatientByLine(path, QString()).found);

        // A failure part-way: the twin read before it is what stays.
        FailReadsAfter fail(2);
        pick = findPatientByLine(path, line);
        QVERIFY(!pick.result.ok());
        QVERIFY(pick.found);
        QCOMPARE(pick.number, 1);
    }
};

QTEST_GUILESS_MAIN(TestPatientList)
#include "tst_patientlist.moc"
