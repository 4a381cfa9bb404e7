// The tools of the analysis card, driven as a user would: the frequent-exams
// editor and import, the analysis search, the alarming results and the card
// printout, each read back through the seams (messages, printer, files).
#include "analyses/AnalysisRecord.h"
#include "analyses/FrequentExams.h"
#include "analyses/ResultLine.h"
#include "analyses/ui/Allarmanti.h"
#include "analyses/ui/AnalisiCliniche.h"
#include "analyses/ui/ImportaPresc.h"
#include "analyses/ui/LineList.h"
#include "analyses/ui/ListaPresc.h"
#include "analyses/ui/MenuAnalisi.h"
#include "analyses/ui/StampaAnalisi.h"
#include "analyses/ui/TrovaAnalisi.h"
#include "app/ui/Avvio.h"
#include "common/FileIo.h"
#include "common/Messages.h"
#include "common/ui/FindInList.h"
#include "common/ui/Widgets.h"
#include "report/ReportTemplate.h"
#include "support/PdfTools.h"
#include "support/FileTools.h"
#include "support/TestApp.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>

using namespace Qt::StringLiterals;
using namespace clinora;
using namespace clinora::test;

namespace {

const QString kName = u"Rossi Niccolò"_s;
const QString kCode = u"RSSNCC80A01H501U"_s;
const QString kSaveFailed = u"Attenzione: il sistema non permette di aggiornare i dati.\n\r\n\rAccertarsi che il "
                            u"database non sia già aperto."_s;

QString blanks(int n) { return QString(n, u' '); }
const QString kGlicemia = u"Glicemia"_s + blanks(42) + u"  UM: mg/dl"_s + blanks(20) + u"  Rif. 70-110"_s + blanks(19);

struct Card {
    Card(QString data, QString esame, QString risultato = u"1"_s, QString alarm = u"No"_s,
         QString note = QString())
        : data(std::move(data)), esame(std::move(esame)), risultato(std::move(risultato)), alarm(std::move(alarm)),
          note(std::move(note))
    {
    }
    QString data, esame, risultato, alarm, note;
};

AnalysisRecord record(const Card &c)
{
    AnalysisRecord r;
    r.set(AnalysisRecord::Paziente, kName);
    r.set(AnalysisRecord::CodFisc, kCode);
    r.set(AnalysisRecord::NumRef, u"R-"_s + c.data);
    r.set(AnalysisRecord::DataRef, c.data);
    r.set(AnalysisRecord::Data, c.data);
    r.set(AnalysisRecord::Esame, c.esame);
    r.set(AnalysisRecord::Risultato, c.risultato);
    r.set(AnalysisRecord::UM, u"mg/dl"_s);
    r.set(AnalysisRecord::Rife, u"70-110"_s);
    r.set(AnalysisRecord::Esito, u"FUORI NORMA"_s);
    r.set(AnalysisRecord::Commento, u"Commento "_s + c.esame);
    r.set(AnalysisRecord::Firmatario, u"Dott. Verdi"_s);
    r.set(AnalysisRecord::Note, c.note);
    r.set(AnalysisRecord::Allarme, c.alarm);
    r.set(AnalysisRecord::File01, u"referto.pdf"_s);
    r.set(AnalysisRecord::Desc01, u"Referto di "_s + c.esame);
    return r;
}

void writeArchive(const QString &path, const QList<Card> &cards)
{
    QByteArray bytes;
    for (const Card &c : cards)
        bytes += record(c).bytes();
    writeFile(path, bytes);
}

// The exam of each result line.
QStringList exams(const QStringList &lines)
{
    QStringList out;
    for (const QString &l : lines)
        out << l.mid(l.indexOf(u"  Data: "_s) + 8 + 10 + 2, 28).trimmed();
    return out;
}

void doubleClickRow(LineList *list, int row)
{
    const QRect r = list->visualRect(list->model()->index(row, 0));
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, r.center());
}

void selectRow(LineList *list, int row)
{
    const QRect r = list->visualRect(list->model()->index(row, 0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, r.center());
}

// The text lines of a printed list (title and lines), over all its pages.
QStringList printedLines(const PreparedReport &r)
{
    QStringList lines;
    for (const PreparedPage &page : r.pages)
        if (const PreparedItem *item = page.find(u"txtRiepilogo"))
            lines += item->lines;
    return lines;
}

QString printedTitle(const PreparedReport &r) { return r.pages.value(0).find(u"txtTitolo")->lines.join(u'\n'); }

// A picture of a dialog as the user sees it, kept when CLINORA_REVIEW_DIR is set.
void keepPicture(QWidget *w, const QString &name)
{
    const QString dir = qEnvironmentVariable("CLINORA_REVIEW_DIR");
    if (dir.isEmpty())
        return;
    QDir().mkpath(dir);
    QCoreApplication::processEvents();
    w->grab().save(QDir(dir).filePath(name + u".png"_s));
}

} // namespace

class TestAnalysisTools : public QObject {
    Q_OBJECT

