#pragma once

#include "common/FileLock.h"

#include "common/ui/FindInList.h"
#include "common/ui/Services.h"

#include <QDialog>
#include <QPointer>

#include <functional>

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

// What every screen reaches: the platform seams and the other screens.
class AppContext {
public:
    explicit AppContext(Services &services);
    ~AppContext();
    AppContext(const AppContext &) = delete;
    AppContext &operator=(const AppContext &) = delete;

    // Creates the 25 screens in order; the login screen is the main window.
    void createScreens();
    // Every screen created at start, in creation order.
    QList<QWidget *> allScreens() const { return m_created; }

    // Shows the login screen, centred, with the focus in its entry.
    void start();

    // Switch: show `to`, then hide `from`.
    void switchTo(QWidget *from, QWidget *to);
    // Back to the start menu from a working area.
    void showStartMenu(QWidget *from);

    // Opens a dialog: a fresh instance owned by `owner`, set up by `setup`,
    // shown modally, destroyed when it closes.
    template <class Dialog, class Setup>
    int openDialog(QWidget *owner, Setup &&setup)
    {
        Dialog dialog(*this, owner);
        setup(dialog);
        return services.dialogs->exec(&dialog);
    }
    template <class Dialog>
    int openDialog(QWidget *owner)
    {
        return openDialog<Dialog>(owner, [](Dialog &) {});
    }

    // After the login: says once, over `parent`, that nothing can be saved
    // when the AppFolder takes no new files; the program then goes on.
    void warnIfAppFolderReadOnly(QWidget *parent);

    // Ends the program.
    void endProgram();
    bool ended() const { return m_ended; }
    // What ending does; the program quits the event loop, tests record it.
    std::function<void()> onEnd;

    Services &services;
    Screens screens;
    // The last find key of each kind of list screen, for this run.
    FindKeys findKeys;

private:
    // While a command waits for a data file that another computer has
    // locked, the wait cursor shows that the program is busy, not stuck.
    class LockWaitCursor : public lock::WaitObserver {
    public:
        void waitStarted() override;
        void waitEnded() override;
    };

    QList<QWidget *> m_created;
    bool m_ended = false;
    LockWaitCursor m_lockWait;
    bool m_folderChecked = false;
};

} // namespace clinora
