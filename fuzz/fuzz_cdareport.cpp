// The structured laboratory report reader over arbitrary bytes: it either
// refuses them with a message or gives rows, never both, never neither.
#include "analyses/LabReport.h"

#include <cstdlib>

using namespace clinora;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const referto::Reading r = referto::readCda(bytes);
    if (r.report.has_value() == !r.message.isEmpty())
        std::abort();
    if (r.report)
        for (const referto::ReportRow &row : r.report->rows) {
            // A row marked uncertain never carries an outcome.
            if (!row.uncertain.isEmpty() && !row.esito.isEmpty())
                std::abort();
            if (referto::rowColumns(row).size() != 10)
                std::abort();
        }
    return 0;
}
