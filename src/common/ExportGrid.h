#pragma once

#include "common/RecordArchive.h"
#include "common/TextGrid.h"

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
    TextGridModel::Rows rows(columnCount);
    RecordArchive<Record> archive;
    IoResult r = archive.open(archivePath);
    const qint64 count = r ? archive.count() : 0;
    if (count == 0)
        rows.appendEmptyRows(kExportEmptyRows);
    rows.reserve(count);
    Record record;
    for (qint64 k = 1; r && k <= count; ++k) {
        bool end = false;
        r = archive.readNextInPlace(record, end);
        if (r && end)
            r = {IoError::Read};
        if (r)
            appendRow(rows, record, k);
    }
    if (count > rows.rowCount())
        rows.appendEmptyRows(count - rows.rowCount());
    const IoResult closed = archive.close();
    if (r)
        r = closed;
    if (result)
        *result = r;
    return rows;
}

} // namespace clinora
