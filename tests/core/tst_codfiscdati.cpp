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
        // Corigliano Calabro's code gave way to Corigliano-Rossano's in 2018.
        const CadastralPlace *old = t.byCode(u"D005");
        QVERIFY(old && old->inUseOn(QDate(1960, 1, 15)) && !old->inUseOn(QDate(2019, 6, 1)));
        QCOMPARE(old->to, QDate(2018, 3, 31));
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
        QTest::newRow("old code, in use then") << u"DNCLCU60A15D005E"_s << QDate(1960, 1, 15) << u"M"_s
                                               << u"D005"_s << false
                                               << u"Nato/a il 15/01/1960 a Corigliano Calabro (CS)"_s;
        QTest::newRow("new code after the merger") << u"RSSMRA19H01M403I"_s << QDate(2019, 6, 1) << u"M"_s
                                                   << u"M403"_s << false
                                                   << u"Nato/a il 01/06/2019 a Corigliano-Rossano (CS)"_s;
        QTest::newRow("old code, no longer in use") << u"RSSMRA19H01D005X"_s << QDate(2019, 6, 1) << u"M"_s
                                                    << u"D005"_s << false
                                                    << u"Nato/a il 01/06/2019 (codice del luogo di nascita D005 "
                                                       u"sconosciuto)"_s;
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
