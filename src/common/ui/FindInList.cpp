#include "common/ui/FindInList.h"

#include "common/Text.h"
#include "common/ui/Behaviours.h"
#include "common/ui/Services.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QEvent>
#include <QLineEdit>
#include <QListView>

namespace clinora {

FindInList::FindInList(const Services &services, FindKeys &keys, FindScreen kind, QWidget *screen,
                       QLineEdit *txtTrova, QAbstractItemView *lstRecords)
    : QObject(screen), m_services(services), m_keys(keys), m_kind(kind), m_screen(screen), m_box(txtTrova),
      m_list(lstRecords)
{
}

FindInList *FindInList::attach(const Services &services, FindKeys &keys, FindScreen kind, QWidget *screen,
                               QLineEdit *txtTrova, QAbstractButton *btnTrova, QAbstractItemView *lstRecords)
{
    auto *f = new FindInList(services, keys, kind, screen, txtTrova, lstRecords);
    QObject::connect(btnTrova, &QAbstractButton::clicked, f, &FindInList::find);
    if (enterMovesToButton(kind))
        enterMovesTo(txtTrova, btnTrova);
    if (emptiesKeyOnShow(kind))
        screen->installEventFilter(f);
    return f;
}

bool FindInList::emptiesKeyOnShow(FindScreen kind)
{
    return kind != FindScreen::ImportaPresc && kind != FindScreen::RiepLavoro;
}

bool FindInList::enterMovesToButton(FindScreen kind) { return kind != FindScreen::RiepLavoro; }

bool FindInList::eventFilter(QObject *watched, QEvent *event)
{
    // Shown by the program; a window brought back from the task bar keeps its key.
    if (watched == m_screen && event->type() == QEvent::Show && !event->spontaneous())
        m_keys[m_kind].clear();
    return QObject::eventFilter(watched, event);
}

int FindInList::findRow(const QAbstractItemModel &model, const QModelIndex &root, int column, int selected,
                        const QString &key, bool sameKey)
{
    const int count = model.rowCount(root);
    if (count == 0 || key.isEmpty())
        return -1;
    // A new key tests the first line first; the same key again starts after
    // the selected line and tests that line last.
    const int start = sameKey ? std::clamp(selected, 0, count - 1) + 1 : 0;
    for (int i = 0; i < count; ++i) {
        const int row = (start + i) % count;
        const QString line = model.data(model.index(row, column, root), Qt::DisplayRole).toString();
        if (text::lowerAZ(line).contains(key))
            return row;
    }
    return -1;
}

void FindInList::find()
{
    if (!m_list || !m_box || !m_list->model())
        return;
    QAbstractItemModel &model = *m_list->model();
    const QModelIndex root = m_list->rootIndex();
    const auto *listView = qobject_cast<const QListView *>(m_list.data());
    const int column = listView ? listView->modelColumn() : 0;
    if (model.rowCount(root) == 0) {
        m_services.plain(m_screen ? m_screen->window() : nullptr, kEmptyList.toString());
        return;
    }
    QItemSelectionModel *selection = m_list->selectionModel();
    auto select = [&](int row) {
        const QModelIndex index = model.index(row, column, root);
        selection->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        m_list->scrollTo(index);
    };
    int selected = -1;
    const QModelIndex current = selection->currentIndex();
    if (current.isValid() && selection->isSelected(current))
        selected = current.row();
    else if (selection->hasSelection())
        selected = selection->selectedIndexes().constFirst().row();
    if (selected < 0) {
        selected = 0;
        select(0);
    }

    const QString key = text::lowerAZ(m_box->text()); // not trimmed
    QString &lastKey = m_keys[m_kind];
    const int row = findRow(model, root, column, selected, key, key == lastKey);
    if (row >= 0)
        select(row);
    lastKey = key;
}

} // namespace clinora
