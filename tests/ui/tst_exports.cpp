// The two spreadsheet exports, driven as a user would: the grid shown, a
// cell typed over, the spreadsheet icon, the two questions, and the file
// written, byte for byte.
#include "analyses/AnalysisRecord.h"
#include "analyses/ui/AnalisiCliniche.h"
#include "analyses/ui/ExpAnalisi.h"
#include "analyses/ui/MenuAnalisi.h"
#include "app/ui/Avvio.h"
#include "app/ui/Guida.h"
#include "common/FileIo.h"
#include "common/ui/Widgets.h"
#include "patients/PatientRecord.h"
#include "patients/ui/Clienti.h"
#include "patients/ui/ExpClienti.h"
#include "support/TestApp.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>

using namespace Qt::StringLiterals;
using namespace clinora;
using namespace clinora::test;

namespace {

using F = PatientRecord::Field;

const QString kAsk = u"L'esportazione dei dati in Excel può richiedere diversi minuti a seconda del numero di schede "
                     u"presenti in archivio.\r\n\r\nSi vuole esportare i dati adesso?"_s;
const QString kDone = u"Le schede in archivio sono state esportate con successo.\r\n\r\nSi vuole aprire il file di "
                      u"Excel?"_s;
const QString kFailed = u"Attenzione: il sistema non permette di esportare i dati.\n\r\n\rAccertarsi che il file di "
                        u"Excel non sia già aperto."_s;
const QByteArray kTd = "<td style=\"text-align: left;\" sdnum=\"1040;0;@\">";

QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

// A patient whose every field names itself ("Email 2").
PatientRecord patient(int k)
{
    PatientRecord r;
    for (int f = 0; f < PatientRecord::FieldCount; ++f) {
        const FieldDef &def = PatientRecord::recordLayout().field(f);
        r.set(F(f), QString(QString::fromLatin1(def.name) + u' ' + QString::number(k)).left(def.capacity));
    }
    r.set(F::Ricontatta, kNo);
    return r;
}

// Fails one kind of operation while it lives, after the first `allowed`.
class FailOp : public io::FaultHook {
public:
    explicit FailOp(io::Op op, int allowed = 0) : m_op(op), m_left(allowed) { io::setFaultHook(this); }
    ~FailOp() override { io::setFaultHook(nullptr); }
    bool shouldFail(io::Op op, const QString &) override { return op == m_op && m_left-- <= 0; }

private:
    io::Op m_op;
    int m_left;
};

void moveOver(QWidget *w)
{
    QMouseEvent move(QEvent::MouseMove, QPointF(2, 2), w->mapToGlobal(QPointF(2, 2)), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(w, &move);
}

// Types into a grid cell as the keyboard does: the first key opens the
// cell's editor (a read-only cell has none), Enter ends the typing.
void typeInCell(QTableView *grid, int row, int column, const QString &text)
{
    grid->setFocus();
    grid->setCurrentIndex(grid->model()->index(row, column));
    type(grid, text.left(1));
    if (focused() != grid)
        type(focused(), text.mid(1));
    pressEnter(focused());
    QCoreApplication::processEvents(); // the editor hands its text over after the key
}

QString cell(const ExportScreen &d, int row, int column) { return d.gridModel()->cell(row, column).toString(); }

} // namespace

class TestExports : public QObject {
    Q_OBJECT

    static TfrmClienti *card(TestApp &app)
    {
        TfrmClienti *c = app.ctx->screens.frmClienti;
        app.ctx->switchTo(app.ctx->screens.frmAvvio, c);
        activate(c);
        return c;
    }

    static void writePatients(TestApp &app, const QList<PatientRecord> &records)
    {
        QFile f(app.path(u"Pazienti.pro"_s));
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        for (const PatientRecord &r : records)
            f.write(r.bytes());
    }

    // Opens the patient export from the card and runs `drive` while it is up.
    static void patientExport(TestApp &app, std::function<void(TfrmExpClienti &)> drive)
    {
        TfrmClienti *c = card(app);
        app.dialogs->next<TfrmExpClienti>(std::move(drive));
        click(c->cmdEsporta);
    }

