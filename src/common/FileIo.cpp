#include "common/FileIo.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QRandomGenerator>
#include <QTemporaryFile>
#include <QThreadPool>

#include <atomic>
#include <filesystem>
#include <system_error>

#if defined(Q_OS_WIN)
#include <io.h>
#include <windows.h>
#else
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
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
    const QFileInfo old(path);
    if (old.isSymLink() || old.size() < kReleaseAside)
        return -1;
    // Never waits: only a regular file is that large, but the name is the user's.
    return ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOFOLLOW);
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

bool writeAll(QFileDevice &file, QByteArrayView bytes) { return writeAllAs(file, file.fileName(), bytes); }

bool writeAllAs(QFileDevice &file, const QString &path, QByteArrayView bytes)
{
    if (injectFault(Op::Write, path))
        return false;
    FaultHook *hook = g_hook.load(std::memory_order_acquire);
    const qint64 allowed = hook ? hook->bytesBeforeCut(path, bytes.size()) : bytes.size();
    if (allowed < bytes.size()) {
        if (allowed > 0)
            file.write(bytes.data(), allowed);
        file.flush();
        return false;
    }
    return file.write(bytes.data(), bytes.size()) == bytes.size();
}

bool syncToDisk(QFileDevice &file) { return !injectFault(Op::Sync, file.fileName()) && syncHandle(file); }

bool syncHandle(QFileDevice &file)
{
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

#if !defined(Q_OS_WIN)
namespace {

mode_t toMode(QFileDevice::Permissions p)
{
    mode_t m = 0;
    const std::pair<QFileDevice::Permission, mode_t> bits[] = {
        {QFileDevice::ReadOwner, S_IRUSR}, {QFileDevice::WriteOwner, S_IWUSR}, {QFileDevice::ExeOwner, S_IXUSR},
        {QFileDevice::ReadGroup, S_IRGRP}, {QFileDevice::WriteGroup, S_IWGRP}, {QFileDevice::ExeGroup, S_IXGRP},
        {QFileDevice::ReadOther, S_IROTH}, {QFileDevice::WriteOther, S_IWOTH}, {QFileDevice::ExeOther, S_IXOTH}};
    for (const auto &[perm, bit] : bits)
        if (p & perm)
            m |= bit;
    return m;
}

int openRetrying(const QByteArray &name, int flags, mode_t mode = 0)
{
    for (;;) {
        const int fd = ::open(name.constData(), flags, mode);
        if (fd >= 0 || errno != EINTR)
            return fd;
    }
}

// A handle that is a regular file, set back to waiting reads; anything else
// is closed and reported as a name that cannot be accessed.
int keepIfRegular(int fd)
{
    struct stat st = {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        errno = EACCES;
        return -1;
    }
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0)
        (void)::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    return fd;
}

// Makes a new file at `name`, never through a link; -1 with EEXIST when
// something is already there.
int createNew(const QString &path, int access)
{
    const mode_t mode = toMode(newFilePermissions(QFileInfo(path).absolutePath()));
    const int fd = openRetrying(QFile::encodeName(path), access | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
    // The mode given to open() is narrowed by the umask: set it as meant.
    if (fd >= 0)
        (void)::fchmod(fd, mode);
    return fd;
}

// Whether the handle and the name are the same file.
bool sameFile(int fd, const QString &path)
{
    struct stat held = {};
    struct stat named = {};
    return ::fstat(fd, &held) == 0 && ::stat(QFile::encodeName(path).constData(), &named) == 0
           && held.st_dev == named.st_dev && held.st_ino == named.st_ino && S_ISREG(held.st_mode);
}

} // namespace
#endif

QFileDevice::Permissions newFilePermissions(const QString &folder)
{
    const QFileDevice::Permissions of = QFileInfo(folder).permissions();
    QFileDevice::Permissions p = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
    for (const QFileDevice::Permission bit :
         {QFileDevice::ReadGroup, QFileDevice::WriteGroup, QFileDevice::ReadOther, QFileDevice::WriteOther})
        if (of & bit)
            p |= bit;
    return p;
}

int openRegularHandle(const QString &path, bool write, bool create)
{
#if !defined(Q_OS_WIN)
    const int access = (write ? O_RDWR : O_RDONLY) | O_CLOEXEC | O_NONBLOCK;
    if (create) {
        const int fd = createNew(path, access);
        if (fd >= 0)
            return keepIfRegular(fd);
        if (errno != EEXIST)
            return -1;
    }
    // Looked at before opening, so that not even a device is opened; the
    // handle is looked at again, in case the name changed in between.
    struct stat st = {};
    const QByteArray name = QFile::encodeName(path);
    if (::stat(name.constData(), &st) != 0)
        return -1;
    if (!S_ISREG(st.st_mode)) {
        errno = EACCES;
        return -1;
    }
    const int fd = openRetrying(name, access);
    return fd < 0 ? -1 : keepIfRegular(fd);
#else
    Q_UNUSED(path);
    Q_UNUSED(write);
    Q_UNUSED(create);
    return -1; // the Windows file locks hold the file through Qt
#endif
}

bool openRegular(QFile &file, QIODevice::OpenMode mode, bool create)
{
    const QString path = file.fileName();
#if !defined(Q_OS_WIN)
    // The check needs a handle of its own: QFile opened on a handle forgets
    // its name, which the rest of the program (and the fault hook) goes by.
    const int fd = openRegularHandle(path, mode & QIODevice::WriteOnly, create);
    if (fd < 0)
        return false;
    const bool opened = file.open(mode) && sameFile(file.handle(), path) && sameFile(fd, path);
    ::close(fd);
    if (!opened && file.isOpen())
        file.close();
    return opened;
#else
    const QFileInfo info(path);
    if (info.exists() && !info.isFile())
        return false;
    if (!info.exists() && !create)
        return false;
    if (!file.open(mode))
        return false;
    if (!info.exists())
        file.setPermissions(newFilePermissions(info.absolutePath()));
    return true;
#endif
}

bool openFresh(QFile &file)
{
    const QString path = file.fileName();
    // A link or anything else at the name goes, never what it points to.
    if (QFileInfo(path).isSymLink() || QFileInfo::exists(path))
        (void)QFile::remove(path);
#if !defined(Q_OS_WIN)
    const int fd = createNew(path, O_WRONLY);
    if (fd < 0)
        return false;
    const bool opened = file.open(QIODevice::WriteOnly) && sameFile(file.handle(), path) && sameFile(fd, path);
    ::close(fd);
    if (!opened && file.isOpen())
        file.close();
    return opened;
#else
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return false;
    file.setPermissions(newFilePermissions(QFileInfo(path).absolutePath()));
    return true;
#endif
}

int permissionBits(const QString &path)
{
#if !defined(Q_OS_WIN)
    struct stat st = {};
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0)
        return -1;
    return int(st.st_mode & 07777);
#else
    Q_UNUSED(path);
    return -1;
#endif
}

