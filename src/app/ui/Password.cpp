#include "app/ui/Password.h"

#include "app/Crypt.h"
#include "app/PasswordStore.h"
#include "app/ui/AppContext.h"
#include "app/ui/Avvio.h"
#include "app/ui/CambiaPassword.h"
#include "app/ui/LoginWait.h"
#include "common/Text.h"
#include "common/ui/Behaviours.h"
#include "common/ui/Controls.h"
#include "common/ui/Panel.h"
#include "common/ui/Widgets.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace clinora {

void paintPasswordBoard(QPainter &p, const QRectF &board, const QRectF &logo)
{
    paintPanel(p, board, 8, art::colors::steelBlue, Qt::white, art::colors::steelBlue.darker(130));
    art::drawLogo(p, logo.adjusted(12, 20, -12, -20), u"Archivio pazienti e analisi cliniche"_s, true);
}

TfrmPassword::TfrmPassword(AppContext &ctx, QWidget *parent)
    : DialogScreen(ctx, parent, u" Clinora - Accesso"_s, QSize(388, 405)), m_app(ctx)
{
    setObjectName(u"frmPassword"_s);
    formShowOnEveryShowing();
    setModal(false);

    auto *panel = new Picture(this, u"panPassword"_s, [](QPainter &p, const QRectF &r) {
        paintFlatPanel(p, r, 10, QColor(236, 240, 245), QColor(170, 180, 195));
    });
    panel->setGeometry(14, 13, 360, 378);

    auto *board = new Picture(panel, u"panBoard"_s, [](QPainter &p, const QRectF &r) {
        paintPasswordBoard(p, r, QRectF(8, 8, 328, 160));
        paintPanel(p, QRectF(8, 176, 328, 81), 6, QColor(255, 255, 255, 235), QColor(225, 236, 246, 235),
                   QColor(150, 175, 200));
    });
    board->setGeometry(8, 8, 344, 265);

    auto *prompt = new QLabel(u"Immetti la password e premi OK."_s, board);
    prompt->setObjectName(u"lblPassword"_s);
    prompt->setFont(designFont(u"Verdana"_s, 10, true));
    prompt->setGeometry(18, 182, 310, 22);

    txtPassword = makeInput(board, u"txtPassword"_s, QRect(18, 212, 230, 34));
    txtPassword->setEchoMode(QLineEdit::Password);
    txtPassword->setFont(designFont(u"Verdana"_s, 14, true));
    txtPassword->setAccessibleName(u"Password"_s);
    prompt->setBuddy(txtPassword);
    FocusHighlight::attach(txtPassword, u"effPassword"_s);

    cmdOK = makeButton(board, u"cmdOK"_s, u"OK"_s, QRect(270, 212, 49, 33));
    cmdOK->setFont(designFont(u"Verdana"_s, 10, true));
    cmdOK->setEnabled(false);

    cmdEsci = makeButton(panel, u"cmdEsci"_s, u"Esci"_s, QRect(8, 322, 146, 32));
    btnCambiaPassword = makeButton(panel, u"btnCambiaPassword"_s, u"Cambia password"_s, QRect(206, 322, 146, 32));
    for (QPushButton *b : {cmdEsci, btnCambiaPassword})
        b->setFont(designFont(u"Verdana"_s, 10, true));

    // Between the board and the buttons, where nothing else is.
    waitLine = new LoginWait(ctx, panel, QRect(8, 278, 344, 38), [this] { updateOK(); });

    connect(txtPassword, &QLineEdit::textChanged, this, &TfrmPassword::updateOK);
    txtPassword->installEventFilter(this);
    connect(cmdOK, &QPushButton::clicked, this, &TfrmPassword::cmdOKClick);
    connect(cmdEsci, &QPushButton::clicked, this, &TfrmPassword::cmdEsciClick);
    connect(btnCambiaPassword, &QPushButton::clicked, this, &TfrmPassword::btnCambiaPasswordClick);
    setTabOrder(txtPassword, cmdOK);
}

void TfrmPassword::updateOK()
{
    // The wait line is brought up to date whatever the entry holds.
    const bool waiting = waitLine->waiting();
    cmdOK->setEnabled(!text::isBlank(txtPassword->text()) && !waiting);
}

bool TfrmPassword::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == txtPassword) {
        if (event->type() == QEvent::KeyRelease)
            updateOK();
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent *>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                if (!text::isBlank(txtPassword->text()) && !waitLine->waiting())
                    cmdOKClick();
                return true;
            }
        }
    }
    return DialogScreen::eventFilter(watched, event);
}

void TfrmPassword::FormShow()
{
    updateOK();
    txtPassword->setFocus(Qt::OtherFocusReason);
}

void TfrmPassword::cmdOKClick()
{
    // Guessing is slowed: no password is looked at before the wait is over.
    if (waitLine->waiting())
        return;
    switch (password::check(m_ctx.services.appFolder, txtPassword->text())) {
    case password::Check::InUse:
        // Held by another computer (a restore, a password change): as the archives say it.
        m_ctx.services.plain(this, kPasswordInUse.toString());
        return;
    case password::Check::Unreadable:
        m_ctx.services.plain(this, kPasswordUnreadable.toString());
        return;
    case password::Check::Right:
        waitLine->succeeded();
        m_ctx.switchTo(this, m_app.screens.frmAvvio);
        m_app.warnIfAppFolderReadOnly(m_app.screens.frmAvvio);
        m_app.warnIfDataOpenToOthers(m_app.screens.frmAvvio);
        m_app.loggedIn();
        return;
    case password::Check::Wrong:
        break;
    }
    waitLine->failed();
    m_ctx.services.plain(this, u"Attenzione: password errata."_s);
    txtPassword->clear();
    txtPassword->setFocus(Qt::OtherFocusReason);
}

void TfrmPassword::cmdEsciClick()
{
    hide();
    m_app.endProgram();
}

void TfrmPassword::btnCambiaPasswordClick()
{
    m_ctx.switchTo(this, m_app.screens.frmCambiaPassword);
}

void TfrmPassword::closeEvent(QCloseEvent *event)
{
    // The main window: closing it ends the program.
    event->accept();
    m_app.endProgram();
}

void TfrmPassword::reject()
{
    // Escape does not leave the login: the program would be left without a window.
}

} // namespace clinora
