#include "analyses/AnalysisEntry.h"

#include "common/FileIo.h"
#include "common/Text.h"
#include "patients/PatientRecord.h"

#include <QDir>

namespace clinora {

bool ensureAnalysisFolder(const QString &appFolder)
{
    return io::makeFolder(QDir(appFolder).filePath(kAnalysisFolderName.toString()));
}

const RequiredField *firstMissingField(const AnalysisRecord &record)
{
    for (const RequiredField &f : kRequiredFields)
        if (text::isBlank(record.get(f.field)))
            return &f;
    return nullptr;
}

std::optional<bool> alarmMark(const AnalysisRecord &record)
{
    // "Sì" and "No" in Windows-1252, on the stored bytes: no text is made.
    const QByteArrayView mark = record.trimmedBytes(AnalysisRecord::Allarme);
    if (mark == QByteArrayView("S\xEC"))
        return true;
    if (mark == QByteArrayView("No"))
        return false;
    return std::nullopt;
}

void setAlarmMark(AnalysisRecord &record, bool alarming)
{
    record.set(AnalysisRecord::Allarme, alarming ? kYes : kNo);
}

} // namespace clinora
