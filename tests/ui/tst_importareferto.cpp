// The import of a laboratory report, as the doctor meets it: the review of
// its rows, a report of another patient, the same report imported twice, a
// value too long for its card field, a value not read for certain, the
// keyboard alone; the structured report attached to a PDF made here, a
// plain PDF's columns, and the command-line reader on the same files.

#include "analyses/AnalysisRecord.h"
#include "analyses/LabReport.h"
#include "analyses/ui/AnalisiCliniche.h"
#include "analyses/ui/ImportaReferto.h"
#include "analyses/ui/MenuAnalisi.h"
#include "app/ui/Avvio.h"
#include "common/ui/ExportScreen.h"
#include "common/ui/Widgets.h"
#include "patients/PatientRecord.h"
#include "patients/ui/TrovaClienti.h"
#include "pdftext/PdfText.h"
#include "support/LabReportSamples.h"
#include "support/TestApp.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPdfWriter>
#include <QProcess>
#include <QPushButton>
#include <QStandardItemModel>
#include <QStandardPaths>

using namespace Qt::StringLiterals;
using namespace clinora;
using namespace clinora::test;

namespace {

const QString kName = u"ROSSI MARIO"_s;
const QString kCode = QString::fromLatin1(samples::kFiscalCode);

QString writeFile(TestApp &app, const QString &name, const QByteArray &bytes)
{
    QFile f(app.path(name));
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(name));
    return f.fileName();
}

QString archiveOf(TestApp &app, const QString &code)
{
    return AnalysisArchivePath(app.folder(), code);
}

qint64 cardsIn(const QString &path) { return QFileInfo(path).size() / AnalysisRecord::kSize; }

AnalysisRecord cardAt(const QString &path, qint64 n)
{
    AnalysisArchive a;
    AnalysisRecord r;
    if (!a.open(path, lock::Mode::Shared) || !a.read(n, r) || !a.close())
        qFatal("cannot read card %lld", n);
    return r;
}

// The screen for the patient, with the report at `file` open.
struct Screen {
    explicit Screen(TestApp &app, const QString &file = QString()) : d(*app.ctx, nullptr)
    {
        QDir(app.folder()).mkpath(u"Analisi_Cliniche"_s);
        d.setPatient(kName, kCode, archiveOf(app, kCode));
        if (!file.isEmpty() && !d.openReport(file))
            qFatal("report refused: %s", qPrintable(app.messages->last()));
    }
    QString cell(int row, TfrmImportaReferto::Column c) const { return d.m_rows->item(row, c)->text(); }
    TfrmImportaReferto d;
};

// A PDF page with `lines`, columns set apart by tabs drawn at fixed stops.
QByteArray pdfWithLines(const QStringList &lines)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter pdf(&buffer);
        pdf.setResolution(300);
        QPainter p(&pdf);
        p.setFont(QFont(u"Liberation Sans"_s, 10));
        const int stops[] = {0, 900, 1400, 1900, 2500};
        int y = 100;
        for (const QString &line : lines) {
            const QStringList cols = line.split(u'\t');
            for (int c = 0; c < cols.size() && c < 5; ++c)
                p.drawText(stops[c], y, cols[c]);
            y += 60;
        }
    }
    return bytes;
}

} // namespace

class TstImportaReferto : public QObject {
    Q_OBJECT
private slots:
    void reviewAndImport();
    void keyboardOnly();
    void otherPatientStoresNothingUntilTheRightOneIsChosen();
    void secondImportIsSaidFirst();
    void tooLongIsNeverCut();
    void uncertainValueGetsNoOutcome();
    void refusedFileLeavesTheScreen();
    void openedFromCardAndMenu();
    void structuredReportInsidePdf();
    void plainPdfColumns();
    void commandLineReader();
};

