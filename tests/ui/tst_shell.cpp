// The frame of the program: start-up, login, password change, start menu and
// the help, information and splash screens.
#include "app/Crypt.h"
#include "app/Maker.h"
#include "app/PasswordStore.h"
#include "app/ui/Avvio.h"
#include "app/ui/CambiaPassword.h"
#include "app/ui/Guida.h"
#include "app/ui/Info.h"
#include "app/ui/Password.h"
#include "common/FileIo.h"
#include "common/HelpTexts.h"
#include "common/Messages.h"
#include "common/ui/Widgets.h"
#include "patients/ui/Clienti.h"
#include "support/TestApp.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

using namespace Qt::StringLiterals;
using namespace clinora;
using namespace clinora::test;

class TestShell : public QObject {
    Q_OBJECT

    static TfrmPassword *login(TestApp &app) { return app.ctx->screens.frmPassword; }

    // The login screen, shown as at start.
    static TfrmPassword *started(TestApp &app)
    {
        app.ctx->start();
        activate(login(app));
        return login(app);
    }

private slots:
    void screensCreatedInOrder()
    {
        TestApp app;
        const QList<QPair<QString, QString>> expected = {
            {u"frmPassword"_s, u" Clinora - Accesso"_s},
            {u"frmAvvio"_s, u" Clinora"_s},
            {u"frmCambiaPassword"_s, u" Cambia password"_s},
            {u"frmGuida"_s, u" Guida all'utilizzo del software"_s},
            {u"frmInfo"_s, u" Informazioni su Clinora"_s},
            {u"frmSplash"_s, u" Clinora - "_s + maker::kName.toString()},
            {u"frmClienti"_s, u" Clinora - Anagrafica Pazienti"_s},
            {u"frmPartitaIva"_s, u" Controllo partita IVA"_s},
            {u"frmCodFisc"_s, u" Controllo codice fiscale"_s},
            {u"frmAllegaCartella"_s, u" Allega file"_s},
            {u"frmCartella"_s, u" Gestione cartella abbinata alla scheda corrente"_s},
            {u"frmExpClienti"_s, u" Esporta archivio pazienti in Microsoft Excel"_s},
            {u"frmRicontatta"_s, u" Riepilogo pazienti da ricontattare"_s},
            {u"frmTrovaClienti"_s, u" Trova pazienti in archivio"_s},
            {u"frmMenuAnalisi"_s, u" Clinora - Analisi Cliniche"_s},
            {u"frmAnalisiCliniche"_s, u" Clinora - Analisi Cliniche"_s},
            {u"frmListaPresc"_s, u" Gestione elenco esami frequenti"_s},
            {u"frmImportaPresc"_s, u" Importazione dati da elenco esami frequenti"_s},
            {u"frmCalendario"_s, u" Importazione data"_s},
            {u"frmTrovaAnalisi"_s, u" Trova analisi cliniche in archivio"_s},
            {u"frmAllarmanti"_s, u" Riepilogo esami clinici con risultati allarmanti"_s},
            {u"frmExpAnalisi"_s, u" Esporta archivio analisi cliniche in Microsoft Excel"_s},
            {u"frmStampaAnalisi"_s, u" Stampa scheda"_s},
            {u"frmMenuRiepLavoro"_s, u" Clinora - Riepilogo Risultati Esami"_s},
            {u"frmRiepLavoro"_s, u" Clinora - Riepilogo Risultati Esami"_s},
        };
        const QList<QWidget *> screens = app.ctx->allScreens();
        QCOMPARE(screens.size(), expected.size());
        for (int i = 0; i < screens.size(); ++i) {
            QCOMPARE(screens[i]->objectName(), expected[i].first);
            QCOMPARE(screens[i]->windowTitle(), expected[i].second);
            QVERIFY(!screens[i]->isVisible());
        }
        // Dialogs have no title-bar buttons and a fixed size.
        auto *guida = app.ctx->screens.frmGuida;
        QVERIFY(!(guida->windowFlags() & Qt::WindowCloseButtonHint));
        QCOMPARE(guida->minimumSize(), guida->maximumSize());
        QCOMPARE(guida->size(), QSize(670, 572));
    }

