#include "analyses/AnalysisSearch.h"

#include "analyses/AnalysisEntry.h"
#include "analyses/ResultLine.h"
#include "common/Text.h"

namespace clinora {

namespace {

void lowerAZInPlace(QString &s)
{
    for (QChar &c : s)
        if (c >= u'A' && c <= u'Z')
            c = QChar(c.unicode() + 32);
}

// Opens the archive, hands every record to `visit` in file order, closes it.
// The first failure ends the scan; the archive is closed in any case.
template <class Visit>
IoResult scanArchive(const QString &path, Visit &&visit)
{
    const QString file = text::trimmed(path);
    if (file.isEmpty()) // no patient's archive is open
        return {IoError::Open};
    AnalysisArchive archive;
    if (IoResult r = archive.open(file); !r)
        return r;
    AnalysisRecord record;
    for (;;) {
        bool end = false;
        if (IoResult r = archive.readNext(record, end); !r)
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
            m_given.append({kSearchFields[i], text::lowerAZ(typed[i])});
}

bool AnalysisCriteria::matches(const AnalysisRecord &record) const
{
    for (const Given &g : m_given) {
        QString value = record.get(g.field);
        lowerAZInPlace(value);
        if (!value.contains(g.key))
            return false;
    }
    return true;
}

IoResult findResultLines(const QString &archivePath, const AnalysisCriteria &criteria, QStringList &lines)
{
    lines.clear();
    const IoResult r = scanArchive(archivePath, [&](const AnalysisRecord &record, qint64) {
        if (criteria.matches(record))
            lines.append(resultLine(record));
    });
    if (r)
        sortListLines(lines);
    return r;
}

IoResult alarmingResultLines(const QString &archivePath, QStringList &lines)
{
    lines.clear();
    const IoResult r = scanArchive(archivePath, [&](const AnalysisRecord &record, qint64) {
        if (alarmMark(record) == true)
            lines.append(resultLine(record));
    });
    if (r)
        sortListLines(lines);
    return r;
}

IoResult findCardOfLine(const QString &archivePath, const QString &line, CardOfLine &found)
{
    found.number = 0;
    const QStringView wanted = text::trimmedView(line);
    // Of several cards that give the same line, the last one in the archive is the one meant.
    return scanArchive(archivePath, [&](const AnalysisRecord &record, qint64 number) {
        if (text::trimmedView(resultLine(record)) == wanted) {
            found.record = record;
            found.number = number;
        }
    });
}

} // namespace clinora
