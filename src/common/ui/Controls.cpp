#include "common/ui/Controls.h"

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

} // namespace clinora
