// Laboratory reports read into the rows of analysis cards: every field and
// escape of each source, the blood count with formula in both structured
// forms, the lines of a plain PDF, the files that must be refused, and the
// cards stored for a whole report at once.

#include "analyses/LabReport.h"
#include "checks/CodiceFiscale.h"
#include "common/FileIo.h"
#include "support/LabReportSamples.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace clinora;
using namespace clinora::referto;

namespace {

// Every field and escape the message may use: the component separator in a
// unit, all five escapes in a name, repetitions, a structured "<" and ">",
// text results, each flag, NTE comments, a value that does not read.
const QByteArray kHl7 =
    "MSH|^~\\&|LIS|LABORATORIO SAN MARCO^2.16.840.1.1^ISO|CLINORA|STUDIO|20240315103000||ORU^R01|M1|P|2.5\r\n"
    "PID|1||778899^^^OSP^MR~RSSMRA80A01H501U^^^MEF^NNITA||ROSSI^MARIO^^^^^L||19800101|M\r\n"
    "OBR|1|ORD1|R2024-0042^LAB|EMO^Emocromo|||20240314080000|||||||||||||||20240315100000|||F|||||||"
    "&Bianchi&Luca\r\n"
    "OBX|1|NM|718-7^Emoglobina^LN||13.5|g/dL|13.0-17.0|N|||F|||20240314081500\r\n"
    "OBX|2|NM|6690-2^Leucociti^LN||11.2|x10\\S\\3/uL|4.0-10.0|H|||F\r\n"
    "NTE|1||Campione lievemente~emolizzato\r\n"
    "NTE|2||ripetere a 7 giorni\r\n"
    "OBX|3|SN|^Proteina C reattiva||<^0.5|mg/dL|<0.5||||F\r\n"
    "OBX|4|SN|^Titolo antistreptolisinico||>^1000|UI/mL|<200|H|||F\r\n"
    "OBX|5|ST|^Sangue occulto||negativo||negativo||||F\r\n"
    "OBX|6|CWE|^HBsAg||NEG^assente^L||assente|N|||F\r\n"
    "OBX|7|NM|^Potassio||2.4|mmol/L|3.5-5.1|LL|||F\r\n"
    "OBX|8|NM|^Sodio||128|mmol/L|136-145|L|||F\r\n"
    "OBX|9|NM|^Troponina I||5.2|ng/mL|<0.04|HH|||F\r\n"
    "OBX|10|ST|^Morfologia||anisocitosi|||A|||F\r\n"
    "OBX|11|ST|^Nota \\F\\ \\S\\ \\T\\ \\R\\ \\E\\ fine||riga\\.br\\seconda \\H\\forte\\N\\ \\X41\\||||||F\r\n"
    "OBX|12|NM|^Ferritina||abc|ng/mL|30-400||||F\r\n"
    "OBX|13|ST|^Codice||valore \\Z99\\ ignoto||||||F\r\n"
    "OBX|14|NM|^Glucosio||182|mg/dL|70-110||||P\r\n"
    "OBX|15|NM|^Ritirato||1|mg/dL|||||D\r\n"
    "OBX|16|NM|^Creatinina||0.9|mg/dL|0.7-1.2||||F\r\n";

const QString kCdaBody = uR"(
<component><section>
 <title>Chimica clinica</title>
 <text><table><tbody>
  <tr><td>Glucosio</td><td>182 mg/dL</td><td>70-110</td></tr>
  <tr><td>Colesterolo totale</td><td>250 mg/dL</td><td>&lt;200</td></tr>
  <tr><td ID="r3">Urine: proteine negativo</td></tr>
 </tbody></table></text>
 <entry><observation classCode="OBS" moodCode="EVN">
  <code code="2345-7" displayName="Glucosio"/>
  <effectiveTime value="20240313073000"/>
  <value xsi:type="PQ" value="182" unit="mg/dL"/>
  <interpretationCode code="H"/>
  <entryRelationship typeCode="SUBJ"><act classCode="ACT" moodCode="EVN"><code code="48767-8"/>
   <text>A digiuno da 12 ore</text></act></entryRelationship>
  <referenceRange><observationRange><value xsi:type="IVL_PQ"><low value="70" unit="mg/dL"/>
   <high value="110" unit="mg/dL"/></value></observationRange></referenceRange>
 </observation></entry>
 <entry><observation classCode="OBS" moodCode="EVN">
  <code code="2093-3" displayName="Colesterolo totale"/>
  <value xsi:type="PQ" value="215.5" unit="mg/dL"/>
  <referenceRange><observationRange><value xsi:type="IVL_PQ"><high value="200" unit="mg/dL" inclusive="false"/>
   </value></observationRange></referenceRange>
 </observation></entry>
 <entry><observation classCode="OBS" moodCode="EVN">
  <code code="2888-6"/><text><reference value="#r3"/></text>
  <value xsi:type="ST">negativo</value>
  <referenceRange><observationRange><text>negativo</text></observationRange></referenceRange>
 </observation></entry>
 <entry><organizer classCode="BATTERY" moodCode="EVN"><component><observation classCode="OBS" moodCode="EVN">
  <code code="5196-1" displayName="HBsAg"/>
  <value xsi:type="CO" code="260385009" displayName="assente"/>
  <interpretationCode code="N"/>
 </observation></component>
 <component><observation classCode="OBS" moodCode="EVN">
  <code code="1988-5" displayName="Proteina C reattiva"/>
  <value xsi:type="IVL_PQ"><high value="0.5" unit="mg/dL" inclusive="false"/></value>
  <referenceRange><observationRange><text>inferiore a 0,5</text></observationRange></referenceRange>
 </observation></component></organizer></entry>
 <entry><observation classCode="OBS" moodCode="EVN">
  <code code="2276-4" displayName="Ferritina"/>
  <value xsi:type="PQ" value="n.d." unit="ng/mL"/>
  <interpretationCode code="H"/>
 </observation></entry>
 <entry><observation classCode="OBS" moodCode="EVN">
  <code code="2823-3" displayName="Potassio"/>
  <value xsi:type="PQ" nullFlavor="NA"/>
 </observation></entry>
 <entry><observation classCode="OBS" moodCode="EVN">
  <code code="6768-6" displayName="Fosfatasi alcalina"/>
  <value xsi:type="PQ" value="310" unit="U/L"/>
  <interpretationCode code="HH"/>
  <referenceRange><observationRange><value xsi:type="IVL_PQ"><low value="40" unit="U/L"/>
   <high value="129" unit="U/L"/></value></observationRange></referenceRange>
 </observation></entry>
</section></component>
)"_s;

