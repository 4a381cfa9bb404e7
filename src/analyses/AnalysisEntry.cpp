#include "analyses/AnalysisEntry.h"

#include "common/FileIo.h"
#include "common/Text.h"
#include "common/YesNo.h"

#include <QDir>

namespace clinora {

bool ensureAnalysisFolder(const QString &appFolder)
{
    return io::makeFolder(QDir(appFolder).filePath(kAnalysisFolderName.toString()));
}

const RequiredField<AnalysisRecord::Field> *firstMissingField(const AnalysisRecord &record)
{
    return firstUnmet(kAnalysisRequiredFields, [&record](AnalysisRecord::Field f) { return record.get(f); });
}

std::optional<bool> alarmMark(const AnalysisRecord &record)
{
    // On the stored bytes: no text is made.
    const QByteArrayView mark = record.trimmedBytes(AnalysisRecord::Allarme);
    if (mark == kYesBytes)
        return true;
    if (mark == kNoBytes)
        return false;
    return std::nullopt;
}

void setAlarmMark(AnalysisRecord &record, bool alarming)
{
    record.set(AnalysisRecord::Allarme, alarming ? kYes : kNo);
}

} // namespace clinora
