// Results read against their reference values on the screens: the outcome
// offered on the analysis card when the user leaves the result or the range,
// the result field in the alarm colour, and the count of unmarked results
// outside their range under the alarming results.
#include "analyses/AnalysisRecord.h"
#include "analyses/ui/Allarmanti.h"
#include "analyses/ui/AnalisiCliniche.h"
#include "analyses/ui/FuoriIntervallo.h"
#include "analyses/ui/LineList.h"
#include "analyses/ui/MenuAnalisi.h"
#include "app/ui/Avvio.h"
#include "summary/ui/MenuRiepLavoro.h"
#include "summary/ui/RiepLavoro.h"
#include "common/ui/Widgets.h"
#include "support/FileTools.h"
#include "support/TestApp.h"

#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace Qt::StringLiterals;
using namespace clinora;
using namespace clinora::test;

namespace {

const QString kName = u"Rossi Niccolò"_s;
const QString kCode = u"RSSNCC80A01H501U"_s;
const QColor kAlarm(255, 190, 90);

struct Card {
    QString data, esame, risultato, um, rife, esito, alarm;
};

void writeArchive(const QString &path, const QList<Card> &cards)
{
    QByteArray bytes;
    for (const Card &c : cards) {
        AnalysisRecord r;
        r.set(AnalysisRecord::Paziente, kName);
        r.set(AnalysisRecord::CodFisc, kCode);
        r.set(AnalysisRecord::NumRef, u"R-"_s + c.data);
        r.set(AnalysisRecord::DataRef, c.data);
        r.set(AnalysisRecord::Data, c.data);
        r.set(AnalysisRecord::Esame, c.esame);
        r.set(AnalysisRecord::Risultato, c.risultato);
        r.set(AnalysisRecord::UM, c.um);
        r.set(AnalysisRecord::Rife, c.rife);
        r.set(AnalysisRecord::Esito, c.esito);
        r.set(AnalysisRecord::Allarme, c.alarm);
        bytes += r.bytes();
    }
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

// A picture of a screen as the user sees it, kept when CLINORA_REVIEW_DIR is set.
void keepPicture(QWidget *w, const QString &name)
{
    const QString dir = qEnvironmentVariable("CLINORA_REVIEW_DIR");
    if (dir.isEmpty())
        return;
    QDir().mkpath(dir);
    QCoreApplication::processEvents();
    w->grab().save(QDir(dir).filePath(name + u".png"_s));
}

void choose(QComboBox *list, const QString &entry)
{
    const int i = list->findText(entry);
    QVERIFY2(i >= 0, qPrintable(entry));
    list->setCurrentIndex(i);
}

// Types `text` into an input that has the focus, as the user would.
void type(QLineEdit *input, const QString &text)
{
    input->setFocus(Qt::TabFocusReason);
    input->selectAll();
    // Keys exist for ASCII only: anything else arrives as from an input method.
    const bool ascii = std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() < 128; });
    if (ascii)
        QTest::keyClicks(input, text);
    else
        input->insert(text);
}

} // namespace

class TestRangeCheck : public QObject {
    Q_OBJECT

    static TfrmAnalisiCliniche *card(TestApp &app) { return app.ctx->screens.frmAnalisiCliniche; }
    static QString archive(TestApp &app) { return app.path(u"Analisi_Cliniche/Paziente_CF_"_s + kCode + u".asl"_s); }

    static TfrmAnalisiCliniche *openCard(TestApp &app)
    {
        TfrmMenuAnalisi *m = app.ctx->screens.frmMenuAnalisi;
        app.ctx->switchTo(app.ctx->screens.frmAvvio, m);
        activate(m);
        m->txtPaziente->setText(kName);
        m->txtCodFisc->setText(kCode);
        click(m->btnApri);
        activate(card(app));
        return card(app);
    }

    // Result, unit and range typed in that order, leaving each with Enter.
    static void enterResult(TfrmAnalisiCliniche *c, const QString &result, const QString &um, const QString &rife)
    {
        type(c->txtRisultato, result);
        pressEnter(c->txtRisultato);
        type(c->txtUM, um);
        pressEnter(c->txtUM);
        type(c->txtRife, rife);
        pressEnter(c->txtRife);
    }