QStringList cols(const ReportRow &row) { return rowColumns(row); }

} // namespace

class TstLabReport : public QObject {
    Q_OBJECT
private slots:
    void hl7Rows_data();
    void hl7Rows();
    void hl7Report();
    void cdaRows_data();
    void cdaRows();
    void cdaReport();
    void bloodCountBothForms();
    void refused_data();
    void refused();
    void pdfLines_data();
    void pdfLines();
    void pdfFiscalCodeOnlyWhenItProvesItself();
    void outcome_data();
    void outcome();
    void tooLong();
    void wholeReportStoredAtOnce();
};

// Expected per row: Esame, Risultato, UM, Rife, Esito, Data prelievo,
// Commento, whether marked uncertain, whether alarming.
void TstLabReport::hl7Rows_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<bool>("uncertain");
    QTest::addColumn<bool>("alarming");
    const auto row = [](const char *tag, int i, QStringList e, bool u, bool a) {
        QTest::newRow(tag) << i << e << u << a;
    };
    row("N flag, own sample time", 0,
        {u"Emoglobina"_s, u"13,5"_s, u"g/dL"_s, u"13.0-17.0"_s, u"NELLA NORMA"_s, u"14/03/2024"_s, QString()}, false,
        false);
    row("escaped ^ in unit, two NTE with a repetition", 1,
        {u"Leucociti"_s, u"11,2"_s, u"x10^3/uL"_s, u"4.0-10.0"_s, u"FUORI NORMA"_s, u"14/03/2024"_s,
         u"Campione lievemente emolizzato ripetere a 7 giorni"_s},
        false, false);
    row("SN <", 2, {u"Proteina C reattiva"_s, u"<0,5"_s, u"mg/dL"_s, u"<0.5"_s, QString(), u"14/03/2024"_s, QString()},
        false, false);
    row("SN > with H", 3,
        {u"Titolo antistreptolisinico"_s, u">1000"_s, u"UI/mL"_s, u"<200"_s, u"FUORI NORMA"_s, u"14/03/2024"_s,
         QString()},
        false, false);
    row("text equal to its reference", 4,
        {u"Sangue occulto"_s, u"negativo"_s, QString(), u"negativo"_s, u"NELLA NORMA"_s, u"14/03/2024"_s, QString()},
        false, false);
    row("coded value by its text", 5,
        {u"HBsAg"_s, u"assente"_s, QString(), u"assente"_s, u"NELLA NORMA"_s, u"14/03/2024"_s, QString()}, false, false);
    row("LL alarming", 6,
        {u"Potassio"_s, u"2,4"_s, u"mmol/L"_s, u"3.5-5.1"_s, u"FUORI NORMA"_s, u"14/03/2024"_s, QString()}, false, true);
    row("L", 7, {u"Sodio"_s, u"128"_s, u"mmol/L"_s, u"136-145"_s, u"FUORI NORMA"_s, u"14/03/2024"_s, QString()}, false,
        false);
    row("HH alarming", 8,
        {u"Troponina I"_s, u"5,2"_s, u"ng/mL"_s, u"<0.04"_s, u"FUORI NORMA"_s, u"14/03/2024"_s, QString()}, false, true);
    row("A", 9, {u"Morfologia"_s, u"anisocitosi"_s, QString(), QString(), u"FUORI NORMA"_s, u"14/03/2024"_s, QString()},
        false, false);
    row("every escape", 10,
        {u"Nota | ^ & ~ \\ fine"_s, u"riga seconda forte A"_s, QString(), QString(), QString(), u"14/03/2024"_s,
         QString()},
        false, false);
    row("NM that is no number: no outcome", 11,
        {u"Ferritina"_s, u"abc"_s, u"ng/mL"_s, u"30-400"_s, QString(), u"14/03/2024"_s, QString()}, true, false);
    row("unknown escape kept as written", 12,
        {u"Codice"_s, u"valore \\Z99\\ ignoto"_s, QString(), QString(), QString(), u"14/03/2024"_s, QString()}, true,
        false);
    row("preliminary: no outcome", 13,
        {u"Glucosio"_s, u"182"_s, u"mg/dL"_s, u"70-110"_s, QString(), u"14/03/2024"_s, QString()}, true, false);
    row("after a withdrawn result, range read", 14,
        {u"Creatinina"_s, u"0,9"_s, u"mg/dL"_s, u"0.7-1.2"_s, u"NELLA NORMA"_s, u"14/03/2024"_s, QString()}, false,
        false);
}

