// The clinical analyses: choosing a patient, the analysis card with its
// browsing, new, clear, duplicate and save, and the date picker.
#include "analyses/AnalysisRecord.h"
#include "analyses/ui/Allarmanti.h"
#include "analyses/ui/AnalisiCliniche.h"
#include "analyses/ui/Calendario.h"
#include "analyses/ui/ExpAnalisi.h"
#include "analyses/ui/ImportaPresc.h"
#include "analyses/ui/ListaPresc.h"
#include "analyses/ui/MenuAnalisi.h"
#include "analyses/ui/StampaAnalisi.h"
#include "analyses/ui/TrovaAnalisi.h"
#include "app/ui/Avvio.h"
#include "app/ui/Guida.h"
#include "app/ui/Password.h"
#include "common/FileIo.h"
#include "common/HelpTexts.h"
#include "common/Messages.h"
#include "common/ui/Widgets.h"
#include "patients/PatientRecord.h"
#include "patients/ui/AllegaCartella.h"
#include "patients/ui/TrovaClienti.h"
#include "support/FileTools.h"
#include "support/TestApp.h"

#include <QCalendarWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>

using namespace Qt::StringLiterals;
using namespace clinora;
using namespace clinora::test;

namespace {

const QString kName = u"Rossi Niccolò"_s;
const QString kCode = u"RSSNCC80A01H501U"_s;
const QString kEmptyArchive = u"L'archivio non contiene nessuna scheda."_s;
const QString kInserted = u"La scheda corrente è stata inserita in archivio."_s;
const QString kUpdated = u"Le modifiche apportate alla scheda corrente sono state salvate in archivio."_s;

// Writes a ShortText at `offset` of a record image: length byte, then the text.
void put(QByteArray &record, int offset, const QByteArray &text)
{
    record[offset] = char(text.size());
    record.replace(offset + 1, text.size(), text);
}

AnalysisRecord sample(int k, const QString &alarm = u"No"_s)
{
    AnalysisRecord r;
    r.set(AnalysisRecord::Paziente, kName);
    r.set(AnalysisRecord::CodFisc, kCode);
    r.set(AnalysisRecord::NumRef, u"R%1"_s.arg(k));
    r.set(AnalysisRecord::DataRef, u"0%1/02/2024"_s.arg(k));
    r.set(AnalysisRecord::Data, u"0%1/01/2024"_s.arg(k));
    r.set(AnalysisRecord::Esame, u"Esame %1"_s.arg(k));
    r.set(AnalysisRecord::Risultato, u"%1,5"_s.arg(k));
    r.set(AnalysisRecord::UM, u"mg/dl"_s);
    r.set(AnalysisRecord::Rife, u"1 - 9"_s);
    r.set(AnalysisRecord::Esito, u"NELLA NORMA"_s);
    r.set(AnalysisRecord::Commento, u"Commento %1"_s.arg(k));
    r.set(AnalysisRecord::Firmatario, u"Dott. Verdi"_s);
    r.set(AnalysisRecord::Note, u"Nota %1"_s.arg(k));
    r.set(AnalysisRecord::Allarme, alarm);
    return r;
}

void writeArchive(const QString &path, const QList<AnalysisRecord> &records)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    for (const AnalysisRecord &r : records)
        f.write(r.bytes());
}

} // namespace

class TestAnalyses : public QObject {
    Q_OBJECT

    static TfrmMenuAnalisi *menu(TestApp &app) { return app.ctx->screens.frmMenuAnalisi; }
    static TfrmAnalisiCliniche *card(TestApp &app) { return app.ctx->screens.frmAnalisiCliniche; }
    static QString archive(TestApp &app, const QString &code = kCode)
    {
        return app.path(u"Analisi_Cliniche/Paziente_CF_"_s + code + u".asl"_s);
    }

    // The card opened from the entry screen for a patient, as the user gets there.
    static TfrmAnalisiCliniche *openCard(TestApp &app, const QString &name = kName, const QString &code = kCode)
    {
        TfrmMenuAnalisi *m = menu(app);
        app.ctx->switchTo(app.ctx->screens.frmAvvio, m);
        m->txtPaziente->setText(name);
        m->txtCodFisc->setText(code);
        click(m->btnApri);
        TfrmAnalisiCliniche *c = card(app);
        activate(c);
        return c;
    }

    // Fills the six fields a card needs.
    static void fillRequired(TfrmAnalisiCliniche *c)
    {
        c->txtNumRef->setText(u"R9"_s);
        c->txtDataRef->setText(u"02/03/2024"_s);
        c->txtData->setText(u"01/03/2024"_s);
        c->txtEsame->setText(u"Emocromo"_s);
        c->txtRisultato->setText(u"4,8"_s);
        c->txtEsito->setEditText(u"NELLA NORMA"_s);
    }

private slots:
    // ---- The one event end to end -------------------------------------------------------------

