#include "analyses/AnalysisSearch.h"

#include "analyses/AnalysisEntry.h"
#include "analyses/ReferenceRange.h"
#include "analyses/ResultLine.h"
#include "common/RecordScan.h"
#include "common/Text.h"

#include <QFileInfo>

namespace clinora {

namespace {

// Opens the archive, hands every record to `visit` in file order, closes it.
// The first failure ends the scan; the archive is closed in any case.
template <class Visit>
IoResult scanArchive(const QString &path, Visit &&visit)
{
    const QString file = text::trimmed(path);
    if (file.isEmpty()) // no patient's archive is open
        return {IoError::Open};
    AnalysisArchive archive;
    if (IoResult r = archive.open(file, lock::Mode::Shared); !r)
        return r;
    AnalysisRecord record;
    for (;;) {
        bool end = false;
        if (IoResult r = archive.readNextInPlace(record, end); !r)
            return r; // the archive closes itself on a failure
        if (end)
            break;
        visit(record, archive.currentNumber());
    }
    return archive.close();
}

} // namespace

AnalysisCriteria::AnalysisCriteria(const std::array<QString, 10> &typed)
{
    for (size_t i = 0; i < typed.size(); ++i)
        if (!text::isBlank(typed[i]))
            m_given.append({kSearchFields[i], text::FoldedKey(typed[i])});
}

bool AnalysisCriteria::matches(const AnalysisRecord &record) const
{
    for (const Given &g : m_given)
        if (!g.key.occursIn(record.trimmedBytes(g.field)))
            return false;
    return true;
}

namespace {

// The lines of the cards `wanted` accepts, sorted once the whole archive is read.
template <class Wanted>
IoResult collectLines(const QString &archivePath, ListLines &lines, Wanted wanted)
{
    lines = {};
    const QString file = text::trimmed(archivePath);
    if (file.isEmpty()) // no patient's archive is open
        return {IoError::Open};
    // Room for a line of every card, of the usual length.
    const qint64 cards = QFileInfo(file).size() / AnalysisRecord::kSize;
    lines.reserve(cards, cards * 160);
    ListLines second;
    const ScanResult scan = scanInHalves<AnalysisRecord>(file, lines, second,
                                                         [&](ListLines &part, const AnalysisRecord &record, qint64) {
        if (wanted(record))
            part.endLine(writeResultLine(record, part.lineRoom(kResultLineMost)));
    });
    if (scan.secondRead)
        lines.append(std::move(second));
    // Sorted even when a read failed, like a whole list: those lines are shown.
    lines.sort();
    return scan.result;
}

} // namespace

IoResult findResultLines(const QString &archivePath, const AnalysisCriteria &criteria, ListLines &lines)
{
    return collectLines(archivePath, lines, [&](const AnalysisRecord &record) { return criteria.matches(record); });
}

IoResult alarmingResultLines(const QString &archivePath, ListLines &lines)
{
    return collectLines(archivePath, lines, [](const AnalysisRecord &record) { return alarmMark(record) == true; });
}

namespace {

// A card not marked alarming whose result lies outside its reference values, yet nobody said so.
bool isUnmarkedOutside(const AnalysisRecord &record)
{
    using F = AnalysisRecord;
    const QByteArrayView risultato = record.trimmedBytes(F::Risultato);
    const QByteArrayView rife = record.trimmedBytes(F::Rife);
    if (risultato.isEmpty() || rife.isEmpty())
        return false;
    // The fields hold at most 50 characters each: decoded on the stack.
    const QByteArrayView um = record.trimmedBytes(F::UM), esito = record.trimmedBytes(F::Esito);
    constexpr qsizetype kRoom = 64;
    if (risultato.size() > kRoom || rife.size() > kRoom || um.size() > kRoom || esito.size() > kRoom)
        return false;
    char16_t result[kRoom], range[kRoom], unit[kRoom], outcome[kRoom];
    const auto view = [](char16_t *room, QByteArrayView bytes) {
        return QStringView(room, text::putCp1252(room, bytes) - room);
    };
    return unmarkedOutsideRange(view(result, risultato), view(range, rife), view(unit, um), view(outcome, esito), false);
}

struct AlarmParts {
    ListLines marked, unmarked;
};

} // namespace

IoResult alarmingResultLines(const QString &archivePath, ListLines &lines, ListLines &unmarkedOutside)
{
    lines = {};
    unmarkedOutside = {};
    const QString file = text::trimmed(archivePath);
    if (file.isEmpty()) // no patient's archive is open
        return {IoError::Open};
    const qint64 cards = QFileInfo(file).size() / AnalysisRecord::kSize;
    AlarmParts first, second;
    first.marked.reserve(cards, cards * 160);
    const ScanResult scan = scanInHalves<AnalysisRecord>(file, first, second,
                                                         [&](AlarmParts &part, const AnalysisRecord &record, qint64) {
        if (alarmMark(record) == true)
            part.marked.endLine(writeResultLine(record, part.marked.lineRoom(kResultLineMost)));
        else if (isUnmarkedOutside(record))
            part.unmarked.endLine(writeResultLine(record, part.unmarked.lineRoom(kResultLineMost)));
    });
    if (scan.secondRead) {
        first.marked.append(std::move(second.marked));
        first.unmarked.append(std::move(second.unmarked));
    }
    // A list cut short by a failed read is sorted like a whole one.
    first.marked.sort();
    first.unmarked.sort();
    lines = std::move(first.marked);
    unmarkedOutside = std::move(first.unmarked);
    return scan.result;
}

IoResult findCardOfLine(const QString &archivePath, const QString &line, CardOfLine &found)
{
    found.number = 0;
    // Of several cards that give the same line, the last one in the archive
    // is the one meant. A line no card can give is still looked for.
    const std::optional<QByteArray> wanted = text::exactCp1252(text::trimmedView(line));
    QByteArray built;
    built.reserve(512);
    return scanArchive(archivePath, [&](const AnalysisRecord &record, qint64 number) {
        if (!wanted)
            return;
        built.clear();
        appendResultLine(record, built);
        if (text::trimmedBytes(built) == QByteArrayView(*wanted)) {
            found.record = record;
            found.number = number;
        }
    });
}

} // namespace clinora
