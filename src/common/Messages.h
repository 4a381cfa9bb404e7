#pragma once

#include <QStringView>

// Messages that several screens show word for word.
namespace clinora::msg {

// An archive that cannot be opened, read or written. The line breaks are
// LF CR pairs, as the program has always written them.
inline constexpr QStringView kAccessError =
    u"Attenzione: il sistema non permette di accedere all'archivio.\n\r\n\rAccertarsi di possedere i privilegi di "
    u"scrittura nella cartella di installazione del programma.";

// "Salva" on a stored card whose record another computer saved since the
// card read it.
inline constexpr QStringView kChangedElsewhere =
    u"Attenzione: la scheda è stata modificata da un'altra postazione dopo che è stata aperta.\n\r\n\r"
    u"Sovrascrivere le modifiche?";

} // namespace clinora::msg
