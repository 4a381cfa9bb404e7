#pragma once

#include "analyses/AnalysisRecord.h"
#include "common/ExcelHtml.h"
#include "common/ExportGrid.h"

// The spreadsheet export of a patient's analysis archive: the screen's grid
// of 13 columns and the 12 columns of Analisi_Cliniche.xls.
namespace clinora {

inline constexpr QStringView kAnalysisExportFile = u"Analisi_Cliniche.xls";
inline constexpr QStringView kAnalysisExportSheet = u"Analisi Cliniche";

QList<TextGridModel::Column> analysisGridColumns();
// Grid columns 1 to 12, in order; the row number stays out of the file.
QList<ExcelColumn> analysisExportColumns();

// One row: the record number, then the record's fields; the alarm mark as
// stored ("Sì" or "No").
void appendAnalysisRow(TextGridModel::Rows &rows, const AnalysisRecord &record, qint64 number);

// The grid of an archive: one row per record, or 10 empty rows when it holds
// none or cannot be opened. A failure part-way leaves the rows not yet read
// empty. `result` says whether the whole archive was read.
TextGridModel::Rows readAnalysisGrid(const QString &archivePath, IoResult *result = nullptr);

} // namespace clinora
