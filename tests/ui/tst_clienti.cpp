// The patient card, driven as the secretary uses it: typing, Enter, the
// commands and the arrows, checked through the boxes shown, the focus, the
// position label and the bytes of Pazienti.pro.
#include "app/ui/Avvio.h"
#include "app/ui/Guida.h"
#include "checks/ui/CalcolaCodFisc.h"
#include "checks/ui/CodFisc.h"
#include "checks/ui/PartitaIVA.h"
#include "common/FileIo.h"
#include "common/Messages.h"
#include "common/ui/Behaviours.h"
#include "common/ui/Widgets.h"
#include "patients/PatientRecord.h"
#include "patients/ui/AllegaCartella.h"
#include "patients/ui/Cartella.h"
#include "patients/ui/Clienti.h"
#include "patients/ui/TrovaClienti.h"
#include "support/TestApp.h"

#include <QAccessible>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>

#include <algorithm>
#include <optional>

using namespace Qt::StringLiterals;
using namespace clinora;
using namespace clinora::test;

namespace {

const QString kEmpty = u"L'archivio non contiene nessuna scheda."_s;
const QString kInserted = u"La scheda corrente è stata inserita in archivio."_s;
const QString kUpdated = u"Le modifiche apportate alla scheda corrente sono state salvate in archivio."_s;

// A patient whose every field says which record and field it is.
PatientRecord patient(int k)
{
    PatientRecord r;
    for (int f = 0; f < PatientRecord::FieldCount; ++f) {
        const auto field = PatientRecord::Field(f);
        const int capacity = PatientRecord::recordLayout().field(f).capacity;
        r.set(field, (u"%1-%2"_s.arg(k).arg(f)).left(capacity));
    }
    r.set(PatientRecord::Paziente, u"PAZIENTE %1"_s.arg(k));
    r.set(PatientRecord::CodFisc, u"CODICEFISCALE%1"_s.arg(k, 3, 10, QChar(u'0')));
    r.set(PatientRecord::Ricontatta, k % 2 ? kYes : kNo);
    return r;
}

// The widget Tab moves to from `w`.
QWidget *nextByTab(QWidget *w)
{
    QWidget *next = w->nextInFocusChain();
    while (next != w && !(next->focusPolicy() & Qt::TabFocus))
        next = next->nextInFocusChain();
    return next;
}

QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Fails every file operation of one kind while it lives, after letting the
// first `pass` of them through.
class FailOp : public io::FaultHook {
public:
    explicit FailOp(io::Op op, int pass = 0) : m_op(op), m_pass(pass) { io::setFaultHook(this); }
    ~FailOp() override { io::setFaultHook(nullptr); }
    bool shouldFail(io::Op op, const QString &) override { return op == m_op && m_pass-- <= 0; }

private:
    io::Op m_op;
    int m_pass = 0;
};

} // namespace

class TestClienti : public QObject {
    Q_OBJECT

    // The card, entered from the start menu as the user does.
    static TfrmClienti *open(TestApp &app)
    {
        TfrmClienti *c = app.ctx->screens.frmClienti;
        app.ctx->switchTo(app.ctx->screens.frmAvvio, c);
        activate(c);
        return c;
    }

    static QString archive(TestApp &app) { return app.path(u"Pazienti.pro"_s); }

    static void writeArchive(TestApp &app, int n)
    {
        PatientArchive a;
        QVERIFY(a.open(archive(app)));
        for (int k = 1; k <= n; ++k)
            QVERIFY(a.append(patient(k)));
        QVERIFY(a.close());
    }

    // What a new patient needs to be saved.
    static void fillRequired(TfrmClienti *c)
    {
        type(c->txtPaziente, u"ROSSI MARIO"_s);
        type(c->txtRecapito, u"333 1234567"_s);
        type(c->txtCodFisc, u"rssmra85t10a562x"_s);
    }

private slots:
    void layoutNamesLimitsAndHighlights()
    {
        TestApp app;
        TfrmClienti *c = open(app);
        const QList<QPair<QWidget *, int>> inputs = {
            {c->txtPaziente, 50},     {c->txtDataNasc, 30},     {c->txtComuneNasc, 50}, {c->txtProvNasc, 2},
            {c->txtSesso, 1},         {c->txtRecapito, 50},     {c->txtIndirizzoRes, 50}, {c->txtProvRes, 2},
            {c->txtComuneRes, 50},    {c->txtCapRes, 5},        {c->txtProfessione, 50}, {c->txtASL, 50},
            {c->txtTelCasa, 30},      {c->txtTelUff, 30},       {c->txtTelCel, 30},     {c->txtFax, 30},
            {c->txtEmail, 50},        {c->txtCodFisc, 16},      {c->txtTessera, 50},    {c->txtGruppo, 10},
            {c->txtPartitaIva, 11},   {c->txtVaccinazioni, 250}, {c->txtPatologie, 250}, {c->txtAllergie, 250},
            {c->txtFarmaci, 250},     {c->txtInterventi, 250},  {c->txtProtesi, 250},   {c->txtHandicap, 250},
            {c->txtQuestioni, 250},   {c->txtNote, 250},
        };
        for (const auto &[w, max] : inputs) {
            const QString name = w->objectName();
            QVERIFY2(name.startsWith(u"txt"_s), qPrintable(name));
            auto *combo = qobject_cast<QComboBox *>(w);
            auto *edit = combo ? combo->lineEdit() : qobject_cast<QLineEdit *>(w);
            QCOMPARE(edit->maxLength(), max);
            QVERIFY2(!w->accessibleName().isEmpty(), qPrintable(name));
            // Focus highlight: shown while the input has the focus, only then.
            const QString eff = w == c->txtInterventi ? u"effinterventi"_s : u"eff"_s + name.mid(3);
            auto *highlight = c->findChild<QWidget *>(eff);
            QVERIFY2(highlight, qPrintable(eff));
            w->setFocus();
            QVERIFY2(highlight->isVisible(), qPrintable(eff));
            const auto highlights = c->findChildren<FocusHighlight *>();
            QCOMPARE(std::count_if(highlights.cbegin(), highlights.cend(),
                                   [](const FocusHighlight *h) { return h->isVisible(); }),
                     1);
        }
        // Both province combos: the 112 codes in order, EE among them, no selection.
        for (QComboBox *p : {c->txtProvNasc, c->txtProvRes}) {
            QVERIFY(p->isEditable());
            QCOMPARE(p->count(), 112);
            QCOMPARE(p->itemText(0), u"AG"_s);
            QCOMPARE(p->itemText(31), u"EE"_s);
            QCOMPARE(p->itemText(111), u"VV"_s);
            QCOMPARE(p->currentIndex(), -1);
        }
        for (QLabel *l : {c->lblFile01, c->lblFile02, c->lblFile03, c->lblDesc01, c->lblDesc02, c->lblDesc03})
            QVERIFY(!l->isVisible());
        QCOMPARE(c->cmdSalva->accessibleName(), u"Salva"_s);
        QCOMPARE(c->cmdRicontatta->accessibleName(), u"Da ricontattare"_s);
        QVERIFY(!c->cmdPrimo->accessibleName().isEmpty());
        QVERIFY(c->panInfo->text() == u"Pronto per archiviare una nuova scheda..."_s);
    }

