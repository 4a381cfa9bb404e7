// Reading results against reference values as laboratories print them: what
// reads, what is refused, where a result stands and the words that say why.
#include "analyses/ReferenceRange.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace clinora;

Q_DECLARE_METATYPE(clinora::RangePlace)

class TstReferenceRange : public QObject {
    Q_OBJECT
private slots:
    void ranges_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("reads");
        QTest::addColumn<QVariant>("low");  // invalid: open
        QTest::addColumn<QVariant>("high"); // invalid: open
        QTest::addColumn<QString>("ends");  // "[]": both included; "(" or ")" an excluded end
        QTest::addColumn<QString>("unit");
        const QVariant open;
        auto row = [](const char *name, const QString &text, QVariant low, QVariant high, const QString &ends = u"[]"_s,
                      const QString &unit = QString()) {
            QTest::newRow(name) << text << true << low << high << ends << unit;
        };
        auto refused = [&](const char *name, const QString &text) {
            QTest::newRow(name) << text << false << open << open << QString() << QString();
        };
        // Both ends.
        row("plain", u"70-110"_s, 70.0, 110.0);
        row("blanks around the dash", u"70 - 110"_s, 70.0, 110.0);
        row("blanks around it all", u"  70-110 "_s, 70.0, 110.0);
        row("decimal comma", u"3,5-5,0"_s, 3.5, 5.0);
        row("decimal point", u"3.5-5.0"_s, 3.5, 5.0);
        row("small decimals", u"0,6 - 1,2"_s, 0.6, 1.2);
        row("point before three digits after 0", u"0.125-0.500"_s, 0.125, 0.5);
        row("en dash", u"3,5\u20135"_s, 3.5, 5.0);
        row("division sign", u"3,5 \u00F7 5"_s, 3.5, 5.0);
        row("negative low", u"-5-5"_s, -5.0, 5.0);
        row("base excess", u"-2 - +2"_s, -2.0, 2.0);
        row("one value", u"5-5"_s, 5.0, 5.0);
        row("from to", u"da 70 a 110"_s, 70.0, 110.0);
        row("From to, capital", u"Da 70 a 110 mg/dl"_s, 70.0, 110.0, u"[]"_s, u"mg/dl"_s);
        row("unit after", u"70-110 mg/dl"_s, 70.0, 110.0, u"[]"_s, u"mg/dl"_s);
        row("unit stuck on", u"70-110mg/dl"_s, 70.0, 110.0, u"[]"_s, u"mg/dl"_s);
        row("unit after each", u"70 mg/dl - 110 mg/dl"_s, 70.0, 110.0, u"[]"_s, u"mg/dl"_s);
        row("unit after each, case", u"70 mg/dl - 110 MG/DL"_s, 70.0, 110.0, u"[]"_s, u"MG/DL"_s);
        row("power of ten", u"0-5 x10^3"_s, 0.0, 5.0, u"[]"_s, u"x10^3"_s);
        row("power of ten, spaced", u"4-10 x 10^3/\u00B5l"_s, 4.0, 10.0, u"[]"_s, u"x 10^3/\u00B5l"_s);
        row("power of ten, bare", u"150-400 10^9/l"_s, 150.0, 400.0, u"[]"_s, u"10^9/l"_s);
        row("percent", u"4-6%"_s, 4.0, 6.0, u"[]"_s, u"%"_s);
        // One end.
        row("below", u"<200"_s, open, 200.0, u"[)"_s);
        row("below, spaced", u"< 200"_s, open, 200.0, u"[)"_s);
        row("up to", u"<=200"_s, open, 200.0);
        row("up to, spaced", u"<= 5,5 mmol/l"_s, open, 5.5, u"[]"_s, u"mmol/l"_s);
        row("above", u">40"_s, 40.0, open, u"(]"_s);
        row("from", u">= 40"_s, 40.0, open);
        row("fino a", u"fino a 200"_s, open, 200.0);
        row("Fino a with unit", u"Fino a 200 mg/dl"_s, open, 200.0, u"[]"_s, u"mg/dl"_s);
        row("inferiore a", u"inferiore a 5"_s, open, 5.0, u"[)"_s);
        row("minore di", u"minore di 1,5"_s, open, 1.5, u"[)"_s);
        row("superiore a", u"superiore a 60"_s, 60.0, open, u"(]"_s);
        row("maggiore di", u"maggiore di 60"_s, 60.0, open, u"(]"_s);
        // Refused: no range, or not one for certain.
        refused("empty", QString());
        refused("blanks", u"   "_s);
        refused("one number", u"12,5"_s);
        refused("reversed", u"110-70"_s);
        refused("half a range", u"70-"_s);
        refused("words", u"neg."_s);
        refused("negativo", u"negativo"_s);
        refused("assenti", u"assenti"_s);
        refused("see the note", u"vedi nota"_s);
        refused("a note after it", u"70-110 vedi nota"_s);
        refused("for whom", u"M: 13-17"_s);
        refused("two ranges", u"M 13-17 F 12-16"_s);
        refused("brackets after it", u"70-110 (adulti)"_s);
        refused("second range in brackets", u"3,9-6,1 mmol/l (70-110 mg/dl)"_s);
        refused("two different units", u"70 mg/dl - 6,1 mmol/l"_s);
        refused("unit on the first only", u"70 mg/dl - 110"_s);
        refused("thousands", u"150.000-450.000"_s);
        refused("thousands, one end", u"<1.500"_s);
        refused("two separators", u"1.500,5-2000"_s);
        refused("separator without decimals", u"70-110."_s);
        refused("a sign without a number", u"<"_s);
        refused("below a word", u"< norma"_s);
        refused("slash between", u"70/110"_s);
        refused("fino a nothing", u"fino a"_s);
        refused("too many digits", u"0-1234567890123456"_s);
        refused("two dashes", u"70--110"_s);
    }

    void ranges()
    {
        QFETCH(QString, text);
        QFETCH(bool, reads);
        QFETCH(QVariant, low);
        QFETCH(QVariant, high);
        QFETCH(QString, ends);
        QFETCH(QString, unit);
        const std::optional<RangeLimits> r = readReferenceRange(text);
        QCOMPARE(r.has_value(), reads);
        if (!reads)
            return;
        QCOMPARE(r->low.has_value(), low.isValid());
        QCOMPARE(r->high.has_value(), high.isValid());
        if (low.isValid())
            QCOMPARE(*r->low, low.toDouble());
        if (high.isValid())
            QCOMPARE(*r->high, high.toDouble());
        QCOMPARE(r->lowIncluded, ends[0] == u'[');
        QCOMPARE(r->highIncluded, ends[1] == u']');
        QCOMPARE(r->unit, unit);
    }

    void results_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QVariant>("value"); // invalid: refused
        const QVariant refused;
        QTest::newRow("whole") << u"182"_s << QVariant(182.0);
        QTest::newRow("decimal comma") << u"5,4"_s << QVariant(5.4);
        QTest::newRow("decimal point") << u"5.4"_s << QVariant(5.4);
        QTest::newRow("blanks around") << u" 7 "_s << QVariant(7.0);
        QTest::newRow("negative") << u"-0,25"_s << QVariant(-0.25);
        QTest::newRow("plus") << u"+3"_s << QVariant(3.0);
        QTest::newRow("three decimals after 0") << u"0.125"_s << QVariant(0.125);
        QTest::newRow("three decimals with comma") << u"1,500"_s << QVariant(1.5);
        QTest::newRow("below a limit") << u"<5"_s << refused;
        QTest::newRow("above a limit") << u">1000"_s << refused;
        QTest::newRow("negativo") << u"negativo"_s << refused;
        QTest::newRow("assenti") << u"assenti"_s << refused;
        QTest::newRow("abbreviation") << u"neg."_s << refused;
        QTest::newRow("with its unit") << u"7 mg/dl"_s << refused;
        QTest::newRow("marked") << u"182 *"_s << refused;
        QTest::newRow("thousands") << u"250.000"_s << refused;
        QTest::newRow("thousands, short") << u"1.500"_s << refused;
        QTest::newRow("separator only") << u","_s << refused;
        QTest::newRow("trailing separator") << u"5,"_s << refused;
        QTest::newRow("two separators") << u"1,2,3"_s << refused;
        QTest::newRow("a range") << u"70-110"_s << refused;
        QTest::newRow("empty") << QString() << refused;
    }

    void results()
    {
        QFETCH(QString, text);
        QFETCH(QVariant, value);
        const std::optional<double> v = readResultValue(text);
        QCOMPARE(v.has_value(), value.isValid());
        if (v)
            QCOMPARE(*v, value.toDouble());
    }

    void units_data()
    {
        QTest::addColumn<QString>("rangeUnit");
        QTest::addColumn<QString>("um");
        QTest::addColumn<bool>("same");
        QTest::newRow("equal") << u"mg/dl"_s << u"mg/dl"_s << true;
        QTest::newRow("case") << u"mg/dl"_s << u"MG/dL"_s << true;
        QTest::newRow("micro as u") << u"\u00B5UI/ml"_s << u"uUI/ml"_s << true;
        QTest::newRow("power of ten, shorter") << u"x10^3"_s << u"x10^3/\u00B5l"_s << true;
        QTest::newRow("power of ten, without x") << u"x10^3"_s << u"10^3/\u00B5l"_s << true;
        QTest::newRow("blanks") << u"x 10^3/\u00B5l"_s << u"x10^3/\u00B5l"_s << true;
        QTest::newRow("no unit in the range") << QString() << u"mg/dl"_s << true;
        QTest::newRow("no unit on the card") << u"mg/dl"_s << QString() << true;
        QTest::newRow("other unit") << u"mmol/l"_s << u"mg/dl"_s << false;
        QTest::newRow("per litre and per decilitre") << u"g/l"_s << u"g/dl"_s << false;
    }

    void units()
    {
        QFETCH(QString, rangeUnit);
        QFETCH(QString, um);
        QFETCH(bool, same);
        QCOMPARE(sameUnit(rangeUnit, um), same);
    }

    void checks_data()
    {
        QTest::addColumn<QString>("result");
        QTest::addColumn<QString>("rife");
        QTest::addColumn<QString>("um");
        QTest::addColumn<RangePlace>("place");
        QTest::addColumn<QString>("outcome");
        QTest::addColumn<QString>("why");
        const QString in = u"NELLA NORMA"_s, out = u"FUORI NORMA"_s;
        QTest::newRow("above") << u"182"_s << u"70-110"_s << u"mg/dl"_s << RangePlace::Above << out
                               << u"Valore 182 oltre il limite superiore 110"_s;
        QTest::newRow("below") << u"62"_s << u"70 - 110 mg/dl"_s << u"mg/dl"_s << RangePlace::Below << out
                               << u"Valore 62 sotto il limite inferiore 70"_s;
        QTest::newRow("inside") << u"95"_s << u"70-110"_s << QString() << RangePlace::Inside << in
                                << u"Valore 95 entro l'intervallo 70-110"_s;
        QTest::newRow("on an included end") << u"110"_s << u"70-110"_s << QString() << RangePlace::Inside << in
                                            << u"Valore 110 entro l'intervallo 70-110"_s;
        QTest::newRow("decimals as written") << u"5.4"_s << u"3,5-5,0"_s << u"mmol/l"_s << RangePlace::Above << out
                                             << u"Valore 5,4 oltre il limite superiore 5,0"_s;
        QTest::newRow("under an upper limit") << u"150"_s << u"<200"_s << QString() << RangePlace::Inside << in
                                              << u"Valore 150 entro il limite superiore 200"_s;
        QTest::newRow("on an excluded upper end")
            << u"200"_s << u"<200"_s << QString() << RangePlace::Above << out
            << u"Valore 200 pari al limite superiore 200, escluso dall'intervallo"_s;
        QTest::newRow("on an included upper end") << u"200"_s << u"fino a 200"_s << QString() << RangePlace::Inside
                                                  << in << u"Valore 200 entro il limite superiore 200"_s;
        QTest::newRow("over a lower limit") << u"55"_s << u">40"_s << QString() << RangePlace::Inside << in
                                            << u"Valore 55 sopra il limite inferiore 40"_s;
        QTest::newRow("on an excluded lower end")
            << u"40"_s << u">40"_s << QString() << RangePlace::Below << out
            << u"Valore 40 pari al limite inferiore 40, escluso dall'intervallo"_s;
        QTest::newRow("under a lower limit") << u"38"_s << u">= 40"_s << QString() << RangePlace::Below << out
                                             << u"Valore 38 sotto il limite inferiore 40"_s;
        QTest::newRow("power of ten") << u"6,2"_s << u"0-5 x10^3"_s << u"x10^3/\u00B5l"_s << RangePlace::Above << out
                                      << u"Valore 6,2 oltre il limite superiore 5"_s;
        QTest::newRow("result not a number") << u"negativo"_s << u"70-110"_s << QString() << RangePlace::NoValue
                                             << QString()
                                             << u"Risultato non numerico: l'esito va indicato a mano."_s;
        QTest::newRow("result a limit") << u"<5"_s << u"0-10"_s << QString() << RangePlace::NoValue << QString()
                                        << u"Risultato non numerico: l'esito va indicato a mano."_s;
        QTest::newRow("range unreadable")
            << u"95"_s << u"vedi nota"_s << QString() << RangePlace::NoRange << QString()
            << u"Valori di riferimento non interpretabili: l'esito va indicato a mano."_s;
        QTest::newRow("range in another unit")
            << u"95"_s << u"3,9-6,1 mmol/l"_s << u"mg/dl"_s << RangePlace::OtherUnit << QString()
            << u"Valori di riferimento in un'unità diversa da quella del risultato: l'esito va indicato a mano."_s;
        QTest::newRow("no result") << u"  "_s << u"70-110"_s << QString() << RangePlace::Empty << QString()
                                   << QString();
        QTest::newRow("no range") << u"95"_s << QString() << QString() << RangePlace::Empty << QString() << QString();
    }

    void checks()
    {
        QFETCH(QString, result);
        QFETCH(QString, rife);
        QFETCH(QString, um);
        QFETCH(RangePlace, place);
        QFETCH(QString, outcome);
        QFETCH(QString, why);
        const RangeCheck c = checkResult(result, rife, um);
        QCOMPARE(c.place, place);
        QCOMPARE(offeredOutcome(c), outcome);
        QCOMPARE(rangeExplanation(c), why);
        // The archive-wide question answers the same.
        QCOMPARE(outsideRange(result, rife, um), c.outside());
    }
};

QTEST_APPLESS_MAIN(TstReferenceRange)
#include "tst_referencerange.moc"
