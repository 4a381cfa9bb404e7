// The date and number readers over arbitrary text.
#include "common/CommonSettings.h"
#include "common/Text.h"

#include <cstdlib>

using namespace clinora;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString s = text::fromCp1252(QByteArrayView(reinterpret_cast<const char *>(data), qsizetype(size)));
    if (const auto d = settings::parseDate(s)) {
        if (!d->isValid() || settings::formatDate(*d) != s)
            std::abort();
    }
    (void)settings::parseNumber(s);
    return 0;
}
