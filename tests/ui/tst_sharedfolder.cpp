// The screens on a data folder that another computer works on at the same
// time: a file held by another copy of the program is waited for, briefly,
// then reported with the screen's own failure message and left as it was;
// a card saved over a record changed meanwhile asks first.
#include "analyses/AnalysisRecord.h"
#include "analyses/ui/AnalisiCliniche.h"
#include "analyses/ui/ListaPresc.h"
#include "analyses/ui/MenuAnalisi.h"
#include "analyses/ui/TrovaAnalisi.h"
#include "app/PasswordStore.h"
#include "app/ui/Avvio.h"
#include "app/ui/CambiaPassword.h"
#include "app/ui/Password.h"
#include "common/FileLock.h"
#include "share/LockHolder.h"
#include "support/WaitSpy.h"
#include "common/Messages.h"
#include "common/ui/Widgets.h"
#include "patients/PatientRecord.h"
#include "patients/ui/Clienti.h"
#include "patients/ui/TrovaClienti.h"
#include "support/FileTools.h"
#include "support/TestApp.h"

#include <QComboBox>
#include <QDirIterator>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>

using namespace Qt::StringLiterals;
using namespace clinora;
using namespace clinora::test;
using namespace std::chrono_literals;

namespace {

const QString kCode = u"RSSNCC80A01H501U"_s;
const QString kAnalyses = u"Analisi_Cliniche/Paziente_CF_"_s + kCode + u".asl"_s;
const QString kUpdated = u"Le modifiche apportate alla scheda corrente sono state salvate in archivio."_s;
// The password file held by a save elsewhere is said as the archives say it.
const QString kPasswordBusy = kPasswordInUse.toString();
const QString kListError = u"Attenzione: il sistema non permette di aggiornare i dati.\n\r\n\rAccertarsi che il "
                           u"database non sia già aperto."_s;
// The program's wait for a file held elsewhere, shortened for the tests.
constexpr auto kWait = 300ms;

// Another copy of the program, in a process of its own, holding a file locked.
using Holder = test::LockHolder;


using Files = QMap<QString, QByteArray>;

Files filesIn(const QString &folder)
{
    Files files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        files.insert(QDir(folder).relativeFilePath(path), fileBytes(path));
    }
    return files;
}

PatientRecord patient(int k)
{
    PatientRecord r;
    r.set(PatientRecord::Paziente, u"Paziente %1"_s.arg(k));
    r.set(PatientRecord::Recapito, u"06 5550%1"_s.arg(k));
    r.set(PatientRecord::CodFisc, u"PZNPZN80A0%1H501X"_s.arg(k));
    r.set(PatientRecord::Ricontatta, kYes);
    return r;
}

AnalysisRecord analysis(int k)
{
    AnalysisRecord r;
    r.set(AnalysisRecord::Paziente, u"Rossi Niccolò"_s);
    r.set(AnalysisRecord::CodFisc, kCode);
    r.set(AnalysisRecord::NumRef, u"R%1"_s.arg(k));
    r.set(AnalysisRecord::DataRef, u"0%1/02/2024"_s.arg(k));
    r.set(AnalysisRecord::Data, u"0%1/01/2024"_s.arg(k));
    r.set(AnalysisRecord::Esame, u"Glicemia %1"_s.arg(k));
    r.set(AnalysisRecord::Risultato, u"%1,5"_s.arg(k));
    r.set(AnalysisRecord::Esito, u"FUORI NORMA"_s);
    r.set(AnalysisRecord::Allarme, kYes);
    return r;
}

template <class Record>
QByteArray archiveOf(Record (*make)(int), int count)
{
    QByteArray bytes;
    for (int k = 1; k <= count; ++k)
        bytes += make(k).bytes();
    return bytes;
}

void setUpFolder(TestApp &app)
{
    writeFile(app.path(u"Pazienti.pro"_s), archiveOf(&patient, 3));
    writeFile(app.path(kAnalyses), archiveOf(&analysis, 3));
    writeFile(app.path(u"Esami_Frequenti.lst"_s), "Azotemia\r\nGlicemia\r\n");
    app.setPassword(u"CLINORA"_s);
}

TfrmClienti *patientCard(TestApp &app)
{
    TfrmClienti *c = app.ctx->screens.frmClienti;
    app.ctx->switchTo(app.ctx->screens.frmAvvio, c);
    activate(c);
    return c;
}

