// The result line of the analysis lists with its date key, their order, the
// search criteria, and the three readings of an archive built on them.
#include "analyses/AnalysisRecord.h"
#include "analyses/AnalysisSearch.h"
#include "analyses/ResultLine.h"
#include "common/FileIo.h"
#include "common/ListLines.h"
#include "common/RecordScan.h"
#include "common/Text.h"
#include "support/FileTools.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace clinora;
using namespace clinora::test;

namespace {

struct Card {
    Card(QString data, QString esame, QString risultato = u"1"_s, QString esito = u"NELLA NORMA"_s,
         QString alarm = u"No"_s, QString note = QString())
        : data(std::move(data)), esame(std::move(esame)), risultato(std::move(risultato)), esito(std::move(esito)),
          alarm(std::move(alarm)), note(std::move(note))
    {
    }
    QString data, esame, risultato, esito, alarm, note;
};

AnalysisRecord record(const Card &c)
{
    AnalysisRecord r;
    r.set(AnalysisRecord::Paziente, u"Rossi Niccolò"_s);
    r.set(AnalysisRecord::CodFisc, u"RSSNCC80A01H501U"_s);
    r.set(AnalysisRecord::NumRef, u"R1"_s);
    r.set(AnalysisRecord::DataRef, c.data);
    r.set(AnalysisRecord::Data, c.data);
    r.set(AnalysisRecord::Esame, c.esame);
    r.set(AnalysisRecord::Risultato, c.risultato);
    r.set(AnalysisRecord::UM, u"mg/dl"_s);
    r.set(AnalysisRecord::Rife, u"70-110"_s);
    r.set(AnalysisRecord::Esito, c.esito);
    r.set(AnalysisRecord::Allarme, c.alarm);
    r.set(AnalysisRecord::Note, c.note);
    return r;
}

void writeArchive(const QString &path, const QList<Card> &cards)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    for (const Card &c : cards)
        f.write(record(c).bytes());
}

// The exam of each line, for reading orders at a glance.
QStringList exams(const QStringList &lines)
{
    QStringList out;
    for (const QString &l : lines)
        out << l.mid(l.indexOf(u"  Data: "_s) + 8 + 10 + 2, 28).trimmed();
    return out;
}

using Criteria = std::array<QString, 10>;

// A field's stored bytes, as another program may have left them.
void putRaw(AnalysisRecord &r, AnalysisRecord::Field f, const QByteArray &bytes)
{
    const FieldDef &def = r.layout().field(f);
    r.bytes()[def.offset] = char(bytes.size());
    r.bytes().replace(def.offset + 1, bytes.size(), bytes);
}

} // namespace

class TestResultLine : public QObject {
    Q_OBJECT

private slots:
    void dateKey_data()
    {
        QTest::addColumn<QString>("data");
        QTest::addColumn<QString>("key");
        QTest::newRow("a date") << u"15/03/2024"_s << u"20240315"_s;
        QTest::newRow("blanks around") << u" \t02/01/2024  "_s << u"20240102"_s;
        QTest::newRow("empty") << QString() << QString();
        QTest::newRow("blanks only") << u"   "_s << QString();
        // Characters 7-10, 4-5 and 1-2 as far as the text reaches.
        QTest::newRow("short") << u"5/3/24"_s << u"/25/"_s;
        QTest::newRow("two characters") << u"15"_s << u"15"_s;
        QTest::newRow("no year") << u"15/03"_s << u"0315"_s;
    }

    void dateKey()
    {
        QFETCH(QString, data);
        QFETCH(QString, key);
        QCOMPARE(resultDateKey(data), key);
    }

