// The password file reader and Unscramble over arbitrary bytes.
#include "app/Crypt.h"
#include "app/PasswordStore.h"
#include "common/Text.h"

#include <cstdlib>

using namespace clinora;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString ini = text::fromCp1252(QByteArrayView(reinterpret_cast<const char *>(data), qsizetype(size)));
    const QString value = iniValue(ini, u"Accesso", u"Valore");

    if (const auto plain = Crypt::Unscramble(value)) {
        // Scrambling the result gives back the digits read, in capitals.
        if (Crypt::Scramble(*plain) != value.left(value.size() / 2 * 2).toUpper())
            std::abort();
    }
    // Writing a value into any file and reading it back finds that value.
    const QString hex = Crypt::Scramble(QStringLiteral("PROVA"));
    if (iniValue(iniWithValue(ini, u"Accesso", u"Valore", hex), u"Accesso", u"Valore") != hex)
        std::abort();
    return 0;
}
