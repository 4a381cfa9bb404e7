#pragma once

#include "common/FixedRecord.h"
#include "common/YesNo.h" // the recontact flag

#include <QString>

namespace clinora {

// One patient of Pazienti.pro: 37 ShortText fields, 4436 bytes.
class PatientRecord : public FixedRecord {
public:
    enum Field {
        Paziente, DataNasc, ComuneNasc, ProvNasc, Sesso, Recapito, IndirizzoRes,
        ProvRes, ComuneRes, CapRes, Professione, ASL, TelCasa, TelUff, TelCel,
        Fax, Email, CodFisc, Tessera, Gruppo, PartitaIva, Vaccinazioni,
        Patologie, Allergie, Farmaci, Interventi, Protesi, Handicap, Questioni,
        Note, Ricontatta, File01, File02, File03, Desc01, Desc02, Desc03,
        FieldCount
    };
    static constexpr int kSize = 4436;

    static const RecordLayout &recordLayout();
    PatientRecord() : FixedRecord(recordLayout()) {}

    QString get(Field f) const { return text(f); }
    void set(Field f, QStringView v) { setText(f, v); }
    void set(Field f, const QString &v) { setText(f, v); }
};

// The archive's file name inside the AppFolder.
inline constexpr QStringView kPatientArchiveName = u"Pazienti.pro";

} // namespace clinora

#include "common/RecordArchive.h"

namespace clinora {
using PatientArchive = RecordArchive<PatientRecord>;
// AppFolder/Pazienti.pro
QString PatientArchivePath(const QString &appFolder);
} // namespace clinora
