#include "app/ui/CambiaPassword.h"

#include "app/Crypt.h"
#include "app/PasswordStore.h"
#include "app/ui/AppContext.h"
#include "app/ui/LoginWait.h"
#include "app/ui/Password.h"
#include "common/Text.h"
#include "common/ui/Behaviours.h"
#include "common/ui/Controls.h"
#include "common/ui/Widgets.h"

#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace clinora {

TfrmCambiaPassword::TfrmCambiaPassword(AppContext &ctx, QWidget *parent)
    : DialogScreen(ctx, parent, u" Cambia password"_s, QSize(411, 418)), m_app(ctx)
{
    setObjectName(u"frmCambiaPassword"_s);
    formShowOnEveryShowing();
    setModal(false);

    auto *board = new Picture(this, u"panBoard"_s, [](QPainter &p, const QRectF &r) {
        paintPasswordBoard(p, r, QRectF(12, 8, 353, 148));
    });
    board->setGeometry(17, 10, 377, 348);

    const QFont captionFont = designFont(u"Verdana"_s, 10, true);
    const QFont entryFont = designFont(u"Verdana"_s, 14, true);
    struct Row {
        QLineEdit **edit;
        const char16_t *name;
        const char16_t *eff;
        const char16_t *caption;
    };
    const Row rows[] = {
        {&txtPasswordOld, u"txtPasswordOld", u"effPasswordOld", u"Vecchia password:"},
        {&txtPasswordNew, u"txtPasswordNew", u"effPasswordNew", u"Nuova password:"},
        {&txtConferma, u"txtConferma", u"effConferma", u"Conferma nuova password:"},
    };
    int y = 162;
    for (const Row &row : rows) {
        QLineEdit *e = makeInput(board, QString::fromUtf16(row.name), QRect(12, y + 20, 353, 34));
        e->setEchoMode(QLineEdit::Password);
        e->setFont(entryFont);
        QLabel *l = captionFor(board, e, QString::fromUtf16(row.caption), captionFont);
        l->setGeometry(12, y, 353, 18);
        FocusHighlight::attach(e, QString::fromUtf16(row.eff));
        connect(e, &QLineEdit::textChanged, this, &TfrmCambiaPassword::updateOK);
        e->installEventFilter(this);
        *row.edit = e;
        y += 60;
    }
    enterRing({txtPasswordOld, txtPasswordNew, txtConferma});

    cmdEsci = makeButton(this, u"cmdEsci"_s, u"Chiudi"_s, QRect(25, 372, 146, 32));
    cmdOK = makeButton(this, u"cmdOK"_s, u"OK"_s, QRect(240, 372, 146, 32));
    for (QPushButton *b : {cmdEsci, cmdOK})
        b->setFont(captionFont);
    cmdOK->setEnabled(false);
    // Under the last entry, over the board's lower edge.
    waitLine = new LoginWait(ctx, this, QRect(25, 350, 361, 20), [this] { updateOK(); });
    waitLine->label()->setFont(designFont(u"Verdana"_s, 8, true));
    connect(cmdOK, &QPushButton::clicked, this, &TfrmCambiaPassword::cmdOKClick);
    connect(cmdEsci, &QPushButton::clicked, this, &TfrmCambiaPassword::cmdEsciClick);
}

bool TfrmCambiaPassword::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyRelease)
        updateOK();
    return DialogScreen::eventFilter(watched, event);
}

void TfrmCambiaPassword::updateOK()
{
    const bool waiting = waitLine->waiting();
    cmdOK->setEnabled(!text::isBlank(txtPasswordOld->text()) && !text::isBlank(txtPasswordNew->text())
                      && !text::isBlank(txtConferma->text()) && !waiting);
}

void TfrmCambiaPassword::FormShow()
{
    txtPasswordOld->clear();
    txtPasswordNew->clear();
    txtConferma->clear();
    updateOK();
    txtPasswordOld->setFocus(Qt::OtherFocusReason);
}

void TfrmCambiaPassword::failed()
{
    m_ctx.services.plain(this, u"Attenzione: si è verificato un errore durante la procedura di modifica della "
                               u"password. Si consiglia di reinstallare il software."_s);
}

void TfrmCambiaPassword::cmdOKClick()
{
    // The old password is guessed no faster here than at the login.
    if (waitLine->waiting())
        return;
    switch (password::check(m_ctx.services.appFolder, txtPasswordOld->text())) {
    case password::Check::InUse:
        m_ctx.services.plain(this, kPasswordInUse.toString());
        return;
    case password::Check::Unreadable:
        failed();
        return;
    case password::Check::Wrong:
        waitLine->failed();
        m_ctx.services.plain(this, u"Attenzione: vecchia password errata."_s);
        txtPasswordOld->clear();
        txtPasswordOld->setFocus(Qt::OtherFocusReason);
        return;
    case password::Check::Right:
        break;
    }
    waitLine->succeeded();
    if (text::trimmed(txtPasswordNew->text()) != text::trimmed(txtConferma->text())) {
        m_ctx.services.plain(this, u"Attenzione: la nuova password non è stata confermata correttamente. E' "
                                   u"necessario reinserire entrambi i valori."_s);
        txtPasswordNew->clear();
        txtConferma->clear();
        txtPasswordNew->setFocus(Qt::OtherFocusReason);
        return;
    }
    const QString newPassword = password::normalized(txtPasswordNew->text());
    // Scrambling keeps only 255 characters of up to code 255 each: anything
    // else would be stored damaged and lock everybody out.
    if (!password::storable(newPassword)) {
        m_ctx.services.plain(this, u"Attenzione: la nuova password può contenere al massimo 255 caratteri e "
                                   u"non può contenere simboli speciali come €. E' necessario reinserire "
                                   u"entrambi i valori."_s);
        txtPasswordNew->clear();
        txtConferma->clear();
        txtPasswordNew->setFocus(Qt::OtherFocusReason);
        return;
    }
    if (!PasswordStore(m_ctx.services.appFolder).writeStoredValue(Crypt::Scramble(newPassword))) {
        failed();
        return;
    }
    m_ctx.services.plain(this, u"Modifica della password completata con successo."_s);
    close();
}

void TfrmCambiaPassword::cmdEsciClick() { close(); }

void TfrmCambiaPassword::reject() { close(); }

void TfrmCambiaPassword::closeEvent(QCloseEvent *event)
{
    event->accept();
    FormClose();
}

void TfrmCambiaPassword::FormClose()
{
    TfrmPassword *login = m_app.screens.frmPassword;
    login->txtPassword->clear();
    m_ctx.switchTo(this, login);
    login->txtPassword->setFocus(Qt::OtherFocusReason);
}

} // namespace clinora
