// The backup's reading of a zip over arbitrary bytes: inspected without and
// with the passphrase, then restored into a scratch folder. Nothing may be
// written outside that folder, and what a restore accepts, inspect accepts.
#include "app/Backup.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdlib>

using namespace clinora;

namespace {

// The passphrase of the encrypted seeds.
const QString kPassphrase = QStringLiteral("frase di prova");

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static QTemporaryDir scratch;
    const QDir root(scratch.path());
    const QString zip = root.filePath(QStringLiteral("Clinora-backup-2026-12-11-0930.zip"));
    const QString folder = root.filePath(QStringLiteral("dati"));
    {
        QFile f(zip);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            std::abort();
        f.write(reinterpret_cast<const char *>(data), qint64(size));
    }
    QDir(folder).removeRecursively();
    if (!root.mkpath(QStringLiteral("dati")))
        std::abort();

    (void)backup::inspect(zip);
    const backup::Result seen = backup::inspect(zip, {}, kPassphrase);
    const backup::Result restored = backup::restore(zip, folder, {}, nullptr, kPassphrase);
    if (restored.ok() && !seen.ok())
        std::abort();
    // Only the zip and the data folder: nothing landed beside them.
    const QStringList beside = root.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    if (beside != QStringList{QStringLiteral("Clinora-backup-2026-12-11-0930.zip"), QStringLiteral("dati")})
        std::abort();
    // Nor anything beside the data items in the data folder, once the restore is over.
    const QStringList inside =
        QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString &name : inside) {
        if (name.startsWith(QLatin1Char('.')))
            std::abort();
    }
    return 0;
}
