#include "common/CommonSettings.h"
#include "common/Text.h"

#include <QStringDecoder>
#include <QTest>

#include <vector>

using namespace Qt::StringLiterals;
using namespace clinora;

class TestText : public QObject {
    Q_OBJECT
private slots:
    void everyByteRoundTrips()
    {
        QByteArray all(256, '\0');
        for (int i = 0; i < 256; ++i)
            all[i] = char(i);
        const QString decoded = text::fromCp1252(all);
        QCOMPARE(decoded.size(), 256);
        QCOMPARE(text::toCp1252(decoded), all);
    }

    // Decoding into a buffer, which passes runs of plain bytes eight at a
    // time, decodes as the text does wherever the other bytes fall.
    void decodingInPlaceAgrees()
    {
        QByteArray mixed;
        for (int i = 0; i < 256; ++i)
            mixed += QByteArray(i % 19, 'a' + char(i % 26)) + char(i);
        for (qsizetype from = 0; from < 9; ++from) {
            const QByteArrayView bytes = QByteArrayView(mixed).sliced(from);
            std::vector<char16_t> out(size_t(bytes.size()) + 1, u'#');
            QCOMPARE(text::putCp1252(out.data(), bytes), out.data() + bytes.size());
            QCOMPARE(out.back(), u'#');
            QCOMPARE(QStringView(out.data(), bytes.size()), text::fromCp1252(bytes));
        }
    }

    void codePageAgreesWithQt()
    {
        // The table must say what the system's Windows-1252 decoder says.
        QStringDecoder qt("windows-1252");
        if (!qt.isValid())
            QSKIP("no system Windows-1252 codec");
        for (int i = 0; i < 256; ++i) {
            const QByteArray b(1, char(i));
            QCOMPARE(text::fromCp1252(b), QString(qt.decode(b)));
        }
    }

