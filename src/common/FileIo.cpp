#include "common/FileIo.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QTemporaryFile>
#include <QThreadPool>

#include <atomic>

#if defined(Q_OS_WIN)
#include <io.h>
#include <windows.h>
#else
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>
#endif

namespace clinora::io {

namespace {

std::atomic<FaultHook *> g_hook{nullptr};
// A large archive is read by two readers at once: the hook hears one at a time.
QMutex g_hookLock;

#if !defined(Q_OS_WIN)
int systemSync(int fd) { return ::fsync(fd); }
std::atomic<SyncCall> g_sync{&systemSync};
#endif

// A replaced file of this size or more is let go on a helper thread.
constexpr qint64 kReleaseAside = 1 << 20;
// Written data is sent on to the disk every this many bytes.
constexpr qint64 kToDiskStep = 2 << 20;

QThreadPool &releasers()
{
    static QThreadPool pool; // waits for its work when the program ends
    static const bool oneAtATime = (pool.setMaxThreadCount(1), true);
    Q_UNUSED(oneAtATime);
    return pool;
}

// Freeing a large file's space takes a while (about 0.4 ms a megabyte here):
// the last handle to a replaced file is closed on a helper thread, so that
// the user does not wait for it.
int holdOld(const QString &path)
{
#if !defined(Q_OS_WIN)
    if (QFileInfo(path).size() < kReleaseAside)
        return -1;
    // Never waits: only a regular file is that large, but the name is the user's.
    return ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
#else
    // Windows cannot rename over a file someone holds open.
    Q_UNUSED(path);
    return -1;
#endif
}

void closeOld(int fd)
{
#if !defined(Q_OS_WIN)
    (void)::close(fd);
#else
    Q_UNUSED(fd);
#endif
}

void releaseOld(int fd)
{
    if (fd < 0)
        return;
    if (!releasers().tryStart([fd] { closeOld(fd); }))
        closeOld(fd);
}

} // namespace

void startToDisk(QFileDevice &file, qint64 offset, qint64 length)
{
#if defined(Q_OS_LINUX)
    if (file.handle() >= 0)
        (void)::sync_file_range(file.handle(), offset, length, SYNC_FILE_RANGE_WRITE);
#else
    Q_UNUSED(file);
    Q_UNUSED(offset);
    Q_UNUSED(length);
#endif
}

void finishReleases() { releasers().waitForDone(); }

void setSyncCall(SyncCall call)
{
#if !defined(Q_OS_WIN)
    g_sync.store(call ? call : &systemSync);
#else
    Q_UNUSED(call);
#endif
}

namespace {

bool syncFolder(const QString &folder)
{
#if !defined(Q_OS_WIN)
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    // Some file systems cannot sync a folder (EINVAL): their names are kept otherwise.
    const bool synced = g_sync.load()(fd) == 0 || errno == EINVAL;
    ::close(fd);
    return synced;
#else
    Q_UNUSED(folder);
    return true;
#endif
}

} // namespace

bool syncFolderOf(const QString &path)
{
    const QString folder = QFileInfo(path).absolutePath();
    return !injectFault(Op::Sync, folder) && syncFolder(folder);
}

void setFaultHook(FaultHook *hook) { g_hook = hook; }

bool faultHookInstalled() { return g_hook.load(std::memory_order_acquire) != nullptr; }

bool injectFault(Op op, const QString &path)
{
    FaultHook *hook = g_hook.load(std::memory_order_acquire);
    if (!hook)
        return false;
    const QMutexLocker locker(&g_hookLock);
    return hook->shouldFail(op, path);
}

bool writeAll(QFile &file, QByteArrayView bytes) { return writeAll(static_cast<QFileDevice &>(file), bytes); }

bool writeAll(QFileDevice &file, QByteArrayView bytes)
{
    if (injectFault(Op::Write, file.fileName()))
        return false;
    FaultHook *hook = g_hook.load(std::memory_order_acquire);
    const qint64 allowed = hook ? hook->bytesBeforeCut(file.fileName(), bytes.size()) : bytes.size();
    if (allowed < bytes.size()) {
        if (allowed > 0)
            file.write(bytes.data(), allowed);
        file.flush();
        return false;
    }
    return file.write(bytes.data(), bytes.size()) == bytes.size();
}

bool syncToDisk(QFileDevice &file)
{
    if (injectFault(Op::Sync, file.fileName()))
        return false;
    const int fd = file.handle();
    if (fd < 0)
        return false;
#if defined(Q_OS_WIN)
    return FlushFileBuffers(reinterpret_cast<HANDLE>(_get_osfhandle(fd))) != 0;
#else
    return g_sync.load()(fd) == 0;
#endif
}

bool syncFolderToDisk(const QString &folder)
{
    if (injectFault(Op::Sync, folder))
        return false;
#if !defined(Q_OS_WIN)
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool synced = ::fsync(fd) == 0;
    ::close(fd);
    return synced;
#else
    return QFileInfo(folder).isDir();
#endif
}

void dropCached(QFileDevice &file)
{
#if defined(Q_OS_LINUX)
    if (file.handle() >= 0)
        (void)::posix_fadvise(file.handle(), 0, 0, POSIX_FADV_DONTNEED);
#else
    Q_UNUSED(file);
#endif
}

bool makeFolder(const QString &folder)
{
    if (injectFault(Op::Mkdir, folder))
        return false;
    // mkpath succeeds for a folder that is already there.
    return QDir().mkpath(folder) && QFileInfo(folder).isDir();
}

bool removeFile(const QString &path)
{
    if (injectFault(Op::Remove, path))
        return false;
    return QFile::remove(path) || !QFileInfo::exists(path);
}

bool canCreateFilesIn(const QString &folder)
{
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral(".clinora-XXXXXX")));
    if (injectFault(Op::Open, probe.fileTemplate()))
        return false;
    return probe.open(); // and gone again when the probe is
}