TfrmAnalisiCliniche *analysisCard(TestApp &app)
{
    TfrmMenuAnalisi *m = app.ctx->screens.frmMenuAnalisi;
    app.ctx->switchTo(app.ctx->screens.frmAvvio, m);
    activate(m);
    m->txtPaziente->setText(u"Rossi Niccolò"_s);
    m->txtCodFisc->setText(kCode);
    click(m->btnApri);
    TfrmAnalisiCliniche *c = app.ctx->screens.frmAnalisiCliniche;
    activate(c);
    return c;
}

void fillNewPatient(TfrmClienti *c)
{
    click(c->cmdNuovo);
    type(c->txtPaziente, u"Bianchi Angela"_s);
    type(c->txtRecapito, u"333 1234567"_s);
    type(c->txtCodFisc, u"BNCNGL70B41F205Z"_s);
}

void fillNewAnalysis(TfrmAnalisiCliniche *c)
{
    click(c->btnCancella);
    type(c->txtNumRef, u"R9"_s);
    c->txtDataRef->setText(u"02/03/2024"_s); // the date picker's work
    c->txtData->setText(u"01/03/2024"_s);
    type(c->txtEsame, u"Emocromo"_s);
    type(c->txtRisultato, u"4,8"_s);
    type(c->txtEsito->lineEdit(), u"NELLA NORMA"_s);
}

using Click = std::function<void()>;
// Brings a screen up as a user would and returns the click of the command.
using Drive = std::function<Click(TestApp &)>;

} // namespace

Q_DECLARE_METATYPE(Drive)

class TestSharedFolderScreens : public QObject {
    Q_OBJECT
private slots:
    void init() { lock::setWaitLimit(kWait); }
    void cleanup() { lock::setWaitLimit(2000ms); }

    void commandsOnAFileHeldElsewhere_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("heldForWriting");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("message"); // empty: the command goes through
        QTest::addColumn<Drive>("drive");

        const QString patients = u"Pazienti.pro"_s;
        const int error = int(MsgKind::Error), plain = int(MsgKind::Plain);
        const QString access = msg::kAccessError.toString();
        const Drive browsePatients = [](TestApp &app) -> Click {
            TfrmClienti *c = patientCard(app);
            return [c] { click(c->cmdUltimo); };
        };
        const Drive saveNewPatient = [](TestApp &app) -> Click {
            TfrmClienti *c = patientCard(app);
            fillNewPatient(c);
            return [c] { click(c->cmdSalva); };
        };
        const Drive saveStoredPatient = [](TestApp &app) -> Click {
            TfrmClienti *c = patientCard(app);
            click(c->cmdPrimo);
            type(c->txtNote, u"Richiamare"_s);
            return [c] { click(c->cmdSalva); };
        };
        const Drive duplicatePatient = [](TestApp &app) -> Click {
            TfrmClienti *c = patientCard(app);
            click(c->cmdPrimo);
            return [c] { click(c->cmdDuplica); };
        };
        const Drive searchPatients = [](TestApp &app) -> Click {
            TfrmClienti *c = patientCard(app);
            return [&app, c] {
                app.dialogs->next<TfrmTrovaClienti>([](TfrmTrovaClienti &d) {
                    click(d.btnCerca);
                    d.close();
                });
                click(c->cmdTrova);
            };
        };
        QTest::newRow("patient card: browse") << patients << true << error << access << browsePatients;
        QTest::newRow("patient card: save new") << patients << true << error << access << saveNewPatient;
        QTest::newRow("patient card: save stored")
            << patients << true << error << access << saveStoredPatient;
        QTest::newRow("patient card: duplicate")
            << patients << true << error << access << duplicatePatient;
        QTest::newRow("patient search") << patients << true << plain << access << searchPatients;
        // Readers elsewhere keep out only the writers.
        QTest::newRow("patient card: browse, read elsewhere")
            << patients << false << error << QString() << browsePatients;
        QTest::newRow("patient search, read elsewhere")
            << patients << false << plain << QString() << searchPatients;
        QTest::newRow("patient card: save new, read elsewhere")
            << patients << false << error << access << saveNewPatient;

