// What a fiscal code says about its holder, the code computed from a
// person's data, and the table of cadastral codes behind both.
//
// Where the expected codes come from: each was worked by hand from the
// published rules (surname: consonants, then vowels, then X; given names:
// the 1st, 3rd and 4th consonant when there are more than three; year, month
// letter ABCDEHLMPRST, day + 40 for women, cadastral code; the check
// character as the sum of the odd-position table and the even-position
// ranks, modulo 26) and cross-checked with a throwaway script that shared no
// code with the program. Two of them in full:
//
//   Verdi Giuseppina, F, 05/03/1972, Milano (F205)
//     VERDI -> V R D; GIUSEPPINA -> consonants G S P P N, more than three:
//     1st, 3rd, 4th = G P P; 72; March = C; 5 + 40 = 45; F205
//     VRDGPP72C45F205: odd positions V D P 7 C 5 2 5 = 10+7+3+17+5+13+5+13 = 73,
//     even positions R G P 2 4 F 0 = 17+6+15+2+4+5+0 = 49; 122 mod 26 = 18 -> S
//   Dupont Jean, M, 03/04/1990, Francia (Z110)
//     DUPONT -> D P N; JEAN -> J N, then E; 90; April = D; 03; Z110
//     DPNJNE90D03Z110: odd D N N 9 D 3 1 0 = 7+20+20+21+7+7+0+1 = 83,
//     even P J E 0 0 Z 1 = 15+9+4+0+0+25+1 = 54; 137 mod 26 = 7 -> H
#include "checks/CodiceFiscale.h"
#include "checks/CodiciCatastali.h"
#include "checks/DatiCodiceFiscale.h"

#include <QHash>
#include <QRegularExpression>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace clinora;

namespace {
const QDate kToday(2026, 12, 10);
}

class TestCodFiscDati : public QObject {
    Q_OBJECT
private slots:
    void table()
    {
        const CadastralTable &t = CadastralTable::instance();
        QVERIFY(t.size() > 10000);
        QCOMPARE(&t, &CadastralTable::instance()); // read once
        const CadastralPlace *sg = t.byCode(u"A562");
        QVERIFY(sg);
        QCOMPARE(sg->label(), u"San Giuliano Terme (PI)"_s);
        QVERIFY(!sg->foreign());
        const CadastralPlace *fr = t.byCode(u"Z110");
        QVERIFY(fr && fr->foreign());
        QCOMPARE(fr->label(), u"Francia (EE)"_s);
        QVERIFY(!t.byCode(u"A000"));
        // Corigliano Calabro's code gave way to Corigliano-Rossano's in 2018;
        // its last day is still a day of use.
        const CadastralPlace *old = t.byCode(u"D005");
        QVERIFY(old && old->inUseOn(QDate(1960, 1, 15)) && !old->inUseOn(QDate(2019, 6, 1)));
        QCOMPARE(old->to, QDate(2018, 3, 31));
        QVERIFY(old->inUseOn(old->to) && !old->inUseOn(old->to.addDays(1)));
        QCOMPARE(t.onDay(u"D005", QDate(2018, 3, 31)), old);
        QVERIFY(!t.onDay(u"D005", QDate(2018, 4, 1)));
        // A code keeps its history: Aversa was in Naples's province from
        // 1927 to 1945, and is in Caserta's.
        const auto aversa = t.history(u"A512");
        QCOMPARE(aversa.size(), size_t(3));
        QCOMPARE(t.onDay(u"A512", QDate(1930, 1, 1))->province, u"NA"_s);
        QCOMPARE(t.onDay(u"A512", QDate(1920, 1, 1))->province, u"CE"_s);
        QCOMPARE(t.byCode(u"A512")->label(), u"Aversa (CE)"_s);
        QVERIFY(t.byCode(u"A512")->current());
        for (size_t i = 1; i < aversa.size(); ++i)
            QCOMPARE(aversa[i].from, aversa[i - 1].to.addDays(1));
        // Names compare without accents, case or apostrophes.
        const auto found = t.byName(u"SAN GIULIANO TERME", u"PI", QDate());
        QCOMPARE(found.size(), 1);
        QCOMPARE(found[0]->code, u"A562"_s);
        QCOMPARE(placeKey(u"Sant'Angelo  d\u00EC-Piove"), u"SANT ANGELO DI PIOVE"_s);
        QVERIFY(!t.byName(u"Abetone", QString(), QDate()).isEmpty());
    }

