#include "app/ui/Blocco.h"

#include "app/Crypt.h"
#include "app/PasswordStore.h"
#include "app/ui/AppContext.h"
#include "app/ui/Avvio.h"
#include "app/ui/LoginWait.h"
#include "app/ui/Password.h"
#include "common/Text.h"
#include "common/ui/Artwork.h"
#include "common/ui/Behaviours.h"
#include "common/ui/Controls.h"
#include "common/ui/Panel.h"
#include "common/ui/Widgets.h"

#include <QAccessible>
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace clinora {

namespace {

// What covers a window while the program is locked: the board of the login
// with the logo, and nothing of what lies under it.
class Curtain : public QWidget {
public:
    explicit Curtain(QWidget *window) : QWidget(window)
    {
        setObjectName(u"panBlocco"_s);
        setAttribute(Qt::WA_OpaquePaintEvent);
        setFocusPolicy(Qt::NoFocus);
        setAccessibleName(u"Clinora bloccato"_s);
        setGeometry(window->rect());
        window->installEventFilter(this);
        raise();
        show();
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == parent() && event->type() == QEvent::Resize)
            setGeometry(parentWidget()->rect());
        return false;
    }
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        QLinearGradient fill(0, 0, 0, height());
        fill.setColorAt(0, art::colors::steelBlue);
        fill.setColorAt(1, Qt::white);
        p.fillRect(rect(), fill);
        const QSizeF logo(qMin(328.0, width() - 24.0), qMin(160.0, height() - 24.0));
        if (logo.width() > 40 && logo.height() > 40)
            art::drawLogo(p, QRectF(QPointF((width() - logo.width()) / 2, 24), logo), u"Schermo bloccato"_s, true);
    }
};

} // namespace

TfrmBlocco::TfrmBlocco(AppContext &ctx, QWidget *parent)
    : DialogScreen(ctx, parent, u" Clinora - Schermo bloccato"_s, QSize(388, 405)), m_app(ctx)
{
    setObjectName(u"frmBlocco"_s);
    formShowOnEveryShowing();
    setWindowModality(Qt::ApplicationModal);
    setWindowFlag(Qt::WindowStaysOnTopHint);
    setAccessibleName(u"Clinora - Schermo bloccato"_s);
    setAccessibleDescription(u"Il programma è bloccato: immettere la password per tornare al lavoro."_s);

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

    // The login's own words; what happened is said by the title, the curtain
    // and, to a screen reader, by the label's name.
    lblBlocco = new QLabel(u"Immetti la password e premi OK."_s, board);
    lblBlocco->setObjectName(u"lblBlocco"_s);
    lblBlocco->setAccessibleName(u"Clinora è bloccato. Immetti la password e premi OK."_s);
    lblBlocco->setFont(designFont(u"Verdana"_s, 10, true));
    lblBlocco->setGeometry(18, 182, 310, 22);

    txtPassword = makeInput(board, u"txtPassword"_s, QRect(18, 212, 230, 34));
    txtPassword->setEchoMode(QLineEdit::Password);
    txtPassword->setFont(designFont(u"Verdana"_s, 14, true));
    txtPassword->setAccessibleName(u"Password"_s);
    txtPassword->setAccessibleDescription(lblBlocco->accessibleName());
    lblBlocco->setBuddy(txtPassword);
    FocusHighlight::attach(txtPassword, u"effPassword"_s);

    cmdOK = makeButton(board, u"cmdOK"_s, u"OK"_s, QRect(270, 212, 49, 33));
    cmdOK->setFont(designFont(u"Verdana"_s, 10, true));
    cmdOK->setEnabled(false);

    waitLine = new LoginWait(ctx, panel, QRect(8, 278, 344, 38), [this] { updateOK(); });

    cmdEsci = makeButton(panel, u"cmdEsci"_s, u"Esci"_s, QRect(8, 322, 146, 32));
    cmdEsci->setToolTip(u"Chiude il programma, dopo aver chiesto conferma se ci sono schede aperte"_s);
    cmdGuida = makeButton(panel, u"cmdGuida"_s, u"Guida"_s, QRect(206, 322, 146, 32));
    cmdGuida->setToolTip(u"Come sono protetti i dati e come funziona il blocco dello schermo"_s);
    for (QPushButton *b : {cmdEsci, cmdGuida}) {
        b->setFont(designFont(u"Verdana"_s, 10, true));
        b->setAccessibleDescription(b->toolTip());
    }

    connect(txtPassword, &QLineEdit::textChanged, this, &TfrmBlocco::updateOK);
    txtPassword->installEventFilter(this);
    connect(cmdOK, &QPushButton::clicked, this, &TfrmBlocco::cmdOKClick);
    connect(cmdEsci, &QPushButton::clicked, this, &TfrmBlocco::cmdEsciClick);
    connect(cmdGuida, &QPushButton::clicked, this, &TfrmBlocco::cmdGuidaClick);
    setTabOrder(txtPassword, cmdOK);
    setTabOrder(cmdOK, cmdEsci);
    setTabOrder(cmdEsci, cmdGuida);
}