void TstLabReport::hl7Rows()
{
    QFETCH(int, index);
    QFETCH(QStringList, expected);
    QFETCH(bool, uncertain);
    QFETCH(bool, alarming);
    const Reading r = readHl7(kHl7);
    QVERIFY2(r.report, qPrintable(r.message));
    QCOMPARE(r.report->rows.size(), 15); // the withdrawn one is left out
    const ReportRow &row = r.report->rows.at(index);
    const QStringList c = cols(row);
    QCOMPARE((QStringList{c[0], c[1], c[2], c[3], c[4], c[5], c[9]}), expected);
    QCOMPARE(!row.uncertain.isEmpty(), uncertain);
    QCOMPARE(row.alarming, alarming);
    QCOMPARE(c[6], u"R2024-0042"_s);
    QCOMPARE(c[7], u"15/03/2024"_s);
    QCOMPARE(c[8], u"Luca Bianchi"_s);
}

void TstLabReport::hl7Report()
{
    const Reading r = readHl7(kHl7);
    QVERIFY(r.report);
    QCOMPARE(r.report->fiscalCode, u"RSSMRA80A01H501U"_s);
    QCOMPARE(r.report->patientName, u"ROSSI MARIO"_s);
    QCOMPARE(r.report->laboratory, u"LABORATORIO SAN MARCO"_s);
    QCOMPARE(r.report->numRef, u"R2024-0042"_s);
    QCOMPARE(r.report->data, u"14/03/2024"_s);

    // Other separators, declared in MSH-2, Latin-1 declared in MSH-18, bare LF line ends.
    QByteArray other = "MSH#!*%@#LIS#LAB#C#S#20240315##ORU!R01#1#P#2.5######8859/1\n"
                       "PID#1##RSSMRA80A01H501U!!!MEF!NNITA##VERDI!GIUSEPPE\n"
                       "OBR#1##N1\n"
                       "OBX#1#ST#!Nota##\xe8 %S% 100! positivo###A\n";
    const Reading o = readHl7(other);
    QVERIFY2(o.report, qPrintable(o.message));
    QCOMPARE(o.report->patientName, u"VERDI GIUSEPPE"_s);
    QCOMPARE(o.report->rows.size(), 1);
    // "!" is a separator here, the repetition one: the first is taken, and marked.
    QCOMPARE(o.report->rows[0].risultato, u"è ! 100"_s);
    QVERIFY(!o.report->rows[0].uncertain.isEmpty());
    QCOMPARE(o.report->rows[0].esito, QString());
}

