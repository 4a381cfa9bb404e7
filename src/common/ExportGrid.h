#pragma once

#include "common/RecordScan.h"
#include "common/TextGrid.h"

#include <QFileInfo>

// Filling an export screen's grid from a record archive.
namespace clinora {

// The rows an export grid is created with, and keeps for an empty archive.
inline constexpr int kExportEmptyRows = 10;

// One row per record, in file order, made by `appendRow(rows, record,
// number)`; the 10 empty rows when the archive holds none or cannot be
// opened. A failure part-way leaves the rows not yet read empty, as a grid
// sized to the archive before it is filled would show them. `result` says
// whether the whole archive was read.
template <class Record, class AppendRow>
TextGridModel::Rows readArchiveGrid(const QString &archivePath, int columnCount, AppendRow appendRow,
                                    IoResult *result = nullptr)
{
    TextGridModel::Rows rows(columnCount), second(columnCount);
    rows.reserve(QFileInfo(archivePath).size() / Record::kSize);
    const ScanResult scan = scanInHalves<Record>(
        archivePath, rows, second,
        [&](TextGridModel::Rows &part, const Record &record, qint64 number) { appendRow(part, record, number); });
    if (scan.secondRead)
        rows.appendRows(std::move(second));
    if (scan.count == 0)
        rows.appendEmptyRows(kExportEmptyRows);
    else if (scan.count > rows.rowCount())
        rows.appendEmptyRows(scan.count - rows.rowCount());
    if (result)
        *result = scan.result;
    return rows;
}

} // namespace clinora