        const Drive browseAnalyses = [](TestApp &app) -> Click {
            TfrmAnalisiCliniche *c = analysisCard(app);
            return [c] { click(c->cmdPrimo); };
        };
        const Drive saveNewAnalysis = [](TestApp &app) -> Click {
            TfrmAnalisiCliniche *c = analysisCard(app);
            fillNewAnalysis(c);
            return [c] { click(c->cmdSalva); };
        };
        const Drive saveStoredAnalysis = [](TestApp &app) -> Click {
            TfrmAnalisiCliniche *c = analysisCard(app);
            click(c->cmdUltimo);
            type(c->txtCommento, u"Da ripetere"_s);
            return [c] { click(c->cmdSalva); };
        };
        const Drive searchAnalyses = [](TestApp &app) -> Click {
            TfrmAnalisiCliniche *c = analysisCard(app);
            return [&app, c] {
                app.dialogs->next<TfrmTrovaAnalisi>([](TfrmTrovaAnalisi &d) {
                    click(d.btnCerca);
                    d.close();
                });
                click(c->cmdTrova);
            };
        };
        QTest::newRow("analysis card: browse") << kAnalyses << true << error << access << browseAnalyses;
        QTest::newRow("analysis card: save new")
            << kAnalyses << true << error << access << saveNewAnalysis;
        QTest::newRow("analysis card: save stored")
            << kAnalyses << true << error << access << saveStoredAnalysis;
        QTest::newRow("analysis search") << kAnalyses << true << plain << access << searchAnalyses;
        QTest::newRow("analysis card: save stored, read elsewhere")
            << kAnalyses << false << error << access << saveStoredAnalysis;
        QTest::newRow("analysis search, read elsewhere")
            << kAnalyses << false << plain << QString() << searchAnalyses;

        const Drive saveList = [](TestApp &app) -> Click {
            TfrmMenuAnalisi *m = app.ctx->screens.frmMenuAnalisi;
            app.ctx->switchTo(app.ctx->screens.frmAvvio, m);
            activate(m);
            return [&app, m] {
                app.dialogs->next<TfrmListaPresc>([](TfrmListaPresc &d) {
                    type(d.txtEsame, u"Colesterolo totale"_s);
                    click(d.btnTrova);
                    click(d.btnChiudi);
                    d.close();
                });
                click(m->btnEsamiFrequenti);
            };
        };
        QTest::newRow("frequent exams: save") << u"Esami_Frequenti.lst"_s << true << plain << kListError
                                              << saveList;
        QTest::newRow("frequent exams: save, read elsewhere")
            << u"Esami_Frequenti.lst"_s << false << plain << kListError << saveList;

