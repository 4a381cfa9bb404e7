#pragma once

#include "common/ListLines.h"

#include <QAbstractListModel>

// A list of lines for a view, filled in one step from what a reading
// command made: each line is turned into a text only when the view, a find
// or a print asks for it.
namespace clinora {

class ListLinesModel : public QAbstractListModel {
    Q_OBJECT
public:
    using QAbstractListModel::QAbstractListModel;

    // Replaces every line at once.
    void setLines(ListLines &&lines);
    void clear() { setLines({}); }
    const ListLines &lines() const { return m_lines; }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

private:
    ListLines m_lines;
};

} // namespace clinora
