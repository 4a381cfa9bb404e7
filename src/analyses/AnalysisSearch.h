#pragma once

#include "analyses/AnalysisRecord.h"
#include "common/ListLines.h"
#include "common/Text.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <array>

// Reading a patient's analysis archive into result lists: the cards that
// match the search criteria, the alarming cards, and the card behind a line.
// Each function is one command: it opens the archive (creating it empty
// when it is missing), reads it once from the first record to the last and
// closes it.
namespace clinora {

// The ten fields the search matches, in the order of its criteria.
inline constexpr std::array<AnalysisRecord::Field, 10> kSearchFields{
    AnalysisRecord::NumRef, AnalysisRecord::DataRef,  AnalysisRecord::Data,       AnalysisRecord::Esame,
    AnalysisRecord::Risultato, AnalysisRecord::UM,    AnalysisRecord::Esito,      AnalysisRecord::Commento,
    AnalysisRecord::Firmatario, AnalysisRecord::Note,
};

// The criteria as typed. A criterion is given when its text is not blank;
// it matches when its text as typed, blanks included, occurs in the card's
// field, the letters A-Z compared without regard to case.
class AnalysisCriteria {
public:
    // `typed` in the order of kSearchFields.
    explicit AnalysisCriteria(const std::array<QString, 10> &typed);

    int count() const { return int(m_given.size()); }
    // True when every given criterion matches (always, with none given).
    bool matches(const AnalysisRecord &record) const;

private:
    struct Given {
        AnalysisRecord::Field field;
        text::FoldedKey key;
    };
    QList<Given> m_given;
};

// The result lines of the cards that match, sorted. On a failure, the lines
// of the cards read before it, unsorted.
IoResult findResultLines(const QString &archivePath, const AnalysisCriteria &criteria, ListLines &lines);

// The result lines of the cards whose alarm mark reads "Sì", sorted. On a
// failure, the lines of the cards read before it, unsorted.
IoResult alarmingResultLines(const QString &archivePath, ListLines &lines);

// The same reading, and with it the result lines of the cards that may be
// slips: a result outside its readable reference values (ReferenceRange.h)
// on a card neither marked alarming nor given the outcome "FUORI NORMA"
// (letters in any case). Both sorted; on a failure, as above.
IoResult alarmingResultLines(const QString &archivePath, ListLines &lines, ListLines &unmarkedOutside);

// The card behind a list line: the last record of the archive whose result
// line, trimmed, equals `line`, trimmed. `number` stays 0 when none does; on
// a failure, the last such record read before it.
struct CardOfLine {
    AnalysisRecord record;
    qint64 number = 0;
};
IoResult findCardOfLine(const QString &archivePath, const QString &line, CardOfLine &found);

} // namespace clinora
