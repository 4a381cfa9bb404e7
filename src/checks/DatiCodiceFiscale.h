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
    // The place the card takes: today's name and province while the code is
    // in use, the name and province of the birth date for a municipality or
    // state no longer there; null when the code was not in use on the birth
    // date or is unknown.
    const CadastralPlace *place = nullptr;
    // The period of the code on the birth date (its name and province then).
    const CadastralPlace *placeThen = nullptr;
    // For a code not in use on the birth date: the period nearest to it
    // (the first one when the birth came before it, otherwise the last that
    // ended before); null when the table does not know the code.
    const CadastralPlace *known = nullptr;
    bool omocodia = false;                  // some digits were replaced by letters

    // The place is no longer there (a municipality abolished or merged, a
    // former state).
    bool abolished() const { return place && !place->current(); }
    // "Nato/a il 10/12/1985 a San Giuliano Terme (PI)", "Nato/a il
    // 03/04/1990 all'estero (Francia)", "Nato/a il 15/01/1960 a Corigliano
    // Calabro (CS), comune soppresso"; a code not in use on that day or not
    // in the table is named by its code, and said so.
    QString sentence() const;
    // The card's texts: "10/12/1985", "M", the place's name and province.
    QString dateText() const { return birthDate.toString(u"dd/MM/yyyy"); }
};

// Reads a code whose check character is right and whose parts are well
// placed (letters, digits or their omocodia letters, a month letter, a day
// of 1-31 or 41-71 that exists in that month). The two-digit year is taken
// in the latest century that puts the birth no later than `today`, or in
// the century before when only then was the place code in use (born in
// 1925 in a municipality abolished in 1928).
std::optional<FiscalCodeReading> readFiscalCode(QStringView code, QDate today,
                                                const CadastralTable &table = CadastralTable::instance());

// The place typed in the calculator ("Forlì", "forli (FC)", a former name):
// the code in use on `birthDate`, or an empty code and the note that says
// why there is none.
struct PlaceChoice {
    QString code;
    QString note;
};
PlaceChoice choosePlace(QStringView typed, QDate birthDate,
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