    static TfrmMenuAnalisi *menu(TestApp &app) { return app.ctx->screens.frmMenuAnalisi; }
    static TfrmAnalisiCliniche *card(TestApp &app) { return app.ctx->screens.frmAnalisiCliniche; }
    static QString archive(TestApp &app)
    {
        return app.path(u"Analisi_Cliniche/Paziente_CF_"_s + kCode + u".asl"_s);
    }
    static QString examsFile(TestApp &app) { return app.path(u"Esami_Frequenti.lst"_s); }

    static TfrmMenuAnalisi *openMenu(TestApp &app)
    {
        app.ctx->switchTo(app.ctx->screens.frmAvvio, menu(app));
        activate(menu(app));
        return menu(app);
    }

    // The analysis card of the patient, opened from the entry screen.
    static TfrmAnalisiCliniche *openCard(TestApp &app)
    {
        TfrmMenuAnalisi *m = openMenu(app);
        m->txtPaziente->setText(kName);
        m->txtCodFisc->setText(kCode);
        click(m->btnApri);
        activate(card(app));
        return card(app);
    }

private slots:
    // ---- Frequent exams: the editor ------------------------------------------------------------

    void editorAddsInOrderDeletesAndSaves()
    {
        TestApp app;
        TfrmMenuAnalisi *m = openMenu(app);
        app.dialogs->next<TfrmListaPresc>([&](TfrmListaPresc &d) {
            QCOMPARE(d.windowTitle(), u" Gestione elenco esami frequenti"_s);
            QCOMPARE(focused(), d.txtEsame);
            // Enter goes from field to field and on to "Aggiungi all'elenco", which it then presses.
            type(d.txtEsame, u"Glicemia"_s);
            pressEnter(d.txtEsame);
            QCOMPARE(focused(), d.txtUM);
            type(d.txtUM, u"mg/dl"_s);
            pressEnter(d.txtUM);
            type(d.txtRife, u"70-110"_s);
            pressEnter(d.txtRife);
            QCOMPARE(focused(), d.btnTrova);
            pressEnter(d.btnTrova);
            QCOMPARE(d.lstRecords->lines(), QStringList{kGlicemia});
            QVERIFY(d.txtEsame->text().isEmpty() && d.txtUM->text().isEmpty() && d.txtRife->text().isEmpty());
            QCOMPARE(focused(), d.txtEsame);

            // A new entry takes its place in alphabetical order, a-z as A-Z.
            d.txtEsame->setText(u"azotemia"_s);
            click(d.btnTrova);
            d.txtEsame->setText(u"Creatinina"_s);
            click(d.btnTrova);
            QCOMPARE(d.lstRecords->lines().size(), 3);
            QCOMPARE(splitFrequentExamLine(d.lstRecords->lines()[0]).exam, u"azotemia"_s);
            QCOMPARE(splitFrequentExamLine(d.lstRecords->lines()[1]).exam, u"Creatinina"_s);

            d.txtEsame->setText(u"   "_s);
            click(d.btnTrova);
            QCOMPARE(app.messages->take(),
                     QStringList{u"Attenzione: non è stato indicato alcun esame da aggiungere all'elenco."_s});
            QCOMPARE(app.messages->shown.size(), 0);
            QCOMPARE(d.lstRecords->count(), 3);

            d.lstRecords->selectRow(-1);
            click(d.btnElimina);
            QCOMPARE(app.messages->take(),
                     QStringList{u"Attenzione: selezionare dall'elenco la voce che si vuole eliminare prima di premere "
                                 u"il pulsante di cancellazione."_s});
            QCOMPARE(d.lstRecords->count(), 3);
            selectRow(d.lstRecords, 1);
            pressEnter(d.lstRecords); // Enter on the list presses no button
            QVERIFY(app.messages->shown.isEmpty());
            QCOMPARE(d.lstRecords->count(), 3);
            click(d.btnElimina);
            QCOMPARE(d.lstRecords->count(), 2);
            QCOMPARE(d.lstRecords->selectedRow(), -1);
            keepPicture(&d, u"frmListaPresc-filled"_s);

            // A line just added is not selected, whatever was before: "Elimina"
            // right after asks which line rather than removing the new one.
            for (const int before : {-1, 0}) {
                d.lstRecords->selectRow(before);
                d.txtEsame->setText(u"Emocromo"_s);
                click(d.btnTrova);
                QCOMPARE(d.lstRecords->count(), 3);
                QCOMPARE(d.lstRecords->selectedRow(), -1);
                click(d.btnElimina);
                QCOMPARE(app.messages->take(),
                         QStringList{u"Attenzione: selezionare dall'elenco la voce che si vuole eliminare prima di "
                                     u"premere il pulsante di cancellazione."_s});
                QCOMPARE(d.lstRecords->count(), 3);
                selectRow(d.lstRecords, d.lstRecords->lines().indexOf(FrequentExamLine(u"Emocromo"_s, {}, {})));
                click(d.btnElimina);
                QCOMPARE(d.lstRecords->count(), 2);
            }

            click(d.btnChiudi);
            QVERIFY(!d.isVisible());
            QVERIFY(d.lstRecords->lines().isEmpty()); // closing empties the list
        });
        click(m->btnEsamiFrequenti);
        QCOMPARE(app.dialogs->opened, QStringList{u"frmListaPresc"_s});
        QVERIFY(app.messages->shown.isEmpty());
        QCOMPARE(fileBytes(examsFile(app)),
                 FrequentExamLine(u"azotemia"_s, {}, {}).toLatin1() + "\r\n" + kGlicemia.toLatin1() + "\r\n");

        // Opened again: the entries as read back, without their trailing blanks.
        app.dialogs->next<TfrmListaPresc>([&](TfrmListaPresc &d) {
            QCOMPARE(d.lstRecords->lines(),
                     (QStringList{FrequentExamLine(u"azotemia"_s, {}, {}).trimmed(), kGlicemia.trimmed()}));
            click(d.btnAnnulla);
            QVERIFY(!d.isVisible());
        });
        click(m->btnEsamiFrequenti);
    }

