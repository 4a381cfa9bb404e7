#pragma once

#include <QByteArrayView>
#include <QSaveFile>
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

// Pushes the file's written data to the disk (fsync / FlushFileBuffers).
bool syncToDisk(QFileDevice &file);

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
// false when it cannot be made (or a file stands in its place).
bool makeFolder(const QString &folder);

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

    QSaveFile m_file;
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
