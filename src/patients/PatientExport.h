#pragma once

#include "common/ExcelHtml.h"
#include "common/ExportGrid.h"
#include "patients/PatientRecord.h"

// The spreadsheet export of the patient archive: the screen's grid of 26
// columns, filled from Pazienti.pro, and the 25 columns of Pazienti.xls.
namespace clinora {

inline constexpr QStringView kPatientExportFile = u"Pazienti.xls";
inline constexpr QStringView kPatientExportSheet = u"Archivio Pazienti";

QList<TextGridModel::Column> patientGridColumns();
// Grid columns 1 to 25, in order; the row number stays out of the file.
QList<ExcelColumn> patientExportColumns();

// One row: the record number, then the record's fields as the grid shows them.
void appendPatientRow(TextGridModel::Rows &rows, const PatientRecord &record, qint64 number);

// The grid of an archive: one row per record, or the 10 empty rows when it
// holds none or cannot be opened. A failure part-way leaves the rows not
// yet read empty. `result` says whether the whole archive was read.
TextGridModel::Rows readPatientGrid(const QString &archivePath, IoResult *result = nullptr);

} // namespace clinora
