// The fiscal code's check character and the VAT number's check digit, with
// the table of VAT offices.
#include "checks/CodiceFiscale.h"
#include "checks/PartitaIva.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace clinora;

class TestChecks : public QObject {
    Q_OBJECT
private slots:
    void codFisc_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<bool>("valid");
        // Odd positions add 1 eight times, even positions 0: 8 gives I.
        QTest::newRow("all A and 0") << u"AAAAAA00A00A000I"_s << true;
        QTest::newRow("wrong check") << u"AAAAAA00A00A000H"_s << false;
        QTest::newRow("real shape") << u"RSSMRA85T10A562S"_s << true;
        QTest::newRow("real shape, wrong") << u"RSSMRA85T10A562T"_s << false;
        // Only the check character matters, not where letters and digits lie.
        QTest::newRow("digits only") << u"000000000000000I"_s << true;
        QTest::newRow("lower case") << u"aaaaaa00a00a000i"_s << false;
        QTest::newRow("15 characters") << u"AAAAAA00A00A000"_s << false;
        QTest::newRow("17 characters") << u"AAAAAA00A00A000IA"_s << false;
        // Characters outside 0-9 and A-Z are never looked up.
        QTest::newRow("blank inside") << u"AAAAAA 0A00A000I"_s << false;
        QTest::newRow("hyphen") << u"AAAAAA-0A00A000I"_s << false;
        QTest::newRow("accented") << u"\u00C0AAAAA00A00A000I"_s << false;
        QTest::newRow("check is a digit") << u"AAAAAA00A00A0008"_s << false;
        // The characters just outside 0-9 and A-Z, in an even position with
        // the check character they would give if the ranges took them in,
        // in an odd one (the table has no entry for them), and as the check.
        for (const char c : {'[', '\\', ']', '^', '_', '`', '@', ':', '/'}) {
            const int asIfInRange = c >= '@' ? c - 'A' : c - '0';
            const char check = char('A' + ((8 + asIfInRange) % 26 + 26) % 26);
            QTest::addRow("%c in an even position", c) << u"A%1AAAA00A00A000%2"_s.arg(QString(QLatin1Char(c)), QString(QLatin1Char(check))) << false;
            QTest::addRow("%c in an odd position", c) << u"%1AAAAA00A00A000I"_s.arg(QLatin1Char(c)) << false;
            QTest::addRow("%c as the check", c) << u"AAAAAA00A00A000%1"_s.arg(QLatin1Char(c)) << false;
        }
    }
    void codFisc()
    {
        QFETCH(QString, code);
        QFETCH(bool, valid);
        QCOMPARE(CodFiscValido(code), valid);
    }

    // A character just outside the tables, in either kind of position, has
    // no check character.
    void noCheckCharacterOutsideTheTables()
    {
        for (const char c : {'[', '\\', ']', '^', '_', '`', '@', ':', '/'}) {
            for (int at : {0, 1, 14}) {
                QString first15 = u"AAAAAA00A00A000"_s;
                first15[at] = QLatin1Char(c);
                QVERIFY2(CodFiscCarattereControllo(first15).isNull(), qPrintable(first15));
            }
        }
    }

    // Every one of the 36 characters in an odd and in an even position, against
    // the published odd-position table and the rank rule of even positions.
    void codFiscTables_data()
    {
        QTest::addColumn<QChar>("c");
        QTest::addColumn<int>("odd");
        QTest::addColumn<int>("even");
        const int odd[] = {1, 0, 5, 7, 9, 13, 15, 17, 19, 21, 2, 4, 18, 20, 11, 3, 6, 8, 12, 14, 16, 10, 22, 25, 24, 23};
        for (int i = 0; i < 10; ++i)
            QTest::addRow("%c", '0' + i) << QChar(u'0' + i) << odd[i] << i;
        for (int i = 0; i < 26; ++i)
            QTest::addRow("%c", 'A' + i) << QChar(u'A' + i) << odd[i] << i;
    }
    void codFiscTables()
    {
        QFETCH(QChar, c);
        QFETCH(int, odd);
        QFETCH(int, even);
        const auto letter = [](int sum) { return QChar(u'A' + sum % 26); };
        // In position 1, with "0" in the other fourteen: seven more odd zeros add 1 each.
        const QString atOdd = QString(c) + u"00000000000000"_s;
        QCOMPARE(CodFiscCarattereControllo(atOdd), letter(odd + 7));
        QVERIFY(CodFiscValido(QString(atOdd + letter(odd + 7))));
        QVERIFY(!CodFiscValido(QString(atOdd + letter(odd + 8))));
        // In position 2: the eight odd zeros add 8.
        const QString atEven = u"0"_s + c + u"0000000000000"_s;
        QCOMPARE(CodFiscCarattereControllo(atEven), letter(even + 8));
        QVERIFY(CodFiscValido(QString(atEven + letter(even + 8))));
    }

    void partitaIva_data()
    {
        QTest::addColumn<QString>("number");
        QTest::addColumn<bool>("valid");
        QTest::newRow("Torino") << u"12345670017"_s << true;
        QTest::newRow("Torino, wrong") << u"12345670018"_s << false;
        QTest::newRow("Bologna 2") << u"00000001206"_s << true;
        QTest::newRow("sum a multiple of 10") << u"00000000000"_s << true;
        QTest::newRow("doubles above 9") << u"09090909090"_s << false; // 5 nines doubled: 45 -> 5
        QTest::newRow("doubles above 9, right") << u"09090909095"_s << true;
        QTest::newRow("10 digits") << u"1234567001"_s << false;
        QTest::newRow("12 digits") << u"123456700177"_s << false;
        QTest::newRow("letter") << u"1234567001A"_s << false;
        QTest::newRow("blank") << u"1234567 017"_s << false;
        QTest::newRow("empty") << QString() << false;
        // Just outside 0-9, where a wider range would count ":" as 10 (the
        // same as 0 in an odd position) and "/" as -1.
        QTest::newRow(": first") << u":0000000000"_s << false;
        QTest::newRow(": doubled") << u"0:000000008"_s << false;
        QTest::newRow(": as the check") << u"0000000000:"_s << false;
        QTest::newRow("/ first") << u"/0100000000"_s << false;
        QTest::newRow("/ as the check") << u"0000000000/"_s << false;
    }
    void partitaIva()
    {
        QFETCH(QString, number);
        QFETCH(bool, valid);
        QCOMPARE(PartitaIvaValida(number), valid);
    }

    void officeTable()
    {
        const auto table = TabellaUfficiIva();
        QCOMPARE(table.size(), size_t(104));
        // 001 to 102 without gaps, then 120 and 121.
        for (int i = 0; i < 102; ++i)
            QCOMPARE(table[size_t(i)].code.toString(), QString::number(i + 1).rightJustified(3, u'0'));
        QCOMPARE(table[102].code.toString(), u"120"_s);
        QCOMPARE(table[103].code.toString(), u"121"_s);

        QCOMPARE(UfficiIva(u"001"), u"Torino"_s);
        QCOMPARE(UfficiIva(u"040"), u"Forl\u00EC"_s);
        QCOMPARE(UfficiIva(u"096"), u"Monza (Milano 2)"_s);
        QCOMPARE(UfficiIva(u"099"), u"Chiavari (Genova 2)"_s);
        QCOMPARE(UfficiIva(u"102"), u"Napoli 2"_s);
        QCOMPARE(UfficiIva(u"120"), UfficiIva(u"101"));
        QCOMPARE(UfficiIva(u"121"), UfficiIva(u"102"));
        // Exact three-character codes only.
        for (QStringView unknown : {u"000", u"103", u"119", u"122", u"999", u"1", u"01", u" 01", u""})
            QVERIFY2(UfficiIva(unknown).isEmpty(), qPrintable(unknown.toString()));
        QCOMPARE(CodiceUfficioIva(u"12345670017"), u"001");
    }
};

QTEST_APPLESS_MAIN(TestChecks)
#include "tst_checks.moc"
