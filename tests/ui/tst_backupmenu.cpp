// The start menu's backup and restore commands, the reminder line and the
// information screen's note, through the fake platform seams.
#include "app/Backup.h"
#include "app/ui/Avvio.h"
#include "app/PasswordStore.h"
#include "app/ui/BackupCommand.h"
#include "app/ui/FraseSegreta.h"
#include "app/ui/Password.h"
#include "app/ui/Guida.h"
#include "app/ui/Info.h"
#include "common/FileIo.h"
#include "common/FileLock.h"
#include "common/HelpTexts.h"
#include "common/ui/Widgets.h"
#include "patients/PatientRecord.h"
#include "share/LockHolder.h"
#include "support/FileTools.h"
#include "support/TestApp.h"
#include "support/WaitSpy.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QThread>

#include <chrono>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif
#include <functional>

using namespace Qt::StringLiterals;
using namespace clinora;
using namespace clinora::test;

namespace {

QByteArray patients(int count, char fill) { return QByteArray(count * PatientRecord::kSize, fill); }

// A small practice in the program's folder, and a stick beside it.
struct Practice {
    TestApp app;
    QTemporaryDir stick;
    TfrmAvvio *menu = nullptr;

    Practice()
    {
        writeFile(app.path(u"Pazienti.pro"_s), patients(3, 'a'));
        writeFile(app.path(u"Analisi_Cliniche/Paziente_CF_RSSMRA80A01H501U.asl"_s), QByteArray(2498, 'r'));
        writeFile(app.path(u"Documenti_Allegati/referto.pdf"_s), "%PDF referto");
        writeFile(app.path(u"Guida.pdf"_s), "%PDF guida");
        menu = app.ctx->screens.frmAvvio;
        app.ctx->switchTo(nullptr, menu);
    }
    QStringList backups() const { return QDir(stick.path()).entryList(QDir::Files | QDir::Hidden); }
    // The first backup, into the stick, its messages taken; its path.
    QString firstBackup()
    {
        app.files->answers.push_back(stick.path());
        click(menu->btnBackup);
        app.messages->take();
        return stick.path() + u"/Clinora-backup-2026-12-10-1030.zip"_s;
    }
};

// A slow disk under the data folder: every read of a data file takes a
// while, and `during` is called before each, as the user's hand would act
// meanwhile.
class SlowReads : public io::FaultHook {
public:
    SlowReads(QString folder, std::function<void()> during) : m_folder(std::move(folder)), m_during(std::move(during))
    {
        io::setFaultHook(this);
    }
    ~SlowReads() override { io::setFaultHook(nullptr); }
    bool shouldFail(io::Op op, const QString &path) override
    {
        if (op == io::Op::Read && path.startsWith(m_folder)) {
            ++reads;
            m_during();
            QThread::msleep(250);
        }
        return false;
    }
    int reads = 0;

private:
    QString m_folder;
    std::function<void()> m_during;
};


} // namespace