// Expected per row: the ten columns (report's columns checked apart),
// uncertain, alarming, whether the narrative differs.
void TstLabReport::cdaRows_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<bool>("uncertain");
    QTest::addColumn<bool>("alarming");
    QTest::addColumn<bool>("differs");
    const auto row = [](const char *tag, int i, QStringList e, bool u, bool a, bool d) {
        QTest::newRow(tag) << i << e << u << a << d;
    };
    row("PQ, H, own time, comment", 0,
        {u"Glucosio"_s, u"182"_s, u"mg/dL"_s, u"70-110"_s, u"FUORI NORMA"_s, u"13/03/2024"_s, u"A digiuno da 12 ore"_s},
        false, false, false);
    row("narrative differs, range < exclusive, outcome from range", 1,
        {u"Colesterolo totale"_s, u"215,5"_s, u"mg/dL"_s, u"<200"_s, u"FUORI NORMA"_s, u"14/03/2024"_s, QString()}, false,
        false, true);
    row("ST equal to range text, name from section title", 2,
        {u"Chimica clinica"_s, u"negativo"_s, QString(), u"negativo"_s, u"NELLA NORMA"_s, u"14/03/2024"_s, QString()},
        false, false, false);
    row("CO by displayName, N", 3,
        {u"HBsAg"_s, u"assente"_s, QString(), QString(), u"NELLA NORMA"_s, u"14/03/2024"_s, QString()}, false, false,
        false);
    row("IVL_PQ value <", 4,
        {u"Proteina C reattiva"_s, u"<0,5"_s, u"mg/dL"_s, u"inferiore a 0,5"_s, QString(), u"14/03/2024"_s, QString()},
        false, false, false);
    row("PQ no number: flag not turned into an outcome", 5,
        {u"Ferritina"_s, u"n,d,"_s, u"ng/mL"_s, QString(), QString(), u"14/03/2024"_s, QString()}, true, false, false);
    row("null value", 6, {u"Potassio"_s, QString(), QString(), QString(), QString(), u"14/03/2024"_s, QString()}, true,
        false, false);
    row("HH", 7, {u"Fosfatasi alcalina"_s, u"310"_s, u"U/L"_s, u"40-129"_s, u"FUORI NORMA"_s, u"14/03/2024"_s, QString()},
        false, true, false);
}

void TstLabReport::cdaRows()
{
    QFETCH(int, index);
    QFETCH(QStringList, expected);
    QFETCH(bool, uncertain);
    QFETCH(bool, alarming);
    QFETCH(bool, differs);
    const Reading r = readCda(samples::cdaDocument(kCdaBody));
    QVERIFY2(r.report, qPrintable(r.message));
    QCOMPARE(r.report->rows.size(), 8);
    const ReportRow &row = r.report->rows.at(index);
    const QStringList c = cols(row);
    QCOMPARE((QStringList{c[0], c[1], c[2], c[3], c[4], c[5], c[9]}), expected);
    QCOMPARE(!row.uncertain.isEmpty(), uncertain);
    QCOMPARE(row.alarming, alarming);
    QCOMPARE(!row.difference.isEmpty(), differs);
    if (differs)
        QVERIFY(row.difference.contains(u"250 mg/dL"_s));
    QCOMPARE(c[6], u"LAB.2024.0042"_s);
    QCOMPARE(c[7], u"15/03/2024"_s);
    QCOMPARE(c[8], u"Dott. Luca Bianchi"_s);
}