    static QString patientFile(TestApp &app) { return app.path(u"Pazienti.xls"_s); }

private slots:
    // ---- The patient export ----------------------------------------------------------------------

    void patientGridShowsTheArchive()
    {
        TestApp app;
        PatientRecord bare;
        bare.set(F::Paziente, u"Bianchi Anna"_s);
        bare.set(F::ComuneNasc, u"Roma"_s);
        bare.set(F::Ricontatta, kYes);
        writePatients(app, {patient(1), bare, patient(3)});
        patientExport(app, [&](TfrmExpClienti &d) {
            QCOMPARE(d.windowTitle(), u" Esporta archivio pazienti in Microsoft Excel"_s);
            QCOMPARE(d.size(), QSize(862, 560));
            QCOMPARE(d.panInfo->text(), u"Esportazione archivio in Microsoft Excel."_s);
            QCOMPARE(d.grdRecords->size(), QSize(821, 409));
            const TextGridModel &grid = *d.gridModel();
            QCOMPARE(grid.rowCount(), 3);
            QCOMPARE(grid.columnCount(), 26);
            const QList<std::pair<QString, int>> columns = {
                {u"N."_s, 60},
                {u"Paziente"_s, 220},
                {u"Data di nascita"_s, 120},
                {u"Comune / Stato estero di nascita"_s, 220},
                {u"Tel. preferenziale"_s, 150},
                {u"Indirizzo di residenza"_s, 250},
                {u"Comune di residenza"_s, 220},
                {u"Professione"_s, 220},
                {u"Tel. casa"_s, 200},
                {u"Tel. ufficio"_s, 200},
                {u"Tel. cellulare"_s, 200},
                {u"Fax"_s, 200},
                {u"E-mail"_s, 250},
                {u"Codice fiscale"_s, 150},
                {u"Partita IVA"_s, 150},
                {u"Tessera sanitaria n."_s, 250},
                {u"ASL"_s, 220},
                {u"Vaccinazioni"_s, 300},
                {u"Patologie"_s, 300},
                {u"Allergie e intolleranze"_s, 300},
                {u"Farmaci assunti"_s, 300},
                {u"Interventi subiti"_s, 300},
                {u"Protesi"_s, 300},
                {u"Handicap psicomotori"_s, 300},
                {u"Questioni in sospeso"_s, 300},
                {u"Note"_s, 350},
            };
            for (int c = 0; c < 26; ++c) {
                QCOMPARE(grid.headerData(c, Qt::Horizontal).toString(), columns[c].first);
                QCOMPARE(d.grdRecords->columnWidth(c), columns[c].second);
            }
            QCOMPARE(d.grdRecords->verticalHeader()->defaultSectionSize(), 21);
            QCOMPARE(d.grdRecords->rowHeight(2), 21);
            QVERIFY(d.grdRecords->alternatingRowColors());
            QCOMPARE(cell(d, 0, 0), u"1"_s);
            QCOMPARE(cell(d, 0, 3), u"ComuneNasc 1 Pr"_s);
            QCOMPARE(cell(d, 0, 6), u"ComuneRes 1 Pr"_s);
            QCOMPARE(cell(d, 0, 15), u"Tessera 1 - Gruppo: Gruppo 1"_s);
            QCOMPARE(cell(d, 0, 25), u"Note 1"_s);
            QCOMPARE(cell(d, 1, 0), u"2"_s);
            QCOMPARE(cell(d, 1, 1), u"Bianchi Anna"_s);
            QCOMPARE(cell(d, 1, 3), u"Roma "_s);
            QCOMPARE(cell(d, 2, 13), u"CodFisc 3"_s);
            d.close();
        });
    }

