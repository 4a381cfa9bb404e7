#pragma once

#include "common/RecordFile.h"

// A record file typed by its record class (PatientRecord, AnalysisRecord).
namespace clinora {

template <class Record>
class RecordArchive {
public:
    IoResult open(const QString &path) { return m_file.open(path); }
    qint64 count() const { return m_file.count(); }
    IoResult read(qint64 k, Record &rec) { return m_file.read(k, rec.bytes()); }
    IoResult readNext(Record &rec, bool &end) { return m_file.readNext(rec.bytes(), end); }
    qint64 currentNumber() const { return m_file.currentNumber(); }
    IoResult write(qint64 k, const Record &rec) { return m_file.write(k, rec.bytes()); }
    IoResult append(const Record &rec, qint64 *newNumber = nullptr)
    {
        return m_file.append(rec.bytes(), newNumber);
    }
    IoResult close() { return m_file.close(); }
    bool isOpen() const { return m_file.isOpen(); }

private:
    RecordFile m_file{Record::kSize};
};

} // namespace clinora