void TstImportaReferto::reviewAndImport()
{
    TestApp app;
    Screen s(app, writeFile(app, u"emocromo.hl7"_s, samples::bloodCountHl7()));
    TfrmImportaReferto &d = s.d;
    QCOMPARE(d.m_rows->rowCount(), 25);
    QCOMPARE(d.txtLaboratorio->text(), u"LABORATORIO SAN MARCO"_s);
    QCOMPARE(d.txtNumRef->text(), u"R2024-0042"_s);
    QCOMPARE(d.txtDataRef->text(), u"15/03/2024"_s);
    QCOMPARE(d.txtData->text(), u"14/03/2024"_s);
    QCOMPARE(d.txtFirmatario->text(), u"Luca Bianchi"_s);
    QCOMPARE(d.txtPazienteReferto->text(), u"ROSSI MARIO (RSSMRA80A01H501U)"_s);
    QCOMPARE(d.lblAvviso->text(), QString());
    QCOMPARE(s.cell(6, TfrmImportaReferto::ColEsame), u"RDW"_s);
    QCOMPARE(s.cell(6, TfrmImportaReferto::ColEsito), u"FUORI NORMA"_s);
    QCOMPARE(s.cell(0, TfrmImportaReferto::ColAvvisi), QString());

    // The report's signatory corrected once, for every row that had it.
    d.txtFirmatario->setText(u"Dott. Luca Bianchi"_s);
    emit d.txtFirmatario->editingFinished();
    QCOMPARE(s.cell(24, TfrmImportaReferto::ColFirmatario), u"Dott. Luca Bianchi"_s);
    // One row edited, one left out.
    d.m_rows->item(1, TfrmImportaReferto::ColCommento)->setText(u"ricontrollare"_s);
    d.m_rows->item(3, TfrmImportaReferto::ColImporta)->setCheckState(Qt::Unchecked);
    QVERIFY(d.lblRiepilogo->text().contains(u"Da importare: 24"_s));

    d.btnImportaClick();
    QCOMPARE(app.messages->take(), QStringList{u"Sono state inserite in archivio 24 schede."_s});
    const QString path = archiveOf(app, kCode);
    QCOMPARE(cardsIn(path), 24);
    const AnalysisRecord second = cardAt(path, 2);
    QCOMPARE(second.get(AnalysisRecord::Paziente), kName);
    QCOMPARE(second.get(AnalysisRecord::CodFisc), kCode);
    QCOMPARE(second.get(AnalysisRecord::Esame), u"Emoglobina"_s);
    QCOMPARE(second.get(AnalysisRecord::Commento), u"ricontrollare"_s);
    QCOMPARE(second.get(AnalysisRecord::Firmatario), u"Dott. Luca Bianchi"_s);
    QCOMPARE(cardAt(path, 4).get(AnalysisRecord::Esame), u"MCH"_s); // MCV was left out
    // Imported rows are no longer kept: a second press stores nothing.
    d.btnImportaClick();
    QCOMPARE(cardsIn(path), 24);
    QVERIFY(app.messages->last().startsWith(u"Attenzione: nessuna riga"_s));
}

void TstImportaReferto::keyboardOnly()
{
    TestApp app;
    Screen s(app, writeFile(app, u"emocromo.hl7"_s, samples::bloodCountHl7()));
    TfrmImportaReferto &d = s.d;
    activate(&d);
    d.grdRighe->setFocus();
    QCOMPARE(focused(), d.grdRighe);
    QCOMPARE(d.grdRighe->currentIndex(), d.m_rows->index(0, TfrmImportaReferto::ColImporta));
    // Space leaves the first row out.
    pressKey(d.grdRighe, Qt::Key_Space);
    QCOMPARE(d.m_rows->item(0, TfrmImportaReferto::ColImporta)->checkState(), Qt::Unchecked);
    // Down, Right, F2: the second row's exam is rewritten.
    pressKey(d.grdRighe, Qt::Key_Down);
    pressKey(d.grdRighe, Qt::Key_Right);
    pressKey(d.grdRighe, Qt::Key_F2);
    QWidget *editor = focused();
    QVERIFY(editor && editor != d.grdRighe);
    QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
    type(editor, u"Emoglobina (Hb)"_s);
    pressKey(editor, Qt::Key_Return);
    // The cell takes the text once the editor has closed.
    QTRY_COMPARE(s.cell(1, TfrmImportaReferto::ColEsame), u"Emoglobina (Hb)"_s);
    // Tab leaves the grid for "Importa"; Space presses it.
    QTest::keyClick(focused(), Qt::Key_Tab);
    QCOMPARE(focused(), d.btnImporta);
    pressKey(d.btnImporta, Qt::Key_Space);
    QCOMPARE(cardsIn(archiveOf(app, kCode)), 24);
    QCOMPARE(cardAt(archiveOf(app, kCode), 1).get(AnalysisRecord::Esame), u"Emoglobina (Hb)"_s);
}

