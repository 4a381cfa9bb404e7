#include "analyses/AnalysisRecord.h"

#include "common/FileNames.h"
#include "common/Text.h"

#include <QDir>
#include <QFileInfo>

namespace clinora {

const RecordLayout &AnalysisRecord::recordLayout()
{
    static const RecordLayout layout{
        {"Paziente", 50},  {"CodFisc", 16},    {"NumRef", 20},   {"DataRef", 10},
        {"Data", 10},      {"Esame", 120},     {"Risultato", 50}, {"UM", 50},
        {"Rife", 50},      {"Esito", 50},      {"Commento", 250}, {"Firmatario", 50},
        {"Note", 250},     {"Allarme", 2},     {"File01", 250},  {"File02", 250},
        {"File03", 250},   {"Desc01", 250},    {"Desc02", 250},  {"Desc03", 250},
    };
    return layout;
}

QString AnalysisArchivePath(const QString &appFolder, QStringView fiscalCode)
{
    // A code from a damaged record must not lead out of the folder, and the
    // name must be one Windows can hold too (the folder moves between
    // systems): each character it refuses becomes "_", as "/" and "\\" did.
    const QString code = text::trimmed(fiscalCode);
    const QString folder = QDir(appFolder).filePath(kAnalysisFolderName.toString()) + u'/';
    const QString fitted = folder + names::fitForWindows(QString(u"Paziente_CF_" + code + u".asl"));
    // An archive made before names were fitted (only "/" and "\\" replaced)
    // keeps being found where this system allows its name: its results must
    // not seem gone.
    QString legacyCode = code;
    legacyCode.replace(u'/', u'_').replace(u'\\', u'_');
    const QString legacyName = QString(u"Paziente_CF_" + legacyCode + u".asl");
    const QString legacy = folder + legacyName;
    if (legacy != fitted && names::fitsHere(legacyName) && !QFileInfo::exists(fitted) && QFileInfo::exists(legacy))
        return legacy;
    return fitted;
}

} // namespace clinora
