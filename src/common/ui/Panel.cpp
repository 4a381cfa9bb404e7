#include "common/ui/Panel.h"

#include <QLinearGradient>
#include <QPainter>

namespace clinora {

void paintPanel(QPainter &p, const QRectF &r, qreal radius, const QColor &top, const QColor &bottom,
                const QColor &border, Qt::Orientation across)
{
    if (top == bottom) {
        p.setBrush(top);
    } else {
        QLinearGradient g(r.topLeft(), across == Qt::Horizontal ? r.topRight() : r.bottomLeft());
        g.setColorAt(0, top);
        g.setColorAt(1, bottom);
        p.setBrush(g);
    }
    if (border.isValid()) {
        p.setPen(QPen(border, 1));
        p.drawRoundedRect(r.adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
    } else {
        p.setPen(Qt::NoPen);
        p.drawRoundedRect(r, radius, radius);
    }
}

} // namespace clinora
