#pragma once

#include "common/FileLock.h"

#include <QCoreApplication>
#include <QProcess>
#include <QString>

namespace clinora::test {

// The helper program beside the test: another copy of the record layer.
inline QString shareHelperPath()
{
#if defined(Q_OS_WIN)
    return QCoreApplication::applicationDirPath() + QStringLiteral("/clinora_share_helper.exe");
#else
    return QCoreApplication::applicationDirPath() + QStringLiteral("/clinora_share_helper");
#endif
}

// Another copy of the program holding a file locked until it is let go.
class LockHolder {
public:
    LockHolder(const QString &path, lock::Mode mode)
    {
        m_process.start(shareHelperPath(),
                        {QStringLiteral("hold"), path,
                         mode == lock::Mode::Exclusive ? QStringLiteral("exclusive") : QStringLiteral("shared")});
        m_locked = m_process.waitForReadyRead(20000) && m_process.readLine().trimmed() == "locked";
    }
    ~LockHolder()
    {
        m_process.closeWriteChannel();
        if (!m_process.waitForFinished(10000))
            m_process.kill();
    }
    bool locked() const { return m_locked; }

private:
    QProcess m_process;
    bool m_locked = false;
};

} // namespace clinora::test
