#include "app/LoginDelay.h"

#include "app/PasswordStore.h"
#include "common/FileIo.h"

#include <QDir>
#include <QFile>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace clinora {

namespace {

constexpr int kLongestWait = 30;

} // namespace

LoginDelay::LoginDelay(QString appFolder) : m_appFolder(std::move(appFolder)) {}

QString LoginDelay::path() const { return QDir(m_appFolder).filePath(u"Clinora-accessi.ini"_s); }

int LoginDelay::waitAfter(int failures)
{
    if (failures <= 0)
        return 0;
    if (failures > 5)
        return kLongestWait;
    return std::min(kLongestWait, 1 << (failures - 1));
}

LoginDelay::State LoginDelay::load() const
{
    State s = m_seen;
    QFile f(path());
    if (!QFileInfo::exists(path()) || !io::openRegular(f, QIODevice::ReadOnly))
        return s;
    const QString text = QString::fromLatin1(f.read(4096));
    bool ok = false;
    const int failures = iniValue(text, u"Accessi", u"Errati").toInt(&ok);
    const QDateTime last = QDateTime::fromString(iniValue(text, u"Accessi", u"Ultimo"), Qt::ISODate);
    // The stricter of what the file and this copy of the program know.
    if (ok && failures > s.failures && last.isValid()) {
        s.failures = failures;
        s.last = last;
    }
    return s;
}

int LoginDelay::failures() const { return load().failures; }

int LoginDelay::secondsLeft(const QDateTime &now) const
{
    const State s = load();
    const int wait = waitAfter(s.failures);
    if (wait == 0 || !s.last.isValid())
        return 0;
    const qint64 passed = s.last.secsTo(now);
    // A clock put back is no way round the wait: it starts again.
    if (passed < 0)
        return wait;
    return int(std::max<qint64>(0, wait - passed));
}

void LoginDelay::failed(const QDateTime &now)
{
    State s = load();
    s.failures = std::min(s.failures + 1, 1000);
    s.last = now;
    m_seen = s;
    const QString text = u"[Accessi]\r\nErrati="_s + QString::number(s.failures) + u"\r\nUltimo="_s
                         + now.toString(Qt::ISODate) + u"\r\n"_s;
    // Not written (a folder that takes no writes): this copy still waits.
    (void)io::replaceFile(path(), text.toLatin1());
}

void LoginDelay::succeeded()
{
    m_seen = State();
    if (QFileInfo::exists(path()) || QFileInfo(path()).isSymLink())
        (void)io::removeFile(path());
}

} // namespace clinora
