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

} // namespace clinora::report::msg
