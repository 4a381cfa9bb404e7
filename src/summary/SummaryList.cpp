#include "summary/SummaryList.h"

#include "analyses/AnalysisEntry.h"
#include "analyses/AnalysisRecord.h"
#include "analyses/ReferenceRange.h"
#include "common/CommonSettings.h"
#include "common/ListOrder.h"
#include "common/RecordScan.h"
#include "common/Text.h"

namespace clinora::summary {

namespace {

// A typed criterion: given when not blank; it matches when its text as
// typed, blanks included, occurs in the field, A-Z compared without regard
// to case.
class Criterion {
public:
    explicit Criterion(const QString &typed) : m_given(!text::isBlank(typed)), m_key(typed) {}
    bool matches(const AnalysisRecord &record, AnalysisRecord::Field field) const
    {
        return !m_given || m_key.occursIn(record.trimmedBytes(field));
    }

private:
    bool m_given;
    text::FoldedKey m_key;
};

// Both ends included; dates compare as whole days.
bool within(const QDate &date, const QDate &start, const QDate &end) { return date >= start && date <= end; }

} // namespace

bool inInterval(QStringView data, const QDate &start, const QDate &end)
{
    const std::optional<QDate> date = settings::parseDate(text::trimmedView(data));
    return date && within(*date, start, end);
}

IoResult buildSummary(const QString &archivePath, const SummaryRequest &request, SummaryList &out)
{
    out = {};
    const Criterion code(request.codFisc);
    const Criterion exam(request.esame);

    IoResult result;
    const QString file = text::trimmed(archivePath);
    if (file.isEmpty()) { // no archive named: nothing is touched
        result = {IoError::Open};
    } else {
        SummaryList second;
        const ScanResult scan = scanInHalves<AnalysisRecord>(file, out, second,
                                                             [&](SummaryList &part, const AnalysisRecord &record, qint64) {
            if (!code.matches(record, AnalysisRecord::CodFisc) || !exam.matches(record, AnalysisRecord::Esame))
                return;
            // A sample date that is no date lies in no interval: the record is
            // counted apart and the reading goes on, so that the total always
            // matches the lines listed.
            const std::optional<QDate> date = settings::parseDate(record.get(AnalysisRecord::Data));
            if (!date) {
                ++part.undated;
                return;
            }
            if (!within(*date, request.start, request.end))
                return;
            SummaryEntry entry{resultFields(record), *date, alarmMark(record) == true};
            const ResultFields &f = entry.fields;
            if (unmarkedOutsideRange(f.risultato, f.rife, f.um, f.esito, entry.alarming))
                ++part.unmarkedOutside;
            part.lines.append(resultLine(entry.fields));
            part.entries.append(std::move(entry));
        });
        if (scan.secondRead) {
            out.lines += second.lines;
            out.entries += second.entries;
            out.undated += second.undated;
            out.unmarkedOutside += second.unmarkedOutside;
        }
        result = scan.result;
    }
    sortListLines(out.lines);
    return result;
}

} // namespace clinora::summary
