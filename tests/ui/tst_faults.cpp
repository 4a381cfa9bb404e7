// Every command that writes a file, run once for each of its file
// operations with that operation failing: it must say so with its own
// message and never with its success message, leave every other record and
// file as it was, leave an archive of whole records and a file replaced as a
// whole either old or new, and then, with the disk well again, succeed.
#include "analyses/AnalysisRecord.h"
#include "analyses/ui/AnalisiCliniche.h"
#include "analyses/ui/ExpAnalisi.h"
#include "analyses/ui/ListaPresc.h"
#include "analyses/ui/MenuAnalisi.h"
#include "app/ui/CambiaPassword.h"
#include "app/ui/Password.h"
#include "app/ui/Avvio.h"
#include "common/FileIo.h"
#include "common/Messages.h"
#include "common/RecordFile.h"
#include "common/ui/Widgets.h"
#include "patients/PatientRecord.h"
#include "patients/ui/AllegaCartella.h"
#include "patients/ui/Clienti.h"
#include "patients/ui/ExpClienti.h"
#include "report/ReportMessages.h"
#include "summary/ui/Grafico.h"
#include "summary/ui/MenuRiepLavoro.h"
#include "summary/ui/RiepLavoro.h"
#include "support/TestApp.h"

#include <QComboBox>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>

#include <optional>

using namespace Qt::StringLiterals;
using namespace clinora;
using namespace clinora::test;

namespace {

const QString kCode = u"RSSNCC80A01H501U"_s;
const QString kArchive = u"Analisi_Cliniche/Paziente_CF_"_s + kCode + u".asl"_s;
const QString kInserted = u"La scheda corrente è stata inserita in archivio."_s;
const QString kUpdated = u"Le modifiche apportate alla scheda corrente sono state salvate in archivio."_s;
const QString kExportFailed = u"Attenzione: il sistema non permette di esportare i dati.\n\r\n\rAccertarsi che il file "
                              u"di Excel non sia già aperto."_s;
const QString kAskExport = u"L'esportazione dei dati in Excel può richiedere diversi minuti a seconda del numero di "
                           u"schede presenti in archivio.\r\n\r\nSi vuole esportare i dati adesso?"_s;
const QString kExported = u"Le schede in archivio sono state esportate con successo.\r\n\r\nSi vuole aprire il file "
                          u"di Excel?"_s;

using Step = std::function<void()>;

// Counts a command's file operations, and fails the chosen ones: the n-th
// of all, every one of a kind, or the n-th write cut short half-way.
class Faults : public io::FaultHook {
public:
    int failAt = 0;
    std::optional<io::Op> failKind;
    int cutWrite = 0;

    struct Seen {
        io::Op op;
        QString path;
        bool failed;
    };
    QList<Seen> seen;
    int writes = 0;
    QList<io::Op> failed;

    bool shouldFail(io::Op op, const QString &path) override
    {
        const bool fail = seen.size() + 1 == failAt || failKind == op;
        seen.append({op, path, fail});
        if (fail)
            failed << op;
        return fail;
    }
    qint64 bytesBeforeCut(const QString &path, qint64 size) override
    {
        if (++writes != cutWrite)
            return size;
        failed << io::Op::Write;
        // Seen as a write that failed.
        seen.append({io::Op::Write, path, true});
        return size / 2;
    }

    // Whether `op` on the file was tried, up to the first failure (that one
    // included), and whether it went through before it.
    bool tried(io::Op op, const QString &file) const { return reached(op, file, true); }
    bool done(io::Op op, const QString &file) const { return reached(op, file, false); }

private:
    bool reached(io::Op op, const QString &file, bool failedToo) const
    {
        for (const Seen &s : seen) {
            if (s.op == op && s.path.endsWith(file) && (failedToo || !s.failed))
                return true;
            if (s.failed)
                return false;
        }
        return false;
    }
};

class Hooked {
public:
    explicit Hooked(io::FaultHook *hook) { io::setFaultHook(hook); }
    ~Hooked() { io::setFaultHook(nullptr); }
};

// Every file under the AppFolder, by its path there.
using Files = QMap<QString, QByteArray>;

Files filesIn(const QString &folder)
{
    Files files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile f(path);
        files.insert(QDir(folder).relativeFilePath(path), f.open(QIODevice::ReadOnly) ? f.readAll() : "?");
    }
    return files;
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(bytes), bytes.size());
}