void TstImportaReferto::otherPatientStoresNothingUntilTheRightOneIsChosen()
{
    TestApp app;
    const QString other = u"VRDGPP70B02F205"_s + QChar(u'X');
    Screen s(app, writeFile(app, u"verdi.xml"_s, samples::bloodCountCda(other)));
    TfrmImportaReferto &d = s.d;
    QVERIFY(d.lblAvviso->text().contains(u"altro paziente"_s));
    QVERIFY(d.lblAvviso->text().contains(other));
    d.btnImportaClick();
    QVERIFY(app.messages->last().startsWith(u"Attenzione: il referto è intestato a Rossi Mario (codice fiscale "_s
                                            + other + u"), non al paziente scelto ROSSI MARIO"_s));
    QVERIFY(!QFile::exists(archiveOf(app, kCode)));

    // The right patient, chosen through the patient search.
    app.dialogs->next<TfrmTrovaClienti>([&](TfrmTrovaClienti &t) {
        PatientRecord p;
        p.set(PatientRecord::Paziente, u"VERDI GIUSEPPE"_s);
        p.set(PatientRecord::CodFisc, other);
        t.pickInto(p, 1);
    });
    d.btnSeleziona->click();
    QCOMPARE(d.lblAvviso->text(), QString());
    QCOMPARE(d.txtPaziente->text(), u"VERDI GIUSEPPE ("_s + other + u')');
    d.btnImportaClick();
    QCOMPARE(cardsIn(archiveOf(app, other)), 25);
    QVERIFY(!QFile::exists(archiveOf(app, kCode)));
}

void TstImportaReferto::secondImportIsSaidFirst()
{
    TestApp app;
    const QString file = writeFile(app, u"emocromo.xml"_s, samples::bloodCountCda());
    {
        Screen s(app, file);
        s.d.btnImportaClick();
    }
    app.messages->take();
    const QString path = archiveOf(app, kCode);
    QCOMPARE(cardsIn(path), 25);
    for (const MsgAnswer answer : {MsgAnswer::No, MsgAnswer::Closed, MsgAnswer::Yes}) {
        Screen s(app, file);
        app.messages->answers = {answer};
        s.d.btnImportaClick();
        QCOMPARE(app.messages->shown.first().kind, MsgKind::Confirmation);
        QVERIFY(app.messages->shown.first().text.startsWith(
            u"Attenzione: il referto n. LAB.2024.0042 del 15/03/2024 risulta già importato: in archivio ci sono già "
            u"25 schede di ROSSI MARIO"_s));
        app.messages->take();
        QCOMPARE(cardsIn(path), answer == MsgAnswer::Yes ? 50 : 25);
    }
}

