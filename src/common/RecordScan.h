#pragma once

#include "common/RecordArchive.h"

#include <system_error>
#include <thread>

// Reading a whole archive once, in file order, as the lists, the summary and
// the export grids do. A large archive is read in two halves side by side,
// each by a reader of its own, so that a second core shares the copying out
// of the page cache and the decoding of the records.
namespace clinora {

// An archive this large or larger is read in two halves.
inline constexpr qint64 kScanSplitBytes = qint64(4) << 20;

// Every record is handed to `visit(part, record, number)`: those of the
// first half with `first`, those of the second with `second`, which the
// caller then puts after `first`. What was read is always a beginning of
// the file, as for a single reader: when the first half fails, `second`
// is to be dropped (the result says so), and when the second half fails,
// `second` holds the records before the failure.
struct ScanResult {
    IoResult result;
    qint64 count = 0;        // the records of the archive when opened; 0 when it could not be
    bool secondRead = false; // `second` continues `first`
};

template <class Record, class Part, class Visit>
ScanResult scanInHalves(const QString &path, Part &first, Part &second, Visit visit)
{
    ScanResult scan;
    RecordArchive<Record> archive;
    scan.result = archive.open(path, lock::Mode::Shared); // an interrupted rewrite is finished here, before any read
    if (!scan.result)
        return scan;
    const qint64 count = archive.count();
    scan.count = count;
    const qint64 half = count * Record::kSize >= kScanSplitBytes ? count / 2 : count;
    IoResult secondResult;
    const auto readSecondHalf = [&] {
        RecordArchive<Record> reader;
        secondResult = reader.open(path, lock::Mode::Shared);
        if (!secondResult)
            return;
        reader.startAt(half + 1);
        Record record;
        for (qint64 k = half + 1; k <= count; ++k) {
            bool end = false;
            secondResult = reader.readNextInPlace(record, end); // closes itself on a failure
            if (secondResult && end) // the file was cut short meanwhile
                secondResult = {IoError::Read};
            if (!secondResult)
                return;
            visit(second, record, k);
        }
        secondResult = reader.close();
    };
    std::thread tail;
    if (half < count) {
        try {
            tail = std::thread(readSecondHalf);
        } catch (const std::system_error &) {
            // No thread to be had: the second half is read after the first, below.
        }
    }
    Record record;
    for (qint64 k = 1; scan.result && k <= half; ++k) {
        bool end = false;
        scan.result = archive.readNextInPlace(record, end);
        if (scan.result && end)
            scan.result = {IoError::Read};
        if (scan.result)
            visit(first, record, k);
    }
    const bool alongside = tail.joinable();
    if (alongside)
        tail.join();
    if (!scan.result)
        return scan; // the archive closed itself
    if (half < count && !alongside)
        readSecondHalf();
    scan.result = archive.close();
    if (half < count) {
        scan.secondRead = true;
        if (scan.result)
            scan.result = secondResult;
    }
    return scan;
}

} // namespace clinora
