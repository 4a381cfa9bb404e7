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
        row("power of ten, superscript", u"4,0-10,0 \u00D710\u00B3/\u00B5L"_s, 4.0, 10.0, u"[]"_s,
            u"\u00D710\u00B3/\u00B5L"_s);
        row("per cubic millimetre", u"150000-450000/mm3"_s, 150000.0, 450000.0, u"[]"_s, u"/mm3"_s);
        row("international units, dotted", u"5 - 40 U.I./L"_s, 5.0, 40.0, u"[]"_s, u"U.I./L"_s);
        row("a ratio", u"0,8-1,2 INR"_s, 0.8, 1.2, u"[]"_s, u"INR"_s);
        row("seconds", u"<= 12 sec"_s, open, 12.0, u"[]"_s, u"sec"_s);
        row("comma before three digits after 0", u"0,125-0,500"_s, 0.125, 0.5);
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
        // A word beside the numbers that is not a unit: the band's own name.
        refused("positive above", u"> 5 positivo"_s);
        refused("insufficiency band", u"10-30 insufficienza"_s);
        refused("a word like a unit", u"70-110 mgdl"_s);
        // A comma before three digits may separate thousands.
        refused("thousands with commas", u"4,500 - 11,000"_s);
        refused("specific gravity with commas", u"1,002 - 1,035"_s);
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
        QTest::newRow("three decimals with comma after 0") << u"0,125"_s << QVariant(0.125);
        QTest::newRow("thousands with a comma") << u"1,500"_s << refused;
        QTest::newRow("thousands with a comma, long") << u"200,000"_s << refused;
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
        QTest::newRow("no unit on the card") << u"mg/dl"_s << QString() << false;
        QTest::newRow("international units") << u"U/L"_s << u"UI/l"_s << true;
        QTest::newRow("milli-international units") << u"mIU/mL"_s << u"mUI/ml"_s << true;
        QTest::newRow("micrograms") << u"mcg/dl"_s << u"\u00B5g/dL"_s << true;
        QTest::newRow("cubic millimetre and microlitre") << u"/mm\u00B3"_s << u"/\u00B5l"_s << true;
        QTest::newRow("same count per litre") << u"10^9/L"_s << u"x10^3/\u00B5l"_s << true;
        QTest::newRow("a unit's beginning is not the unit") << u"mg"_s << u"mg/dl"_s << false;
        QTest::newRow("micro and milli") << u"\u00B5mol/l"_s << u"mmol/l"_s << false;
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
        QTest::newRow("on an included lower end") << u"70"_s << u"70-110"_s << QString() << RangePlace::Inside << in
                                                  << u"Valore 70 entro l'intervallo 70-110"_s;
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
        QTest::newRow("range with a unit, card without")
            << u"95"_s << u"70-110 mg/dl"_s << u" "_s << RangePlace::NoUnit << QString()
            << u"Unità di misura del risultato non indicata, i valori di riferimento sono in mg/dl: l'esito va "
               u"indicato a mano."_s;
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

    // Reference values as Italian laboratory reports print them, each with a
    // value outside and one inside, and what the card offers for each.
    void reportSpellings_data()
    {
        QTest::addColumn<QString>("rife");
        QTest::addColumn<QString>("um");
        QTest::addColumn<QString>("result");
        QTest::addColumn<QString>("offer"); // empty: nothing offered
        const QString in = u"NELLA NORMA"_s, out = u"FUORI NORMA"_s, none;
        auto both = [](const char *name, const QString &rife, const QString &um, const QString &abnormal,
                       const QString &abnormalOffer, const QString &normal, const QString &normalOffer) {
            QTest::addRow("%s, abnormal", name) << rife << um << abnormal << abnormalOffer;
            QTest::addRow("%s, normal", name) << rife << um << normal << normalOffer;
        };
        // Plain ranges with their units in the usual spellings.
        both("glucose", u"70-110 mg/dL"_s, u"mg/dl"_s, u"182"_s, out, u"95"_s, in);
        both("included lower end", u"70-110"_s, u"mg/dl"_s, u"69"_s, out, u"70"_s, in);
        both("potassium", u"3,5-5,1 mEq/L"_s, u"mEq/l"_s, u"5,8"_s, out, u"4,2"_s, in);
        both("TSH", u"0,27-4,20 \u00B5UI/mL"_s, u"uUI/ml"_s, u"12,4"_s, out, u"1,8"_s, in);
        both("ALT", u"< 40 U/L"_s, u"UI/L"_s, u"62"_s, out, u"25"_s, in);
        both("white cells", u"4,0 - 10,0 x10^3/\u00B5L"_s, u"x10^3/\u00B5l"_s, u"11,8"_s, out, u"6,5"_s, in);
        both("platelets per litre", u"150-450 10^9/L"_s, u"x10^3/\u00B5l"_s, u"480"_s, out, u"250"_s, in);
        both("INR", u"0,8 - 1,2 INR"_s, u"INR"_s, u"3,2"_s, out, u"1,0"_s, in);
        both("HbA1c", u"4,0-6,0 %"_s, u"%"_s, u"6,9"_s, out, u"5,2"_s, in);
        both("MCV", u"80 - 100 fL"_s, u"fl"_s, u"102"_s, out, u"90"_s, in);
        both("prothrombin time", u"<= 12 sec"_s, u"sec"_s, u"15,2"_s, out, u"11"_s, in);
        both("ESR", u"<20 mm/h"_s, u"mm/h"_s, u"40"_s, out, u"10"_s, in);
        both("excluded upper end", u"<200"_s, u"mg/dl"_s, u"200"_s, out, u"199"_s, in);
        // A word beside the numbers: a band's name, not a unit.
        both("positive above", u"> 5 positivo"_s, QString(), u"8"_s, none, u"3"_s, none);
        both("positive above, decimal", u"> 1.0 positivo"_s, QString(), u"2,3"_s, none, u"0,4"_s, none);
        both("vitamin D insufficiency", u"10-30 insufficienza"_s, QString(), u"22"_s, none, u"45"_s, none);
        both("cholesterol borderline", u"200-239 limite"_s, QString(), u"220"_s, none, u"180"_s, none);
        both("cholesterol high", u">=240 alto"_s, QString(), u"260"_s, none, u"180"_s, none);
        both("deficiency", u"<10 carenza"_s, QString(), u"5"_s, none, u"25"_s, none);
        both("moderate", u"35-54 moderato"_s, QString(), u"40"_s, none, u"20"_s, none);
        both("desirable", u"<200 desiderabile"_s, QString(), u"150"_s, none, u"250"_s, none);
        both("optimal", u"<100 ottimale"_s, QString(), u"90"_s, none, u"130"_s, none);
        both("adults", u"13-17 adulti"_s, QString(), u"12"_s, none, u"14"_s, none);
        both("a band with its unit", u"10-30 ng/ml insufficienza"_s, u"ng/ml"_s, u"22"_s, none, u"45"_s, none);
        // Commas that may separate thousands.
        both("white cells per microlitre", u"4,500 - 11,000"_s, u"/\u00B5L"_s, u"9800"_s, none, u"12500"_s, none);
        both("platelets with commas", u"150,000-450,000"_s, u"/\u00B5l"_s, u"200000"_s, none, u"500000"_s, none);
        both("specific gravity", u"1,002 - 1,035"_s, QString(), u"1020"_s, none, u"1,020"_s, none);
        // A range naming a unit, a card naming none, or another one.
        both("unit in the range only", u"70-110 mg/dl"_s, QString(), u"182"_s, none, u"95"_s, none);
        both("another unit", u"3,9-6,1 mmol/l"_s, u"mg/dl"_s, u"182"_s, none, u"95"_s, none);
    }

    void reportSpellings()
    {
        QFETCH(QString, rife);
        QFETCH(QString, um);
        QFETCH(QString, result);
        QFETCH(QString, offer);
        const RangeCheck c = checkResult(result, rife, um);
        QCOMPARE(offeredOutcome(c), offer);
        QCOMPARE(outsideRange(result, rife, um), offer == u"FUORI NORMA"_s);
        // A range that does not read offers nothing, whatever the result.
        if (!readReferenceRange(rife))
            QVERIFY(offeredOutcome(c).isEmpty());
    }
};

QTEST_APPLESS_MAIN(TstReferenceRange)
#include "tst_referencerange.moc"