void TstLabReport::cdaReport()
{
    const Reading r = readCda(samples::cdaDocument(kCdaBody));
    QVERIFY(r.report);
    QCOMPARE(r.report->fiscalCode, u"RSSMRA80A01H501U"_s);
    QCOMPARE(r.report->patientName, u"Rossi Mario"_s);
    QCOMPARE(r.report->laboratory, u"Laboratorio Analisi San Marco"_s);
    QCOMPARE(r.report->reportId, u"LAB.2024.0042"_s);
    QCOMPARE(r.report->dataRef, u"15/03/2024"_s);
    QCOMPARE(r.report->data, u"14/03/2024"_s);
}

void TstLabReport::bloodCountBothForms()
{
    const Reading h = readHl7(samples::bloodCountHl7());
    const Reading c = readCda(samples::bloodCountCda());
    QVERIFY2(h.report, qPrintable(h.message));
    QVERIFY2(c.report, qPrintable(c.message));
    QCOMPARE(h.report->rows.size(), 25);
    QCOMPARE(c.report->rows.size(), 25);
    int outside = 0;
    for (int i = 0; i < 25; ++i) {
        const samples::Result &e = samples::bloodCount().at(i);
        for (const Reading *r : {&h, &c}) {
            const ReportRow &row = r->report->rows.at(i);
            QCOMPARE(row.esame, QString::fromUtf8(e.name));
            QCOMPARE(row.risultato, QString::fromLatin1(e.value).replace(u'.', u','));
            QCOMPARE(row.um, QString::fromUtf8(e.unit));
            QVERIFY(row.uncertain.isEmpty());
            QCOMPARE(row.esito, qstrcmp(e.flag, "N") == 0 ? u"NELLA NORMA"_s : u"FUORI NORMA"_s);
        }
        // Both forms give the range as the card reads it.
        QCOMPARE(h.report->rows.at(i).rife, QString::fromLatin1(e.range));
        QCOMPARE(QString(c.report->rows.at(i).rife).replace(u',', u'.'), QString::fromLatin1(e.range));
        outside += h.report->rows.at(i).esito == u"FUORI NORMA"_s;
    }
    QCOMPARE(outside, 5);
}

