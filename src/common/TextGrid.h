#pragma once

#include <QAbstractTableModel>
#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringView>

#include <vector>

// The editable grid of the export screens: rows of texts under column
// headers, some columns open to typing. An archive of a hundred thousand
// records fills it in one step: the texts of all its cells lie one after
// another in a single block, with the end of each cell, so that the grid
// costs little more than the texts it shows, and its block serves the next
// grid (SpareMemory.h). A cell typed on the grid is kept apart.
namespace clinora {

class TextGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    struct Column {
        QString header;
        int width = 0; // on screen, in pixels
        bool editable = false;
    };

    // Rows made before they go into the grid, in one step.
    class Rows {
    public:
        explicit Rows(int columnCount);
        Rows(Rows &&other) noexcept;
        Rows &operator=(Rows &&other) noexcept;
        ~Rows();

        void reserve(qsizetype rows);
        // Appends text to the current cell of the current row.
        void append(QStringView text);
        void appendCp1252(QByteArrayView bytes);
        void appendNumber(qint64 n);
        // Ends the current cell; the next text goes into the next column.
        void endCell();
        // Ends the current row; the cells not ended are empty.
        void endRow();
        // Appends `n` rows of empty cells.
        void appendEmptyRows(qsizetype n);
        // Appends the whole rows of `other`, in their order.
        void appendRows(Rows &&other);

        qsizetype rowCount() const { return m_rows; }
        int columnCount() const { return m_columns; }

    private:
        friend class TextGridModel;
        // Room for `n` more characters.
        char16_t *room(qsizetype n);

        int m_columns;
        QByteArray m_block;          // the characters of every cell, one after another
        qsizetype m_used = 0;        // in characters
        qsizetype m_rows = 0;
        int m_rowCells = 0;          // the cells of the current row ended so far
        std::vector<quint32> m_ends; // where each cell ends, columnCount for each row
    };

    explicit TextGridModel(QList<Column> columns, QObject *parent = nullptr);
    ~TextGridModel() override;

    const QList<Column> &columns() const { return m_columns; }
    // Replaces every row at once.
    void setRows(Rows &&rows);
    // The text of a cell as the grid holds it.
    QStringView cell(qsizetype row, int column) const;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    bool setCell(qsizetype row, int column, QStringView text);

    QList<Column> m_columns;
    Rows m_rows;
    QHash<qsizetype, QString> m_typed; // the cells typed on the grid, by row * columns + column
};

} // namespace clinora
