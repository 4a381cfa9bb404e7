#pragma once

#include <QDateTime>
#include <QList>
#include <QString>

#include <functional>

// The backup of a data folder: one zip file that holds every data file and
// folder of the installation (not the program's own files), checked by
// reading it back whole before it takes its dated name, and the restore of a
// data folder from such a file.
namespace clinora::backup {

// The dated name of a backup made at `when`: Clinora-backup-2026-12-11-0930.zip.
QString fileName(const QDateTime &when, const QString &suffix = QString());
// True for a name the program gives to its backups.
bool looksLikeBackupName(const QString &name);

// What a backup holds, as its index tells.
struct Summary {
    QDateTime created; // when the backup was made
    int files = 0;     // data files (folders not counted)
    int folders = 0;
    qint64 dataBytes = 0; // the files' bytes together
    qint64 patients = 0;  // records of the patient archive
    int analysisArchives = 0;
    qint64 zipBytes = 0; // the backup file's own size
};

// One item a backup holds, as it was read from the data folder.
struct Entry {
    QString name;     // relative, with '/'; a folder's ends with '/'
    quint32 crc = 0;  // CRC-32 of a file's bytes
    qint64 size = 0;
    bool folder = false;
};

enum class Failure {
    None,
    FolderMissing,   // the backup folder is not there (stick or share gone)
    DataUnreadable,  // a data file could not be read
    Locked,          // an archive stayed locked by another computer
    WriteFailed,     // the backup file could not be written whole (disk full, removed)
    VerifyFailed,    // the file read back differs from the data
    Cancelled,       // the user stopped it
    NotABackup,      // restore: the file is missing, not a zip, or not ours
    Damaged,         // restore: the file is ours but some content is damaged
    UnsafeName,      // restore: an entry would land outside the data folder
    ReplaceFailed,   // restore: the data folder could not be replaced; rolled back
    RollbackFailed,  // restore: replacing failed half way and could not be undone
    Changed,         // restore: the data changed since the backup of them made first
};

struct Result {
    Failure failure = Failure::None;
    QString path;   // the backup file made or read
    QString detail; // the file or folder a failure concerns
    Summary summary;
    QList<Entry> entries; // what the backup holds (create, inspect)
    bool ok() const { return failure == Failure::None; }
};

// Called as the work advances; returning false stops it (the result is then
// Cancelled and nothing that looks like a backup is left).
using Progress = std::function<bool(qint64 done, qint64 total)>;

// The data files and folders of `dataFolder`, relative paths with '/', in
// the order a backup stores them; folders end with '/'.
QStringList dataEntries(const QString &dataFolder);

// Writes a backup of `dataFolder` into `targetFolder`, under the dated name
// of `when` (with "-2", "-3"... when that name is taken). The file is
// written under a temporary name, synced, read back whole and compared with
// the checksums of the data as read, and only then renamed; each archive is
// read under a shared lock, so a save on another computer is either wholly
// in the backup or wholly out of it.
Result create(const QString &dataFolder, const QString &targetFolder, const QDateTime &when,
              const Progress &progress = {}, const QString &suffix = QString());

// Reads a backup whole and checks every file against its index; nothing is
// written. The summary says what it holds.
Result inspect(const QString &zipPath, const Progress &progress = {});

// Replaces the data of `dataFolder` with what the backup holds. The backup is
// checked whole first, and refused before anything is touched when damaged;
// it is unpacked beside the data, and only then the old data are swapped out.
// A data item the backup does not hold is removed, except the password file.
// The swap is made under the locks saves take, on every file they lock; one
// held elsewhere for the whole wait gives Locked, with nothing changed.
// Making a backup of the current data first is the caller's part; given its
// entries as `unchangedSince`, the data are checked against them under the
// locks, and a save made meanwhile on another computer (which that backup
// does not hold) gives Changed, with nothing changed.
Result restore(const QString &zipPath, const QString &dataFolder, const Progress &progress = {},
               const QList<Entry> *unchangedSince = nullptr);

// The program's own record of its backups: a small INI file in the AppFolder.
struct Settings {
    QString folder;      // where backups go, chosen once by the user
    QDateTime lastTime;  // the last verified backup
    QString lastPath;
    qint64 lastBytes = 0;
    int lastFiles = 0;

    static QString path(const QString &appFolder);
    static Settings load(const QString &appFolder);
    bool save(const QString &appFolder) const;
};

// Days after which the start menu reminds the user of a backup.
inline constexpr int kReminderDays = 7;
// Whether a reminder is due at `now`: no verified backup, or one older than
// kReminderDays.
bool reminderDue(const Settings &s, const QDateTime &now);

} // namespace clinora::backup