void TfrmBlocco::updateOK()
{
    const bool waiting = waitLine->waiting();
    cmdOK->setEnabled(!text::isBlank(txtPassword->text()) && !waiting);
}

bool TfrmBlocco::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == txtPassword && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            if (!text::isBlank(txtPassword->text()) && !waitLine->waiting())
                cmdOKClick();
            return true;
        }
    }
    return DialogScreen::eventFilter(watched, event);
}

void TfrmBlocco::FormShow()
{
    txtPassword->clear();
    updateOK();
    txtPassword->setFocus(Qt::OtherFocusReason);
    // A screen reader says why the screen changed, not only the field.
    QAccessibleEvent alert(lblBlocco, QAccessible::Alert);
    QAccessible::updateAccessibility(&alert);
}

void TfrmBlocco::cmdOKClick()
{
    if (waitLine->waiting())
        return;
    switch (password::check(m_ctx.services.appFolder, txtPassword->text())) {
    case password::Check::InUse:
        m_ctx.services.plain(this, kPasswordInUse.toString());
        return;
    case password::Check::Unreadable:
        m_ctx.services.plain(this, kPasswordUnreadable.toString());
        return;
    case password::Check::Right:
        txtPassword->clear();
        waitLine->succeeded();
        if (IdleLock *lock = m_app.idleLock())
            lock->unlock();
        return;
    case password::Check::Wrong:
        break;
    }
    waitLine->failed();
    m_ctx.services.plain(this, u"Attenzione: password errata."_s);
    txtPassword->clear();
    txtPassword->setFocus(Qt::OtherFocusReason);
}

void TfrmBlocco::cmdEsciClick()
{
    // Anything but the start menu open means a card may hold unsaved edits.
    bool workOpen = false;
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (w != this && w->isVisible() && w != m_app.screens.frmAvvio && w != m_app.screens.frmPassword
            && (w->isWindow() && !(w->windowType() == Qt::Popup || w->windowType() == Qt::ToolTip)))
            workOpen = true;
    }
    if (workOpen
        && !m_ctx.services.confirmYes(this, u"Attenzione: le schede aperte potrebbero contenere modifiche non "
                                            u"ancora salvate, che chiudendo il programma andrebbero perse.\n\r\n\r"
                                            u"Chiudere comunque Clinora?"_s))
        return;
    m_app.endProgram();
}

void TfrmBlocco::cmdGuidaClick() { m_ctx.showHelp(this, help::TopicId::Privacy); }

void TfrmBlocco::closeEvent(QCloseEvent *event)
{
    // Only the password or "Esci" leave the lock.
    event->ignore();
}

void TfrmBlocco::reject()
{
    // Escape does not leave the lock either.
}

IdleLock::IdleLock(AppContext &app) : m_app(app)
{
    m_idle.setSingleShot(true);
    connect(&m_idle, &QTimer::timeout, this, &IdleLock::lock);
    qApp->installEventFilter(this);
}

IdleLock::~IdleLock()
{
    qApp->removeEventFilter(this);
    for (const QPointer<QWidget> &c : std::as_const(m_curtains))
        delete c.data();
}

void IdleLock::arm(int idleMs)
{
    m_idleMs = idleMs;
    if (m_idleMs > 0 && !m_locked)
        m_idle.start(m_idleMs);
    else
        m_idle.stop();
}

bool IdleLock::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::KeyPress: {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (!m_locked && key->key() == Qt::Key_L && key->modifiers() == Qt::ControlModifier) {
            lock();
            return true;
        }
        [[fallthrough]];
    }
    case QEvent::KeyRelease:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::TouchBegin:
    case QEvent::TabletPress:
        if (!m_locked && m_idleMs > 0)
            m_idle.start(m_idleMs);
        break;
    default: break;
    }
    return QObject::eventFilter(watched, event);
}

void IdleLock::lock()
{
    if (m_locked)
        return;
    m_locked = true;
    m_idle.stop();
    // A list or menu dropped open would stay above the lock.
    while (QWidget *popup = QApplication::activePopupWidget())
        popup->close();
    m_active = QApplication::activeWindow();
    m_focus = QApplication::focusWidget();
    if (!m_screen)
        m_screen = std::make_unique<TfrmBlocco>(m_app);
    // Every window stays as it is, edits and open dialogs included, under
    // a curtain that shows none of it.
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (w == m_screen.get() || !w->isVisible() || w->windowType() == Qt::ToolTip
            || w->windowType() == Qt::Popup)
            continue;
        m_curtains << new Curtain(w);
    }
    m_screen->show();
    m_screen->raise();
    m_screen->activateWindow();
}

void IdleLock::unlock()
{
    if (!m_locked)
        return;
    m_locked = false;
    m_screen->hide();
    for (const QPointer<QWidget> &c : std::as_const(m_curtains))
        delete c.data();
    m_curtains.clear();
    if (m_active) {
        m_active->raise();
        m_active->activateWindow();
    }
    if (m_focus)
        m_focus->setFocus(Qt::OtherFocusReason);
    if (m_idleMs > 0)
        m_idle.start(m_idleMs);
}

} // namespace clinora
