// What keeps the practice's data to the practice on the screens: the wait
// after each wrong password (kept across restarts), the lock screen over
// every window with the user's work kept under it, the warning about a data
// folder open to other accounts, and the card's PDF over a planted link.

#include "app/LoginDelay.h"
#include "app/Privacy.h"
#include "app/ui/Avvio.h"
#include "app/ui/Blocco.h"
#include "app/ui/CambiaPassword.h"
#include "app/ui/LoginWait.h"
#include "app/ui/Password.h"
#include "common/ui/Accessibility.h"
#include "patients/ui/Clienti.h"
#include "patients/ui/ClientiReport.h"
#include "support/FileTools.h"
#include "support/TestApp.h"

#include <QAccessible>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#if defined(Q_OS_UNIX)
#include <sys/stat.h>
#endif

using namespace Qt::StringLiterals;
using namespace clinora;
using namespace clinora::test;

namespace {

const QString kWrong = u"Attenzione: password errata."_s;

TfrmPassword *started(TestApp &app)
{
    app.ctx->start();
    activate(app.ctx->screens.frmPassword);
    return app.ctx->screens.frmPassword;
}

// The program closed and started again on the same data folder.
TfrmPassword *restarted(TestApp &app)
{
    app.ctx.reset();
    app.ctx = std::make_unique<AppContext>(*app.services);
    app.ctx->onEnd = [&app] { ++app.ends; };
    app.ctx->createScreens();
    return started(app);
}

void logIn(TestApp &app)
{
    TfrmPassword *l = started(app);
    type(l->txtPassword, u"clinora"_s);
    pressEnter(l->txtPassword);
    QVERIFY(app.ctx->screens.frmAvvio->isVisible());
}

TfrmClienti *openCard(TestApp &app)
{
    TfrmClienti *c = app.ctx->screens.frmClienti;
    app.ctx->switchTo(app.ctx->screens.frmAvvio, c);
    activate(c);
    return c;
}

void later(TestApp &app, int seconds) { app.clock->at = app.clock->at.addSecs(seconds); }

} // namespace

class TestPrivacy : public QObject {
    Q_OBJECT

private slots:
    // 1, 2, 4, 8, 16, 30, 30 seconds: the next try is refused until then,
    // the line counts down, and closing the program does not start again.
    void wrongPasswordsWaitLongerAndLonger()
    {
        TestApp app;
        app.setPassword(u"CLINORA"_s);
        const QByteArray passwordFile = fileBytes(app.path(u"unins000.dll"_s));
        TfrmPassword *l = started(app);
        QLabel *line = l->waitLine->label();
        QCOMPARE(line->objectName(), u"lblAttesa"_s);
        QVERIFY(!line->isVisible());
        for (const int wait : {1, 2, 4, 8, 16, 30, 30}) {
            type(l->txtPassword, u"sbagliata"_s);
            pressEnter(l->txtPassword);
            QCOMPARE(app.messages->take(), QStringList{kWrong});
            QVERIFY(line->isVisible());
            QCOMPARE(line->text(), LoginWait::text(wait));
            QCOMPARE(line->accessibleName(), line->text());
            // Even the right password is not looked at before the wait is over.
            type(l->txtPassword, u"clinora"_s);
            QVERIFY(!l->cmdOK->isEnabled());
            pressEnter(l->txtPassword);
            l->cmdOKClick();
            QVERIFY(app.messages->shown.isEmpty());
            QVERIFY(l->isVisible());
            later(app, wait - 1);
            l->waitLine->refresh();
            QCOMPARE(line->text(), LoginWait::text(1));
            later(app, 1);
            l->waitLine->refresh();
            QVERIFY(!line->isVisible());
            QVERIFY(l->cmdOK->isEnabled());
            l->txtPassword->clear();
        }
        QCOMPARE(LoginWait::text(1), u"Password errata: attendere 1 secondo prima di riprovare."_s);
        QCOMPARE(fileBytes(app.path(u"unins000.dll"_s)), passwordFile); // its format stays as it was

        // Closed and started again: the count goes on where it was.
        type(l->txtPassword, u"sbagliata"_s);
        pressEnter(l->txtPassword);
        app.messages->take();
        l = restarted(app);
        QCOMPARE(l->waitLine->label()->text(), LoginWait::text(30));
        type(l->txtPassword, u"clinora"_s);
        pressEnter(l->txtPassword);
        QVERIFY(l->isVisible());
        later(app, 30);
        l->waitLine->refresh();
        pressEnter(l->txtPassword);
        QVERIFY(app.ctx->screens.frmAvvio->isVisible());
        // The right password starts the count again.
        QCOMPARE(app.ctx->loginDelay.failures(), 0);
        QVERIFY(!QFileInfo::exists(app.ctx->loginDelay.path()));
    }

