#pragma once

#include "app/LoginDelay.h"
#include "common/FileLock.h"

#include "common/ui/ScreenContext.h"
#include "common/ui/WaitCursor.h"

#include <functional>
#include <memory>
#include <optional>

class QWidget;

namespace clinora {

class TfrmPassword;
class TfrmAvvio;
class TfrmCambiaPassword;
class TfrmGuida;
class TfrmInfo;
class TfrmSplash;
class TfrmClienti;
class TfrmPartitaIva;
class TfrmCodFisc;
class TfrmAllegaCartella;
class TfrmCartella;
class TfrmExpClienti;
class TfrmRicontatta;
class TfrmTrovaClienti;
class TfrmMenuAnalisi;
class TfrmAnalisiCliniche;
class TfrmListaPresc;
class TfrmImportaPresc;
class TfrmCalendario;
class TfrmTrovaAnalisi;
class TfrmAllarmanti;
class TfrmExpAnalisi;
class TfrmStampaAnalisi;
class TfrmMenuRiepLavoro;
class TfrmRiepLavoro;
class IdleLock;

// The 25 screens, each created once at start in this order.
struct Screens {
    TfrmPassword *frmPassword = nullptr;
    TfrmAvvio *frmAvvio = nullptr;
    TfrmCambiaPassword *frmCambiaPassword = nullptr;
    TfrmGuida *frmGuida = nullptr;
    TfrmInfo *frmInfo = nullptr;
    TfrmSplash *frmSplash = nullptr;
    TfrmClienti *frmClienti = nullptr;
    TfrmPartitaIva *frmPartitaIva = nullptr;
    TfrmCodFisc *frmCodFisc = nullptr;
    TfrmAllegaCartella *frmAllegaCartella = nullptr;
    TfrmCartella *frmCartella = nullptr;
    TfrmExpClienti *frmExpClienti = nullptr;
    TfrmRicontatta *frmRicontatta = nullptr;
    TfrmTrovaClienti *frmTrovaClienti = nullptr;
    TfrmMenuAnalisi *frmMenuAnalisi = nullptr;
    TfrmAnalisiCliniche *frmAnalisiCliniche = nullptr;
    TfrmListaPresc *frmListaPresc = nullptr;
    TfrmImportaPresc *frmImportaPresc = nullptr;
    TfrmCalendario *frmCalendario = nullptr;
    TfrmTrovaAnalisi *frmTrovaAnalisi = nullptr;
    TfrmAllarmanti *frmAllarmanti = nullptr;
    TfrmExpAnalisi *frmExpAnalisi = nullptr;
    TfrmStampaAnalisi *frmStampaAnalisi = nullptr;
    TfrmMenuRiepLavoro *frmMenuRiepLavoro = nullptr;
    TfrmRiepLavoro *frmRiepLavoro = nullptr;
};

// The composition root: creates the 25 screens, wires what they offer each
// other, and is the context they all reach. Only the files of this folder
// name the screens' registry.
class AppContext : public ScreenContext {
public:
    explicit AppContext(Services &services);
    ~AppContext() override;

    // Creates the 25 screens in order; the login screen is the main window.
    void createScreens();
    // Every screen created at start, in creation order.
    QList<QWidget *> allScreens() const { return m_created; }

    // Shows the login screen, centred, with the focus in its entry.
    void start();

    void showStartMenu(QWidget *from) override;
    void showHelp(QWidget *owner, help::TopicId topic) override;

    // After the login: says once, over `parent`, that nothing can be saved
    // when the AppFolder takes no new files; the program then goes on.
    void warnIfAppFolderReadOnly(QWidget *parent);

    // After the login: says once, over `parent`, that other accounts of the
    // computer can reach the data folder or its archives, with how to close
    // it; not again at later logins once the user has said to leave it.
    void warnIfDataOpenToOthers(QWidget *parent);

    // The password was right: from now on the screens lock themselves after
    // a time without input, and at once with Ctrl+L.
    void loggedIn();
    IdleLock *idleLock() const { return m_idleLock.get(); }

    // How long the next password try must wait: one count for the login,
    // the change of password and the lock screen.
    LoginDelay loginDelay;

    // Ends the program.
    void endProgram();
    bool ended() const { return m_ended; }
    // What ending does; the program quits the event loop, tests record it.
    std::function<void()> onEnd;

    Screens screens;

private:
    // While a command waits for a data file that another computer has
    // locked, the wait cursor shows that the program is busy, not stuck.
    class LockWaitCursor : public lock::WaitObserver {
    public:
        void waitStarted() override;
        void waitEnded() override;

    private:
        std::optional<WaitCursor> m_wait;
    };

    QList<QWidget *> m_created;
    bool m_ended = false;
    LockWaitCursor m_lockWait;
    bool m_folderChecked = false;
    bool m_permissionsChecked = false;
    std::unique_ptr<IdleLock> m_idleLock;
};

} // namespace clinora
