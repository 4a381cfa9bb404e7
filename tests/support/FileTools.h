#pragma once

// File helpers for the tests: whole-file bytes, and a disk that fails one
// kind of operation while a FailOp lives.

#include "common/FileIo.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

namespace clinora::test {

// The file's bytes; none when it cannot be read.
inline QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Writes the file whole, making its folder when missing.
inline void writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(bytes), bytes.size());
}

// Fails every operation of one kind while it lives.
class FailOp : public io::FaultHook {
public:
    explicit FailOp(io::Op op) : m_op(op) { io::setFaultHook(this); }
    ~FailOp() override { io::setFaultHook(nullptr); }
    bool shouldFail(io::Op op, const QString &) override { return op == m_op; }

private:
    io::Op m_op;
};

} // namespace clinora::test
