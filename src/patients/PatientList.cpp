#include "patients/PatientList.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string_view>

namespace clinora {

namespace {

constexpr char foldAZ(char c) { return (c >= 'A' && c <= 'Z') ? char(c + 32) : c; }

// The text's bytes in Windows-1252, or nothing when a character has no byte
// there: such a text cannot occur in a stored field.
std::optional<QByteArray> exactCp1252(QStringView t)
{
    QByteArray bytes = text::toCp1252(t);
    if (text::fromCp1252(bytes) != t)
        return std::nullopt;
    return bytes;
}

QByteArray folded(QByteArray bytes)
{
    for (char &c : bytes)
        c = foldAZ(c);
    return bytes;
}

// Filled up with blanks or cut to `width` characters.
void appendFixed(QByteArray &out, QByteArrayView value, qsizetype width)
{
    if (value.size() >= width) {
        out.append(value.first(width));
    } else {
        out.append(value);
        out.append(width - value.size(), ' ');
    }
}

QByteArrayView trimmedBytes(QByteArrayView v)
{
    qsizetype b = 0, e = v.size();
    while (b < e && static_cast<unsigned char>(v[b]) <= 32)
        ++b;
    while (e > b && static_cast<unsigned char>(v[e - 1]) <= 32)
        --e;
    return v.sliced(b, e - b);
}

// Reads the whole archive, adding the line of every record `wanted` accepts.
template <class Wanted>
PatientLines collectLines(const QString &archivePath, Wanted wanted)
{
    PatientLines out;
    PatientArchive archive;
    out.result = archive.open(archivePath);
    if (!out.result)
        return out;
    PatientRecord record;
    QByteArray line;
    line.reserve(512);
    for (;;) {
        bool end = false;
        const IoResult r = archive.readNext(record, end);
        if (!r) {
            out.result = r;
            break;
        }
        if (end)
            break;
        if (wanted(record)) {
            line.clear();
            appendPatientListLine(record, line);
            out.lines.append(text::fromCp1252(line));
        }
    }
    const IoResult closed = archive.close();
    if (out.result)
        out.result = closed;
    sortListLines(out.lines);
    return out;
}

} // namespace

bool filterOccurs(QStringView filter, QStringView field)
{
    return text::lowerAZ(field).contains(text::lowerAZ(filter));
}

PatientMatcher::PatientMatcher(const QList<PatientFilter> &filters)
{
    for (const PatientFilter &f : filters) {
        if (!filterFilled(f.text))
            continue;
        const std::optional<QByteArray> bytes = exactCp1252(f.text);
        m_needles.push_back({int(f.field), bytes ? folded(*bytes) : QByteArray(), bytes.has_value()});
    }
}

bool PatientMatcher::matches(const PatientRecord &record) const
{
    char buffer[256];
    for (const Needle &n : m_needles) {
        if (!n.possible)
            return false;
        const QByteArrayView field = record.trimmedBytes(n.field);
        if (n.folded.size() > field.size())
            return false;
        // Every field holds at most 250 bytes.
        const auto size = std::min<qsizetype>(field.size(), qsizetype(sizeof buffer));
        for (qsizetype i = 0; i < size; ++i)
            buffer[i] = foldAZ(field[i]);
        const std::string_view hay(buffer, size_t(size));
        if (hay.find(std::string_view(n.folded.constData(), size_t(n.folded.size()))) == std::string_view::npos)
            return false;
    }
    return true;
}

void appendPatientListLine(const PatientRecord &record, QByteArray &out)
{
    appendFixed(out, record.trimmedBytes(PatientRecord::Paziente), 26);
    out.append("  Tel. ");
    appendFixed(out, record.trimmedBytes(PatientRecord::Recapito), 15);
    out.append("  CF: ");
    appendFixed(out, record.trimmedBytes(PatientRecord::CodFisc), 16);
    out.append("  Tessera n. ");
    appendFixed(out, record.trimmedBytes(PatientRecord::Tessera), 25);
    out.append("  ");
    out.append(record.trimmedBytes(PatientRecord::Note));
}

QString PatientListLine(const PatientRecord &record)
{
    QByteArray line;
    appendPatientListLine(record, line);
    return text::fromCp1252(line);
}

bool isToRecontact(const PatientRecord &record)
{
    return record.trimmedBytes(PatientRecord::Ricontatta) == QByteArrayView("S\xEC");
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
    pick.result = archive.open(archivePath);
    if (!pick.result)
        return pick;
    // A line no record can give is still looked for: the archive is read
    // as for any pick, and nothing matches.
    const std::optional<QByteArray> wanted = exactCp1252(text::trimmedView(line));
    PatientRecord record;
    QByteArray built;
    built.reserve(512);
    for (;;) {
        bool end = false;
        const IoResult r = archive.readNext(record, end);
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
        if (trimmedBytes(built) == QByteArrayView(*wanted)) {
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