ReplacedFile::ReplacedFile(const QString &path) : m_file(path) {}

ReplacedFile::~ReplacedFile() { releaseOld(m_old); }

bool ReplacedFile::open()
{
    if (injectFault(Op::Open, m_file.fileName()) || !m_file.open(QIODevice::WriteOnly))
        return cancel();
    return true;
}

bool ReplacedFile::write(QByteArrayView bytes)
{
    if (m_failed || !m_file.isOpen())
        return false;
    if (!writeAll(m_file, bytes))
        return cancel();
    // The sync at the commit then waits for less. Only a hint: the sync
    // still says whether the data reached the disk.
    const qint64 end = m_file.pos();
    if (end - m_toDisk >= kToDiskStep && m_file.flush()) {
        startToDisk(m_file, m_toDisk, end - m_toDisk);
        m_toDisk = end;
    }
    return true;
}

void ReplacedFile::setModificationTime(const QDateTime &time)
{
    // Written out first, so that no later write moves the time again.
    if (!m_failed && m_file.isOpen() && m_file.flush())
        m_file.setFileTime(time, QFileDevice::FileModificationTime);
}

bool ReplacedFile::commit()
{
    const QString path = m_file.fileName();
    if (m_failed || !m_file.isOpen())
        return cancel();
    if (injectFault(Op::Flush, path) || !m_file.flush())
        return cancel();
    // commit() syncs too, but does not say whether that worked.
    if (!syncToDisk(m_file))
        return cancel();
    // The temporary file is closed and renamed over the target by commit().
    if (injectFault(Op::Close, path) || injectFault(Op::Rename, path))
        return cancel();
    m_old = holdOld(path);
    if (!m_file.commit()) {
        m_failed = true;
        return false;
    }
    // The file is in place; a folder that will not sync is not worth
    // failing a save that has happened.
    (void)syncFolder(QFileInfo(path).absolutePath());
    return true;
}

bool ReplacedFile::cancel()
{
    m_failed = true;
    if (m_file.isOpen())
        m_file.cancelWriting(); // the temporary file goes when the QSaveFile does
    return false;
}

bool replaceFile(const QString &path, QByteArrayView bytes)
{
    ReplacedFile file(path);
    return file.open() && file.write(bytes) && file.commit();
}

} // namespace clinora::io