void TstImportaReferto::tooLongIsNeverCut()
{
    TestApp app;
    const QString longName = u"Emoglobina glicata (HbA1c) "_s + QString(100, u'x');
    samples::Result r{"", "6.1", "%", "4.0-6.0", "H"};
    const QByteArray name = longName.toUtf8();
    r.name = name.constData();
    const QByteArray doc = samples::cdaDocument(u"<component><section>"_s + samples::cdaObservation(r)
                                                + u"</section></component>"_s);
    Screen s(app, writeFile(app, u"lungo.xml"_s, doc));
    TfrmImportaReferto &d = s.d;
    QCOMPARE(s.cell(0, TfrmImportaReferto::ColEsame), longName);
    QVERIFY(s.cell(0, TfrmImportaReferto::ColAvvisi).contains(u"Troppo lungo: Esame (al massimo 120 caratteri)"_s));
    d.btnImportaClick();
    QVERIFY(app.messages->last().contains(u"il campo \"Esame\" supera i 120 caratteri"_s));
    QCOMPARE(d.grdRighe->currentIndex(), d.m_rows->index(0, TfrmImportaReferto::ColEsame));
    QVERIFY(!QFile::exists(archiveOf(app, kCode)));

    // Shortened by the user: the mark goes, and the card holds the text whole.
    d.m_rows->item(0, TfrmImportaReferto::ColEsame)->setText(u"Emoglobina glicata (HbA1c)"_s);
    QCOMPARE(s.cell(0, TfrmImportaReferto::ColAvvisi), QString());
    d.btnImportaClick();
    QCOMPARE(cardAt(archiveOf(app, kCode), 1).get(AnalysisRecord::Esame), u"Emoglobina glicata (HbA1c)"_s);
}

void TstImportaReferto::uncertainValueGetsNoOutcome()
{
    TestApp app;
    QByteArray msg = samples::hl7Header(kCode);
    msg += "OBX|1|NM|^Ferritina||12,,5|ng/mL|30-400|L|||F\r"
           "OBX|2|NM|^Potassio||2.4|mmol/L|3.5-5.1|LL|||F\r";
    Screen s(app, writeFile(app, u"dubbio.hl7"_s, msg));
    TfrmImportaReferto &d = s.d;
    // Shown as read, marked, no outcome even with the laboratory's flag.
    QCOMPARE(s.cell(0, TfrmImportaReferto::ColRisultato), u"12,,5"_s);
    QCOMPARE(s.cell(0, TfrmImportaReferto::ColEsito), QString());
    QVERIFY(s.cell(0, TfrmImportaReferto::ColAvvisi).startsWith(u"Da verificare: "_s));
    QVERIFY(s.cell(1, TfrmImportaReferto::ColAvvisi).startsWith(u"Allarmante"_s));
    d.btnImportaClick();
    QCOMPARE(app.messages->last(),
             u"Attenzione: riga 1 (Ferritina): per salvare la scheda è necessario indicare l'esito dell'esame "
             u"clinico."_s);
    QCOMPARE(d.grdRighe->currentIndex(), d.m_rows->index(0, TfrmImportaReferto::ColEsito));
    QVERIFY(!QFile::exists(archiveOf(app, kCode)));
    // The doctor reads the value and decides.
    d.m_rows->item(0, TfrmImportaReferto::ColRisultato)->setText(u"12,5"_s);
    d.m_rows->item(0, TfrmImportaReferto::ColEsito)->setText(u"FUORI NORMA"_s);
    d.btnImportaClick();
    QCOMPARE(cardsIn(archiveOf(app, kCode)), 2);
    QCOMPARE(cardAt(archiveOf(app, kCode), 1).get(AnalysisRecord::Allarme), u"No"_s);
    QCOMPARE(cardAt(archiveOf(app, kCode), 2).get(AnalysisRecord::Allarme), u"Sì"_s);
}

void TstImportaReferto::refusedFileLeavesTheScreen()
{
    TestApp app;
    Screen s(app, writeFile(app, u"emocromo.hl7"_s, samples::bloodCountHl7()));
    const QString bad = writeFile(app, u"finto.pdf"_s, "MSH|^~\\&|non un PDF");
    QVERIFY(!s.d.openReport(bad));
    QCOMPARE(app.messages->shown.last().kind, MsgKind::Warning);
    QCOMPARE(app.messages->last(), u"Attenzione: il file ha l'estensione .pdf ma non è un documento PDF."_s);
    QCOMPARE(s.d.m_rows->rowCount(), 25);
    QCOMPARE(s.d.lblFileReferto->text(), u"emocromo.hl7"_s);
}