PatientRecord patient(int k)
{
    PatientRecord r;
    r.set(PatientRecord::Paziente, u"Paziente %1 Ciò"_s.arg(k));
    r.set(PatientRecord::Recapito, u"06 5550%1"_s.arg(k));
    r.set(PatientRecord::CodFisc, u"PZNPZN80A0%1H501X"_s.arg(k));
    r.set(PatientRecord::Note, u"Nota %1"_s.arg(k));
    r.set(PatientRecord::Ricontatta, kNo);
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
    r.set(AnalysisRecord::Esame, u"Esame %1"_s.arg(k));
    r.set(AnalysisRecord::Risultato, u"%1,5"_s.arg(k));
    r.set(AnalysisRecord::Esito, u"NELLA NORMA"_s);
    r.set(AnalysisRecord::Allarme, u"No"_s);
    return r;
}

template <class Record>
QByteArray archiveOf(int count)
{
    QByteArray bytes;
    for (int k = 1; k <= count; ++k) {
        if constexpr (std::is_same_v<Record, PatientRecord>)
            bytes += patient(k).bytes();
        else
            bytes += analysis(k).bytes();
    }
    return bytes;
}

// A PDF names the moment it was made; two runs differ only there.
QByteArray withoutDates(QByteArray pdf)
{
    static const QRegularExpression date(u"/CreationDate \\([^)]*\\)"_s);
    return QString::fromLatin1(pdf).remove(date).toLatin1();
}

// One file the command writes: an archive, with the record it writes, or a
// file replaced as a whole.
struct Target {
    QString name;
    int recordSize = 0; // 0: replaced as a whole
    qint64 record = 0;  // 1-based; one past the last for an append
};

struct Command {
    const char *name;
    QList<Target> targets;
    MsgKind failureKind;
    QString failure;  // for the PDF: the engine's message, made from the path
    QString success;  // empty when success shows nothing
    QStringList questions; // asked on the way, whatever happens
    // Sets the folder up, brings the screen up as a user would, and calls
    // `act` with the click that runs the command; `act` runs it once or more.
    // The last argument tells, for a command that shows no message on
    // success, whether it succeeded.
    std::function<void(TestApp &, const std::function<void(const Step &, const std::function<bool()> &)> &)> drive;
};

// ---- The commands --------------------------------------------------------------------------------

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