    void recordingResultsEndToEnd()
    {
        TestApp app;
        app.setPassword(u"CLINORA"_s);
        app.clock->at = QDateTime(QDate(2024, 3, 7), QTime(9, 0));
        app.ctx->start();
        TfrmPassword *login = app.ctx->screens.frmPassword;
        activate(login);
        type(login->txtPassword, u"clinora"_s);
        pressEnter(login->txtPassword);
        TfrmAvvio *start = app.ctx->screens.frmAvvio;
        QVERIFY(start->isVisible());
        click(start->btnAnalisi);
        TfrmMenuAnalisi *m = menu(app);
        QVERIFY(m->isVisible());
        QVERIFY(!m->btnApri->isEnabled());

        // The patient is found by the search and picked with a double-click.
        {
            PatientArchive patients;
            QVERIFY(patients.open(PatientArchivePath(app.folder())));
            for (const auto &[name, code] : {std::pair{u"Rossi Mario"_s, u"RSSMRA80A01H501U"_s},
                                             std::pair{kName, kCode}, std::pair{u"Bianchi Anna"_s, u"BNCNNA80A41H501X"_s}}) {
                PatientRecord p;
                p.set(PatientRecord::Paziente, name);
                p.set(PatientRecord::CodFisc, code);
                QVERIFY(patients.append(p));
            }
            QVERIFY(patients.close());
        }
        app.dialogs->next<TfrmTrovaClienti>([&](TfrmTrovaClienti &s) {
            QCOMPARE(s.lblMemory->text(), u"menuanalisi"_s);
            type(s.txtPaziente, u"niccol"_s);
            click(s.btnCerca);
            QCOMPARE(s.lstRecords->model()->rowCount(), 1);
            const QModelIndex line = s.lstRecords->model()->index(0, 0);
            const QPoint at = s.lstRecords->visualRect(line).center();
            QTest::mouseClick(s.lstRecords->viewport(), Qt::LeftButton, Qt::NoModifier, at);
            QTest::mouseDClick(s.lstRecords->viewport(), Qt::LeftButton, Qt::NoModifier, at);
            QVERIFY(!s.isVisible());
        });
        click(m->btnSeleziona);
        QCOMPARE(m->txtPaziente->text(), kName);
        QCOMPARE(m->txtCodFisc->text(), kCode);
        QVERIFY(m->btnApri->isEnabled());
        QVERIFY(!QFileInfo::exists(app.path(u"Analisi_Cliniche"_s)));

        click(m->btnApri);
        TfrmAnalisiCliniche *c = card(app);
        QVERIFY(c->isVisible());
        QVERIFY(!m->isVisible());
        QVERIFY(QFileInfo(app.path(u"Analisi_Cliniche"_s)).isDir());
        QVERIFY(!QFileInfo::exists(archive(app))); // made by the card's first command
        QCOMPARE(c->txtPaziente->text(), kName);
        QCOMPARE(c->txtCodFisc->text(), kCode);
        QCOMPARE(c->lblFile->text(), QDir(app.folder()).filePath(u"Analisi_Cliniche/Paziente_CF_"_s + kCode + u".asl"_s));
        activate(c);
        QCOMPARE(focused(), c->txtNumRef);

        // The report's number and dates: the dates come only from the picker.
        type(c->txtNumRef, u"2024/317"_s);
        pressEnter(c->txtNumRef);
        QCOMPARE(focused(), c->txtDataRef);
        app.dialogs->next<TfrmCalendario>([](TfrmCalendario &d) {
            QCOMPARE(d.lblMemory->text(), u"analisi_dataref"_s);
            click(d.btnImportaData);
        });
        pressEnter(c->txtDataRef);
        QCOMPARE(c->txtDataRef->text(), u"07/03/2024"_s);
        app.dialogs->next<TfrmCalendario>([](TfrmCalendario &d) {
            QCOMPARE(d.lblMemory->text(), u"analisi_data"_s);
            d.calAppuntamenti->setSelectedDate(QDate(2024, 3, 5));
            click(d.btnImportaData);
        });
        type(c->txtData, u"x"_s);
        QCOMPARE(c->txtData->text(), u"05/03/2024"_s);

        // The first exam, walked through with Enter.
        activate(c);
        c->txtEsame->setFocus();
        const std::pair<QWidget *, QString> first[] = {
            {c->txtEsame, u"Glicemia"_s}, {c->txtRisultato, u"132"_s}, {c->txtUM, u"mg/dl"_s},
            {c->txtRife, u"70 - 110"_s},  {c->txtEsito, u"FUORI NORMA"_s}, {c->txtCommento, u"Da ripetere"_s},
            {c->txtFirmatario, u"Dott.ssa Bianchi"_s},
        };
        for (const auto &[field, text] : first) {
            QCOMPARE(focused(), field);
            type(field, text);
            pressEnter(field);
        }
        QCOMPARE(focused(), c->txtNote);
        click(c->chkAllarme);
        click(c->cmdSalva);
        QCOMPARE(app.messages->take(), QStringList{kInserted});
        QCOMPARE(c->lblPosizione->text(), u"1"_s);

        // "Nuovo" keeps what the report's exams share.
        click(c->cmdNuovo);
        QCOMPARE(focused(), c->txtEsame);
        QCOMPARE(c->txtNumRef->text(), u"2024/317"_s);
        QCOMPARE(c->txtDataRef->text(), u"07/03/2024"_s);
        QCOMPARE(c->txtData->text(), u"05/03/2024"_s);
        QCOMPARE(c->txtFirmatario->text(), u"Dott.ssa Bianchi"_s);
        QVERIFY(c->lblPosizione->text().isEmpty());
        type(c->txtEsame, u"Colesterolo totale"_s);
        type(c->txtRisultato, u"  180  "_s);
        c->txtEsito->setFocus();
        c->txtEsito->setCurrentIndex(0); // picked from the list
        click(c->cmdSalva);
        QCOMPARE(app.messages->take(), QStringList{kInserted});
        QCOMPARE(c->lblPosizione->text(), u"2"_s);

        // Byte by byte, at the archive's own offsets.
        QByteArray one(2498, '\0');
        put(one, 0, "Rossi Niccol\xF2");
        put(one, 51, "RSSNCC80A01H501U");
        put(one, 68, "2024/317");
        put(one, 89, "07/03/2024");
        put(one, 100, "05/03/2024");
        put(one, 111, "Glicemia");
        put(one, 232, "132");
        put(one, 283, "mg/dl");
        put(one, 334, "70 - 110");
        put(one, 385, "FUORI NORMA");
        put(one, 436, "Da ripetere");
        put(one, 687, "Dott.ssa Bianchi");
        put(one, 989, "S\xEC");
        QByteArray two(2498, '\0');
        put(two, 0, "Rossi Niccol\xF2");
        put(two, 51, "RSSNCC80A01H501U");
        put(two, 68, "2024/317");
        put(two, 89, "07/03/2024");
        put(two, 100, "05/03/2024");
        put(two, 111, "Colesterolo totale");
        put(two, 232, "180");
        put(two, 385, "NELLA NORMA");
        put(two, 687, "Dott.ssa Bianchi");
        put(two, 989, "No");
        QCOMPARE(fileBytes(archive(app)), one + two);

        // Back to the first card, corrected and saved over itself.
        click(c->cmdPrimo);
        QCOMPARE(c->lblPosizione->text(), u"1"_s);
        QCOMPARE(c->txtEsame->text(), u"Glicemia"_s);
        QVERIFY(c->chkAllarme->isChecked());
        c->txtRisultato->clear();
        type(c->txtRisultato, u"128"_s);
        click(c->cmdSalva);
        QCOMPARE(app.messages->take(), QStringList{kUpdated});
        QCOMPARE(c->lblPosizione->text(), u"1"_s);
        put(one, 232, "128");
        QCOMPARE(fileBytes(archive(app)), one + two);

        c->close();
        QVERIFY(start->isVisible());
        QVERIFY(!m->isVisible());
        QCOMPARE(app.dialogs->opened, (QStringList{u"frmTrovaClienti"_s, u"frmCalendario"_s, u"frmCalendario"_s}));
    }