void TstLabReport::refused_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("says");
    const QByteArray lol = "<?xml version=\"1.0\"?>\n<!DOCTYPE lolz [\n <!ENTITY lol \"lol\">\n"
                           " <!ENTITY lol1 \"&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;\">\n"
                           " <!ENTITY lol2 \"&lol1;&lol1;&lol1;&lol1;&lol1;&lol1;&lol1;&lol1;&lol1;&lol1;\">\n"
                           " <!ENTITY lol3 \"&lol2;&lol2;&lol2;&lol2;&lol2;&lol2;&lol2;&lol2;&lol2;&lol2;\">\n"
                           "]>\n<ClinicalDocument>&lol3;</ClinicalDocument>\n";
    QTest::newRow("billion laughs") << lol << u"r.xml"_s << u"DTD"_s;
    QTest::newRow("external entity")
        << QByteArray("<?xml version=\"1.0\"?><!DOCTYPE d [<!ENTITY x SYSTEM \"file:///etc/passwd\">]>"
                      "<ClinicalDocument>&x;</ClinicalDocument>")
        << u"r.xml"_s << u"DTD"_s;
    QTest::newRow("undeclared entity") << QByteArray("<ClinicalDocument>&x;</ClinicalDocument>") << u"r.xml"_s
                                       << u"danneggiato"_s;
    QByteArray truncated = samples::bloodCountCda();
    truncated.truncate(truncated.size() / 2);
    QTest::newRow("truncated XML") << truncated << u"r.xml"_s << u"incompleto"_s;
    QTest::newRow("invalid UTF-8 XML") << samples::bloodCountCda().replace("Piastrine", "Piastr\xff\xfeine")
                                       << u"r.xml"_s << u"UTF-8"_s;
    QTest::newRow("deep nesting") << QByteArray("<ClinicalDocument>") + QByteArray("<a>").repeated(300)
                                  << u"r.xml"_s << u"annidato"_s;
    QTest::newRow("other XML") << QByteArray("<html><body/></html>") << u"r.xml"_s << u"CDA"_s;
    QTest::newRow("no results") << samples::cdaDocument(QString()) << u"r.xml"_s << u"risultati"_s;
    QTest::newRow("huge") << QByteArray(kMaxReportBytes + 1, ' ') << u"r.xml"_s << u"troppo grande"_s;
    QTest::newRow("invalid UTF-8 HL7") << samples::bloodCountHl7().replace("Piastrine", "Pi\xc3\x28") << u"r.hl7"_s
                                       << u"UTF-8"_s;
    QTest::newRow("HL7 without results") << samples::hl7Header(u"X"_s) << u"r.hl7"_s << u"OBX"_s;
    QTest::newRow("HL7 cut in MSH") << samples::hl7Header(u"X"_s).left(60) << u"r.hl7"_s << u"incompleto"_s;
    QTest::newRow("HL7 cut after MSH") << samples::hl7Header(u"X"_s).left(96) << u"r.hl7"_s << u"PID"_s;
    QTest::newRow("HL7 of another kind")
        << QByteArray("MSH|^~\\&|A|B|C|D|20240101||ADT^A01|1|P|2.5\rPID|1\r") << u"r.hl7"_s << u"ADT^A01"_s;
    QTest::newRow("HL7 separators repeated") << QByteArray("MSH|^^\\&|A|B\r") << u"r.hl7"_s << u"MSH-2"_s;
    QTest::newRow("OBX before OBR") << QByteArray("MSH|^~\\&|A|B|C|D|1||ORU^R01|1|P|2.5\rPID|1\rOBX|1|NM|^X||1\r")
                                    << u"r.hl7"_s << u"OBR"_s;
    QTest::newRow("named .pdf, not a PDF") << QByteArray("MSH|^~\\&|A") << u"Referto.PDF"_s << u".pdf"_s;
    QTest::newRow("PDF without the PDF reader") << QByteArray("%PDF-1.4\n%%EOF") << u"r.pdf"_s << u"PDF"_s;
    QTest::newRow("empty") << QByteArray() << u"r.txt"_s << u"vuoto"_s;
    QTest::newRow("something else") << QByteArray("Gentile paziente") << u"r.txt"_s << u"non è un referto"_s;
}

void TstLabReport::refused()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, name);
    QFETCH(QString, says);
    const Reading r = readReport(bytes, name, nullptr);
    QVERIFY(!r.report);
    QVERIFY2(r.message.startsWith(u"Attenzione: "_s), qPrintable(r.message));
    QVERIFY2(r.message.contains(says), qPrintable(r.message));
}