QList<Command> commands()
{
    QList<Command> list;
    const Target patients{u"Pazienti.pro"_s, PatientRecord::kSize, 0};
    const Target analyses{kArchive, AnalysisRecord::kSize, 0};

    Target t = patients;
    t.record = 4;
    // When the record reached the disk before the failure (a failed close),
    // saving again finds it, asks, and on Yes stores a second copy.
    list.append({"save new patient", {t}, MsgKind::Error, msg::kAccessError.toString(), kInserted,
                 {u"Attenzione: esiste già la scheda n. 4 con lo stesso codice fiscale. Salvare comunque una nuova "
                  u"scheda?"_s},
                 [](TestApp &app, const auto &act) {
                     // Three patients and the fragment of a fourth whose save was cut short.
                     writeFile(app.path(u"Pazienti.pro"_s), archiveOf<PatientRecord>(3) + QByteArray(100, 'x'));
                     TfrmClienti *c = patientCard(app);
                     click(c->cmdNuovo);
                     type(c->txtPaziente, u"Bianchi Àngela"_s);
                     type(c->txtRecapito, u"333 1234567"_s);
                     type(c->txtCodFisc, u"BNCNGL70B41F205Z"_s);
                     act([c] { click(c->cmdSalva); }, nullptr);
                 }});
    t.record = 2;
    list.append({"save stored patient", {t}, MsgKind::Error, msg::kAccessError.toString(), kUpdated, {},
                 [](TestApp &app, const auto &act) {
                     writeFile(app.path(u"Pazienti.pro"_s), archiveOf<PatientRecord>(3));
                     TfrmClienti *c = patientCard(app);
                     click(c->cmdPrimo);
                     click(c->cmdAvanti);
                     QCOMPARE(c->lblPosizione->text(), u"2"_s);
                     type(c->txtNote, u" e altro"_s);
                     act([c] { click(c->cmdSalva); }, nullptr);
                 }});
    t = analyses;
    t.record = 4;
    list.append({"save new analysis", {t}, MsgKind::Error, msg::kAccessError.toString(), kInserted, {},
                 [](TestApp &app, const auto &act) {
                     writeFile(app.path(kArchive), archiveOf<AnalysisRecord>(3));
                     TfrmAnalisiCliniche *c = analysisCard(app);
                     type(c->txtNumRef, u"R9"_s);
                     c->txtDataRef->setText(u"02/03/2024"_s); // the date picker's work
                     c->txtData->setText(u"01/03/2024"_s);
                     type(c->txtEsame, u"Emocromo"_s);
                     type(c->txtRisultato, u"4,8"_s);
                     type(c->txtEsito->lineEdit(), u"FUORI NORMA"_s);
                     act([c] { click(c->cmdSalva); }, nullptr);
                 }});
    t.record = 3;
    list.append({"save stored analysis", {t}, MsgKind::Error, msg::kAccessError.toString(), kUpdated, {},
                 [](TestApp &app, const auto &act) {
                     writeFile(app.path(kArchive), archiveOf<AnalysisRecord>(3));
                     TfrmAnalisiCliniche *c = analysisCard(app);
                     click(c->cmdUltimo);
                     QCOMPARE(c->lblPosizione->text(), u"3"_s);
                     type(c->txtCommento, u"Da ripetere"_s);
                     act([c] { click(c->cmdSalva); }, nullptr);
                 }});
    list.append({"change password",
                 {{u"unins000.dll"_s}},
                 MsgKind::Plain,
                 u"Attenzione: si è verificato un errore durante la procedura di modifica della password. Si "
                 u"consiglia di reinstallare il software."_s,
                 u"Modifica della password completata con successo."_s,
                 {},
                 [](TestApp &app, const auto &act) {
                     app.setPassword(u"CLINORA"_s);
                     app.ctx->start();
                     TfrmPassword *l = app.ctx->screens.frmPassword;
                     activate(l);
                     click(l->btnCambiaPassword);
                     TfrmCambiaPassword *c = app.ctx->screens.frmCambiaPassword;
                     activate(c);
                     type(c->txtPasswordOld, u"clinora"_s);
                     type(c->txtPasswordNew, u"nuova"_s);
                     type(c->txtConferma, u"nuova"_s);
                     act([c] { click(c->cmdOK); }, nullptr);
                 }});
    list.append({"save frequent exams",
                 {{u"Esami_Frequenti.lst"_s}},
                 MsgKind::Plain,
                 u"Attenzione: il sistema non permette di aggiornare i dati.\n\r\n\rAccertarsi che il database non "
                 u"sia già aperto."_s,
                 QString(),
                 {},
                 [](TestApp &app, const auto &act) {
                     writeFile(app.path(u"Esami_Frequenti.lst"_s), "Azotemia  UM: mg/dl\r\nGlicemia\r\n");
                     TfrmMenuAnalisi *m = app.ctx->screens.frmMenuAnalisi;
                     app.ctx->switchTo(app.ctx->screens.frmAvvio, m);
                     activate(m);
                     app.dialogs->next<TfrmListaPresc>([&act](TfrmListaPresc &d) {
                         type(d.txtEsame, u"Colesterolo totale"_s);
                         type(d.txtUM, u"mg/dl"_s);
                         click(d.btnTrova);
                         act([&d] { click(d.btnChiudi); }, [&d] { return !d.isVisible(); });
                     });
                     click(m->btnEsamiFrequenti);
                 }});
    list.append({"export patients",
                 {{u"Pazienti.xls"_s}},
                 MsgKind::Plain,
                 kExportFailed,
                 kExported,
                 {kAskExport},
                 [](TestApp &app, const auto &act) {
                     writeFile(app.path(u"Pazienti.pro"_s), archiveOf<PatientRecord>(3));
                     writeFile(app.path(u"Pazienti.xls"_s), "<html>the export before</html>");
                     TfrmClienti *c = patientCard(app);
                     app.dialogs->next<TfrmExpClienti>(
                         [&act](TfrmExpClienti &d) { act([&d] { click(d.cmdEsporta); }, nullptr); });
                     click(c->cmdEsporta);
                 }});
    list.append({"export analyses",
                 {{u"Analisi_Cliniche.xls"_s}},
                 MsgKind::Plain,
                 kExportFailed,
                 kExported,
                 {kAskExport},
                 [](TestApp &app, const auto &act) {
                     writeFile(app.path(kArchive), archiveOf<AnalysisRecord>(3));
                     TfrmAnalisiCliniche *c = analysisCard(app);
                     app.dialogs->next<TfrmExpAnalisi>(
                         [&act](TfrmExpAnalisi &d) { act([&d] { click(d.cmdEsporta); }, nullptr); });
                     click(c->cmdEsporta);
                 }});
    list.append({"patient card PDF",
                 {{u"Paziente.pdf"_s}},
                 MsgKind::Error,
                 QString(),
                 u"L'esportazione della scheda in PDF è terminata con successo.\n\r\n\rSi vuole aprire il file?"_s,
                 {},
                 [](TestApp &app, const auto &act) {
                     writeFile(app.path(u"Pazienti.pro"_s), archiveOf<PatientRecord>(3));
                     writeFile(app.path(u"Paziente.pdf"_s), "%PDF-1.4 the card before\n%%EOF\n");
                     TfrmClienti *c = patientCard(app);
                     click(c->cmdPrimo);
                     act([c] { click(c->cmdPDF); }, nullptr);
                 }});
    list.append({"trend chart PDF",
                 {{u"Andamento.pdf"_s}},
                 MsgKind::Error,
                 QString(),
                 u"L'esportazione del grafico in PDF è terminata con successo.\n\r\n\rSi vuole aprire il file?"_s,
                 {},
                 [](TestApp &app, const auto &act) {
                     writeFile(app.path(kArchive), archiveOf<AnalysisRecord>(3));
                     writeFile(app.path(u"Andamento.pdf"_s), "%PDF-1.4 the chart before\n%%EOF\n");
                     TfrmMenuRiepLavoro *m = app.ctx->screens.frmMenuRiepLavoro;
                     app.ctx->switchTo(app.ctx->screens.frmAvvio, m);
                     activate(m);
                     m->txtAnno->setText(u"2024"_s);
                     m->txtCodFisc->setText(kCode);
                     m->txtGiornoInizio->setCurrentIndex(0);
                     m->txtMeseInizio->setCurrentIndex(0);
                     m->txtGiornoFine->setCurrentIndex(m->txtGiornoFine->count() - 1);
                     m->txtMeseFine->setCurrentIndex(m->txtMeseFine->count() - 1);
                     app.dialogs->next<TfrmRiepLavoro>([&app, &act](TfrmRiepLavoro &r) {
                         app.dialogs->next<TfrmGrafico>([&app, &act](TfrmGrafico &g) {
                             act(
                                 [&app, &g] {
                                     app.files->answers.push_back(app.path(u"Andamento.pdf"_s));
                                     click(g.btnPDF);
                                 },
                                 nullptr);
                         });
                         click(r.btnGrafico);
                     });
                     click(m->btnVisualizza);
                 }});
    const auto attach = [](bool existing) {
        return [existing](TestApp &app, const auto &act) {
            writeFile(app.path(u"Pazienti.pro"_s), archiveOf<PatientRecord>(1));
            if (existing)
                writeFile(app.path(u"Documenti_Allegati/Referto è.txt"_s), "the attachment before");
            static QTemporaryDir elsewhere;
            const QString chosen = elsewhere.filePath(u"Referto è.txt"_s);
            // Over two chunks of the copy.
            writeFile(chosen, QByteArray(3 << 20, 'n') + "the attachment chosen");
            TfrmClienti *c = patientCard(app);
            click(c->cmdPrimo);
            app.dialogs->next<TfrmAllegaCartella>([&app, &act, chosen](TfrmAllegaCartella &d) {
                act(
                    [&app, &d, chosen] {
                        app.files->answers.push_back(chosen);
                        click(d.btnSfoglia01);
                    },
                    [&d] { return d.txtFile01->text() == u"Referto è.txt"_s; });
            });
            click(c->cmdFile);
        };
    };
    const QString overwrite = u"Attenzione: nella cartella dei documenti allegati è presente un file con lo stesso "
                              u"nome.\r\n\r\nSi vuole sovrascrivere il file esistente?"_s;
    list.append({"attach over a file", {{u"Documenti_Allegati/Referto è.txt"_s}}, MsgKind::Error,
                 msg::kAccessError.toString(), QString(), {overwrite}, attach(true)});
    list.append({"attach a first file", {{u"Documenti_Allegati/Referto è.txt"_s}}, MsgKind::Error,
                 msg::kAccessError.toString(), QString(), {overwrite}, attach(false)});
    return list;
}

