#pragma once

#include <QColor>
#include <QRectF>
#include <Qt>

class QPainter;

namespace clinora {

// The rounded panel the screens are built on: a fill shading from `top` to
// `bottom` (a plain fill when they are the same colour) and, when `border`
// is a valid colour, a 1-pixel border drawn on the half pixels inside `r`
// so that it stays sharp. `across` shades from left to right instead.
void paintPanel(QPainter &p, const QRectF &r, qreal radius, const QColor &top, const QColor &bottom,
                const QColor &border = QColor(), Qt::Orientation across = Qt::Vertical);

// The same panel in one colour.
inline void paintFlatPanel(QPainter &p, const QRectF &r, qreal radius, const QColor &fill,
                           const QColor &border = QColor())
{
    paintPanel(p, r, radius, fill, fill, border);
}

} // namespace clinora