    static bool alarmColoured(TfrmAnalisiCliniche *c)
    {
        return c->txtRisultato->palette().color(QPalette::Base) == kAlarm;
    }

private slots:
    // ---- The analysis card ------------------------------------------------------------------------

    void outcomeOfferedOnLeaving_data()
    {
        QTest::addColumn<QString>("result");
        QTest::addColumn<QString>("um");
        QTest::addColumn<QString>("rife");
        QTest::addColumn<QString>("outcome");
        QTest::addColumn<QString>("hint");
        QTest::addColumn<bool>("coloured");
        QTest::newRow("above") << u"182"_s << u"mg/dl"_s << u"70-110"_s << u"FUORI NORMA"_s
                               << u"Valore 182 oltre il limite superiore 110"_s << true;
        QTest::newRow("below") << u"3,1"_s << u"mEq/l"_s << u"3,5 - 5,0 mEq/l"_s << u"FUORI NORMA"_s
                               << u"Valore 3,1 sotto il limite inferiore 3,5"_s << true;
        QTest::newRow("inside") << u"95"_s << u"mg/dl"_s << u"70-110"_s << u"NELLA NORMA"_s
                                << u"Valore 95 entro l'intervallo 70-110"_s << false;
        QTest::newRow("under a limit") << u"185"_s << u"mg/dl"_s << u"< 200"_s << u"NELLA NORMA"_s
                                       << u"Valore 185 entro il limite superiore 200"_s << false;
        QTest::newRow("result not a number") << u"negativo"_s << QString() << u"assenti"_s << QString()
                                             << u"Risultato non numerico: l'esito va indicato a mano."_s << false;
        QTest::newRow("range in another unit")
            << u"95"_s << u"mg/dl"_s << u"3,9-6,1 mmol/l"_s << QString()
            << u"Valori di riferimento in un'unità diversa da quella del risultato: l'esito va indicato a mano."_s
            << false;
        // Read as it will be stored, and as the alarming results and the
        // summary read it: the true minus sign is stored as a hyphen.
        QTest::newRow("minus sign") << u"19,2"_s << u"g/dl"_s << u"13,5\u221218"_s << u"FUORI NORMA"_s
                                    << u"Valore 19,2 oltre il limite superiore 18"_s << true;
        QTest::newRow("unit in the range, none on the card")
            << u"182"_s << QString() << u"70-110 mg/dl"_s << QString()
            << u"Unità di misura del risultato non indicata, i valori di riferimento sono in mg/dl: l'esito va "
               u"indicato a mano."_s
            << false;
        QTest::newRow("a band's name after the range") << u"22"_s << u"ng/ml"_s << u"10-30 insufficienza"_s
                                                       << QString()
                                                       << u"Valori di riferimento non interpretabili: l'esito va "
                                                          u"indicato a mano."_s
                                                       << false;
    }

    void outcomeOfferedOnLeaving()
    {
        QFETCH(QString, result);
        QFETCH(QString, um);
        QFETCH(QString, rife);
        QFETCH(QString, outcome);
        QFETCH(QString, hint);
        QFETCH(bool, coloured);
        TestApp app;
        TfrmAnalisiCliniche *c = openCard(app);
        type(c->txtRisultato, result);
        type(c->txtUM, um);
        type(c->txtRife, rife);
        QVERIFY(c->txtEsito->currentText().isEmpty()); // nothing until the field is left
        QCOMPARE(alarmColoured(c), coloured);          // the colour follows the typing
        pressEnter(c->txtRife);
        QCOMPARE(focused(), c->txtEsito);
        QCOMPARE(c->txtEsito->currentText(), outcome);
        QCOMPARE(c->panInfo->text(), hint);
        QVERIFY(!c->chkAllarme->isChecked()); // that stays the doctor's decision
        if (coloured)
            QCOMPARE(c->txtRisultato->accessibleDescription(), u"Risultato fuori dall'intervallo di riferimento"_s);
        if (QTest::currentDataTag() == QByteArray("above"))
            keepPicture(c, u"frmAnalisiCliniche-fuori-norma"_s);
    }

