#pragma once

#include "checks/CodiciCatastali.h"

#include <QDate>
#include <QString>
#include <QStringView>

#include <optional>

// What a person's fiscal code says (birth date, sex, place of birth), and
// the code computed from those data by the published rules.
namespace clinora {

struct FiscalCodeReading {
    QDate birthDate;
    QChar sex;                              // 'M' or 'F'
    QString placeCode;                      // "A562", omocodia letters undone
    const CadastralPlace *place = nullptr;  // null when unknown on the birth date
    bool omocodia = false;                  // some digits were replaced by letters

    // "Nato/a il 10/12/1985 a San Giuliano Terme (PI)", "Nato/a il
    // 03/04/1990 in Francia"; a place not in the table is named by its code.
    QString sentence() const;
    // The card's texts: "10/12/1985", "M", the place's name and province.
    QString dateText() const { return birthDate.toString(u"dd/MM/yyyy"); }
};

// Reads a code whose check character is right and whose parts are well
// placed (letters, digits or their omocodia letters, a month letter, a day
// of 1-31 or 41-71 that exists in that month). The two-digit year is taken
// in the century that puts the birth no later than `today`.
std::optional<FiscalCodeReading> readFiscalCode(QStringView code, QDate today,
                                                const CadastralTable &table = CadastralTable::instance());

struct FiscalCodeInput {
    QString surname;
    QString givenNames;
    QChar sex;        // 'M' or 'F'
    QDate birthDate;
    QString placeCode; // "A562"
};

// The code of a person who has no homonym (no omocodia), or an empty text
// when a datum is missing: no letter in the surname or given names, a sex
// other than M or F, an invalid date, a place code that is not a letter and
// three digits.
QString computeFiscalCode(const FiscalCodeInput &in);

// The three letters of a surname (`givenNames` false) or of given names.
QString fiscalCodeLetters(QStringView text, bool givenNames);

// Splits "De Rossi Maria Grazia" into surname and given names: the first
// word, with the particles that begin a surname ("De", "Di", "Del", "Della",
// "Lo", "La", "Dal", "Dalla", "D'", "Van", "Von", ...) kept with the word
// they precede.
void splitPatientName(QStringView full, QString &surname, QString &givenNames);

// A date typed as d/m/yyyy (or with '.' or '-'); invalid otherwise.
QDate parseCardDate(QStringView text);

} // namespace clinora
