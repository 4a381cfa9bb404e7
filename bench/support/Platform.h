#pragma once

#include <QString>
#include <QtGlobal>

// What the benchmarks ask of the system: the process's resident memory, to
// tell what a command adds at its peak, and the processor's name for the
// record. Each system says it its own way: this is the one place that knows.
namespace clinora::bench {

// The processor's model name, or what Qt knows of it.
QString cpuName();

// Bytes resident now; -1 where the system does not say.
qint64 residentBytes();
// Bytes resident at the peak since the last resetPeak() (or since the
// process began); -1 where the system does not say.
qint64 peakResidentBytes();
// Starts a new peak from what is resident now; false where the system
// cannot, and the peak then counts from the process's start.
bool resetPeak();

// Writes out whatever the file system still holds for the disk, so that a
// measurement that writes starts with no earlier writing pending.
void settleDisk();

} // namespace clinora::bench
