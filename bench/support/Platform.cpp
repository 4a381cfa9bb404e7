#include "support/Platform.h"

#include <QFile>
#include <QSysInfo>

#if defined(Q_OS_WIN)
#include <windows.h>
#include <psapi.h>
#else
#include <unistd.h>
#endif

namespace clinora::bench {

#if defined(Q_OS_LINUX)

namespace {

// A "Name:   1234 kB" line of /proc/self/status.
qint64 statusBytes(const char *name)
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray key = QByteArray(name) + ':';
    for (const QByteArray &line : f.readAll().split('\n')) {
        if (!line.startsWith(key))
            continue;
        const QByteArray value = line.mid(key.size()).trimmed();
        const qsizetype blank = value.indexOf(' ');
        bool ok = false;
        const qint64 kb = value.left(blank < 0 ? value.size() : blank).toLongLong(&ok);
        return ok ? kb * 1024 : -1;
    }
    return -1;
}

} // namespace

QString cpuName()
{
    QFile f(QStringLiteral("/proc/cpuinfo"));
    if (f.open(QIODevice::ReadOnly))
        for (const QByteArray &line : f.readAll().split('\n'))
            if (line.startsWith("model name"))
                return QString::fromUtf8(line.mid(line.indexOf(':') + 1).trimmed());
    return QSysInfo::currentCpuArchitecture();
}

qint64 residentBytes() { return statusBytes("VmRSS"); }
qint64 peakResidentBytes() { return statusBytes("VmHWM"); }

bool resetPeak()
{
    // "5" resets the peak resident size to the present one.
    QFile f(QStringLiteral("/proc/self/clear_refs"));
    return f.open(QIODevice::WriteOnly) && f.write("5") == 1;
}

#elif defined(Q_OS_WIN)

namespace {
bool counters(PROCESS_MEMORY_COUNTERS &c)
{
    return GetProcessMemoryInfo(GetCurrentProcess(), &c, sizeof c);
}
} // namespace

QString cpuName() { return QSysInfo::currentCpuArchitecture(); }

qint64 residentBytes()
{
    PROCESS_MEMORY_COUNTERS c;
    return counters(c) ? qint64(c.WorkingSetSize) : -1;
}

qint64 peakResidentBytes()
{
    PROCESS_MEMORY_COUNTERS c;
    return counters(c) ? qint64(c.PeakWorkingSetSize) : -1;
}

bool resetPeak() { return false; }

#else

QString cpuName() { return QSysInfo::currentCpuArchitecture(); }
qint64 residentBytes() { return -1; }
qint64 peakResidentBytes() { return -1; }
bool resetPeak() { return false; }

#endif

void settleDisk()
{
#if !defined(Q_OS_WIN)
    ::sync();
#endif
}

} // namespace clinora::bench
