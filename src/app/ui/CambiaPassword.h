#pragma once

#include "common/ui/Screen.h"

class QLineEdit;
class QPushButton;

namespace clinora {

class AppContext;
class LoginWait;

// Replaces the stored password after checking the old one. Shown and hidden
// like a working area; any close returns to the login screen.
class TfrmCambiaPassword : public DialogScreen {
    Q_OBJECT
public:
    explicit TfrmCambiaPassword(AppContext &ctx, QWidget *parent = nullptr);

    QLineEdit *txtPasswordOld;
    QLineEdit *txtPasswordNew;
    QLineEdit *txtConferma;
    QPushButton *cmdOK;
    QPushButton *cmdEsci;
    // After a wrong old password: how long the next try must wait.
    LoginWait *waitLine;

    void FormShow() override;
    void FormClose();
    void cmdOKClick();
    void cmdEsciClick();

protected:
    void closeEvent(QCloseEvent *event) override;
    void reject() override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void updateOK();
    void failed();

private:
    // The start menu and the login lead to the other screens by name.
    AppContext &m_app;
};

} // namespace clinora
