#pragma once

#include "common/ui/Screen.h"

class QLineEdit;
class QPushButton;

namespace clinora {

class AppContext;

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

    void FormShow();
    void FormClose();
    void cmdOKClick();
    void cmdEsciClick();

protected:
    void showEvent(QShowEvent *event) override;
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