// ---- What must hold --------------------------------------------------------------------------------

QByteArray comparable(const Target &t, const QByteArray &bytes)
{
    return t.name.endsWith(u".pdf"_s) ? withoutDates(bytes) : bytes;
}

// What a target may hold after the command.
enum class Expect {
    Old,      // as before: the command failed before touching it
    OldOrNew, // either, each whole
    New,      // what a successful run leaves
};

// The archive holds whole records (a failed append may have left the
// fragment it found, or taken it away), every one as before but the
// command's own, which is as `expect` says.
void checkArchive(const Target &t, const Files &before, const Files &now, const QByteArray &newRecord, Expect expect)
{
    const QByteArray old = before.value(t.name);
    const QByteArray cur = now.value(t.name);
    const int rs = t.recordSize;
    const qint64 oldCount = old.size() / rs;
    const qint64 count = cur.size() / rs;
    if (t.record > oldCount) {
        // An append: no new record, or the new one whole, once: a save whose
        // record reached the file but whose close failed names that record,
        // and saved again rewrites it.
        QVERIFY2(count >= oldCount && count <= oldCount + 1,
                 qPrintable(u"%1 records of %2"_s.arg(count).arg(oldCount)));
        for (qint64 k = oldCount + 1; k <= count; ++k)
            QVERIFY2(cur.mid((k - 1) * rs, rs) == newRecord, "an appended record is not the one saved");
        if (expect == Expect::New)
            QVERIFY2(count > oldCount, "the record was not appended");
        if (expect == Expect::Old)
            QVERIFY2(count == oldCount, "a save reported failed left its record");
        if (count == oldCount && cur.size() > count * rs) // the fragment, as it was
            QCOMPARE(cur.mid(count * rs), old.mid(count * rs));
    } else {
        QCOMPARE(cur.size(), old.size());
        const QByteArray rec = cur.mid((t.record - 1) * rs, rs);
        const QByteArray was = old.mid((t.record - 1) * rs, rs);
        if (expect == Expect::Old)
            QVERIFY2(rec == was, "a failure before the rewrite changed the record");
        else if (expect == Expect::New)
            QVERIFY2(rec == newRecord, "the record was not rewritten");
        else
            QVERIFY2(rec == newRecord || rec == was, "the record rewritten is neither the old one nor the new one");
    }
    for (qint64 k = 1; k <= oldCount; ++k) {
        if (k != t.record)
            QVERIFY2(cur.mid((k - 1) * rs, rs) == old.mid((k - 1) * rs, rs),
                     qPrintable(u"record %1 changed"_s.arg(k)));
    }
}