void TstLabReport::pdfLines_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QStringList>("row"); // empty: the line stays text
    QTest::newRow("four columns") << u"Glucosio\t182\tmg/dL\t70 - 110"_s
                                  << QStringList{u"Glucosio"_s, u"182"_s, u"mg/dL"_s, u"70 - 110"_s, u"FUORI NORMA"_s};
    QTest::newRow("decimal comma, in range") << u"Emoglobina\t13,9\tg/dL\t13,0-17,0"_s
                                             << QStringList{u"Emoglobina"_s, u"13,9"_s, u"g/dL"_s, u"13,0-17,0"_s,
                                                            u"NELLA NORMA"_s};
    QTest::newRow("flag column") << u"Potassio\t2,4\tLL\tmmol/L\t3,5-5,1"_s
                                 << QStringList{u"Potassio"_s, u"2,4"_s, u"mmol/L"_s, u"3,5-5,1"_s, u"FUORI NORMA"_s};
    QTest::newRow("no unit") << u"INR\t1,1\t0,8-1,2"_s
                             << QStringList{u"INR"_s, u"1,1"_s, QString(), u"0,8-1,2"_s, u"NELLA NORMA"_s};
    QTest::newRow("< result") << u"PCR\t< 0,5\tmg/dL\t< 0,5"_s
                              << QStringList{u"PCR"_s, u"< 0,5"_s, u"mg/dL"_s, u"< 0,5"_s, QString()};
    QTest::newRow("word result") << u"Sangue occulto\tnegativo\tnegativo"_s
                                 << QStringList{u"Sangue occulto"_s, u"negativo"_s, QString(), u"negativo"_s,
                                                u"NELLA NORMA"_s};
    QTest::newRow("thousands or decimals? not certain") << u"Piastrine\t250.000\t/mm3\t150.000-450.000"_s
                                                         << QStringList{};
    QTest::newRow("words after the range") << u"Glucosio\t182\tmg/dL\t70-110\tvedi nota"_s << QStringList{};
    QTest::newRow("range that does not read") << u"Testosterone\t5,1\tng/mL\tM: 2,8-8"_s << QStringList{};
    QTest::newRow("exam and number only") << u"Pagina\t2"_s << QStringList{};
    QTest::newRow("one column") << u"Laboratorio Analisi San Marco - Via Roma 1"_s << QStringList{};
    QTest::newRow("columns not apart") << u"Glucosio 182 mg/dL 70-110"_s << QStringList{};
    QTest::newRow("date first") << u"14/03/2024\t182\tmg/dL\t70-110"_s << QStringList{};
}

void TstLabReport::pdfLines()
{
    QFETCH(QString, line);
    QFETCH(QStringList, row);
    const Reading r = readPdfLines({u"REFERTO"_s, line, QString()});
    QVERIFY(r.report);
    QCOMPARE(r.report->rows.size(), 2);
    QVERIFY(r.report->rows[0].unread);
    const ReportRow &got = r.report->rows[1];
    if (row.isEmpty()) {
        QVERIFY(got.unread);
        QVERIFY(!got.uncertain.isEmpty());
        QCOMPARE(got.esito, QString());
        QCOMPARE(got.esame, QStringList(line.split(u'\t')).join(u"   "_s));
    } else {
        QVERIFY(!got.unread);
        QCOMPARE((QStringList{got.esame, got.risultato, got.um, got.rife, got.esito}), row);
    }
}

void TstLabReport::pdfFiscalCodeOnlyWhenItProvesItself()
{
    // A valid code is taken; one with a wrong check character, or two
    // different valid ones, leave the patient unknown.
    const QString mario = u"RSSMRA80A01H501U"_s;
    const QString other = u"VRDGPP70B02F205"_s + CodFiscCarattereControllo(u"VRDGPP70B02F205");
    QVERIFY(CodFiscValido(mario) && CodFiscValido(other));
    QCOMPARE(readPdfLines({u"Paziente: ROSSI MARIO\tC.F. "_s + mario}).report->fiscalCode, mario);
    QCOMPARE(readPdfLines({u"C.F. RSSMRA80A01H501X"_s}).report->fiscalCode, QString());
    QCOMPARE(readPdfLines({mario, other}).report->fiscalCode, QString());
    QCOMPARE(readPdfLines({mario, u"ancora "_s + mario}).report->fiscalCode, mario);
    // A page without text (a scan) is said, not shown empty.
    QVERIFY(!readPdfLines({}).report);
    QVERIFY(readPdfLines({u" "_s}).message.contains(u"scanner"_s));
}

void TstLabReport::outcome_data()
{
    QTest::addColumn<QString>("flag");
    QTest::addColumn<QString>("result");
    QTest::addColumn<QString>("range");
    QTest::addColumn<QString>("outcome");
    QTest::newRow("flag N wins over range") << u"N"_s << u"200"_s << u"70-110"_s << u"NELLA NORMA"_s;
    for (const char *f : {"H", "L", "HH", "LL", "A", "AA"})
        QTest::newRow(f) << QString::fromLatin1(f) << u"90"_s << u"70-110"_s << u"FUORI NORMA"_s;
    QTest::newRow("unknown flag: none") << u"S"_s << u"90"_s << u"70-110"_s << QString();
    QTest::newRow("no flag, range reads") << QString() << u"90"_s << u"70-110"_s << u"NELLA NORMA"_s;
    QTest::newRow("no flag, < result") << QString() << u"<5"_s << u"0-10"_s << QString();
    QTest::newRow("same word") << QString() << u"Assente"_s << u"assente"_s << u"NELLA NORMA"_s;
    QTest::newRow("other word") << QString() << u"presente"_s << u"assente"_s << QString();
}

