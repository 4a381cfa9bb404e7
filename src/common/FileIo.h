#pragma once

#include <QByteArrayView>
#include <QString>

class QFile;
class QFileDevice;

// The program's few file primitives that Qt does not offer portably, and the
// one place where every file operation can be made to fail on purpose, so
// that tests can show what each command does when a disk fails.
namespace clinora::io {

enum class Op { Open, Read, Write, Flush, Sync, Rename, Close, Mkdir, Copy };

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

// Writes every byte, or fails: a hook can fail the write, or cut it short
// after some bytes as a power loss would.
bool writeAll(QFile &file, QByteArrayView bytes);
// The same for any file device (a QSaveFile, which replaces its target only
// once every byte is written).
bool writeAll(QFileDevice &file, QByteArrayView bytes);

// Pushes the file's written data to the disk (fsync / FlushFileBuffers).
bool syncToDisk(QFile &file);

// Makes sure `folder` exists as a folder, creating any missing parent too;
// false when it cannot be made (or a file stands in its place).
bool makeFolder(const QString &folder);

} // namespace clinora::io
