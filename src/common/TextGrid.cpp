#include "common/TextGrid.h"

#include "common/SpareMemory.h"
#include "common/Text.h"

#include <algorithm>
#include <charconv>
#include <cstring>

namespace clinora {

TextGridModel::Rows::Rows(int columnCount) : m_columns(columnCount) {}

TextGridModel::Rows::Rows(Rows &&other) noexcept
    : m_columns(other.m_columns), m_block(std::move(other.m_block)), m_used(std::exchange(other.m_used, 0)),
      m_rows(std::exchange(other.m_rows, 0)), m_rowCells(std::exchange(other.m_rowCells, 0)),
      m_ends(std::move(other.m_ends))
{
}

TextGridModel::Rows &TextGridModel::Rows::operator=(Rows &&other) noexcept
{
    if (this != &other) {
        spare::keepBytes(std::move(m_block));
        m_columns = other.m_columns;
        m_block = std::move(other.m_block);
        m_used = std::exchange(other.m_used, 0);
        m_rows = std::exchange(other.m_rows, 0);
        m_rowCells = std::exchange(other.m_rowCells, 0);
        m_ends = std::move(other.m_ends);
    }
    return *this;
}

TextGridModel::Rows::~Rows() { spare::keepBytes(std::move(m_block)); }

void TextGridModel::Rows::reserve(qsizetype rows)
{
    m_ends.reserve(size_t(rows) * size_t(m_columns));
}

char16_t *TextGridModel::Rows::room(qsizetype n)
{
    const qsizetype needed = (m_used + n) * qsizetype(sizeof(char16_t));
    if (needed > m_block.size()) {
        // Grown by half at least: a record's row is a few hundred characters.
        QByteArray bigger = spare::takeBytes(std::max(needed, m_block.size() + m_block.size() / 2 + (64 << 10)));
        text::putBytes(bigger.data(), QByteArrayView(m_block.constData(), m_used * qsizetype(sizeof(char16_t))));
        spare::keepBytes(std::exchange(m_block, std::move(bigger)));
    }
    return reinterpret_cast<char16_t *>(m_block.data()) + m_used;
}

void TextGridModel::Rows::append(QStringView text)
{
    char16_t *out = room(text.size());
    if (!text.isEmpty())
        std::memcpy(out, text.utf16(), size_t(text.size()) * sizeof(char16_t));
    m_used += text.size();
}

void TextGridModel::Rows::appendCp1252(QByteArrayView bytes)
{
    text::putCp1252(room(bytes.size()), bytes);
    m_used += bytes.size();
}

void TextGridModel::Rows::appendNumber(qint64 n)
{
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, n).ptr;
    appendCp1252(QByteArrayView(digits, end - digits));
}

void TextGridModel::Rows::endCell()
{
    Q_ASSERT(m_rowCells < m_columns);
    if (m_rowCells < m_columns) {
        m_ends.push_back(quint32(m_used));
        ++m_rowCells;
    }
}

void TextGridModel::Rows::endRow()
{
    // Text after the last cell ended makes one more cell; the cells not ended are empty.
    const quint32 last = m_ends.empty() ? 0 : m_ends.back();
    if (quint32(m_used) > last && m_rowCells < m_columns)
        endCell();
    m_used = std::min<qsizetype>(m_used, m_ends.empty() ? 0 : m_ends.back());
    while (m_rowCells < m_columns)
        endCell();
    m_rowCells = 0;
    ++m_rows;
}

void TextGridModel::Rows::appendEmptyRows(qsizetype n)
{
    for (qsizetype i = 0; i < n; ++i)
        endRow();
}

void TextGridModel::Rows::appendRows(Rows &&other)
{
    Q_ASSERT(other.m_columns == m_columns && m_rowCells == 0);
    const qsizetype chars = other.m_ends.empty() ? 0 : other.m_ends.back();
    const quint32 offset = quint32(m_used);
    room(chars);
    text::putBytes(m_block.data() + m_used * qsizetype(sizeof(char16_t)),
                   QByteArrayView(other.m_block.constData(), chars * qsizetype(sizeof(char16_t))));
    m_used += chars;
    m_ends.reserve(m_ends.size() + other.m_ends.size());
    for (const quint32 end : other.m_ends)
        m_ends.push_back(offset + end);
    m_rows += other.m_rows;
    other = Rows(m_columns);
}

TextGridModel::TextGridModel(QList<Column> columns, QObject *parent)
    : QAbstractTableModel(parent), m_columns(std::move(columns)), m_rows(int(m_columns.size()))
{
}

TextGridModel::~TextGridModel() = default;

void TextGridModel::setRows(Rows &&rows)
{
    Q_ASSERT(rows.m_columns == m_columns.size());
    beginResetModel();
    m_rows = std::move(rows);
    m_typed.clear();
    endResetModel();
}

QStringView TextGridModel::cell(qsizetype row, int column) const
{
    if (row < 0 || row >= m_rows.m_rows || column < 0 || column >= m_columns.size())
        return {};
    const size_t index = size_t(row) * size_t(m_columns.size()) + size_t(column);
    if (!m_typed.isEmpty())
        if (const auto typed = m_typed.constFind(qsizetype(index)); typed != m_typed.cend())
            return *typed;
    const quint32 begin = index == 0 ? 0 : m_rows.m_ends[index - 1];
    const quint32 end = m_rows.m_ends[index];
    return QStringView(reinterpret_cast<const char16_t *>(m_rows.m_block.constData()) + begin, end - begin);
}

bool TextGridModel::setCell(qsizetype row, int column, QStringView text)
{
    m_typed.insert(row * m_columns.size() + column, text.toString());
    return true;
}

int TextGridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.m_rows);
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
