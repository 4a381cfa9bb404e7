// The HL7 result message reader over arbitrary bytes, alone and as any file
// is told apart: a message or rows, an uncertain value never an outcome.
#include "analyses/LabReport.h"

#include <cstdlib>

using namespace clinora;

namespace {

void check(const referto::Reading &r)
{
    if (r.report.has_value() == !r.message.isEmpty())
        std::abort();
    if (r.report)
        for (const referto::ReportRow &row : r.report->rows)
            if (!row.uncertain.isEmpty() && !row.esito.isEmpty())
                std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    check(referto::readHl7(bytes));
    // Without a PDF reader: a PDF is refused with its message.
    check(referto::readReport(bytes, QStringLiteral("referto.hl7"), nullptr));
    return 0;
}
