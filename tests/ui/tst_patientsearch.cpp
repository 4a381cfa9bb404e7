// The patient search and the patients to recontact, driven as the secretary
// uses them: filters typed, "Cerca", the list found, "Trova", "Stampa", and
// a double-click that writes the patient into the screen that asked.
#include "analyses/ui/MenuAnalisi.h"
#include "app/ui/Avvio.h"
#include "common/FileIo.h"
#include "common/Messages.h"
#include "common/ui/Behaviours.h"
#include "common/ui/Widgets.h"
#include "patients/PatientList.h"
#include "patients/ui/Clienti.h"
#include "patients/ui/Ricontatta.h"
#include "patients/ui/TrovaClienti.h"
#include "summary/ui/MenuRiepLavoro.h"
#include "support/TestApp.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>

using namespace Qt::StringLiterals;
using namespace clinora;
using namespace clinora::test;

namespace {

using F = PatientRecord::Field;

const QString kNoItems = u"Ricerca non applicabile: la lista non contiene nessuna voce."_s;

PatientRecord patient(const QString &name, const QString &town = u"Roma"_s, bool recontact = false)
{
    PatientRecord r;
    r.set(F::Paziente, name);
    r.set(F::ComuneRes, town);
    r.set(F::Recapito, u"06 55501"_s);
    r.set(F::CodFisc, QString(u"CF"_s + text::upperAZ(name)).remove(u' ').left(16));
    r.set(F::Ricontatta, recontact ? kYes : kNo);
    return r;
}

void writeArchive(TestApp &app, const QList<PatientRecord> &records)
{
    QFile f(app.path(u"Pazienti.pro"_s));
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    for (const PatientRecord &r : records)
        f.write(r.bytes());
}

QStringList lines(const QListView *list)
{
    QStringList out;
    const QAbstractItemModel *model = list->model();
    for (int row = 0; row < model->rowCount(); ++row)
        out << model->index(row, 0).data().toString();
    return out;
}

// A double-click on a line of the list, as the mouse gives it: a click,
// then the double-click.
void doubleClickLine(QListView *list, int row)
{
    const QModelIndex index = list->model()->index(row, 0);
    list->scrollTo(index);
    const QPoint at = list->visualRect(index).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, at);
}

// Fails every operation of one kind while it lives, after the first `allowed`.
class FailOp : public io::FaultHook {
public:
    explicit FailOp(io::Op op, int allowed = 0) : m_op(op), m_left(allowed) { io::setFaultHook(this); }
    ~FailOp() override { io::setFaultHook(nullptr); }
    bool shouldFail(io::Op op, const QString &) override { return op == m_op && m_left-- <= 0; }

private:
    io::Op m_op;
    int m_left;
};

} // namespace

class TestPatientSearch : public QObject {
    Q_OBJECT

    static TfrmClienti *card(TestApp &app)
    {
        TfrmClienti *c = app.ctx->screens.frmClienti;
        app.ctx->switchTo(app.ctx->screens.frmAvvio, c);
        activate(c);
        return c;
    }

    // Opens the search from the patient card and runs `drive` while it is up.
    static void searchFromCard(TestApp &app, std::function<void(TfrmTrovaClienti &)> drive)
    {
        TfrmClienti *c = card(app);
        app.dialogs->next<TfrmTrovaClienti>(std::move(drive));
        click(c->cmdTrova);
    }

private slots:
    // ---- The filter panel ----------------------------------------------------------------------