    void hints()
    {
        TestApp app;
        TfrmClienti *c = open(app);
        const QList<QPair<QWidget *, QString>> hints = {
            {c->cmdNuovo, u"Prepara la schermata per la registrazione di una nuova scheda."_s},
            {c->cmdDuplica,
             u"Prepara la schermata per la registrazione di una nuova scheda duplicando i dati correnti."_s},
            {c->cmdSalva, u"Salva la scheda corrente in archivio."_s},
            {c->cmdFile, u"Allega file alla scheda corrente."_s},
            {c->cmdCartella, u"Gestisci la cartella associata al paziente."_s},
            {c->cmdTrova, u"Trova una scheda in archivio."_s},
            {c->cmdStampa, u"Stampa la scheda corrente."_s},
            {c->cmdPDF, u"Esporta la scheda in formato PDF."_s},
            {c->cmdRicontatta, u"Visualizza il riepilogo dei pazienti da ricontattare."_s},
            {c->cmdEsporta, u"Esporta le schede in archivio in un file di Microsoft Excel."_s},
            {c->cmdGuida, u"Visualizza la guida in linea."_s},
            {c->cmdEsci, u"Esci dalla schermata di lavoro corrente."_s},
            {c->cmdPrimo, u"Visualizza la prima scheda in archivio."_s},
            {c->cmdIndietro, u"Visualizza la scheda precedente in archivio."_s},
            {c->cmdAvanti, u"Visualizza la scheda successiva in archivio."_s},
            {c->cmdUltimo, u"Visualizza l'ultima scheda in archivio."_s},
            {c->btnEmail, u"Invia una e-mail all'indirizzo indicato."_s},
            {c->btnCodFisc, u"Controlla il codice fiscale."_s},
            {c->btnPartitaIva, u"Controlla il numero di partita IVA."_s},
            {c->chkRicontatta, u"Annota che il paziente è da ricontattare per questioni in sospeso."_s},
        };
        const auto moveOver = [](QWidget *w) {
            QMouseEvent move(QEvent::MouseMove, QPointF(2, 2), w->mapToGlobal(QPointF(2, 2)), Qt::NoButton,
                             Qt::NoButton, Qt::NoModifier);
            QApplication::sendEvent(w, &move);
        };
        // Every background piece empties the line; an input leaves it alone.
        const QList<QWidget *> backgrounds = {
            c,
            c->board(),
            c->findChild<QWidget *>(u"panAnagrafica"_s),
            c->findChild<QWidget *>(u"imgVisita"_s),
            c->findChild<QWidget *>(u"panNote"_s),
            c->findChild<QWidget *>(u"panComandi"_s),
            c->findChild<QWidget *>(u"imgLogo"_s),
            c->findChild<QWidget *>(u"panBarra"_s),
            c->panInfo,
            c->findChild<QWidget *>(u"panFrecce"_s),
            c->lblPosizione,
        };
        for (const auto &[command, hint] : hints) {
            QEvent enter(QEvent::Enter);
            QApplication::sendEvent(command, &enter);
            QCOMPARE(c->panInfo->text(), hint);
            moveOver(c->txtNote);
            moveOver(c->txtProvRes->lineEdit());
            QCOMPARE(c->panInfo->text(), hint);
        }
        for (QWidget *background : backgrounds) {
            QVERIFY(background);
            c->panInfo->setText(u"x"_s);
            moveOver(background);
            QVERIFY2(c->panInfo->text().isEmpty(), qPrintable(background->objectName()));
        }
        // The mouse itself, from the board onto five spots of each command:
        // the hint stays while it is over the command. The window as large
        // as the board, so that the mouse reaches every command.
        c->showNormal();
        c->setGeometry(0, 0, c->board()->width() + 40, c->board()->height() + 40);
        QCoreApplication::processEvents();
        for (const auto &[command, hint] : hints) {
            const QRect r = command->rect();
            for (const QPoint spot : {r.center(), r.topLeft() + QPoint(2, 2), r.topRight() + QPoint(-2, 2),
                                      r.bottomLeft() + QPoint(2, -2), r.bottomRight() + QPoint(-2, -2)}) {
                QTest::mouseMove(c->board(), QPoint(1, 1));
                QTest::mouseMove(command, spot);
                QTest::mouseMove(command, spot + QPoint(spot.x() < r.center().x() ? 1 : -1, 0));
                QVERIFY2(c->panInfo->text() == hint,
                         qPrintable(command->objectName() + u" at "_s + QString::number(spot.x()) + u","_s
                                    + QString::number(spot.y()) + u": "_s + c->panInfo->text()));
            }
        }
    }

    void enterGoesRoundTheRing()
    {
        TestApp app;
        TfrmClienti *c = open(app);
        const QList<QWidget *> ring = {
            c->txtPaziente,  c->txtDataNasc,   c->txtComuneNasc,  c->txtProvNasc,    c->txtSesso,
            c->txtRecapito,  c->txtIndirizzoRes, c->txtProvRes,   c->txtComuneRes,   c->txtCapRes,
            c->txtProfessione, c->txtASL,      c->txtTelCasa,     c->txtTelUff,      c->txtTelCel,
            c->txtFax,       c->txtEmail,      c->txtCodFisc,     c->txtTessera,     c->txtGruppo,
            c->txtPartitaIva, c->txtVaccinazioni, c->txtPatologie, c->txtAllergie,   c->txtFarmaci,
            c->txtInterventi, c->txtProtesi,   c->txtHandicap,    c->txtQuestioni,   c->txtNote,
        };
        QCOMPARE(focused(), c->txtPaziente);
        for (int i = 0; i < ring.size(); ++i) {
            QCOMPARE(focused(), ring[i]);
            pressEnter(focused());
        }
        QCOMPARE(focused(), c->txtPaziente); // from "Note:" back to the top
        QVERIFY(app.messages->shown.isEmpty());
        // Tab passes the check box, between the pending matters and the notes.
        c->txtQuestioni->setFocus();
        pressKey(c->txtQuestioni, Qt::Key_Tab);
        QCOMPARE(focused(), c->chkRicontatta);
        pressKey(c->chkRicontatta, Qt::Key_Tab);
        QCOMPARE(focused(), c->txtNote);
    }

    void typingRules()
    {
        TestApp app;
        TfrmClienti *c = open(app);
        type(c->txtSesso, u"m"_s);
        QCOMPARE(c->txtSesso->text(), u"M"_s);
        type(c->txtCapRes, u"a1b"_s);
        QCOMPARE(c->txtCapRes->text(), u"A1B"_s);
        // Only a-z change: accented letters stay as typed.
        type(c->txtComuneNasc, u"forlì"_s);
        QCOMPARE(c->txtComuneNasc->text(), u"forlì"_s);
        c->txtCodFisc->setFocus();
        type(c->txtCodFisc, u"rss mra-85"_s);
        QCOMPARE(c->txtCodFisc->text(), u"RSSMRA85"_s);
        c->txtEmail->setFocus();
        type(c->txtEmail, u"  mario@esempio.it "_s);
        QCOMPARE(c->txtEmail->text(), u"mario@esempio.it"_s);
        // Text put there another way is trimmed when the field is left.
        c->txtEmail->setText(u" a@b.it "_s);
        c->txtNote->setFocus();
        QCOMPARE(c->txtEmail->text(), u"a@b.it"_s);

        // A province: typed, trimmed and upper-cased, not compared with the list.
        c->txtProvNasc->setFocus();
        type(c->txtProvNasc->lineEdit(), u" ab"_s);
        QCOMPARE(c->txtProvNasc->currentText(), u"AB"_s);
        pressEnter(c->txtProvNasc);
        QCOMPARE(focused(), c->txtSesso);
        QCOMPARE(c->txtProvNasc->currentText(), u"AB"_s);
        QCOMPARE(c->txtProvNasc->count(), 112); // Enter added nothing to the list
        // Picked from the list, the selection is reset on entering, the text stays.
        c->txtProvRes->setCurrentIndex(c->txtProvRes->findText(u"MI"_s));
        c->txtProvRes->setFocus();
        QCOMPARE(c->txtProvRes->currentIndex(), -1);
        QCOMPARE(c->txtProvRes->currentText(), u"MI"_s);
        c->txtProvRes->setEditText(u"rm "_s);
        c->txtNote->setFocus();
        QCOMPARE(c->txtProvRes->currentText(), u"RM"_s);
    }

