#pragma once

#include "common/RecordFile.h"

#include <QList>

// A record file typed by its record class (PatientRecord, AnalysisRecord).
namespace clinora {

// The record a card last read from its archive or wrote there, byte for
// byte: a save that finds something else stored in its place knows that
// another computer saved that record meanwhile.
struct LoadedRecord {
    QString path;
    qint64 number = 0;
    QByteArray bytes;

    void remember(const QString &archivePath, qint64 k, QByteArrayView record)
    {
        path = archivePath;
        number = k;
        bytes = record.toByteArray(); // owned, even when shown in place
    }
    bool knows(const QString &archivePath, qint64 k) const { return number == k && k > 0 && path == archivePath; }
};

template <class Record>
class RecordArchive {
public:
    // Shared for a command that only reads, exclusive for one that writes.
    IoResult open(const QString &path, lock::Mode mode = lock::Mode::Exclusive) { return m_file.open(path, mode); }
    qint64 count() const { return m_file.count(); }
    IoResult read(qint64 k, Record &rec) { return m_file.read(k, rec.bytes()); }
    IoResult readNext(Record &rec, bool &end) { return m_file.readNext(rec.bytes(), end); }
    // The next record, shown in place in the read-ahead buffer: `rec` may be
    // looked at until the next read, write or close; a copy of it owns its bytes.
    IoResult readNextInPlace(Record &rec, bool &end)
    {
        QByteArrayView bytes;
        const IoResult r = m_file.readNextInPlace(bytes, end);
        if (r && !end)
            rec.showInPlace(bytes);
        return r;
    }
    qint64 currentNumber() const { return m_file.currentNumber(); }
    void startAt(qint64 number) { m_file.startAt(number); }
    IoResult write(qint64 k, const Record &rec) { return m_file.write(k, rec.bytes()); }
    IoResult append(const Record &rec, qint64 *newNumber = nullptr)
    {
        return m_file.append(rec.bytes(), newNumber);
    }
    // Several records, one sync for all of them (see RecordFile::appendAll).
    IoResult appendAll(const QList<Record> &records, qint64 *firstNumber = nullptr)
    {
        QByteArray bytes;
        bytes.reserve(qsizetype(records.size()) * Record::kSize);
        for (const Record &r : records)
            bytes += r.bytes();
        return m_file.appendAll(bytes, firstNumber);
    }
    IoResult close() { return m_file.close(); }
    bool isOpen() const { return m_file.isOpen(); }

private:
    RecordFile m_file{Record::kSize};
};

} // namespace clinora