class TestBackupMenu : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { io::setFaultHook(nullptr); }

    void commandsOnTheStartMenu()
    {
        Practice p;
        QCOMPARE(p.menu->btnBackup->objectName(), u"btnBackup"_s);
        QCOMPARE(p.menu->btnBackup->accessibleName(), u"BACKUP"_s);
        QCOMPARE(p.menu->btnRipristino->accessibleName(), u"RIPRISTINO"_s);
        QVERIFY(!p.menu->btnBackup->toolTip().isEmpty());
        QVERIFY(!p.menu->btnRipristino->toolTip().isEmpty());
        QVERIFY(p.menu->btnBackup->isVisible());

        p.app.dialogs->next<TfrmGuida>([](TfrmGuida &g) {
            QCOMPARE(g.lblTitolo->text(), u"Backup e ripristino dei dati."_s);
            QCOMPARE(g.txtGuida->toPlainText(), help::topic(help::TopicId::Backup).text.replace(u"\r\n"_s, u"\n"_s));
        });
        click(p.menu->imgGuidaBackup);
        QCOMPARE(p.app.dialogs->opened, QStringList{u"frmGuida"_s});
    }

    // The first backup asks for the folder; the next ones name it and go
    // there; the reminder goes away and comes back after seven days.
    void backupRemembersFolderAndReminds()
    {
        Practice p;
        QVERIFY(p.menu->lblPromemoria->isVisible());
        QVERIFY(p.menu->lblPromemoria->text().startsWith(u"Non è ancora stato eseguito un backup verificato"_s));

        p.app.files->answers.push_back(p.stick.path());
        click(p.menu->btnBackup);
        QCOMPARE(p.app.files->requests.size(), 1);
        QCOMPARE(p.app.files->requests[0].title, u"Scegli la cartella in cui salvare i backup"_s);
        QCOMPARE(p.app.messages->shown.size(), 1);
        QCOMPARE(p.app.messages->shown[0].kind, MsgKind::Information);
        const QString zip = p.stick.path() + u"/Clinora-backup-2026-12-10-1030.zip"_s;
        QCOMPARE(p.app.messages->take(),
                 QStringList{u"Backup completato e verificato.\n\r\n\rFile: "_s + QDir::toNativeSeparators(zip)
                             + u"\n\rDimensione: "_s + backupui::sizeText(QFileInfo(zip).size())
                             + u"\n\rFile salvati: 3"_s});
        QCOMPARE(p.backups(), QStringList{QFileInfo(zip).fileName()});
        QVERIFY(!p.menu->lblPromemoria->isVisible());
        const backup::Settings s = backup::Settings::load(p.app.folder());
        QCOMPARE(s.folder, p.stick.path());
        QCOMPARE(s.lastTime, p.app.clock->at);
        QCOMPARE(s.lastPath, zip);

        p.app.dialogs->next<TfrmInfo>([&](TfrmInfo &i) {
            QCOMPARE(i.lblBackup->text(), u"Ultimo backup verificato: 10/12/2026 alle ore 10:30\nnella cartella "_s
                                              + QDir::toNativeSeparators(p.stick.path()));
        });
        click(p.menu->imgInfo);

        // The next one: the folder is named, Yes goes on, nothing is chosen.
        p.app.clock->at = p.app.clock->at.addDays(8);
        click(p.menu->btnBackup);
        QCOMPARE(p.app.files->requests.size(), 1);
        const QStringList shown = p.app.messages->take();
        QCOMPARE(shown.size(), 2);
        QCOMPARE(shown[0], u"Il backup dei dati sarà salvato nella cartella:\n\r"_s
                               + QDir::toNativeSeparators(p.stick.path())
                               + u"\n\r\n\rProseguire? Rispondere No per scegliere un'altra cartella."_s);
        QVERIFY(shown[1].startsWith(u"Backup completato e verificato."_s));
        QCOMPARE(p.backups().size(), 2);

        // Eight days later the start menu, shown again, reminds.
        p.app.clock->at = p.app.clock->at.addDays(8);
        p.app.ctx->switchTo(p.menu, p.app.ctx->allScreens().at(6));
        p.app.ctx->switchTo(p.app.ctx->allScreens().at(6), p.menu);
        QVERIFY(p.menu->lblPromemoria->isVisible());
        QCOMPARE(p.menu->lblPromemoria->text(), u"L'ultimo backup verificato risale al 18/12/2026 (8 giorni fa): si "
                                                u"consiglia di farne uno nuovo."_s);
    }

    // No to the named folder chooses another; a folder that is gone is said
    // so, and No there stops.
    void anotherOrMissingFolder()
    {
        Practice p;
        QTemporaryDir other;
        backup::Settings s;
        s.folder = p.stick.path();
        QVERIFY(s.save(p.app.folder()));
        p.app.messages->answers = {MsgAnswer::No};
        p.app.files->answers.push_back(other.path());
        click(p.menu->btnBackup);
        QCOMPARE(p.app.files->requests.size(), 1);
        QCOMPARE(p.app.files->requests[0].suggestedName, p.stick.path()); // starts from the old one
        QCOMPARE(QDir(other.path()).entryList(QDir::Files).size(), 1);
        QCOMPARE(p.backups(), QStringList());
        QCOMPARE(backup::Settings::load(p.app.folder()).folder, other.path());
        p.app.messages->take();

        QVERIFY(QDir(other.path()).removeRecursively());
        p.app.messages->answers = {MsgAnswer::No};
        click(p.menu->btnBackup);
        const QStringList shown = p.app.messages->take();
        QCOMPARE(shown.size(), 1);
        QVERIFY(shown[0].startsWith(u"Attenzione: la cartella dei backup non è raggiungibile:\n\r"_s
                                    + QDir::toNativeSeparators(other.path())));
        QCOMPARE(p.app.files->requests.size(), 1);
    }

    // A disk that fails: said plainly, nothing left that passes for a
    // backup, and the reminder stays.
    void failingDiskSaidPlainly()
    {
        Practice p;
        p.app.files->answers.push_back(p.stick.path());
        {
            FailOp full(io::Op::Write, p.stick.path());
            click(p.menu->btnBackup);
        }
        QCOMPARE(p.app.messages->shown.size(), 1);
        QCOMPARE(p.app.messages->shown[0].kind, MsgKind::Error);
        QCOMPARE(p.app.messages->take(),
                 QStringList{u"Attenzione: il backup non è stato eseguito.\n\r\n\rNon è stato possibile scrivere il file "
                             u"di backup nella cartella\n\r"_s
                             + QDir::toNativeSeparators(p.stick.path())
                             + u"\n\rIl disco potrebbe essere pieno oppure il disco esterno o la chiavetta potrebbero "
                               u"essere stati scollegati. Nella cartella non è rimasto alcun file di backup "
                               u"incompleto."_s});
        QCOMPARE(p.backups(), QStringList());
        QVERIFY(!backup::Settings::load(p.app.folder()).lastTime.isValid());
        QVERIFY(p.menu->lblPromemoria->isVisible());
    }

    // Restore: the backup is named in the question, the current data go
    // into a backup of their own first, then the data are replaced.
    void restoreAfterConfirmation()
    {
        Practice p;
        const QString zip = p.firstBackup();

        // Later the data change, and the user goes back to the backup.
        writeFile(p.app.path(u"Pazienti.pro"_s), patients(5, 'b'));
        writeFile(p.app.path(u"Paziente_4/nuovo.txt"_s), "dopo il backup");
        p.app.clock->at = p.app.clock->at.addDays(2);
        p.app.files->answers.push_back(zip);
        click(p.menu->btnRipristino);
        const QStringList shown = p.app.messages->take();
        QCOMPARE(shown.size(), 2);
        QCOMPARE(shown[0], u"Ripristinare il backup del 10/12/2026 alle ore 10:30?\n\r\n\rIl backup contiene 3 "
                           u"pazienti, 1 archivi di analisi e 3 file in tutto ("_s
                               + backupui::sizeText(3 * PatientRecord::kSize + 2498 + 12)
                               + u").\n\r\n\rI dati attuali saranno prima salvati in un backup a parte, poi sostituiti "
                                 u"interamente da quelli del backup. Prima di proseguire chiudere il programma sulle "
                                 u"altre postazioni."_s);
        const QString aside = p.stick.path() + u"/Clinora-backup-2026-12-12-1030-prima-del-ripristino.zip"_s;
        QCOMPARE(shown[1], u"Ripristino completato: i dati sono ora quelli del backup del 10/12/2026 alle ore 10:30."
                           u"\n\r\n\rI dati precedenti sono salvati nel backup:\n\r"_s
                               + QDir::toNativeSeparators(aside));
        QCOMPARE(fileBytes(p.app.path(u"Pazienti.pro"_s)), patients(3, 'a'));
        QVERIFY(!QFileInfo::exists(p.app.path(u"Paziente_4"_s)));
        QCOMPARE(fileBytes(p.app.path(u"Guida.pdf"_s)), QByteArray("%PDF guida"));
        const backup::Result before = backup::inspect(aside);
        QVERIFY(before.ok());
        QCOMPARE(before.summary.patients, 5);
    }

    // A long backup shows its progress; "Annulla" stops it, and nothing
    // that passes for a backup is left.
    void progressShownAndCancelled()
    {
        Practice p;
        p.app.files->answers.push_back(p.stick.path());
        QProgressDialog *seen = nullptr;
        bool pressed = false;
        SlowReads slow(p.app.folder(), [&] {
            auto *d = p.menu->findChild<QProgressDialog *>(u"dlgAvanzamento"_s);
            if (!d || !d->isVisible() || pressed)
                return;
            seen = d;
            QCOMPARE(d->labelText(), u"Backup dei dati in corso..."_s);
            QCOMPARE(d->accessibleName(), u"Backup dei dati in corso..."_s);
            QPushButton *cancel = d->findChild<QPushButton *>();
            QVERIFY(cancel);
            QCOMPARE(cancel->text(), u"Annulla"_s);
            cancel->click();
            pressed = true;
        });
        click(p.menu->btnBackup);
        QVERIFY2(seen, "no progress shown");
        QVERIFY(pressed);
        QCOMPARE(p.app.messages->shown.size(), 1);
        QCOMPARE(p.app.messages->shown[0].kind, MsgKind::Information);
        QCOMPARE(p.app.messages->take(), QStringList{u"Backup annullato: nessun file di backup è stato salvato."_s});
        QCOMPARE(p.backups(), QStringList());
        QVERIFY(!backup::Settings::load(p.app.folder()).lastTime.isValid());
        QVERIFY(p.menu->lblPromemoria->isVisible());
        QVERIFY(!p.menu->findChild<QProgressDialog *>(u"dlgAvanzamento"_s)
                 || !p.menu->findChild<QProgressDialog *>(u"dlgAvanzamento"_s)->isVisible());
    }

    // Restore while another computer reads an archive (a save would wait for
    // it too): the bounded wait with the wait cursor, the busy message, and
    // the data as they were.
    void restoreWithAnArchiveInUseElsewhere()
    {
        Practice p;
        const QString zip = p.firstBackup();
        writeFile(p.app.path(u"Pazienti.pro"_s), patients(5, 'b'));
        const QString archive = p.app.path(u"Analisi_Cliniche/Paziente_CF_RSSMRA80A01H501U.asl"_s);

        constexpr auto wait = std::chrono::milliseconds(300);
        lock::setWaitLimit(wait);
        {
            LockHolder other(archive, lock::Mode::Shared);
            QVERIFY(other.locked());
            WaitSpy spy;
            p.app.files->answers.push_back(zip);
            const auto started = std::chrono::steady_clock::now();
            click(p.menu->btnRipristino);
            const auto took = std::chrono::steady_clock::now() - started;
            QVERIFY(took >= wait);
            QVERIFY(spy.waits >= 1);
            QVERIFY(spy.cursorShown);
            QVERIFY(!QGuiApplication::overrideCursor());
        }
        lock::setWaitLimit(std::chrono::milliseconds(2000));
        QCOMPARE(p.app.messages->shown.size(), 2);
        QCOMPARE(p.app.messages->shown[1].kind, MsgKind::Error);
        const QString aside = p.stick.path() + u"/Clinora-backup-2026-12-10-1030-prima-del-ripristino.zip"_s;
        QCOMPARE(p.app.messages->take().at(1),
                 u"Attenzione: il ripristino non è stato eseguito: l'archivio Paziente_CF_RSSMRA80A01H501U.asl è in uso "
                 u"su un'altra postazione. Riprovare tra qualche istante.\n\r\n\rI dati attuali non sono stati "
                 u"modificati.\n\r\n\rI dati precedenti sono salvati nel backup:\n\r"_s
                     + QDir::toNativeSeparators(aside));
        QCOMPARE(fileBytes(p.app.path(u"Pazienti.pro"_s)), patients(5, 'b'));
        QCOMPARE(QDir(p.app.folder()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot)
                     .filter(u"ripristino"_s),
                 QStringList());
    }

    // Another computer saves just after the current data were backed up:
    // that save would be in neither, so the restore stops, says why, and
    // removes the backup that no longer holds the current data.
    void restoreStopsOnASaveMadeMeanwhile()
    {
        Practice p;
        const QString zip = p.firstBackup();

        struct SaveElsewhere : io::FaultHook {
            QString archive;
            bool saved = false;
            bool shouldFail(io::Op op, const QString &path) override
            {
                if (op == io::Op::Rename && path.contains(u"prima-del-ripristino"_s) && !saved) {
                    writeFile(archive, patients(4, 'c'));
                    saved = true;
                }
                return false;
            }
        } elsewhere;
        elsewhere.archive = p.app.path(u"Pazienti.pro"_s);
        io::setFaultHook(&elsewhere);
        p.app.files->answers.push_back(zip);
        click(p.menu->btnRipristino);
        io::setFaultHook(nullptr);
        QVERIFY(elsewhere.saved);
        QCOMPARE(p.app.messages->shown.size(), 2);
        QCOMPARE(p.app.messages->shown[1].kind, MsgKind::Error);
        QCOMPARE(p.app.messages->take().at(1),
                 u"Attenzione: il ripristino non è stato eseguito, perché nel frattempo i dati sono stati modificati "
                 u"su un'altra postazione. Chiudere il programma sulle altre postazioni e riprovare.\n\r\n\rI dati "
                 u"attuali non sono stati modificati."_s);
        QCOMPARE(fileBytes(p.app.path(u"Pazienti.pro"_s)), patients(4, 'c'));
        QCOMPARE(p.backups(), QStringList{QFileInfo(zip).fileName()});
    }

    // A restore cut short (here its swap failing half way, and its undoing
    // too) is found at the next start and finished, and the user told so
    // before logging in; the backup started later finds nothing to do.
    void interruptedRestoreFinishedAndSaid()
    {
        Practice p;
        writeFile(p.app.path(u"unins000.dll"_s), "[Accesso]\r\nValore=1A2B\r\n");
        const QString zip = p.firstBackup();
        writeFile(p.app.path(u"Pazienti.pro"_s), patients(5, 'b'));
        writeFile(p.app.path(u"unins000.dll"_s), "[Accesso]\r\nValore=9F9F\r\n");
        {
            struct DiskGoes : io::FaultHook {
                QString folder;
                int renames = 0;
                bool shouldFail(io::Op op, const QString &path) override
                {
                    return op == io::Op::Rename && path.startsWith(folder) && !path.endsWith(u".ini"_s)
                           && ++renames >= 4;
                }
            } goes;
            goes.folder = p.app.folder();
            io::setFaultHook(&goes);
            const backup::Result r = backup::restore(zip, p.app.folder());
            io::setFaultHook(nullptr);
            QCOMPARE(r.failure, backup::Failure::RollbackFailed);
        }
        QVERIFY(!QFileInfo::exists(p.app.path(u"Pazienti.pro"_s))); // half swapped

        p.app.ctx->start();
        QCOMPARE(p.app.messages->shown.size(), 1);
        QCOMPARE(p.app.messages->shown[0].kind, MsgKind::Information);
        QCOMPARE(p.app.messages->take(),
                 QStringList{u"Un ripristino dei dati si era interrotto prima di finire ed è stato completato ora: i "
                             u"dati sono quelli del backup del 10/12/2026 alle ore 10:30.\n\r\n\rLa password è ora "
                             u"quella in uso alla data di quel backup."_s});
        QCOMPARE(fileBytes(p.app.path(u"Pazienti.pro"_s)), patients(3, 'a'));
        QCOMPARE(fileBytes(p.app.path(u"unins000.dll"_s)), QByteArray("[Accesso]\r\nValore=1A2B\r\n"));
        QCOMPARE(QDir(p.app.folder()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot)
                     .filter(u"ripristino"_s),
                 QStringList());
        click(p.menu->btnBackup);
        QCOMPARE(p.app.messages->take().size(), 2); // the folder named, the backup made: nothing else
    }

    // The confirmation and the result say when the password changes with
    // the restore, and only then.
    void restoreSaysWhenThePasswordChanges_data()
    {
        QTest::addColumn<QByteArray>("current");
        QTest::addColumn<bool>("said");
        QTest::newRow("changed since the backup") << QByteArray("[Accesso]\r\nValore=9F9F\r\n") << true;
        QTest::newRow("the same") << QByteArray("[Accesso]\r\nValore=1A2B\r\n") << false;
    }
    void restoreSaysWhenThePasswordChanges()
    {
        QFETCH(QByteArray, current);
        QFETCH(bool, said);
        Practice p;
        writeFile(p.app.path(u"unins000.dll"_s), "[Accesso]\r\nValore=1A2B\r\n");
        const QString zip = p.firstBackup();
        writeFile(p.app.path(u"unins000.dll"_s), current);
        p.app.files->answers.push_back(zip);
        click(p.menu->btnRipristino);
        const QStringList shown = p.app.messages->take();
        QCOMPARE(shown.size(), 2);
        QCOMPARE(shown[0].endsWith(u"\n\r\n\rAttenzione: la password di accesso cambierà e sarà quella in uso alla "
                                   u"data del backup."_s),
                 said);
        QCOMPARE(shown[1].contains(u"La password di accesso è ora quella in uso alla data del backup."_s), said);
        QCOMPARE(fileBytes(p.app.path(u"unins000.dll"_s)), QByteArray("[Accesso]\r\nValore=1A2B\r\n"));
    }

    // The password file held by another computer (a restore or a password
    // change there) for the whole wait: the login says so, as the archives do.
    void loginWithThePasswordFileInUseElsewhere()
    {
        TestApp app;
        app.setPassword(u"STUDIO"_s);
        lock::setWaitLimit(std::chrono::milliseconds(300));
        {
            LockHolder other(app.path(u"unins000.dll"_s), lock::Mode::Exclusive);
            QVERIFY(other.locked());
            app.ctx->screens.frmPassword->txtPassword->setText(u"studio"_s);
            app.ctx->screens.frmPassword->cmdOKClick();
        }
        lock::setWaitLimit(std::chrono::milliseconds(2000));
        QCOMPARE(app.messages->take(), QStringList{kPasswordInUse.toString()});
        app.ctx->screens.frmPassword->cmdOKClick();
        QVERIFY(app.messages->take().isEmpty()); // in, once it is free
    }

    // An encrypted backup: the passphrase typed twice (a short or mismatched
    // one refused), the backup named so; its restore asks for it, says a
    // wrong one plainly, and keeps the data before it encrypted too.
    void encryptedBackupAndRestore()
    {
        Practice p;
        QVERIFY(!p.menu->chkBackupCifrato->isChecked()); // plain unless chosen
        QCOMPARE(p.menu->chkBackupCifrato->accessibleName(), u"Backup cifrato"_s);
        QVERIFY(!p.menu->chkBackupCifrato->toolTip().isEmpty());
        p.menu->chkBackupCifrato->setChecked(true);
        p.app.files->answers.push_back(p.stick.path());
        QStringList refused;
        p.app.dialogs->next<TfrmFraseSegreta>([&](TfrmFraseSegreta &d) {
            QCOMPARE(d.lblFrase->buddy(), d.txtFrase);
            QCOMPARE(d.lblConferma->buddy(), d.txtConferma);
            QCOMPARE(d.txtFrase->echoMode(), QLineEdit::Password);
            d.txtFrase->setText(u"breve"_s);
            d.txtConferma->setText(u"breve"_s);
            d.cmdOK->click();
            d.txtFrase->setText(u"studio medico 2026"_s);
            d.txtConferma->setText(u"studio medico 2025"_s);
            d.cmdOK->click();
            refused = p.app.messages->take();
            d.txtConferma->setText(u"studio medico 2026"_s);
            d.cmdOK->click();
        });
        click(p.menu->btnBackup);
        QCOMPARE(refused, (QStringList{u"Attenzione: la frase segreta deve contenere almeno 8 caratteri."_s,
                                       u"Attenzione: le due frasi segrete non coincidono. Scriverle di nuovo."_s}));
        const QString zip = p.stick.path() + u"/Clinora-backup-2026-12-10-1030.zip"_s;
        const QStringList made = p.app.messages->take();
        QCOMPARE(made.size(), 1);
        QVERIFY(made[0].startsWith(u"Backup cifrato completato e verificato.\n\r\n\rFile: "_s));
        QCOMPARE(backup::inspect(zip).failure, backup::Failure::PassphraseNeeded);

        writeFile(p.app.path(u"Pazienti.pro"_s), patients(5, 'b'));
        p.app.clock->at = p.app.clock->at.addDays(1);
        p.app.files->answers.push_back(zip);
        p.app.dialogs->next<TfrmFraseSegreta>([](TfrmFraseSegreta &d) {
            QVERIFY(!d.txtConferma->isVisible());
            QVERIFY(d.lblMessaggio->text().contains(u"è cifrato"_s));
            d.txtFrase->setText(u"studio medico 2025"_s);
            d.cmdOK->click();
        });
        click(p.menu->btnRipristino);
        QCOMPARE(p.app.messages->shown.size(), 1);
        QCOMPARE(p.app.messages->shown[0].kind, MsgKind::Error);
        QCOMPARE(p.app.messages->take(),
                 QStringList{u"Attenzione: la frase segreta non è quella di questo backup cifrato, che non è stato "
                             u"letto:\n\r"_s
                             + QDir::toNativeSeparators(zip) + u"\n\r\n\rI dati attuali non sono stati modificati."_s});
        QCOMPARE(fileBytes(p.app.path(u"Pazienti.pro"_s)), patients(5, 'b'));

        p.app.files->answers.push_back(zip);
        p.app.dialogs->next<TfrmFraseSegreta>([](TfrmFraseSegreta &d) {
            d.txtFrase->setText(u"studio medico 2026"_s);
            d.cmdOK->click();
        });
        click(p.menu->btnRipristino);
        const QStringList shown = p.app.messages->take();
        QCOMPARE(shown.size(), 2);
        QVERIFY(shown[1].startsWith(u"Ripristino completato"_s));
        QCOMPARE(fileBytes(p.app.path(u"Pazienti.pro"_s)), patients(3, 'a'));
        const QString aside = p.stick.path() + u"/Clinora-backup-2026-12-11-1030-prima-del-ripristino.zip"_s;
        QCOMPARE(backup::inspect(aside).failure, backup::Failure::PassphraseNeeded);
        QCOMPARE(backup::inspect(aside, {}, u"studio medico 2026"_s).summary.patients, 5);
    }

    // What a backup could not hold, and unfinished backups it could not
    // remove, are named; such a backup is not recorded as the last one.
    void leftOutAndLeftoversNamed()
    {
#ifdef Q_OS_UNIX
        Practice p;
        QVERIFY(::mkfifo(QFile::encodeName(p.app.path(u"Documenti_Allegati/coda"_s)).constData(), 0600) == 0);
        p.app.files->answers.push_back(p.stick.path());
        click(p.menu->btnBackup);
        QCOMPARE(p.app.messages->shown.size(), 1);
        QCOMPARE(p.app.messages->shown[0].kind, MsgKind::Warning);
        const QString zip = p.stick.path() + u"/Clinora-backup-2026-12-10-1030.zip"_s;
        QCOMPARE(p.app.messages->take(),
                 QStringList{u"Attenzione: il backup è stato scritto e verificato, ma non è completo. Questi elementi "
                             u"della cartella dei dati non sono stati salvati, perché non sono file o cartelle che si "
                             u"possano leggere (un collegamento che non porta a nulla o che gira in tondo, un file "
                             u"speciale):\n\r"_s
                             + QDir::toNativeSeparators(u"Documenti_Allegati/coda"_s) + u"\n\r\n\rFile: "_s
                             + QDir::toNativeSeparators(zip) + u"\n\rDimensione: "_s
                             + backupui::sizeText(QFileInfo(zip).size()) + u"\n\rFile salvati: 3"_s});
        QVERIFY(!backup::Settings::load(p.app.folder()).lastTime.isValid());
        QVERIFY(p.menu->lblPromemoria->isVisible());
        QVERIFY(QFile::remove(p.app.path(u"Documenti_Allegati/coda"_s)));

        const QString stale = p.stick.path() + u"/Clinora-backup-2026-12-09-0800.zip.incompleto"_s;
        writeFile(stale, "left by a crash");
        struct Stuck : io::FaultHook {
            QString stick;
            bool shouldFail(io::Op op, const QString &path) override
            {
                return (op == io::Op::Remove && path.endsWith(u"0800.zip.incompleto"_s))
                       || (op == io::Op::Write && path.startsWith(stick));
            }
        } stuck;
        stuck.stick = p.stick.path();
        io::setFaultHook(&stuck);
        click(p.menu->btnBackup);
        io::setFaultHook(nullptr);
        const QStringList shown = p.app.messages->take();
        QCOMPARE(shown.size(), 2);
        QVERIFY2(shown[1].endsWith(u"Il disco potrebbe essere pieno oppure il disco esterno o la chiavetta potrebbero "
                                   u"essere stati scollegati. Nella cartella sono rimasti questi file di backup "
                                   u"incompleti, che non servono e si possono eliminare:\n\r"
                                   u"Clinora-backup-2026-12-09-0800.zip.incompleto"_s),
                 qPrintable(shown[1]));
#else
        QSKIP("a pipe made here with a POSIX call");
#endif
    }

    // A damaged backup is refused before any question; No to the question
    // leaves everything as it was.
    void restoreRefusedOrDeclined()
    {
        Practice p;
        const QString zip = p.firstBackup();
        writeFile(p.app.path(u"Pazienti.pro"_s), patients(5, 'b'));

        QByteArray bytes = fileBytes(zip);
        const qsizetype at = bytes.indexOf("Pazienti.pro") + 100;
        bytes[at] = char(bytes[at] ^ 1);
        const QString damaged = p.stick.path() + u"/Clinora-backup-danneggiato.zip"_s;
        writeFile(damaged, bytes);
        p.app.files->answers.push_back(damaged);
        click(p.menu->btnRipristino);
        QCOMPARE(p.app.messages->shown.size(), 1);
        QCOMPARE(p.app.messages->shown[0].kind, MsgKind::Error);
        QCOMPARE(p.app.messages->take(),
                 QStringList{u"Attenzione: il file scelto non è un backup di Clinora oppure è danneggiato, e non può "
                             u"essere ripristinato:\n\r"_s
                             + QDir::toNativeSeparators(damaged)
                             + u"\n\r\n\rI dati attuali non sono stati modificati."_s});

        p.app.files->answers.push_back(zip);
        p.app.messages->answers = {MsgAnswer::No};
        click(p.menu->btnRipristino);
        QCOMPARE(p.app.messages->take().size(), 1);
        QCOMPARE(fileBytes(p.app.path(u"Pazienti.pro"_s)), patients(5, 'b'));
        QCOMPARE(p.backups().size(), 2); // no backup of the current data either
    }
};

QTEST_MAIN(TestBackupMenu)
#include "tst_backupmenu.moc"
