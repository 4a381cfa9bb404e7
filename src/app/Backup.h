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
    bool encrypted = false; // its files are readable only with the passphrase
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
    PassphraseNeeded, // inspect, restore: the backup is encrypted and no passphrase was given
    WrongPassphrase,  // inspect, restore: the passphrase given does not open it
};

struct Result {
    Failure failure = Failure::None;
    QString path;   // the backup file made or read
    QString detail; // the file or folder a failure concerns
    Summary summary;
    QList<Entry> entries; // what the backup holds (create, inspect)
    // create: data items that could not be backed up (a special file, a
    // link leading nowhere or round in a circle), relative to the data
    // folder; the backup is then written and verified but not complete.
    QStringList leftOut;
    // create, on failure: unfinished backups still in the folder that this
    // run could not remove (none: the folder holds no unfinished backup).
    QStringList leftovers;
    bool ok() const { return failure == Failure::None; }
};

// Called as the work advances; returning false stops it (the result is then
// Cancelled and nothing that looks like a backup is left).
using Progress = std::function<bool(qint64 done, qint64 total)>;

// The data files and folders of `dataFolder`, relative paths with '/', in
// the order a backup stores them; folders end with '/'. Links are followed
// (attachments kept on another disk are data too); what cannot be read as a
// file or a folder (a special file, a link leading nowhere or back into a
// folder it is in) goes into `leftOut`, never opened.
QStringList dataEntries(const QString &dataFolder, QStringList *leftOut = nullptr);

// Writes a backup of `dataFolder` into `targetFolder`, under the dated name
// of `when` (with "-2", "-3"... when that name is taken). The file is
// written under a temporary name (".incompleto", locked while it is
// written, taken only when free, so that two backups at once each get their
// own), synced, read back whole and compared with the checksums of the data
// as read, and only then renamed; each archive is read under a shared lock,
// so a save on another computer is either wholly in the backup or wholly
// out of it. Unfinished backups that no run holds any more (a crash, a
// pulled stick) are removed first. With a passphrase every file, the index
// too, is encrypted with AES-256 as the zip format defines it.
Result create(const QString &dataFolder, const QString &targetFolder, const QDateTime &when,
              const Progress &progress = {}, const QString &suffix = QString(),
              const QString &passphrase = QString());

// Reads a backup whole and checks every file against its index; nothing is
// written. The summary says what it holds. An encrypted backup needs its
// passphrase (PassphraseNeeded without one, WrongPassphrase with another).
Result inspect(const QString &zipPath, const Progress &progress = {}, const QString &passphrase = QString());

// Whether restoring the backup `seen` (as inspect read it) would change the
// password of `dataFolder`: it holds a password file that differs from the
// one there.
bool changesPassword(const Result &seen, const QString &dataFolder);

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
//
// The swap is recorded first in a journal beside the data, so that a crash
// half way is finished by recoverSwap(); what was set aside is removed only
// once the journal says the swap is complete.
Result restore(const QString &zipPath, const QString &dataFolder, const Progress &progress = {},
               const QList<Entry> *unchangedSince = nullptr, const QString &passphrase = QString());

// What recoverSwap() found and did.
struct Recovery {
    enum class Action {
        None,       // no restore was left unfinished
        Finished,   // a restore stopped half way was finished: the data are the backup's
        RolledBack, // a restore stopped half way was undone: the data are as before it
        Locked,     // a file was held elsewhere for the whole wait: nothing done, try again
        Failed,     // it could be neither finished nor undone; `detail` names what is in the way
    };
    Action action = Action::None;
    QDateTime backupCreated;       // Finished: the date of the backup restored
    bool passwordReplaced = false; // Finished: the password is the backup's
    QString detail;                // Locked, Failed: the file or folder concerned
    // Items found in the way (saved there while the swap stood half done),
    // kept in this folder beside the data instead of being lost.
    QString keptFolder;
};

// Finds a restore whose swap was cut short (a crash, a power cut) and
// finishes it when its journal says the restored copy was whole, or puts the
// data set aside back otherwise (a swap begun before journals were kept).
// Called at start and before every backup and restore.
Recovery recoverSwap(const QString &dataFolder);

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