    // The old password on "Cambia password" is guessed no faster, and the
    // count is the login's own.
    void changePasswordWaitsToo()
    {
        TestApp app;
        app.setPassword(u"CLINORA"_s);
        TfrmPassword *l = started(app);
        click(l->btnCambiaPassword);
        TfrmCambiaPassword *c = app.ctx->screens.frmCambiaPassword;
        activate(c);
        type(c->txtPasswordOld, u"sbagliata"_s);
        type(c->txtPasswordNew, u"nuova"_s);
        type(c->txtConferma, u"nuova"_s);
        click(c->cmdOK);
        QCOMPARE(app.messages->take(), QStringList{u"Attenzione: vecchia password errata."_s});
        QCOMPARE(c->waitLine->label()->text(), LoginWait::text(1));
        type(c->txtPasswordOld, u"clinora"_s);
        QVERIFY(!c->cmdOK->isEnabled());
        c->cmdOKClick();
        QVERIFY(app.messages->shown.isEmpty());
        click(c->cmdEsci);
        QVERIFY(l->isVisible());
        QCOMPARE(l->waitLine->label()->text(), LoginWait::text(1));
    }

    // Left alone, the program covers every window with the lock screen;
    // the password brings the user back to the field and the text he was
    // typing, not yet saved.
    void idleLockKeepsTheWorkUnderIt()
    {
        TestApp app;
        app.setPassword(u"CLINORA"_s);
        logIn(app);
        IdleLock *lock = app.ctx->idleLock();
        QVERIFY(lock);
        QCOMPARE(lock->idleMs(), 10 * 60 * 1000);
        TfrmClienti *c = openCard(app);
        type(c->txtPaziente, u"ROSSI MARIO"_s);
        QCOMPARE(focused(), c->txtPaziente);

        lock->arm(150);
        QTRY_VERIFY_WITH_TIMEOUT(lock->locked(), 5000);
        TfrmBlocco *b = lock->screen();
        QVERIFY(b->isVisible());
        QCOMPARE(b->windowModality(), Qt::ApplicationModal);
        QCOMPARE(b->windowTitle(), u" Clinora - Schermo bloccato"_s);
        auto *curtain = c->findChild<QWidget *>(u"panBlocco"_s);
        QVERIFY(curtain && curtain->isVisible());
        QCOMPARE(curtain->geometry(), c->rect());
        QVERIFY(!access::coveredByModal(b));
        QAccessibleInterface *entry = QAccessible::queryAccessibleInterface(b->txtPassword);
        QCOMPARE(entry->text(QAccessible::Name), u"Password"_s);
        for (QObject *o : b->findChildren<QWidget *>())
            QVERIFY2(!o->objectName().isEmpty() || !qobject_cast<QAbstractButton *>(o), "a control without a name");

        // A wrong password waits as at the login.
        activate(b);
        type(b->txtPassword, u"sbagliata"_s);
        pressEnter(b->txtPassword);
        QCOMPARE(app.messages->take(), QStringList{kWrong});
        QCOMPARE(b->waitLine->label()->text(), LoginWait::text(1));
        type(b->txtPassword, u"clinora"_s);
        pressEnter(b->txtPassword);
        QVERIFY(lock->locked());
        later(app, 1);
        b->waitLine->refresh();
        pressEnter(b->txtPassword);

        QVERIFY(!lock->locked());
        QVERIFY(!b->isVisible());
        QVERIFY(!c->findChild<QWidget *>(u"panBlocco"_s));
        QVERIFY(c->isVisible());
        QCOMPARE(c->txtPaziente->text(), u"ROSSI MARIO"_s);
        QTRY_COMPARE(focused(), c->txtPaziente);
        // And it locks again after the next pause.
        QTRY_VERIFY_WITH_TIMEOUT(lock->locked(), 5000);
    }

