#include "common/SpareMemory.h"

#include <QMutex>

#include <algorithm>
#include <array>

namespace clinora::spare {

namespace {

// Enough for the few buffers one command holds at once; none larger than a
// list of a very large practice, so that an odd huge one is not held.
constexpr size_t kKept = 4;
constexpr qsizetype kLargest = qsizetype(64) << 20;
// Smaller blocks come and go cheaply through the heap.
constexpr qsizetype kSmallest = qsizetype(64) << 10;

struct Kept {
    QMutex lock;
    std::array<QByteArray, kKept> blocks;
};

Kept &kept()
{
    static Kept k;
    return k;
}

} // namespace

QByteArray takeBytes(qsizetype size)
{
    if (size >= kSmallest) {
        Kept &k = kept();
        const QMutexLocker locker(&k.lock);
        QByteArray *best = nullptr;
        for (QByteArray &b : k.blocks)
            if (b.size() >= size && (!best || b.size() < best->size()))
                best = &b;
        if (best)
            return std::exchange(*best, QByteArray());
    }
    return QByteArray(size, Qt::Uninitialized);
}

void keepBytes(QByteArray &&block)
{
    const qsizetype size = block.size();
    if (size < kSmallest || size > kLargest || !block.isDetached())
        return;
    Kept &k = kept();
    const QMutexLocker locker(&k.lock);
    QByteArray &smallest = *std::min_element(k.blocks.begin(), k.blocks.end(), [](const QByteArray &a,
                                                                                   const QByteArray &b) {
        return a.size() < b.size();
    });
    if (smallest.size() < size)
        smallest = std::move(block);
}

} // namespace clinora::spare
