#include "app/Privacy.h"

#include "app/PasswordStore.h"
#include "common/FileIo.h"
#include "common/ProgramFiles.h"

#include <QDir>
#include <QFile>

using namespace Qt::StringLiterals;

namespace clinora::privacy {

namespace {

constexpr int kOthersRead = 04;
constexpr int kOthersWrite = 02;
constexpr int kOthersEnter = 01;

} // namespace

QStringList exposedItems(const QString &appFolder)
{
    QStringList exposed;
    const int folder = io::permissionBits(appFolder);
    if (folder < 0)
        return exposed;
    if (folder & (kOthersRead | kOthersWrite))
        exposed << appFolder;
    // A folder others cannot enter keeps its files from them, whatever
    // the files' own permissions.
    if (!(folder & kOthersEnter))
        return exposed;
    const QDir dir(appFolder);
    QStringList archives = {dir.filePath(u"Pazienti.pro"_s), dir.filePath(u"Esami_Frequenti.lst"_s),
                            dir.filePath(kPasswordFileName.toString())};
    const QString results = dir.filePath(u"Analisi_Cliniche"_s);
    const int resultsBits = io::permissionBits(results);
    if (resultsBits >= 0 && (resultsBits & (kOthersRead | kOthersWrite)))
        exposed << results;
    if (resultsBits >= 0 && (resultsBits & kOthersEnter)) {
        const QDir r(results);
        for (const QString &name : r.entryList({u"*.asl"_s}, QDir::Files | QDir::System))
            archives << r.filePath(name);
    }
    for (const QString &archive : std::as_const(archives)) {
        const int bits = io::permissionBits(archive);
        if (bits >= 0 && (bits & (kOthersRead | kOthersWrite)))
            exposed << archive;
    }
    return exposed;
}

QString Settings::path(const QString &appFolder) { return QDir(appFolder).filePath(u"Clinora-sicurezza.ini"_s); }

Settings Settings::load(const QString &appFolder)
{
    Settings s;
    QFile f(path(appFolder));
    if (!QFileInfo::exists(f.fileName()) || !io::openRegular(f, QIODevice::ReadOnly))
        return s;
    const QString text = QString::fromLatin1(f.read(4096));
    bool ok = false;
    const int minutes = iniValue(text, u"Blocco", u"Minuti").trimmed().toInt(&ok);
    // Anything but a sensible number of minutes keeps the lock as it comes.
    if (ok && minutes >= 0 && minutes <= 24 * 60)
        s.lockMinutes = minutes;
    s.warnPermissions = iniValue(text, u"Permessi", u"Avvisa").trimmed() != u"No"_s;
    return s;
}

bool Settings::save(const QString &appFolder) const
{
    const QString text = u"[Blocco]\r\n; Minuti senza tastiera ne' mouse prima del blocco dello schermo (0: mai)\r\n"
                         u"Minuti="_s
                         + QString::number(lockMinutes) + u"\r\n[Permessi]\r\nAvvisa="_s
                         + (warnPermissions ? u"Si"_s : u"No"_s) + u"\r\n"_s;
    return io::replaceFile(path(appFolder), text.toLatin1());
}

} // namespace clinora::privacy
