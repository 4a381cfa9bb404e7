#pragma once

#include "common/ListLines.h"

#include <QAbstractListModel>
#include <QSize>
#include <QStringList>

// The lines of a list screen for a view. Filled in one step from what a
// reading command made, each line is turned into a text only when the view,
// a find or a print asks for it; lines about to change one by one are held
// as texts from then on.
namespace clinora {

class ListLinesModel : public QAbstractListModel {
    Q_OBJECT
public:
    using QAbstractListModel::QAbstractListModel;

    // Replaces every line at once.
    void setLines(ListLines &&lines);
    void setTexts(const QStringList &lines);
    void clear() { setLines({}); }
    QStringList texts() const;

    void insertText(int row, const QString &line);
    void removeText(int row);

    // Every line's size, so that the view lays them out without measuring
    // each one; none (the delegate's) unless set.
    void setItemSize(QSize size) { m_itemSize = size; }
    QSize itemSize() const { return m_itemSize; }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

private:
    void toTexts();

    ListLines m_bytes;
    QStringList m_texts;
    bool m_asTexts = false;
    QSize m_itemSize;
};

} // namespace clinora
