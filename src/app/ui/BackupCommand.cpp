#include "app/ui/BackupCommand.h"

#include "app/ui/FraseSegreta.h"
#include "common/CommonSettings.h"
#include "common/FileIo.h"
#include "common/ui/ScreenContext.h"

#include <QDir>
#include <QFileInfo>
#include <QProgressDialog>

#include <memory>

using namespace Qt::StringLiterals;

namespace clinora::backupui {

namespace {

// Line breaks of the messages, as the program writes them.
const QString kBreak = u"\n\r"_s;
const QString kParagraph = u"\n\r\n\r"_s;

QString dateText(const QDateTime &t) { return t.toString(u"dd/MM/yyyy"_s); }
QString timeText(const QDateTime &t) { return t.toString(u"HH:mm"_s); }

QString nativePath(const QString &path) { return QDir::toNativeSeparators(path); }

// The one place where a long command shows how far it has gone: a progress
// window that appears only when the work lasts more than a moment, and
// whose "Annulla" stops it.
class ProgressShown {
public:
    ProgressShown(QWidget *owner, const QString &label)
        : m_dialog(std::make_unique<QProgressDialog>(label, u"Annulla"_s, 0, kSteps, owner))
    {
        m_dialog->setObjectName(u"dlgAvanzamento"_s);
        m_dialog->setWindowTitle(u" Clinora"_s);
        m_dialog->setWindowModality(Qt::WindowModal);
        m_dialog->setMinimumDuration(700);
        m_dialog->setAutoReset(false);
        m_dialog->setAutoClose(false);
        m_dialog->setAccessibleName(label);
        m_dialog->setValue(0);
    }
    ~ProgressShown() { m_dialog->close(); }

    void setLabel(const QString &label)
    {
        m_dialog->setLabelText(label);
        m_dialog->setAccessibleName(label);
    }

