#include "common/FileLock.h"

#include "common/FileIo.h"

#include <QFile>

#include <algorithm>
#include <atomic>
#include <thread>

#if !defined(Q_OS_WIN)
#include <cerrno>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#else
#include <QDir>

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#endif

namespace clinora::lock {

namespace {

std::atomic<long long> g_waitMs{2000};
std::atomic<WaitObserver *> g_observer{nullptr};

// Between two tries while another copy holds the file: short at first, as
// a save holds it for a few milliseconds, longer as the wait goes on.
constexpr auto kFirstRetry = std::chrono::milliseconds(1);
constexpr auto kLongestRetry = std::chrono::milliseconds(16);

// Tells the observer about a wait once, and its end when the try is over.
class WaitNotice {
public:
    WaitNotice() = default;
    ~WaitNotice()
    {
        if (m_observer)
            m_observer->waitEnded();
    }
    WaitNotice(const WaitNotice &) = delete;
    WaitNotice &operator=(const WaitNotice &) = delete;
    void started()
    {
        if (m_told)
            return;
        m_told = true;
        m_observer = g_observer.load(std::memory_order_acquire);
        if (m_observer)
            m_observer->waitStarted();
    }

private:
    bool m_told = false;
    WaitObserver *m_observer = nullptr;
};

enum class Try { Got, Held, NoLocks, Error };

#if !defined(Q_OS_WIN)

Try tryLock(int fd, Mode mode)
{
    struct flock fl = {};
    fl.l_type = mode == Mode::Exclusive ? F_WRLCK : F_RDLCK;
    fl.l_whence = SEEK_SET;
    fl.l_start = 0;
    fl.l_len = 0; // to the end of the file, however far it grows
    for (;;) {
#if defined(F_OFD_SETLK)
        int r = ::fcntl(fd, F_OFD_SETLK, &fl);
        if (r != 0 && errno == EINVAL) // a kernel older than open-file-description locks
            r = ::fcntl(fd, F_SETLK, &fl);
#else
        const int r = ::fcntl(fd, F_SETLK, &fl);
#endif
        if (r == 0)
            return Try::Got;
        switch (errno) {
        case EINTR: continue;
        case EAGAIN:
        case EACCES: return Try::Held;
        case ENOLCK:
        case EOPNOTSUPP:
#if defined(ENOTSUP) && ENOTSUP != EOPNOTSUPP
        case ENOTSUP:
#endif
            return Try::NoLocks;
        default: return Try::Error;
        }
    }
}

// Whether `path` still names the file open at `fd` (a file replaced by a
// rename is another file under the same name).
bool stillNamed(int fd, const QString &path)
{
    struct stat held = {};
    struct stat named = {};
    if (::fstat(fd, &held) != 0 || ::stat(QFile::encodeName(path).constData(), &named) != 0)
        return false;
    return held.st_dev == named.st_dev && held.st_ino == named.st_ino;
}

// Only a regular file is held (a FIFO would wait for a writer for ever); a
// missing one is made with the data folder's permissions, never through a link.
int openFor(const QString &path, Mode mode, Missing missing)
{
    return io::openRegularHandle(path, mode == Mode::Exclusive, missing == Missing::Create);
}

#else

// The lock is one byte far beyond the end of any data file, not the data
// themselves: Windows' byte-range locks are mandatory, and a lock on the
// data would stop this very process writing them through its own file
// (QFile, QSaveFile) while the guard holds them. Every copy of the program
// locks the same byte, so they exclude each other just the same, and a
// server forwards the lock to the other computers as any other.
constexpr quint64 kLockOffset = quint64(1) << 62;

HANDLE handleOf(qintptr fd) { return reinterpret_cast<HANDLE>(fd); }

Try tryLock(HANDLE h, Mode mode)
{
    OVERLAPPED at = {};
    at.Offset = DWORD(kLockOffset & 0xFFFFFFFFu);
    at.OffsetHigh = DWORD(kLockOffset >> 32);
    const DWORD flags = LOCKFILE_FAIL_IMMEDIATELY | (mode == Mode::Exclusive ? LOCKFILE_EXCLUSIVE_LOCK : 0);
    if (LockFileEx(h, flags, 0, 1, 0, &at))
        return Try::Got;
    switch (GetLastError()) {
    case ERROR_LOCK_VIOLATION:
    case ERROR_SHARING_VIOLATION:
    case ERROR_IO_PENDING: return Try::Held;
    case ERROR_NOT_SUPPORTED:
    case ERROR_INVALID_FUNCTION: return Try::NoLocks;
    default: return Try::Error;
    }
}

void unlock(HANDLE h)
{
    OVERLAPPED at = {};
    at.Offset = DWORD(kLockOffset & 0xFFFFFFFFu);
    at.OffsetHigh = DWORD(kLockOffset >> 32);
    (void)UnlockFileEx(h, 0, 1, 0, &at);
}

bool sameFile(HANDLE a, HANDLE b)
{
    BY_HANDLE_FILE_INFORMATION ia = {};
    BY_HANDLE_FILE_INFORMATION ib = {};
    return GetFileInformationByHandle(a, &ia) && GetFileInformationByHandle(b, &ib)
           && ia.dwVolumeSerialNumber == ib.dwVolumeSerialNumber && ia.nFileIndexHigh == ib.nFileIndexHigh
           && ia.nFileIndexLow == ib.nFileIndexLow;
}

HANDLE openPath(const QString &path, DWORD access, DWORD disposition)
{
    // Others may read, write, rename over and remove the file while it is
    // held, as on POSIX: a save replaces a whole file by renaming over it.
    const QString native = QDir::toNativeSeparators(path);
    return CreateFileW(reinterpret_cast<const wchar_t *>(native.utf16()), access,
                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, disposition,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

// Whether `path` still names the file open at `h` (a file replaced by a
// rename is another file under the same name).
bool stillNamed(HANDLE h, const QString &path)
{
    const HANDLE named = openPath(path, 0, OPEN_EXISTING);
    if (named == INVALID_HANDLE_VALUE)
        return false;
    const bool same = sameFile(h, named);
    CloseHandle(named);
    return same;
}

HANDLE openFor(const QString &path, Mode mode, Missing missing)
{
    // An exclusive lock is for writing: like POSIX, it needs a file that may be written.
    const DWORD access = mode == Mode::Exclusive ? GENERIC_READ | GENERIC_WRITE : GENERIC_READ;
    return openPath(path, access, missing == Missing::Create ? OPEN_ALWAYS : OPEN_EXISTING);
}

#endif

} // namespace

std::chrono::milliseconds waitLimit() { return std::chrono::milliseconds(g_waitMs.load()); }

void setWaitLimit(std::chrono::milliseconds limit) { g_waitMs.store(limit.count()); }

void setWaitObserver(WaitObserver *observer) { g_observer.store(observer, std::memory_order_release); }

WaitObserver *waitObserver() { return g_observer.load(std::memory_order_acquire); }

void reserveHandles(qsizetype count)
{
#if !defined(Q_OS_WIN)
    // Beside the locks, the handles the program keeps open anyway.
    constexpr rlim_t kOthers = 256;
    struct rlimit limits = {};
    if (count <= 0 || ::getrlimit(RLIMIT_NOFILE, &limits) != 0 || limits.rlim_cur == RLIM_INFINITY)
        return;
    const rlim_t wanted = rlim_t(count) + kOthers;
    if (limits.rlim_cur >= wanted)
        return;
    limits.rlim_cur = limits.rlim_max == RLIM_INFINITY ? wanted : std::min(wanted, limits.rlim_max);
    (void)::setrlimit(RLIMIT_NOFILE, &limits);
#else
    Q_UNUSED(count);
#endif
}

FileLock::~FileLock() { release(); }

FileLock::FileLock(FileLock &&other) noexcept
    : m_path(std::move(other.m_path)), m_fd(other.m_fd), m_mode(other.m_mode), m_available(other.m_available)
{
    other.m_fd = -1;
}

FileLock &FileLock::operator=(FileLock &&other) noexcept
{
    if (this != &other) {
        release();
        m_path = std::move(other.m_path);
        m_fd = other.m_fd;
        m_mode = other.m_mode;
        m_available = other.m_available;
        other.m_fd = -1;
    }
    return *this;
}

void FileLock::release()
{
#if !defined(Q_OS_WIN)
    if (m_fd >= 0)
        ::close(int(m_fd)); // lets the lock go with the handle
#else
    if (m_fd >= 0) {
        // Let go at once: a closed handle's locks go only when the system gets round to it.
        if (m_available)
            unlock(handleOf(m_fd));
        CloseHandle(handleOf(m_fd));
    }
#endif
    m_fd = -1;
}

void FileLock::releaseForRename()
{
#if defined(Q_OS_WIN)
    release();
#endif
}

#if !defined(Q_OS_WIN)

Outcome FileLock::acquire(const QString &path, Mode mode, Missing missing)
{
    release();
    m_path = path;
    m_mode = mode;
    m_available = true;
    const auto deadline = std::chrono::steady_clock::now() + waitLimit();
    WaitNotice notice;
    auto retry = kFirstRetry;
    int fd = -1;
    for (;;) {
        if (fd < 0) {
            fd = openFor(path, mode, missing);
            if (fd < 0)
                return missing == Missing::Skip && errno == ENOENT ? Outcome::Locked : Outcome::Failed;
        }
        switch (tryLock(fd, mode)) {
        case Try::Got:
            if (stillNamed(fd, path)) {
                m_fd = fd;
                return Outcome::Locked;
            }
            // Replaced while we waited: the lock is on a file nobody reads any more.
            ::close(fd);
            fd = -1;
            continue;
        case Try::NoLocks:
            m_fd = fd;
            m_available = false;
            return Outcome::Locked;
        case Try::Error: ::close(fd); return Outcome::Failed;
        case Try::Held: break;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            ::close(fd);
            return Outcome::Busy;
        }
        notice.started();
        std::this_thread::sleep_for(retry);
        retry = std::min(retry * 2, kLongestRetry);
    }
}

Outcome FileLock::change(Mode mode)
{
    if (m_fd < 0 || mode == m_mode)
        return Outcome::Locked;
    if (mode == Mode::Shared) {
        // A lock turns into a weaker one in place, with no gap.
        if (m_available && tryLock(int(m_fd), Mode::Shared) != Try::Got)
            return Outcome::Failed;
        m_mode = mode;
        return Outcome::Locked;
    }
    // A shared lock is held through a handle that may only read: let it go
    // and take the file again for writing (another writer may come first).
    const QString path = m_path;
    release();
    return acquire(path, Mode::Exclusive, Missing::Skip);
}

#else

Outcome FileLock::acquire(const QString &path, Mode mode, Missing missing)
{
    release();
    m_path = path;
    m_mode = mode;
    m_available = true;
    const auto deadline = std::chrono::steady_clock::now() + waitLimit();
    WaitNotice notice;
    auto retry = kFirstRetry;
    HANDLE h = INVALID_HANDLE_VALUE;
    for (;;) {
        if (h == INVALID_HANDLE_VALUE) {
            h = openFor(path, mode, missing);
            if (h == INVALID_HANDLE_VALUE) {
                const DWORD error = GetLastError();
                const bool absent = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
                // Another program holding the file open without sharing it
                // (a backup or virus scanner, a copy in progress) keeps it
                // for a moment, as a lock does: wait for it the same way.
                if (error != ERROR_SHARING_VIOLATION)
                    return missing == Missing::Skip && absent ? Outcome::Locked : Outcome::Failed;
            }
        }
        const Try got = h == INVALID_HANDLE_VALUE ? Try::Held : tryLock(h, mode);
        switch (got) {
        case Try::Got:
            if (stillNamed(h, path)) {
                m_fd = reinterpret_cast<qintptr>(h);
                return Outcome::Locked;
            }
            // Replaced while we waited: the lock is on a file nobody reads any more.
            unlock(h);
            CloseHandle(h);
            h = INVALID_HANDLE_VALUE;
            continue;
        case Try::NoLocks:
            m_fd = reinterpret_cast<qintptr>(h);
            m_available = false;
            return Outcome::Locked;
        case Try::Error: CloseHandle(h); return Outcome::Failed;
        case Try::Held: break;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            if (h != INVALID_HANDLE_VALUE)
                CloseHandle(h);
            return Outcome::Busy;
        }
        notice.started();
        std::this_thread::sleep_for(retry);
        retry = std::min(retry * 2, kLongestRetry);
    }
}

Outcome FileLock::change(Mode mode)
{
    if (m_fd < 0 || mode == m_mode)
        return Outcome::Locked;
    if (mode == Mode::Shared) {
        // The shared lock is taken over the exclusive one this handle holds,
        // then the exclusive one let go: no gap in which another writer
        // could come in.
        if (m_available) {
            if (tryLock(handleOf(m_fd), Mode::Shared) != Try::Got)
                return Outcome::Failed;
            unlock(handleOf(m_fd));
        }
        m_mode = mode;
        return Outcome::Locked;
    }
    // Another reader may hold the file too: let it go and take it again for
    // writing (another writer may come first), as on POSIX.
    const QString path = m_path;
    release();
    return acquire(path, Mode::Exclusive, Missing::Skip);
}

#endif

} // namespace clinora::lock