void TstLabReport::outcome()
{
    QFETCH(QString, flag);
    QFETCH(QString, result);
    QFETCH(QString, range);
    QFETCH(QString, outcome);
    QCOMPARE(outcomeOf(flag, result, range, QString()), outcome);
}

void TstLabReport::tooLong()
{
    ReportRow row;
    row.esame = QString(120, u'e');
    row.numRef = QString(20, u'n');
    QVERIFY(tooLongFields(row).isEmpty());
    row.esame += u'x';
    row.numRef += u'x';
    row.commento = QString(251, u'c');
    const QList<TooLong> t = tooLongFields(row);
    QCOMPARE(t.size(), 3);
    QCOMPARE(t[0].field, AnalysisRecord::Esame);
    QCOMPARE(t[0].capacity, 120);
    QCOMPARE(t[1].field, AnalysisRecord::NumRef);
    QCOMPARE(t[2].capacity, 250);
    QCOMPARE(fieldTitle(AnalysisRecord::NumRef), u"Referto n."_s);
}

void TstLabReport::wholeReportStoredAtOnce()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"Paziente_CF_RSSMRA80A01H501U.asl"_s);
    const Reading r = readHl7(samples::bloodCountHl7());
    QList<AnalysisRecord> cards;
    for (const ReportRow &row : r.report->rows)
        cards << cardOf(row, u"ROSSI MARIO"_s, u"RSSMRA80A01H501U"_s);
    QCOMPARE(cardsOfReport(path, u"R2024-0042"_s, u"15/03/2024"_s).cards, 0);
    QVERIFY(!QFile::exists(path)); // only asking never makes an archive

    // A card already there keeps its place; the report follows it.
    QVERIFY(appendCards(path, {cards[0]}));
    qint64 first = 0;
    QVERIFY(appendCards(path, cards, &first));
    QCOMPARE(first, 2);
    QCOMPARE(QFileInfo(path).size(), 26 * AnalysisRecord::kSize);
    const StoredCount n = cardsOfReport(path, u"R2024-0042"_s, u"15/03/2024"_s);
    QVERIFY(n.read);
    QCOMPARE(n.cards, 26);
    QCOMPARE(cardsOfReport(path, u"R2024-0042"_s, u"16/03/2024"_s).cards, 0);

    AnalysisArchive a;
    QVERIFY(a.open(path, lock::Mode::Shared));
    AnalysisRecord rec;
    QVERIFY(a.read(2 + 6, rec)); // RDW, H
    QCOMPARE(rec.get(AnalysisRecord::Esame), u"RDW"_s);
    QCOMPARE(rec.get(AnalysisRecord::Risultato), u"15,8"_s);
    QCOMPARE(rec.get(AnalysisRecord::Esito), u"FUORI NORMA"_s);
    QCOMPARE(rec.get(AnalysisRecord::CodFisc), u"RSSMRA80A01H501U"_s);
    QCOMPARE(rec.get(AnalysisRecord::Data), u"14/03/2024"_s);
    QCOMPARE(rec.get(AnalysisRecord::Allarme), u"No"_s);
    QVERIFY(a.close());

    // A disk that fails on the sync: nothing of the report stays.
    struct FailSync : io::FaultHook {
        bool shouldFail(io::Op op, const QString &) override { return op == io::Op::Flush; }
    } hook;
    io::setFaultHook(&hook);
    const IoResult failed = appendCards(path, cards);
    io::setFaultHook(nullptr);
    QVERIFY(!failed);
    QCOMPARE(QFileInfo(path).size(), 26 * AnalysisRecord::kSize);
}

QTEST_GUILESS_MAIN(TstLabReport)
#include "tst_labreport.moc"
