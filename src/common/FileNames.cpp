#include "common/FileNames.h"

#include <array>

namespace clinora::names {

namespace {

bool refusedChar(QChar c)
{
    switch (c.unicode()) {
    case u'<':
    case u'>':
    case u':':
    case u'"':
    case u'/':
    case u'\\':
    case u'|':
    case u'?':
    case u'*':
        return true;
    default:
        return c.unicode() < 0x20;
    }
}

bool endsBadly(QChar c) { return c == u'.' || c == u' '; }

// The name as Windows looks for a device: up to the first dot, without the
// blanks before that dot.
QStringView deviceStem(QStringView name)
{
    const qsizetype dot = name.indexOf(u'.');
    QStringView stem = dot < 0 ? name : name.first(dot);
    while (!stem.isEmpty() && stem.back() == u' ')
        stem.chop(1);
    return stem;
}

bool isDevice(QStringView name)
{
    const QStringView stem = deviceStem(name);
    static constexpr std::array<QStringView, 6> plain = {u"CON", u"PRN", u"AUX", u"NUL", u"CONIN$", u"CONOUT$"};
    for (QStringView d : plain)
        if (stem.compare(d, Qt::CaseInsensitive) == 0)
            return true;
    if (stem.size() != 4)
        return false;
    const QStringView head = stem.first(3);
    if (head.compare(u"COM", Qt::CaseInsensitive) != 0 && head.compare(u"LPT", Qt::CaseInsensitive) != 0)
        return false;
    const char16_t n = stem[3].unicode();
    return (n >= u'1' && n <= u'9') || n == u'\u00B9' || n == u'\u00B2' || n == u'\u00B3';
}

} // namespace

bool fitsWindows(QStringView name)
{
    if (name.isEmpty() || name == u"." || name == u"..")
        return false;
    for (QChar c : name)
        if (refusedChar(c))
            return false;
    return !endsBadly(name.back()) && !isDevice(name);
}

QString fitForWindows(QStringView name)
{
    QString out;
    out.reserve(name.size() + 1);
    for (QChar c : name)
        out += refusedChar(c) ? QChar(u'_') : c;
    if (out.isEmpty())
        return QStringLiteral("_");
    if (endsBadly(out.back()))
        out.back() = u'_';
    if (isDevice(out)) {
        const qsizetype dot = out.indexOf(u'.');
        out.insert(dot < 0 ? out.size() : dot, u'_');
    }
    return out;
}

bool fitsHere(QStringView name)
{
#if defined(Q_OS_WIN)
    return fitsWindows(name);
#else
    return !name.isEmpty() && name != u"." && name != u".." && !name.contains(u'/') && !name.contains(QChar(0));
#endif
}

} // namespace clinora::names
