#include "common/FileIo.h"

#include <QFile>

#if defined(Q_OS_WIN)
#include <io.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace clinora::io {

namespace {
FaultHook *g_hook = nullptr;
}

void setFaultHook(FaultHook *hook) { g_hook = hook; }

bool injectFault(Op op, const QString &path) { return g_hook && g_hook->shouldFail(op, path); }

bool writeAll(QFile &file, QByteArrayView bytes) { return writeAll(static_cast<QFileDevice &>(file), bytes); }

bool writeAll(QFileDevice &file, QByteArrayView bytes)
{
    if (injectFault(Op::Write, file.fileName()))
        return false;
    const qint64 allowed = g_hook ? g_hook->bytesBeforeCut(file.fileName(), bytes.size()) : bytes.size();
    if (allowed < bytes.size()) {
        if (allowed > 0)
            file.write(bytes.data(), allowed);
        file.flush();
        return false;
    }
    return file.write(bytes.data(), bytes.size()) == bytes.size();
}

bool syncToDisk(QFile &file)
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

} // namespace clinora::io