    void loginAcceptsPasswordInAnyCase()
    {
        TestApp app;
        app.setPassword(u"CLINORA"_s);
        TfrmPassword *l = started(app);
        QCOMPARE(focused(), l->txtPassword);
        QVERIFY(!l->cmdOK->isEnabled());

        type(l->txtPassword, u"   "_s);
        QVERIFY(!l->cmdOK->isEnabled());
        pressEnter(l->txtPassword); // blank: nothing
        QVERIFY(app.messages->shown.isEmpty());
        QVERIFY(l->isVisible());

        l->txtPassword->clear();
        type(l->txtPassword, u"sbagliata"_s);
        QVERIFY(l->cmdOK->isEnabled());
        click(l->cmdOK);
        QCOMPARE(app.messages->take(), QStringList{u"Attenzione: password errata."_s});
        QCOMPARE(app.messages->shown.size(), 0);
        QVERIFY(l->txtPassword->text().isEmpty());
        QVERIFY(!l->cmdOK->isEnabled());
        QCOMPARE(focused(), l->txtPassword);

        // A wrong password makes the next try wait a second.
        app.clock->at = app.clock->at.addSecs(1);
        type(l->txtPassword, u" ClInOrA "_s);
        pressEnter(l->txtPassword);
        QVERIFY(app.messages->shown.isEmpty());
        QVERIFY(app.ctx->screens.frmAvvio->isVisible());
        QVERIFY(!l->isVisible());
        QCOMPARE(l->txtPassword->text(), u" ClInOrA "_s); // stays in the hidden screen
    }

