#pragma once

#include "common/ui/Screen.h"

class QLineEdit;
class QPushButton;
class QLabel;

namespace clinora {

class AppContext;
class LoginWait;

// The login screen, the program's main window.
class TfrmPassword : public DialogScreen {
    Q_OBJECT
public:
    explicit TfrmPassword(AppContext &ctx, QWidget *parent = nullptr);

    QLineEdit *txtPassword;
    QPushButton *cmdOK;
    QPushButton *cmdEsci;
    QPushButton *btnCambiaPassword;
    // After a wrong password: how long the next try must wait.
    LoginWait *waitLine;

    void FormShow() override;
    void cmdOKClick();
    void cmdEsciClick();
    void btnCambiaPasswordClick();

protected:
    void closeEvent(QCloseEvent *event) override;
    void reject() override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void updateOK();

private:
    // The start menu and the login lead to the other screens by name.
    AppContext &m_app;
};

// Draws the gradient board with the logo that both password screens show.
void paintPasswordBoard(QPainter &p, const QRectF &board, const QRectF &logo);

} // namespace clinora
