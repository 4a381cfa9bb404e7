#include "common/FileIo.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutex>

#include <atomic>

#if defined(Q_OS_WIN)
#include <io.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace clinora::io {

namespace {

std::atomic<FaultHook *> g_hook{nullptr};
// A large archive is read by two readers at once: the hook hears one at a time.
QMutex g_hookLock;

// Makes a rename in `folder` reach the disk too, where the system asks for
// it (POSIX); Windows keeps the directory entry with the file.
void syncFolder(const QString &folder)
{
#if !defined(Q_OS_WIN)
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    (void)::fsync(fd);
    ::close(fd);
#else
    Q_UNUSED(folder);
#endif
}

} // namespace

void setFaultHook(FaultHook *hook) { g_hook = hook; }

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
    return ::fsync(fd) == 0;
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

ReplacedFile::ReplacedFile(const QString &path) : m_file(path) {}

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
    if (!m_file.commit()) {
        m_failed = true;
        return false;
    }
    syncFolder(QFileInfo(path).absolutePath());
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
