#include "common/ui/LineDelegate.h"

#include <QPainter>
#include <QStyle>

namespace clinora {

void LineDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    const QWidget *view = option.widget;
    QStyle *style = view ? view->style() : nullptr;
    if (!style) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    const bool selected = option.state & QStyle::State_Selected;
    const QPalette::ColorGroup group = !(option.state & QStyle::State_Enabled) ? QPalette::Disabled
                                       : (option.state & QStyle::State_Active) ? QPalette::Active
                                                                                : QPalette::Inactive;
    painter->save();
    if (selected)
        painter->fillRect(option.rect, option.palette.brush(group, QPalette::Highlight));
    const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view) + 1;
    painter->setFont(option.font);
    painter->setPen(option.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text));
    const QRect textRect = option.rect.adjusted(margin, 0, -margin, 0);
    QString text = index.data().toString();
    // Most texts are plainly short enough: only a long one is measured for
    // cutting (measuring lays the text out, as drawing it does again).
    if (option.textElideMode != Qt::ElideNone && text.size() * option.fontMetrics.maxWidth() > textRect.width())
        text = option.fontMetrics.elidedText(text, option.textElideMode, textRect.width());
    painter->drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text);
    if (option.state & QStyle::State_HasFocus) {
        QStyleOptionFocusRect focus;
        focus.QStyleOption::operator=(option);
        focus.backgroundColor = option.palette.color(group, selected ? QPalette::Highlight : QPalette::Window);
        style->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter, view);
    }
    painter->restore();
}

} // namespace clinora
