#include "analyses/AnalysisRecord.h"
#include "patients/PatientRecord.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace clinora;

namespace {

struct Expected {
    const char *name;
    int offset;
    int capacity;
};

// Offsets and capacities as the archives on disk have them.
const Expected kPatient[] = {
    {"Paziente", 0, 50},       {"DataNasc", 51, 30},     {"ComuneNasc", 82, 50},
    {"ProvNasc", 133, 2},      {"Sesso", 136, 1},        {"Recapito", 138, 50},
    {"IndirizzoRes", 189, 50}, {"ProvRes", 240, 2},      {"ComuneRes", 243, 50},
    {"CapRes", 294, 5},        {"Professione", 300, 50}, {"ASL", 351, 50},
    {"TelCasa", 402, 30},      {"TelUff", 433, 30},      {"TelCel", 464, 30},
    {"Fax", 495, 30},          {"Email", 526, 50},       {"CodFisc", 577, 16},
    {"Tessera", 594, 50},      {"Gruppo", 645, 10},      {"PartitaIva", 656, 11},
    {"Vaccinazioni", 668, 250}, {"Patologie", 919, 250}, {"Allergie", 1170, 250},
    {"Farmaci", 1421, 250},    {"Interventi", 1672, 250}, {"Protesi", 1923, 250},
    {"Handicap", 2174, 250},   {"Questioni", 2425, 250}, {"Note", 2676, 250},
    {"Ricontatta", 2927, 2},   {"File01", 2930, 250},    {"File02", 3181, 250},
    {"File03", 3432, 250},     {"Desc01", 3683, 250},    {"Desc02", 3934, 250},
    {"Desc03", 4185, 250},
};

const Expected kAnalysis[] = {
    {"Paziente", 0, 50},    {"CodFisc", 51, 16},    {"NumRef", 68, 20},
    {"DataRef", 89, 10},    {"Data", 100, 10},      {"Esame", 111, 120},
    {"Risultato", 232, 50}, {"UM", 283, 50},        {"Rife", 334, 50},
    {"Esito", 385, 50},     {"Commento", 436, 250}, {"Firmatario", 687, 50},
    {"Note", 738, 250},     {"Allarme", 989, 2},    {"File01", 992, 250},
    {"File02", 1243, 250},  {"File03", 1494, 250},  {"Desc01", 1745, 250},
    {"Desc02", 1996, 250},  {"Desc03", 2247, 250},
};

template <size_t N>
void checkLayout(const RecordLayout &layout, const Expected (&expected)[N], int size)
{
    QCOMPARE(layout.size(), size);
    QCOMPARE(layout.fieldCount(), int(N));
    for (size_t i = 0; i < N; ++i) {
        const FieldDef &f = layout.field(int(i));
        QCOMPARE(f.name, expected[i].name);
        QCOMPARE(f.offset, expected[i].offset);
        QCOMPARE(f.capacity, expected[i].capacity);
    }
}

QByteArray bytesAt(const FixedRecord &r, int offset, int n) { return r.bytes().mid(offset, n); }

} // namespace

class TestRecords : public QObject {
    Q_OBJECT
private slots:
    void layouts()
    {
        checkLayout(PatientRecord::recordLayout(), kPatient, 4436);
        checkLayout(AnalysisRecord::recordLayout(), kAnalysis, 2498);
        QCOMPARE(int(PatientRecord::FieldCount), 37);
        QCOMPARE(int(AnalysisRecord::FieldCount), 20);
    }

    void yesNoBytes()
    {
        PatientRecord p;
        p.set(PatientRecord::Ricontatta, kYes);
        QCOMPARE(bytesAt(p, 2927, 3), QByteArray("\x02\x53\xEC"));
        p.set(PatientRecord::Ricontatta, kNo);
        QCOMPARE(bytesAt(p, 2927, 3), QByteArray("\x02\x4E\x6F"));

        AnalysisRecord a;
        a.set(AnalysisRecord::Allarme, kYes);
        QCOMPARE(bytesAt(a, 989, 3), QByteArray("\x02\x53\xEC"));
        QCOMPARE(a.get(AnalysisRecord::Allarme), u"Sì"_s);
    }