    void offeredOutcomeFollowsTheResult()
    {
        TestApp app;
        TfrmAnalisiCliniche *c = openCard(app);
        enterResult(c, u"95"_s, u"mg/dl"_s, u"70-110"_s);
        QCOMPARE(c->txtEsito->currentText(), u"NELLA NORMA"_s);
        // The program's own offer gives way to a new reading...
        type(c->txtRisultato, u"182"_s);
        pressEnter(c->txtRisultato);
        QCOMPARE(c->txtEsito->currentText(), u"FUORI NORMA"_s);
        QCOMPARE(c->panInfo->text(), u"Valore 182 oltre il limite superiore 110"_s);
        // ...and is taken back when the result no longer reads.
        type(c->txtRisultato, u"vedi allegato"_s);
        pressEnter(c->txtRisultato);
        QVERIFY(c->txtEsito->currentText().isEmpty());
        QVERIFY(!alarmColoured(c));
    }

    void typedOutcomeNeverReplaced()
    {
        TestApp app;
        TfrmAnalisiCliniche *c = openCard(app);
        type(c->txtEsito->lineEdit(), u"DA RIPETERE"_s);
        enterResult(c, u"182"_s, u"mg/dl"_s, u"70-110"_s);
        QCOMPARE(c->txtEsito->currentText(), u"DA RIPETERE"_s);
        // The hint and the colour still say what the values read as.
        QCOMPARE(c->panInfo->text(), u"Valore 182 oltre il limite superiore 110"_s);
        QVERIFY(alarmColoured(c));

        // Another entry picked from the list in place of the offer is the user's own.
        click(c->cmdNuovo);
        enterResult(c, u"95"_s, u"mg/dl"_s, u"70-110"_s);
        QCOMPARE(c->txtEsito->currentText(), u"NELLA NORMA"_s);
        QCOMPARE(focused(), c->txtEsito);
        QTest::keyClick(c->txtEsito, Qt::Key_Down);
        QTest::keyClick(c->txtEsito, Qt::Key_Down);
        QCOMPARE(c->txtEsito->currentText(), u"FUORI NORMA"_s);
        pressEnter(c->txtEsito);
        type(c->txtRisultato, u"96"_s);
        pressEnter(c->txtRisultato);
        QCOMPARE(c->txtEsito->currentText(), u"FUORI NORMA"_s);
        QVERIFY(!alarmColoured(c));
        // Passing through the outcome leaves the offer the program's: it still follows.
        click(c->cmdNuovo);
        enterResult(c, u"95"_s, u"mg/dl"_s, u"70-110"_s);
        pressEnter(c->txtEsito);
        type(c->txtRisultato, u"182"_s);
        pressEnter(c->txtRisultato);
        QCOMPARE(c->txtEsito->currentText(), u"FUORI NORMA"_s);
        QVERIFY(!c->chkAllarme->isChecked());
    }

    void typingOverTheOffer()
    {
        TestApp app;
        TfrmAnalisiCliniche *c = openCard(app);
        enterResult(c, u"182"_s, u"mg/dl"_s, u"70-110"_s);
        // Reached with Enter, the offer is selected: typing the outcome by habit replaces it.
        QCOMPARE(focused(), c->txtEsito);
        QCOMPARE(c->txtEsito->lineEdit()->selectedText(), u"FUORI NORMA"_s);
        QTest::keyClicks(c->txtEsito, u"DA RIPETERE"_s);
        QCOMPARE(c->txtEsito->currentText(), u"DA RIPETERE"_s);
        type(c->txtRisultato, u"95"_s);
        pressEnter(c->txtRisultato);
        QCOMPARE(c->txtEsito->currentText(), u"DA RIPETERE"_s);
    }

    void storedOutcomeNeverReplaced()
    {
        TestApp app;
        writeArchive(archive(app), {{u"02/01/2024"_s, u"Glicemia"_s, u"182"_s, u"mg/dl"_s, u"70-110"_s,
                                     u"NELLA NORMA"_s, u"No"_s},
                                    {u"03/01/2024"_s, u"Glicemia"_s, u"95"_s, u"mg/dl"_s, u"70-110"_s,
                                     u"NELLA NORMA"_s, u"No"_s}});
        TfrmAnalisiCliniche *c = openCard(app);
        QVERIFY(!alarmColoured(c));
        click(c->cmdPrimo);
        QVERIFY(alarmColoured(c)); // the slip shows as soon as the card does
        type(c->txtRife, u"70-110"_s);
        pressEnter(c->txtRife);
        QCOMPARE(c->txtEsito->currentText(), u"NELLA NORMA"_s);
        QCOMPARE(c->panInfo->text(), u"Valore 182 oltre il limite superiore 110"_s);
        QVERIFY(!c->chkAllarme->isChecked());
        click(c->cmdAvanti);
        QVERIFY(!alarmColoured(c));
        QVERIFY(c->txtRisultato->accessibleDescription().isEmpty());
        click(c->cmdPrimo);
        click(c->cmdNuovo);
        QVERIFY(!alarmColoured(c));
    }

