#include "common/ui/Screen.h"

#include "common/ui/Artwork.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QPainter>
#include <QScreen>

namespace clinora {

WorkingArea::WorkingArea(ScreenContext &ctx, const QString &title, QWidget *parent)
    : QWidget(parent, Qt::Window), m_ctx(ctx), m_top(art::colors::steelBlue), m_bottom(Qt::white)
{
    setWindowTitle(title);
    resize(kDesignSize);
    m_board = new QWidget(this);
    m_board->setObjectName(QStringLiteral("panBoard"));
    m_board->setFixedSize(kBoardSize);
    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->addWidget(m_board, 1, 1);
    grid->setRowStretch(0, 1);
    grid->setRowStretch(2, 1);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(2, 1);
}

void WorkingArea::setBackground(const QColor &top, const QColor &bottom)
{
    m_top = top;
    m_bottom = bottom;
    update();
}

void WorkingArea::showArea() { showMaximized(); }

void WorkingArea::closeEvent(QCloseEvent *event)
{
    // A working area is never destroyed: closed, it is hidden.
    event->accept();
    FormClose();
}

void WorkingArea::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    art::fillGradient(p, QRectF(rect()), m_top, m_bottom);
}

DialogScreen::DialogScreen(ScreenContext &ctx, QWidget *parent, const QString &title, QSize clientSize, Centre centre)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::MSWindowsFixedSizeDialogHint),
      m_ctx(ctx), m_centre(centre)
{
    setWindowTitle(title);
    setFixedSize(clientSize);
    setModal(true);
}

void DialogScreen::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    QRect area;
    if (m_centre == Centre::Owner && parentWidget() && parentWidget()->isVisible())
        area = parentWidget()->window()->frameGeometry();
    else if (QScreen *s = (parentWidget() ? parentWidget()->screen() : screen()))
        area = s->availableGeometry();
    if (area.isValid())
        move(area.center() - QPoint(width() / 2, height() / 2));
}

} // namespace clinora
