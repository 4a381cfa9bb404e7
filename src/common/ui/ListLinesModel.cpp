#include "common/ui/ListLinesModel.h"

namespace clinora {

void ListLinesModel::setLines(ListLines &&lines)
{
    beginResetModel();
    m_lines = std::move(lines);
    endResetModel();
}

int ListLinesModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_lines.size());
}

QVariant ListLinesModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_lines.size() || (role != Qt::DisplayRole && role != Qt::EditRole))
        return {};
    return m_lines.at(index.row());
}

Qt::ItemFlags ListLinesModel::flags(const QModelIndex &index) const
{
    // Lines are read, chosen and found, never edited in place or dragged.
    return index.isValid() ? Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemNeverHasChildren : Qt::NoItemFlags;
}

} // namespace clinora
