#pragma once

#include <QDateTime>
#include <QString>

// Wrong passwords slow the next try: 1, 2, 4, 8... seconds, at most 30. The
// count is kept beside the data in a file of its own, so that closing and
// reopening the program (or trying from the other computer of a shared
// folder) does not start it again; the password file stays as it is.
namespace clinora {

class LoginDelay {
public:
    explicit LoginDelay(QString appFolder);

    // The file that keeps the count.
    QString path() const;

    // Seconds the next try must still wait at `now` (0: it may go ahead).
    int secondsLeft(const QDateTime &now) const;
    // A wrong password was typed at `now`.
    void failed(const QDateTime &now);
    // The right one: the count starts again.
    void succeeded();
    int failures() const;

    // The wait after `failures` wrong passwords in a row.
    static int waitAfter(int failures);

private:
    struct State {
        int failures = 0;
        QDateTime last;
    };
    State load() const;

    QString m_appFolder;
    // What this copy of the program saw, should the file not be writable.
    State m_seen;
};

} // namespace clinora
