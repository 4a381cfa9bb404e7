// The plain PDF's line reader over arbitrary text: every line is a row, read
// or kept as text; a row read has an exam and a result and fits the sizes
// laboratories print, a kept line is marked and has no outcome.
#include "analyses/LabReport.h"

#include <cstdlib>

using namespace clinora;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    QStringList lines = text.split(u'\n');
    const referto::Reading r = referto::readPdfLines(lines);
    if (r.report.has_value() == !r.message.isEmpty())
        std::abort();
    if (!r.report)
        return 0;
    for (const referto::ReportRow &row : r.report->rows) {
        if (row.unread && (row.uncertain.isEmpty() || !row.esito.isEmpty()))
            std::abort();
        if (!row.unread && (row.esame.isEmpty() || row.risultato.isEmpty()))
            std::abort();
    }
    if (!r.report->fiscalCode.isEmpty() && r.report->fiscalCode.size() != 16)
        std::abort();
    return 0;
}