    void line_data()
    {
        QTest::addColumn<ResultFields>("fields");
        QTest::addColumn<QString>("line");
        QTest::newRow("a result")
            << ResultFields{u"15/03/2024"_s, u"Emocromo"_s, u"4,8"_s, u"mil/mm3"_s, u"4,2 - 5,4"_s, u"NELLA NORMA"_s}
            << u"Cod. 20240315  Data: 15/03/2024  Emocromo                      Valore: 4,8                   UM: "
               u"mil/mm3         Rif. 4,2 - 5,4             NELLA NORMA"_s;
        QTest::newRow("empty fields")
            << ResultFields{}
            << u"Cod.   Data:                                           Valore:                       UM:           "
               u"      Rif.                       "_s;
        QTest::newRow("short date")
            << ResultFields{u"5/3/24"_s, u"Glicemia"_s, u"95"_s, u"mg/dl"_s, u"70-110"_s, QString()}
            << u"Cod. /25/  Data: 5/3/24      Glicemia                      Valore: 95                    UM: mg/dl  "
               u"         Rif. 70-110                "_s;
        // Trimmed first, then cut to the width; the outcome stays whole.
        QTest::newRow("long and untrimmed")
            << ResultFields{u"  02/01/2024 "_s, u"  Colesterolo totale HDL e LDL calcolato  "_s,
                            u"123456789012345678901234"_s, u"milligrammi/decilitro"_s,
                            u"inferiore a 200 negli adulti"_s,
                            u" FUORI NORMA: ripetere l'esame entro trenta giorni "_s}
            << u"Cod. 20240102  Data: 02/01/2024  Colesterolo totale HDL e LDL  Valore: 12345678901234567890  UM: "
               u"milligrammi/de  Rif. inferiore a 200 negl  FUORI NORMA: ripetere l'esame entro trenta giorni"_s;
    }

    void line()
    {
        QFETCH(ResultFields, fields);
        QFETCH(QString, line);
        QCOMPARE(resultLine(fields), line);
    }

    // From a record as stored, blanks around a field included.
    void lineOfARecord()
    {
        AnalysisRecord r = record({u"15/03/2024"_s, u"Emocromo"_s, u"4,8"_s});
        QByteArray &b = r.bytes();
        const QByteArray exam = "  Emocromo ";
        b[111] = char(exam.size());
        b.replace(112, exam.size(), exam);
        QCOMPARE(resultLine(r), resultLine(ResultFields{u"15/03/2024"_s, u"Emocromo"_s, u"4,8"_s, u"mg/dl"_s,
                                                        u"70-110"_s, u"NELLA NORMA"_s}));
    }