    void patientExportWritesWhatTheGridHolds()
    {
        TestApp app;
        PatientRecord odd = patient(2);
        odd.set(F::Note, u"<b>"_s);
        odd.set(F::Patologie, QString());
        odd.set(F::Paziente, u"Rossi & figli"_s);
        writePatients(app, {patient(1), odd});
        patientExport(app, [&](TfrmExpClienti &d) {
            // Typing reaches the editable columns only.
            typeInCell(d.grdRecords, 1, 18, u"Asma"_s);
            QCOMPARE(cell(d, 1, 18), u"Asma"_s);
            typeInCell(d.grdRecords, 1, 13, u"XYZ"_s);
            QCOMPARE(cell(d, 1, 13), u"CodFisc 2"_s);
            // Text still being typed in a cell goes into the file too.
            d.grdRecords->setCurrentIndex(d.gridModel()->index(0, 24));
            type(d.grdRecords, u"Z"_s);
            click(d.cmdEsporta);
            QCOMPARE(app.messages->shown.size(), 2);
            QCOMPARE(app.messages->shown[0].kind, MsgKind::Confirmation);
            QCOMPARE(app.messages->shown[1].kind, MsgKind::Confirmation);
            QCOMPARE(app.messages->take(), (QStringList{kAsk, kDone}));
            QCOMPARE(app.shell->opened,
                     QStringList{u"\""_s + QDir::toNativeSeparators(patientFile(app)) + u"\""_s});

            const QByteArray doc = fileBytes(patientFile(app));
            QVERIFY(doc.startsWith("<html xmlns:o="));
            QVERIFY(doc.contains("<x:Name>Archivio Pazienti</x:Name>"));
            QVERIFY(doc.contains("<tr><td style=\"text-align: left; font-weight: bold;\" width=250>Paziente</td>"
                                 "<td style=\"text-align: left; font-weight: bold;\" width=200>Data di nascita</td>"));
            QVERIFY(doc.contains("width=400>Tessera sanitaria n.</td>"));
            // Row 2, in grid order, the row number left out.
            QByteArray row2 = "<tr>";
            const QStringList cells{u"Rossi & figli"_s, u"DataNasc 2"_s, u"ComuneNasc 2 Pr"_s, u"Recapito 2"_s,
                                    u"IndirizzoRes 2"_s, u"ComuneRes 2 Pr"_s, u"Professione 2"_s, u"TelCasa 2"_s,
                                    u"TelUff 2"_s, u"TelCel 2"_s, u"Fax 2"_s, u"Email 2"_s, u"CodFisc 2"_s,
                                    u"PartitaIva"_s, u"Tessera 2 - Gruppo: Gruppo 2"_s, u"ASL 2"_s,
                                    u"Vaccinazioni 2"_s, u"Asma"_s, u"Allergie 2"_s, u"Farmaci 2"_s,
                                    u"Interventi 2"_s, u"Protesi 2"_s, u"Handicap 2"_s, u"Questioni 2"_s, u"<b>"_s};
            for (QString c : cells)
                row2 += kTd + c.replace(u"&"_s, u"&amp;"_s).replace(u"<"_s, u"&lt;"_s).replace(u">"_s, u"&gt;"_s)
                                  .toLatin1()
                        + "</td>";
            row2 += "</tr>";
            QVERIFY2(doc.endsWith(QByteArray(row2 + "</table></body></html>")), doc.right(600).constData());
            QVERIFY2(doc.contains(QByteArray(kTd + "Z</td>")), doc.constData());
            QCOMPARE(doc.count("<tr>"), 3);

            // Again, after another change: the file is replaced.
            typeInCell(d.grdRecords, 0, 25, u"Rivista"_s);
            click(d.cmdEsporta);
            app.messages->take();
            const QByteArray again = fileBytes(patientFile(app));
            QVERIFY(again.contains(QByteArray(kTd + "Rivista</td></tr>")));
            QCOMPARE(again.count("<tr>"), 3);
            d.close();
        });
    }

