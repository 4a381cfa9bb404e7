#pragma once

#include "common/FileIo.h"
#include "common/FileLock.h"

#include <QByteArray>
#include <QFile>
#include <QString>

// A headerless file of fixed-size records, addressed by 1-based record
// number. Opened and closed within one command; a trailing fragment shorter
// than a record is neither counted nor read, and an append writes over it.
namespace clinora {

// Busy: another copy of the program kept the file locked for the whole wait.
enum class IoError { None, Open, Seek, Read, Write, Flush, Sync, Close, Range, NotOpen, Busy };

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
    // Until the close the file is locked against other copies of the
    // program: shared by commands that only read, exclusive for one that
    // writes; a lock held elsewhere for the whole wait gives Busy.
    IoResult open(const QString &path, lock::Mode mode = lock::Mode::Exclusive);
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
    // Where a journal that does not belong to the archive beside it is set
    // aside (the first free of "<journal>.estraneo", "<journal>.estraneo2"...).
    static QString foreignJournalPath(const QString &archivePath);
    // Writes a new record after the last one; its number is the count of
    // whole records in the file at that moment + 1 (the file is locked for
    // writing since the open). A failed append takes back whatever it wrote.
    IoResult append(const QByteArray &record, qint64 *newNumber = nullptr);
    // Several records after the last one (`records` holds them one after
    // the other), reaching the disk with one sync: all of them or, after a
    // failure, none. `firstNumber` receives the first one's number.
    IoResult appendAll(const QByteArray &records, qint64 *firstNumber = nullptr);

    // Closes the file; a file that fails to close reports it.
    IoResult close();

private:
    IoResult writeAt(qint64 k, const QByteArray &record);
    IoResult writeJournal(qint64 k, const QByteArray &oldRecord, const QByteArray &record);
    IoResult replayJournal();
    IoResult fail(IoError e);

    QFile m_file;
    lock::FileLock m_lock;
    int m_size;
    // Sequential reads are served from a chunk of whole records.
    QByteArray m_chunk;
    qint64 m_chunkFirst = 0; // 0-based number of the chunk's first record
    qint64 m_chunkCount = 0;
    qint64 m_count = 0;
    qint64 m_current = 0; // number of the record last read or written
};

} // namespace clinora