    backup::Progress function()
    {
        return [this](qint64 done, qint64 total) {
            const int step = total > 0 ? int(done * kSteps / total) : 0;
            if (step != m_dialog->value())
                m_dialog->setValue(qBound(0, step, kSteps));
            return !m_dialog->wasCanceled();
        };
    }

private:
    static constexpr int kSteps = 1000;
    std::unique_ptr<QProgressDialog> m_dialog;
};

QString backupFailureText(const backup::Result &r, const QString &folder)
{
    using backup::Failure;
    const QString head = u"Attenzione: il backup non è stato eseguito."_s + kParagraph;
    switch (r.failure) {
    case Failure::FolderMissing:
        return head + u"La cartella dei backup non è raggiungibile:"_s + kBreak + nativePath(folder);
    case Failure::DataUnreadable:
        return head + u"Non è stato possibile leggere il file:"_s + kBreak + nativePath(r.detail);
    case Failure::Locked:
        return head + u"L'archivio "_s + QFileInfo(r.detail).fileName()
               + u" è in uso su un'altra postazione. Riprovare tra qualche istante."_s;
    case Failure::VerifyFailed:
        return head + u"Il file scritto nella cartella"_s + kBreak + nativePath(folder) + kBreak
               + u"non corrisponde ai dati quando viene riletto: il disco o la chiavetta potrebbero essere "
                 u"danneggiati. Il file è stato eliminato."_s;
    case Failure::Cancelled:
        return u"Backup annullato: nessun file di backup è stato salvato."_s;
    default: {
        QString text = head + u"Non è stato possibile scrivere il file di backup nella cartella"_s + kBreak
                       + nativePath(folder) + kBreak
                       + u"Il disco potrebbe essere pieno oppure il disco esterno o la chiavetta potrebbero essere "
                         u"stati scollegati."_s;
        if (r.leftovers.isEmpty())
            return text + u" Nella cartella non è rimasto alcun file di backup incompleto."_s;
        text += u" Nella cartella sono rimasti questi file di backup incompleti, che non servono e si possono "
                u"eliminare:"_s;
        for (const QString &left : r.leftovers)
            text += kBreak + QFileInfo(left).fileName();
        return text;
    }
    }
}

// The passphrase of an encrypted backup, typed twice; empty when the user cancels.
QString newPassphrase(ScreenContext &ctx, QWidget *owner)
{
    QString typed;
    ctx.openDialog<TfrmFraseSegreta>(owner, [&](TfrmFraseSegreta &d) { d.askNew(&typed); });
    return typed;
}

QString askPassphrase(ScreenContext &ctx, QWidget *owner, const QString &zip)
{
    QString typed;
    ctx.openDialog<TfrmFraseSegreta>(owner, [&](TfrmFraseSegreta &d) {
        d.askExisting(u"Il backup"_s + kBreak + nativePath(zip) + kBreak
                          + u"è cifrato: scrivere la frase segreta scelta quando è stato eseguito."_s,
                      &typed);
    });
    return typed;
}

// The folder the backup goes to: the one remembered, confirmed; chosen the
// first time, when the user wants another, or when it cannot be reached.
QString backupFolder(ScreenContext &ctx, QWidget *owner, backup::Settings &settings)
{
    Services &s = ctx.services;
    const QString title = u"Scegli la cartella in cui salvare i backup"_s;
    bool choose = settings.folder.isEmpty();
    if (!choose && !QFileInfo(settings.folder).isDir()) {
        if (!s.confirm(owner, u"Attenzione: la cartella dei backup non è raggiungibile:"_s + kBreak
                                  + nativePath(settings.folder) + kParagraph
                                  + u"Se si trova su un disco esterno o su una chiavetta, collegarli e ripetere il "
                                    u"backup."_s
                                  + kParagraph + u"Scegliere un'altra cartella?"_s))
            return QString();
        choose = true;
    } else if (!choose) {
        choose = !s.confirm(owner, u"Il backup dei dati sarà salvato nella cartella:"_s + kBreak
                                       + nativePath(settings.folder) + kParagraph
                                       + u"Proseguire? Rispondere No per scegliere un'altra cartella."_s);
    }
    if (!choose)
        return settings.folder;
    const QString chosen = s.files->chooseFolder(owner, title, settings.folder);
    if (chosen.isEmpty())
        return QString();
    settings.folder = QDir::cleanPath(chosen);
    settings.save(s.appFolder); // remembered even if this backup fails
    return settings.folder;
}

} // namespace

QString sizeText(qint64 bytes)
{
    auto oneDecimal = [](double v, const QString &unit) -> QString {
        QString number = QString::number(v, 'f', 1);
        number.replace(u'.', settings::kDecimalSeparator);
        return number + u' ' + unit;
    };
    if (bytes < 1024)
        return QString::number(bytes) + u" byte"_s;
    if (bytes < 1024 * 1024)
        return oneDecimal(bytes / 1024.0, u"KB"_s);
    if (bytes < 1024LL * 1024 * 1024)
        return oneDecimal(bytes / (1024.0 * 1024), u"MB"_s);
    return oneDecimal(bytes / (1024.0 * 1024 * 1024), u"GB"_s);
}

QString reminderText(const backup::Settings &s, const QDateTime &now)
{
    if (!backup::reminderDue(s, now))
        return QString();
    if (!s.lastTime.isValid())
        return u"Non è ancora stato eseguito un backup verificato dei dati: si consiglia di farlo con il "
               u"pulsante BACKUP."_s;
    return u"L'ultimo backup verificato risale al "_s + dateText(s.lastTime) + u" ("_s
           + QString::number(s.lastTime.daysTo(now)) + u" giorni fa): si consiglia di farne uno nuovo."_s;
}

QString lastBackupText(const backup::Settings &s)
{
    if (!s.lastTime.isValid())
        return u"Nessun backup verificato dei dati è stato ancora eseguito."_s;
    return u"Ultimo backup verificato: "_s + dateText(s.lastTime) + u" alle ore "_s + timeText(s.lastTime)
           + u"\nnella cartella "_s + nativePath(QFileInfo(s.lastPath).absolutePath());
}

bool finishInterruptedRestore(ScreenContext &ctx, QWidget *owner)
{
    using Action = backup::Recovery::Action;
    Services &s = ctx.services;
    const backup::Recovery r = backup::recoverSwap(s.appFolder);
    const QString head = u"Un ripristino dei dati si era interrotto prima di finire"_s;
    QString kept;
    if (!r.keptFolder.isEmpty())
        kept = kParagraph + u"Alcuni file trovati al posto dei dati sono stati messi da parte, senza eliminarli, "
                            u"nella cartella:"_s
               + kBreak + nativePath(r.keptFolder);
    switch (r.action) {
    case Action::None:
        return true;
    case Action::Finished: {
        QString text = head + u" ed è stato completato ora: i dati sono quelli del backup del "_s
                       + dateText(r.backupCreated) + u" alle ore "_s + timeText(r.backupCreated) + u'.';
        if (r.passwordReplaced)
            text += kParagraph + u"La password è ora quella in uso alla data di quel backup."_s;
        s.info(owner, text + kept);
        return true;
    }
    case Action::RolledBack:
        s.info(owner, head + u": i dati sono stati rimessi come erano prima del ripristino."_s + kept);
        return true;
    case Action::Locked:
        s.error(owner, u"Attenzione: un ripristino dei dati si era interrotto prima di finire"_s
                           + u" e non può essere completato ora: l'archivio "_s + QFileInfo(r.detail).fileName()
                           + u" è in uso su un'altra postazione. Chiudere il programma sulle altre postazioni e "
                             u"riprovare tra qualche istante."_s);
        return false;
    case Action::Failed:
        break;
    }
    s.error(owner, u"Attenzione: un ripristino dei dati si era interrotto prima di finire"_s
                       + u" e non è stato possibile né completarlo né annullarlo. Non eliminare le cartelle "
                         u".Clinora-ripristino e .Clinora-ripristino-precedenti nella cartella del programma: "
                         u"contengono i dati. Il problema riguarda:"_s
                       + kBreak + nativePath(r.detail));
    return false;
}

bool makeBackup(ScreenContext &ctx, QWidget *owner, bool encrypted)
{
    Services &s = ctx.services;
    if (!finishInterruptedRestore(ctx, owner))
        return false;
    backup::Settings settings = backup::Settings::load(s.appFolder);
    const QString folder = backupFolder(ctx, owner, settings);
    if (folder.isEmpty())
        return false;
    QString passphrase;
    if (encrypted) {
        passphrase = newPassphrase(ctx, owner);
        if (passphrase.isEmpty())
            return false;
    }
    const QDateTime now = s.clock->now();
    backup::Result r;
    {
        ProgressShown progress(owner, u"Backup dei dati in corso..."_s);
        r = backup::create(s.appFolder, folder, now, progress.function(), QString(), passphrase);
    }
    if (!r.ok()) {
        if (r.failure == backup::Failure::Cancelled)
            s.info(owner, backupFailureText(r, folder));
        else
            s.error(owner, backupFailureText(r, folder));
        return false;
    }
    const QString facts = u"File: "_s + nativePath(r.path) + kBreak + u"Dimensione: "_s + sizeText(r.summary.zipBytes)
                          + kBreak + u"File salvati: "_s + QString::number(r.summary.files);
    if (!r.leftOut.isEmpty()) {
        // Written and verified, but not the whole data: not recorded as the last backup.
        QString text = u"Attenzione: il backup è stato scritto e verificato, ma non è completo. Questi elementi "
                       u"della cartella dei dati non sono stati salvati, perché non sono file o cartelle che si "
                       u"possano leggere (un collegamento che non porta a nulla o che gira in tondo, un file "
                       u"speciale):"_s;
        for (const QString &item : r.leftOut)
            text += kBreak + nativePath(item);
        s.warning(owner, text + kParagraph + facts);
        return false;
    }
    settings.lastTime = now;
    settings.lastPath = r.path;
    settings.lastBytes = r.summary.zipBytes;
    settings.lastFiles = r.summary.files;
    settings.save(s.appFolder);
    s.info(owner, (encrypted ? u"Backup cifrato completato e verificato."_s : u"Backup completato e verificato."_s)
                      + kParagraph + facts);
    return true;
}

bool restoreBackup(ScreenContext &ctx, QWidget *owner)
{
    Services &s = ctx.services;
    const QString zip = s.files->openFile(owner, u"Scegli il backup da ripristinare"_s,
                                          u"Backup di Clinora (Clinora-backup-*.zip);;Tutti i file (*)"_s);
    if (zip.isEmpty())
        return false;
    if (!finishInterruptedRestore(ctx, owner))
        return false;
    const QString unchanged = kParagraph + u"I dati attuali non sono stati modificati."_s;

    backup::Result seen;
    QString passphrase;
    for (;;) {
        {
            ProgressShown progress(owner, u"Verifica del backup in corso..."_s);
            seen = backup::inspect(zip, progress.function(), passphrase);
        }
        if (seen.failure != backup::Failure::PassphraseNeeded)
            break;
        passphrase = askPassphrase(ctx, owner, zip);
        if (passphrase.isEmpty()) {
            s.info(owner, u"Ripristino annullato."_s + unchanged);
            return false;
        }
    }
    if (seen.failure == backup::Failure::WrongPassphrase) {
        s.error(owner, u"Attenzione: la frase segreta non è quella di questo backup cifrato, che non è stato "
                       u"letto:"_s
                           + kBreak + nativePath(zip) + unchanged);
        return false;
    }
    if (seen.failure == backup::Failure::Cancelled) {
        s.info(owner, u"Ripristino annullato."_s + unchanged);
        return false;
    }
    if (!seen.ok()) {
        s.error(owner, u"Attenzione: il file scelto non è un backup di Clinora oppure è danneggiato, e non può "
                       u"essere ripristinato:"_s
                           + kBreak + nativePath(zip) + unchanged);
        return false;
    }
    const backup::Summary &b = seen.summary;
    const bool newPassword = backup::changesPassword(seen, s.appFolder);
    const QString passwordNote =
        newPassword ? kParagraph + u"Attenzione: la password di accesso cambierà e sarà quella in uso alla data del "
                                   u"backup."_s
                    : QString();
    if (!s.confirm(owner, u"Ripristinare il backup del "_s + dateText(b.created) + u" alle ore "_s
                              + timeText(b.created) + u'?' + kParagraph + u"Il backup contiene "_s
                              + QString::number(b.patients) + u" pazienti, "_s
                              + QString::number(b.analysisArchives) + u" archivi di analisi e "_s
                              + QString::number(b.files) + u" file in tutto ("_s + sizeText(b.dataBytes)
                              + u")."_s + kParagraph
                              + u"I dati attuali saranno prima salvati in un backup a parte, poi sostituiti "
                                u"interamente da quelli del backup. Prima di proseguire chiudere il programma "
                                u"sulle altre postazioni."_s
                              + passwordNote))
        return false;

    // The current data first, into a backup of their own.
    const backup::Settings settings = backup::Settings::load(s.appFolder);
    const QString asideFolder =
        QFileInfo(settings.folder).isDir() ? settings.folder : QFileInfo(zip).absolutePath();
    ProgressShown progress(owner, u"Backup dei dati attuali in corso..."_s);
    // Encrypted like the backup restored: the current data are no less private.
    const backup::Result aside = backup::create(s.appFolder, asideFolder, s.clock->now(), progress.function(),
                                                u"-prima-del-ripristino"_s, passphrase);
    if (!aside.ok()) {
        progress.setLabel(QString());
        s.error(owner, u"Attenzione: il ripristino non è stato eseguito, perché non è stato possibile salvare "
                       u"prima i dati attuali in un backup."_s
                           + kParagraph + backupFailureText(aside, asideFolder) + unchanged);
        return false;
    }
    progress.setLabel(u"Ripristino dei dati in corso..."_s);
    const backup::Result r = backup::restore(zip, s.appFolder, progress.function(), &aside.entries, passphrase);
    const QString asideText = u"I dati precedenti sono salvati nel backup:"_s + kBreak + nativePath(aside.path);
    switch (r.failure) {
    case backup::Failure::None:
        s.info(owner, u"Ripristino completato: i dati sono ora quelli del backup del "_s + dateText(b.created)
                          + u" alle ore "_s + timeText(b.created) + u'.'
                          + (newPassword ? kParagraph + u"La password di accesso è ora quella in uso alla data del "
                                                        u"backup."_s
                                         : QString())
                          + kParagraph + asideText);
        return true;
    case backup::Failure::RollbackFailed:
        s.error(owner, u"Attenzione: il ripristino si è interrotto a metà e non è stato possibile rimettere a "
                       u"posto i dati attuali, che si trovano nella cartella:"_s
                           + kBreak + nativePath(r.detail) + kParagraph + asideText);
        return false;
    case backup::Failure::Cancelled:
        s.info(owner, u"Ripristino annullato."_s + unchanged + kParagraph + asideText);
        return false;
    case backup::Failure::Changed:
        // That backup no longer holds the current data: not left to be taken for them.
        io::removeFile(aside.path);
        s.error(owner, u"Attenzione: il ripristino non è stato eseguito, perché nel frattempo i dati sono stati "
                       u"modificati su un'altra postazione. Chiudere il programma sulle altre postazioni e "
                       u"riprovare."_s
                           + unchanged);
        return false;
    case backup::Failure::Locked:
        s.error(owner, u"Attenzione: il ripristino non è stato eseguito: l'archivio "_s + QFileInfo(r.detail).fileName()
                           + u" è in uso su un'altra postazione. Riprovare tra qualche istante."_s + unchanged
                           + kParagraph + asideText);
        return false;
    case backup::Failure::NotABackup:
    case backup::Failure::Damaged:
    case backup::Failure::UnsafeName:
        s.error(owner, u"Attenzione: il file di backup non si legge più per intero e non può essere ripristinato:"_s
                           + kBreak + nativePath(zip) + unchanged + kParagraph + asideText);
        return false;
    default:
        s.error(owner, u"Attenzione: il ripristino non è riuscito: non è stato possibile scrivere nella cartella "
                       u"del programma."_s
                           + unchanged + kParagraph + asideText);
        return false;
    }
}

} // namespace clinora::backupui
