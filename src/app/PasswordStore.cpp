#include "app/PasswordStore.h"

#include "app/Crypt.h"
#include "common/FileIo.h"
#include "common/FileLock.h"
#include "common/Text.h"

#include <QDir>
#include <QFile>
#include <QStringList>

using namespace Qt::StringLiterals;

namespace clinora {

PasswordStore::PasswordStore(QString appFolder) : m_appFolder(std::move(appFolder)) {}

QString PasswordStore::path() const { return QDir(m_appFolder).filePath(kPasswordFileName.toString()); }

std::optional<QString> PasswordStore::readStoredValue(bool *busy) const
{
    // Not read while another computer is changing it.
    lock::FileLock guard;
    const lock::Outcome locked = guard.acquire(path(), lock::Mode::Shared, lock::Missing::Skip);
    if (busy)
        *busy = locked == lock::Outcome::Busy;
    if (locked != lock::Outcome::Locked)
        return std::nullopt;
    QFile f(path());
    if (!f.exists())
        return QString();
    if (io::injectFault(io::Op::Open, f.fileName()) || !io::openRegular(f, QIODevice::ReadOnly))
        return std::nullopt;
    if (io::injectFault(io::Op::Read, f.fileName()))
        return std::nullopt;
    const QByteArray bytes = f.readAll();
    if (f.error() != QFileDevice::NoError)
        return std::nullopt;
    return iniValue(text::fromCp1252(bytes), u"Accesso", u"Valore");
}

bool PasswordStore::writeStoredValue(const QString &hex) const
{
    // Read, changed and replaced with no other computer changing it meanwhile.
    lock::FileLock guard;
    if (guard.acquire(path(), lock::Mode::Exclusive) != lock::Outcome::Locked)
        return false;
    // The rest of the file is kept: read it first.
    QString current;
    QFile existing(path());
    if (existing.exists()) {
        if (io::injectFault(io::Op::Open, existing.fileName()) || !io::openRegular(existing, QIODevice::ReadOnly))
            return false;
        if (io::injectFault(io::Op::Read, existing.fileName()))
            return false;
        current = text::fromCp1252(existing.readAll());
        if (existing.error() != QFileDevice::NoError)
            return false;
        existing.close();
    }
    guard.releaseForRename();
    return io::replaceFile(path(), text::toCp1252(iniWithValue(current, u"Accesso", u"Valore", hex)));
}

namespace {

// A line "[name]" (blanks allowed around), or empty.
QStringView sectionName(QStringView line)
{
    line = text::trimmedView(line);
    if (line.size() >= 2 && line.front() == u'[' && line.back() == u']')
        return text::trimmedView(line.sliced(1, line.size() - 2));
    return {};
}

bool isKeyLine(QStringView line, QStringView key, QStringView *value = nullptr)
{
    const qsizetype eq = line.indexOf(u'=');
    if (eq < 0 || text::trimmedView(line.first(eq)).compare(key, Qt::CaseInsensitive) != 0)
        return false;
    if (value) {
        QStringView v = text::trimmedView(line.sliced(eq + 1));
        // INI readers drop one pair of surrounding quotes.
        if (v.size() >= 2 && ((v.front() == u'"' && v.back() == u'"')
                              || (v.front() == u'\'' && v.back() == u'\'')))
            v = v.sliced(1, v.size() - 2);
        *value = v;
    }
    return true;
}

QStringList splitLines(const QString &text)
{
    QString t = text;
    t.replace(u"\r\n"_s, u"\n"_s);
    t.replace(u'\r', u'\n');
    QStringList lines = t.split(u'\n');
    if (!lines.isEmpty() && lines.back().isEmpty())
        lines.removeLast();
    return lines;
}

} // namespace

QString iniValue(const QString &iniText, QStringView section, QStringView key)
{
    bool inSection = false;
    for (const QString &line : splitLines(iniText)) {
        const QStringView name = sectionName(line);
        if (!name.isNull() && !name.isEmpty()) {
            inSection = name.compare(section, Qt::CaseInsensitive) == 0;
            continue;
        }
        QStringView value;
        if (inSection && isKeyLine(line, key, &value))
            return value.toString();
    }
    return QString();
}

QString iniWithValue(const QString &iniText, QStringView section, QStringView key,
                     const QString &value)
{
    QStringList lines = splitLines(iniText);
    const QString keyLine = key.toString() + u'=' + value;
    qsizetype sectionAt = -1;
    qsizetype sectionEnd = lines.size();
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QStringView name = sectionName(lines[i]);
        if (name.isEmpty())
            continue;
        if (sectionAt >= 0) {
            sectionEnd = i;
            break;
        }
        if (name.compare(section, Qt::CaseInsensitive) == 0)
            sectionAt = i;
    }
    if (sectionAt < 0) {
        lines << (u'[' + section.toString() + u']') << keyLine;
    } else {
        bool replaced = false;
        for (qsizetype i = sectionAt + 1; i < sectionEnd; ++i) {
            if (isKeyLine(lines[i], key)) {
                lines[i] = keyLine;
                replaced = true;
                break;
            }
        }
        if (!replaced)
            lines.insert(sectionEnd, keyLine);
    }
    return lines.join(u"\r\n"_s) + u"\r\n"_s;
}

namespace password {

QString normalized(QStringView typed) { return text::trimmed(text::upperAZ(typed)); }

bool matches(QStringView storedPlain, QStringView typed)
{
    return text::trimmedView(storedPlain) == normalized(typed);
}

Check check(const QString &appFolder, QStringView typed)
{
    bool busy = false;
    const std::optional<QString> stored = PasswordStore(appFolder).readStoredValue(&busy);
    if (busy)
        return Check::InUse;
    const std::optional<QString> plain = stored ? Crypt::Unscramble(*stored) : std::nullopt;
    if (!plain)
        return Check::Unreadable;
    return matches(*plain, typed) ? Check::Right : Check::Wrong;
}

bool storable(QStringView p)
{
    if (p.size() > 255)
        return false;
    for (QChar c : p)
        if (c.unicode() > 255)
            return false;
    return true;
}

} // namespace password

} // namespace clinora
