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
    const QString mark = record.get(AnalysisRecord::Allarme);
    if (mark == kYes)
        return true;
    if (mark == kNo)
        return false;
    return std::nullopt;
}

void setAlarmMark(AnalysisRecord &record, bool alarming)
{
    record.set(AnalysisRecord::Allarme, alarming ? kYes : kNo);
}

} // namespace clinora