    // ---- The alarming results ---------------------------------------------------------------------

    void unmarkedOutsideCountedAndListed()
    {
        TestApp app;
        const QString mg = u"mg/dl"_s, range = u"70-110"_s, in = u"NELLA NORMA"_s, out = u"FUORI NORMA"_s;
        writeArchive(archive(app),
                     {
                         {u"02/01/2024"_s, u"Glicemia"_s, u"300"_s, mg, range, out, u"Sì"_s},
                         {u"03/01/2024"_s, u"Glicemia"_s, u"182"_s, mg, range, in, u"No"_s},   // a slip
                         {u"04/01/2024"_s, u"Glicemia"_s, u"150"_s, mg, range, out, u"No"_s},  // said so
                         {u"05/01/2024"_s, u"Glicemia"_s, u"150"_s, mg, range, u"fuori norma"_s, u"No"_s},
                         {u"06/01/2024"_s, u"Glicemia"_s, u"95"_s, mg, range, in, u"No"_s},
                         {u"07/01/2024"_s, u"Urine: proteine"_s, u"presenti"_s, QString(), u"assenti"_s, in,
                          u"No"_s},
                         {u"08/01/2024"_s, u"Glicemia"_s, u"9,5"_s, u"mmol/l"_s, u"70-110 mg/dl"_s, in, u"No"_s},
                         {u"15/12/2023"_s, u"Colesterolo"_s, u"200"_s, mg, u"<200"_s, QString(), u"No"_s}, // a slip
                     });
        TfrmAnalisiCliniche *c = openCard(app);
        QString chosen;
        app.dialogs->next<TfrmAllarmanti>([&](TfrmAllarmanti &d) {
            // The design's list as it was: the marked card only.
            QCOMPARE(exams(d.lstRecords->lines()), QStringList{u"Glicemia"_s});
            QVERIFY(d.lblFuoriIntervallo->isVisible());
            QCOMPARE(d.lblFuoriIntervallo->text(), u"2 risultati fuori dall'intervallo non segnati come allarmanti"_s);
            QVERIFY(d.btnFuoriIntervallo->isVisible());
            QVERIFY(d.btnFuoriIntervallo->focusPolicy() & Qt::TabFocus);
            QCOMPARE(d.btnFuoriIntervallo->accessibleName(), u"Elenca i risultati fuori dall'intervallo"_s);
            keepPicture(&d, u"frmAllarmanti-fuori-intervallo"_s);
            app.dialogs->next<TfrmFuoriIntervallo>([&](TfrmFuoriIntervallo &f) {
                const QStringList lines = f.lstRecords->lines();
                QCOMPARE(exams(lines), (QStringList{u"Colesterolo"_s, u"Glicemia"_s}));
                QVERIFY(lines[1].contains(u"Valore: 182 "_s));
                keepPicture(&f, u"frmFuoriIntervallo"_s);
                chosen = lines[1];
                f.lstRecords->selectRow(1);
                pressEnter(f.lstRecords);
                QVERIFY(!f.isVisible());
            });
            click(d.btnFuoriIntervallo);
            QVERIFY(!d.isVisible()); // the card chosen is on the analysis card
        });
        click(c->cmdListino);
        QCOMPARE(app.dialogs->opened, (QStringList{u"frmAllarmanti"_s, u"frmFuoriIntervallo"_s}));
        QCOMPARE(c->lblPosizione->text(), u"2"_s);
        QCOMPARE(c->txtRisultato->text(), u"182"_s);
        QVERIFY(alarmColoured(c));
        QVERIFY(!c->chkAllarme->isChecked());
    }

