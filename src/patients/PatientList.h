#pragma once

#include "common/ListLines.h"
#include "common/ListOrder.h"
#include "common/Text.h"
#include "patients/PatientRecord.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <vector>

// The patient lists: which patients a search finds, the one-line summary
// each list shows, the order of the lines, and finding a picked line's
// patient again. Every command reads Pazienti.pro once, front to back, and
// looks only at the fields it needs, on their stored bytes.
namespace clinora {

// A search filter: the text as typed and the field it is looked for in.
struct PatientFilter {
    PatientRecord::Field field;
    QString text;
};

// A filter plays a part only when it holds more than blanks.
inline bool filterFilled(QStringView text) { return !text::isBlank(text); }

// The matching rule on plain texts: the filter, as typed (outer blanks
// included), occurs somewhere in the field, with A-Z folded to a-z on both
// sides and every other character (accented letters too) compared as it is.
bool filterOccurs(QStringView filter, QStringView field);

// The filled filters of a search, prepared once and tested on each record's
// stored bytes.
class PatientMatcher {
public:
    explicit PatientMatcher(const QList<PatientFilter> &filters);

    int filledCount() const { return int(m_needles.size()); }
    // True when every filled filter occurs in its field; with none filled,
    // every record matches.
    bool matches(const PatientRecord &record) const;

private:
    struct Needle {
        int field;
        text::FoldedKey key;
    };
    std::vector<Needle> m_needles;
};

// The line a list shows for a patient: the name filled up or cut to 26
// characters, "  Tel. ", the preferred telephone to 15, "  CF: ", the fiscal
// code to 16, "  Tessera n. ", the health card number to 25, two blanks and
// the notes whole; every field without its outer blanks.
QString PatientListLine(const PatientRecord &record);
// The same line in Windows-1252, appended to `out`.
void appendPatientListLine(const PatientRecord &record, QByteArray &out);
// The same line written at `out`, which has room for kPatientLineMost bytes;
// returns its length.
inline constexpr qsizetype kPatientLineMost = 26 + 7 + 15 + 6 + 16 + 13 + 25 + 2 + 255;
qsizetype writePatientListLine(const PatientRecord &record, char *out);

// "Sì" in the recontact flag, outer blanks apart.
bool isToRecontact(const PatientRecord &record);

// The sorted lines of a reading command. On a failure the command stops
// where it was: `lines` holds what was read before it.
struct PatientLines {
    IoResult result;
    ListLines lines;
};

// The search: the lines of the records that `matcher` accepts.
PatientLines searchPatients(const QString &archivePath, const PatientMatcher &matcher);
// The patients to recontact.
PatientLines recontactPatients(const QString &archivePath);

// A pick: the last record in the file whose line equals `line` (both
// compared without outer blanks, exactly), and its record number.
struct PatientPick {
    IoResult result;
    bool found = false;
    PatientRecord record;
    qint64 number = 0;
};
// On a failure `found` still tells whether a record read before it matched.
PatientPick findPatientByLine(const QString &archivePath, QStringView line);

} // namespace clinora
