#pragma once

// File helpers for the tests: whole-file bytes, and a disk that fails one
// kind of operation while a FailOp lives.

#include "common/FileIo.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

#include <utility>

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

// Fails every operation of one kind while it lives; given a part of a
// file's path, only on the files whose path holds it.
class FailOp : public io::FaultHook {
public:
    explicit FailOp(io::Op op, QString file = QString()) : m_op(op), m_file(std::move(file))
    {
        io::setFaultHook(this);
    }
    ~FailOp() override { io::setFaultHook(nullptr); }
    bool shouldFail(io::Op op, const QString &path) override
    {
        return op == m_op && (m_file.isEmpty() || path.contains(m_file));
    }

private:
    io::Op m_op;
    QString m_file;
};

} // namespace clinora::test
