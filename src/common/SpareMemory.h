#pragma once

#include <QByteArray>

// The big buffers a command fills and drops again (the lines of a list, the
// read-ahead of an archive) keep their memory for the next command. Memory
// handed back to the system and asked for again is paid for with a page
// fault for every few kilobytes first touched, which on a virtual machine
// costs more than filling them.
namespace clinora::spare {

// A block of at least `size` bytes, its contents left as they were: the
// smallest kept block that is big enough, or a new one.
QByteArray takeBytes(qsizetype size);
// Keeps `block` for a later takeBytes, in place of a smaller one when as
// many are kept as allowed. A block shared with another holder is not kept.
void keepBytes(QByteArray &&block);

} // namespace clinora::spare
