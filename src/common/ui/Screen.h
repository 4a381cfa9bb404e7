#pragma once

#include <QColor>
#include <QDialog>
#include <QWidget>

namespace clinora {

class ScreenContext;

// A large window that opens maximised, with a centred board of the design
// size on a gradient background. Closing it only hides it; FormClose says
// where the program goes next.
class WorkingArea : public QWidget {
    Q_OBJECT
public:
    static constexpr QSize kDesignSize{1016, 713};
    static constexpr QSize kBoardSize{995, 692};

    WorkingArea(ScreenContext &ctx, const QString &title, QWidget *parent = nullptr);

    // Shows the area maximised.
    void showArea();
    // The centred panel of 995 x 692 that holds the screen's content.
    QWidget *board() const { return m_board; }
    void setBackground(const QColor &top, const QColor &bottom);

protected:
    void closeEvent(QCloseEvent *event) override;
    void paintEvent(QPaintEvent *) override;
    virtual void FormClose() {}

    ScreenContext &m_ctx;

private:
    QWidget *m_board;
    QColor m_top, m_bottom;
};

// A fixed-size window with no title-bar buttons, centred on the screen or
// on the window that opened it.
class DialogScreen : public QDialog {
    Q_OBJECT
public:
    enum class Centre { Screen, Owner };

    DialogScreen(ScreenContext &ctx, QWidget *parent, const QString &title, QSize clientSize,
                 Centre centre = Centre::Screen);

protected:
    void showEvent(QShowEvent *event) override;

    ScreenContext &m_ctx;

private:
    Centre m_centre;
};

} // namespace clinora
