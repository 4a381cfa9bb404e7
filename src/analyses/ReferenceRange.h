#pragma once

#include <QString>
#include <QStringView>

#include <optional>

// Reading a result against its reference values as laboratories print them.
// The reader takes what it can read for certain and refuses the rest: a
// result or a range it refuses gives no outcome at all, never a guessed one.
namespace clinora {

// A result that is a plain number: "182", "5,4", "5.4", " -0,25 ". Refused:
// words ("negativo", "assenti"), limits ("<5"), a number with a unit or a
// mark after it ("7 mg/dl", "182 *"), and a point or a comma followed by
// exactly three digits ("1.500", "250.000", "4,500", "1,020"), which may
// separate thousands (but "0,125" reads).
std::optional<double> readResultValue(QStringView risultato);

// The reference values read as a range. An end may be open (">40" has no
// upper end) and may be excluded ("<200": 200 itself lies outside).
struct RangeLimits {
    std::optional<double> low, high;
    bool lowIncluded = true, highIncluded = true;
    // Decimals as written, so that an end reads back as it was printed.
    int lowDecimals = 0, highDecimals = 0;
    // The unit written after the numbers ("mg/dl" in "70-110 mg/dl"), as
    // written; empty when none. Only a laboratory unit counts as one
    // (mg/dl, mmol/l, U/L, mUI/ml, %, fl, x10^3/µl, /mm3, sec, INR...).
    QString unit;
};

// Read: "70-110", "70 - 110", "3,5-5,0", "3.5-5.0", "3,5 ÷ 5", "da 70 a
// 110", "<200", "< 200", "<=200", ">40", ">= 40", "fino a 200", "inferiore a
// 5", "superiore a 60", each with its unit after it or after both numbers
// ("70-110 mg/dl", "0-5 x10^3", "70 mg/dl - 110 mg/dl"). Refused: one number
// alone, a reversed range, anything around it ("vedi nota", "M: 13-17",
// "70-110 (adulti)"), any word beside the numbers that is not a unit ("> 5
// positivo", "10-30 insufficienza", "<10 carenza": the band a value falls in
// says nothing of normal), two different units, a point or a comma that may
// separate thousands ("150.000-450.000", "4,500 - 11,000").
std::optional<RangeLimits> readReferenceRange(QStringView rife);

// Whether the unit written in the range agrees with the card's unit: the
// same unit once case, blanks and spelling are set aside ("µ" and "u",
// "UI/L" and "U/L", "/mm3" and "/µl" alike), or a power of ten and the same
// followed by what it counts ("x10^3" and "x10^3/µl"). A range without a
// unit agrees with any card; a range with one agrees with no card whose unit
// is blank (the result may be in any unit).
bool sameUnit(QStringView rangeUnit, QStringView um);

// Where a result stands against its reference values, and why not when it
// cannot be told.
enum class RangePlace {
    Inside,
    Below,
    Above,
    NoValue,   // the result is not a plain number
    NoRange,   // the reference values do not read as a range
    OtherUnit, // the range is written in another unit than the result
    NoUnit,    // the range names a unit and the card's unit is blank
    Empty,     // the result or the reference values are blank
};

struct RangeCheck {
    RangePlace place = RangePlace::Empty;
    double value = 0;
    int valueDecimals = 0;
    RangeLimits range;

    bool readable() const { return place == RangePlace::Inside || place == RangePlace::Below || place == RangePlace::Above; }
    bool outside() const { return place == RangePlace::Below || place == RangePlace::Above; }
};

RangeCheck checkResult(QStringView risultato, QStringView rife, QStringView um);
// The same question for a whole archive's worth of cards: true only when the
// result reads and lies outside a range that reads, in the same unit.
bool outsideRange(QStringView risultato, QStringView rife, QStringView um);

// A result that may be a slip: it lies outside its reference values, yet
// the card is neither marked alarming nor given the outcome "FUORI NORMA"
// (letters in any case).
bool unmarkedOutsideRange(QStringView risultato, QStringView rife, QStringView um, QStringView esito, bool alarming);

// "3 risultati fuori dall'intervallo non segnati come allarmanti", or the
// singular for one.
QString unmarkedOutsideCount(qsizetype n);

// The outcome a readable check offers: "NELLA NORMA" or "FUORI NORMA";
// empty for one that cannot be read.
QString offeredOutcome(const RangeCheck &check);

// One line that says why, in the card's words: "Valore 182 oltre il limite
// superiore 110", "Valore 95 entro l'intervallo 70-110"; for a check that
// cannot be read, what could not be read. Empty for a blank result or range.
QString rangeExplanation(const RangeCheck &check);

} // namespace clinora
