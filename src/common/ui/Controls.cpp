#include "common/ui/Controls.h"

#include "common/Text.h"

#include <algorithm>

namespace clinora {

QPushButton *makeButton(QWidget *parent, const QString &name, const QString &text, const QRect &geometry)
{
    auto *b = new QPushButton(text, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    b->setDefault(false);
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