    // Ctrl+L locks at once; "Esci" asks before unsaved work is lost.
    void ctrlLLocksAndEsciAsksFirst()
    {
        {
            TestApp app;
            app.setPassword(u"CLINORA"_s);
            const privacy::Settings onlyAtCtrlL{0, true};
            QVERIFY(onlyAtCtrlL.save(app.folder()));
            logIn(app);
            IdleLock *lock = app.ctx->idleLock();
            QCOMPARE(lock->idleMs(), 0);
            TfrmClienti *c = openCard(app);
            type(c->txtPaziente, u"ROSSI"_s);
            QTest::keyClick(c->txtPaziente, Qt::Key_L, Qt::ControlModifier);
            QVERIFY(lock->locked());
            QCOMPARE(c->txtPaziente->text(), u"ROSSI"_s);

            TfrmBlocco *b = lock->screen();
            app.messages->answers = {MsgAnswer::No};
            click(b->cmdEsci);
            const QStringList asked = app.messages->take();
            QCOMPARE(asked.size(), 1);
            QVERIFY(asked[0].contains(u"modifiche non ancora salvate"_s));
            QCOMPARE(app.ends, 0);
            QVERIFY(lock->locked());
            app.messages->answers = {MsgAnswer::Yes};
            click(b->cmdEsci);
            QCOMPARE(app.ends, 1);
        }
        // From the start menu nothing can be lost: no question.
        TestApp menu;
        menu.setPassword(u"CLINORA"_s);
        logIn(menu);
        menu.ctx->idleLock()->lock();
        click(menu.ctx->idleLock()->screen()->cmdEsci);
        QVERIFY(menu.messages->shown.isEmpty());
        QCOMPARE(menu.ends, 1);
    }

    // A data folder other accounts can reach is told once after the login,
    // naming the folder and the command that closes it, until the user
    // answers not to hear it again.
    void openFolderIsToldUntilLeftAlone()
    {
#if defined(Q_OS_UNIX)
        TestApp app;
        app.setPassword(u"CLINORA"_s);
        writeFile(app.path(u"Pazienti.pro"_s), "x");
        QCOMPARE(::chmod(QFile::encodeName(app.folder()).constData(), 0755), 0);
        QCOMPARE(::chmod(QFile::encodeName(app.path(u"Pazienti.pro"_s)).constData(), 0644), 0);
        app.messages->answers = {MsgAnswer::Yes};
        logIn(app);
        QCOMPARE(app.messages->shown.size(), 1);
        const FakeMessages::Shown said = app.messages->shown.takeFirst();
        QCOMPARE(said.kind, MsgKind::Confirmation);
        QVERIFY(said.text.startsWith(u"Attenzione: i dati dei pazienti sono accessibili agli altri utenti"_s));
        QVERIFY(said.text.contains(u"(la cartella stessa e 1 archivio)"_s));
        QVERIFY(said.text.contains(u"chmod -R o-rwx \""_s + QDir::toNativeSeparators(app.folder()) + u'"'));

        // Yes: told again at the next login; No: never again.
        restarted(app);
        app.messages->answers = {MsgAnswer::No};
        logIn(app);
        QCOMPARE(app.messages->take().size(), 1);
        QVERIFY(!privacy::Settings::load(app.folder()).warnPermissions);
        restarted(app);
        logIn(app);
        QVERIFY(app.messages->shown.isEmpty());

        TestApp closed; // 0700, as installed
        closed.setPassword(u"CLINORA"_s);
        logIn(closed);
        QVERIFY(closed.messages->shown.isEmpty());
#endif
    }

    // "Crea PDF" over a link planted at Paziente.pdf writes its own file.
    void cardPdfReplacesAPlantedLink()
    {
        TestApp app(false);
        QTemporaryDir elsewhere;
        const QString victim = elsewhere.filePath(u"documento.pdf"_s);
        writeFile(victim, "non toccare");
        const QString target = app.path(u"Paziente.pdf"_s);
        QVERIFY(QFile::link(victim, target));
        app.messages->answers = {MsgAnswer::No};
        QVERIFY(exportPatientCardPdf(*app.ctx, nullptr, patientCardRows([](QStringView) { return u"Rossi"_s; })));
        QCOMPARE(fileBytes(victim), QByteArray("non toccare"));
        QVERIFY(!QFileInfo(target).isSymLink());
        QVERIFY(fileBytes(target).startsWith("%PDF"));
#if defined(Q_OS_UNIX)
        struct stat st = {};
        QCOMPARE(::stat(QFile::encodeName(target).constData(), &st), 0);
        QCOMPARE(int(st.st_mode & 0777), 0600); // the test's folder is 0700
#endif
    }
};

QTEST_MAIN(TestPrivacy)
#include "tst_privacy.moc"