    // ---- The entry screen ------------------------------------------------------------------------

    void entryScreenFollowsTheChoice()
    {
        TestApp app;
        TfrmMenuAnalisi *m = menu(app);
        app.ctx->switchTo(app.ctx->screens.frmAvvio, m);
        activate(m);
        QCOMPARE(m->lblMemory->text(), u"avvio"_s);
        QVERIFY(m->txtPaziente->isReadOnly() && m->txtCodFisc->isReadOnly());
        QVERIFY(!m->btnApri->isEnabled());
        QVERIFY(m->imgFrecciaSeleziona->isVisible() && !m->imgFrecciaApri->isVisible());

        // Closing the search without a pick keeps the fields as they were.
        click(m->btnSeleziona);
        QVERIFY(m->txtPaziente->text().isEmpty());
        QVERIFY(!m->btnApri->isEnabled());

        // The field changed last decides.
        m->txtPaziente->setText(kName);
        m->txtCodFisc->setText(u"   "_s);
        QVERIFY(!m->btnApri->isEnabled());
        QVERIFY(m->imgFrecciaSeleziona->isVisible() && !m->imgFrecciaApri->isVisible());
        m->txtPaziente->setText(u"Rossi"_s);
        QVERIFY(m->btnApri->isEnabled());
        QVERIFY(!m->imgFrecciaSeleziona->isVisible() && m->imgFrecciaApri->isVisible());

        for (PictureButton *eraser : {m->btnCancella01, m->btnCancella02}) {
            m->txtPaziente->setText(kName);
            m->txtCodFisc->setText(kCode);
            QVERIFY(m->btnApri->isEnabled());
            click(eraser);
            QVERIFY(m->txtPaziente->text().isEmpty() && m->txtCodFisc->text().isEmpty());
            QVERIFY(!m->btnApri->isEnabled());
            QVERIFY(m->imgFrecciaSeleziona->isVisible() && !m->imgFrecciaApri->isVisible());
        }

        // Back from the start menu, the choice is gone.
        m->txtPaziente->setText(kName);
        m->txtCodFisc->setText(kCode);
        click(m->imgEsci);
        QVERIFY(app.ctx->screens.frmAvvio->isVisible() && !m->isVisible());
        click(app.ctx->screens.frmAvvio->imgAnalisi);
        QVERIFY(m->txtPaziente->text().isEmpty() && m->txtCodFisc->text().isEmpty());
        QVERIFY(!m->btnApri->isEnabled());
        m->close(); // the window's own close button: the start menu too
        QVERIFY(app.ctx->screens.frmAvvio->isVisible() && !m->isVisible());
        QVERIFY(!card(app)->isVisible());
    }

    void entryScreenOtherCommands()
    {
        TestApp app;
        TfrmMenuAnalisi *m = menu(app);
        app.ctx->switchTo(app.ctx->screens.frmAvvio, m);
        app.dialogs->next<TfrmGuida>([](TfrmGuida &g) {
            QCOMPARE(g.lblTitolo->text(), u"Applicazione Analisi Cliniche."_s);
            QCOMPARE(g.txtGuida->toPlainText(),
                     help::topic(help::TopicId::AnalysesMenu).text.replace(u"\r\n"_s, u"\n"_s));
        });
        click(m->imgGuida);
        click(m->btnEsamiFrequenti);
        QCOMPARE(app.dialogs->opened, (QStringList{u"frmGuida"_s, u"frmListaPresc"_s}));
        QVERIFY(m->isVisible());
    }

    void folderThatCannotBeMadeLeadsBackToTheStartMenu()
    {
        TestApp app;
        TfrmMenuAnalisi *m = menu(app);
        app.ctx->switchTo(app.ctx->screens.frmAvvio, m);
        m->txtPaziente->setText(kName);
        m->txtCodFisc->setText(kCode);
        {
            FailOp fail(io::Op::Mkdir);
            click(m->btnApri);
        }
        QCOMPARE(app.messages->shown.size(), 1);
        QCOMPARE(app.messages->shown[0].kind, MsgKind::Error);
        QCOMPARE(app.messages->shown[0].text, msg::kAccessError.toString());
        QVERIFY(app.ctx->screens.frmAvvio->isVisible());
        QVERIFY(!m->isVisible() && !card(app)->isVisible());
        QVERIFY(!QFileInfo::exists(app.path(u"Analisi_Cliniche"_s)));
    }

    // ---- The card: its fields and keys -------------------------------------------------------------

    void cardStartsEmptyEachTime()
    {
        TestApp app;
        writeArchive(archive(app), {sample(1, u"Sì"_s)});
        TfrmAnalisiCliniche *c = openCard(app);
        click(c->cmdPrimo);
        QCOMPARE(c->txtEsame->text(), u"Esame 1"_s);
        c->lblFile01->setText(u"referto.pdf"_s);
        c->close();
        c = openCard(app);
        for (QLineEdit *e : {c->txtNumRef, c->txtDataRef, c->txtData, c->txtEsame, c->txtRisultato, c->txtUM,
                             c->txtRife, c->txtCommento, c->txtFirmatario, c->txtNote})
            QVERIFY2(e->text().isEmpty(), qPrintable(e->objectName()));
        QVERIFY(c->txtEsito->currentText().isEmpty());
        QVERIFY(!c->chkAllarme->isChecked());
        QVERIFY(c->lblFile01->text().isEmpty());
        QVERIFY(c->lblPosizione->text().isEmpty());
        QCOMPARE(c->txtPaziente->text(), kName);
        QCOMPARE(focused(), c->txtNumRef);
        QCOMPARE(c->panInfo->text(), u"Pronto per archiviare una nuova scheda..."_s);
    }

