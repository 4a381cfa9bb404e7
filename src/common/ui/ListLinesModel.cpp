#include "common/ui/ListLinesModel.h"

namespace clinora {

void ListLinesModel::setLines(ListLines &&lines)
{
    beginResetModel();
    m_texts.clear();
    m_bytes = std::move(lines);
    m_asTexts = false;
    endResetModel();
}

void ListLinesModel::setTexts(const QStringList &lines)
{
    beginResetModel();
    m_bytes = {};
    m_texts = lines;
    m_asTexts = true;
    endResetModel();
}

QStringList ListLinesModel::texts() const { return m_asTexts ? m_texts : m_bytes.toStringList(); }

void ListLinesModel::toTexts()
{
    if (m_asTexts)
        return;
    m_texts = m_bytes.toStringList();
    m_bytes = {};
    m_asTexts = true;
}

void ListLinesModel::insertText(int row, const QString &line)
{
    toTexts();
    beginInsertRows({}, row, row);
    m_texts.insert(row, line);
    endInsertRows();
}

void ListLinesModel::removeText(int row)
{
    toTexts();
    beginRemoveRows({}, row, row);
    m_texts.removeAt(row);
    endRemoveRows();
}

int ListLinesModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_asTexts ? m_texts.size() : m_bytes.size());
}

QVariant ListLinesModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    if (role == Qt::SizeHintRole && m_itemSize.isValid())
        return m_itemSize;
    if (role != Qt::DisplayRole && role != Qt::EditRole)
        return {};
    return m_asTexts ? m_texts.at(index.row()) : m_bytes.at(index.row());
}

Qt::ItemFlags ListLinesModel::flags(const QModelIndex &index) const
{
    // Lines are read, chosen and found, never edited in place or dragged.
    return index.isValid() ? Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemNeverHasChildren : Qt::NoItemFlags;
}

} // namespace clinora
