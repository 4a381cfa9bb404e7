#include "app/ui/AppContext.h"

#include "analyses/ui/Allarmanti.h"
#include "analyses/ui/AnalisiCliniche.h"
#include "analyses/ui/Calendario.h"
#include "analyses/ui/ExpAnalisi.h"
#include "analyses/ui/ImportaPresc.h"
#include "analyses/ui/ListaPresc.h"
#include "analyses/ui/MenuAnalisi.h"
#include "analyses/ui/StampaAnalisi.h"
#include "analyses/ui/TrovaAnalisi.h"
#include "app/Privacy.h"
#include "app/ui/Avvio.h"
#include "app/ui/BackupCommand.h"
#include "app/ui/Blocco.h"
#include "app/ui/CambiaPassword.h"
#include "app/ui/Guida.h"
#include "app/ui/Info.h"
#include "app/ui/Password.h"
#include "checks/ui/CodFisc.h"
#include "checks/ui/PartitaIVA.h"
#include "patients/ui/AllegaCartella.h"
#include "patients/ui/Cartella.h"
#include "patients/ui/Clienti.h"
#include "patients/ui/ExpClienti.h"
#include "patients/ui/Ricontatta.h"
#include "patients/ui/TrovaClienti.h"
#include "summary/ui/MenuRiepLavoro.h"
#include "summary/ui/RiepLavoro.h"

#include "common/FileIo.h"
#include "common/ui/Accessibility.h"

#include <QCoreApplication>
#include <QDir>

namespace clinora {

AppContext::AppContext(Services &s)
    : ScreenContext(s), loginDelay(s.appFolder), onEnd([] { QCoreApplication::quit(); })
{
    access::install();
    lock::setWaitObserver(&m_lockWait);
}

void AppContext::LockWaitCursor::waitStarted() { m_wait.emplace(); }

void AppContext::LockWaitCursor::waitEnded() { m_wait.reset(); }

AppContext::~AppContext()
{
    m_idleLock.reset();
    lock::setWaitObserver(nullptr);
    // Later screens may refer to earlier ones: destroy in reverse order.
    while (!m_created.isEmpty())
        delete m_created.takeLast();
}

void AppContext::createScreens()
{
    auto make = [this](auto *&slot) {
        using T = std::remove_pointer_t<std::remove_reference_t<decltype(slot)>>;
        slot = new T(*this);
        m_created.append(slot);
    };
    Screens &s = screens;
    make(s.frmPassword);
    make(s.frmAvvio);
    make(s.frmCambiaPassword);
    make(s.frmGuida);
    make(s.frmInfo);
    make(s.frmSplash);
    make(s.frmClienti);
    make(s.frmPartitaIva);
    make(s.frmCodFisc);
    make(s.frmAllegaCartella);
    make(s.frmCartella);
    make(s.frmExpClienti);
    make(s.frmRicontatta);
    make(s.frmTrovaClienti);
    make(s.frmMenuAnalisi);
    make(s.frmAnalisiCliniche);
    make(s.frmListaPresc);
    make(s.frmImportaPresc);
    make(s.frmCalendario);
    make(s.frmTrovaAnalisi);
    make(s.frmAllarmanti);
    make(s.frmExpAnalisi);
    make(s.frmStampaAnalisi);
    make(s.frmMenuRiepLavoro);
    make(s.frmRiepLavoro);
}

void AppContext::warnIfAppFolderReadOnly(QWidget *parent)
{
    if (m_folderChecked)
        return;
    m_folderChecked = true;
    if (io::canCreateFilesIn(services.appFolder))
        return;
    services.warning(parent,
                     QStringLiteral("Attenzione: la cartella del programma non permette la scrittura:\n\r\n\r")
                         + QDir::toNativeSeparators(services.appFolder)
                         + QStringLiteral("\n\r\n\rLe schede non possono essere salvate in questa cartella. "
                                          "Accertarsi di possedere i privilegi di scrittura nella cartella (in "
                                          "rete, anche sulla cartella condivisa) e che la chiavetta non sia "
                                          "protetta da scrittura."));
}

void AppContext::warnIfDataOpenToOthers(QWidget *parent)
{
    if (m_permissionsChecked)
        return;
    m_permissionsChecked = true;
    privacy::Settings settings = privacy::Settings::load(services.appFolder);
    if (!settings.warnPermissions)
        return;
    const QStringList exposed = privacy::exposedItems(services.appFolder);
    if (exposed.isEmpty())
        return;
    const QString folder = QDir::toNativeSeparators(services.appFolder);
    QString what;
    if (exposed.first() == services.appFolder)
        what = QStringLiteral("la cartella stessa");
    if (const qsizetype files = exposed.size() - (exposed.first() == services.appFolder ? 1 : 0); files > 0) {
        if (!what.isEmpty())
            what += QStringLiteral(" e ");
        what += files == 1 ? QStringLiteral("1 archivio") : QStringLiteral("%1 archivi").arg(files);
    }
    const bool again = services.messages->show(
                           parent, MsgKind::Confirmation,
                           QStringLiteral("Attenzione: i dati dei pazienti sono accessibili agli altri utenti di "
                                          "questo computer (%1) nella cartella:\n\r\n\r")
                                   .arg(what)
                               + folder
                               + QStringLiteral("\n\r\n\rPer riservarli a chi usa Clinora, chiudere il programma e "
                                                "da un terminale eseguire:\n\r\n\rchmod -R o-rwx \"")
                               + folder
                               + QStringLiteral("\"\n\r\n\rPer due postazioni o due utenti, dare l'accesso a un "
                                                "gruppo come spiega la guida (\"Riservatezza dei dati e blocco "
                                                "dello schermo.\").\n\r\n\rRipetere questo avviso ai prossimi "
                                                "accessi?"))
                       != MsgAnswer::No;
    if (!again) {
        settings.warnPermissions = false;
        (void)settings.save(services.appFolder);
    }
}

void AppContext::loggedIn()
{
    if (!m_idleLock)
        m_idleLock = std::make_unique<IdleLock>(*this);
    m_idleLock->arm(privacy::Settings::load(services.appFolder).lockMinutes * 60 * 1000);
}

void AppContext::start()
{
    screens.frmPassword->show();
    screens.frmPassword->activateWindow();
    // A restore cut short by a crash leaves the data half swapped (the
    // password file among them): put right before anyone logs in.
    backupui::finishInterruptedRestore(*this, screens.frmPassword);
}

void AppContext::showStartMenu(QWidget *from) { switchTo(from, screens.frmAvvio); }

void AppContext::showHelp(QWidget *owner, help::TopicId topic) { TfrmGuida::showTopic(*this, owner, topic); }

void AppContext::endProgram()
{
    m_ended = true;
    if (onEnd)
        onEnd();
}

} // namespace clinora
