#include "common/TextGrid.h"

#include "common/Text.h"

namespace clinora {

TextGridModel::Rows::Rows(int columnCount) : m_columns(columnCount) { m_rowEnds.reserve(size_t(columnCount)); }

void TextGridModel::Rows::reserve(qsizetype rows)
{
    m_texts.reserve(size_t(rows));
    m_ends.reserve(size_t(rows) * size_t(m_columns));
}

void TextGridModel::Rows::append(QStringView text) { m_row.append(text); }

void TextGridModel::Rows::appendCp1252(QByteArrayView bytes) { text::appendCp1252(m_row, bytes); }

void TextGridModel::Rows::endCell()
{
    Q_ASSERT(m_rowEnds.size() < size_t(m_columns));
    if (m_rowEnds.size() < size_t(m_columns))
        m_rowEnds.push_back(quint32(m_row.size()));
}

void TextGridModel::Rows::endRow()
{
    const quint32 last = m_rowEnds.empty() ? 0 : m_rowEnds.back();
    if (quint32(m_row.size()) > last)
        endCell();
    while (m_rowEnds.size() < size_t(m_columns))
        m_rowEnds.push_back(quint32(m_row.size()));
    // A copy of its own size: the working text keeps its room for the next row.
    m_texts.push_back(m_row.isEmpty() ? QString() : QString(m_row.constData(), m_row.size()));
    m_ends.insert(m_ends.end(), m_rowEnds.begin(), m_rowEnds.end());
    m_row.truncate(0);
    m_rowEnds.clear();
}

void TextGridModel::Rows::appendEmptyRows(qsizetype n)
{
    for (qsizetype i = 0; i < n; ++i)
        endRow();
}

TextGridModel::TextGridModel(QList<Column> columns, QObject *parent)
    : QAbstractTableModel(parent), m_columns(std::move(columns))
{
}

void TextGridModel::setRows(Rows &&rows)
{
    Q_ASSERT(rows.m_columns == m_columns.size());
    beginResetModel();
    m_texts = std::move(rows.m_texts);
    m_ends = std::move(rows.m_ends);
    rows.m_texts.clear();
    rows.m_ends.clear();
    endResetModel();
}

QStringView TextGridModel::cell(qsizetype row, int column) const
{
    if (row < 0 || row >= qsizetype(m_texts.size()) || column < 0 || column >= m_columns.size())
        return {};
    const size_t base = size_t(row) * size_t(m_columns.size());
    const quint32 begin = column == 0 ? 0 : m_ends[base + size_t(column) - 1];
    const quint32 end = m_ends[base + size_t(column)];
    return QStringView(m_texts[size_t(row)]).sliced(begin, end - begin);
}

bool TextGridModel::setCell(qsizetype row, int column, QStringView text)
{
    const size_t base = size_t(row) * size_t(m_columns.size());
    const quint32 begin = column == 0 ? 0 : m_ends[base + size_t(column) - 1];
    const quint32 end = m_ends[base + size_t(column)];
    QString &whole = m_texts[size_t(row)];
    whole.replace(begin, end - begin, text.data(), text.size());
    const qint64 delta = qint64(text.size()) - qint64(end - begin);
    for (int c = column; c < m_columns.size(); ++c)
        m_ends[base + size_t(c)] = quint32(qint64(m_ends[base + size_t(c)]) + delta);
    return true;
}

int TextGridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_texts.size());
}

int TextGridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_columns.size());
}

QVariant TextGridModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    Q_ASSERT(checkIndex(index));
    if (role == Qt::DisplayRole || role == Qt::EditRole)
        return cell(index.row(), index.column()).toString();
    return {};
}

bool TextGridModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (role != Qt::EditRole || !index.isValid() || !m_columns[index.column()].editable)
        return false;
    const QString text = value.toString();
    if (cell(index.row(), index.column()) == text)
        return true;
    setCell(index.row(), index.column(), text);
    emit dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole});
    return true;
}

Qt::ItemFlags TextGridModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
    if (m_columns[index.column()].editable)
        f |= Qt::ItemIsEditable;
    return f;
}

QVariant TextGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < m_columns.size())
        return m_columns[section].header;
    return QAbstractTableModel::headerData(section, orientation, role);
}

} // namespace clinora
