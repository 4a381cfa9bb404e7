#include "patients/PatientExport.h"

using namespace Qt::StringLiterals;

namespace clinora {

QList<TextGridModel::Column> patientGridColumns()
{
    // Typing is allowed where the grid shows a field the user may want to
    // word differently in the spreadsheet; it never reaches the archive.
    return {
        {u"N."_s, 60, false},
        {u"Paziente"_s, 220, false},
        {u"Data di nascita"_s, 120, false},
        {u"Comune / Stato estero di nascita"_s, 220, false},
        {u"Tel. preferenziale"_s, 150, false},
        {u"Indirizzo di residenza"_s, 250, false},
        {u"Comune di residenza"_s, 220, true},
        {u"Professione"_s, 220, false},
        {u"Tel. casa"_s, 200, false},
        {u"Tel. ufficio"_s, 200, false},
        {u"Tel. cellulare"_s, 200, false},
        {u"Fax"_s, 200, false},
        {u"E-mail"_s, 250, false},
        {u"Codice fiscale"_s, 150, false},
        {u"Partita IVA"_s, 150, true},
        {u"Tessera sanitaria n."_s, 250, false},
        {u"ASL"_s, 220, true},
        {u"Vaccinazioni"_s, 300, true},
        {u"Patologie"_s, 300, true},
        {u"Allergie e intolleranze"_s, 300, true},
        {u"Farmaci assunti"_s, 300, false},
        {u"Interventi subiti"_s, 300, true},
        {u"Protesi"_s, 300, false},
        {u"Handicap psicomotori"_s, 300, false},
        {u"Questioni in sospeso"_s, 300, true},
        {u"Note"_s, 350, true},
    };
}

QList<ExcelColumn> patientExportColumns()
{
    return {
        {u"Paziente"_s, 250},
        {u"Data di nascita"_s, 200},
        {u"Comune di nascita"_s, 250},
        {u"Tel. preferenziale"_s, 250},
        {u"Indirizzo di residenza"_s, 300},
        {u"Comune di residenza"_s, 250},
        {u"Professione"_s, 250},
        {u"Tel. casa"_s, 250},
        {u"Tel. ufficio"_s, 250},
        {u"Tel. cellulare"_s, 250},
        {u"Fax"_s, 250},
        {u"E-mail"_s, 250},
        {u"Codice fiscale"_s, 250},
        {u"Partita IVA"_s, 250},
        {u"Tessera sanitaria n."_s, 400},
        {u"ASL"_s, 250},
        {u"Vaccinazioni"_s, 400},
        {u"Patologie"_s, 400},
        {u"Allergie e intolleranze"_s, 400},
        {u"Farmaci assunti"_s, 400},
        {u"Interventi subiti"_s, 400},
        {u"Protesi"_s, 400},
        {u"Handicap psicomotori"_s, 400},
        {u"Questioni in sospeso"_s, 400},
        {u"Note"_s, 400},
    };
}

void appendPatientRow(TextGridModel::Rows &rows, const PatientRecord &record, qint64 number)
{
    using F = PatientRecord::Field;
    const auto field = [&](F f) {
        rows.appendCp1252(record.trimmedBytes(f));
        rows.endCell();
    };
    rows.appendNumber(number);
    rows.endCell();
    field(F::Paziente);
    field(F::DataNasc);
    rows.appendCp1252(record.trimmedBytes(F::ComuneNasc));
    rows.append(u" ");
    rows.appendCp1252(record.trimmedBytes(F::ProvNasc));
    rows.endCell();
    field(F::Recapito);
    field(F::IndirizzoRes);
    rows.appendCp1252(record.trimmedBytes(F::ComuneRes));
    rows.append(u" ");
    rows.appendCp1252(record.trimmedBytes(F::ProvRes));
    rows.endCell();
    for (F f : {F::Professione, F::TelCasa, F::TelUff, F::TelCel, F::Fax, F::Email, F::CodFisc, F::PartitaIva})
        field(f);
    rows.appendCp1252(record.trimmedBytes(F::Tessera));
    rows.append(u" - Gruppo: ");
    rows.appendCp1252(record.trimmedBytes(F::Gruppo));
    rows.endCell();
    for (F f : {F::ASL, F::Vaccinazioni, F::Patologie, F::Allergie, F::Farmaci, F::Interventi, F::Protesi,
                F::Handicap, F::Questioni, F::Note})
        field(f);
    rows.endRow();
}

TextGridModel::Rows readPatientGrid(const QString &archivePath, IoResult *result)
{
    return readArchiveGrid<PatientRecord>(archivePath, int(patientGridColumns().size()), appendPatientRow, result);
}

} // namespace clinora
