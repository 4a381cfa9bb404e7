#pragma once

#include <QStringView>

// Messages that several screens show word for word.
namespace clinora::msg {

// An archive that cannot be opened, read or written. The line breaks are
// LF CR pairs, as the program has always written them.
inline constexpr QStringView kAccessError =
    u"Attenzione: il sistema non permette di accedere all'archivio.\n\r\n\rAccertarsi di possedere i privilegi di "
    u"scrittura nella cartella di installazione del programma.";

} // namespace clinora::msg
