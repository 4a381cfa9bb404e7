#include "common/ui/ControlText.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>

namespace clinora {

QString controlText(const QWidget *screen, QStringView name)
{
    const auto *w = screen ? screen->findChild<QWidget *>(name.toString()) : nullptr;
    if (const auto *e = qobject_cast<const QLineEdit *>(w))
        return e->text();
    if (const auto *c = qobject_cast<const QComboBox *>(w))
        return c->currentText();
    if (const auto *p = qobject_cast<const QPlainTextEdit *>(w))
        return p->toPlainText();
    if (const auto *t = qobject_cast<const QTextEdit *>(w))
        return t->toPlainText();
    if (const auto *l = qobject_cast<const QLabel *>(w))
        return l->text();
    return QString();
}

ControlTextLookup controlTexts(const QWidget *screen)
{
    return [screen](QStringView name) { return controlText(screen, name); };
}

} // namespace clinora
