#pragma once

#include "common/FixedRecord.h"

#include <QString>

namespace clinora {

// One exam result of a patient's analysis archive: 20 ShortText fields, 2498 bytes.
class AnalysisRecord : public FixedRecord {
public:
    enum Field {
        Paziente, CodFisc, NumRef, DataRef, Data, Esame, Risultato, UM, Rife,
        Esito, Commento, Firmatario, Note, Allarme, File01, File02, File03,
        Desc01, Desc02, Desc03,
        FieldCount
    };
    static constexpr int kSize = 2498;

    static const RecordLayout &recordLayout();
    AnalysisRecord() : FixedRecord(recordLayout()) {}

    QString get(Field f) const { return text(f); }
    void set(Field f, QStringView v) { setText(f, v); }
    void set(Field f, const QString &v) { setText(f, v); }
};

// The folder of all analysis archives, inside the AppFolder.
inline constexpr QStringView kAnalysisFolderName = u"Analisi_Cliniche";

// AppFolder/Analisi_Cliniche/Paziente_CF_<fiscal code>.asl; the code is
// trimmed and otherwise taken as it is.
QString AnalysisArchivePath(const QString &appFolder, QStringView fiscalCode);

} // namespace clinora

#include "common/RecordArchive.h"

namespace clinora {
using AnalysisArchive = RecordArchive<AnalysisRecord>;
} // namespace clinora