        const Drive changePassword = [](TestApp &app) -> Click {
            app.ctx->start();
            TfrmPassword *l = app.ctx->screens.frmPassword;
            activate(l);
            click(l->btnCambiaPassword);
            TfrmCambiaPassword *c = app.ctx->screens.frmCambiaPassword;
            activate(c);
            type(c->txtPasswordOld, u"clinora"_s);
            type(c->txtPasswordNew, u"nuova"_s);
            type(c->txtConferma, u"nuova"_s);
            return [c] { click(c->cmdOK); };
        };
        const Drive login = [](TestApp &app) -> Click {
            app.ctx->start();
            TfrmPassword *l = app.ctx->screens.frmPassword;
            activate(l);
            type(l->txtPassword, u"clinora"_s);
            return [l] { click(l->cmdOK); };
        };
        QTest::newRow("change password") << u"unins000.dll"_s << true << plain << kPasswordBusy
                                         << changePassword;
        QTest::newRow("login") << u"unins000.dll"_s << true << plain << kPasswordBusy << login;
        QTest::newRow("login, read elsewhere")
            << u"unins000.dll"_s << false << plain << QString() << login;
    }

    void commandsOnAFileHeldElsewhere()
    {
        QFETCH(QString, file);
        QFETCH(bool, heldForWriting);
        QFETCH(int, kind);
        QFETCH(QString, message);
        QFETCH(Drive, drive);

        TestApp app;
        setUpFolder(app);
        const Click command = drive(app);
        app.messages->take();
        const Files before = filesIn(app.folder());
        {
            Holder other(app.path(file), heldForWriting ? lock::Mode::Exclusive : lock::Mode::Shared);
            QVERIFY(other.locked());
            WaitSpy spy(lock::waitObserver());
            const auto started = std::chrono::steady_clock::now();
            command();
            const auto took = std::chrono::steady_clock::now() - started;
            if (message.isEmpty()) {
                QCOMPARE(spy.waits, 0);
            } else {
                // Waited for the other copy, with the wait cursor up, then gave up.
                QVERIFY(spy.waits >= 1);
                QVERIFY(spy.cursorShown);
                QVERIFY(took >= kWait);
                QCOMPARE(app.messages->shown.size(), 1);
                QCOMPARE(int(app.messages->shown[0].kind), kind);
                QCOMPARE(app.messages->shown[0].text, message);
            }
            QVERIFY(!QGuiApplication::overrideCursor());
        }
        if (message.isEmpty()) {
            for (const FakeMessages::Shown &s : app.messages->shown)
                QVERIFY2(s.text != msg::kAccessError, "a reader was kept out by another reader");
        } else {
            QCOMPARE(filesIn(app.folder()), before);
        }
    }

    // "Salva" on a stored card whose record another computer saved since
    // the card showed it: the question, and each answer.
    void savingOverAChangeMadeElsewhere_data()
    {
        QTest::addColumn<bool>("patientCard");
        QTest::addColumn<bool>("overwrite");
        QTest::newRow("patient card, no") << true << false;
        QTest::newRow("patient card, yes") << true << true;
        QTest::newRow("analysis card, no") << false << false;
        QTest::newRow("analysis card, yes") << false << true;
    }
    void savingOverAChangeMadeElsewhere()
    {
        QFETCH(bool, patientCard);
        QFETCH(bool, overwrite);
        TestApp app;
        setUpFolder(app);
        const QString file = app.path(patientCard ? u"Pazienti.pro"_s : kAnalyses);
        const int size = patientCard ? PatientRecord::kSize : AnalysisRecord::kSize;
        QLineEdit *field = nullptr;
        QLabel *position = nullptr;
        QWidget *save = nullptr;
        if (patientCard) {
            TfrmClienti *c = ::patientCard(app);
            click(c->cmdPrimo);
            click(c->cmdAvanti);
            field = c->txtNote;
            position = c->lblPosizione;
            save = c->cmdSalva;
        } else {
            TfrmAnalisiCliniche *c = analysisCard(app);
            click(c->cmdPrimo);
            click(c->cmdAvanti);
            field = c->txtCommento;
            position = c->lblPosizione;
            save = c->cmdSalva;
        }
        QCOMPARE(position->text(), u"2"_s);
        app.messages->take();

        // One computer: saving twice asks nothing.
        type(field, u"Prima"_s);
        click(save);
        click(save);
        QCOMPARE(app.messages->take(), QStringList(2, kUpdated));

        // Meanwhile another computer saves record 2 (and appends one).
        const QByteArray theirs = patientCard ? patient(7).bytes() : analysis(7).bytes();
        {
            QByteArray all = fileBytes(file);
            all.replace(size, size, theirs);
            writeFile(file, all + theirs);
        }
        const QByteArray onDisk = fileBytes(file);
        field->setText(u"Mia modifica"_s);
        app.messages->answers.push_back(overwrite ? MsgAnswer::Yes : MsgAnswer::No);
        click(save);
        QCOMPARE(app.messages->shown.first().kind, MsgKind::Confirmation);
        const QStringList shown = app.messages->take();
        QCOMPARE(shown.first(), msg::kChangedElsewhere.toString());
        QCOMPARE(shown.first(), u"Attenzione: la scheda è stata modificata da un'altra postazione dopo che è stata "
                                u"aperta.\n\r\n\rSovrascrivere le modifiche?"_s);
        QCOMPARE(field->text(), u"Mia modifica"_s);
        QCOMPARE(position->text(), u"2"_s);
        const QByteArray after = fileBytes(file);
        QCOMPARE(after.size(), onDisk.size());
        QCOMPARE(after.left(size), onDisk.left(size));
        QCOMPARE(after.mid(2 * size), onDisk.mid(2 * size));
        if (!overwrite) {
            QCOMPARE(shown, QStringList{msg::kChangedElsewhere.toString()});
            QCOMPARE(after, onDisk);
            return;
        }
        QCOMPARE(shown, (QStringList{msg::kChangedElsewhere.toString(), kUpdated}));
        QVERIFY(after.mid(size, size) != theirs);
        if (patientCard) {
            PatientRecord r;
            QVERIFY(r.assign(QByteArrayView(after).sliced(size, size)));
            QCOMPARE(r.get(PatientRecord::Note), u"Mia modifica"_s);
        } else {
            AnalysisRecord r;
            QVERIFY(r.assign(QByteArrayView(after).sliced(size, size)));
            QCOMPARE(r.get(AnalysisRecord::Commento), u"Mia modifica"_s);
        }
        // What it saved is now what the card knows: the next save asks nothing.
        click(save);
        QCOMPARE(app.messages->take(), QStringList{kUpdated});
    }
};

QTEST_MAIN(TestSharedFolderScreens)
#include "tst_sharedfolder.moc"