// Every target as `expect` says; no other file changed, none appeared, and
// the only leftover is a rewrite's journal, until the next open settles it.
void checkFolder(const Command &cmd, const Files &before, const Files &now, const Files &expected,
                 const std::function<Expect(const Target &)> &expect)
{
    QStringList names;
    for (const Target &t : cmd.targets) {
        names << t.name;
        if (t.recordSize) {
            const QByteArray newRecord = expected.value(t.name).mid((t.record - 1) * t.recordSize, t.recordSize);
            checkArchive(t, before, now, newRecord, expect(t));
            if (QTest::currentTestFailed())
                return;
            names << RecordFile::journalPath(t.name);
        } else {
            const bool isNew = now.contains(t.name)
                               && comparable(t, now.value(t.name)) == comparable(t, expected.value(t.name));
            const bool isOld = now.contains(t.name) == before.contains(t.name)
                               && now.value(t.name) == before.value(t.name);
            switch (expect(t)) {
            case Expect::Old: QVERIFY2(isOld, qPrintable(t.name + u" was replaced by a failed command"_s)); break;
            case Expect::New: QVERIFY2(isNew, qPrintable(t.name + u" is not the new one"_s)); break;
            case Expect::OldOrNew: QVERIFY2(isNew || isOld, qPrintable(t.name + u" is neither old nor new"_s));
            }
        }
    }
    for (auto it = before.cbegin(); it != before.cend(); ++it) {
        if (!names.contains(it.key()))
            QVERIFY2(now.value(it.key()) == it.value(), qPrintable(it.key() + u" changed"_s));
    }
    for (const QString &name : now.keys())
        QVERIFY2(before.contains(name) || names.contains(name), qPrintable(name + u" was left behind"_s));
}

