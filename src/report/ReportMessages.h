#pragma once

#include <QDir>
#include <QString>
#include <QStringView>

// The report engine's own messages.
namespace clinora::report::msg {

inline constexpr QStringView kNoPrinter =
    u"Attenzione: nel sistema non risulta installata nessuna stampante.\n\r\n\rPer stampare è necessario "
    u"installare almeno una stampante.";

// The PDF file could not be written; `path` keeps whatever it held before.
inline QString pdfFailed(const QString &path)
{
    using namespace Qt::StringLiterals;
    return u"Errore: impossibile creare il file PDF\n\r" + QDir::toNativeSeparators(path) +
           u"\n\r\n\rVerificare che la cartella sia accessibile in scrittura e che il file non sia aperto "
           u"in un altro programma."_s;
}

// The print system's own words, on a line of their own, when it gave any.
inline QString printSystemSays(const QString &reason)
{
    using namespace Qt::StringLiterals;
    return reason.isEmpty() ? QString() : u"\n\r\n\rIl sistema di stampa riferisce: "_s + reason;
}

// The chosen printer refuses new jobs: nothing was sent.
inline QString printerNotAccepting(const QString &printer, const QString &reason)
{
    using namespace Qt::StringLiterals;
    return u"Attenzione: la stampante \""_s + printer + u"\" non accetta nuove stampe."_s + printSystemSays(reason)
           + u"\n\r\n\rLa stampa non è stata inviata."_s;
}

// The chosen printer is stopped: nothing was sent, rather than a job left
// waiting in its queue unseen.
inline QString printerStopped(const QString &printer, const QString &reason)
{
    using namespace Qt::StringLiterals;
    return u"Attenzione: la stampante \""_s + printer + u"\" è ferma."_s + printSystemSays(reason)
           + u"\n\r\n\rLa stampa non è stata inviata: riattivare la stampante e ripetere la stampa."_s;
}

// The job could not be handed to the printer.
inline QString printFailed(const QString &printer, const QString &reason)
{
    using namespace Qt::StringLiterals;
    return u"Errore: non è stato possibile inviare la stampa alla stampante \""_s + printer + u"\"."_s
           + printSystemSays(reason);
}

} // namespace clinora::report::msg