    void parseSkipsDamagedLines()
    {
        const CadastralTable t = CadastralTable::parse("B001;Due;XX;19000101;\nbad line\n;;;;\n"
                                                       "A001;Uno;YY;;19991231\nZ001;Tre;EE;2000013;");
        QCOMPARE(t.size(), 3);
        QCOMPARE(t.places()[0].code, u"A001"_s); // sorted by code
        QVERIFY(!t.places()[0].from.isValid());
        QCOMPARE(t.places()[0].to, QDate(1999, 12, 31));
        QVERIFY(!t.places()[2].from.isValid()); // a day of seven digits is no day
    }

    void read_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QDate>("date");
        QTest::addColumn<QString>("sex");
        QTest::addColumn<QString>("place"); // the place code
        QTest::addColumn<bool>("omocodia");
        QTest::addColumn<QString>("sentence");
        QTest::newRow("ordinary") << u"RSSMRA85T10A562S"_s << QDate(1985, 12, 10) << u"M"_s << u"A562"_s << false
                                  << u"Nato/a il 10/12/1985 a San Giuliano Terme (PI)"_s;
        // The last digit 2 written as N (0-9 are L M N P Q R S T U V).
        QTest::newRow("omocodia") << u"RSSMRA85T10A56NH"_s << QDate(1985, 12, 10) << u"M"_s << u"A562"_s << true
                                  << u"Nato/a il 10/12/1985 a San Giuliano Terme (PI)"_s;
        QTest::newRow("woman, day + 40") << u"VRDGPP72C45F205S"_s << QDate(1972, 3, 5) << u"F"_s << u"F205"_s
                                         << false << u"Nato/a il 05/03/1972 a Milano (MI)"_s;
        QTest::newRow("29 February 2000") << u"FOXDAA00B69H501A"_s << QDate(2000, 2, 29) << u"F"_s << u"H501"_s
                                          << false << u"Nato/a il 29/02/2000 a Roma (RM)"_s;
        QTest::newRow("foreign-born") << u"DPNJNE90D03Z110H"_s << QDate(1990, 4, 3) << u"M"_s << u"Z110"_s << false
                                      << u"Nato/a il 03/04/1990 all'estero (Francia)"_s;
        // Every omocodia letter but one, among them V (9) and P (3).
        QTest::newRow("omocodia, seven letters") << u"RSSMRAVPDMTARSNG"_s << QDate(1993, 4, 17) << u"M"_s
                                                 << u"A562"_s << true
                                                 << u"Nato/a il 17/04/1993 a San Giuliano Terme (PI)"_s;
        QTest::newRow("omocodia, L M R S U") << u"RSSMRAURTMLARSNL"_s << QDate(1985, 12, 10) << u"M"_s << u"A562"_s
                                             << true << u"Nato/a il 10/12/1985 a San Giuliano Terme (PI)"_s;
        // A municipality abolished since: its name and province then, marked.
        QTest::newRow("abolished, in use then") << u"DNCLCU60A15D005E"_s << QDate(1960, 1, 15) << u"M"_s
                                                << u"D005"_s << false
                                                << u"Nato/a il 15/01/1960 a Corigliano Calabro (CS), comune soppresso"_s;
        QTest::newRow("abolished, on its last day") << u"RSSMRA18C31D005N"_s << QDate(2018, 3, 31) << u"M"_s
                                                    << u"D005"_s << false
                                                    << u"Nato/a il 31/03/2018 a Corigliano Calabro (CS), comune "
                                                       u"soppresso"_s;
        QTest::newRow("new code after the merger") << u"RSSMRA19H01M403I"_s << QDate(2019, 6, 1) << u"M"_s
                                                   << u"M403"_s << false
                                                   << u"Nato/a il 01/06/2019 a Corigliano-Rossano (CS)"_s;
        // Known codes out of use on the birth date are named, not unknown.
        QTest::newRow("code not yet in use") << u"RSSMRA50A01M403W"_s << QDate(1950, 1, 1) << u"M"_s << u"M403"_s
                                             << false
                                             << u"Nato/a il 01/01/1950 (codice del luogo di nascita M403 non ancora "
                                                u"in uso a quella data: Corigliano-Rossano (CS), in uso dal "
                                                u"31/03/2018)"_s;
        QTest::newRow("code no longer in use") << u"RSSMRA50A01C592X"_s << QDate(1950, 1, 1) << u"M"_s << u"C592"_s
                                               << false
                                               << u"Nato/a il 01/01/1950 (codice del luogo di nascita C592 non più "
                                                  u"in uso a quella data: Challant Saint Anselme Et Challant Saint "
                                                  u"Victor (AO), in uso fino al 28/09/1946)"_s;
        QTest::newRow("code unknown") << u"RSSMRA85T10A000W"_s << QDate(1985, 12, 10) << u"M"_s << u"A000"_s << false
                                      << u"Nato/a il 10/12/1985 (codice del luogo di nascita A000 sconosciuto)"_s;
        // Today's name and province for a place in use, whatever its
        // province then: Aversa was Naples's in 1930, Aviano Udine's in 1950.
        QTest::newRow("province changed since") << u"RSSMRA30A01A512H"_s << QDate(1930, 1, 1) << u"M"_s << u"A512"_s
                                                << false << u"Nato/a il 01/01/1930 a Aversa (CE)"_s;
        QTest::newRow("before its province was made") << u"VRDGPP50C43A516M"_s << QDate(1950, 3, 3) << u"F"_s
                                                      << u"A516"_s << false << u"Nato/a il 03/03/1950 a Aviano (PN)"_s;
    }
    void read()
    {
        QFETCH(QString, code);
        QFETCH(QDate, date);
        QFETCH(QString, sex);
        QFETCH(QString, place);
        QFETCH(bool, omocodia);
        QFETCH(QString, sentence);
        const auto r = readFiscalCode(code, kToday);
        QVERIFY(r);
        QCOMPARE(r->birthDate, date);
        QCOMPARE(QString(r->sex), sex);
        QCOMPARE(r->placeCode, place);
        QCOMPARE(r->omocodia, omocodia);
        QCOMPARE(r->sentence(), sentence);
    }

    void readRefuses_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<bool>("checkPasses"); // the check character alone would pass it
        QTest::newRow("wrong check character") << u"RSSMRA85T10A562T"_s << false;
        QTest::newRow("no month letter") << u"AAAAAA00F00A000U"_s << true;
        QTest::newRow("day 00") << u"AAAAAA00A00A000I"_s << true;
        QTest::newRow("day 32") << u"RSSMRA85T32A562Y"_s << true;
        QTest::newRow("digits where letters go") << u"000000000000000I"_s << true;
        QTest::newRow("letter outside omocodia's") << u"RSSMRA85T10A56AO"_s << true;
    }
    void readRefuses()
    {
        QFETCH(QString, code);
        QFETCH(bool, checkPasses);
        QCOMPARE(CodFiscValido(code), checkPasses);
        QVERIFY(!readFiscalCode(code, kToday));
    }

    // The two-digit year: the latest century that puts the birth no later
    // than today, the month and day counted; the century before when only
    // then was the place code in use.
    void century_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QDate>("today");
        QTest::addColumn<QDate>("date");
        QTest::newRow("this year, days ago") << u"RSSMRA26H10H501E"_s << QDate(2026, 6, 11) << QDate(2026, 6, 10);
        QTest::newRow("this year, today") << u"RSSMRA26H10H501E"_s << QDate(2026, 6, 10) << QDate(2026, 6, 10);
        QTest::newRow("same month, days ahead") << u"RSSMRA26H20H501F"_s << QDate(2026, 6, 11) << QDate(1926, 6, 20);
        QTest::newRow("a later month") << u"RSSMRA26L20H501S"_s << QDate(2026, 6, 11) << QDate(1926, 7, 20);
        QTest::newRow("place in use in both") << u"RSSMRA18C31D005N"_s << QDate(2026, 12, 10) << QDate(2018, 3, 31);
        // Abbadia Sopra Adda (A002), abolished in 1928.
        QTest::newRow("place only in the older") << u"RSSMRA25A01A002X"_s << QDate(2026, 12, 10)
                                                 << QDate(1925, 1, 1);
        // Corigliano Calabro, abolished in 2018, was there in 1919 too.
        QTest::newRow("place abolished, older century") << u"RSSMRA19H01D005X"_s << QDate(2026, 12, 10)
                                                        << QDate(1919, 6, 1);
        // 29 February 2000 exists, 1900 was no leap year.
        QTest::newRow("29 February") << u"RSSMRA00B29H501Y"_s << QDate(2026, 12, 10) << QDate(2000, 2, 29);
    }
    void century()
    {
        QFETCH(QString, code);
        QFETCH(QDate, today);
        QFETCH(QDate, date);
        const auto r = readFiscalCode(code, today);
        QVERIFY(r);
        QCOMPARE(r->birthDate, date);
        QVERIFY(r->birthDate <= today);
    }

    // The place typed in the calculator, as people type it.
    void choosePlace_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QDate>("date");
        QTest::addColumn<QString>("code"); // empty: none, and a note says why
        QTest::addColumn<QString>("note"); // how the note begins
        const QDate d1985(1985, 12, 10);
        QTest::newRow("accent") << u"Forlì"_s << d1985 << u"D704"_s << QString();
        QTest::newRow("no accent") << u"Forli"_s << d1985 << u"D704"_s << QString();
        QTest::newRow("small letters, province") << u" forli (fc) "_s << d1985 << u"D704"_s << QString();
        QTest::newRow("province in brackets") << u"Agliè (TO)"_s << d1985 << u"A074"_s << QString();
        QTest::newRow("apostrophe") << u"albiano d'ivrea"_s << d1985 << u"A157"_s << QString();
        QTest::newRow("today's province, born under another") << u"Aversa (CE)"_s << QDate(1930, 1, 1) << u"A512"_s
                                                               << QString();
        QTest::newRow("the province then") << u"Aversa (NA)"_s << QDate(1930, 1, 1) << u"A512"_s << QString();
        QTest::newRow("garbled once") << u"Città della Pieve"_s << d1985 << u"C744"_s << QString();
        QTest::newRow("abolished, in use then") << u"Corigliano Calabro"_s << QDate(1960, 1, 15) << u"D005"_s
                                                << QString();
        QTest::newRow("abolished before") << u"Corigliano Calabro"_s << QDate(2019, 6, 1) << QString()
                                          << u"Il luogo di nascita indicato non aveva"_s;
        QTest::newRow("two of that name") << u"Samone"_s << d1985 << QString() << u"Più comuni hanno questo nome"_s;
        QTest::newRow("two of that name, province") << u"Samone (TN)"_s << d1985 << u"H754"_s << QString();
        QTest::newRow("no such place") << u"Atlantide"_s << d1985 << QString() << u"Luogo di nascita non trovato"_s;
        QTest::newRow("wrong province") << u"Aversa (TO)"_s << d1985 << QString()
                                        << u"Luogo di nascita non trovato"_s;
    }
    void choosePlace()
    {
        QFETCH(QString, typed);
        QFETCH(QDate, date);
        QFETCH(QString, code);
        QFETCH(QString, note);
        const PlaceChoice c = clinora::choosePlace(typed, date);
        QCOMPARE(c.code, code);
        QVERIFY2(c.note.startsWith(note) && c.note.isEmpty() == note.isEmpty(), qPrintable(c.note));
    }

    // A code whose name changed: the former name finds it, and a reading of
    // a birth under it gives today's name and the one then.
    void formerName()
    {
        const CadastralTable t = CadastralTable::parse("X001;Vecchio Nome;AA;;19491231\n"
                                                       "X001;Nuovo Nome;AA;19500101;\n");
        QCOMPARE(t.labels(), (QStringList{u"Nuovo Nome (AA)"_s, u"Vecchio Nome (AA)"_s}));
        QCOMPARE(clinora::choosePlace(u"Vecchio Nome (AA)", QDate(1960, 1, 1), t).code, u"X001"_s);
        QCOMPARE(clinora::choosePlace(u"nuovo nome", QDate(1940, 1, 1), t).code, u"X001"_s);
        const auto r = readFiscalCode(u"RSSMRA40A01X001O", kToday, t);
        QVERIFY(r && r->place && r->placeThen);
        QCOMPARE(r->sentence(), u"Nato/a il 01/01/1940 a Nuovo Nome (AA), allora Vecchio Nome"_s);
        QCOMPARE(readFiscalCode(u"RSSMRA60A01X001U", kToday, t)->sentence(), u"Nato/a il 01/01/1960 a Nuovo Nome (AA)"_s);
    }

    // The table that ships, checked: names spelt right, today's provinces,
    // no municipality born with its province, the famous places read right.
    void shippedTable()
    {
        // The 107 provinces and equivalent bodies since Sardinia's
        // reorganisation of 2016 (Olbia-Tempio, Ogliastra, Carbonia-Iglesias
        // and Medio Campidano abolished, Sud Sardegna made).
        const QStringList provinces = u"AG AL AN AO AP AQ AR AT AV BA BG BI BL BN BO BR BS BT BZ CA CB CE CH CL CN CO "
                                      u"CR CS CT CZ EN FC FE FG FI FM FR GE GO GR IM IS KR LC LE LI LO LT LU MB MC ME "
                                      u"MI MN MO MS MT NA NO NU OR PA PC PD PE PG PI PN PO PR PT PU PV PZ RA RC RE RG "
                                      u"RI RM RN RO SA SI SO SP SR SS SU SV TA TE TN TO TP TR TS TV UD VA VB VC VE VI "
                                      u"VR VT VV"_s.split(u' ');
        QCOMPARE(provinces.size(), 107);
        const QDate sardinianReform(2016, 4, 20);
        // Provinces made from older ones, on these days: a municipality of
        // theirs did not start then (none was made on those days).
        const QHash<QString, QDate> made = {
            {u"PN"_s, QDate(1968, 4, 6)}, {u"IS"_s, QDate(1970, 3, 3)}, {u"OR"_s, QDate(1974, 8, 20)},
            {u"MB"_s, QDate(2004, 6, 11)}, {u"FM"_s, QDate(2004, 6, 11)}, {u"BT"_s, QDate(2004, 6, 11)},
            {u"SU"_s, sardinianReform},
        };
        const CadastralTable &t = CadastralTable::instance();
        QStringList wrong;
        const CadastralPlace *previous = nullptr;
        int current = 0;
        for (const CadastralPlace &p : t.places()) {
            const bool sameCode = previous && previous->code == p.code;
            for (const QString &bad : {u"\u00C3"_s, u"\u00C2"_s, u"\u0102"_s, u"\uFFFD"_s, u"  "_s})
                if (p.name.contains(bad))
                    wrong << p.code + u" garbled: "_s + p.name;
            static const QRegularExpression smallAfterApostrophe(u"'\\p{Ll}"_s);
            if (p.name.contains(smallAfterApostrophe) || p.name != p.name.trimmed())
                wrong << p.code + u" spelt: "_s + p.name;
            if (sameCode && p.from != previous->to.addDays(1))
                wrong << p.code + u" periods not one after the other"_s;
            if (!sameCode && !p.foreign() && p.from.isValid() && p.from == made.value(p.province))
                wrong << p.code + u" starts with its province: "_s + p.name;
            if (p.current() && !p.foreign()) {
                ++current;
                if (!provinces.contains(p.province))
                    wrong << p.code + u" in no province of today: "_s + p.label();
            }
            previous = &p;
        }
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(u'\n')));
        QVERIFY(current > 7800);
        // Olbia left Olbia-Tempio for Sassari with the reorganisation.
        QCOMPARE(t.onDay(u"G015", sardinianReform.addDays(-1))->province, u"OT"_s);
        QCOMPARE(t.byCode(u"G015")->from, sardinianReform);
    }

    void famousPlaces_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QDate>("date");
        QTest::addColumn<QString>("place");
        const QDate d(1980, 5, 1);
        QTest::newRow("Roma") << u"H501"_s << d << u"Roma (RM)"_s;
        QTest::newRow("Milano") << u"F205"_s << d << u"Milano (MI)"_s;
        QTest::newRow("Napoli") << u"F839"_s << d << u"Napoli (NA)"_s;
        QTest::newRow("Torino") << u"L219"_s << d << u"Torino (TO)"_s;
        QTest::newRow("Palermo") << u"G273"_s << d << u"Palermo (PA)"_s;
        QTest::newRow("Aversa") << u"A512"_s << d << u"Aversa (CE)"_s;
        QTest::newRow("Ivrea") << u"E379"_s << d << u"Ivrea (TO)"_s;
        QTest::newRow("Aviano before 1968") << u"A516"_s << QDate(1950, 3, 3) << u"Aviano (PN)"_s;
        QTest::newRow("Isernia before 1970") << u"E335"_s << QDate(1965, 7, 1) << u"Isernia (IS)"_s;
        QTest::newRow("Oristano before 1974") << u"G113"_s << QDate(1960, 7, 1) << u"Oristano (OR)"_s;
        QTest::newRow("Olbia") << u"G015"_s << d << u"Olbia (SS)"_s;
        QTest::newRow("Tortolì") << u"A355"_s << d << u"Tortolì (NU)"_s;
        QTest::newRow("Vaticano") << u"Z106"_s << d << u"Stato della Città del Vaticano (EE)"_s;
    }
    void famousPlaces()
    {
        QFETCH(QString, code);
        QFETCH(QDate, date);
        QFETCH(QString, place);
        // Through a code as a person born there carries it.
        const QString fiscalCode = computeFiscalCode({u"Rossi"_s, u"Maria"_s, u'F', date, code});
        const auto r = readFiscalCode(fiscalCode, kToday);
        QVERIFY(r && r->place);
        QCOMPARE(r->birthDate, date);
        QCOMPARE(r->place->label(), place);
        QVERIFY(!r->abolished());
    }

    void compute_data()
    {
        QTest::addColumn<QString>("surname");
        QTest::addColumn<QString>("names");
        QTest::addColumn<QString>("sex");
        QTest::addColumn<QDate>("date");
        QTest::addColumn<QString>("place");
        QTest::addColumn<QString>("code");
        QTest::newRow("ordinary") << u"Rossi"_s << u"Mario"_s << u"M"_s << QDate(1985, 12, 10) << u"A562"_s
                                  << u"RSSMRA85T10A562S"_s;
        QTest::newRow("woman, more than three consonants")
            << u"Verdi"_s << u"Giuseppina"_s << u"F"_s << QDate(1972, 3, 5) << u"F205"_s << u"VRDGPP72C45F205S"_s;
        QTest::newRow("foreign-born") << u"Dupont"_s << u"Jean"_s << u"M"_s << QDate(1990, 4, 3) << u"Z110"_s
                                      << u"DPNJNE90D03Z110H"_s;
        QTest::newRow("short surname, X") << u"Fo"_s << u"Ada"_s << u"f"_s << QDate(2000, 2, 29) << u"H501"_s
                                          << u"FOXDAA00B69H501A"_s;
        // DE NICCOLO: consonants D N C C L; LUCA: L C, then U.
        QTest::newRow("particle and accent") << u"De Niccol\u00F2"_s << u"Luca"_s << u"M"_s << QDate(1960, 1, 15)
                                             << u"D005"_s << u"DNCLCU60A15D005E"_s;
        QTest::newRow("no surname") << u"'"_s << u"Luca"_s << u"M"_s << QDate(1960, 1, 15) << u"D005"_s
                                    << QString();
        QTest::newRow("no sex") << u"Rossi"_s << u"Mario"_s << u"X"_s << QDate(1985, 12, 10) << u"A562"_s
                                << QString();
        QTest::newRow("no date") << u"Rossi"_s << u"Mario"_s << u"M"_s << QDate() << u"A562"_s << QString();
        QTest::newRow("no place") << u"Rossi"_s << u"Mario"_s << u"M"_s << QDate(1985, 12, 10) << u"A56"_s
                                  << QString();
    }
    void compute()
    {
        QFETCH(QString, surname);
        QFETCH(QString, names);
        QFETCH(QString, sex);
        QFETCH(QDate, date);
        QFETCH(QString, place);
        QFETCH(QString, code);
        QCOMPARE(computeFiscalCode({surname, names, sex.at(0), date, place}), code);
        if (!code.isEmpty())
            QVERIFY(CodFiscValido(code));
    }

    void splitName_data()
    {
        QTest::addColumn<QString>("full");
        QTest::addColumn<QString>("surname");
        QTest::addColumn<QString>("names");
        QTest::newRow("plain") << u"ROSSI MARIO"_s << u"ROSSI"_s << u"MARIO"_s;
        QTest::newRow("two names") << u"  Bianchi   Anna  Maria "_s << u"Bianchi"_s << u"Anna Maria"_s;
        QTest::newRow("De") << u"De Rossi Maria Grazia"_s << u"De Rossi"_s << u"Maria Grazia"_s;
        QTest::newRow("Della") << u"DELLA VALLE LUCA"_s << u"DELLA VALLE"_s << u"LUCA"_s;
        QTest::newRow("two particles") << u"De La Cruz Juan"_s << u"De La Cruz"_s << u"Juan"_s;
        QTest::newRow("Van") << u"van Basten Marco"_s << u"van Basten"_s << u"Marco"_s;
        QTest::newRow("D' apart") << u"D' Angelo Carla"_s << u"D' Angelo"_s << u"Carla"_s;
        QTest::newRow("D' joined") << u"D'Angelo Carla"_s << u"D'Angelo"_s << u"Carla"_s;
        QTest::newRow("Lo") << u"Lo Presti Sara"_s << u"Lo Presti"_s << u"Sara"_s;
        QTest::newRow("one word") << u"ROSSI"_s << u"ROSSI"_s << QString();
        QTest::newRow("empty") << QString() << QString() << QString();
    }
    void splitName()
    {
        QFETCH(QString, full);
        QFETCH(QString, surname);
        QFETCH(QString, names);
        QString s, n;
        splitPatientName(full, s, n);
        QCOMPARE(s, surname);
        QCOMPARE(n, names);
    }

    void cardDates_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QDate>("date");
        QTest::newRow("dd/mm/yyyy") << u"10/12/1985"_s << QDate(1985, 12, 10);
        QTest::newRow("d/m/yyyy") << u" 1/2/1985 "_s << QDate(1985, 2, 1);
        QTest::newRow("dots") << u"01.02.1985"_s << QDate(1985, 2, 1);
        QTest::newRow("two-digit year") << u"01/02/85"_s << QDate();
        QTest::newRow("no such day") << u"31/02/1985"_s << QDate();
        QTest::newRow("words") << u"primavera 1985"_s << QDate();
    }
    void cardDates()
    {
        QFETCH(QString, text);
        QFETCH(QDate, date);
        QCOMPARE(parseCardDate(text), date);
    }
};

QTEST_GUILESS_MAIN(TestCodFiscDati)
#include "tst_codfiscdati.moc"
