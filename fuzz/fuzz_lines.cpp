// The list lines built from arbitrary records: the patient line (built on
// stored bytes) against the record's decoded texts, the search's byte
// matcher against the plain-text rule, and the result line's columns and
// order.
#include "analyses/AnalysisRecord.h"
#include "analyses/ResultLine.h"
#include "common/ListOrder.h"
#include "common/Text.h"
#include "patients/PatientList.h"
#include "patients/PatientRecord.h"

#include <QStringList>

#include <algorithm>
#include <cstdlib>
#include <cstring>

using namespace clinora;

namespace {

void check(bool ok)
{
    if (!ok)
        std::abort();
}

// The text filled up with blanks or cut to `width`.
QString fixed(const QString &t, int width) { return t.left(width).leftJustified(width, u' '); }

template <class Record>
Record recordFrom(const uint8_t *data, size_t size)
{
    Record r;
    std::memcpy(r.bytes().data(), data, std::min<size_t>(size, size_t(Record::kSize)));
    return r;
}

void patientLine(const PatientRecord &p, const QString &filter, int field)
{
    using F = PatientRecord;
    const QString line = PatientListLine(p);
    const QString expected = fixed(p.text(F::Paziente), 26) + QStringLiteral("  Tel. ")
                             + fixed(p.text(F::Recapito), 15) + QStringLiteral("  CF: ")
                             + fixed(p.text(F::CodFisc), 16) + QStringLiteral("  Tessera n. ")
                             + fixed(p.text(F::Tessera), 25) + QStringLiteral("  ") + p.text(F::Note);
    check(line == expected);

    // The matcher on stored bytes finds exactly what the plain-text rule finds.
    const PatientRecord::Field f = PatientRecord::Field(field % PatientRecord::FieldCount);
    const PatientMatcher matcher({{f, filter}});
    const bool plain = !filterFilled(filter) || filterOccurs(filter, p.text(f));
    check(matcher.matches(p) == plain);
}

QString resultLineOf(const AnalysisRecord &a)
{
    using F = AnalysisRecord;
    const QString line = resultLine(a);
    check(line == resultLine(resultFields(a)));
    const QString key = resultDateKey(a.text(F::Data));
    check(key.size() <= 8);
    const QString expected = QStringLiteral("Cod. ") + key + QStringLiteral("  Data: ") + fixed(a.text(F::Data), 10)
                             + QStringLiteral("  ") + fixed(a.text(F::Esame), 28) + QStringLiteral("  Valore: ")
                             + fixed(a.text(F::Risultato), 20) + QStringLiteral("  UM: ") + fixed(a.text(F::UM), 14)
                             + QStringLiteral("  Rif. ") + fixed(a.text(F::Rife), 20) + QStringLiteral("  ")
                             + a.text(F::Esito);
    check(line == expected);
    return line;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 2)
        return 0;
    // A filter and the field it looks in, then the record bytes.
    const int field = data[0];
    const size_t filterLength = std::min<size_t>(data[1] % 16, size - 2);
    const QString filter = text::fromCp1252(QByteArrayView(reinterpret_cast<const char *>(data + 2),
                                                           qsizetype(filterLength)));
    data += 2 + filterLength;
    size -= 2 + filterLength;

    patientLine(recordFrom<PatientRecord>(data, size), filter, field);

    // Several result records from the same bytes: each line as built, and
    // the list sorted in one consistent order.
    QStringList lines;
    for (size_t at = 0; at < size || lines.isEmpty(); at += 97) {
        const size_t start = std::min(at, size);
        lines << resultLineOf(recordFrom<AnalysisRecord>(data + start, size - start));
        if (lines.size() >= 8)
            break;
    }
    sortListLines(lines);
    for (qsizetype i = 1; i < lines.size(); ++i)
        check(!listLineLess(lines[i], lines[i - 1]) && compareListText(lines[i - 1], lines[i]) <= 0);
    return 0;
}