    void filterPanelLayoutAndKeys()
    {
        TestApp app;
        searchFromCard(app, [&](TfrmTrovaClienti &s) {
            QVERIFY(s.panAvvio->isVisible());
            QVERIFY(!s.panContainer->isVisible());
            QVERIFY(!s.lblMemory->isVisible());
            QVERIFY(!s.lblAttendere->isVisible());
            QCOMPARE(s.lblAttendere->text(), u"Ricerca schede in corso. Attendere..."_s);
            QCOMPARE(s.btnCerca->text(), u"Cerca"_s);
            QCOMPARE(s.btnAnnulla->text(), u"Chiudi"_s);
            QCOMPARE(s.windowTitle(), u" Trova pazienti in archivio"_s);
            QCOMPARE(s.size(), QSize(862, 560));
            QCOMPARE(focused(), s.txtPaziente);

            const QList<std::pair<QLineEdit *, QString>> ring = {
                {s.txtPaziente, u"Paziente:"_s},
                {s.txtComuneRes, u"Comune di residenza:"_s},
                {s.txtPartitaIva, u"Partita IVA:"_s},
                {s.txtCodFisc, u"Codice fiscale:"_s},
                {s.txtASL, u"ASL:"_s},
                {s.txtTessera, u"Tessera sanitaria n."_s},
                {s.txtPatologie, u"Patologie:"_s},
                {s.txtFarmaci, u"Farmaci assunti:"_s},
                {s.txtQuestioni, u"Questioni in sospeso:"_s},
                {s.txtNote, u"Note:"_s},
            };
            // Enter walks the ring and closes it; Tab follows the same order;
            // each filter shows its highlight while it has the focus.
            for (int i = 0; i < ring.size(); ++i) {
                QLineEdit *e = ring[i].first;
                QCOMPARE(focused(), e);
                QCOMPARE(e->accessibleName(), ring[i].second);
                QCOMPARE(e->maxLength(), 32767); // no limit of its own
                auto *eff = s.findChild<FocusHighlight *>(u"eff"_s + e->objectName().mid(3));
                QVERIFY(eff && eff->isVisible());
                const auto highlights = s.findChildren<FocusHighlight *>();
                QCOMPARE(std::count_if(highlights.cbegin(), highlights.cend(),
                                       [](const FocusHighlight *h) { return h->isVisible(); }),
                         1);
                pressEnter(e);
            }
            QCOMPARE(focused(), s.txtPaziente);
            for (int i = 1; i < ring.size(); ++i) {
                pressKey(focused(), Qt::Key_Tab);
                QCOMPARE(focused(), ring[i].first);
            }
            // Enter never searches.
            type(s.txtNote, u"x"_s);
            pressEnter(s.txtNote);
            QVERIFY(s.panAvvio->isVisible());
            s.close();
        });
        QVERIFY(app.messages->shown.isEmpty());
    }