    void fieldLimits()
    {
        TestApp app;
        TfrmAnalisiCliniche *c = card(app);
        const std::pair<QLineEdit *, int> limits[] = {
            {c->txtPaziente, 50}, {c->txtCodFisc, 16},  {c->txtNumRef, 20},  {c->txtDataRef, 10},
            {c->txtData, 10},     {c->txtEsame, 120},   {c->txtRisultato, 50}, {c->txtUM, 50},
            {c->txtRife, 50},     {c->txtEsito->lineEdit(), 50}, {c->txtCommento, 250},
            {c->txtFirmatario, 50}, {c->txtNote, 250},
        };
        for (const auto &[e, n] : limits)
            QCOMPARE(e->maxLength(), n);
        for (QLineEdit *e : {c->txtPaziente, c->txtCodFisc, c->txtDataRef, c->txtData})
            QVERIFY(e->isReadOnly());
        QVERIFY(!c->txtNumRef->isReadOnly());
        QVERIFY(c->txtEsito->isEditable());
        QCOMPARE(c->txtEsito->count(), 2);
        QCOMPARE(c->txtEsito->itemText(0), u"NELLA NORMA"_s);
        QCOMPARE(c->txtEsito->itemText(1), u"FUORI NORMA"_s);
        QCOMPARE(c->txtEsame->accessibleName(), u"Esame:"_s);
    }

    void enterChainAndTabOrder()
    {
        TestApp app;
        TfrmAnalisiCliniche *c = openCard(app);
        c->txtEsame->setFocus();
        const QList<QWidget *> chain = {c->txtRisultato, c->txtUM,       c->txtRife,    c->txtEsito,
                                        c->txtCommento,  c->txtFirmatario, c->txtNote,  c->txtPaziente,
                                        c->txtCodFisc,   c->txtNumRef,   c->txtDataRef};
        for (QWidget *next : chain) {
            pressEnter(focused());
            QCOMPARE(focused(), next);
        }
        QVERIFY(app.dialogs->opened.isEmpty());
        QCOMPARE(c->txtEsito->count(), 2); // Enter added nothing to the list

        const QList<QWidget *> tabs = {c->txtNumRef, c->txtDataRef, c->txtData,    c->txtEsame,
                                       c->txtRisultato, c->txtUM,   c->txtRife,    c->txtEsito,
                                       c->txtCommento, c->txtFirmatario, c->txtNote, c->chkAllarme,
                                       c->txtPaziente, c->txtCodFisc};
        c->txtNumRef->setFocus();
        for (int i = 1; i < tabs.size(); ++i) {
            pressKey(focused(), Qt::Key_Tab);
            QCOMPARE(focused(), tabs[i]);
        }
        QVERIFY(app.dialogs->opened.isEmpty()); // tabbing through a date field opens nothing
    }

    void outcomeChoiceIsForgottenOnEntering()
    {
        TestApp app;
        TfrmAnalisiCliniche *c = openCard(app);
        c->txtEsito->setFocus();
        c->txtEsito->setCurrentIndex(1);
        c->txtCommento->setFocus();
        QCOMPARE(c->txtEsito->currentIndex(), 1);
        c->txtEsito->setFocus();
        QCOMPARE(c->txtEsito->currentIndex(), -1);
        QCOMPARE(c->txtEsito->currentText(), u"FUORI NORMA"_s);
        // Free text is an outcome too.
        c->txtEsito->setEditText(QString());
        type(c->txtEsito, u"valore dubbio"_s);
        QCOMPARE(c->cardRecord().get(AnalysisRecord::Esito), u"valore dubbio"_s);
    }

    void dateFieldKeys()
    {
        TestApp app;
        TfrmAnalisiCliniche *c = openCard(app);
        c->txtDataRef->setText(u"01/02/2024"_s);
        c->txtData->setText(u"03/04/2024"_s);
        pressKey(c->txtData, Qt::Key_Backspace);
        QVERIFY(c->txtData->text().isEmpty());
        pressKey(c->txtDataRef, Qt::Key_Delete);
        QVERIFY(c->txtDataRef->text().isEmpty());
        QVERIFY(app.dialogs->opened.isEmpty());

        c->txtData->setText(u"03/04/2024"_s);
        type(c->txtData, u"a"_s); // the picker, dismissed at once: the field is untouched
        pressKey(c->txtDataRef, Qt::Key_Space);
        pressKey(c->txtDataRef, Qt::Key_Shift); // a modifier alone is not a key press to act on
        QCOMPARE(app.dialogs->opened, (QStringList{u"frmCalendario"_s, u"frmCalendario"_s}));
        QCOMPARE(c->txtData->text(), u"03/04/2024"_s);
    }