    void patientExportAnswers_data()
    {
        QTest::addColumn<QList<int>>("answers"); // MsgAnswer values
        QTest::addColumn<bool>("written");
        QTest::addColumn<bool>("opened");
        QTest::newRow("No to the first question") << QList<int>{int(MsgAnswer::No)} << false << false;
        QTest::newRow("No to the second") << QList<int>{int(MsgAnswer::Yes), int(MsgAnswer::No)} << true << false;
        QTest::newRow("Yes to both") << QList<int>{int(MsgAnswer::Yes), int(MsgAnswer::Yes)} << true << true;
    }

    void patientExportAnswers()
    {
        QFETCH(QList<int>, answers);
        QFETCH(bool, written);
        QFETCH(bool, opened);
        TestApp app;
        writePatients(app, {patient(1)});
        writeBytes(patientFile(app), "vecchio");
        for (int a : answers)
            app.messages->answers.push_back(MsgAnswer(a));
        patientExport(app, [&](TfrmExpClienti &d) {
            click(d.cmdEsporta);
            d.close();
        });
        QCOMPARE(app.messages->shown.size(), answers.size());
        QCOMPARE(fileBytes(patientFile(app)) != "vecchio", written);
        QCOMPARE(app.shell->opened.size(), opened ? 1 : 0);
    }

    void anEmptyArchiveExportsTenEmptyRows()
    {
        TestApp app;
        patientExport(app, [&](TfrmExpClienti &d) {
            QCOMPARE(d.gridModel()->rowCount(), 10);
            click(d.cmdEsporta);
            d.close();
        });
        QCOMPARE(QFileInfo(app.path(u"Pazienti.pro"_s)).size(), 0);
        const QByteArray doc = fileBytes(patientFile(app));
        QCOMPARE(doc.count("<tr>"), 11);
        QCOMPARE(doc.count(QByteArray(kTd + "</td>")), 10 * 25);
    }

    void aFailedExportKeepsThePreviousFile()
    {
        TestApp app;
        writePatients(app, {patient(1)});
        writeBytes(patientFile(app), "vecchio");
        patientExport(app, [&](TfrmExpClienti &d) {
            {
                FailOp fail{io::Op::Rename};
                click(d.cmdEsporta);
            }
            QCOMPARE(app.messages->shown.size(), 2);
            QCOMPARE(app.messages->shown[1].kind, MsgKind::Plain);
            QCOMPARE(app.messages->take(), (QStringList{kAsk, kFailed}));
            QCOMPARE(fileBytes(patientFile(app)), QByteArray("vecchio"));
            QCOMPARE(QDir(app.folder()).entryList({u"Pazienti.xls*"_s}, QDir::Files | QDir::Hidden),
                     QStringList{u"Pazienti.xls"_s});
            QVERIFY(app.shell->opened.isEmpty());
            d.close();
        });
    }

    void aGridThatCannotBeReadKeepsWhatItRead()
    {
        TestApp app;
        writePatients(app, {patient(1), patient(2), patient(3)});
        TfrmClienti *c = card(app);
        app.dialogs->next<TfrmExpClienti>([&](TfrmExpClienti &d) {
            QCOMPARE(d.gridModel()->rowCount(), 3);
            QCOMPARE(cell(d, 0, 1), u"Paziente 1"_s);
            QVERIFY(cell(d, 1, 1).isEmpty() && cell(d, 2, 0).isEmpty());
            d.close();
        });
        {
            FailOp fail{io::Op::Read, 1};
            click(c->cmdEsporta);
        }
        app.dialogs->next<TfrmExpClienti>([&](TfrmExpClienti &d) {
            QCOMPARE(d.gridModel()->rowCount(), 10);
            d.close();
        });
        {
            FailOp fail{io::Op::Open};
            click(c->cmdEsporta);
        }
        QVERIFY(app.messages->shown.isEmpty());
    }

