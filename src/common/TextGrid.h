#pragma once

#include <QAbstractTableModel>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringView>

#include <vector>

// The editable grid of the export screens: rows of texts under column
// headers, some columns open to typing. An archive of a hundred thousand
// records fills it in one step, each row kept as one text with the ends of
// its cells, so that the grid costs little more than the texts it shows.
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

        void reserve(qsizetype rows);
        // Appends text to the current cell of the current row.
        void append(QStringView text);
        void appendCp1252(QByteArrayView bytes);
        // Ends the current cell; the next text goes into the next column.
        void endCell();
        // Ends the current row; the cells not ended are empty.
        void endRow();
        // Appends `n` rows of empty cells.
        void appendEmptyRows(qsizetype n);

        qsizetype rowCount() const { return qsizetype(m_texts.size()); }
        int columnCount() const { return m_columns; }

    private:
        friend class TextGridModel;
        int m_columns;
        QString m_row;                 // the row being made
        std::vector<quint32> m_rowEnds; // its cells' ends so far
        std::vector<QString> m_texts;
        std::vector<quint32> m_ends; // columnCount ends per row
    };

    explicit TextGridModel(QList<Column> columns, QObject *parent = nullptr);

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
    std::vector<QString> m_texts;
    std::vector<quint32> m_ends;
};

} // namespace clinora
