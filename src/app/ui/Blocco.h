#pragma once

#include "common/ui/Screen.h"

#include <QList>
#include <QPointer>
#include <QTimer>

#include <memory>

class QLabel;
class QLineEdit;
class QPushButton;

namespace clinora {

class AppContext;
class LoginWait;

// The lock screen: over every window of the program once it has been left
// without keyboard or mouse for a while (or at Ctrl+L), until the password
// is typed again. Nothing under it is closed or changed.
class TfrmBlocco : public DialogScreen {
    Q_OBJECT
public:
    explicit TfrmBlocco(AppContext &ctx, QWidget *parent = nullptr);

    QLabel *lblBlocco;
    QLineEdit *txtPassword;
    QPushButton *cmdOK;
    QPushButton *cmdEsci;
    QPushButton *cmdGuida;
    LoginWait *waitLine;

    void FormShow() override;
    void cmdOKClick();
    void cmdEsciClick();
    void cmdGuidaClick();

protected:
    void closeEvent(QCloseEvent *event) override;
    void reject() override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void updateOK();

    AppContext &m_app;
};

// Watches the keyboard and the mouse of the whole program once the user has
// logged in, and locks the screens after `idle` without either, or at once
// at Ctrl+L.
class IdleLock : public QObject {
    Q_OBJECT
public:
    explicit IdleLock(AppContext &app);
    ~IdleLock() override;

    // Starts watching; `idleMs` 0 locks only at Ctrl+L.
    void arm(int idleMs);
    int idleMs() const { return m_idleMs; }

    // Covers every window and shows the lock screen.
    void lock();
    // Back to exactly where the user was: the window, the field, the text.
    void unlock();
    bool locked() const { return m_locked; }
    TfrmBlocco *screen() const { return m_screen.get(); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    AppContext &m_app;
    QTimer m_idle;
    int m_idleMs = 0;
    bool m_locked = false;
    std::unique_ptr<TfrmBlocco> m_screen;
    QList<QPointer<QWidget>> m_curtains;
    QPointer<QWidget> m_active;
    QPointer<QWidget> m_focus;
};

} // namespace clinora