// Opens each archive as the next command would: a rewrite's journal is
// replayed or dropped, and gone.
void settleJournals(const Command &cmd, TestApp &app)
{
    for (const Target &t : cmd.targets) {
        if (!t.recordSize || !QFile::exists(RecordFile::journalPath(app.path(t.name))))
            continue;
        RecordFile f(t.recordSize);
        QVERIFY(f.open(app.path(t.name)));
        QVERIFY(f.close());
        QVERIFY(!QFile::exists(RecordFile::journalPath(app.path(t.name))));
    }
}

} // namespace

class TestFaults : public QObject {
    Q_OBJECT

    struct Outcome {
        int operations = 0;
        int writes = 0;
        QList<io::Op> kinds;
        Files after;
    };

    // What the command said, questions apart.
    static QStringList told(const Command &cmd, TestApp &app)
    {
        QStringList texts;
        for (const FakeMessages::Shown &m : app.messages->shown)
            if (!cmd.questions.contains(m.text))
                texts << m.text;
        return texts;
    }
    static QStringList succeeded(const Command &cmd)
    {
        return cmd.success.isEmpty() ? QStringList() : QStringList{cmd.success};
    }

    static QString failureText(const Command &cmd, TestApp &app)
    {
        return cmd.failure.isEmpty() ? report::msg::pdfFailed(app.path(cmd.targets[0].name)) : cmd.failure;
    }

    // The command without faults: how many operations it makes, and what it leaves.
    static Outcome cleanRun(const Command &cmd)
    {
        Outcome out;
        TestApp app;
        Faults count;
        cmd.drive(app, [&](const Step &command, const std::function<bool()> &done) {
            app.messages->take();
            {
                Hooked h(&count);
                command();
            }
            QCOMPARE(told(cmd, app), succeeded(cmd));
            if (done)
                QVERIFY(done());
        });
        out.operations = int(count.seen.size());
        out.writes = count.writes;
        for (const Faults::Seen &seen : count.seen)
            if (!out.kinds.contains(seen.op))
                out.kinds << seen.op;
        out.after = filesIn(app.folder());
        return out;
    }