    // The lists make their lines from the stored bytes: the same lines as
    // from the decoded fields.
    void lineFromBytes_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QByteArray>("esame");
        QTest::addColumn<QByteArray>("esito");
        QTest::newRow("plain") << QByteArray("15/03/2024") << QByteArray("Emocromo") << QByteArray("NELLA NORMA");
        QTest::newRow("code page 80-9F and accents")
            << QByteArray("01/02/2024") << QByteArray("\x80 \x81 \x9F \xE8\xC0") << QByteArray("\x93ok\x94");
        QTest::newRow("blanks and tabs around") << QByteArray(" \t02/01/2024\t") << QByteArray("\t Glicemia  ")
                                                << QByteArray("  FUORI  ");
        QTest::newRow("longer than the widths")
            << QByteArray("02/01/2024 ore 8") << QByteArray(60, 'x') << QByteArray(50, 'y');
        QTest::newRow("a short date") << QByteArray("5/3") << QByteArray() << QByteArray();
        QTest::newRow("no date") << QByteArray() << QByteArray("Senza data") << QByteArray();
    }

    void lineFromBytes()
    {
        QFETCH(QByteArray, data);
        QFETCH(QByteArray, esame);
        QFETCH(QByteArray, esito);
        AnalysisRecord r = record({QString(), QString()});
        putRaw(r, AnalysisRecord::Data, data);
        putRaw(r, AnalysisRecord::Esame, esame);
        putRaw(r, AnalysisRecord::Esito, esito);
        putRaw(r, AnalysisRecord::Rife, "\x80 70-110 \x9D");
        QByteArray bytes;
        appendResultLine(r, bytes);
        QCOMPARE(text::fromCp1252(bytes), resultLine(resultFields(r)));
        QCOMPARE(resultLine(r), resultLine(resultFields(r)));
    }

    // Lines kept as bytes sort as their texts do, equal lines in the order
    // they came in: across case, the code page's 80-9F (the euro sign comes
    // after the accented letters), lines that begin others, long common
    // beginnings shared by many lines, and beginnings cut on either side of
    // 16 and 32 characters, each shared by a few lines only.
    void linesSortAsTexts_data()
    {
        QTest::addColumn<QList<QByteArray>>("beginnings");
        QTest::newRow("many lines per beginning")
            << QList<QByteArray>{"", "ROSSI MARIO", "Cod. 20240315  Data: 15/03/2024  Glic",
                                 "Cod. 20240315  Data: 15/03/2024  GLIC"};
        const QByteArray visit("Cod. 20240315  Data: 15/03/2024  Glicemia a digiuno");
        QList<QByteArray> few;
        QRandomGenerator rng(5);
        for (int i = 0; i < 300; ++i) {
            const int cuts[] = {15, 16, 17, 31, 32, 33, 40};
            QByteArray b = visit.left(cuts[rng.bounded(7)]);
            b[rng.bounded(int(b.size()))] = "xX9\xE8"[rng.bounded(4)];
            few << b;
        }
        QTest::newRow("a few lines per beginning") << few;
    }

    void linesSortAsTexts()
    {
        QFETCH(QList<QByteArray>, beginnings);
        const QByteArray alphabet("aAzZ_0 \t\x80\x81\x8A\x9F\xA0\xC0\xE0\xE8\xFF");
        QRandomGenerator rng(11);
        ListLines bytes;
        QStringList texts;
        for (int i = 0; i < 3000; ++i) {
            QByteArray line = beginnings[rng.bounded(int(beginnings.size()))];
            const int tail = rng.bounded(6);
            for (int c = 0; c < tail; ++c)
                line += alphabet[rng.bounded(int(alphabet.size()))];
            bytes.append(line);
            texts << text::fromCp1252(line);
        }
        bytes.sort();
        sortListLines(texts);
        QCOMPARE(bytes.toStringList(), texts);
    }

    void order_data()
    {
        QTest::addColumn<QString>("a");
        QTest::addColumn<QString>("b");
        QTest::addColumn<int>("sign");
        QTest::newRow("a-z as A-Z") << u"abc"_s << u"ABD"_s << -1;
        QTest::newRow("equal but for case") << u"Glicemia"_s << u"GLICEMIA"_s << 0;
        // Upper-cased, letters stand before the underscore (95).
        QTest::newRow("underscore after letters") << u"a"_s << u"_"_s << -1;
        QTest::newRow("accented by code") << u"f"_s << u"è"_s << -1;
        QTest::newRow("beginning first") << u"Cod. 2024"_s << u"Cod. 20240"_s << -1;
        QTest::newRow("empty first") << QString() << u" "_s << -1;
    }

    void order()
    {
        QFETCH(QString, a);
        QFETCH(QString, b);
        QFETCH(int, sign);
        QCOMPARE(compareListText(a, b), sign);
        QCOMPARE(compareListText(b, a), -sign);
    }

    void criteria_data()
    {
        QTest::addColumn<Criteria>("typed");
        QTest::addColumn<int>("given");
        QTest::addColumn<QStringList>("found"); // exams of the cards that match
        const Criteria none{};
        auto only = [](int i, const QString &t) {
            Criteria c{};
            c[size_t(i)] = t;
            return c;
        };
        QTest::newRow("none given") << none << 0
                                    << QStringList{u"Emocromo"_s, u"EMOGLOBINA"_s, u"Esame emocromo"_s, u"Glicemia"_s};
        QTest::newRow("year") << only(2, u"2023"_s) << 1 << QStringList{u"Emocromo"_s, u"Glicemia"_s};
        QTest::newRow("month of any year") << only(2, u"/03/"_s) << 1
                                           << QStringList{u"Emocromo"_s, u"Esame emocromo"_s};
        QTest::newRow("case of A-Z") << only(3, u"emo"_s) << 1
                                     << QStringList{u"Emocromo"_s, u"EMOGLOBINA"_s, u"Esame emocromo"_s};
        QTest::newRow("leading blank kept") << only(3, u" emo"_s) << 1 << QStringList{u"Esame emocromo"_s};
        QTest::newRow("accent keeps its case") << only(9, u"À"_s) << 1 << QStringList{u"Glicemia"_s};
        Criteria blanksAndNothing{};
        blanksAndNothing[9] = u"   "_s;
        blanksAndNothing[0] = u"nessuno"_s;
        QTest::newRow("blanks ignored") << blanksAndNothing << 1 << QStringList{};
        Criteria two{};
        two[3] = u"emo"_s;
        two[2] = u"2024"_s;
        QTest::newRow("every one must match") << two << 2 << QStringList{u"EMOGLOBINA"_s, u"Esame emocromo"_s};
    }

    void criteria()
    {
        QFETCH(Criteria, typed);
        QFETCH(int, given);
        QFETCH(QStringList, found);
        const QList<Card> cards = {
            {u"15/03/2023"_s, u"Emocromo"_s},
            {u"02/01/2024"_s, u"EMOGLOBINA"_s},
            {u"20/03/2024"_s, u"Esame emocromo"_s},
            {u"15/12/2023"_s, u"Glicemia"_s, u"1"_s, u"NELLA NORMA"_s, u"No"_s, u"Nota À"_s},
        };
        const AnalysisCriteria criteria(typed);
        QCOMPARE(criteria.count(), given);
        QStringList matched;
        for (const Card &c : cards)
            if (criteria.matches(record(c)))
                matched << c.esame;
        QCOMPARE(matched, found);
    }

    // Listed once, sorted once: by sample date, then by the rest of the line.
    void searchListsInDateOrder()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"Paziente_CF_X.asl"_s);
        writeArchive(path, {
                               {u"02/01/2024"_s, u"Glicemia"_s},
                               {u"15/12/2023"_s, u"Emocromo"_s},
                               {u"02/01/2024"_s, u"azotemia"_s},
                               {u"02/01/2024"_s, u"Creatinina"_s},
                               {u""_s, u"Senza data"_s},
                           });
        ListLines lines;
        QVERIFY(findResultLines(path, AnalysisCriteria(Criteria{}), lines));
        QCOMPARE(exams(lines.toStringList()),
                 (QStringList{u"Senza data"_s, u"Emocromo"_s, u"azotemia"_s, u"Creatinina"_s, u"Glicemia"_s}));
        QVERIFY(lines.at(0).startsWith(u"Cod.   Data: "_s + QString(10 + 2, u' ') + u"Senza data"_s));

        Criteria jan{};
        jan[2] = u"01/2024"_s;
        QVERIFY(findResultLines(path, AnalysisCriteria(jan), lines));
        QCOMPARE(exams(lines.toStringList()), (QStringList{u"azotemia"_s, u"Creatinina"_s, u"Glicemia"_s}));
    }

    // An archive large enough to be read in two halves lists every card
    // once, in the order of the lists, as one read from end to end would.
    void largeArchiveListsAsOneRead()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"large.asl"_s);
        QList<Card> cards;
        QStringList expected, alarming;
        const int count = int(kScanSplitBytes / AnalysisRecord::kSize) + 101;
        QRandomGenerator rng(3);
        const QString exams[] = {u"Glicemia"_s, u"GLICEMIA"_s, u"Azotemia"_s, u"Colesterolo HDL"_s};
        for (int i = 0; i < count; ++i) {
            const QString date = QDate(2000 + rng.bounded(20), 1 + rng.bounded(12), 1 + rng.bounded(28))
                                     .toString(u"dd/MM/yyyy"_s);
            const bool alarm = rng.bounded(5) == 0;
            cards << Card(date, exams[rng.bounded(4)], QString::number(i), u"NELLA NORMA"_s,
                          alarm ? u"Sì"_s : u"No"_s);
            expected << resultLine(resultFields(record(cards.last())));
            if (alarm)
                alarming << expected.last();
        }
        writeArchive(path, cards);
        sortListLines(expected);
        sortListLines(alarming);
        ListLines lines;
        QVERIFY(findResultLines(path, AnalysisCriteria(Criteria{}), lines));
        QCOMPARE(lines.toStringList(), expected);
        QVERIFY(alarmingResultLines(path, lines));
        QCOMPARE(lines.toStringList(), alarming);
    }

    void alarmingCards()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"a.asl"_s);
        writeArchive(path, {
                               {u"02/01/2024"_s, u"Glicemia"_s, u"300"_s, u"FUORI NORMA"_s, u"Sì"_s},
                               {u"03/01/2024"_s, u"Marcato No"_s, u"1"_s, u"NELLA NORMA"_s, u"No"_s},
                               {u"04/01/2024"_s, u"Senza segno"_s, u"1"_s, u"NELLA NORMA"_s, QString()},
                               {u"05/01/2024"_s, u"Minuscolo"_s, u"1"_s, u"NELLA NORMA"_s, u"sì"_s},
                               {u"06/01/2024"_s, u"Senza accento"_s, u"1"_s, u"NELLA NORMA"_s, u"SI"_s},
                               {u"15/12/2023"_s, u"Potassio"_s, u"7"_s, u"FUORI NORMA"_s, u"Sì"_s},
                           });
        ListLines lines;
        QVERIFY(alarmingResultLines(path, lines));
        QCOMPARE(exams(lines.toStringList()), (QStringList{u"Potassio"_s, u"Glicemia"_s}));
    }

    // The card behind a line is the last record that gives it.
    void cardOfALine()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"a.asl"_s);
        writeArchive(path, {
                               {u"02/01/2024"_s, u"Glicemia"_s, u"95"_s, u"NELLA NORMA"_s, u"No"_s, u"prima"_s},
                               {u"03/01/2024"_s, u"Azotemia"_s},
                               {u"02/01/2024"_s, u"Glicemia"_s, u"95"_s, u"NELLA NORMA"_s, u"No"_s, u"gemella"_s},
                               {u"04/01/2024"_s, u"Creatinina"_s},
                           });
        const QString line = resultLine(record({u"02/01/2024"_s, u"Glicemia"_s, u"95"_s}));
        CardOfLine found;
        QVERIFY(findCardOfLine(path, u"  "_s + line + u" "_s, found));
        QCOMPARE(found.number, 3);
        QCOMPARE(found.record.get(AnalysisRecord::Note), u"gemella"_s);

        QVERIFY(findCardOfLine(path, u"Cod. 19990101"_s, found));
        QCOMPARE(found.number, 0);
    }

    void missingArchiveIsCreatedEmpty()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"Paziente_CF_NUOVO.asl"_s);
        ListLines lines;
        lines.append("left over");
        QVERIFY(alarmingResultLines(path, lines));
        QVERIFY(lines.isEmpty());
        QVERIFY(QFile::exists(path));
        QCOMPARE(QFileInfo(path).size(), 0);
    }

    void failures_data()
    {
        QTest::addColumn<io::Op>("op");
        QTest::newRow("open") << io::Op::Open;
        QTest::newRow("read") << io::Op::Read;
    }

    void failures()
    {
        QFETCH(io::Op, op);
        QTemporaryDir dir;
        const QString path = dir.filePath(u"a.asl"_s);
        writeArchive(path, {{u"02/01/2024"_s, u"Glicemia"_s, u"300"_s, u"FUORI NORMA"_s, u"Sì"_s}});
        FailOp fault(op);
        ListLines lines;
        QVERIFY(!findResultLines(path, AnalysisCriteria(Criteria{}), lines));
        QVERIFY(!alarmingResultLines(path, lines));
        QVERIFY(lines.isEmpty());
        CardOfLine found;
        QVERIFY(!findCardOfLine(path, QString(), found));
        QCOMPARE(found.number, 0);
    }
};

QTEST_GUILESS_MAIN(TestResultLine)
#include "tst_resultline.moc"
