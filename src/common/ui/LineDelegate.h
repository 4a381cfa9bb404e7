#pragma once

#include <QStyledItemDelegate>

// Paints the lines of a plain text list, or the cells of a plain text grid,
// as the style would, with none of what they never have (icon, check box, a
// font, colour or alignment of their own) asked of the model: only the
// text, once for each line or cell painted, cut short as the view says.
namespace clinora {

class LineDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
};

} // namespace clinora
