#pragma once

#include "common/RecordFile.h"
#include "patients/PatientRecord.h"

#include <QString>

// Finding a stored patient that a new card may repeat: one with the same
// fiscal code, or with the same name and birth date.
namespace clinora {

struct PatientDuplicates {
    IoResult result;
    qint64 sameCode = 0;          // the first such record's number, 0 for none
    qint64 sameNameAndBirth = 0;  // the same
};

// Reads the archive once. Codes compare without outer blanks and with a-z
// taken as A-Z; names the same way, with any run of blanks inside taken as
// one; birth dates as dates when both read as dd/mm/yyyy, as texts
// otherwise. An empty code, name or birth date matches nothing.
PatientDuplicates findPatientDuplicates(const QString &archivePath, const PatientRecord &card);

} // namespace clinora