    void encode_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("accent") << u"Sì"_s << QByteArray("\x53\xEC");
        QTest::newRow("euro") << u"€ 5"_s << QByteArray("\x80 5");
        QTest::newRow("quotes") << u"“x”"_s << QByteArray("\x93x\x94");
        QTest::newRow("outside code page, no letter") << u"a\u03A9b"_s << QByteArray("a?b");
        QTest::newRow("astral is one char") << u"a\U0001F600b"_s << QByteArray("a?b");
        QTest::newRow("lone surrogate") << QString(QChar(0xD800)) << QByteArray("?");
        QTest::newRow("undefined slot") << QString(QChar(0x81)) << QByteArray("\x81");
        // The closest letter of the code page before "?".
        QTest::newRow("caron, acute") << u"Kovačić"_s << QByteArray("Kovacic");
        QTest::newRow("stroke") << u"Łódź Wałęsa"_s << QByteArray("L\xF3" "dz Walesa");
        QTest::newRow("comma below") << u"Știință"_s << QByteArray("Stiinta");
        QTest::newRow("macron") << u"a\u0101b"_s << QByteArray("aab");
        QTest::newRow("double acute, breve") << u"Erdős Ğ"_s << QByteArray("Erdos G");
        QTest::newRow("no decomposition") << u"đ Đ Ħ ħ ı ŧ"_s << QByteArray("d D H h i t");
        QTest::newRow("two accents, one kept") << u"\u01D8"_s << QByteArray("\xFC"); // ǘ: ü
        QTest::newRow("letter then its accent") << u"Kovac\u030Cic\u0301"_s << QByteArray("Kovacic");
        QTest::newRow("code page letter then accent") << u"e\u0301"_s << QByteArray("\xE9");
        // The grave is the first of the combining accents.
        QTest::newRow("grave accent alone to compose") << u"Citta\u0300"_s << QByteArray("Citt\xE0");
        QTest::newRow("accent alone") << u"a \u0301b"_s << QByteArray("a b");
        QTest::newRow("ligature has no one letter") << u"\u0133"_s << QByteArray("?");
        QTest::newRow("full width") << u"\uFF21"_s << QByteArray("A");
        QTest::newRow("hyphen, minus") << u"1\u20102\u22123"_s << QByteArray("1-2-3");
        QTest::newRow("astral letter") << u"\U0001D400"_s << QByteArray("A"); // mathematical bold A
    }
    void encode()
    {
        QFETCH(QString, input);
        QFETCH(QByteArray, bytes);
        QCOMPARE(text::toCp1252(input), bytes);
        // The stored form says what is stored, and stays so.
        QCOMPARE(text::storedForm(input), text::fromCp1252(bytes));
        QCOMPARE(text::toCp1252(text::storedForm(input)), bytes);
        // Written into a field as the records do it, cut to its room.
        char room[4];
        const int n = text::encodeCp1252(input, room, 4);
        QCOMPARE(QByteArray(room, n), bytes.first(std::min<qsizetype>(4, bytes.size())));
    }

    // A key typed with a letter the code page lacks finds the text stored
    // from the same typing, and the text typed plain.
    void keysFitAsStoredTexts()
    {
        const QByteArray stored = text::toCp1252(u"Kovačić Ana"_s);
        for (const QString &key : {u"Kovačić"_s, u"kovacic"_s, u"Kovac\u030Cic\u0301"_s})
            QVERIFY2(text::FoldedKey(key).occursIn(stored), qPrintable(key));
        QVERIFY(!text::FoldedKey(u"Kova?i?"_s).occursIn(stored));
        // A character with no letter there is in no stored text, "?" included.
        QVERIFY(!text::FoldedKey(u"\u03A9"_s).occursIn(text::toCp1252(u"\u03A9"_s)));
    }

    void trimAndCase()
    {
        QCOMPARE(text::trimmed(u"\t \x01 ab c \r\n\x1F"_s), u"ab c"_s);
        QCOMPARE(text::trimmed(u"\u00A0x\u00A0"_s), u"\u00A0x\u00A0"_s); // only codes <= 32
        QVERIFY(text::isBlank(u" \t\r\n"_s));
        QVERIFY(!text::isBlank(u" . "_s));
        QCOMPARE(text::upperAZ(u"àbc zèta"_s), u"àBC ZèTA"_s);
        QCOMPARE(text::lowerAZ(u"ÀBC ZÈTA"_s), u"Àbc zÈta"_s);
    }

    void dates_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QDate>("date");
        QTest::newRow("plain") << u"05/03/2024"_s << QDate(2024, 3, 5);
        QTest::newRow("leap day") << u"29/02/2024"_s << QDate(2024, 2, 29);
        QTest::newRow("no leap day") << u"29/02/2023"_s << QDate();
        QTest::newRow("no 31 april") << u"31/04/2024"_s << QDate();
        QTest::newRow("short") << u"5/3/2024"_s << QDate();
        QTest::newRow("dashes") << u"05-03-2024"_s << QDate();
        QTest::newRow("blank") << u""_s << QDate();
        QTest::newRow("letters") << u"aa/bb/cccc"_s << QDate();
    }
    void dates()
    {
        QFETCH(QString, text);
        QFETCH(QDate, date);
        const auto parsed = settings::parseDate(text);
        QCOMPARE(parsed.has_value(), date.isValid());
        if (parsed) {
            QCOMPARE(*parsed, date);
            QCOMPARE(settings::formatDate(*parsed), text);
        }
    }

    void numbers()
    {
        QCOMPARE(settings::parseNumber(u"12,5"_s), std::optional<double>(12.5));
        QCOMPARE(settings::parseNumber(u" 7 "_s), std::optional<double>(7));
        QVERIFY(!settings::parseNumber(u"12.5"_s));
        QVERIFY(!settings::parseNumber(u"<5"_s));
        QVERIFY(!settings::parseNumber(u","_s));
        QCOMPARE(settings::formatNumber(3.25, 2), u"3,25"_s);
    }
};

QTEST_APPLESS_MAIN(TestText)
#include "tst_text.moc"