void TstImportaReferto::openedFromCardAndMenu()
{
    TestApp app;
    const QString file = writeFile(app, u"emocromo.hl7"_s, samples::bloodCountHl7());
    TfrmMenuAnalisi *m = app.ctx->screens.frmMenuAnalisi;
    app.ctx->switchTo(app.ctx->screens.frmAvvio, m);
    QVERIFY(!m->btnImportaReferto->isEnabled());
    m->txtPaziente->setText(kName);
    m->txtCodFisc->setText(kCode);
    QVERIFY(m->btnImportaReferto->isEnabled());
    int stored = 0;
    const auto importAll = [&](TfrmImportaReferto &d) {
        QCOMPARE(d.txtPaziente->text(), kName + u" ("_s + kCode + u')');
        QCOMPARE(d.windowTitle(), u" Importa referto di laboratorio"_s);
        app.files->answers = {file};
        d.btnApri->click();
        d.btnImporta->click();
        ++stored;
    };
    app.dialogs->next<TfrmImportaReferto>(importAll);
    m->btnImportaReferto->click();
    QCOMPARE(stored, 1);
    QCOMPARE(cardsIn(archiveOf(app, kCode)), 25);

    m->btnApri->click();
    TfrmAnalisiCliniche *card = app.ctx->screens.frmAnalisiCliniche;
    app.messages->answers = {MsgAnswer::Yes};
    app.dialogs->next<TfrmImportaReferto>(importAll);
    card->cmdReferto->click();
    QCOMPARE(stored, 2);
    QCOMPARE(cardsIn(archiveOf(app, kCode)), 50);
    QCOMPARE(app.dialogs->opened, (QStringList{u"frmImportaReferto"_s, u"frmImportaReferto"_s}));
}

void TstImportaReferto::structuredReportInsidePdf()
{
    const QString pdfattach = QStandardPaths::findExecutable(u"pdfattach"_s);
    if (pdfattach.isEmpty())
        QSKIP("pdfattach (poppler-utils) is not installed");
    TestApp app;
    const QString plain = writeFile(app, u"pagina.pdf"_s, pdfWithLines({u"REFERTO DI LABORATORIO"_s}));
    const QString xml = writeFile(app, u"CDA.xml"_s, samples::bloodCountCda());
    const QString withCda = app.path(u"referto.pdf"_s);
    QCOMPARE(QProcess::execute(pdfattach, {plain, xml, withCda}), 0);

    // The attached structured report is read, not the page.
    Screen s(app, withCda);
    QCOMPARE(s.d.m_rows->rowCount(), 25);
    QCOMPARE(s.d.txtNumRef->text(), u"LAB.2024.0042"_s);
    QCOMPARE(s.cell(24, TfrmImportaReferto::ColEsame), u"VES"_s);

    // An attachment that is a broken report is said, never replaced by the page's text.
    QByteArray broken = samples::bloodCountCda();
    broken.chop(100);
    const QString brokenXml = writeFile(app, u"rotto.xml"_s, broken);
    const QString withBroken = app.path(u"rotto.pdf"_s);
    QCOMPARE(QProcess::execute(pdfattach, {plain, brokenXml, withBroken}), 0);
    const referto::Reading r = referto::readReportFile(withBroken, std::make_unique<pdftext::PopplerSource>().get());
    QVERIFY(!r.report);
    QVERIFY2(r.message.contains(u"rotto.xml"_s) && r.message.contains(u"incompleto"_s), qPrintable(r.message));
}