    void loginReportsDamagedPasswordFile_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("not hex") << QByteArray("[Accesso]\r\nValore=ZZ01\r\n");
        QTest::newRow("unreadable") << QByteArray(); // a folder where the file should be
    }
    void loginReportsDamagedPasswordFile()
    {
        QFETCH(QByteArray, content);
        TestApp app;
        const QString file = app.path(u"unins000.dll"_s);
        if (content.isEmpty()) {
            QVERIFY(QDir(app.folder()).mkdir(u"unins000.dll"_s));
        } else {
            QFile f(file);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(content);
        }
        TfrmPassword *l = started(app);
        type(l->txtPassword, u"x"_s);
        click(l->cmdOK);
        QCOMPARE(app.messages->take(),
                 QStringList{u"Attenzione: si è verificato un errore durante la procedura di lettura della "
                             u"password. Si consiglia di reinstallare il software."_s});
        QCOMPARE(l->txtPassword->text(), u"x"_s); // the screen stays as it was
        QVERIFY(l->isVisible());
    }

    void missingPasswordFileLetsNobodyIn()
    {
        TestApp app;
        TfrmPassword *l = started(app);
        type(l->txtPassword, u"CLINORA"_s);
        click(l->cmdOK);
        QCOMPARE(app.messages->take(), QStringList{u"Attenzione: password errata."_s});
    }

    // A folder that takes no writes (copied read-only, under a system
    // folder): the login still reads the password, then the program says
    // once where it cannot save and goes on; each command then fails with
    // its own message.
    void readOnlyFolderWarnedOnceAfterLogin()
    {
        TestApp app;
        app.setPassword(u"CLINORA"_s);
        struct ReadOnlyFolder : io::FaultHook {
            bool shouldFail(io::Op op, const QString &path) override
            {
                return !(path.endsWith(u"unins000.dll"_s) && (op == io::Op::Open || op == io::Op::Read));
            }
        } hook;
        io::setFaultHook(&hook);
        const auto unhook = qScopeGuard([] { io::setFaultHook(nullptr); });
        TfrmPassword *l = started(app);
        type(l->txtPassword, u"clinora"_s);
        pressEnter(l->txtPassword);
        TfrmAvvio *m = app.ctx->screens.frmAvvio;
        QVERIFY(m->isVisible());
        QCOMPARE(app.messages->shown.size(), 1);
        QCOMPARE(app.messages->shown[0].kind, MsgKind::Warning);
        QCOMPARE(app.messages->take(),
                 QStringList{u"Attenzione: la cartella del programma non permette la scrittura:\n\r\n\r"_s
                             + QDir::toNativeSeparators(app.folder())
                             + u"\n\r\n\rLe schede non possono essere salvate in questa cartella. Accertarsi di "
                               u"possedere i privilegi di scrittura nella cartella (in rete, anche sulla cartella "
                               u"condivisa) e che la chiavetta non sia protetta da scrittura."_s});

        click(m->btnAnagrafica);
        TfrmClienti *c = app.ctx->screens.frmClienti;
        activate(c);
        click(c->cmdNuovo);
        type(c->txtPaziente, u"Bianchi Angela"_s);
        type(c->txtRecapito, u"333 1234567"_s);
        type(c->txtCodFisc, u"BNCNGL70B41F205Z"_s);
        click(c->cmdSalva);
        QCOMPARE(app.messages->take(), QStringList{msg::kAccessError.toString()});
        c->close();
        QVERIFY(m->isVisible());

        // Back at the login and in again: said once only.
        app.ctx->switchTo(m, l);
        type(l->txtPassword, u"clinora"_s);
        pressEnter(l->txtPassword);
        QVERIFY(m->isVisible());
        QVERIFY(app.messages->shown.isEmpty());
    }

    void changePassword()
    {
        TestApp app;
        app.setPassword(u"CLINORA"_s);
        TfrmPassword *l = started(app);
        click(l->btnCambiaPassword);
        TfrmCambiaPassword *c = app.ctx->screens.frmCambiaPassword;
        QVERIFY(c->isVisible());
        QVERIFY(!l->isVisible());
        activate(c);
        QCOMPARE(focused(), c->txtPasswordOld);

        // Enter moves round the three entries and never presses OK.
        type(c->txtPasswordOld, u"clinora"_s);
        pressEnter(c->txtPasswordOld);
        QCOMPARE(focused(), c->txtPasswordNew);
        type(c->txtPasswordNew, u"nuova"_s);
        QVERIFY(!c->cmdOK->isEnabled());
        pressEnter(c->txtPasswordNew);
        QCOMPARE(focused(), c->txtConferma);
        type(c->txtConferma, u"NUOVA"_s);
        QVERIFY(c->cmdOK->isEnabled());
        pressEnter(c->txtConferma);
        QCOMPARE(focused(), c->txtPasswordOld);
        QVERIFY(app.messages->shown.isEmpty());

        // Confirmation compares as typed: small letters against capitals fail.
        click(c->cmdOK);
        QCOMPARE(app.messages->take(),
                 QStringList{u"Attenzione: la nuova password non è stata confermata correttamente. E' necessario "
                             u"reinserire entrambi i valori."_s});
        QVERIFY(c->txtPasswordNew->text().isEmpty());
        QVERIFY(c->txtConferma->text().isEmpty());
        QCOMPARE(c->txtPasswordOld->text(), u"clinora"_s);
        QCOMPARE(focused(), c->txtPasswordNew);

        // A wrong old password clears only that entry.
        c->txtPasswordOld->setText(u"altra"_s);
        c->txtPasswordNew->setText(u"x"_s);
        c->txtConferma->setText(u"x"_s);
        click(c->cmdOK);
        QCOMPARE(app.messages->take(), QStringList{u"Attenzione: vecchia password errata."_s});
        QVERIFY(c->txtPasswordOld->text().isEmpty());
        QCOMPARE(c->txtPasswordNew->text(), u"x"_s);
        QCOMPARE(focused(), c->txtPasswordOld);

        // Blanks around the new password are dropped; letters go to capitals
        // (a second after the wrong old password, as the next try must wait).
        app.clock->at = app.clock->at.addSecs(1);
        c->txtPasswordOld->setText(u"CLINORA"_s);
        c->txtPasswordNew->setText(u" nuova è "_s);
        c->txtConferma->setText(u"nuova è"_s);
        click(c->cmdOK);
        QCOMPARE(app.messages->take(), QStringList{u"Modifica della password completata con successo."_s});
        QVERIFY(!c->isVisible());
        QVERIFY(l->isVisible());
        QVERIFY(l->txtPassword->text().isEmpty());
        const auto stored = PasswordStore(app.folder()).readStoredValue();
        QCOMPARE(Crypt::Unscramble(*stored), std::optional<QString>(u"NUOVA è"_s));

        // Only the new password logs in now.
        activate(l);
        type(l->txtPassword, u"clinora"_s);
        click(l->cmdOK);
        QCOMPARE(app.messages->take(), QStringList{u"Attenzione: password errata."_s});
        app.clock->at = app.clock->at.addSecs(1);
        type(l->txtPassword, u"Nuova è"_s);
        click(l->cmdOK);
        QVERIFY(app.ctx->screens.frmAvvio->isVisible());
    }

    void changePasswordRefusesWhatCannotBeStored_data()
    {
        QTest::addColumn<QString>("newPassword");
        QTest::newRow("256 characters") << QString(256, u'A');
        QTest::newRow("euro sign") << u"COSTO€"_s;
    }
    void changePasswordRefusesWhatCannotBeStored()
    {
        QFETCH(QString, newPassword);
        TestApp app;
        app.setPassword(u"CLINORA"_s);
        const QByteArray before = [&] {
            QFile f(app.path(u"unins000.dll"_s));
            return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        }();
        app.ctx->switchTo(nullptr, app.ctx->screens.frmCambiaPassword);
        TfrmCambiaPassword *c = app.ctx->screens.frmCambiaPassword;
        c->txtPasswordOld->setText(u"CLINORA"_s);
        c->txtPasswordNew->setText(newPassword);
        c->txtConferma->setText(newPassword);
        click(c->cmdOK);
        QCOMPARE(app.messages->shown.size(), 1);
        QVERIFY(app.messages->last().startsWith(u"Attenzione: la nuova password può contenere al massimo 255"_s));
        QVERIFY(c->isVisible());
        QFile f(app.path(u"unins000.dll"_s));
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), before);
    }

    void changePasswordWriteFailureKeepsScreen()
    {
        TestApp app;
        app.setPassword(u"CLINORA"_s);
        app.ctx->switchTo(nullptr, app.ctx->screens.frmCambiaPassword);
        TfrmCambiaPassword *c = app.ctx->screens.frmCambiaPassword;
        c->txtPasswordOld->setText(u"CLINORA"_s);
        c->txtPasswordNew->setText(u"NUOVA"_s);
        c->txtConferma->setText(u"NUOVA"_s);
        // The new file cannot take the old one's place.
        struct FailRename : io::FaultHook {
            bool shouldFail(io::Op op, const QString &) override { return op == io::Op::Rename; }
        } hook;
        io::setFaultHook(&hook);
        click(c->cmdOK);
        io::setFaultHook(nullptr);
        QCOMPARE(app.messages->take(),
                 QStringList{u"Attenzione: si è verificato un errore durante la procedura di modifica della "
                             u"password. Si consiglia di reinstallare il software."_s});
        QVERIFY(c->isVisible());
        QCOMPARE(c->txtPasswordNew->text(), u"NUOVA"_s);
        const auto stored = PasswordStore(app.folder()).readStoredValue();
        QCOMPARE(Crypt::Unscramble(*stored), std::optional<QString>(u"CLINORA"_s));
    }

    void closingChangePasswordReturnsToLogin()
    {
        TestApp app;
        TfrmPassword *l = started(app);
        type(l->txtPassword, u"abc"_s);
        click(l->btnCambiaPassword);
        TfrmCambiaPassword *c = app.ctx->screens.frmCambiaPassword;
        c->close();
        QVERIFY(!c->isVisible());
        QVERIFY(l->isVisible());
        QVERIFY(l->txtPassword->text().isEmpty());
        // Shown again, it starts empty.
        c->txtPasswordOld->setText(u"x"_s);
        click(l->btnCambiaPassword);
        QVERIFY(c->txtPasswordOld->text().isEmpty());
        click(c->cmdEsci);
        QVERIFY(l->isVisible());
    }

    void loginEsciEndsProgram()
    {
        TestApp app;
        TfrmPassword *l = started(app);
        click(l->cmdEsci);
        QCOMPARE(app.ends, 1);
    }

    void startMenuOpensWorkingAreas()
    {
        TestApp app;
        TfrmAvvio *m = app.ctx->screens.frmAvvio;
        const QList<QPair<QList<QWidget *>, QString>> columns = {
            {{m->imgAnagrafica, m->btnAnagrafica, m->appAnagrafica}, u"frmClienti"_s},
            {{m->imgAnalisi, m->btnAnalisi, m->appAnalisi}, u"frmMenuAnalisi"_s},
            {{m->imgRiepiloghi, m->btnRiepiloghi, m->appRiepiloghi}, u"frmMenuRiepLavoro"_s},
        };
        for (const auto &[pictures, target] : columns) {
            for (QWidget *picture : pictures) {
                app.ctx->switchTo(nullptr, m);
                click(picture);
                QWidget *area = nullptr;
                for (QWidget *w : app.ctx->allScreens())
                    if (w->objectName() == target)
                        area = w;
                QVERIFY(area && area->isVisible());
                QVERIFY(!m->isVisible());
                // Closing the working area, by any means, shows the start menu.
                area->close();
                QVERIFY(!area->isVisible());
                QVERIFY(m->isVisible());
            }
        }
        QCOMPARE(app.ends, 0);
        QCOMPARE(m->btnAnagrafica->accessibleName(), u"ANAGRAFICA PAZIENTI"_s);
    }

    void analysisCardClosesToStartMenu()
    {
        TestApp app;
        QWidget *card = app.ctx->allScreens().at(15);
        QCOMPARE(card->objectName(), u"frmAnalisiCliniche"_s);
        app.ctx->switchTo(app.ctx->allScreens().at(14), card);
        card->close();
        QVERIFY(app.ctx->screens.frmAvvio->isVisible());
        QVERIFY(!app.ctx->allScreens().at(14)->isVisible());
    }

    void startMenuEnds()
    {
        TestApp app;
        TfrmAvvio *m = app.ctx->screens.frmAvvio;
        app.ctx->switchTo(nullptr, m);
        click(m->imgEsci);
        QCOMPARE(app.ends, 1);
        m->close(); // the window's close button ends it just the same
        QCOMPARE(app.ends, 2);
    }

    void startMenuDialogsAndLinks()
    {
        TestApp app;
        TfrmAvvio *m = app.ctx->screens.frmAvvio;
        app.ctx->switchTo(nullptr, m);

        app.dialogs->next<TfrmGuida>([](TfrmGuida &g) {
            QCOMPARE(g.lblTitolo->text(), u"Uno sguardo a Clinora."_s);
            QCOMPARE(g.txtGuida->toPlainText(), help::topic(help::TopicId::Overview).text.replace(u"\r\n"_s, u"\n"_s));
        });
        click(m->imgGuida);
        app.dialogs->next<TfrmInfo>([](TfrmInfo &i) { click(i.btnChiudi); QVERIFY(!i.isVisible()); });
        click(m->imgInfo);
        app.dialogs->next<TfrmSplash>([](TfrmSplash &s) {
            QVERIFY(s.windowTitle().startsWith(u" Clinora"_s));
        });
        click(m->imgCopyright);
        QCOMPARE(app.dialogs->opened, (QStringList{u"frmGuida"_s, u"frmInfo"_s, u"frmSplash"_s}));
        QVERIFY(m->isVisible());

        click(m->imgSito);
        QCOMPARE(app.shell->opened, QStringList{u"https://www.clinora.example.org"_s});
    }

    void linksOpenThroughShell()
    {
        TestApp app;
        // A folder with blanks in its name still opens the guide: it is quoted.
        app.services->appFolder = app.path(u"Studio Medico"_s);
        TfrmGuida g(*app.ctx, nullptr);
        activate(&g);
        QTest::mousePress(g.lnkWeb, Qt::LeftButton);
        QCOMPARE(g.lnkWeb->palette().color(QPalette::WindowText), art::colors::linkPressed);
        QTest::mouseRelease(g.lnkWeb, Qt::LeftButton);
        QCOMPARE(g.lnkWeb->palette().color(QPalette::WindowText), art::colors::linkBlue);
        click(g.imgPDF);
        const QString guide = u"\""_s + QDir::toNativeSeparators(app.path(u"Studio Medico/Guida.pdf"_s)) + u"\""_s;
        QCOMPARE(app.shell->opened, (QStringList{guide, guide}));

        TfrmInfo info(*app.ctx, nullptr);
        // Every link is 14 points, and its whole text fits its place.
        for (const LinkLabel *link : {g.lnkWeb, info.lnkWeb}) {
            QCOMPARE(link->font().pointSize(), 14);
            QVERIFY(link->font().underline());
            QVERIFY2(link->sizeHint().width() <= link->width(), qPrintable(link->text()));
            QVERIFY(link->geometry().right() < link->parentWidget()->width());
        }
        click(info.lnkWeb);
        QCOMPARE(app.shell->opened.last(),
                 u"\"mailto:assistenza@clinora.example.org?subject=Software Clinora&body=Salve, desidererei avere "
                 u"le seguenti informazioni sul software in oggetto:\""_s);
        TfrmSplash splash(*app.ctx, nullptr);
        QCOMPARE(splash.lnkWeb->font().pointSize(), 14);
        QVERIFY(splash.lnkWeb->sizeHint().width() <= splash.lnkWeb->width());
        click(splash.imgWeb);
        QCOMPARE(app.shell->opened.last(), u"https://www.clinora.example.org"_s);
    }
};

QTEST_MAIN(TestShell)
#include "tst_shell.moc"
