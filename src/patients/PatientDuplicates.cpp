#include "patients/PatientDuplicates.h"

#include "checks/DatiCodiceFiscale.h"
#include "common/RecordScan.h"
#include "common/Text.h"

namespace clinora {

namespace {

char upper(char c) { return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c; }
bool blank(char c) { return quint8(c) <= 32; }

// Trimmed Windows-1252 texts equal with a-z as A-Z and inner runs of blanks
// as one blank.
bool sameFolded(QByteArrayView a, QByteArrayView b)
{
    qsizetype i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (blank(a[i]) && blank(b[j])) {
            while (i < a.size() && blank(a[i]))
                ++i;
            while (j < b.size() && blank(b[j]))
                ++j;
            continue;
        }
        if (upper(a[i]) != upper(b[j]))
            return false;
        ++i;
        ++j;
    }
    return i == a.size() && j == b.size();
}

struct Found {
    qint64 code = 0;
    qint64 name = 0;
};

} // namespace

PatientDuplicates findPatientDuplicates(const QString &archivePath, const PatientRecord &card)
{
    PatientDuplicates out;
    const QByteArray code = card.trimmedBytes(PatientRecord::CodFisc).toByteArray();
    const QByteArray name = card.trimmedBytes(PatientRecord::Paziente).toByteArray();
    const QByteArray birth = card.trimmedBytes(PatientRecord::DataNasc).toByteArray();
    const QDate birthDate = parseCardDate(text::fromCp1252(birth));
    const bool byName = !name.isEmpty() && !birth.isEmpty();
    Found first, second;
    const ScanResult scan = scanInHalves<PatientRecord>(archivePath, first, second,
                                                        [&](Found &part, const PatientRecord &r, qint64 k) {
        if (!part.code && !code.isEmpty() && sameFolded(r.trimmedBytes(PatientRecord::CodFisc), code))
            part.code = k;
        if (!part.name && byName && sameFolded(r.trimmedBytes(PatientRecord::Paziente), name)) {
            const QByteArrayView stored = r.trimmedBytes(PatientRecord::DataNasc);
            const QDate storedDate = birthDate.isValid() ? parseCardDate(text::fromCp1252(stored)) : QDate();
            if (birthDate.isValid() && storedDate.isValid() ? storedDate == birthDate : sameFolded(stored, birth))
                part.name = k;
        }
    });
    out.result = scan.result;
    out.sameCode = first.code ? first.code : (scan.secondRead ? second.code : 0);
    out.sameNameAndBirth = first.name ? first.name : (scan.secondRead ? second.name : 0);
    return out;
}

} // namespace clinora