    void editorClosedWithoutSavingLeavesTheFile()
    {
        TestApp app;
        writeFile(examsFile(app), "Sodio\r\nGlicemia\r\n\r\n");
        TfrmMenuAnalisi *m = openMenu(app);
        app.dialogs->next<TfrmListaPresc>([&](TfrmListaPresc &d) {
            // Sorted on reading too; the empty line is an entry of its own.
            QCOMPARE(d.lstRecords->lines(), (QStringList{QString(), u"Glicemia"_s, u"Sodio"_s}));
            d.txtEsame->setText(u"Potassio"_s);
            click(d.btnTrova);
            click(d.btnAnnulla);
            QVERIFY(!d.isVisible());
        });
        click(m->btnEsamiFrequenti);
        QCOMPARE(fileBytes(examsFile(app)), QByteArray("Sodio\r\nGlicemia\r\n\r\n"));
    }

    void editorSaveFailureKeepsListAndFile_data()
    {
        QTest::addColumn<io::Op>("op");
        QTest::newRow("cannot create") << io::Op::Open;
        QTest::newRow("cannot write") << io::Op::Write;
        QTest::newRow("cannot replace") << io::Op::Rename;
    }

    void editorSaveFailureKeepsListAndFile()
    {
        QFETCH(io::Op, op);
        TestApp app;
        writeFile(examsFile(app), "Sodio\r\n");
        TfrmMenuAnalisi *m = openMenu(app);
        app.dialogs->next<TfrmListaPresc>([&](TfrmListaPresc &d) {
            d.txtEsame->setText(u"Potassio"_s);
            click(d.btnTrova);
            {
                FailOp fault(op, u"Esami_Frequenti"_s);
                click(d.btnChiudi);
            }
            QCOMPARE(app.messages->shown.size(), 1);
            QCOMPARE(app.messages->shown[0].kind, MsgKind::Plain);
            QCOMPARE(app.messages->take(), QStringList{kSaveFailed});
            QVERIFY(d.isVisible());
            QCOMPARE(d.lstRecords->count(), 2);
            QCOMPARE(fileBytes(examsFile(app)), QByteArray("Sodio\r\n"));
            // Once the disk answers again, the same list is saved.
            click(d.btnChiudi);
            QVERIFY(!d.isVisible());
        });
        click(m->btnEsamiFrequenti);
        QCOMPARE(fileBytes(examsFile(app)), FrequentExamLine(u"Potassio"_s, {}, {}).toLatin1() + "\r\nSodio\r\n");
    }

    // A list that exists but cannot be read is never replaced by the few
    // entries typed over the empty list shown.
    void editorNeverSavesOverAnUnreadableList()
    {
        TestApp app;
        writeFile(examsFile(app), "Sodio\r\nPotassio\r\n");
        TfrmMenuAnalisi *m = openMenu(app);
        {
            FailOp fault(io::Op::Open, u"Esami_Frequenti"_s);
            app.dialogs->next<TfrmListaPresc>([&](TfrmListaPresc &d) {
                QCOMPARE(d.lstRecords->count(), 0);
                QVERIFY(app.messages->shown.isEmpty());
                d.txtEsame->setText(u"Glicemia"_s);
                click(d.btnTrova);
                click(d.btnChiudi);
                QCOMPARE(app.messages->take(), QStringList{kSaveFailed});
                QVERIFY(d.isVisible());
                click(d.btnAnnulla);
            });
            click(m->btnEsamiFrequenti);
        }
        QCOMPARE(fileBytes(examsFile(app)), QByteArray("Sodio\r\nPotassio\r\n"));
    }

    // ---- Frequent exams: the import into the card ----------------------------------------------------

