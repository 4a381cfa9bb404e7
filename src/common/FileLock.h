#pragma once

#include <QString>

#include <chrono>

// Locks that other copies of the program respect, on this computer and on the
// others that share the data folder, taken on a data file while a command
// works on it. Readers share a file; a writer has it alone.
//
//     lock::FileLock guard;
//     switch (guard.acquire(path, lock::Mode::Exclusive)) { // or Mode::Shared
//     case lock::Outcome::Locked: break;   // work on the file, then let go
//     case lock::Outcome::Busy:            // another copy held it for the whole wait
//     case lock::Outcome::Failed:          // the file cannot be opened
//         return accessFailure();
//     }
//     ... read or write the file through its own handle ...
//     guard.release();                     // or let the guard go out of scope
//
// acquire() never hangs: when the file is held in a way that excludes the
// asked lock, it tries again until waitLimit() has passed (about two
// seconds, so that a long search elsewhere can finish), telling the wait
// observer while it waits so that the screens show the wait cursor.
//
// The lock is an advisory byte-range lock on the whole file, held by an open
// handle of the guard's own: on Linux an open-file-description lock, so that
// two handles of one process exclude each other as two processes do and
// closing some other handle of the file lets nothing go; elsewhere on POSIX a
// classic record lock. On Windows, where such locks are mandatory, a
// LockFileEx lock on one byte far past the data (the program's own handles
// still read and write the data), which also keeps two handles of one
// process apart. Network file systems (NFS, SMB/CIFS mounted without
// "nobrl", Windows shares) forward all of them to the server. A file system that refuses locks
// altogether is worked on without one (see lockingAvailable()).
//
// A file that is replaced as a whole (renamed over) is locked through the
// name: once locked, the guard checks that the name still leads to the file
// it holds, and starts again on the new file when it does not.
namespace clinora::lock {

enum class Mode { Shared, Exclusive };

enum class Outcome {
    Locked, // held (or the file system keeps no locks at all: see lockingAvailable())
    Busy,   // held elsewhere for the whole wait
    Failed, // the file could not be opened (or made, when asked)
};

enum class Missing {
    Create, // a missing file is made empty, and locked
    Skip,   // a missing file gives Locked with nothing held (held() false)
};

class FileLock {
public:
    FileLock() = default;
    ~FileLock();
    FileLock(const FileLock &) = delete;
    FileLock &operator=(const FileLock &) = delete;
    FileLock(FileLock &&other) noexcept;
    FileLock &operator=(FileLock &&other) noexcept;

    // Locks the whole file at `path`, waiting at most waitLimit(). A guard
    // already holding something lets it go first.
    Outcome acquire(const QString &path, Mode mode, Missing missing = Missing::Create);

    // Turns a shared lock into an exclusive one, or back, waiting as
    // acquire() does. Going back to shared never waits.
    Outcome change(Mode mode);

    void release();

    // Called when the file held is about to be replaced by renaming another
    // file over it, or moved with its folder. Windows renames over no open
    // file and moves no folder holding one, so there the lock goes now:
    // another copy that comes in before the rename makes the rename fail
    // (a failure the caller reports) rather than wait. Elsewhere the lock
    // stays held until release(), as the rename needs nothing.
    void releaseForRename();

    // Whether a file is held (false after Missing::Skip found none).
    bool held() const { return m_fd >= 0; }
    Mode mode() const { return m_mode; }
    // False when the file system answered that it keeps no locks (for
    // example a network folder mounted without them): the file is then
    // worked on unguarded, as it would be on one computer.
    bool lockingAvailable() const { return m_available; }

private:
    QString m_path;
    qintptr m_fd = -1; // a file descriptor, or a Windows file handle
    Mode m_mode = Mode::Shared;
    bool m_available = true;
};

// Makes room for `count` more locks held at once by this process (each holds
// an open handle), where the system limits open handles per process and
// allows more; a command that locks a whole folder's files asks first.
void reserveHandles(qsizetype count);

// How long acquire() and change() wait for a held lock.
std::chrono::milliseconds waitLimit();
// Tests shorten the wait; the program keeps the default of two seconds.
void setWaitLimit(std::chrono::milliseconds limit);

// Told when a wait for a lock starts and when it ends, on the thread that
// waits (the screens show the wait cursor meanwhile).
class WaitObserver {
public:
    virtual ~WaitObserver() = default;
    virtual void waitStarted() = 0;
    virtual void waitEnded() = 0;
};

// One observer for the whole process; nullptr removes it.
void setWaitObserver(WaitObserver *observer);
WaitObserver *waitObserver();

} // namespace clinora::lock