    // The command with `faults`, then again with none.
    static void faultyRun(const Command &cmd, Faults &faults, const Files &expected)
    {
        TestApp app;
        cmd.drive(app, [&](const Step &command, const std::function<bool()> &done) {
            const Files before = filesIn(app.folder());
            app.messages->take();
            {
                Hooked h(&faults);
                command();
            }
            QVERIFY2(!faults.failed.isEmpty(), "no operation failed");
            const QList<FakeMessages::Shown> shown = app.messages->shown;
            const QStringList texts = told(cmd, app);
            const auto isNew = [](const Target &) { return Expect::New; };
            if (texts == succeeded(cmd)) {
                // Only a leftover that could not be removed may fail unsaid,
                // and then the work is wholly done.
                for (io::Op op : faults.failed)
                    QVERIFY2(op == io::Op::Remove, "success reported after a failure");
                settleJournals(cmd, app);
                checkFolder(cmd, before, filesIn(app.folder()), expected, isNew);
                if (done)
                    QVERIFY(done());
                return;
            }
            // Its own failure message, in its own kind of box, and nothing else.
            QCOMPARE(texts, QStringList{failureText(cmd, app)});
            QCOMPARE(int(shown.last().kind), int(cmd.failureKind));
            if (done)
                QVERIFY2(!done(), "the command went on as if it had succeeded");

            // A file replaced as a whole is the old one. A rewrite never
            // begun leaves the old record; one begun is finished from its
            // journal by the next open. An append leaves its record only once
            // it is on the disk (a failed close).
            const auto appended = [&](const Target &t) {
                return t.record > before.value(t.name).size() / t.recordSize;
            };
            const auto now = [&](const Target &t) {
                if (!t.recordSize)
                    return Expect::Old;
                if (appended(t))
                    return faults.done(io::Op::Sync, t.name) ? Expect::New : Expect::Old;
                return faults.tried(io::Op::Write, t.name) ? Expect::OldOrNew : Expect::Old;
            };
            const auto settled = [&](const Target &t) {
                if (t.recordSize && !appended(t) && faults.tried(io::Op::Write, t.name))
                    return Expect::New;
                return now(t);
            };
            checkFolder(cmd, before, filesIn(app.folder()), expected, now);
            if (QTest::currentTestFailed())
                return;
            settleJournals(cmd, app);
            checkFolder(cmd, before, filesIn(app.folder()), expected, settled);
            if (QTest::currentTestFailed())
                return;

            // The disk is well again: the same command works. A new card whose
            // record went in before the close failed is the card's record now:
            // saving again rewrites it.
            bool alreadyIn = false;
            for (const Target &t : cmd.targets)
                alreadyIn = alreadyIn || (t.recordSize && appended(t) && faults.done(io::Op::Sync, t.name));
            app.messages->take();
            command();
            QCOMPARE(told(cmd, app), alreadyIn ? QStringList{kUpdated} : succeeded(cmd));
            if (done)
                QVERIFY(done());
            checkFolder(cmd, before, filesIn(app.folder()), expected, isNew);
        });
    }

private slots:
    void everyOperationFails_data()
    {
        QTest::addColumn<int>("index");
        const QList<Command> all = commands();
        for (int i = 0; i < all.size(); ++i)
            QTest::newRow(all[i].name) << i;
    }
    void everyOperationFails()
    {
        QFETCH(int, index);
        const Command cmd = commands()[index];
        const Outcome clean = cleanRun(cmd);
        QVERIFY(!QTest::currentTestFailed());
        QVERIFY(clean.operations > 0);
        QVERIFY(clean.writes > 0);

        int runs = 0;
        const auto run = [&](Faults &faults, const QString &what) {
            faultyRun(cmd, faults, clean.after);
            ++runs;
            if (QTest::currentTestFailed())
                qWarning("%s: failed with %s", cmd.name, qPrintable(what));
        };
        for (int k = 1; k <= clean.operations && !QTest::currentTestFailed(); ++k) {
            Faults f;
            f.failAt = k;
            run(f, u"operation %1 of %2 failing"_s.arg(k).arg(clean.operations));
        }
        for (io::Op op : clean.kinds) {
            if (QTest::currentTestFailed())
                break;
            Faults f;
            f.failKind = op;
            run(f, u"every operation of kind %1 failing"_s.arg(int(op)));
        }
        for (int w = 1; w <= clean.writes && !QTest::currentTestFailed(); ++w) {
            Faults f;
            f.cutWrite = w;
            run(f, u"write %1 of %2 cut short"_s.arg(w).arg(clean.writes));
        }
        qInfo("%s: %d operations, %d writes, %d faulty runs", cmd.name, clean.operations, clean.writes, runs);
    }
};

QTEST_MAIN(TestFaults)
#include "tst_faults.moc"
