#include "common/ui/LineList.h"

#include "common/ui/LineDelegate.h"
#include "common/ui/ListLinesModel.h"
#include "common/ui/Widgets.h"

#include <QEvent>
#include <QKeyEvent>

using namespace Qt::StringLiterals;

namespace clinora {

LineList::LineList(QWidget *parent, const QString &name, const QString &accessibleName, const QRect &geometry,
                   int minWidth)
    : QListView(parent), m_model(new ListLinesModel(this)), m_minWidth(minWidth)
{
    setObjectName(name);
    setAccessibleName(accessibleName);
    setGeometry(geometry);
    setFont(designFont(u"Courier New"_s, 12));
    QPalette pal = palette();
    pal.setColor(QPalette::Text, Qt::black);
    pal.setColor(QPalette::Base, Qt::white);
    setPalette(pal);
    setModel(m_model);
    setItemDelegate(new LineDelegate(this));
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setLayoutMode(QListView::SinglePass);
    setWordWrap(false);
    setTextElideMode(Qt::ElideNone);
    updateItemSize();
}

void LineList::updateItemSize()
{
    // Courier New is monospaced: the longest line's width is its length in characters.
    const QFontMetrics fm(font());
    const int width = std::max(m_minWidth, m_longest * fm.horizontalAdvance(QLatin1Char('M')) + 12);
    const QSize size(width, fm.height() + 2);
    if (size != m_model->itemSize()) {
        m_model->setItemSize(size);
        // Uniform sizes are measured once: a new size needs a new layout.
        if (m_model->rowCount() > 0)
            scheduleDelayedItemsLayout();
    }
}

void LineList::setLines(const QStringList &lines)
{
    int longest = 0;
    for (const QString &line : lines)
        longest = std::max(longest, int(line.size()));
    m_longest = longest;
    updateItemSize();
    m_model->setTexts(lines);
}

void LineList::setLines(ListLines &&lines)
{
    m_longest = int(lines.longest());
    updateItemSize();
    m_model->setLines(std::move(lines));
}

QStringList LineList::lines() const { return m_model->texts(); }

int LineList::count() const { return m_model->rowCount(); }

void LineList::insertLine(int row, const QString &line)
{
    row = std::clamp(row, 0, count());
    m_model->insertText(row, line);
    if (line.size() > m_longest) {
        m_longest = int(line.size());
        updateItemSize();
    }
    // In sight, but not selected: a selection is only ever the user's.
    scrollTo(m_model->index(row));
}

void LineList::removeLine(int row)
{
    if (row >= 0 && row < count())
        m_model->removeText(row);
}

int LineList::selectedRow() const
{
    const QModelIndexList rows = selectionModel()->selectedIndexes();
    return rows.isEmpty() ? -1 : rows.constFirst().row();
}

QString LineList::selectedLine() const
{
    const int row = selectedRow();
    return row < 0 ? QString() : m_model->index(row).data().toString();
}

void LineList::selectRow(int row)
{
    if (row < 0 || row >= count()) {
        selectionModel()->clear();
        return;
    }
    const QModelIndex index = m_model->index(row);
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    scrollTo(index);
}

bool LineList::viewportEvent(QEvent *event)
{
    const bool handled = QListView::viewportEvent(event);
    // A double-click anywhere on the list chooses the selected line, as on
    // the other list screens of the program.
    if (event->type() == QEvent::MouseButtonDblClick && m_onChoose
        && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton)
        m_onChoose();
    return handled;
}

void LineList::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        // Enter on the list chooses the line, where choosing means something; it never reaches the dialog.
        if (m_onChoose)
            m_onChoose();
        return;
    }
    QListView::keyPressEvent(event);
}

} // namespace clinora
