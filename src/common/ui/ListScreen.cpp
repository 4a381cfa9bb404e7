#include "common/ui/ListScreen.h"

#include "common/ui/Controls.h"
#include "common/ui/LineDelegate.h"
#include "common/ui/ListLinesModel.h"
#include "common/ui/Palette.h"
#include "common/ui/Panel.h"
#include "common/ui/Widgets.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPainter>
#include <QPushButton>
#include <QStyledItemDelegate>

using namespace Qt::StringLiterals;

namespace clinora::kit {

QWidget *panel(QWidget *parent, const QString &name, const QRect &geometry, const QColor &top, const QColor &border)
{
    auto *p = new Picture(parent, name, [top, border](QPainter &painter, const QRectF &r) {
        paintPanel(painter, r, 10, top, palette::listPanelBottom, border);
    });
    p->setGeometry(geometry);
    return p;
}

QWidget *banner(QWidget *parent, const QString &name, const QRect &geometry, art::Glyph glyph,
                const QString &title, const QString &subtitle)
{
    auto *b = new Picture(parent, name, [glyph, title, subtitle](QPainter &p, const QRectF &r) {
        paintPanel(p, r, 8, QColor(22, 72, 150), QColor(92, 150, 214), palette::bannerBorder, Qt::Horizontal);
        const qreal side = r.height() - 16;
        const QRectF disc(r.left() + 12, r.top() + 8, side, side);
        p.setPen(QPen(palette::bannerBorder, 1));
        p.setBrush(QColor(255, 255, 255, 240));
        p.drawEllipse(disc);
        art::drawGlyph(p, disc.adjusted(side * 0.18, side * 0.18, -side * 0.18, -side * 0.18), glyph);
        const qreal x = disc.right() + 16;
        const QRectF text(x, r.top() + 6, r.right() - x - 16, r.height() - 12);
        p.setPen(Qt::white);
        p.setFont(designFont(u"Verdana"_s, 16, true));
        if (subtitle.isEmpty()) {
            p.drawText(text, Qt::AlignLeft | Qt::AlignVCenter, title);
            return;
        }
        p.drawText(QRectF(text.left(), text.top(), text.width(), text.height() * 0.58),
                   Qt::AlignLeft | Qt::AlignBottom, title);
        p.setPen(QColor(222, 234, 250));
        p.setFont(designFont(u"Verdana"_s, 9));
        p.drawText(QRectF(text.left(), text.top() + text.height() * 0.6, text.width(), text.height() * 0.4),
                   Qt::AlignLeft | Qt::AlignTop, subtitle);
    });
    b->setGeometry(geometry);
    b->keepDrawing(u"banner|%1|%2|%3"_s.arg(int(glyph)).arg(title, subtitle));
    b->setAccessibleName(subtitle.isEmpty() ? title : title + u". "_s + subtitle);
    return b;
}

QLabel *textLine(QWidget *parent, const QString &name, const QString &text, const QRect &geometry,
                 const QColor &color, bool bold, int pointSize)
{
    auto *l = new QLabel(text, parent);
    l->setObjectName(name);
    l->setFont(designFont(u"Verdana"_s, pointSize, bold));
    QPalette pal = l->palette();
    pal.setColor(QPalette::WindowText, color);
    l->setPalette(pal);
    l->setGeometry(geometry);
    return l;
}

QPushButton *button(QWidget *parent, const QString &name, const QString &text, const QRect &geometry)
{
    QPushButton *b = makeButton(parent, name, text, geometry);
    b->setFont(designFont(u"Verdana"_s, 10, true));
    return b;
}

QLineEdit *input(QWidget *parent, const QString &name, const QRect &geometry, int maxLength)
{
    QLineEdit *e = makeInput(parent, name, geometry, maxLength);
    e->setFont(designFont(u"Verdana"_s, 12, true));
    return e;
}

FindRow findRow(QWidget *parent, int left, int top, int width)
{
    constexpr int kHeight = 32, kButton = 130, kGlass = 32;
    auto *glass = new Picture(parent, u"imgTrova"_s, art::Glyph::Find);
    glass->setGeometry(left, top, kGlass, kHeight);
    FindRow row{};
    const int boxLeft = left + kGlass + 8;
    row.txtTrova = input(parent, u"txtTrova"_s, QRect(boxLeft, top, left + width - kButton - 10 - boxLeft, kHeight));
    row.txtTrova->setAccessibleName(u"Parole da trovare nell'elenco"_s);
    row.btnTrova = button(parent, u"btnTrova"_s, u"Trova"_s, QRect(left + width - kButton, top, kButton, kHeight));
    return row;
}

namespace {

// Every line as wide as the list asks, however long its text.
class WideLineDelegate : public LineDelegate {
public:
    WideLineDelegate(QObject *parent, int width) : LineDelegate(parent), m_width(width) {}
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        return QSize(m_width, QStyledItemDelegate::sizeHint(option, index).height());
    }

private:
    int m_width;
};

} // namespace

QListView *linesView(QWidget *parent, const QString &name, const QString &accessibleName, const QRect &geometry,
                     int lineWidth)
{
    auto *list = new QListView(parent);
    list->setObjectName(name);
    list->setAccessibleName(accessibleName);
    list->setGeometry(geometry);
    // The lines' own font and colour, whatever the style would give them.
    list->setFont(designFont(u"Courier New"_s, 12));
    QPalette pal = list->palette();
    pal.setColor(QPalette::Text, Qt::black);
    pal.setColor(QPalette::Base, Qt::white);
    list->setPalette(pal);
    list->setUniformItemSizes(true);
    list->setItemDelegate(new WideLineDelegate(list, lineWidth));
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    list->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setModel(new ListLinesModel(list));
    return list;
}

} // namespace clinora::kit
