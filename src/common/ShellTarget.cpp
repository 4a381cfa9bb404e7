#include "common/ShellTarget.h"

#include "common/Text.h"

namespace clinora {

namespace {

// "scheme:" with a scheme of two letters or more, so that "C:\x" stays a path.
bool hasUrlScheme(QStringView s)
{
    const qsizetype colon = s.indexOf(u':');
    if (colon < 2)
        return false;
    for (qsizetype i = 0; i < colon; ++i) {
        const QChar c = s[i];
        const bool ok = (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z')
                        || (i > 0 && ((c >= u'0' && c <= u'9') || c == u'+' || c == u'-' || c == u'.'));
        if (!ok)
            return false;
    }
    return true;
}

} // namespace

QUrl shellTarget(const QString &command)
{
    QStringView s = text::trimmedView(command);
    if (s.size() >= 2 && s.front() == u'"' && s.back() == u'"')
        s = s.sliced(1, s.size() - 2);
    if (s.isEmpty())
        return QUrl();
    if (hasUrlScheme(s))
        return QUrl(s.toString(), QUrl::TolerantMode);
    return QUrl::fromLocalFile(s.toString());
}

} // namespace clinora
