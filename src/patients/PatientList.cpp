#include "patients/PatientList.h"

#include "common/RecordScan.h"

#include <QFileInfo>

#include <algorithm>
#include <cstring>
#include <optional>

namespace clinora {

namespace {

// Filled up with blanks or cut to `width` characters.
char *putFixed(char *out, QByteArrayView value, qsizetype width)
{
    const qsizetype kept = std::min(value.size(), width);
    text::putBytes(out, value, kept);
    std::memset(out + kept, ' ', size_t(width - kept));
    return out + width;
}

template <size_t N>
char *put(char *out, const char (&ascii)[N])
{
    std::memcpy(out, ascii, N - 1);
    return out + N - 1;
}

// Reads the whole archive, adding the line of every record `wanted` accepts.
template <class Wanted>
PatientLines collectLines(const QString &archivePath, Wanted wanted)
{
    PatientLines out;
    // Room for a line of every record, of the usual length: a few too many
    // bytes set aside cost nothing until they are written.
    const qint64 records = QFileInfo(archivePath).size() / PatientRecord::kSize;
    out.lines.reserve(records, records * 160);
    ListLines second;
    const ScanResult scan = scanInHalves<PatientRecord>(archivePath, out.lines, second,
                                                        [&](ListLines &part, const PatientRecord &record, qint64) {
        if (wanted(record))
            part.endLine(writePatientListLine(record, part.lineRoom(kPatientLineMost)));
    });
    if (scan.secondRead)
        out.lines.append(std::move(second));
    out.result = scan.result;
    out.lines.sort();
    return out;
}

} // namespace

bool filterOccurs(QStringView filter, QStringView field)
{
    return text::lowerAZ(field).contains(text::lowerAZ(filter));
}

PatientMatcher::PatientMatcher(const QList<PatientFilter> &filters)
{
    for (const PatientFilter &f : filters)
        if (filterFilled(f.text))
            m_needles.push_back({int(f.field), text::FoldedKey(f.text)});
}

bool PatientMatcher::matches(const PatientRecord &record) const
{
    for (const Needle &n : m_needles)
        if (!n.key.occursIn(record.trimmedBytes(n.field)))
            return false;
    return true;
}

qsizetype writePatientListLine(const PatientRecord &record, char *out)
{
    char *const begin = out;
    out = putFixed(out, record.trimmedBytes(PatientRecord::Paziente), 26);
    out = put(out, "  Tel. ");
    out = putFixed(out, record.trimmedBytes(PatientRecord::Recapito), 15);
    out = put(out, "  CF: ");
    out = putFixed(out, record.trimmedBytes(PatientRecord::CodFisc), 16);
    out = put(out, "  Tessera n. ");
    out = putFixed(out, record.trimmedBytes(PatientRecord::Tessera), 25);
    out = put(out, "  ");
    const QByteArrayView note = record.trimmedBytes(PatientRecord::Note);
    return text::putBytes(out, note) - begin;
}

void appendPatientListLine(const PatientRecord &record, QByteArray &out)
{
    const qsizetype start = out.size();
    out.resize(start + kPatientLineMost);
    out.truncate(start + writePatientListLine(record, out.data() + start));
}

QString PatientListLine(const PatientRecord &record)
{
    QByteArray line;
    appendPatientListLine(record, line);
    return text::fromCp1252(line);
}

bool isToRecontact(const PatientRecord &record)
{
    return record.trimmedBytes(PatientRecord::Ricontatta) == kYesBytes;
}

PatientLines searchPatients(const QString &archivePath, const PatientMatcher &matcher)
{
    return collectLines(archivePath, [&](const PatientRecord &r) { return matcher.matches(r); });
}

PatientLines recontactPatients(const QString &archivePath)
{
    return collectLines(archivePath, [](const PatientRecord &r) { return isToRecontact(r); });
}

PatientPick findPatientByLine(const QString &archivePath, QStringView line)
{
    PatientPick pick;
    PatientArchive archive;
    pick.result = archive.open(archivePath, lock::Mode::Shared);
    if (!pick.result)
        return pick;
    // A line no record can give is still looked for: the archive is read
    // as for any pick, and nothing matches.
    const std::optional<QByteArray> wanted = text::exactCp1252(text::trimmedView(line));
    PatientRecord record;
    QByteArray built;
    built.reserve(512);
    for (;;) {
        bool end = false;
        const IoResult r = archive.readNextInPlace(record, end);
        if (!r) {
            pick.result = r;
            break;
        }
        if (end)
            break;
        if (!wanted)
            continue;
        built.clear();
        appendPatientListLine(record, built);
        if (text::trimmedBytes(built) == QByteArrayView(*wanted)) {
            // The last equal record in the file is the one that stays.
            pick.found = true;
            pick.record = record;
            pick.number = archive.currentNumber();
        }
    }
    const IoResult closed = archive.close();
    if (pick.result)
        pick.result = closed;
    return pick;
}

} // namespace clinora