    // A date typed as gg/mm/aaaa into either date field: taken when it is a
    // real date in the program's format, refused with a warning otherwise.
    void typedDates_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("stored");
        QTest::newRow("a real date") << u"05/03/2024"_s << u"05/03/2024"_s;
        QTest::newRow("29 February of a leap year") << u"29/02/2024"_s << u"29/02/2024"_s;
        QTest::newRow("29 February of another year") << u"29/02/2023"_s << QString();
        QTest::newRow("31 April") << u"31/04/2024"_s << QString();
        QTest::newRow("without leading zeros") << u"5/3/2024"_s << QString();
        QTest::newRow("a two-digit year") << u"05/03/24"_s << QString();
        QTest::newRow("cut at ten characters") << u"05/03/20245"_s << u"05/03/2024"_s;
    }
    void typedDates()
    {
        QFETCH(QString, typed);
        QFETCH(QString, stored);
        TestApp app;
        TfrmAnalisiCliniche *c = openCard(app);
        activate(c);
        for (QLineEdit *field : {c->txtDataRef, c->txtData}) {
            field->setText(u"01/01/2020"_s);
            field->setFocus();
            type(field, typed); // letters would open the picker: these are digits and "/"
            pressEnter(field);
            QVERIFY(app.dialogs->opened.isEmpty());
            QCOMPARE(field->text(), stored);
            if (stored.isEmpty()) {
                const QStringList said = app.messages->take();
                QCOMPARE(said.size(), 1);
                QVERIFY2(said[0].startsWith(u"Attenzione: la data "_s + typed.left(10)), qPrintable(said[0]));
                QCOMPARE(focused(), field);
            } else {
                QVERIFY(app.messages->take().isEmpty());
                QVERIFY(focused() != field); // Enter takes it and moves on
            }
        }
        // Leaving the field checks it as Enter does.
        c->txtData->setFocus();
        type(c->txtData, u"32/01/2024"_s);
        c->txtEsame->setFocus();
        QCOMPARE(app.messages->take().size(), 1);
        QVERIFY(c->txtData->text().isEmpty());
    }

    void hints()
    {
        TestApp app;
        TfrmAnalisiCliniche *c = openCard(app);
        auto hover = [](QWidget *w) {
            QEvent enter(QEvent::Enter);
            QCoreApplication::sendEvent(w, &enter);
        };
        hover(c->chkAllarme);
        QCOMPARE(c->panInfo->text(), u"Spunta questa casella per indicare che  l'esame clinico ha restituito un "
                                     u"risultato allarmante."_s);
        hover(c->txtData);
        QCOMPARE(c->panInfo->text(), u"Fai clic su questo campo e premi un tasto qualsiasi per importare una data "
                                     u"dal calendario."_s);
        hover(c->cmdListino);
        QCOMPARE(c->panInfo->text(), u"Visualizza il riepilogo degli esami clinici che hanno restituito risultati "
                                     u"allarmanti."_s);
        QTest::mouseMove(c->txtEsame); // an edit without a hint leaves the line alone
        QCOMPARE(c->panInfo->text(), u"Visualizza il riepilogo degli esami clinici che hanno restituito risultati "
                                     u"allarmanti."_s);
        auto *captions = c->findChild<QWidget *>(u"imgDidascalie"_s);
        QVERIFY(captions);
        QMouseEvent move(QEvent::MouseMove, QPointF(5, 5), captions->mapToGlobal(QPointF(5, 5)), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(captions, &move);
        QVERIFY(c->panInfo->text().isEmpty());
    }

    void commandsOpenTheirDialogs()
    {
        TestApp app;
        TfrmAnalisiCliniche *c = openCard(app);
        app.dialogs->next<TfrmAllegaCartella>(
            [](TfrmAllegaCartella &d) { QCOMPARE(d.lblMemory->text(), u"analisicliniche"_s); });
        click(c->cmdFile);
        app.dialogs->next<TfrmTrovaAnalisi>(
            [](TfrmTrovaAnalisi &d) { QCOMPARE(d.lblMemory->text(), u"analisicliniche"_s); });
        click(c->cmdTrova);
        click(c->btnImpEsame);
        click(c->cmdStampa);
        click(c->cmdListino);
        click(c->cmdEsporta);
        app.dialogs->next<TfrmGuida>([](TfrmGuida &g) {
            QCOMPARE(g.lblTitolo->text(), u"Applicazione Analisi Cliniche."_s);
            QVERIFY(g.txtGuida->toPlainText().startsWith(u"L'applicazione Analisi Cliniche"_s));
        });
        click(c->cmdGuida);
        QCOMPARE(app.dialogs->opened,
                 (QStringList{u"frmAllegaCartella"_s, u"frmTrovaAnalisi"_s, u"frmImportaPresc"_s,
                              u"frmStampaAnalisi"_s, u"frmAllarmanti"_s, u"frmExpAnalisi"_s, u"frmGuida"_s}));
        QVERIFY(c->isVisible());
        click(c->cmdEsci);
        QVERIFY(app.ctx->screens.frmAvvio->isVisible());
        QVERIFY(!c->isVisible() && !menu(app)->isVisible());
    }

    // ---- Browsing --------------------------------------------------------------------------------------

    void browsingANewArchive()
    {
        TestApp app;
        TfrmAnalisiCliniche *c = openCard(app);
        c->txtNumRef->setText(u"R1"_s);
        c->lblPosizione->setText(u"4"_s); // as a card left by a search would be
        click(c->cmdPrimo);
        QCOMPARE(app.messages->take(), QStringList{kEmptyArchive});
        QCOMPARE(fileBytes(archive(app)).size(), 0);
        QVERIFY(QFileInfo::exists(archive(app)));
        for (PictureButton *cmd : {c->cmdUltimo, c->cmdIndietro}) {
            click(cmd);
            QCOMPARE(app.messages->take(), QStringList{kEmptyArchive});
            QCOMPARE(c->lblPosizione->text(), u"4"_s);
        }
        click(c->cmdAvanti); // next also says the card is a new one
        QCOMPARE(app.messages->take(), QStringList{kEmptyArchive});
        QVERIFY(c->lblPosizione->text().isEmpty());
        QCOMPARE(c->txtNumRef->text(), u"R1"_s);
    }

    void browsingToTheEnds()
    {
        TestApp app;
        writeArchive(archive(app), {sample(1, u"Sì"_s), sample(2, u"No"_s), sample(3, u"??"_s)});
        TfrmAnalisiCliniche *c = openCard(app);
        type(c->txtEsame, u"non salvato"_s);

        const QList<std::pair<PictureButton *, QString>> steps = {
            {c->cmdAvanti, u"1"_s},   // from a new card: the first
            {c->cmdIndietro, u"1"_s}, // nothing before the first
            {c->cmdAvanti, u"2"_s},   {c->cmdAvanti, u"3"_s},
            {c->cmdAvanti, u"3"_s},   // nothing after the last
            {c->cmdUltimo, u"3"_s},   {c->cmdIndietro, u"2"_s},
            {c->cmdPrimo, u"1"_s},    {c->cmdUltimo, u"3"_s},
        };
        for (const auto &[cmd, label] : steps) {
            click(cmd);
            QCOMPARE(c->lblPosizione->text(), label);
            QCOMPARE(c->txtEsame->text(), u"Esame "_s + label);
        }
        QVERIFY(app.messages->shown.isEmpty());

        click(c->cmdNuovo);
        click(c->cmdIndietro); // previous from a new card: the first
        QCOMPARE(c->lblPosizione->text(), u"1"_s);

        // On the first card previous does not even look at the archive.
        QFile::resize(archive(app), 0);
        click(c->cmdIndietro);
        QVERIFY(app.messages->shown.isEmpty());
        QCOMPARE(c->lblPosizione->text(), u"1"_s);
    }

    void showingARecord()
    {
        TestApp app;
        AnalysisRecord full = sample(1, u"Sì"_s);
        // Blanks another program may have stored around a text are not shown.
        full.bytes().replace(111, 13, QByteArray("\x0C  Emocromo  ", 13));
        full.set(AnalysisRecord::File01, u"a.pdf"_s);
        full.set(AnalysisRecord::File03, u"c.jpg"_s);
        full.set(AnalysisRecord::Desc02, u"seconda"_s);
        full.set(AnalysisRecord::Desc03, u"terza"_s);
        writeArchive(archive(app), {full, sample(2, u"No"_s), sample(3, u"si"_s), sample(4, QString())});
        TfrmAnalisiCliniche *c = openCard(app);

        click(c->cmdPrimo);
        QCOMPARE(c->txtEsame->text(), u"Emocromo"_s);
        QCOMPARE(c->txtNumRef->text(), u"R1"_s);
        QCOMPARE(c->txtEsito->currentText(), u"NELLA NORMA"_s);
        QVERIFY(c->chkAllarme->isChecked());
        const QString labels[] = {c->lblFile01->text(), c->lblFile02->text(), c->lblFile03->text(),
                                  c->lblDesc01->text(), c->lblDesc02->text(), c->lblDesc03->text()};
        QCOMPARE(QStringList(std::begin(labels), std::end(labels)),
                 (QStringList{u"a.pdf"_s, QString(), u"c.jpg"_s, QString(), u"seconda"_s, u"terza"_s}));
        // The card gives back what it shows.
        AnalysisRecord back = c->cardRecord();
        AnalysisRecord expected = sample(1, u"Sì"_s);
        expected.set(AnalysisRecord::Esame, u"Emocromo"_s);
        expected.set(AnalysisRecord::File01, u"a.pdf"_s);
        expected.set(AnalysisRecord::File03, u"c.jpg"_s);
        expected.set(AnalysisRecord::Desc02, u"seconda"_s);
        expected.set(AnalysisRecord::Desc03, u"terza"_s);
        QCOMPARE(back.bytes(), expected.bytes());

        // A mark other than "Sì" or "No" leaves the box as the card before had it.
        click(c->cmdUltimo);
        QVERIFY(c->chkAllarme->isChecked());
        click(c->cmdIndietro);
        QVERIFY(c->chkAllarme->isChecked());
        click(c->cmdIndietro);
        QVERIFY(!c->chkAllarme->isChecked());
        click(c->cmdAvanti);
        QVERIFY(!c->chkAllarme->isChecked());
    }

    void browsingFailureKeepsTheCard()
    {
        TestApp app;
        writeArchive(archive(app), {sample(1), sample(2)});
        TfrmAnalisiCliniche *c = openCard(app);
        click(c->cmdPrimo);
        for (io::Op op : {io::Op::Open, io::Op::Read}) {
            FailOp fail(op);
            click(c->cmdAvanti);
            QCOMPARE(app.messages->take(), QStringList{msg::kAccessError.toString()});
            QCOMPARE(c->lblPosizione->text(), u"1"_s);
            QCOMPARE(c->txtEsame->text(), u"Esame 1"_s);
        }
    }

    // ---- New, clear, duplicate and save ---------------------------------------------------------------

    void requiredFields_data()
    {
        QTest::addColumn<int>("blank"); // which field of the six is left blank; -1: all of them
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("focus");
        const char *names[] = {"txtNumRef", "txtDataRef", "txtData", "txtEsame", "txtRisultato", "txtEsito"};
        const char *what[] = {"il numero del referto", "la data del referto", "la data del prelievo",
                              "l'esame clinico effettuato", "il risultato dell'esame clinico",
                              "l'esito dell'esame clinico"};
        for (int i = 0; i < 6; ++i)
            QTest::newRow(names[i]) << i
                                    << u"Attenzione: per salvare la scheda è necessario indicare "_s
                                           + QString::fromUtf8(what[i]) + u"."_s
                                    << QString::fromLatin1(names[i]);
        QTest::newRow("all empty") << -1
                                   << u"Attenzione: per salvare la scheda è necessario indicare il numero del "
                                      u"referto."_s
                                   << u"txtNumRef"_s;
    }
    void requiredFields()
    {
        QFETCH(int, blank);
        QFETCH(QString, message);
        QFETCH(QString, focus);
        TestApp app;
        TfrmAnalisiCliniche *c = openCard(app);
        if (blank >= 0) {
            fillRequired(c);
            // Blanks alone count as empty.
            switch (blank) {
            case 0: c->txtNumRef->clear(); type(c->txtNumRef, u"   "_s); break;
            case 1: c->txtDataRef->clear(); break;
            case 2: c->txtData->clear(); break;
            case 3: c->txtEsame->setText(u" \t "_s); break;
            case 4: c->txtRisultato->clear(); break;
            case 5: c->txtEsito->setEditText(u"  "_s); break;
            }
        }
        c->txtNote->setFocus();
        click(c->cmdSalva);
        QCOMPARE(app.messages->shown.size(), 1);
        QCOMPARE(app.messages->shown[0].kind, MsgKind::Warning);
        QCOMPARE(app.messages->shown[0].text, message);
        QCOMPARE(focused()->objectName(), focus);
        QVERIFY(!QFileInfo::exists(archive(app))); // not even opened
        QVERIFY(c->lblPosizione->text().isEmpty());
    }

    void saveAppendsThenUpdates()
    {
        TestApp app;
        QList<AnalysisRecord> seven;
        for (int k = 1; k <= 7; ++k)
            seven << sample(k);
        writeArchive(archive(app), seven);
        const QByteArray before = fileBytes(archive(app));
        TfrmAnalisiCliniche *c = openCard(app);
        fillRequired(c);
        c->chkAllarme->setChecked(true);
        c->lblFile02->setText(u"  eco.pdf "_s);
        c->txtCommento->setFocus();
        click(c->cmdSalva);
        QCOMPARE(app.messages->take(), QStringList{kInserted});
        QCOMPARE(app.messages->shown.size(), 0);
        QCOMPARE(c->lblPosizione->text(), u"8"_s);
        QCOMPARE(focused(), c->txtCommento); // the focus stays
        QByteArray now = fileBytes(archive(app));
        QCOMPARE(now.size(), 8 * 2498);
        QCOMPARE(now.left(7 * 2498), before);
        QCOMPARE(now.mid(7 * 2498 + 989, 3), QByteArray("\x02\x53\xEC", 3));
        QCOMPARE(now.mid(7 * 2498 + 1243, 8), QByteArray("\x07" "eco.pdf"));

        click(c->cmdSalva); // unchanged: the same record again
        QCOMPARE(app.messages->take(), QStringList{kUpdated});
        QCOMPARE(fileBytes(archive(app)), now);

        c->chkAllarme->setChecked(false);
        click(c->cmdSalva);
        QCOMPARE(app.messages->take(), QStringList{kUpdated});
        now = fileBytes(archive(app));
        QCOMPARE(now.size(), 8 * 2498);
        QCOMPARE(now.mid(7 * 2498 + 989, 3), QByteArray("\x02\x4E\x6F", 3));
        QCOMPARE(now.left(7 * 2498), before);
        QCOMPARE(c->lblPosizione->text(), u"8"_s);
    }

    // A letter the code page lacks is stored as its closest one and shown
    // so at once; a record that went in before the close failed is the
    // card's, and saving again rewrites it.
    void savedAsStoredAndOnce()
    {
        TestApp app;
        writeArchive(archive(app), {sample(1)});
        TfrmAnalisiCliniche *c = openCard(app);
        fillRequired(c);
        c->txtEsame->setText(u"Vitamina B\u2081\u2082"_s);
        c->txtFirmatario->setText(u"Dr. Đorđević "_s);
        {
            FailOp fail(io::Op::Close);
            click(c->cmdSalva);
        }
        QCOMPARE(app.messages->take(), QStringList{msg::kAccessError.toString()});
        QCOMPARE(c->lblPosizione->text(), u"2"_s);
        QCOMPARE(c->txtEsame->text(), u"Vitamina B12"_s);
        QCOMPARE(c->txtFirmatario->text(), u"Dr. Dordevic"_s);
        QCOMPARE(c->txtRisultato->text(), u"4,8"_s);
        const QByteArray once = fileBytes(archive(app));
        QCOMPARE(once.size(), 2 * 2498);
        click(c->cmdSalva);
        QCOMPARE(app.messages->take(), QStringList{kUpdated});
        QCOMPARE(fileBytes(archive(app)), once);
        QCOMPARE(c->cardRecord().bytes(), once.mid(2498));
    }

    void saveFailures()
    {
        TestApp app;
        writeArchive(archive(app), {sample(1), sample(2)});
        const QByteArray before = fileBytes(archive(app));
        TfrmAnalisiCliniche *c = openCard(app);
        fillRequired(c);
        {
            FailOp fail(io::Op::Write);
            click(c->cmdSalva);
        }
        QCOMPARE(app.messages->shown.size(), 1);
        QCOMPARE(app.messages->shown[0].kind, MsgKind::Error);
        QCOMPARE(app.messages->take(), QStringList{msg::kAccessError.toString()});
        QVERIFY(c->lblPosizione->text().isEmpty());
        QCOMPARE(fileBytes(archive(app)).left(2 * 2498), before);

        click(c->cmdPrimo);
        c->txtRisultato->setText(u"9,9"_s);
        {
            FailOp fail(io::Op::Open);
            click(c->cmdSalva);
        }
        QCOMPARE(app.messages->take(), QStringList{msg::kAccessError.toString()});
        QCOMPARE(c->lblPosizione->text(), u"1"_s);
        QCOMPARE(fileBytes(archive(app)).left(2 * 2498), before);
    }

    void newAndClear()
    {
        TestApp app;
        AnalysisRecord r = sample(1, u"Sì"_s);
        r.set(AnalysisRecord::File01, u"a.pdf"_s);
        r.set(AnalysisRecord::Desc01, u"referto"_s);
        writeArchive(archive(app), {r});
        TfrmAnalisiCliniche *c = openCard(app);
        click(c->cmdPrimo);
        c->txtEsito->setCurrentIndex(0);

        click(c->cmdNuovo);
        QCOMPARE(focused(), c->txtEsame);
        for (QLineEdit *e : {c->txtEsame, c->txtRisultato, c->txtUM, c->txtRife, c->txtCommento, c->txtNote})
            QVERIFY2(e->text().isEmpty(), qPrintable(e->objectName()));
        QVERIFY(c->txtEsito->currentText().isEmpty());
        QCOMPARE(c->txtEsito->currentIndex(), -1);
        QVERIFY(!c->chkAllarme->isChecked());
        QVERIFY(c->lblFile01->text().isEmpty() && c->lblDesc01->text().isEmpty());
        QVERIFY(c->lblPosizione->text().isEmpty());
        const QStringList kept = {c->txtPaziente->text(), c->txtCodFisc->text(), c->txtNumRef->text(),
                                  c->txtDataRef->text(),  c->txtData->text(),    c->txtFirmatario->text()};
        QCOMPARE(kept, (QStringList{kName, kCode, u"R1"_s, u"01/02/2024"_s, u"01/01/2024"_s, u"Dott. Verdi"_s}));

        click(c->cmdUltimo);
        const QString path = c->lblFile->text();
        c->txtNote->setFocus();
        click(c->btnCancella);
        QCOMPARE(focused(), c->txtNumRef);
        for (QLineEdit *e : {c->txtNumRef, c->txtDataRef, c->txtData, c->txtEsame, c->txtRisultato, c->txtUM,
                             c->txtRife, c->txtCommento, c->txtFirmatario, c->txtNote})
            QVERIFY2(e->text().isEmpty(), qPrintable(e->objectName()));
        QVERIFY(c->txtEsito->currentText().isEmpty());
        QVERIFY(!c->chkAllarme->isChecked());
        QVERIFY(c->lblFile01->text().isEmpty() && c->lblPosizione->text().isEmpty());
        QCOMPARE(c->txtPaziente->text(), kName);
        QCOMPARE(c->txtCodFisc->text(), kCode);
        QCOMPARE(c->lblFile->text(), path);
        QVERIFY(app.messages->shown.isEmpty());
    }

    void duplicate()
    {
        TestApp app;
        AnalysisRecord third = sample(3, u"Sì"_s);
        third.set(AnalysisRecord::File01, u"a.pdf"_s);
        third.set(AnalysisRecord::File02, u"b.pdf"_s);
        third.set(AnalysisRecord::Desc01, u"prima"_s);
        third.set(AnalysisRecord::Desc02, u"seconda"_s);
        writeArchive(archive(app), {sample(1), sample(2), third});
        TfrmAnalisiCliniche *c = openCard(app);

        type(c->txtEsame, u"nuova"_s);
        click(c->cmdDuplica);
        QCOMPARE(app.messages->shown.size(), 1);
        QCOMPARE(app.messages->shown[0].kind, MsgKind::Warning);
        QCOMPARE(app.messages->take(), QStringList{u"Attenzione: la duplicazione di una scheda può avvenire "
                                                   u"soltanto dopo che questa è stata inserita in archivio."_s});
        QCOMPARE(c->txtEsame->text(), u"nuova"_s);

        click(c->cmdUltimo);
        click(c->cmdDuplica);
        QCOMPARE(app.messages->shown.size(), 1);
        QCOMPARE(app.messages->shown[0].kind, MsgKind::Information);
        QCOMPARE(app.messages->take(),
                 QStringList{u"E' ora possibile apportare le proprie modifiche alla scheda corrente.\n\r\n\rAl "
                             u"termine premere Salva per inserire la scheda in archivio."_s});
        QCOMPARE(focused(), c->txtData);
        QVERIFY(c->lblPosizione->text().isEmpty());
        QVERIFY(c->lblFile01->text().isEmpty() && c->lblDesc02->text().isEmpty());
        QCOMPARE(c->txtEsame->text(), u"Esame 3"_s);
        QVERIFY(c->chkAllarme->isChecked());

        click(c->cmdSalva);
        QCOMPARE(app.messages->take(), QStringList{kInserted});
        QCOMPARE(c->lblPosizione->text(), u"4"_s);
        // The copy is the third card but for its six attachment fields.
        QByteArray expected = third.bytes();
        expected.replace(992, 2498 - 992, QByteArray(2498 - 992, '\0'));
        const QByteArray all = fileBytes(archive(app));
        QCOMPARE(all.size(), 4 * 2498);
        QCOMPARE(all.mid(3 * 2498), expected);
        QCOMPARE(all.mid(2 * 2498, 2498), third.bytes());
    }

    // ---- The date picker ---------------------------------------------------------------------------------

    void datePicker_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("mode");
        QTest::newRow("report date") << u"txtDataRef"_s << u"analisi_dataref"_s;
        QTest::newRow("sample date") << u"txtData"_s << u"analisi_data"_s;
    }
    void datePicker()
    {
        QFETCH(QString, field);
        QFETCH(QString, mode);
        TestApp app;
        app.clock->at = QDateTime(QDate(2024, 3, 5), QTime(23, 59));
        TfrmAnalisiCliniche *c = openCard(app);
        c->txtDataRef->setText(u"01/01/2020"_s);
        c->txtData->setText(u"01/01/2020"_s);
        auto *target = c->findChild<QLineEdit *>(field);
        QLineEdit *other = target == c->txtData ? c->txtDataRef : c->txtData;

        // Opened on today, not on the date in the field, centred on the card; "Importa" writes today.
        app.dialogs->next<TfrmCalendario>([&](TfrmCalendario &d) {
            QCOMPARE(d.lblMemory->text(), mode);
            QCOMPARE(d.calAppuntamenti->selectedDate(), QDate(2024, 3, 5));
            // Within the width of a window frame.
            QVERIFY((d.frameGeometry().center() - c->frameGeometry().center()).manhattanLength() <= 8);
            click(d.btnImportaData);
            QVERIFY(!d.isVisible());
        });
        type(target, u"x"_s);
        QCOMPARE(target->text(), u"05/03/2024"_s);
        QCOMPARE(other->text(), u"01/01/2020"_s);

        // "Annulla" writes nothing.
        app.dialogs->next<TfrmCalendario>([&](TfrmCalendario &d) {
            QCOMPARE(d.calAppuntamenti->selectedDate(), QDate(2024, 3, 5));
            d.calAppuntamenti->setSelectedDate(QDate(2023, 12, 25));
            click(d.btnAnnulla);
            QVERIFY(!d.isVisible());
        });
        pressEnter(target);
        QCOMPARE(target->text(), u"05/03/2024"_s);

        // Another day, picked with a double-click or chosen and imported.
        app.dialogs->next<TfrmCalendario>([&](TfrmCalendario &d) {
            d.calAppuntamenti->setSelectedDate(QDate(2023, 12, 25));
            click(d.btnImportaData);
        });
        pressKey(target, Qt::Key_F2);
        QCOMPARE(target->text(), u"25/12/2023"_s);
        QCOMPARE(other->text(), u"01/01/2020"_s);
    }

    void datePickerWithAnotherMode()
    {
        TestApp app;
        TfrmAnalisiCliniche *c = openCard(app);
        for (const QString &mode : {u"analisi_data "_s, u"Analisi_Data"_s, QString()}) {
            TfrmCalendario d(*app.ctx, c);
            d.lblMemory->setText(mode);
            d.show();
            click(d.btnImportaData);
            QVERIFY(d.isVisible()); // compared exactly: nothing happens
            QVERIFY(c->txtData->text().isEmpty() && c->txtDataRef->text().isEmpty());
        }
    }
};

QTEST_MAIN(TestAnalyses)
#include "tst_analyses.moc"