    void hintsHelpAndExit()
    {
        TestApp app;
        patientExport(app, [&](TfrmExpClienti &d) {
            const QList<std::pair<QWidget *, QString>> hints = {
                {d.cmdEsporta, u"Esporta l'archivio in formato Microsoft Excel."_s},
                {d.cmdGuida, u"Visualizza la pagina della guida sensibile al contesto."_s},
                {d.cmdEsci, u"Esci da questo ambiente di lavoro."_s},
            };
            const auto enter = [](QWidget *w) {
                QEvent e(QEvent::Enter);
                QApplication::sendEvent(w, &e);
            };
            // A command writes its hint; the grid, the band and the form empty the line.
            for (const auto &[command, hint] : hints) {
                QVERIFY(!command->accessibleName().isEmpty());
                for (QWidget *background : {static_cast<QWidget *>(d.grdRecords->viewport()),
                                            static_cast<QWidget *>(d.imgLogo), static_cast<QWidget *>(&d)}) {
                    enter(command);
                    QCOMPARE(d.panInfo->text(), hint);
                    moveOver(background);
                    QVERIFY(d.panInfo->text().isEmpty());
                }
            }
            app.dialogs->next<TfrmGuida>([](TfrmGuida &g) {
                QCOMPARE(g.lblTitolo->text(), u"Esportazione archivio pazienti in Microsoft Excel."_s);
                QVERIFY(!g.txtGuida->toPlainText().isEmpty());
            });
            click(d.cmdGuida);
            click(d.cmdEsci);
            QVERIFY(!d.isVisible());
        });
        QCOMPARE(app.dialogs->opened, (QStringList{u"frmExpClienti"_s, u"frmGuida"_s}));
    }

    // ---- The analyses export -----------------------------------------------------------------------

    void analysisExportByteForByte()
    {
        TestApp app;
        const QString code = u"RSSNCC80A01H501U"_s;
        const QString path = app.path(u"Analisi_Cliniche/Paziente_CF_"_s + code + u".asl"_s);
        using A = AnalysisRecord::Field;
        AnalysisRecord one;
        const QList<std::pair<A, QString>> first{
            {A::Paziente, u"Rossi Niccolò"_s}, {A::CodFisc, code},         {A::NumRef, u"2024/317"_s},
            {A::DataRef, u"07/03/2024"_s},     {A::Data, u"05/03/2024"_s}, {A::Esame, u"Glicemia"_s},
            {A::Risultato, u"132"_s},          {A::UM, u"mg/dl"_s},        {A::Rife, u"70 - 110"_s},
            {A::Esito, u"FUORI NORMA"_s},      {A::Commento, u"Da ripetere & <urgente>"_s},
            {A::Firmatario, u"Dott.ssa Bianchi"_s}, {A::Note, u"A digiuno"_s}, {A::Allarme, u"Sì"_s},
            {A::File01, u"referto.pdf"_s},
        };
        for (const auto &[f, v] : first)
            one.set(f, v);
        AnalysisRecord two;
        const QList<std::pair<A, QString>> second{
            {A::Paziente, u"Rossi Niccolò"_s}, {A::CodFisc, code},         {A::NumRef, u"2024/317"_s},
            {A::DataRef, u"07/03/2024"_s},     {A::Data, u"05/03/2024"_s}, {A::Esame, u"Colesterolo totale"_s},
            {A::Risultato, u"180"_s},          {A::UM, u"mg/dl"_s},        {A::Rife, u"< 200"_s},
            {A::Esito, u"NELLA NORMA"_s},      {A::Firmatario, u"Dott.ssa Bianchi"_s}, {A::Allarme, u"No"_s},
        };
        for (const auto &[f, v] : second)
            two.set(f, v);
        writeBytes(path, one.bytes() + two.bytes());

        TfrmMenuAnalisi *m = app.ctx->screens.frmMenuAnalisi;
        app.ctx->switchTo(app.ctx->screens.frmAvvio, m);
        m->txtPaziente->setText(u"Rossi Niccolò"_s);
        m->txtCodFisc->setText(code);
        click(m->btnApri);
        TfrmAnalisiCliniche *c = app.ctx->screens.frmAnalisiCliniche;
        activate(c);
        app.dialogs->next<TfrmExpAnalisi>([&](TfrmExpAnalisi &d) {
            QCOMPARE(d.windowTitle(), u" Esporta archivio analisi cliniche in Microsoft Excel"_s);
            QCOMPARE(d.panInfo->text(), u"Esportazione archivio in Microsoft Excel."_s);
            const TextGridModel &grid = *d.gridModel();
            QCOMPARE(grid.rowCount(), 2);
            QCOMPARE(grid.columnCount(), 13);
            const QList<std::pair<QString, int>> columns = {
                {u"N."_s, 60},           {u"Referto n."_s, 160},         {u"Data referto"_s, 150},
                {u"Data prelievo"_s, 150}, {u"Esame"_s, 250},            {u"Risultato"_s, 200},
                {u"U.M."_s, 200},        {u"Valori di riferimento"_s, 250}, {u"Esito"_s, 200},
                {u"Commento"_s, 300},    {u"Firmatario referto"_s, 200}, {u"Note"_s, 350},
                {u"Risultato allarmante"_s, 150},
            };
            for (int col = 0; col < 13; ++col) {
                QCOMPARE(grid.headerData(col, Qt::Horizontal).toString(), columns[col].first);
                QCOMPARE(d.grdRecords->columnWidth(col), columns[col].second);
            }
            QCOMPARE(cell(d, 0, 0), u"1"_s);
            QCOMPARE(cell(d, 1, 0), u"2"_s);
            QCOMPARE(cell(d, 0, 12), u"Sì"_s);
            // A read-only column stays as it is; an editable one takes the typing.
            typeInCell(d.grdRecords, 1, 4, u"Altro"_s);
            QCOMPARE(cell(d, 1, 4), u"Colesterolo totale"_s);

            app.dialogs->next<TfrmGuida>([](TfrmGuida &g) {
                QCOMPARE(g.lblTitolo->text(), u"Esportazione archivio analisi cliniche in Microsoft Excel."_s);
            });
            click(d.cmdGuida);
            click(d.cmdEsporta);
            d.close();
        });
        click(c->cmdEsporta);
        const QString file = app.path(u"Analisi_Cliniche.xls"_s);
        QCOMPARE(app.messages->take(), (QStringList{kAsk, kDone}));
        QCOMPARE(app.shell->opened, QStringList{u"\""_s + QDir::toNativeSeparators(file) + u"\""_s});
        const QByteArray golden = fileBytes(QFINDTESTDATA("ui/golden/analisi_cliniche.xls"));
        QVERIFY(!golden.isEmpty());
        QCOMPARE(fileBytes(file), golden);
    }