    void noSlipNoFlag()
    {
        TestApp app;
        writeArchive(archive(app), {{u"02/01/2024"_s, u"Glicemia"_s, u"300"_s, u"mg/dl"_s, u"70-110"_s,
                                     u"FUORI NORMA"_s, u"Sì"_s},
                                    {u"03/01/2024"_s, u"Glicemia"_s, u"95"_s, u"mg/dl"_s, u"70-110"_s,
                                     u"NELLA NORMA"_s, u"No"_s}});
        TfrmAnalisiCliniche *c = openCard(app);
        app.dialogs->next<TfrmAllarmanti>([&](TfrmAllarmanti &d) {
            QCOMPARE(d.lstRecords->count(), 1);
            QVERIFY(!d.lblFuoriIntervallo->isVisible());
            QVERIFY(!d.btnFuoriIntervallo->isVisible());
        });
        click(c->cmdListino);
        // One slip, in the singular; closing its list leaves the screen open.
        writeArchive(archive(app), {{u"03/01/2024"_s, u"Glicemia"_s, u"182"_s, u"mg/dl"_s, u"70-110"_s,
                                     u"NELLA NORMA"_s, u"No"_s}});
        app.dialogs->next<TfrmAllarmanti>([&](TfrmAllarmanti &d) {
            QCOMPARE(d.lstRecords->count(), 0);
            QCOMPARE(d.lblFuoriIntervallo->text(), u"1 risultato fuori dall'intervallo non segnato come allarmante"_s);
            app.dialogs->next<TfrmFuoriIntervallo>([&](TfrmFuoriIntervallo &f) {
                QCOMPARE(f.lstRecords->count(), 1);
                click(f.btnChiudi);
            });
            click(d.btnFuoriIntervallo);
            QVERIFY(d.isVisible());
            click(d.btnChiudi);
        });
        click(c->cmdListino);
        QVERIFY(c->lblPosizione->text().isEmpty());
    }

    // ---- The results summary ----------------------------------------------------------------------

    void summaryCountsUnmarkedOutside()
    {
        TestApp app;
        const QString mg = u"mg/dl"_s, range = u"70-110"_s, in = u"NELLA NORMA"_s;
        writeArchive(archive(app), {
                                       {u"10/01/2024"_s, u"Glicemia"_s, u"182"_s, mg, range, in, u"No"_s},
                                       {u"11/01/2024"_s, u"Glicemia"_s, u"300"_s, mg, range, in, u"Sì"_s},
                                       {u"12/01/2024"_s, u"Glicemia"_s, u"95"_s, mg, range, in, u"No"_s},
                                       {u"13/01/2024"_s, u"Glicemia"_s, u"60"_s, mg, range, QString(), u"No"_s},
                                       {u"15/03/2023"_s, u"Glicemia"_s, u"182"_s, mg, range, in, u"No"_s},
                                   });
        TfrmMenuRiepLavoro *m = app.ctx->screens.frmMenuRiepLavoro;
        app.ctx->switchTo(app.ctx->screens.frmAvvio, m);
        activate(m);
        m->txtAnno->setText(u"2024"_s);
        m->txtCodFisc->setText(kCode);
        choose(m->txtGiornoInizio, u"01"_s);
        choose(m->txtMeseInizio, u"Gennaio"_s);
        choose(m->txtGiornoFine, u"31"_s);
        choose(m->txtMeseFine, u"Dicembre"_s);
        bool ran = false;
        app.dialogs->next<TfrmRiepLavoro>([&](TfrmRiepLavoro &s) {
            ran = true;
            QCOMPARE(s.lblTotCosti->text(), u"4"_s); // the list and its total as they were
            QVERIFY(s.lblFuoriIntervallo->isVisible());
            QCOMPARE(s.lblFuoriIntervallo->text(), u"2 risultati fuori dall'intervallo non segnati come allarmanti"_s);
            keepPicture(&s, u"frmRiepLavoro-fuori-intervallo"_s);
        });
        click(m->btnVisualizza);
        QVERIFY(ran);
        // An interval without slips shows no count.
        choose(m->txtGiornoInizio, u"12"_s);
        choose(m->txtGiornoFine, u"12"_s);
        choose(m->txtMeseFine, u"Gennaio"_s);
        app.dialogs->next<TfrmRiepLavoro>([&](TfrmRiepLavoro &s) {
            QCOMPARE(s.lblTotCosti->text(), u"1"_s);
            QVERIFY(!s.lblFuoriIntervallo->isVisible());
        });
        click(m->btnVisualizza);
    }
};

QTEST_MAIN(TestRangeCheck)
#include "tst_rangecheck.moc"