void TstImportaReferto::plainPdfColumns()
{
    TestApp app;
    const QString file = writeFile(app, u"privato.pdf"_s,
                                   pdfWithLines({u"Laboratorio Analisi Privato"_s,
                                                 u"Paziente: Rossi Mario  C.F. "_s + kCode,
                                                 u"Glucosio\t182\tmg/dL\t70-110"_s,
                                                 u"Emoglobina\t13,9\tg/dL\t13,0-17,0"_s,
                                                 u"Piastrine\t250.000\t/mm3\t150.000-450.000"_s,
                                                 u"Sangue occulto\tnegativo\t\tnegativo"_s}));
    Screen s(app, file);
    TfrmImportaReferto &d = s.d;
    QCOMPARE(d.m_rows->rowCount(), 6);
    QCOMPARE(d.lblAvviso->text(), QString()); // the code proves itself
    const auto kept = [&](int row) {
        return d.m_rows->item(row, TfrmImportaReferto::ColImporta)->checkState() == Qt::Checked;
    };
    QVERIFY(!kept(0) && !kept(1) && !kept(4));
    QVERIFY(kept(2) && kept(3) && kept(5));
    QCOMPARE((QStringList{s.cell(2, TfrmImportaReferto::ColEsame), s.cell(2, TfrmImportaReferto::ColRisultato),
                          s.cell(2, TfrmImportaReferto::ColUM), s.cell(2, TfrmImportaReferto::ColRife),
                          s.cell(2, TfrmImportaReferto::ColEsito)}),
             (QStringList{u"Glucosio"_s, u"182"_s, u"mg/dL"_s, u"70-110"_s, u"FUORI NORMA"_s}));
    QCOMPARE(s.cell(5, TfrmImportaReferto::ColEsito), u"NELLA NORMA"_s);
    QCOMPARE(s.cell(4, TfrmImportaReferto::ColAvvisi), u"Testo non letto come risultato"_s);
    QVERIFY(s.cell(4, TfrmImportaReferto::ColEsame).contains(u"250.000"_s));
    // A plain PDF gives no number nor dates: the user writes them once, above.
    d.btnImportaClick();
    QVERIFY(app.messages->last().contains(u"numero del referto"_s));
    for (auto [edit, text] : {std::pair{d.txtNumRef, u"P-77"_s}, std::pair{d.txtDataRef, u"16/03/2024"_s},
                              std::pair{d.txtData, u"15/03/2024"_s}}) {
        edit->setText(text);
        emit edit->editingFinished();
    }
    app.messages->answers = {};
    d.btnImportaClick();
    QCOMPARE(app.messages->last(), u"Sono state inserite in archivio 3 schede."_s);
    QCOMPARE(cardAt(archiveOf(app, kCode), 3).get(AnalysisRecord::NumRef), u"P-77"_s);
}

void TstImportaReferto::commandLineReader()
{
    const QString tool = qEnvironmentVariable("CLINORA_APP_DIR") + u"/clinora-referto"_s;
    QVERIFY2(QFileInfo(tool).isExecutable(), qPrintable(tool));
    TestApp app;
    const QString hl7 = writeFile(app, u"emocromo.hl7"_s, samples::bloodCountHl7());
    const QString bad = writeFile(app, u"finto.pdf"_s, "non un PDF");
    QTemporaryDir cwd;
    const auto run = [&](const QString &file, int &code, QString &err) {
        QProcess p;
        p.setWorkingDirectory(cwd.path());
        p.start(tool, {file});
        p.waitForFinished(60000);
        code = p.exitCode();
        err = QString::fromUtf8(p.readAllStandardError());
        return QString::fromUtf8(p.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
    };
    int code = -1;
    QString err;
    const QStringList lines = run(hl7, code, err);
    QCOMPARE(code, 0);
    QCOMPARE(lines.size(), 26);
    QCOMPARE(lines[0], kCode + u"\tROSSI MARIO"_s);
    QCOMPARE(lines[7], u"RDW\t15,8\t%\t11.5-14.5\tFUORI NORMA\t14/03/2024\tR2024-0042\t15/03/2024\tLuca Bianchi\t"_s);
    // The same rows the screen shows.
    Screen s(app, hl7);
    for (int i = 0; i < 25; ++i)
        QCOMPARE(lines[i + 1], referto::rowColumns(s.d.rowAt(i)).join(u'\t'));

    QVERIFY(run(bad, code, err).isEmpty());
    QCOMPARE(code, 1);
    QCOMPARE(err.trimmed(), u"Attenzione: il file ha l'estensione .pdf ma non è un documento PDF."_s);
    // It reads only: nothing appears where it ran.
    QVERIFY(QDir(cwd.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).isEmpty());
}

QTEST_MAIN(TstImportaReferto)
#include "tst_importareferto.moc"