    void anEmptyAnalysisArchive()
    {
        TestApp app;
        TfrmAnalisiCliniche *c = app.ctx->screens.frmAnalisiCliniche;
        QDir().mkpath(app.path(u"Analisi_Cliniche"_s));
        const QString path = app.path(u"Analisi_Cliniche/Paziente_CF_X.asl"_s);
        c->lblFile->setText(u" "_s + path + u" "_s);
        writeBytes(app.path(u"Analisi_Cliniche.xls"_s), "vecchio");
        app.messages->answers = {MsgAnswer::Yes, MsgAnswer::No};
        app.dialogs->next<TfrmExpAnalisi>([&](TfrmExpAnalisi &d) {
            QCOMPARE(d.gridModel()->rowCount(), 10);
            click(d.cmdEsporta);
            d.close();
        });
        app.ctx->openDialog<TfrmExpAnalisi>(c);
        QVERIFY(QFileInfo::exists(path)); // the archive is created empty
        const QByteArray doc = fileBytes(app.path(u"Analisi_Cliniche.xls"_s));
        QVERIFY(doc.contains("<x:Name>Analisi Cliniche</x:Name>"));
        QCOMPARE(doc.count("<tr>"), 11);
        QCOMPARE(doc.count(QByteArray(kTd + "</td>")), 10 * 12);
        QVERIFY(app.shell->opened.isEmpty());
    }
};

QTEST_MAIN(TestExports)
#include "tst_exports.moc"
