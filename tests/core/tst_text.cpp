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
        QTest::newRow("outside code page") << u"a\u0101b"_s << QByteArray("a?b");
        QTest::newRow("astral is one char") << u"a\U0001F600b"_s << QByteArray("a?b");
        QTest::newRow("lone surrogate") << QString(QChar(0xD800)) << QByteArray("?");
        QTest::newRow("undefined slot") << QString(QChar(0x81)) << QByteArray("\x81");
    }
    void encode()
    {
        QFETCH(QString, input);
        QFETCH(QByteArray, bytes);
        QCOMPARE(text::toCp1252(input), bytes);
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
