#include "checks/ui/IdentifierKeys.h"

#include <QKeyEvent>
#include <QKeySequence>

namespace clinora::keys {

namespace {

bool allowedChar(QChar c, Allowed allowed)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return true;
    return allowed == Allowed::Alphanumeric && ((u >= u'A' && u <= u'Z') || (u >= u'a' && u <= u'z'));
}

} // namespace

bool swallow(const QEvent *event, Allowed allowed)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    const auto *key = static_cast<const QKeyEvent *>(event);
    switch (key->key()) {
    case Qt::Key_Tab: // the focus always moves on
    case Qt::Key_Backtab:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Backspace:
    case Qt::Key_Delete:
    case Qt::Key_Left:
    case Qt::Key_Right:
        return false;
    default:
        break;
    }
    for (QKeySequence::StandardKey k : {QKeySequence::Copy, QKeySequence::Cut, QKeySequence::Paste,
                                        QKeySequence::SelectAll, QKeySequence::Undo, QKeySequence::Redo})
        if (key->matches(k))
            return false;
    const QString typed = key->text();
    return !(typed.size() == 1 && allowedChar(typed.front(), allowed));
}

} // namespace clinora::keys
