#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <initializer_list>
#include <utility>

class QLabel;

// The behaviours many screens share, each built once and attached to
// controls by data: the focus highlight, Enter-to-next and the hint line.
namespace clinora {

// A yellow rectangle 4 pixels larger than its input on every side, lying
// behind it, shown while the input has the focus.
class FocusHighlight : public QWidget {
    Q_OBJECT
public:
    // Creates the highlight `effName` beside `input` (same parent).
    static FocusHighlight *attach(QWidget *input, const QString &effName);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *) override;

private:
    explicit FocusHighlight(QWidget *input);
    void follow();
    QPointer<QWidget> m_input;
};

// Enter in `from` moves the focus to `to` and does nothing else.
void enterMovesTo(QWidget *from, QWidget *to);
// Each input's Enter moves to the next; the last one's back to the first.
void enterRing(std::initializer_list<QWidget *> inputs);
// Each input's Enter moves to the next; the last one has no Enter handling.
void enterChain(std::initializer_list<QWidget *> inputs);

// The hint line of a working area: a command sets its hint while the mouse is
// over it or when it takes the keyboard focus; the background empties it;
// anything else leaves it alone. The hint is also the command's accessible
// description.
class HintLine : public QObject {
    Q_OBJECT
public:
    explicit HintLine(QLabel *panInfo);

    void addCommand(QWidget *command, const QString &hint);
    void addCommands(std::initializer_list<std::pair<QWidget *, QString>> commands);
    void addBackground(std::initializer_list<QWidget *> backgrounds);
    QLabel *label() const { return m_label; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QLabel *m_label;
};

} // namespace clinora