    void keyFilters_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("after");
        QTest::addColumn<int>("cursor");
        QTest::addColumn<bool>("focusStays");
        // Every row starts from "AB12" ("1234" in the VAT fields) with the cursor after two characters.
        const QString cf = u"card CF"_s, vat = u"card VAT"_s, dlg = u"dialog VAT"_s;
        QTest::newRow("CF digit") << cf << int(Qt::Key_7) << u"7"_s << u"AB712"_s << 3 << true;
        QTest::newRow("CF lower letter") << cf << int(Qt::Key_C) << u"c"_s << u"ABC12"_s << 3 << true;
        QTest::newRow("CF capital") << cf << int(Qt::Key_Z) << u"Z"_s << u"ABZ12"_s << 3 << true;
        QTest::newRow("CF blank") << cf << int(Qt::Key_Space) << u" "_s << u"AB12"_s << 2 << true;
        QTest::newRow("CF hyphen") << cf << int(Qt::Key_Minus) << u"-"_s << u"AB12"_s << 2 << true;
        QTest::newRow("CF accented") << cf << int(Qt::Key_unknown) << u"è"_s << u"AB12"_s << 2 << true;
        // Tab always moves on, to the next input as Enter does.
        QTest::newRow("CF Tab") << cf << int(Qt::Key_Tab) << u"\t"_s << u"AB12"_s << 2 << false;
        QTest::newRow("CF Home") << cf << int(Qt::Key_Home) << QString() << u"AB12"_s << 2 << true;
        QTest::newRow("CF End") << cf << int(Qt::Key_End) << QString() << u"AB12"_s << 2 << true;
        QTest::newRow("CF Up") << cf << int(Qt::Key_Up) << QString() << u"AB12"_s << 2 << true;
        QTest::newRow("CF Backspace") << cf << int(Qt::Key_Backspace) << QString() << u"A12"_s << 1 << true;
        QTest::newRow("CF Delete") << cf << int(Qt::Key_Delete) << QString() << u"AB2"_s << 2 << true;
        QTest::newRow("CF Left") << cf << int(Qt::Key_Left) << QString() << u"AB12"_s << 1 << true;
        QTest::newRow("CF Right") << cf << int(Qt::Key_Right) << QString() << u"AB12"_s << 3 << true;
        QTest::newRow("CF Enter") << cf << int(Qt::Key_Return) << u"\r"_s << u"AB12"_s << 2 << false;
        QTest::newRow("VAT digit") << vat << int(Qt::Key_5) << u"5"_s << u"12534"_s << 3 << true;
        QTest::newRow("VAT letter") << vat << int(Qt::Key_A) << u"a"_s << u"1234"_s << 2 << true;
        QTest::newRow("VAT blank") << vat << int(Qt::Key_Space) << u" "_s << u"1234"_s << 2 << true;
        QTest::newRow("VAT Tab") << vat << int(Qt::Key_Tab) << u"\t"_s << u"1234"_s << 2 << false;
        QTest::newRow("VAT Backspace") << vat << int(Qt::Key_Backspace) << QString() << u"134"_s << 1 << true;
        QTest::newRow("VAT Enter") << vat << int(Qt::Key_Return) << u"\r"_s << u"1234"_s << 2 << false;
        QTest::newRow("dialog digit") << dlg << int(Qt::Key_0) << u"0"_s << u"12034"_s << 3 << true;
        QTest::newRow("dialog dot") << dlg << int(Qt::Key_Period) << u"."_s << u"1234"_s << 2 << true;
        QTest::newRow("dialog letter") << dlg << int(Qt::Key_X) << u"x"_s << u"1234"_s << 2 << true;
        QTest::newRow("dialog Home") << dlg << int(Qt::Key_Home) << QString() << u"1234"_s << 2 << true;
        QTest::newRow("dialog Delete") << dlg << int(Qt::Key_Delete) << QString() << u"124"_s << 2 << true;
        QTest::newRow("dialog Enter") << dlg << int(Qt::Key_Return) << u"\r"_s << u"1234"_s << 2 << false;
    }
    void keyFilters()
    {
        QFETCH(QString, target);
        QFETCH(int, key);
        QFETCH(QString, typed);
        QFETCH(QString, after);
        QFETCH(int, cursor);
        QFETCH(bool, focusStays);
        TestApp app;
        TfrmClienti *c = open(app);
        TfrmPartitaIva dialog(*app.ctx);
        QLineEdit *edit = c->txtCodFisc;
        QWidget *onEnter = c->txtTessera;
        if (target == u"card VAT"_s) {
            edit = c->txtPartitaIva;
            onEnter = c->txtVaccinazioni;
        } else if (target == u"dialog VAT"_s) {
            activate(&dialog);
            edit = dialog.txtPartitaIva;
            onEnter = dialog.btnControlla;
        }
        edit->setText(edit == c->txtCodFisc ? u"AB12"_s : u"1234"_s);
        edit->setFocus();
        edit->setCursorPosition(2);
        QTest::sendKeyEvent(QTest::Press, edit, Qt::Key(key), typed, Qt::NoModifier);
        QTest::sendKeyEvent(QTest::Release, edit, Qt::Key(key), typed, Qt::NoModifier);
        QCOMPARE(edit->text(), after);
        QCOMPARE(edit->cursorPosition(), cursor);
        // Tab goes along the tab order: from the fiscal code to the button
        // that computes it, elsewhere where Enter goes.
        QWidget *next = key == Qt::Key_Tab && edit == c->txtCodFisc ? c->btnCalcolaCodFisc : onEnter;
        QCOMPARE(focused(), focusStays ? static_cast<QWidget *>(edit) : next);
        QVERIFY(app.messages->shown.isEmpty());
    }

    // The clipboard shortcuts pass the key filters; what is pasted is tidied
    // like typing (the fiscal code) or taken as it is (the VAT number).
    void pasteIntoCodeFields()
    {
        TestApp app;
        TfrmClienti *c = open(app);
        QGuiApplication::clipboard()->setText(u" rss-mra "_s);
        c->txtCodFisc->setFocus();
        QTest::keyClick(c->txtCodFisc, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(c->txtCodFisc->text(), u"RSS-MRA"_s);
        QTest::keyClick(c->txtCodFisc, Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(c->txtCodFisc->selectedText(), u"RSS-MRA"_s);
        c->txtPartitaIva->setFocus();
        QGuiApplication::clipboard()->setText(u"12a"_s);
        QTest::keyClick(c->txtPartitaIva, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(c->txtPartitaIva->text(), u"12a"_s);
    }

    void showingStartsEmpty()
    {
        TestApp app;
        writeArchive(app, 2);
        TfrmClienti *c = open(app);
        click(c->cmdUltimo);
        c->lblFile01->setText(u"referto.pdf"_s);
        c->txtProvNasc->setCurrentIndex(3);
        QCOMPARE(c->lblPosizione->text(), u"2"_s);
        c->panInfo->setText(u"Salva la scheda corrente in archivio."_s);
        click(c->cmdEsci);
        QVERIFY(!c->isVisible());
        QVERIFY(app.ctx->screens.frmAvvio->isVisible());

        c = open(app);
        QCOMPARE(c->PatientFromCard().bytes(), [] {
            PatientRecord empty;
            empty.set(PatientRecord::Ricontatta, kNo);
            return empty.bytes();
        }());
        QVERIFY(c->txtPaziente->text().isEmpty());
        QVERIFY(c->lblPosizione->text().isEmpty());
        QCOMPARE(c->txtProvNasc->currentIndex(), -1);
        QCOMPARE(focused(), c->txtPaziente);
        QCOMPARE(c->panInfo->text(), u"Salva la scheda corrente in archivio."_s); // the hint line keeps its text
        // Closing the window is the same as "Esci".
        c->close();
        QVERIFY(app.ctx->screens.frmAvvio->isVisible());
        QCOMPARE(app.ends, 0);
    }

    void browsingAnEmptyArchive()
    {
        TestApp app;
        TfrmClienti *c = open(app);
        QVERIFY(!QFile::exists(archive(app)));
        click(c->cmdPrimo);
        QCOMPARE(app.messages->shown.size(), 1);
        QCOMPARE(app.messages->shown[0].kind, MsgKind::Information);
        QCOMPARE(app.messages->take(), QStringList{kEmpty});
        QVERIFY(QFile::exists(archive(app))); // created empty
        QCOMPARE(QFileInfo(archive(app)).size(), 0);
        click(c->cmdUltimo);
        QCOMPARE(app.messages->take(), QStringList{kEmpty});
        c->lblPosizione->setText(u"5"_s); // a card the archive no longer holds
        click(c->cmdAvanti);
        QCOMPARE(app.messages->take(), QStringList{kEmpty});
        QVERIFY(c->lblPosizione->text().isEmpty());
        click(c->cmdIndietro);
        QCOMPARE(app.messages->take(), QStringList{kEmpty});
        // On the first record, previous does nothing at all.
        c->lblPosizione->setText(u"1"_s);
        click(c->cmdIndietro);
        QVERIFY(app.messages->shown.isEmpty());
        QCOMPARE(c->lblPosizione->text(), u"1"_s);
    }

    void browsingThreeRecords()
    {
        TestApp app;
        writeArchive(app, 3);
        TfrmClienti *c = open(app);
        const auto shows = [&](int k) {
            return c->lblPosizione->text() == QString::number(k)
                   && c->txtPaziente->text() == u"PAZIENTE %1"_s.arg(k);
        };
        click(c->cmdAvanti); // from an empty card
        QVERIFY(shows(1));
        click(c->cmdNuovo);
        click(c->cmdIndietro);
        QVERIFY(shows(1));
        click(c->cmdAvanti);
        QVERIFY(shows(2));
        click(c->cmdUltimo);
        QVERIFY(shows(3));
        type(c->txtPaziente, u"X"_s); // unsaved: replaced without asking
        click(c->cmdAvanti);           // at the end: nothing
        QCOMPARE(c->txtPaziente->text(), u"XPAZIENTE 3"_s);
        click(c->cmdIndietro);
        QVERIFY(shows(2));
        click(c->cmdPrimo);
        QVERIFY(shows(1));
        click(c->cmdIndietro); // at the start: nothing
        QVERIFY(shows(1));
        QVERIFY(app.messages->shown.isEmpty());
    }

    void recordToCard()
    {
        TestApp app;
        PatientRecord r = patient(7); // "Sì"
        r.set(PatientRecord::ProvNasc, u"MI"_s);
        r.set(PatientRecord::ProvRes, u"zz"_s);
        r.set(PatientRecord::Desc03, u"Radiografia del torace"_s);
        PatientRecord odd = patient(8);
        // Outer blanks and control characters are dropped on the way in.
        odd.bytes()[0] = 13;
        odd.bytes().replace(1, 13, QByteArray("\t PAZIENTE 8 "));
        odd.bytes().replace(PatientRecord::recordLayout().field(PatientRecord::Ricontatta).offset, 3,
                            QByteArray("\x02Si", 3)); // neither "Sì" nor "No"
        {
            PatientArchive a;
            QVERIFY(a.open(archive(app)));
            QVERIFY(a.append(r));
            QVERIFY(a.append(odd));
            QVERIFY(a.append(patient(10))); // "No"
            QVERIFY(a.close());
        }
        TfrmClienti *c = open(app);
        click(c->cmdPrimo);
        QCOMPARE(c->PatientFromCard().bytes(), r.bytes());
        QCOMPARE(c->txtProvNasc->currentText(), u"MI"_s);
        QCOMPARE(c->txtProvNasc->currentIndex(), -1); // the text, not a list pick
        QCOMPARE(c->txtProvRes->currentText(), u"zz"_s);
        QCOMPARE(c->lblDesc03->text(), u"Radiografia del torace"_s);
        QVERIFY(c->chkRicontatta->isChecked());
        click(c->cmdAvanti);
        QCOMPARE(c->txtPaziente->text(), u"PAZIENTE 8"_s);
        QVERIFY(c->chkRicontatta->isChecked()); // left as it was
        click(c->cmdAvanti);
        QVERIFY(!c->chkRicontatta->isChecked());
        click(c->cmdIndietro);
        QVERIFY(!c->chkRicontatta->isChecked()); // left as it was
        QCOMPARE(c->lblPosizione->text(), u"2"_s);
    }

    void browsingFailureKeepsTheCard_data()
    {
        QTest::addColumn<int>("op");
        QTest::addColumn<int>("command");
        QTest::newRow("open, first") << int(io::Op::Open) << 0;
        QTest::newRow("read, next") << int(io::Op::Read) << 1;
        QTest::newRow("read, previous") << int(io::Op::Read) << 2;
        QTest::newRow("close, last") << int(io::Op::Close) << 3;
    }
    void browsingFailureKeepsTheCard()
    {
        QFETCH(int, op);
        QFETCH(int, command);
        TestApp app;
        writeArchive(app, 3);
        TfrmClienti *c = open(app);
        click(c->cmdAvanti);
        click(c->cmdAvanti);
        type(c->txtNote, u"scritto a mano"_s);
        const QByteArray before = c->PatientFromCard().bytes();
        {
            FailOp fail{io::Op(op)};
            click(QList<QWidget *>{c->cmdPrimo, c->cmdAvanti, c->cmdIndietro, c->cmdUltimo}[command]);
        }
        QCOMPARE(app.messages->shown.size(), 1);
        QCOMPARE(app.messages->shown[0].kind, MsgKind::Error);
        QCOMPARE(app.messages->take(), QStringList{msg::kAccessError.toString()});
        QCOMPARE(c->PatientFromCard().bytes(), before);
        QCOMPARE(c->lblPosizione->text(), u"2"_s);
    }

    void saveChecksInOrder_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("phone");
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("focus");
        const QString code = u"RSSMRA85T10A562S"_s;
        QTest::newRow("no name, nothing else") << QString() << QString() << QString()
                                               << u"Attenzione: per salvare la scheda è necessario indicare il "
                                                  u"nome del paziente."_s
                                               << u"txtPaziente"_s;
        QTest::newRow("name of blanks") << u"   "_s << u"1"_s << code
                                        << u"Attenzione: per salvare la scheda è necessario indicare il nome del "
                                           u"paziente."_s
                                        << u"txtPaziente"_s;
        QTest::newRow("no telephone") << u"ROSSI"_s << u"  "_s << QString()
                                      << u"Attenzione: per salvare la scheda è necessario indicare il recapito "
                                         u"telefonico preferenziale del paziente."_s
                                      << u"txtRecapito"_s;
        QTest::newRow("no fiscal code") << u"ROSSI"_s << u"1"_s << QString()
                                        << u"Attenzione: per salvare la scheda è necessario indicare il codice "
                                           u"fiscale del paziente."_s
                                        << u"txtCodFisc"_s;
        QTest::newRow("15 characters") << u"ROSSI"_s << u"1"_s << code.left(15)
                                       << u"Attenzione: il codice fiscale deve essere composto da 16 caratteri "
                                          u"alfanumerici."_s
                                       << u"txtCodFisc"_s;
    }
    void saveChecksInOrder()
    {
        QFETCH(QString, name);
        QFETCH(QString, phone);
        QFETCH(QString, code);
        QFETCH(QString, message);
        QFETCH(QString, focus);
        TestApp app;
        TfrmClienti *c = open(app);
        c->txtPaziente->setText(name);
        c->txtRecapito->setText(phone);
        c->txtCodFisc->setText(code);
        c->txtNote->setFocus();
        click(c->cmdSalva);
        QCOMPARE(app.messages->shown.size(), 1);
        QCOMPARE(app.messages->shown[0].kind, MsgKind::Warning);
        QCOMPARE(app.messages->take(), QStringList{message});
        QCOMPARE(focused()->objectName(), focus);
        QVERIFY(!QFile::exists(archive(app)));
        QVERIFY(c->lblPosizione->text().isEmpty());
    }

    void saveNewThenSaveAgain()
    {
        TestApp app;
        writeArchive(app, 2);
        TfrmClienti *c = open(app);
        const QString letters = u"ABCDEFGHIJKLMNOPQRSTUVWXABCDEFGHIJKLMNOPQRSTUVWX"_s; // 48
        type(c->txtPaziente, u"  "_s + letters);
        type(c->txtRecapito, u"333 1234567"_s);
        c->txtCodFisc->setFocus();
        type(c->txtCodFisc, u"rssmra85t10a562x"_s); // wrong check character: saved all the same
        c->chkRicontatta->setChecked(true);
        c->txtNote->setFocus();
        click(c->cmdSalva);
        QCOMPARE(app.messages->shown[0].kind, MsgKind::Information);
        QCOMPARE(app.messages->take(), QStringList{kInserted});
        QCOMPARE(c->lblPosizione->text(), u"3"_s);
        QCOMPARE(c->txtPaziente->text(), u"  "_s + letters); // kept as typed
        QCOMPARE(focused(), c->txtNote);

        QByteArray bytes = fileBytes(archive(app));
        QCOMPARE(bytes.size(), 3 * PatientRecord::kSize);
        const QByteArray third = bytes.mid(2 * PatientRecord::kSize);
        QCOMPARE(int(quint8(third[0])), 48);
        QCOMPARE(third.mid(1, 48), letters.toLatin1());
        QCOMPARE(third.mid(577, 17), QByteArray("\x10RSSMRA85T10A562X"));
        QCOMPARE(third.mid(2927, 3), QByteArray("\x02\x53\xEC"));

        // The second save rewrites record 3 in place.
        c->chkRicontatta->setChecked(false);
        click(c->cmdSalva);
        QCOMPARE(app.messages->take(), QStringList{kUpdated});
        QCOMPARE(c->lblPosizione->text(), u"3"_s);
        bytes = fileBytes(archive(app));
        QCOMPARE(bytes.size(), 3 * PatientRecord::kSize);
        QCOMPARE(bytes.mid(2 * PatientRecord::kSize + 2927, 3), QByteArray("\x02No"));
    }

    // A letter the code page lacks is stored as its closest one, and the
    // card shows at once what was stored; the patient is then found by
    // either spelling.
    void lettersOutsideTheCodePageShowAsStored()
    {
        TestApp app;
        TfrmClienti *c = open(app);
        fillRequired(c);
        c->txtPaziente->setText(u" Kovačić Łucja"_s);
        c->txtComuneNasc->setFocus();
        type(c->txtComuneNasc, u"Zürich \u03A9"_s);
        c->txtNote->setFocus();
        click(c->cmdSalva);
        QCOMPARE(app.messages->take(), QStringList{kInserted});
        QCOMPARE(c->txtPaziente->text(), u"Kovacic Lucja"_s);
        QCOMPARE(c->txtComuneNasc->text(), u"Zürich ?"_s);
        QCOMPARE(c->txtRecapito->text(), u"333 1234567"_s);
        QCOMPARE(focused(), c->txtNote);
        PatientRecord stored;
        QVERIFY(stored.assign(fileBytes(archive(app))));
        QCOMPARE(stored.get(PatientRecord::Paziente), u"Kovacic Lucja"_s);
        QCOMPARE(c->PatientFromCard().bytes(), stored.bytes());
    }

    void saveRewritesOnlyItsRecord()
    {
        TestApp app;
        writeArchive(app, 3);
        const QByteArray before = fileBytes(archive(app));
        TfrmClienti *c = open(app);
        click(c->cmdPrimo);
        click(c->cmdAvanti);
        c->txtNote->setText(u"Nuova nota"_s);
        click(c->cmdSalva);
        QCOMPARE(app.messages->take(), QStringList{kUpdated});
        const QByteArray after = fileBytes(archive(app));
        QCOMPARE(after.size(), before.size());
        const int k = PatientRecord::kSize;
        QCOMPARE(after.left(k), before.left(k));
        QCOMPARE(after.mid(2 * k), before.mid(2 * k));
        PatientRecord second;
        QVERIFY(second.assign(after.mid(k, k)));
        QCOMPARE(second.get(PatientRecord::Note), u"Nuova nota"_s);
        QCOMPARE(second.get(PatientRecord::Paziente), u"PAZIENTE 2"_s);
        QCOMPARE(second.get(PatientRecord::File01), patient(2).get(PatientRecord::File01));
    }

    void saveFailureKeepsTheCard_data()
    {
        QTest::addColumn<int>("op");
        QTest::addColumn<QString>("position");
        QTest::addColumn<QString>("after");
        QTest::newRow("open, new card") << int(io::Op::Open) << QString() << QString();
        QTest::newRow("write, new card") << int(io::Op::Write) << QString() << QString();
        QTest::newRow("write, stored card") << int(io::Op::Write) << u"1"_s << u"1"_s;
        // The record went in before the close failed: the card names it, so
        // that saving again rewrites it rather than adding it twice.
        QTest::newRow("close, new card") << int(io::Op::Close) << QString() << u"2"_s;
        // (the archive's first close ends the look for a duplicate card; the
        // second is the save's own)
        QTest::newRow("not a number") << -1 << u"abc"_s << u"abc"_s;
        QTest::newRow("beyond the archive") << -1 << u"9"_s << u"9"_s;
    }
    void saveFailureKeepsTheCard()
    {
        QFETCH(int, op);
        QFETCH(QString, position);
        QFETCH(QString, after);
        TestApp app;
        writeArchive(app, 1);
        TfrmClienti *c = open(app);
        fillRequired(c);
        c->lblPosizione->setText(position);
        const QByteArray card = c->PatientFromCard().bytes();
        {
            std::optional<FailOp> fail;
            if (op >= 0)
                fail.emplace(io::Op(op), io::Op(op) == io::Op::Close && position.isEmpty() ? 1 : 0);
            click(c->cmdSalva);
        }
        QCOMPARE(app.messages->shown.size(), 1);
        QCOMPARE(app.messages->shown[0].kind, MsgKind::Error);
        QCOMPARE(app.messages->take(), QStringList{msg::kAccessError.toString()});
        QCOMPARE(c->lblPosizione->text(), after);
        QCOMPARE(c->PatientFromCard().bytes(), card);
        if (op != int(io::Op::Close)) // a failed close comes after the record went in
            QCOMPARE(fileBytes(archive(app)), patient(1).bytes());
        if (!position.isEmpty())
            return;
        click(c->cmdSalva); // the disk well again: the new card is in the archive once
        QCOMPARE(app.messages->take(), QStringList{op == int(io::Op::Close) ? kUpdated : kInserted});
        QCOMPARE(fileBytes(archive(app)), patient(1).bytes() + card);
    }

    void duplicate()
    {
        TestApp app;
        writeArchive(app, 3);
        TfrmClienti *c = open(app);
        click(c->cmdDuplica); // never stored
        QCOMPARE(app.messages->shown[0].kind, MsgKind::Warning);
        QCOMPARE(app.messages->take(),
                 QStringList{u"Attenzione: la duplicazione di una scheda può avvenire soltanto dopo che questa è "
                             u"stata inserita in archivio."_s});

        click(c->cmdUltimo);
        click(c->cmdIndietro); // record 2, flag "No"
        c->chkRicontatta->setChecked(true);
        c->txtNote->setFocus();
        const QString name = c->txtPaziente->text();
        click(c->cmdDuplica);
        QCOMPARE(app.messages->shown[0].kind, MsgKind::Information);
        QCOMPARE(app.messages->take(),
                 QStringList{u"E' ora possibile apportare le proprie modifiche alla scheda corrente.\n\r\n\rAl "
                             u"termine premere Salva per inserire la scheda in archivio."_s});
        QVERIFY(c->lblPosizione->text().isEmpty());
        for (QLabel *l : {c->lblFile01, c->lblFile02, c->lblFile03, c->lblDesc01, c->lblDesc02, c->lblDesc03})
            QVERIFY(l->text().isEmpty());
        QCOMPARE(c->txtPaziente->text(), name);
        QVERIFY(c->chkRicontatta->isChecked());
        QCOMPARE(focused(), c->txtPaziente);

        const QByteArray before = fileBytes(archive(app));
        click(c->cmdSalva); // the copy has the same fiscal code: asked first, answered Yes
        QCOMPARE(app.messages->take(),
                 (QStringList{u"Attenzione: esiste già la scheda n. 2 con lo stesso codice fiscale. Salvare "
                              u"comunque una nuova scheda?"_s,
                              kInserted}));
        QCOMPARE(c->lblPosizione->text(), u"4"_s);
        const QByteArray after = fileBytes(archive(app));
        QCOMPARE(after.left(before.size()), before); // the original is untouched
        PatientRecord copy;
        QVERIFY(copy.assign(after.mid(3 * PatientRecord::kSize)));
        QCOMPARE(copy.get(PatientRecord::Paziente), name);
        QCOMPARE(copy.get(PatientRecord::Ricontatta), kYes.toString());
        QVERIFY(copy.get(PatientRecord::File01).isEmpty());

        // Unreachable archive: the card has already become a new copy.
        click(c->cmdPrimo);
        {
            FailOp fail{io::Op::Open};
            click(c->cmdDuplica);
        }
        QCOMPARE(app.messages->take(), QStringList{msg::kAccessError.toString()});
        QVERIFY(c->lblPosizione->text().isEmpty());
    }

    // A valid code with the birth data left empty: "Salva" offers once to
    // fill them from the code.
    void fillOffer_data()
    {
        QTest::addColumn<bool>("yes");
        QTest::newRow("Yes fills") << true;
        QTest::newRow("No leaves them") << false;
    }
    void fillOffer()
    {
        QFETCH(bool, yes);
        TestApp app;
        TfrmClienti *c = open(app);
        type(c->txtPaziente, u"ROSSI MARIO"_s);
        type(c->txtRecapito, u"333 1234567"_s);
        type(c->txtCodFisc, u"rssmra85t10a562s"_s);
        type(c->txtSesso, u"m"_s); // filled and agreeing: not offered
        app.messages->answers = {yes ? MsgAnswer::Yes : MsgAnswer::No};
        click(c->cmdSalva);
        QCOMPARE(app.messages->shown[0].kind, MsgKind::Confirmation);
        QCOMPARE(app.messages->take(),
                 (QStringList{u"Il codice fiscale indica: Nato/a il 10/12/1985 a San Giuliano Terme (PI), sesso M."
                              u"\n\r\n\rRiportare nella scheda i dati che mancano (la data di nascita, il comune "
                              u"di nascita, la provincia di nascita)?"_s,
                              kInserted}));
        PatientRecord stored;
        QVERIFY(stored.assign(fileBytes(archive(app))));
        const QStringList expected = yes ? QStringList{u"10/12/1985"_s, u"San Giuliano Terme"_s, u"PI"_s}
                                         : QStringList{QString(), QString(), QString()};
        QCOMPARE((QStringList{c->txtDataNasc->text(), c->txtComuneNasc->text(), c->txtProvNasc->currentText()}),
                 expected);
        QCOMPARE((QStringList{stored.get(PatientRecord::DataNasc), stored.get(PatientRecord::ComuneNasc),
                              stored.get(PatientRecord::ProvNasc)}),
                 expected);
        QCOMPARE(stored.get(PatientRecord::Sesso), u"M"_s);

        // Offered once: the next save asks nothing more.
        click(c->cmdSalva);
        QCOMPARE(app.messages->take(), QStringList{kUpdated});
        // A card shown afresh is offered again.
        click(c->cmdPrimo);
        c->txtProvNasc->setEditText(QString());
        app.messages->answers = {MsgAnswer::No};
        click(c->cmdSalva);
        QCOMPARE(app.messages->take().size(), 2);
    }

    // A filled datum that the code contradicts is named before saving.
    void disagreement_data()
    {
        QTest::addColumn<QString>("date");
        QTest::addColumn<QString>("sex");
        QTest::addColumn<QString>("place");
        QTest::addColumn<QString>("province");
        QTest::addColumn<QString>("lines");
        QTest::addColumn<QString>("focus"); // the first one named
        QTest::newRow("birth date") << u"01/01/1980"_s << u"F"_s << u"san giuliano terme"_s << u"PI"_s
                                    << u"- la data di nascita: nella scheda 01/01/1980, nel codice fiscale "
                                       u"10/12/1985\n\r- il sesso: nella scheda F, nel codice fiscale M"_s
                                    << u"txtDataNasc"_s;
        QTest::newRow("place and province") << u"10/12/1985"_s << u"M"_s << u"Pisa"_s << u"LU"_s
                                            << u"- il comune di nascita: nella scheda Pisa, nel codice fiscale "
                                               u"San Giuliano Terme\n\r- la provincia di nascita: nella scheda LU, "
                                               u"nel codice fiscale PI"_s
                                            << u"txtComuneNasc"_s;
    }
    void disagreement()
    {
        QFETCH(QString, date);
        QFETCH(QString, sex);
        QFETCH(QString, place);
        QFETCH(QString, province);
        QFETCH(QString, lines);
        QFETCH(QString, focus);
        const QString question = u"Attenzione: alcuni dati della scheda non corrispondono al codice fiscale:"
                                 u"\n\r\n\r"_s + lines +
                                 u"\n\r\n\rSalvare comunque la scheda con i dati così come sono scritti?"_s;
        TestApp app;
        writeArchive(app, 1);
        TfrmClienti *c = open(app);
        fillRequired(c);
        c->txtCodFisc->setText(u"RSSMRA85T10A562S"_s);
        c->txtDataNasc->setText(date);
        c->txtSesso->setText(sex);
        c->txtComuneNasc->setText(place);
        c->txtProvNasc->setEditText(province);
        c->txtNote->setFocus();

        // No: nothing written, back to the first datum named.
        app.messages->answers = {MsgAnswer::No};
        click(c->cmdSalva);
        QCOMPARE(app.messages->shown[0].kind, MsgKind::Confirmation);
        QCOMPARE(app.messages->take(), QStringList{question});
        QCOMPARE(focused()->objectName(), focus);
        QCOMPARE(fileBytes(archive(app)), patient(1).bytes());
        QVERIFY(c->lblPosizione->text().isEmpty());

        // Yes: saved as typed.
        app.messages->answers = {MsgAnswer::Yes};
        click(c->cmdSalva);
        QCOMPARE(app.messages->take(), (QStringList{question, kInserted}));
        PatientRecord stored;
        QVERIFY(stored.assign(fileBytes(archive(app)).mid(PatientRecord::kSize)));
        QCOMPARE(stored.get(PatientRecord::DataNasc), date);
        QCOMPARE(stored.get(PatientRecord::ComuneNasc), place);
        QCOMPARE(stored.get(PatientRecord::ProvNasc), province);
    }

    // The place the code names on the card: today's name and province for a
    // place in use, whatever its province on the birth date; the name and
    // province then for a municipality abolished since, marked so.
    void fillOfferPlaces_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("says");
        QTest::addColumn<QString>("place");
        QTest::addColumn<QString>("province");
        QTest::newRow("Aversa, Naples's in 1930") << u"RSSMRA30A01A512H"_s
                                                  << u"Nato/a il 01/01/1930 a Aversa (CE)"_s << u"Aversa"_s
                                                  << u"CE"_s;
        QTest::newRow("abolished since") << u"DNCLCU60A15D005E"_s
                                         << u"Nato/a il 15/01/1960 a Corigliano Calabro (CS), comune soppresso"_s
                                         << u"Corigliano Calabro"_s << u"CS"_s;
    }
    void fillOfferPlaces()
    {
        QFETCH(QString, code);
        QFETCH(QString, says);
        QFETCH(QString, place);
        QFETCH(QString, province);
        TestApp app;
        TfrmClienti *c = open(app);
        fillRequired(c);
        c->txtCodFisc->setText(code);
        c->txtSesso->setText(u"M"_s);
        app.messages->answers = {MsgAnswer::Yes};
        click(c->cmdSalva);
        QCOMPARE(app.messages->take(),
                 (QStringList{u"Il codice fiscale indica: "_s + says + u", sesso M.\n\r\n\rRiportare nella scheda i "
                              u"dati che mancano (la data di nascita, il comune di nascita, la provincia di "
                              u"nascita)?"_s,
                              kInserted}));
        QCOMPARE(c->txtComuneNasc->text(), place);
        QCOMPARE(c->txtProvNasc->currentText(), province);

    }

    // Everything agrees (names compared without case or accents), or the
    // code is not valid: no question at all.
    void noQuestionWhenAllAgrees_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("date");
        QTest::addColumn<QString>("place");
        QTest::addColumn<QString>("province");
        QTest::newRow("all agree") << u"RSSMRA85T10A562S"_s << u"10/12/1985"_s << u"SAN GIULIANO TERME"_s
                                   << u"PI"_s;
        QTest::newRow("foreign-born") << u"DPNJNE90D03Z110H"_s << u"3/4/1990"_s << u"Francia"_s << u"EE"_s;
        QTest::newRow("wrong check character") << u"RSSMRA85T10A562X"_s << QString() << u"Roma"_s << QString();
        // Aversa was in Naples's province in 1930: that province, or today's.
        QTest::newRow("province then") << u"RSSMRA30A01A512H"_s << u"01/01/1930"_s << u"Aversa"_s << u"NA"_s;
        QTest::newRow("province today") << u"RSSMRA30A01A512H"_s << u"01/01/1930"_s << u"Aversa"_s << u"CE"_s;
    }
    void noQuestionWhenAllAgrees()
    {
        QFETCH(QString, code);
        QFETCH(QString, date);
        QFETCH(QString, place);
        QFETCH(QString, province);
        TestApp app;
        TfrmClienti *c = open(app);
        fillRequired(c);
        c->txtCodFisc->setText(code);
        c->txtDataNasc->setText(date);
        c->txtSesso->setText(u"M"_s);
        c->txtComuneNasc->setText(place);
        c->txtProvNasc->setEditText(province);
        click(c->cmdSalva);
        QCOMPARE(app.messages->take(), QStringList{kInserted});
    }

    // A new card that repeats a stored patient is saved only when the user
    // says so; the card found is named.
    void duplicateQuestion_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("date");
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("question");
        QTest::addColumn<bool>("yes");
        const QString sameCode = u"Attenzione: esiste già la scheda n. 2 con lo stesso codice fiscale. Salvare "
                                 u"comunque una nuova scheda?"_s;
        const QString sameName = u"Attenzione: esiste già la scheda n. 3 con lo stesso nome e la stessa data di "
                                 u"nascita. Salvare comunque una nuova scheda?"_s;
        QTest::newRow("same code, Yes") << u"ALTRO"_s << QString() << u"codicefiscale002"_s << sameCode << true;
        QTest::newRow("same code, No") << u"ALTRO"_s << QString() << u"CODICEFISCALE002"_s << sameCode << false;
        QTest::newRow("same name and date, Yes")
            << u"paziente   3"_s << u"3-1"_s << u"RSSMRA85T10A562X"_s << sameName << true;
        QTest::newRow("same name and date, No")
            << u"Paziente 3"_s << u"3-1"_s << u"RSSMRA85T10A562X"_s << sameName << false;
        QTest::newRow("same name, other date") << u"PAZIENTE 3"_s << u"3-2"_s << u"RSSMRA85T10A562X"_s
                                               << QString() << true;
        QTest::newRow("same name, no date") << u"PAZIENTE 3"_s << QString() << u"RSSMRA85T10A562X"_s
                                            << QString() << true;
    }
    void duplicateQuestion()
    {
        QFETCH(QString, name);
        QFETCH(QString, date);
        QFETCH(QString, code);
        QFETCH(QString, question);
        QFETCH(bool, yes);
        TestApp app;
        writeArchive(app, 3);
        const QByteArray before = fileBytes(archive(app));
        TfrmClienti *c = open(app);
        c->txtPaziente->setText(name);
        c->txtRecapito->setText(u"1"_s);
        c->txtDataNasc->setText(date);
        type(c->txtCodFisc, code);
        app.messages->answers = {yes ? MsgAnswer::Yes : MsgAnswer::No};
        click(c->cmdSalva);
        QStringList expected;
        if (!question.isEmpty())
            expected << question;
        if (yes)
            expected << kInserted;
        QCOMPARE(app.messages->take(), expected);
        QCOMPARE(c->lblPosizione->text(), yes ? u"4"_s : QString());
        const QByteArray after = fileBytes(archive(app));
        QCOMPARE(after.size(), before.size() + (yes ? PatientRecord::kSize : 0));
        QCOMPARE(after.left(before.size()), before);

        // A stored card is never asked about: it is the patient itself.
        if (yes) {
            click(c->cmdSalva);
            QCOMPARE(app.messages->take(), QStringList{kUpdated});
        }
    }

    // "Calcola" beside the fiscal code: the dialog takes the card's data,
    // shows the code as they change, and "OK" writes it into the card.
    void computeDialog()
    {
        TestApp app;
        TfrmClienti *c = open(app);
        QVERIFY(c->btnCalcolaCodFisc->focusPolicy() & Qt::TabFocus);
        QCOMPARE(QAccessible::queryAccessibleInterface(c->btnCalcolaCodFisc)->text(QAccessible::Name),
                 u"Calcola codice fiscale"_s);
        QCOMPARE(nextByTab(c->txtCodFisc), c->btnCalcolaCodFisc); // Tab from the code
        QCOMPARE(nextByTab(c->btnCalcolaCodFisc), c->txtTessera);
        c->txtPaziente->setText(u"DE ROSSI MARIA GRAZIA"_s);
        c->txtSesso->setText(u"f"_s);
        c->txtDataNasc->setText(u"05/03/1972"_s);
        c->txtComuneNasc->setText(u"Milano"_s);
        c->txtProvNasc->setEditText(u"MI"_s);
        bool ran = false;
        // DE ROSSI -> D R S; MARIA GRAZIA -> M R G R Z, 1st 3rd 4th = M G R;
        // 72, March C, 5 + 40, F205: check character O, worked by hand.
        app.dialogs->next<TfrmCalcolaCodFisc>([&](TfrmCalcolaCodFisc &d) {
            QCOMPARE(d.txtCognome->text(), u"DE ROSSI"_s);
            QCOMPARE(d.txtNome->text(), u"MARIA GRAZIA"_s);
            QCOMPARE(d.txtSesso->text(), u"F"_s);
            QCOMPARE(d.txtDataNasc->text(), u"05/03/1972"_s);
            QCOMPARE(d.txtLuogoNasc->text(), u"Milano (MI)"_s);
            QCOMPARE(d.txtCodice->text(), u"DRSMGR72C45F205O"_s);
            QVERIFY(d.lblEsito->text().isEmpty());
            QVERIFY(d.lblOmocodia->text().contains(u"omocodia"_s));
            QVERIFY(d.txtLuogoNasc->completer());
            // Every control reached by Tab, in order, and named for a screen reader.
            const QList<QWidget *> ring = {d.txtCognome, d.txtNome, d.txtSesso, d.txtDataNasc,
                                           d.txtLuogoNasc, d.txtCodice, d.btnOK, d.btnAnnulla};
            QCOMPARE(focused(), d.txtCognome);
            for (qsizetype i = 0; i < ring.size(); ++i) {
                QAccessibleInterface *a = QAccessible::queryAccessibleInterface(ring[i]);
                QVERIFY(a && !a->text(QAccessible::Name).isEmpty());
                QVERIFY(ring[i]->focusPolicy() & Qt::TabFocus);
                if (i + 1 < ring.size())
                    QCOMPARE(nextByTab(ring[i]), ring[i + 1]);
            }
            QCOMPARE(QAccessible::queryAccessibleInterface(d.txtCodice)->text(QAccessible::Name),
                     u"Codice fiscale calcolato:"_s);

            // Live: another place, then one the table does not know.
            type(d.txtLuogoNasc, u"x"_s);
            QVERIFY(d.txtCodice->text().isEmpty());
            QVERIFY(d.lblEsito->text().startsWith(u"Luogo di nascita non trovato"_s));
            click(d.btnOK);
            QCOMPARE(app.messages->shown.size(), 1);
            QCOMPARE(app.messages->take().first(),
                     u"Attenzione: il codice fiscale non può essere calcolato. "_s + d.lblEsito->text());
            QVERIFY(d.isVisible()); // still open
            d.txtLuogoNasc->setText(u"francia"_s);
            d.txtNome->clear();
            QCOMPARE(d.lblEsito->text(), u"Per il calcolo manca il nome."_s);
            d.txtNome->setText(u"Maria Grazia"_s);
            QCOMPARE(d.txtCodice->text(), u"DRSMGR72C45Z110S"_s);
            click(d.btnOK);
            ran = true;
        });
        click(c->btnCalcolaCodFisc);
        QVERIFY(ran);
        QCOMPARE(app.dialogs->opened, QStringList{u"frmCalcolaCodFisc"_s});
        QCOMPARE(c->txtCodFisc->text(), u"DRSMGR72C45Z110S"_s);
        QVERIFY(app.messages->shown.isEmpty());

        // "Annulla" leaves the card's code alone.
        app.dialogs->next<TfrmCalcolaCodFisc>([](TfrmCalcolaCodFisc &d) {
            d.txtNome->setText(u"Anna"_s);
            click(d.btnAnnulla);
        });
        click(c->btnCalcolaCodFisc);
        QCOMPARE(c->txtCodFisc->text(), u"DRSMGR72C45Z110S"_s);
    }

    void otherCommandsOpenTheirDialogs()
    {
        TestApp app;
        writeArchive(app, 2);
        TfrmClienti *c = open(app);
        app.dialogs->next<TfrmTrovaClienti>([](TfrmTrovaClienti &d) { QCOMPARE(d.lblMemory->text(), u"clienti"_s); });
        click(c->cmdTrova);
        app.dialogs->next<TfrmAllegaCartella>(
            [](TfrmAllegaCartella &d) { QCOMPARE(d.lblMemory->text(), u"clienti"_s); });
        click(c->cmdFile);
        click(c->cmdRicontatta);
        click(c->cmdEsporta);
        app.dialogs->next<TfrmGuida>(
            [](TfrmGuida &d) { QCOMPARE(d.lblTitolo->text(), u"Applicazione Anagrafica Pazienti."_s); });
        click(c->cmdGuida);
        // The folder needs a stored card.
        click(c->cmdCartella);
        QCOMPARE(app.messages->shown[0].kind, MsgKind::Warning);
        QCOMPARE(app.messages->take(),
                 QStringList{u"Attenzione: l'associazione di una cartella ad un paziente può avvenire soltanto dopo "
                             u"che la scheda è stata inserita in archivio."_s});
        click(c->cmdUltimo);
        app.dialogs->next<TfrmCartella>([](TfrmCartella &d) { QCOMPARE(d.lblMemory->text(), u"2"_s); });
        click(c->cmdCartella);
        QCOMPARE(app.dialogs->opened,
                 (QStringList{u"frmTrovaClienti"_s, u"frmAllegaCartella"_s, u"frmRicontatta"_s, u"frmExpClienti"_s,
                              u"frmGuida"_s, u"frmCartella"_s}));
        QVERIFY(app.messages->shown.isEmpty());
        QVERIFY(c->isVisible());
    }

    void emailOpensTheMailProgram()
    {
        TestApp app;
        TfrmClienti *c = open(app);
        click(c->btnEmail); // empty: a message with no recipient
        c->txtEmail->setText(u" mario.rossi@esempio.it "_s);
        click(c->btnEmail);
        QCOMPARE(app.shell->opened, (QStringList{u"\"mailto:\""_s, u"\"mailto:mario.rossi@esempio.it\""_s}));
    }

    void checkButtonsRouteTheCode_data()
    {
        QTest::addColumn<QString>("codFisc");
        QTest::addColumn<QString>("dialog");
        QTest::addColumn<QString>("prefilled");
        QTest::newRow("letters") << u"RSSMRA85T10A562S"_s << u"frmCodFisc"_s << u"RSSMRA85T10A562S"_s;
        QTest::newRow("empty") << QString() << u"frmCodFisc"_s << QString();
        QTest::newRow("digits") << u"12345670017"_s << u"frmPartitaIva"_s << u"12345670017"_s;
        QTest::newRow("digits and a letter") << u"1234567001A"_s << u"frmCodFisc"_s << u"1234567001A"_s;
        // Whole, not cut to a VAT number's eleven digits.
        QTest::newRow("16 digits") << u"1234567001712345"_s << u"frmPartitaIva"_s << u"1234567001712345"_s;
    }
    void checkButtonsRouteTheCode()
    {
        QFETCH(QString, codFisc);
        QFETCH(QString, dialog);
        QFETCH(QString, prefilled);
        TestApp app;
        TfrmClienti *c = open(app);
        c->txtCodFisc->setText(codFisc);
        QString seen;
        if (dialog == u"frmCodFisc"_s)
            app.dialogs->next<TfrmCodFisc>([&](TfrmCodFisc &d) { seen = d.txtCodFisc->text(); });
        else
            app.dialogs->next<TfrmPartitaIva>([&](TfrmPartitaIva &d) {
                seen = d.txtPartitaIva->text();
                click(d.btnControlla);
            });
        click(c->btnCodFisc);
        QCOMPARE(app.dialogs->opened, QStringList{dialog});
        QCOMPARE(seen, prefilled);
        QCOMPARE(c->txtCodFisc->text(), codFisc);
        if (prefilled.size() == 16 && dialog == u"frmPartitaIva"_s)
            QCOMPARE(app.messages->take(),
                     QStringList{u"Attenzione: la partita IVA deve essere composta da 11 caratteri numerici."_s});

        // The VAT button sends the VAT number, trimmed.
        c->txtPartitaIva->setText(u"00000001206"_s);
        app.dialogs->next<TfrmPartitaIva>(
            [&](TfrmPartitaIva &d) { QCOMPARE(d.txtPartitaIva->text(), u"00000001206"_s); });
        click(c->btnPartitaIva);
        QCOMPARE(app.dialogs->opened.last(), u"frmPartitaIva"_s);
    }

    void printAndPdfTakeWhatTheScreenShows()
    {
        TestApp app;
        TfrmClienti *c = open(app);
        type(c->txtPaziente, u"Bianchi Anna"_s); // never saved
        c->txtProvNasc->setEditText(u"FC"_s);
        c->txtComuneNasc->setText(u"Forlì"_s);
        click(c->cmdStampa);
        QCOMPARE(app.printing->printed.size(), 1);
        const PreparedReport &r = app.printing->printed[0];
        QCOMPARE(r.name, u"Scheda informativa"_s);
        QCOMPARE(r.pages[0].find(u"txtCampo01")->lines, QStringList{u"Bianchi Anna"_s});
        QCOMPARE(r.pages[0].find(u"txtCampo03")->lines, QStringList{u"Forlì FC"_s});

        click(c->cmdPDF);
        const QString pdf = app.path(u"Paziente.pdf"_s);
        QVERIFY(QFile::exists(pdf));
        QCOMPARE(app.messages->shown.size(), 1);
        QCOMPARE(app.messages->shown[0].kind, MsgKind::Confirmation);
        QCOMPARE(app.shell->opened, QStringList{u"\""_s + pdf + u"\""_s});
    }
};

QTEST_MAIN(TestClienti)
#include "tst_clienti.moc"