    // Each filter looks in its own field.
    void eachFilterSearchesItsField_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<int>("field");
        QTest::newRow("txtPaziente") << u"txtPaziente"_s << int(F::Paziente);
        QTest::newRow("txtComuneRes") << u"txtComuneRes"_s << int(F::ComuneRes);
        QTest::newRow("txtPartitaIva") << u"txtPartitaIva"_s << int(F::PartitaIva);
        QTest::newRow("txtCodFisc") << u"txtCodFisc"_s << int(F::CodFisc);
        QTest::newRow("txtASL") << u"txtASL"_s << int(F::ASL);
        QTest::newRow("txtTessera") << u"txtTessera"_s << int(F::Tessera);
        QTest::newRow("txtPatologie") << u"txtPatologie"_s << int(F::Patologie);
        QTest::newRow("txtFarmaci") << u"txtFarmaci"_s << int(F::Farmaci);
        QTest::newRow("txtQuestioni") << u"txtQuestioni"_s << int(F::Questioni);
        QTest::newRow("txtNote") << u"txtNote"_s << int(F::Note);
    }

    void eachFilterSearchesItsField()
    {
        QFETCH(QString, filter);
        QFETCH(int, field);
        TestApp app;
        PatientRecord plain = patient(u"Bianchi Anna"_s);
        PatientRecord wanted = patient(u"Verdi Luca"_s);
        PatientRecord elsewhere = patient(u"Neri Ugo"_s);
        wanted.set(F(field), u"Qwx9"_s);
        // The same word in every other field of another patient.
        for (int f : {int(F::Paziente), int(F::ComuneRes), int(F::PartitaIva), int(F::CodFisc), int(F::ASL),
                      int(F::Tessera), int(F::Patologie), int(F::Farmaci), int(F::Questioni), int(F::Note),
                      int(F::Email), int(F::Vaccinazioni)})
            if (f != field)
                elsewhere.set(F(f), u"qwx9"_s);
        writeArchive(app, {plain, wanted, elsewhere});
        searchFromCard(app, [&](TfrmTrovaClienti &s) {
            type(s.findChild<QLineEdit *>(filter), u"QWX9"_s);
            click(s.btnCerca);
            QCOMPARE(lines(s.lstRecords), QStringList{PatientListLine(wanted)});
            s.close();
        });
    }

    // ---- Cerca --------------------------------------------------------------------------------------

    void searchListsTheMatchesSorted()
    {
        TestApp app;
        const PatientRecord mario = patient(u"Mario Rossi"_s, u"Roma"_s);
        const PatientRecord anna = patient(u"rossini anna"_s, u"Milano"_s);
        const PatientRecord carla = patient(u"Bianchi Carla"_s, u"Roma"_s);
        const PatientRecord ugo = patient(u"ROSSI UGO"_s, u"Roma"_s);
        writeArchive(app, {mario, anna, carla, ugo});
        searchFromCard(app, [&](TfrmTrovaClienti &s) {
            type(s.txtPaziente, u"ROSSI"_s);
            type(s.txtNote, u"   "_s); // blanks only: no part in the search
            // The waiting line shows as the button goes down.
            QTest::mousePress(s.btnCerca, Qt::LeftButton);
            QVERIFY(s.lblAttendere->isVisible());
            QTest::mouseRelease(s.btnCerca, Qt::LeftButton);
            QVERIFY(!s.panAvvio->isVisible());
            QVERIFY(s.panContainer->isVisible());
            QCOMPARE(lines(s.lstRecords),
                     (QStringList{PatientListLine(mario), PatientListLine(ugo), PatientListLine(anna)}));
            QCOMPARE(s.lblTrovate->text(), u"Il presente riepilogo contiene 3 schede."_s);
            QCOMPARE(focused(), s.txtTrova);
            QVERIFY(s.txtTrova->text().isEmpty());
            // The lines' own font: fixed width, so the columns line up.
            QVERIFY(QFontInfo(s.lstRecords->font()).fixedPitch());
            s.close();
        });
        // A new opening is a new search screen: a second filter narrows.
        searchFromCard(app, [&](TfrmTrovaClienti &s) {
            QVERIFY(s.panAvvio->isVisible());
            QVERIFY(s.txtPaziente->text().isEmpty());
            type(s.txtPaziente, u"rossi"_s);
            type(s.txtComuneRes, u"ROMA"_s);
            click(s.btnCerca);
            QCOMPARE(lines(s.lstRecords), (QStringList{PatientListLine(mario), PatientListLine(ugo)}));
            QCOMPARE(s.lblTrovate->text(), u"Il presente riepilogo contiene 2 schede."_s);
            s.close();
        });
        QCOMPARE(app.dialogs->opened, (QStringList{u"frmTrovaClienti"_s, u"frmTrovaClienti"_s}));
    }

    void searchOnAMissingArchiveCreatesIt()
    {
        TestApp app;
        searchFromCard(app, [&](TfrmTrovaClienti &s) {
            click(s.btnCerca);
            QVERIFY(lines(s.lstRecords).isEmpty());
            QCOMPARE(s.lblTrovate->text(), u"Il presente riepilogo contiene 0 schede."_s);
            s.close();
        });
        QVERIFY(QFileInfo::exists(app.path(u"Pazienti.pro"_s)));
        QCOMPARE(QFileInfo(app.path(u"Pazienti.pro"_s)).size(), 0);
    }

    void searchThatCannotReadTheArchive_data()
    {
        QTest::addColumn<int>("op");
        QTest::newRow("open") << int(io::Op::Open);
        QTest::newRow("read") << int(io::Op::Read);
    }

    void searchThatCannotReadTheArchive()
    {
        QFETCH(int, op);
        TestApp app;
        writeArchive(app, {patient(u"Mario Rossi"_s)});
        searchFromCard(app, [&](TfrmTrovaClienti &s) {
            type(s.txtPaziente, u"rossi"_s);
            {
                FailOp fail{io::Op(op)};
                click(s.btnCerca);
            }
            QCOMPARE(app.messages->shown.size(), 1);
            QCOMPARE(app.messages->shown[0].kind, MsgKind::Plain);
            QCOMPARE(app.messages->take(), QStringList{msg::kAccessError.toString()});
            QVERIFY(s.panAvvio->isVisible());
            QVERIFY(!s.panContainer->isVisible());
            QVERIFY(!s.lblAttendere->isVisible());
            QCOMPARE(s.txtPaziente->text(), u"rossi"_s);
            // The disk is back: the same filters find the patient.
            click(s.btnCerca);
            QCOMPARE(lines(s.lstRecords).size(), 1);
            s.close();
        });
    }

    // ---- Trova, Stampa --------------------------------------------------------------------------

    void findAndPrintTheList()
    {
        TestApp app;
        const PatientRecord a = patient(u"Alberti Rosa"_s);
        const PatientRecord b = patient(u"Bruni Rossella"_s);
        const PatientRecord c = patient(u"Conti Marco"_s);
        writeArchive(app, {c, b, a});
        searchFromCard(app, [&](TfrmTrovaClienti &s) {
            click(s.btnCerca);
            type(s.txtTrova, u"ROS"_s);
            pressEnter(s.txtTrova);
            QCOMPARE(focused(), s.btnTrova);
            click(s.btnTrova);
            QCOMPARE(s.lstRecords->currentIndex().row(), 0);
            click(s.btnTrova);
            QCOMPARE(s.lstRecords->currentIndex().row(), 1);
            click(s.btnTrova);
            QCOMPARE(s.lstRecords->currentIndex().row(), 0);

            click(s.btnStampa);
            QCOMPARE(app.printing->printed.size(), 1);
            const PreparedPage &page = app.printing->printed[0].pages[0];
            QCOMPARE(page.find(u"txtTitolo")->lines, QStringList{u"Riepilogo pazienti"_s});
            QCOMPARE(page.find(u"txtRiepilogo")->lines,
                     (QStringList{PatientListLine(a), PatientListLine(b), PatientListLine(c)}));
            s.close();
        });
        // The key was forgotten when the next search screen showed.
        searchFromCard(app, [&](TfrmTrovaClienti &s) {
            QVERIFY(app.ctx->findKeys[FindScreen::TrovaClienti].isEmpty());
            s.close();
        });
    }

    // ---- The pick -------------------------------------------------------------------------------

    void pickLoadsTheWholeCard()
    {
        TestApp app;
        PatientRecord full = patient(u"Rossi Mario"_s);
        for (int f = 0; f < PatientRecord::FieldCount; ++f)
            if (f != F::Paziente && f != F::Ricontatta && f != F::ProvNasc && f != F::ProvRes && f != F::Sesso)
                full.set(F(f), u"v%1"_s.arg(f));
        full.set(F::ProvNasc, u"RM"_s);
        full.set(F::Sesso, u"M"_s);
        full.set(F::Ricontatta, kYes);
        writeArchive(app, {patient(u"Bianchi Anna"_s), full});
        TfrmClienti *c = card(app);
        c->txtPaziente->setText(u"scritto a mano"_s);
        app.dialogs->next<TfrmTrovaClienti>([&](TfrmTrovaClienti &s) {
            QCOMPARE(s.lblMemory->text(), u"clienti"_s);
            type(s.txtPaziente, u"mario"_s);
            click(s.btnCerca);
            doubleClickLine(s.lstRecords, 0);
            QVERIFY(!s.isVisible());
        });
        click(c->cmdTrova);
        QCOMPARE(c->txtPaziente->text(), u"Rossi Mario"_s);
        QCOMPARE(c->txtEmail->text(), u"v16"_s);
        QCOMPARE(c->txtNote->text(), u"v29"_s);
        QCOMPARE(c->txtProvNasc->currentText(), u"RM"_s);
        QVERIFY(c->chkRicontatta->isChecked());
        QCOMPARE(c->lblFile03->text(), u"v33"_s);
        QCOMPARE(c->lblDesc01->text(), u"v34"_s);
        QCOMPARE(c->lblPosizione->text(), u"2"_s);
        QVERIFY(app.messages->shown.isEmpty());
    }

    void pickWithTwinLinesTakesTheLastRecord()
    {
        TestApp app;
        // The names differ only after the 26 characters the line keeps.
        PatientRecord first = patient(u"Abcdefghijklmnopqrstuvwxyz Primo"_s);
        PatientRecord second = patient(u"Abcdefghijklmnopqrstuvwxyz Secondo"_s);
        first.set(F::CodFisc, u"ABCDEF00A00A000A"_s);
        second.set(F::CodFisc, u"ABCDEF00A00A000A"_s);
        writeArchive(app, {first, patient(u"Bianchi Anna"_s), second, patient(u"Verdi Luca"_s)});
        searchFromCard(app, [&](TfrmTrovaClienti &s) {
            type(s.txtPaziente, u"abcdef"_s);
            click(s.btnCerca);
            QCOMPARE(lines(s.lstRecords).size(), 2);
            QCOMPARE(lines(s.lstRecords)[0], lines(s.lstRecords)[1]);
            doubleClickLine(s.lstRecords, 0);
        });
        TfrmClienti *c = app.ctx->screens.frmClienti;
        QCOMPARE(c->txtPaziente->text(), u"Abcdefghijklmnopqrstuvwxyz Secondo"_s);
        QCOMPARE(c->lblPosizione->text(), u"3"_s);
    }

    // What a pick writes, by the CallerTag.
    void pickByCallerTag_data()
    {
        QTest::addColumn<QString>("tag");
        QTest::newRow("clienti") << u"clienti"_s;
        QTest::newRow("menuanalisi") << u"menuanalisi"_s;
        QTest::newRow("riepilogo") << u"riepilogo"_s;
        QTest::newRow("blanks around") << u" riepilogo "_s;
        QTest::newRow("another word") << u"Riepilogo"_s;
        QTest::newRow("empty") << QString();
    }

    void pickByCallerTag()
    {
        QFETCH(QString, tag);
        TestApp app;
        PatientRecord p = patient(u"Rossi Niccolò"_s);
        p.set(F::CodFisc, u"RSSNCC80A01H501U"_s);
        writeArchive(app, {p});
        TfrmClienti *c = app.ctx->screens.frmClienti;
        TfrmMenuAnalisi *m = app.ctx->screens.frmMenuAnalisi;
        TfrmMenuRiepLavoro *r = app.ctx->screens.frmMenuRiepLavoro;
        for (QLineEdit *e : {c->txtPaziente, c->txtCodFisc, m->txtPaziente, m->txtCodFisc, r->txtCodFisc})
            e->setText(u"prima"_s);
        app.dialogs->next<TfrmTrovaClienti>([&](TfrmTrovaClienti &s) {
            click(s.btnCerca);
            doubleClickLine(s.lstRecords, 0);
            QVERIFY(!s.isVisible());
        });
        app.ctx->openDialog<TfrmTrovaClienti>(c, [&](TfrmTrovaClienti &s) { s.lblMemory->setText(tag); });

        const QString trimmedTag = tag.trimmed();
        const auto expect = [](QLineEdit *e, bool written, const QString &value) {
            QCOMPARE(e->text(), written ? value : u"prima"_s);
        };
        expect(c->txtPaziente, trimmedTag == u"clienti"_s, u"Rossi Niccolò"_s);
        expect(c->txtCodFisc, trimmedTag == u"clienti"_s, u"RSSNCC80A01H501U"_s);
        QCOMPARE(c->lblPosizione->text(), trimmedTag == u"clienti"_s ? u"1"_s : QString());
        expect(m->txtPaziente, trimmedTag == u"menuanalisi"_s, u"Rossi Niccolò"_s);
        expect(m->txtCodFisc, trimmedTag == u"menuanalisi"_s, u"RSSNCC80A01H501U"_s);
        expect(r->txtCodFisc, trimmedTag == u"riepilogo"_s, u"RSSNCC80A01H501U"_s);
    }

    void aPickThatFailsOnlyCloses()
    {
        TestApp app;
        writeArchive(app, {patient(u"Rossi Mario"_s), patient(u"Verdi Luca"_s)});
        TfrmClienti *c = card(app);
        // The archive cannot be read during the pick.
        app.dialogs->next<TfrmTrovaClienti>([&](TfrmTrovaClienti &s) {
            click(s.btnCerca);
            FailOp fail{io::Op::Read};
            doubleClickLine(s.lstRecords, 0);
            QVERIFY(!s.isVisible());
        });
        click(c->cmdTrova);
        // A double-click with no line selected.
        app.dialogs->next<TfrmTrovaClienti>([&](TfrmTrovaClienti &s) {
            click(s.btnCerca);
            s.lstRecords->clearSelection();
            QTest::mouseDClick(s.lstRecords->viewport(), Qt::LeftButton, Qt::NoModifier,
                               QPoint(10, s.lstRecords->viewport()->height() - 5));
            QVERIFY(!s.isVisible());
        });
        click(c->cmdTrova);
        QVERIFY(c->txtPaziente->text().isEmpty());
        QVERIFY(c->lblPosizione->text().isEmpty());
        QVERIFY(app.messages->shown.isEmpty());
    }

    void enterOnALinePicksIt()
    {
        TestApp app;
        writeArchive(app, {patient(u"Rossi Mario"_s), patient(u"Verdi Luca"_s)});
        searchFromCard(app, [&](TfrmTrovaClienti &s) {
            click(s.btnCerca);
            s.lstRecords->setFocus();
            pressKey(s.lstRecords, Qt::Key_Down);
            pressKey(s.lstRecords, Qt::Key_Down);
            pressEnter(s.lstRecords);
            QVERIFY(!s.isVisible());
        });
        QCOMPARE(app.ctx->screens.frmClienti->txtPaziente->text(), u"Verdi Luca"_s);
    }

    // ---- The patients to recontact -------------------------------------------------------------

    void recontactListsTheMarkedPatients()
    {
        TestApp app;
        PatientRecord odd = patient(u"Conti Sara"_s);
        odd.bytes().replace(PatientRecord::recordLayout().field(F::Ricontatta).offset, 3, QByteArray("\x02si", 3));
        const PatientRecord zeta = patient(u"Zeta Carlo"_s, u"Roma"_s, true);
        const PatientRecord alfa = patient(u"alfa Maria"_s, u"Roma"_s, true);
        writeArchive(app, {zeta, patient(u"Bianchi Anna"_s), odd, alfa});
        TfrmClienti *c = card(app);
        app.dialogs->next<TfrmRicontatta>([&](TfrmRicontatta &r) {
            QCOMPARE(r.windowTitle(), u" Riepilogo pazienti da ricontattare"_s);
            QVERIFY(!r.findChild<QLabel *>(u"lblTrovate"_s));
            QCOMPARE(lines(r.lstRecords), (QStringList{PatientListLine(alfa), PatientListLine(zeta)}));
            QCOMPARE(focused(), r.txtTrova);
            pressKey(r.txtTrova, Qt::Key_Tab);
            QCOMPARE(focused(), r.lstRecords);
            pressKey(r.lstRecords, Qt::Key_Tab);
            QCOMPARE(focused(), r.btnStampa);

            click(r.btnStampa);
            const PreparedPage &page = app.printing->printed[0].pages[0];
            QCOMPARE(page.find(u"txtTitolo")->lines, QStringList{u"Riepilogo pazienti da ricontattare"_s});
            QCOMPARE(page.find(u"txtRiepilogo")->lines, lines(r.lstRecords));

            type(r.txtTrova, u"zeta"_s);
            click(r.btnTrova);
            QCOMPARE(r.lstRecords->currentIndex().row(), 1);
            doubleClickLine(r.lstRecords, 1);
            QVERIFY(!r.isVisible());
        });
        QVERIFY(!c->chkRicontatta->isChecked());
        click(c->cmdRicontatta);
        QCOMPARE(c->txtPaziente->text(), u"Zeta Carlo"_s);
        QVERIFY(c->chkRicontatta->isChecked());
        QCOMPARE(c->lblPosizione->text(), u"1"_s);
        QVERIFY(app.messages->shown.isEmpty());
    }

    void recontactWithNobodyMarked()
    {
        TestApp app;
        writeArchive(app, {patient(u"Bianchi Anna"_s)});
        TfrmClienti *c = card(app);
        app.dialogs->next<TfrmRicontatta>([&](TfrmRicontatta &r) {
            QVERIFY(lines(r.lstRecords).isEmpty());
            type(r.txtTrova, u"x"_s);
            click(r.btnTrova);
            QCOMPARE(app.messages->take(), QStringList{kNoItems});
            click(r.btnStampa);
            QCOMPARE(app.printing->printed[0].pages[0].find(u"txtRiepilogo")->lines, QStringList());
            click(r.btnChiudi);
            QVERIFY(!r.isVisible());
        });
        click(c->cmdRicontatta);
    }

    void recontactKeepsTheLinesReadBeforeAFailure()
    {
        TestApp app;
        writeArchive(app, {patient(u"Bianchi Anna"_s, u"Roma"_s, true), patient(u"Alberti Ugo"_s, u"Roma"_s, true),
                           patient(u"Conti Sara"_s, u"Roma"_s, true)});
        TfrmClienti *c = card(app);
        app.dialogs->next<TfrmRicontatta>([&](TfrmRicontatta &r) {
            QCOMPARE(lines(r.lstRecords).size(), 2);
            QVERIFY(lines(r.lstRecords)[0].startsWith(u"Alberti Ugo"_s));
            r.close();
        });
        {
            FailOp fail{io::Op::Read, 2};
            click(c->cmdRicontatta);
        }
        QVERIFY(app.messages->shown.isEmpty());
    }
};

QTEST_MAIN(TestPatientSearch)
#include "tst_patientsearch.moc"