bool copyPermissions(const QString &model, const QString &path)
{
#if !defined(Q_OS_WIN)
    struct stat from = {};
    struct stat to = {};
    const QByteArray name = QFile::encodeName(path);
    if (::stat(QFile::encodeName(model).constData(), &from) != 0 || ::lstat(name.constData(), &to) != 0
        || S_ISLNK(to.st_mode))
        return false;
    mode_t mode = from.st_mode & 07777;
    if (!S_ISDIR(to.st_mode))
        mode &= ~mode_t(S_IXUSR | S_IXGRP | S_IXOTH | S_ISUID | S_ISGID);
    return ::chmod(name.constData(), mode) == 0;
#else
    Q_UNUSED(model);
    Q_UNUSED(path);
    return true; // a restored file takes the access list of its folder
#endif
}

bool makeFolder(const QString &folder)
{
    if (injectFault(Op::Mkdir, folder))
        return false;
    const QString target = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
    if (QFileInfo(target).isDir())
        return true;
    // The missing folders, outermost first, each made with the permissions of
    // the folder that holds it.
    QStringList missing;
    QString at = target;
    while (!QFileInfo::exists(at) && !QFileInfo(at).isSymLink()) {
        missing.prepend(at);
        const QString up = QFileInfo(at).absolutePath();
        if (up == at)
            break;
        at = up;
    }
    for (const QString &dir : std::as_const(missing)) {
#if !defined(Q_OS_WIN)
        struct stat parent = {};
        const QByteArray name = QFile::encodeName(dir);
        if (::stat(QFile::encodeName(QFileInfo(dir).absolutePath()).constData(), &parent) != 0)
            return false;
        // The set-group bit of a folder shared with a group passes on too.
        const mode_t mode = (parent.st_mode & (07777 & ~S_ISUID & ~S_ISVTX)) | S_IRWXU;
        if (::mkdir(name.constData(), mode) != 0 && errno != EEXIST)
            return false;
        const int fd = openRetrying(name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (fd < 0)
            return false;
        (void)::fchmod(fd, mode);
        ::close(fd);
#else
        if (!QDir().mkdir(dir) && !QFileInfo(dir).isDir())
            return false;
#endif
    }
    return QFileInfo(target).isDir();
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

ReplacedFile::ReplacedFile(const QString &path) : m_path(path) {}

ReplacedFile::~ReplacedFile()
{
    if (!m_temp.isEmpty()) {
        m_file.close();
        (void)QFile::remove(m_temp);
    }
    releaseOld(m_old);
}

namespace {

// The name of a new temporary file beside `path`.
QString temporaryBeside(const QString &path)
{
    static constexpr char16_t kLetters[] = u"abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    QString name = path + u'.';
    for (int i = 0; i < 6; ++i)
        name += QChar(kLetters[QRandomGenerator::global()->bounded(int(std::size(kLetters)) - 1)]);
    return name;
}

} // namespace

bool ReplacedFile::open()
{
    if (injectFault(Op::Open, m_path))
        return cancel();
    const QFileInfo old(m_path);
    const QString folder = old.absolutePath();
    QFileDevice::Permissions permissions = newFilePermissions(folder);
    // A regular file replaced keeps stricter permissions an administrator gave it.
    if (!old.isSymLink() && old.isFile())
        permissions &= old.permissions() | QFileDevice::ReadOwner | QFileDevice::WriteOwner;
    for (int attempt = 0; attempt < 100 && m_temp.isEmpty(); ++attempt) {
        const QString candidate = temporaryBeside(m_path);
#if !defined(Q_OS_WIN)
        const mode_t mode = toMode(permissions);
        const int fd = openRetrying(QFile::encodeName(candidate), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                                    mode);
        if (fd < 0) {
            if (errno == EEXIST)
                continue;
            return cancel();
        }
        // The mode given to open() is narrowed by the umask: set it as meant.
        if (::fchmod(fd, mode) != 0 || !m_file.open(fd, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle)) {
            ::close(fd);
            (void)QFile::remove(candidate);
            return cancel();
        }
#else
        m_file.setFileName(candidate);
        if (!m_file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
            if (QFileInfo::exists(candidate))
                continue;
            return cancel();
        }
        m_file.setPermissions(permissions);
#endif
        m_temp = candidate;
    }
    return m_temp.isEmpty() ? cancel() : true;
}

bool ReplacedFile::write(QByteArrayView bytes)
{
    if (m_failed || !m_file.isOpen())
        return false;
    if (!writeAllAs(m_file, m_path, bytes))
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
    const QString &path = m_path;
    if (m_failed || !m_file.isOpen())
        return cancel();
    if (injectFault(Op::Flush, path) || !m_file.flush())
        return cancel();
    if (injectFault(Op::Sync, path) || !syncHandle(m_file))
        return cancel();
    if (injectFault(Op::Close, path))
        return cancel();
    m_file.close();
    if (m_file.error() != QFileDevice::NoError || injectFault(Op::Rename, path))
        return cancel();
    m_old = holdOld(path);
    // A rename replaces whatever has the name, a link itself rather than
    // what it points to.
#if !defined(Q_OS_WIN)
    if (::rename(QFile::encodeName(m_temp).constData(), QFile::encodeName(path).constData()) != 0)
        return cancel();
#else
    std::error_code error;
    std::filesystem::rename(std::filesystem::path(m_temp.toStdWString()), std::filesystem::path(path.toStdWString()),
                            error);
    if (error)
        return cancel();
#endif
    m_temp.clear();
    // The file is in place; a folder that will not sync is not worth
    // failing a save that has happened.
    (void)syncFolder(QFileInfo(path).absolutePath());
    return true;
}

bool ReplacedFile::cancel()
{
    m_failed = true;
    if (m_file.isOpen())
        m_file.close();
    if (!m_temp.isEmpty()) {
        (void)QFile::remove(m_temp);
        m_temp.clear();
    }
    return false;
}

bool replaceFile(const QString &path, QByteArrayView bytes)
{
    ReplacedFile file(path);
    return file.open() && file.write(bytes) && file.commit();
}

} // namespace clinora::io
