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

// What the two cards say about their archive: browsing an empty one, a
// save done, and a card duplicated.
inline constexpr QStringView kEmptyArchive = u"L'archivio non contiene nessuna scheda.";
inline constexpr QStringView kCardRewritten =
    u"Le modifiche apportate alla scheda corrente sono state salvate in archivio.";
inline constexpr QStringView kCardAppended = u"La scheda corrente è stata inserita in archivio.";
inline constexpr QStringView kDuplicateUnstored =
    u"Attenzione: la duplicazione di una scheda può avvenire soltanto dopo che questa è stata inserita "
    u"in archivio.";
inline constexpr QStringView kDuplicated =
    u"E' ora possibile apportare le proprie modifiche alla scheda corrente.\n\r\n\rAl termine premere Salva per "
    u"inserire la scheda in archivio.";

} // namespace clinora::msg
