#pragma once

#include <QStyledItemDelegate>

// Paints the lines of a plain text list as the style would, with none of
// what a line of such a list never has (icon, check box, a font or colour
// of its own) asked of the model: only its text, once for each line painted.
namespace clinora {

class LineDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
};

} // namespace clinora
