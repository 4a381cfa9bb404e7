#pragma once

#include <QObject>
#include <QTimer>

#include <functional>

class QLabel;
class QWidget;

namespace clinora {

class AppContext;

// The line under a password entry that counts down the wait after a wrong
// password (login, change password, lock screen), once a second. The wait
// itself is the program's one LoginDelay, on the program's clock.
class LoginWait : public QObject {
    Q_OBJECT
public:
    // `changed` runs whenever the wait starts or ends, so that the screen can
    // enable its "OK" again.
    LoginWait(AppContext &app, QWidget *parent, const QRect &geometry, std::function<void()> changed);

    QLabel *label() const { return m_label; }
    // Whether a try must still wait now; the line shows it either way.
    bool waiting();
    // A wrong password: the wait starts, and a screen reader hears it.
    void failed();
    void succeeded();
    // Shows the wait as it is now (the timer calls it every second).
    void refresh();

    // The line's text for `seconds` left.
    static QString text(int seconds);

private:
    AppContext &m_app;
    QLabel *m_label;
    QTimer m_tick;
    std::function<void()> m_changed;
    bool m_waiting = false;
};

} // namespace clinora
