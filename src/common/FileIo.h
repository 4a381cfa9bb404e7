#pragma once

#include <QString>

class QFile;

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
};

// Installs a hook for the whole process (nullptr removes it). Tests only.
void setFaultHook(FaultHook *hook);
bool injectFault(Op op, const QString &path);

// Pushes the file's written data to the disk (fsync / FlushFileBuffers).
bool syncToDisk(QFile &file);

} // namespace clinora::io
