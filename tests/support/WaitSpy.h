#pragma once

#include "common/FileLock.h"

#include <QCursor>
#include <QGuiApplication>

namespace clinora::test {

// Counts the waits for a file held elsewhere, and whether the wait cursor was
// up meanwhile; the program's own observer is still told.
class WaitSpy : public lock::WaitObserver {
public:
    explicit WaitSpy(lock::WaitObserver *program = lock::waitObserver()) : m_program(program)
    {
        lock::setWaitObserver(this);
    }
    ~WaitSpy() override { lock::setWaitObserver(m_program); }
    WaitSpy(const WaitSpy &) = delete;
    WaitSpy &operator=(const WaitSpy &) = delete;

    void waitStarted() override
    {
        if (m_program)
            m_program->waitStarted();
        ++waits;
        const QCursor *c = QGuiApplication::overrideCursor();
        cursorShown = cursorShown || (c && c->shape() == Qt::WaitCursor);
    }
    void waitEnded() override
    {
        if (m_program)
            m_program->waitEnded();
    }
    int waits = 0;
    bool cursorShown = false;

private:
    lock::WaitObserver *m_program;
};

} // namespace clinora::test
