#pragma once

// The records that the copies of the program started by the shared-folder
// tests save: every byte follows from the tag in the first field, so a
// record found in the file can be told whole or not.
#include "analyses/AnalysisRecord.h"
#include "patients/PatientRecord.h"

#include <QString>

namespace clinora::test {

inline QString shareArchivePatients(const QString &folder) { return PatientArchivePath(folder); }

inline QString shareArchiveAnalyses(const QString &folder)
{
    return AnalysisArchivePath(folder, QStringLiteral("CNDVSA80A01H501X"));
}

template <class Record>
Record recordOfTag(const QString &tag)
{
    Record r;
    r.setText(0, tag);
    for (int f = 1; f < r.layout().fieldCount(); ++f)
        r.setText(f, QString(tag + u'/' + QString::number(f) + u' ').repeated(30).trimmed());
    return r;
}

} // namespace clinora::test
