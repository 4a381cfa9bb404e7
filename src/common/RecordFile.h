#pragma once

#include "common/FileIo.h"

#include <QByteArray>
#include <QFile>
#include <QString>

// A headerless file of fixed-size records, addressed by 1-based record
// number. Opened and closed within one command; a trailing fragment shorter
// than a record is neither counted nor read, and an append writes over it.
namespace clinora {

enum class IoError { None, Open, Seek, Read, Write, Flush, Sync, Close, Range, NotOpen };

struct [[nodiscard]] IoResult {
    IoError error = IoError::None;
    bool ok() const { return error == IoError::None; }
    explicit operator bool() const { return ok(); }
};

class RecordFile {
public:
    explicit RecordFile(int recordSize);
    ~RecordFile();
    RecordFile(const RecordFile &) = delete;
    RecordFile &operator=(const RecordFile &) = delete;

    // Opens for reading and writing, creating a missing file empty. An
    // existing file that cannot be opened so is left alone: the open fails.
    IoResult open(const QString &path);
    bool isOpen() const { return m_file.isOpen(); }
    qint64 count() const { return m_count; }
    int recordSize() const { return m_size; }

    // Reads record k (1 <= k <= count) into `out`; the next ReadNext reads k + 1.
    IoResult read(qint64 k, QByteArray &out);
    // Reads the record after the current one; `end` is set when none is left.
    // currentNumber() is then the number of the record just read.
    IoResult readNext(QByteArray &out, bool &end);
    // The next readNext reads record `number` (1 <= number <= count + 1).
    void startAt(qint64 number);
    // The same, without copying: `out` shows the record in the read-ahead
    // buffer, and stays valid only until the next read, write or close.
    IoResult readNextInPlace(QByteArrayView &out, bool &end);
    qint64 currentNumber() const { return m_current; }

    // Overwrites record k (1 <= k <= count) in place and makes it reach the
    // disk. The new record goes first to a journal beside the file, so that a
    // rewrite cut short by a crash is finished by the next open: the record
    // is then either wholly old or wholly new. A failure before the record is
    // touched leaves no journal: the archive stays as it was.
    IoResult write(qint64 k, const QByteArray &record);

    // The journal of an interrupted rewrite, beside the archive.
    static QString journalPath(const QString &archivePath);
    // Writes a new record after the last one; its number is the former count + 1.
    // A failed append takes back whatever it wrote.
    IoResult append(const QByteArray &record, qint64 *newNumber = nullptr);

    // Closes the file; a file that fails to close reports it.
    IoResult close();

private:
    IoResult writeAt(qint64 k, const QByteArray &record);
    IoResult writeJournal(qint64 k, const QByteArray &record);
    IoResult replayJournal();
    IoResult fail(IoError e);

    QFile m_file;
    int m_size;
    // Sequential reads are served from a chunk of whole records.
    QByteArray m_chunk;
    qint64 m_chunkFirst = 0; // 0-based number of the chunk's first record
    qint64 m_chunkCount = 0;
    qint64 m_count = 0;
    qint64 m_current = 0; // number of the record last read or written
};

} // namespace clinora