    void importCopiesExamUnitAndRange_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<QStringList>("values"); // exam, unit, reference values on the card afterwards
        QTest::newRow("whole entry") << 0 << QStringList{u"Glicemia"_s, u"mg/dl"_s, u"70-110"_s};
        QTest::newRow("exam only") << 1 << QStringList{u"Emocromo"_s, QString(), QString()};
        QTest::newRow("empty line") << 2 << QStringList{QString(), QString(), QString()};
        QTest::newRow("no line chosen") << -1 << QStringList{u"Esame digitato"_s, u"UM digitata"_s, u"Rif. digitati"_s};
    }

    void importCopiesExamUnitAndRange()
    {
        QFETCH(int, row);
        QFETCH(QStringList, values);
        TestApp app;
        QVERIFY(writeFrequentExams(app.folder(), {kGlicemia, u"Emocromo"_s, QString(), u"Azotemia"_s}));
        TfrmAnalisiCliniche *c = openCard(app);
        c->txtEsame->setText(u"Esame digitato"_s);
        c->txtUM->setText(u"UM digitata"_s);
        c->txtRife->setText(u"Rif. digitati"_s);
        c->txtRisultato->setText(u"4,8"_s);
        c->txtEsito->setEditText(u"NELLA NORMA"_s);
        app.dialogs->next<TfrmImportaPresc>([&](TfrmImportaPresc &d) {
            QCOMPARE(focused(), d.txtTrova);
            // File order, trimmed.
            QCOMPARE(d.lstRecords->lines(),
                     (QStringList{kGlicemia.trimmed(), u"Emocromo"_s, QString(), u"Azotemia"_s}));
            if (row == 0)
                keepPicture(&d, u"frmImportaPresc-filled"_s);
            if (row >= 0) {
                doubleClickRow(d.lstRecords, row);
            } else {
                // A double-click where no line stands, with none chosen: the dialog only closes.
                QTest::mouseDClick(d.lstRecords->viewport(), Qt::LeftButton, Qt::NoModifier,
                                   QPoint(20, d.lstRecords->viewport()->height() - 5));
            }
            QVERIFY(!d.isVisible());
            QVERIFY(d.lstRecords->lines().isEmpty());
        });
        click(c->btnImpEsame);
        QCOMPARE((QStringList{c->txtEsame->text(), c->txtUM->text(), c->txtRife->text()}), values);
        QCOMPARE(c->txtRisultato->text(), u"4,8"_s);
        QCOMPARE(c->txtEsito->currentText(), u"NELLA NORMA"_s);
        QVERIFY(app.messages->shown.isEmpty());
    }

    void importWithoutAList()
    {
        TestApp app;
        TfrmAnalisiCliniche *c = openCard(app);
        app.dialogs->next<TfrmImportaPresc>([&](TfrmImportaPresc &d) {
            QCOMPARE(d.lstRecords->count(), 0);
            click(d.btnTrova);
            QCOMPARE(app.messages->shown.size(), 1);
            QCOMPARE(app.messages->shown[0].kind, MsgKind::Plain);
            QCOMPARE(app.messages->take(), QStringList{FindInList::kEmptyList.toString()});
            click(d.btnStampa);
            click(d.btnChiudi);
            QVERIFY(!d.isVisible());
        });
        click(c->btnImpEsame);
        QVERIFY(!QFile::exists(examsFile(app))); // the import never writes the list
        QCOMPARE(app.printing->printed.size(), 1);
        QCOMPARE(printedTitle(app.printing->printed[0]), u"Riepilogo esami frequenti"_s);
        QVERIFY(printedLines(app.printing->printed[0]).isEmpty());
    }

    // The import's find key lives for the whole run; the lists of results
    // forget theirs each time they open.
    void findKeyOnReopening_data()
    {
        QTest::addColumn<bool>("import");
        QTest::addColumn<int>("secondOpening"); // row found by the same key in the next opening
        QTest::newRow("import goes on") << true << 1;
        QTest::newRow("alarming results start over") << false << 0;
    }

    void findKeyOnReopening()
    {
        QFETCH(bool, import);
        QFETCH(int, secondOpening);
        TestApp app;
        QVERIFY(writeFrequentExams(app.folder(), {u"Glicemia"_s, u"Azotemia"_s, u"Emoglobina glicata"_s}));
        writeArchive(archive(app), {{u"01/01/2024"_s, u"Glicemia"_s, u"300"_s, u"Sì"_s},
                                    {u"02/01/2024"_s, u"Azotemia"_s, u"90"_s, u"Sì"_s},
                                    {u"03/01/2024"_s, u"Emoglobina glicata"_s, u"9"_s, u"Sì"_s}});
        TfrmAnalisiCliniche *c = openCard(app);
        auto findGlic = [&](QDialog &d, QLineEdit *txtTrova, QPushButton *btnTrova, LineList *list, int expected) {
            type(txtTrova, u"GLIC"_s);
            pressEnter(txtTrova);
            QCOMPARE(focused(), static_cast<QWidget *>(btnTrova)); // Enter only moves to "Trova"
            click(btnTrova);
            QCOMPARE(list->selectedRow(), expected);
            d.reject();
        };
        for (int expected : {0, secondOpening}) {
            if (import) {
                app.dialogs->next<TfrmImportaPresc>(
                    [&](TfrmImportaPresc &d) { findGlic(d, d.txtTrova, d.btnTrova, d.lstRecords, expected * 2); });
                click(c->btnImpEsame);
            } else {
                app.dialogs->next<TfrmAllarmanti>(
                    [&](TfrmAllarmanti &d) { findGlic(d, d.txtTrova, d.btnTrova, d.lstRecords, expected * 2); });
                click(c->cmdListino);
            }
        }
    }

    // ---- Analysis search -------------------------------------------------------------------------------

    void searchListsMatchingCardsInDateOrder()
    {
        TestApp app;
        writeArchive(archive(app), {{u"02/01/2024"_s, u"Glicemia"_s},
                                    {u"15/12/2023"_s, u"Emocromo"_s},
                                    {u"02/01/2024"_s, u"Azotemia"_s},
                                    {u"20/03/2024"_s, u"Emoglobina"_s},
                                    {u"15/12/2023"_s, u"Sodio"_s}});
        TfrmAnalisiCliniche *c = openCard(app);
        app.dialogs->next<TfrmTrovaAnalisi>([&](TfrmTrovaAnalisi &d) {
            QVERIFY(d.panAvvio->isVisible() && !d.panContainer->isVisible());
            QCOMPARE(focused(), d.txtNumRef);
            QVERIFY(!d.lblAttendere->isVisible());
            type(d.txtData, u"/2024"_s);
            type(d.txtNote, u"   "_s);
            keepPicture(&d, u"frmTrovaAnalisi-criteria"_s);
            click(d.btnCerca);
            QCOMPARE(d.lblConta->text(), u"1"_s);
            QVERIFY(d.panContainer->isVisible() && !d.panAvvio->isVisible());
            QCOMPARE(focused(), d.txtTrova);
            // Two cards of the same day follow the rest of the line: the exam.
            QCOMPARE(exams(d.lstRecords->lines()), (QStringList{u"Azotemia"_s, u"Glicemia"_s, u"Emoglobina"_s}));
            QCOMPARE(d.lblTrovate->text(), u"Il presente riepilogo contiene 3 schede."_s);
            QCOMPARE(d.lstRecords->lines()[0],
                     resultLine(record({u"02/01/2024"_s, u"Azotemia"_s})));
            keepPicture(&d, u"frmTrovaAnalisi-results"_s);
            click(d.btnChiudi);
            QVERIFY(!d.isVisible());
            QVERIFY(!d.lblAttendere->isVisible());
        });
        click(c->cmdTrova);

        // No criteria: every card, 15/12/2023 before 02/01/2024.
        app.dialogs->next<TfrmTrovaAnalisi>([&](TfrmTrovaAnalisi &d) {
            click(d.btnCerca);
            QCOMPARE(d.lblConta->text(), u"0"_s);
            QCOMPARE(exams(d.lstRecords->lines()),
                     (QStringList{u"Emocromo"_s, u"Sodio"_s, u"Azotemia"_s, u"Glicemia"_s, u"Emoglobina"_s}));
            QCOMPARE(d.lblTrovate->text(), u"Il presente riepilogo contiene 5 schede."_s);
            // Long lines scroll sideways.
            QVERIFY(d.lstRecords->horizontalScrollBar()->maximum() > 0);
            click(d.btnStampa);
            d.reject();
        });
        click(c->cmdTrova);
        QCOMPARE(app.printing->printed.size(), 1);
        QCOMPARE(printedTitle(app.printing->printed[0]), u"Riepilogo analisi cliniche di Rossi Niccolò"_s);
        QCOMPARE(exams(printedLines(app.printing->printed[0])),
                 (QStringList{u"Emocromo"_s, u"Sodio"_s, u"Azotemia"_s, u"Glicemia"_s, u"Emoglobina"_s}));
    }

    void searchEnterRingAndHighlight()
    {
        TestApp app;
        TfrmAnalisiCliniche *c = openCard(app);
        app.dialogs->next<TfrmTrovaAnalisi>([&](TfrmTrovaAnalisi &d) {
            const QList<QLineEdit *> ring = {d.txtNumRef,     d.txtDataRef, d.txtData,    d.txtEsame,
                                             d.txtRisultato,  d.txtUM,      d.txtEsito,   d.txtCommento,
                                             d.txtFirmatario, d.txtNote};
            for (int i = 0; i < ring.size(); ++i) {
                QCOMPARE(focused(), ring[i]);
                int shown = 0;
                for (QWidget *eff : d.findChildren<QWidget *>(QRegularExpression(u"^eff"_s)))
                    shown += eff->isVisible() ? 1 : 0;
                QCOMPARE(shown, 1);
                QVERIFY(d.findChild<QWidget *>(u"eff"_s + ring[i]->objectName().mid(3))->isVisible());
                pressEnter(ring[i]);
            }
            QCOMPARE(focused(), d.txtNumRef);
            QVERIFY(d.panAvvio->isVisible()); // Enter never searches
            QCOMPARE(d.txtData->accessibleName(), u"Data prelievo (gg/mm/aaaa):"_s);
            d.reject();
        });
        click(c->cmdTrova);
    }

    void searchAccessErrorStaysOnTheCriteria()
    {
        TestApp app;
        TfrmAnalisiCliniche *c = openCard(app);
        app.dialogs->next<TfrmTrovaAnalisi>([&](TfrmTrovaAnalisi &d) {
            {
                FailOp fault(io::Op::Read);
                writeArchive(archive(app), {{u"02/01/2024"_s, u"Glicemia"_s}});
                click(d.btnCerca);
            }
            QCOMPARE(app.messages->shown.size(), 1);
            QCOMPARE(app.messages->shown[0].kind, MsgKind::Plain);
            QCOMPARE(app.messages->take(), QStringList{msg::kAccessError.toString()});
            QVERIFY(d.panAvvio->isVisible() && !d.panContainer->isVisible());
            QVERIFY(d.lblAttendere->isVisible());
            click(d.btnAnnulla);
            QVERIFY(!d.isVisible());
            QVERIFY(!d.lblAttendere->isVisible());
        });
        click(c->cmdTrova);
    }

    // A double-click puts the card back: of twins, the later one in the archive.
    void searchLoadsTheChosenCard()
    {
        TestApp app;
        writeArchive(archive(app), {{u"02/01/2024"_s, u"Glicemia"_s, u"95"_s, u"No"_s, u"prima"_s},
                                    {u"15/12/2023"_s, u"Emocromo"_s, u"5"_s, u"Sì"_s},
                                    {u"02/01/2024"_s, u"Glicemia"_s, u"95"_s, u"Sì"_s, u"gemella"_s},
                                    {u"03/01/2024"_s, u"Sodio"_s}});
        TfrmAnalisiCliniche *c = openCard(app);
        c->txtNumRef->setText(u"non salvato"_s);
        app.dialogs->next<TfrmTrovaAnalisi>([&](TfrmTrovaAnalisi &d) {
            QCOMPARE(d.lblMemory->text(), u"analisicliniche"_s);
            click(d.btnCerca);
            QCOMPARE(exams(d.lstRecords->lines()),
                     (QStringList{u"Emocromo"_s, u"Glicemia"_s, u"Glicemia"_s, u"Sodio"_s}));
            doubleClickRow(d.lstRecords, 1);
            QVERIFY(!d.isVisible());
        });
        click(c->cmdTrova);
        QCOMPARE(c->lblPosizione->text(), u"3"_s);
        QCOMPARE(c->txtNote->text(), u"gemella"_s);
        QCOMPARE(c->txtNumRef->text(), u"R-02/01/2024"_s);
        QCOMPARE(c->txtEsame->text(), u"Glicemia"_s);
        QCOMPARE(c->txtEsito->currentText(), u"FUORI NORMA"_s);
        QCOMPARE(c->txtCommento->text(), u"Commento Glicemia"_s);
        QVERIFY(c->chkAllarme->isChecked());
        QCOMPARE(c->lblFile01->text(), u"referto.pdf"_s);
        QCOMPARE(c->lblDesc01->text(), u"Referto di Glicemia"_s);
        QVERIFY(app.messages->shown.isEmpty());

        // Enter on a chosen line does what a double-click does.
        app.dialogs->next<TfrmTrovaAnalisi>([&](TfrmTrovaAnalisi &d) {
            click(d.btnCerca);
            d.lstRecords->selectRow(3);
            pressEnter(d.lstRecords);
            QVERIFY(!d.isVisible());
        });
        click(c->cmdTrova);
        QCOMPARE(c->lblPosizione->text(), u"4"_s);
        QCOMPARE(c->txtEsame->text(), u"Sodio"_s);
    }

    void searchWithAnotherCallerLoadsNothing()
    {
        TestApp app;
        writeArchive(archive(app), {{u"02/01/2024"_s, u"Glicemia"_s}});
        TfrmAnalisiCliniche *c = openCard(app);
        app.dialogs->next<TfrmTrovaAnalisi>([&](TfrmTrovaAnalisi &d) {
            click(d.btnCerca);
            doubleClickRow(d.lstRecords, 0);
            QVERIFY(!d.isVisible());
        });
        app.ctx->openDialog<TfrmTrovaAnalisi>(c, [](TfrmTrovaAnalisi &d) { d.lblMemory->setText(u"clienti"_s); });
        QVERIFY(c->lblPosizione->text().isEmpty());
        QVERIFY(c->txtEsame->text().isEmpty());
    }

    // ---- Alarming results -------------------------------------------------------------------------------

    void alarmingResultsListAndLoad()
    {
        TestApp app;
        writeArchive(archive(app), {{u"02/01/2024"_s, u"Glicemia"_s, u"300"_s, u"Sì"_s},
                                    {u"03/01/2024"_s, u"Azotemia"_s, u"90"_s, u"No"_s},
                                    {u"04/01/2024"_s, u"Sodio"_s, u"150"_s, QString()},
                                    {u"15/12/2023"_s, u"Potassio"_s, u"7"_s, u"Sì"_s}});
        TfrmAnalisiCliniche *c = openCard(app);
        c->chkAllarme->setChecked(true); // ticked on screen, not saved: not listed
        app.printing->renderTo = app.path(u"Riepilogo allarmanti.pdf"_s);
        app.dialogs->next<TfrmAllarmanti>([&](TfrmAllarmanti &d) {
            QCOMPARE(d.windowTitle(), u" Riepilogo esami clinici con risultati allarmanti"_s);
            QCOMPARE(focused(), d.txtTrova);
            QCOMPARE(exams(d.lstRecords->lines()), (QStringList{u"Potassio"_s, u"Glicemia"_s}));
            keepPicture(&d, u"frmAllarmanti-filled"_s);
            click(d.btnStampa);
            doubleClickRow(d.lstRecords, 1);
            QVERIFY(!d.isVisible());
        });
        click(c->cmdListino);
        QCOMPARE(c->lblPosizione->text(), u"1"_s);
        QCOMPARE(c->txtEsame->text(), u"Glicemia"_s);
        QCOMPARE(c->txtRisultato->text(), u"300"_s);
        QCOMPARE(printedTitle(app.printing->printed[0]),
                 u"Riepilogo esami clinici di Rossi Niccolò con risultati allarmanti"_s);
        QCOMPARE(exams(printedLines(app.printing->printed[0])), (QStringList{u"Potassio"_s, u"Glicemia"_s}));
        keepForReview(app.printing->renderTo);
    }

    // An archive that cannot be read is said, in a plain box as the analysis
    // search says it: an empty list must not read as "no alarming results".
    void alarmingResultsFailureIsSaid()
    {
        TestApp app;
        writeArchive(archive(app), {{u"02/01/2024"_s, u"Glicemia"_s, u"300"_s, u"Sì"_s}});
        TfrmAnalisiCliniche *c = openCard(app);
        FailOp fault(io::Op::Open, u".asl"_s);
        app.dialogs->next<TfrmAllarmanti>([&](TfrmAllarmanti &d) {
            QCOMPARE(d.lstRecords->count(), 0);
            QCOMPARE(app.messages->shown.size(), 1);
            QCOMPARE(int(app.messages->shown[0].kind), int(MsgKind::Plain));
            QCOMPARE(app.messages->take(), QStringList{msg::kAccessError.toString()});
            click(d.btnTrova);
            QCOMPARE(app.messages->take(), QStringList{FindInList::kEmptyList.toString()});
            // A double-click with no line chosen only closes the list.
            QTest::mouseDClick(d.lstRecords->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
            QVERIFY(!d.isVisible());
        });
        click(c->cmdListino);
        QVERIFY(c->lblPosizione->text().isEmpty());
    }

    // A read failing part way: the cards read before it, sorted as a whole
    // list is, and the failure said.
    void alarmingResultsCutShortAreSorted()
    {
        TestApp app;
        writeArchive(archive(app), {{u"02/01/2024"_s, u"Glicemia"_s, u"300"_s, u"Sì"_s},
                                    {u"15/12/2023"_s, u"Potassio"_s, u"7"_s, u"Sì"_s},
                                    {u"03/01/2022"_s, u"Sodio"_s, u"150"_s, u"Sì"_s}});
        TfrmAnalisiCliniche *c = openCard(app);
        // The third record's read fails.
        struct ThirdRead : io::FaultHook {
            int reads = 0;
            bool shouldFail(io::Op op, const QString &path) override
            {
                return op == io::Op::Read && path.endsWith(u".asl"_s) && ++reads == 3;
            }
        } third;
        io::setFaultHook(&third);
        app.dialogs->next<TfrmAllarmanti>([&](TfrmAllarmanti &d) {
            QCOMPARE(exams(d.lstRecords->lines()), (QStringList{u"Potassio"_s, u"Glicemia"_s}));
            QCOMPARE(app.messages->take(), QStringList{msg::kAccessError.toString()});
            click(d.btnChiudi);
        });
        click(c->cmdListino);
        io::setFaultHook(nullptr);
        QCOMPARE(third.reads, 3);
    }

    // ---- The card printout ----------------------------------------------------------------------------------

    void cardFormLayout()
    {
        const auto rep = makeRepDocumento();
        QCOMPARE(rep->name(), u"Scheda Esame Clinico"_s);
        QCOMPARE(rep->page1().orientation(), QPageLayout::Portrait);
        QCOMPARE(rep->page1().margin, units::mm(10));
        QVERIFY(rep->page1().bands().empty());
        int shapes = 0, texts = 0, lines = 0;
        for (const auto &o : rep->page1().objects()) {
            shapes += o->kind() == ObjectKind::Shape;
            lines += o->kind() == ObjectKind::Line;
            if (o->kind() == ObjectKind::Text) {
                ++texts;
                const auto &t = static_cast<const TextObject &>(*o);
                QVERIFY(!t.look().wordWrap && !t.look().expressions);
                QCOMPARE(t.look().font.family, u"Arial"_s);
                QCOMPARE(t.look().font.color, QColor(Qt::black));
            }
        }
        QCOMPARE(shapes, 1 + 13 + 1);
        QCOMPARE(texts, 1 + 13 + 13 + 1);
        QCOMPARE(lines, 1);
        auto near = [](const QRectF &a, const QRectF &mm) {
            const QRectF b = units::mmRect(mm.left(), mm.top(), mm.width(), mm.height());
            return std::abs(a.left() - b.left()) < 1e-6 && std::abs(a.top() - b.top()) < 1e-6
                   && std::abs(a.width() - b.width()) < 1e-6 && std::abs(a.height() - b.height()) < 1e-6;
        };
        const TextObject &title = rep->text(u"titArcataSup");
        QVERIFY(near(title.frame(), {2, 2, 185.8, 4.2}));
        QCOMPARE(title.text(), u"SCHEDA ESAME CLINICO"_s);
        QCOMPARE(title.look().font.pointSize, 9.0);
        QCOMPARE(title.look().hAlign, Qt::AlignHCenter);
        QVERIFY(near(rep->text(u"txtPaziente").frame(), {44, 7.5, 144, 3.5}));
        QVERIFY(near(rep->text(u"txtNote").frame(), {44, 7.5 + 5 * 12, 144, 3.5}));
        QCOMPARE(rep->text(u"txtNote").look().font.pointSize, 7.0);
        const TextObject &footer = rep->text(u"txtCalce");
        QVERIFY(near(footer.frame(), {2, 73, 185.8, 4.2}));
        QCOMPARE(footer.text(), u"Data e ora stampa"_s);
        QCOMPARE(footer.look().font.pointSize, 8.0);
        for (const auto &o : rep->page1().objects()) {
            if (o->kind() == ObjectKind::Line)
                QVERIFY(near(o->frame(), {42, 7, 0, 64.6}));
            if (o->kind() == ObjectKind::Shape && std::abs(o->frame().top() - units::mm(72)) < 1e-6)
                QCOMPARE(static_cast<const ShapeObject &>(*o).look().fill, QColor(0xFF, 0xD7, 0x00));
        }
    }

    void cardPrintsWhatTheCardShows()
    {
        TestApp app;
        TfrmAnalisiCliniche *c = openCard(app);
        c->txtNumRef->setText(u"  2024/118 "_s);
        c->txtDataRef->setText(u"05/03/2024"_s);
        c->txtData->setText(u"01/03/2024"_s);
        c->txtEsame->setText(u"Glicemia a digiuno"_s);
        c->txtRisultato->setText(u"126"_s);
        c->txtUM->setText(u"mg/dl"_s);
        c->txtRife->setText(u"70-110"_s);
        c->txtEsito->setEditText(u"FUORI NORMA"_s);
        c->txtCommento->setText(u"Ripetere tra un mese [DATE]"_s);
        c->txtFirmatario->setText(u"Dott.ssa Bianchi"_s);
        c->txtNote->setText(u"Unità di misura del laboratorio"_s);
        const QString pdf = app.path(u"Scheda Esame Clinico.pdf"_s);
        app.printing->renderTo = pdf;
        app.dialogs->next<TfrmStampaAnalisi>([&](TfrmStampaAnalisi &d) {
            QCOMPARE(d.windowTitle(), u" Stampa scheda"_s);
            keepPicture(&d, u"frmStampaAnalisi"_s);
            click(d.btnStampa);
            QVERIFY(!d.isVisible());
        });
        click(c->cmdStampa);
        QCOMPARE(app.printing->printed.size(), 1);
        const PreparedReport &r = app.printing->printed[0];
        QCOMPARE(r.name, u"Scheda Esame Clinico"_s);
        QCOMPARE(r.pages.size(), 1);
        const PreparedPage &page = r.pages[0];
        const QList<std::pair<QStringView, QString>> values = {
            {u"txtPaziente", kName},         {u"txtCodFisc", kCode},         {u"txtNumRef", u"2024/118"_s},
            {u"txtDataRef", u"05/03/2024"_s}, {u"txtData", u"01/03/2024"_s}, {u"txtEsito", u"FUORI NORMA"_s},
            {u"txtCommento", u"Ripetere tra un mese [DATE]"_s},
            {u"txtCalce", u"Stampa eseguita in data 10/12/2026 alle ore 10:30:15"_s},
        };
        for (const auto &[name, value] : values)
            QCOMPARE(page.find(name)->lines, QStringList{value});

        keepForReview(pdf);
        const QString text = pdfText(pdf).simplified();
        for (const QString &s : {u"SCHEDA ESAME CLINICO"_s, u"Paziente:"_s, u"Valori di riferimento:"_s,
                                 u"Unità di Misura:"_s, u"Firmatario referto:"_s, u"Rossi Niccolò"_s,
                                 u"Glicemia a digiuno"_s, u"Ripetere tra un mese [DATE]"_s, u"Dott.ssa Bianchi"_s,
                                 u"Stampa eseguita in data 10/12/2026 alle ore 10:30:15"_s})
            QVERIFY2(text.contains(s), qUtf8Printable(s));
    }

    // "Stampa" closes the dialog whatever the print dialog answered;
    // "Annulla" prints nothing.
    void cardPrintDialogClosesEitherWay()
    {
        TestApp app;
        TfrmAnalisiCliniche *c = openCard(app);
        app.printing->answers = {false};
        app.dialogs->next<TfrmStampaAnalisi>([&](TfrmStampaAnalisi &d) {
            click(d.btnStampa);
            QVERIFY(!d.isVisible());
        });
        click(c->cmdStampa);
        QCOMPARE(app.printing->dialogs.size(), 1);
        QCOMPARE(app.printing->printed.size(), 0);

        app.dialogs->next<TfrmStampaAnalisi>([&](TfrmStampaAnalisi &d) {
            QCOMPARE(focused(), d.btnStampa);
            click(d.btnAnnulla);
            QVERIFY(!d.isVisible());
        });
        click(c->cmdStampa);
        QCOMPARE(app.printing->dialogs.size(), 1);
        QVERIFY(app.messages->shown.isEmpty());
    }
};

QTEST_MAIN(TestAnalysisTools)
#include "tst_analysistools.moc"
