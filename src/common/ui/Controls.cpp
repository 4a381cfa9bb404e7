#include "common/ui/Controls.h"

#include "common/Text.h"

#include <QKeyEvent>

#include <algorithm>

namespace clinora {

namespace {

// Enter presses the button that has the focus, and only that one: no button
// is a default that Enter would press from elsewhere.
class EnterPresses : public QObject {
public:
    static EnterPresses &instance()
    {
        static EnterPresses filter;
        return filter;
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::KeyPress) {
            const auto *key = static_cast<QKeyEvent *>(event);
            auto *button = qobject_cast<QAbstractButton *>(watched);
            if (button && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)
                && key->modifiers() == Qt::NoModifier) {
                if (!key->isAutoRepeat() && button->isEnabled())
                    button->click();
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

void enterPressesButton(QAbstractButton *button) { button->installEventFilter(&EnterPresses::instance()); }

QPushButton *makeButton(QWidget *parent, const QString &name, const QString &text, const QRect &geometry)
{
    auto *b = new QPushButton(text, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    b->setDefault(false);
    enterPressesButton(b);
    b->setCursor(Qt::PointingHandCursor);
    b->setGeometry(geometry);
    return b;
}

QLineEdit *makeInput(QWidget *parent, const QString &name, const QRect &geometry, int maxLength)
{
    auto *e = new QLineEdit(parent);
    e->setObjectName(name);
    e->setGeometry(geometry);
    if (maxLength > 0)
        e->setMaxLength(maxLength);
    return e;
}

void tidyText(QLineEdit *input, Tidy rule)
{
    const QString old = input->text();
    QStringView kept = old;
    if (rule != Tidy::Upper)
        kept = text::trimmedView(old);
    const QString tidy = rule == Tidy::Trim ? kept.toString() : text::upperAZ(kept);
    if (tidy == old)
        return;
    const qsizetype leading = kept.isEmpty() ? 0 : kept.data() - old.constData();
    const qsizetype cursor = std::clamp<qsizetype>(input->cursorPosition() - leading, 0, tidy.size());
    input->setText(tidy);
    input->setCursorPosition(int(cursor));
}

void tidyWhileTyping(QLineEdit *input, Tidy rule)
{
    QObject::connect(input, &QLineEdit::textEdited, input, [input, rule] { tidyText(input, rule); });
}

} // namespace clinora