    void writeTrimsAndCuts()
    {
        AnalysisRecord a;
        a.set(AnalysisRecord::Risultato, u"  12,5  "_s);
        QCOMPARE(bytesAt(a, 232, 5), QByteArray("\x04" "12,5"));

        PatientRecord p;
        p.set(PatientRecord::Paziente, QString(u"  "_s + QString(48, u'A')));
        QCOMPARE(p.length(PatientRecord::Paziente), 48);

        const QString longName(255, u'x');
        a.set(AnalysisRecord::File01, longName);
        QCOMPARE(a.length(AnalysisRecord::File01), 250);
        QCOMPARE(a.get(AnalysisRecord::File01), longName.left(250));
        QCOMPARE(uchar(a.bytes()[992]), uchar(250));
        // The next field starts untouched.
        QCOMPARE(uchar(a.bytes()[1243]), uchar(0));
    }

    void readIgnoresBytesAfterText()
    {
        PatientRecord p;
        p.set(PatientRecord::Paziente, u"ROSSI MARIO ANTONIO"_s);
        p.set(PatientRecord::Paziente, u"BIANCHI"_s);
        // The tail of the longer name is still there, and must not show.
        QCOMPARE(bytesAt(p, 0, 12), QByteArray("\x07" "BIANCHIARIO"));
        QCOMPARE(p.get(PatientRecord::Paziente), u"BIANCHI"_s);
    }

    void lengthByteAboveCapacityIsClamped()
    {
        PatientRecord p;
        QByteArray &b = p.bytes();
        b[133] = char(200); // ProvNasc, capacity 2
        b[134] = 'M';
        b[135] = 'I';
        b[136] = char(1); // Sesso's own length byte follows
        b[137] = 'F';
        QCOMPARE(p.length(PatientRecord::ProvNasc), 2);
        QCOMPARE(p.get(PatientRecord::ProvNasc), u"MI"_s);
        QCOMPARE(p.get(PatientRecord::Sesso), u"F"_s);

        AnalysisRecord a;
        a.bytes()[2247] = char(255); // the last field: must not read past the record
        QCOMPARE(a.rawText(AnalysisRecord::Desc03).size(), 250);
    }

    void readTrimsControlCharacters()
    {
        AnalysisRecord a;
        QByteArray &b = a.bytes();
        const QByteArray raw("\x07\t Glic\r", 8);
        b.replace(111, raw.size(), raw);
        QCOMPARE(a.get(AnalysisRecord::Esame), u"Glic"_s);
        QCOMPARE(a.rawText(AnalysisRecord::Esame), u"\t Glic\r"_s);
    }

    void archivePath()
    {
        QCOMPARE(AnalysisArchivePath(u"/app"_s, u" RSSMRA80A01H501U "_s),
                 u"/app/Analisi_Cliniche/Paziente_CF_RSSMRA80A01H501U.asl"_s);
        // Case is kept; nothing leads out of the folder.
        QCOMPARE(AnalysisArchivePath(u"/app"_s, u"../x/y"_s),
                 u"/app/Analisi_Cliniche/Paziente_CF_.._x_y.asl"_s);
        // A name Windows can hold too, since the folder moves between systems.
        QCOMPARE(AnalysisArchivePath(u"/app"_s, u"RSS:MRA*80?<>|\"x"_s),
                 u"/app/Analisi_Cliniche/Paziente_CF_RSS_MRA_80_____x.asl"_s);
        QCOMPARE(PatientArchivePath(u"/app"_s), u"/app/Pazienti.pro"_s);
    }
};

QTEST_APPLESS_MAIN(TestRecords)
#include "tst_records.moc"
