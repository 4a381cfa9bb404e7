#pragma once

#include <QByteArrayView>
#include <QFile>
#include <QString>

class QDateTime;
class QFile;
class QFileDevice;

// The program's few file primitives that Qt does not offer portably, and the
// one place where every file operation can be made to fail on purpose, so
// that tests can show what each command does when a disk fails.
namespace clinora::io {

enum class Op { Open, Read, Write, Flush, Sync, Rename, Close, Mkdir, Copy, Remove };

// Consulted before each operation; returning true makes that operation fail.
class FaultHook {
public:
    virtual ~FaultHook() = default;
    virtual bool shouldFail(Op op, const QString &path) = 0;
    // How many of `size` bytes a write lets through before the power goes:
    // fewer than `size` cuts the write short there.
    virtual qint64 bytesBeforeCut(const QString &path, qint64 size)
    {
        Q_UNUSED(path);
        return size;
    }
};

// Installs a hook for the whole process (nullptr removes it). Tests only.
void setFaultHook(FaultHook *hook);
bool injectFault(Op op, const QString &path);
// Whether a hook is installed: a cheap test before a frequent operation.
bool faultHookInstalled();

// Writes every byte, or fails: a hook can fail the write, or cut it short
// after some bytes as a power loss would.
bool writeAll(QFile &file, QByteArrayView bytes);
// The same for any file device (a QSaveFile, which replaces its target only
// once every byte is written).
bool writeAll(QFileDevice &file, QByteArrayView bytes);

// The same, with the fault hook told `path` (a file open on a handle has no name).
bool writeAllAs(QFileDevice &file, const QString &path, QByteArrayView bytes);

// Pushes the file's written data to the disk (fsync / FlushFileBuffers).
bool syncToDisk(QFileDevice &file);
// The same without asking the fault hook.
bool syncHandle(QFileDevice &file);

// Starts writing `length` bytes from `offset` to the disk without waiting
// (where the system allows it), so that the disk works while the program
// goes on and the sync at the end finds less to do. Never a substitute for
// syncToDisk().
void startToDisk(QFileDevice &file, qint64 offset, qint64 length);

// Makes the names in the folder holding `path` reach the disk (a file just
// made or renamed there), where the system asks for it (POSIX; Windows
// keeps a file's name with the file).
bool syncFolderOf(const QString &path);

// The system's sync of an open handle (fsync on POSIX), through which every
// sync above is made. A test puts in a call of its own that makes the real
// one and notes which file it was for, so that a sync left out is seen;
// nullptr puts the system's back.
using SyncCall = int (*)(int handle);
void setSyncCall(SyncCall call);

// Makes a new, renamed or removed name in `folder` reach the disk too, where
// the system asks for it (POSIX); Windows keeps the name with the file.
bool syncFolderToDisk(const QString &folder);

// Lets the system forget the cached pages of a file already synced, so that
// the next read comes from the disk itself (a read-back check), where the
// system allows it.
void dropCached(QFileDevice &file);

// Makes sure `folder` exists as a folder, creating any missing parent too;
// false when it cannot be made (or a file stands in its place). A folder made
// here takes the permissions of the folder that holds it, whatever the umask.
bool makeFolder(const QString &folder);

// The permissions of a file the program makes in `folder`: the folder's own,
// without execute bits (so never more open than the folder), always readable
// and writable by the owner. Patient data are no one else's business: a
// folder the practice shares with a group gives the group the same access.
QFileDevice::Permissions newFilePermissions(const QString &folder);

// Opens an existing regular file at the file's name, or (with `create`)
// makes a missing one with newFilePermissions(). An existing name is followed
// when it is a link (an archive may be kept on another disk), but a new file
// is never made through a link. A FIFO, a device, a socket or a folder is
// refused at once, without waiting for someone at its other end: the caller
// reports it as a file it cannot open.
bool openRegular(QFile &file, QIODevice::OpenMode mode, bool create = false);

// The same for a bare system handle (POSIX), as the file locks hold it:
// read-only or read-write; -1 with errno set on failure (ENOENT for a
// missing file not created, EACCES for a name that is not a regular file).
int openRegularHandle(const QString &path, bool write, bool create);

// Opens `file` for writing as a new, empty file at its name: whatever stood
// there (a link included) is removed first, so nothing is ever written
// through a link planted at the name. Used for a file written in place (a
// rewrite journal); a whole file is replaced with ReplacedFile instead.
bool openFresh(QFile &file);

// The permission bits of `path` as the system keeps them (0755...), never
// following a link; -1 when it is missing or where the system keeps none
// of this kind (Windows has access lists instead).
int permissionBits(const QString &path);

// Gives `path` the permissions of the item it replaces (`model`): a restored
// file keeps what an administrator had set. Never follows a link at `path`.
bool copyPermissions(const QString &model, const QString &path);

// Removes a file; true when it is gone (or was never there).
bool removeFile(const QString &path);

// Whether a new file can be made in `folder`: tried for real with a short-
// lived file, since permissions alone do not tell (a read-only disk, a share
// mounted read-only, an administrator who ignores them).
bool canCreateFilesIn(const QString &folder);

// A file replaced as a whole (the password file, the frequent exams, an
// export, a PDF, an attached copy). The new content goes to a temporary file
// beside the target, which takes the target's place only once every byte of
// it is on the disk: a failure at any step, or a crash, leaves either the old
// file or the new one, never a mixture. A file not committed is dropped.
// Whatever is at the name is replaced, a link too: nothing is ever written
// into a link's target. The new file takes newFilePermissions() of its folder,
// or the stricter permissions of the regular file it replaces.
class ReplacedFile {
public:
    explicit ReplacedFile(const QString &path);
    ~ReplacedFile();
    ReplacedFile(const ReplacedFile &) = delete;
    ReplacedFile &operator=(const ReplacedFile &) = delete;

    bool open();
    bool write(QByteArrayView bytes);
    // Gives the new file this modification time, where the file system can.
    void setModificationTime(const QDateTime &time);
    // Flushes, syncs and puts the file in place of the old one.
    bool commit();

private:
    bool cancel();

    QString m_path;   // the file replaced
    QString m_temp;   // the new content, until the commit
    QFile m_file;     // open on m_temp
    qint64 m_toDisk = 0; // where the disk writing already asked for ends
    int m_old = -1;      // the file replaced, held open across the rename
    bool m_failed = false;
};

// Waits until every file replaced so far has given its space back. The
// space of a large replaced file is freed on a helper thread, after the
// replacement has returned; benchmarks and tests wait for it here.
void finishReleases();

// Replaces the file at `path` with `bytes`, as ReplacedFile does.
bool replaceFile(const QString &path, QByteArrayView bytes);

} // namespace clinora::io
