#pragma once

#include "common/ListLines.h"

#include <QListView>
#include <QStringList>

#include <functional>

namespace clinora {

class ListLinesModel;

// The list of a list screen: fixed-width text lines in Courier New 12,
// black, each as wide as the longest line (at least `minWidth` pixels, so
// that long lines scroll sideways) so that the view lays them out without
// measuring every line, filled in one step however many lines it holds. A double-click anywhere on it, or Enter on it, calls `onChoose`.
class LineList : public QListView {
    Q_OBJECT
public:
    LineList(QWidget *parent, const QString &name, const QString &accessibleName, const QRect &geometry,
             int minWidth);

    void setLines(const QStringList &lines);
    // The lines a reading command made, taken over in one step.
    void setLines(ListLines &&lines);
    QStringList lines() const;
    int count() const;
    // Inserts a line at `row` and scrolls it into sight; the selection stays
    // as it was.
    void insertLine(int row, const QString &line);
    void removeLine(int row);
    void clearLines() { setLines(QStringList()); }

    // The selected line's row, -1 when no line is selected.
    int selectedRow() const;
    QString selectedLine() const;
    void selectRow(int row);

    // What a double-click or Enter does.
    void setChooseAction(std::function<void()> onChoose) { m_onChoose = std::move(onChoose); }

protected:
    bool viewportEvent(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void updateItemSize();

    ListLinesModel *m_model;
    int m_minWidth;
    int m_longest = 0;
    std::function<void()> m_onChoose;
};

} // namespace clinora
