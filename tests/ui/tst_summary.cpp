// The results summary driven as a user would: the criteria screen (keys,
// lists, Enter order, the checks and their boxes), the summary it opens
// (lines, interval, total, find, print, help) and the trend of its numeric
// results (chart, print, PDF), each read back through the seams.
#include "analyses/AnalysisEntry.h"
#include "analyses/AnalysisRecord.h"
#include "analyses/ui/LineList.h"
#include "common/ui/Widgets.h"
#include "app/ui/Avvio.h"
#include "common/FileIo.h"
#include "patients/PatientRecord.h"
#include "patients/ui/TrovaClienti.h"
#include "report/ReportTemplate.h"
#include "summary/ui/Grafico.h"
#include "summary/ui/MenuRiepLavoro.h"
#include "summary/ui/RiepLavoro.h"
#include "summary/ui/TrendChart.h"
#include "support/PdfTools.h"
#include "support/TestApp.h"

#include <QAreaSeries>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QPushButton>
#include <QScatterSeries>

using namespace Qt::StringLiterals;
using namespace clinora;
using namespace clinora::test;

namespace {

const QString kCode = u"RSSNCC80A01H501U"_s;
const QString kNotAccessible = u"Attenzione: il file di archivio non risulta accessibile."_s;

struct Result {
    QString data, esame, risultato = u"100"_s, rife = u"70-110"_s;
    bool alarm = false;
};

AnalysisRecord record(const Result &r)
{
    AnalysisRecord rec;
    rec.set(AnalysisRecord::Paziente, u"Rossi Niccolò"_s);
    rec.set(AnalysisRecord::CodFisc, kCode);
    rec.set(AnalysisRecord::NumRef, u"R-"_s + r.data);
    rec.set(AnalysisRecord::DataRef, r.data);
    rec.set(AnalysisRecord::Data, r.data);
    rec.set(AnalysisRecord::Esame, r.esame);
    rec.set(AnalysisRecord::Risultato, r.risultato);
    rec.set(AnalysisRecord::UM, u"mg/dl"_s);
    rec.set(AnalysisRecord::Rife, r.rife);
    rec.set(AnalysisRecord::Esito, r.alarm ? u"FUORI NORMA"_s : u"NELLA NORMA"_s);
    setAlarmMark(rec, r.alarm);
    return rec;
}

QString archivePath(TestApp &app) { return app.path(u"Analisi_Cliniche/Paziente_CF_"_s + kCode + u".asl"_s); }

void writeArchive(TestApp &app, const QList<Result> &results)
{
    const QString path = archivePath(app);
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    for (const Result &r : results)
        f.write(record(r).bytes());
}

// Three results in three months of 2024 and one of the year before.
const QList<Result> kYear{
    {u"20/03/2024"_s, u"Glicemia"_s, u"104"_s},
    {u"10/01/2024"_s, u"Glicemia"_s, u"96"_s},
    {u"05/02/2024"_s, u"Emoglobina GLICATA"_s, u"5,6"_s, u"4-6"_s},
    {u"15/03/2023"_s, u"Glicemia"_s, u"99"_s},
};

QStringList datesOf(const QStringList &lines)
{
    QStringList out;
    for (const QString &l : lines)
        out << l.mid(l.indexOf(u"Data: "_s) + 6, 10);
    return out;
}

// Chooses an entry from a drop-down list, as a click in its list does.
void choose(QComboBox *list, const QString &entry)
{
    const int i = list->findText(entry);
    QVERIFY2(i >= 0, qPrintable(entry));
    list->setCurrentIndex(i);
}

QStringList printedLines(const PreparedReport &r)
{
    QStringList lines;
    for (const PreparedPage &page : r.pages)
        if (const PreparedItem *item = page.find(u"txtRiepilogo"))
            lines += item->lines;
    return lines;
}

// A picture of a window as the user sees it, kept when CLINORA_REVIEW_DIR is set.
void keepPicture(QWidget *w, const QString &name)
{
    const QString dir = qEnvironmentVariable("CLINORA_REVIEW_DIR");
    if (dir.isEmpty())
        return;
    QDir().mkpath(dir);
    QCoreApplication::processEvents();
    w->grab().save(QDir(dir).filePath(name + u".png"_s));
}

class FailOpenOf : public io::FaultHook {
public:
    explicit FailOpenOf(QString file) : m_file(std::move(file)) { io::setFaultHook(this); }
    ~FailOpenOf() override { io::setFaultHook(nullptr); }
    bool shouldFail(io::Op op, const QString &path) override { return op == io::Op::Open && path.contains(m_file); }

private:
    QString m_file;
};

} // namespace

class TestSummaryScreens : public QObject {
    Q_OBJECT

    static TfrmMenuRiepLavoro *menu(TestApp &app) { return app.ctx->screens.frmMenuRiepLavoro; }

    static TfrmMenuRiepLavoro *openMenu(TestApp &app)
    {
        app.ctx->switchTo(app.ctx->screens.frmAvvio, menu(app));
        activate(menu(app));
        return menu(app);
    }

    // The criteria screen filled in: the patient, an exam and the interval.
    static TfrmMenuRiepLavoro *fill(TestApp &app, const QString &year, const QString &exam, const QString &day1,
                                    const QString &month1, const QString &day2, const QString &month2)
    {
        TfrmMenuRiepLavoro *m = openMenu(app);
        m->txtAnno->setText(year);
        m->txtCodFisc->setText(kCode);
        m->txtEsame->setText(exam);
        choose(m->txtGiornoInizio, day1);
        choose(m->txtMeseInizio, month1);
        choose(m->txtGiornoFine, day2);
        choose(m->txtMeseFine, month2);
        return m;
    }

    // Asks for the summary and runs `drive` while it is up.
    static void viewSummary(TestApp &app, std::function<void(TfrmRiepLavoro &)> drive)
    {
        app.dialogs->next<TfrmRiepLavoro>(std::move(drive));
        click(menu(app)->btnVisualizza);
    }

private slots:
    // ---- The criteria screen -------------------------------------------------------------------

    void criteriaAreResetEachTimeTheScreenIsShown()
    {
        TestApp app;
        TfrmMenuRiepLavoro *m = fill(app, u"2024"_s, u"glic"_s, u"01"_s, u"Marzo"_s, u"31"_s, u"Marzo"_s);
        keepPicture(m, u"criteri-compilati"_s);
        click(m->btnEsci);
        QVERIFY(!m->isVisible());
        QVERIFY(app.ctx->screens.frmAvvio->isVisible());

        openMenu(app);
        QCOMPARE(m->txtAnno->text(), u"2026"_s); // the clock's year
        QCOMPARE(m->lblAnnoInizio->text(), u"2026"_s);
        QCOMPARE(m->lblAnnoFine->text(), u"2026"_s);
        QVERIFY(m->txtCodFisc->text().isEmpty());
        QVERIFY(m->txtEsame->text().isEmpty());
        for (QComboBox *list : {m->txtGiornoInizio, m->txtMeseInizio, m->txtGiornoFine, m->txtMeseFine}) {
            QCOMPARE(list->currentIndex(), -1);
            QVERIFY(list->currentText().isEmpty());
        }
        QCOMPARE(focused(), m->txtCodFisc);
        QVERIFY(m->lblAttendere->isHidden());
        QCOMPARE(m->txtAnno->maxLength(), 4);
        QCOMPARE(m->txtCodFisc->maxLength(), 16);
        QCOMPARE(m->txtEsame->maxLength(), 120);
    }

    void yearTakesDigitsAndTheLabelsFollowIt()
    {
        TestApp app;
        TfrmMenuRiepLavoro *m = openMenu(app);
        m->txtAnno->setFocus();
        m->txtAnno->selectAll();
        pressKey(m->txtAnno, Qt::Key_Backspace);
        type(m->txtAnno, u"2a0"_s);
        QCOMPARE(m->txtAnno->text(), u"20"_s);
        QCOMPARE(m->lblAnnoInizio->text(), u"20"_s);
        type(m->txtAnno, u" -2.5x"_s);
        QCOMPARE(m->txtAnno->text(), u"2025"_s);
        QCOMPARE(m->lblAnnoInizio->text(), u"2025"_s);
        QCOMPARE(m->lblAnnoFine->text(), u"2025"_s);
        // Pasted text keeps only its digits.
        m->txtAnno->clear();
        m->txtAnno->insert(u"20x2"_s);
        QCOMPARE(m->txtAnno->text(), u"202"_s);
        m->txtAnno->insert(u"6"_s);
        QCOMPARE(m->lblAnnoFine->text(), u"2026"_s);
        // Tab still leaves the field, in the tab order.
        pressKey(m->txtAnno, Qt::Key_Tab);
        QCOMPARE(focused(), m->txtCodFisc);
    }

    void fiscalCodeTakesLettersAndDigitsInUpperCase()
    {
        TestApp app;
        TfrmMenuRiepLavoro *m = openMenu(app);
        type(m->txtCodFisc, u"rss n.cc-80"_s);
        QCOMPARE(m->txtCodFisc->text(), u"RSSNCC80"_s);
        pressKey(m->txtCodFisc, Qt::Key_Backspace);
        QCOMPARE(m->txtCodFisc->text(), u"RSSNCC8"_s);
        m->txtCodFisc->insert(u"0 a01"_s);
        QCOMPARE(m->txtCodFisc->text(), u"RSSNCC80A01"_s);
    }

    void listsTakeOnlyTheirOwnValues()
    {
        TestApp app;
        TfrmMenuRiepLavoro *m = openMenu(app);
        QCOMPARE(m->txtGiornoInizio->count(), 31);
        QCOMPARE(m->txtMeseFine->itemText(11), u"Dicembre"_s);

        QComboBox *day = m->txtGiornoInizio;
        day->setFocus();
        type(day, u"x."_s); // what begins no day is never written
        QVERIFY(day->currentText().isEmpty());
        choose(day, u"05"_s);
        pressKey(day, Qt::Key_Left);
        QCOMPARE(day->currentText(), u"05"_s);
        pressKey(day, Qt::Key_Backspace);
        QVERIFY(day->currentText().isEmpty());
        choose(day, u"05"_s);
        pressKey(day, Qt::Key_Delete);
        QVERIFY(day->currentText().isEmpty());

        // Entering a list clears its selection and keeps its text.
        choose(day, u"07"_s);
        m->txtEsame->setFocus();
        day->setFocus();
        QCOMPARE(day->currentIndex(), -1);
        QCOMPARE(day->currentText(), u"07"_s);

        // On leaving, a text that is not one of the list's values is emptied.
        day->setEditText(u"32"_s);
        m->txtMeseInizio->setFocus();
        QVERIFY(day->currentText().isEmpty());
        m->txtMeseInizio->setEditText(u"MARZO"_s);
        day->setFocus();
        QCOMPARE(m->txtMeseInizio->currentText(), u"MARZO"_s);
        m->txtMeseInizio->setFocus();
        m->txtMeseInizio->setEditText(u"Marz"_s);
        day->setFocus();
        QVERIFY(m->txtMeseInizio->currentText().isEmpty());

        // The keyboard chooses from the list too: Alt+Down opens it.
        QComboBox *month = m->txtMeseFine;
        month->setFocus();
        QTest::keyClick(month, Qt::Key_Down, Qt::AltModifier);
        QTRY_VERIFY(month->view()->isVisible());
        QTest::keyClick(month->view(), Qt::Key_Down);
        QTest::keyClick(month->view(), Qt::Key_Down);
        QTest::keyClick(month->view(), Qt::Key_Return);
        QTRY_VERIFY(!month->view()->isVisible());
        QCOMPARE(month->currentText(), u"Marzo"_s);
        QCOMPARE(focused(), month);
    }

    // The day and month boxes answer the arrows and typing as the editable
    // boxes a screen reader announces them to be, and take only their own
    // entries that way.
    void listsAnswerArrowsAndTyping_data()
    {
        QTest::addColumn<bool>("isDay");
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("keys"); // typed; + Down, - Up, ^ Home, $ End
        QTest::addColumn<QString>("after");
        QTest::newRow("day: Down from empty") << true << QString() << u"+"_s << u"01"_s;
        QTest::newRow("day: Up from empty") << true << QString() << u"-"_s << u"31"_s;
        QTest::newRow("day: Down, Down") << true << u"09"_s << u"++"_s << u"11"_s;
        QTest::newRow("day: Down on the last") << true << u"31"_s << u"+"_s << u"31"_s;
        QTest::newRow("day: Up on the first") << true << u"01"_s << u"-"_s << u"01"_s;
        QTest::newRow("day: End") << true << u"05"_s << u"$"_s << u"31"_s;
        QTest::newRow("day: 3 is 03") << true << QString() << u"3"_s << u"03"_s;
        QTest::newRow("day: 31") << true << QString() << u"31"_s << u"31"_s;
        QTest::newRow("day: 05") << true << QString() << u"05"_s << u"05"_s;
        QTest::newRow("day: 39 begins anew at 9") << true << QString() << u"39"_s << u"09"_s;
        QTest::newRow("day: a letter") << true << u"07"_s << u"x"_s << u"07"_s;
        QTest::newRow("month: m") << false << QString() << u"m"_s << u"Marzo"_s;
        QTest::newRow("month: mag") << false << QString() << u"mag"_s << u"Maggio"_s;
        QTest::newRow("month: D") << false << QString() << u"D"_s << u"Dicembre"_s;
        QTest::newRow("month: Up on Gennaio") << false << u"Gennaio"_s << u"-"_s << u"Gennaio"_s;
        QTest::newRow("month: Down from Marzo") << false << u"Marzo"_s << u"+"_s << u"Aprile"_s;
        QTest::newRow("month: Home") << false << u"Luglio"_s << u"^"_s << u"Gennaio"_s;
    }
    void listsAnswerArrowsAndTyping()
    {
        QFETCH(bool, isDay);
        QFETCH(QString, before);
        QFETCH(QString, keys);
        QFETCH(QString, after);
        TestApp app;
        TfrmMenuRiepLavoro *m = openMenu(app);
        QComboBox *list = isDay ? m->txtGiornoInizio : m->txtMeseInizio;
        list->setFocus();
        if (!before.isEmpty())
            choose(list, before);
        const QHash<QChar, Qt::Key> moves{
            {u'+', Qt::Key_Down}, {u'-', Qt::Key_Up}, {u'^', Qt::Key_Home}, {u'$', Qt::Key_End}};
        for (const QChar c : keys) {
            if (moves.contains(c))
                pressKey(list, moves.value(c));
            else
                type(list, QString(c));
        }
        QCOMPARE(list->currentText(), after);
        // Leaving keeps what the keys chose.
        m->txtEsame->setFocus();
        QCOMPARE(list->currentText(), after);
    }

    void enterAndTabOrders()
    {
        TestApp app;
        TfrmMenuRiepLavoro *m = openMenu(app);
        m->txtAnno->setFocus();
        const QList<QWidget *> enterOrder{m->txtCodFisc,    m->txtEsame,     m->txtGiornoInizio, m->txtMeseInizio,
                                          m->txtGiornoFine, m->txtMeseFine,  m->btnVisualizza};
        for (QWidget *next : enterOrder) {
            pressEnter(focused());
            QCOMPARE(focused(), next);
        }
        // Enter on the button presses it: the checks run.
        pressEnter(focused());
        QCOMPARE(app.messages->take(), QStringList{u"Attenzione: indicare il codice fiscale del paziente."_s});
        QCOMPARE(focused(), m->txtCodFisc);

        m->txtAnno->setFocus();
        const QList<QWidget *> tabOrder{m->txtCodFisc,  m->txtGiornoInizio, m->txtMeseInizio, m->txtGiornoFine,
                                        m->txtMeseFine, m->btnVisualizza,   m->btnEsci,        m->txtEsame};
        for (QWidget *next : tabOrder) {
            pressKey(focused(), Qt::Key_Tab);
            QCOMPARE(focused(), next);
        }
    }

    void aFailedCheckToldInItsBoxWithItsFocus()
    {
        TestApp app;
        TfrmMenuRiepLavoro *m = fill(app, u"2024"_s, QString(), u"31"_s, u"Aprile"_s, u"30"_s, u"Giugno"_s);
        m->lblDataFine->setText(u"old"_s);
        QTest::mousePress(m->btnVisualizza, Qt::LeftButton);
        QVERIFY(m->lblAttendere->isVisible()); // shown as the button goes down
        QTest::mouseRelease(m->btnVisualizza, Qt::LeftButton);
        QVERIFY(m->lblAttendere->isHidden());
        QCOMPARE(app.messages->shown.size(), 1);
        QCOMPARE(app.messages->shown[0].kind, MsgKind::Plain);
        QCOMPARE(app.messages->shown[0].text,
                 u"Attenzione: la data 31/04/2024 di inizio intervallo non esiste.\n\r\n\rPer poter visualizzare il "
                 u"riepilogo è necessario indicare una data valida."_s);
        QCOMPARE(focused(), m->txtGiornoInizio);
        QCOMPARE(m->lblDataInizio->text(), u"31/04/2024"_s);
        QVERIFY(m->lblDataFine->text().isEmpty());
        QVERIFY(app.dialogs->opened.isEmpty());

        // A year of three digits: a warning, the focus on the year.
        app.messages->shown.clear();
        m->txtAnno->setText(u"202"_s);
        click(m->btnVisualizza);
        QCOMPARE(app.messages->shown.size(), 1);
        QCOMPARE(app.messages->shown[0].kind, MsgKind::Warning);
        QCOMPARE(focused(), m->txtAnno);
        // Nothing was changed by the checks.
        QCOMPARE(m->txtGiornoInizio->currentText(), u"31"_s);
        QCOMPARE(m->txtCodFisc->text(), kCode);
    }

    void patientPictureSearchesForTheFiscalCode()
    {
        TestApp app;
        PatientRecord p;
        p.set(PatientRecord::Paziente, u"Rossi Niccolò"_s);
        p.set(PatientRecord::CodFisc, kCode);
        QFile f(app.path(u"Pazienti.pro"_s));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(p.bytes());
        f.close();
        TfrmMenuRiepLavoro *m = openMenu(app);
        m->txtEsame->setText(u"glic"_s);
        app.dialogs->next<TfrmTrovaClienti>([](TfrmTrovaClienti &s) {
            QCOMPARE(s.lblMemory->text(), u"riepilogo"_s);
            click(s.btnCerca);
            const QModelIndex first = s.lstRecords->model()->index(0, 0);
            const QPoint at = s.lstRecords->visualRect(first).center();
            QTest::mouseClick(s.lstRecords->viewport(), Qt::LeftButton, Qt::NoModifier, at);
            QTest::mouseDClick(s.lstRecords->viewport(), Qt::LeftButton, Qt::NoModifier, at);
        });
        click(m->impPaziente);
        QCOMPARE(app.dialogs->opened, QStringList{u"frmTrovaClienti"_s});
        QCOMPARE(m->txtCodFisc->text(), kCode);
        QCOMPARE(m->txtEsame->text(), u"glic"_s);
    }

    // ---- The summary ---------------------------------------------------------------------------

    void summaryListsTheIntervalInDateOrder()
    {
        TestApp app;
        writeArchive(app, kYear);
        TfrmMenuRiepLavoro *m = fill(app, u"2024"_s, QString(), u"01"_s, u"Febbraio"_s, u"31"_s, u"Marzo"_s);
        bool ran = false;
        viewSummary(app, [&](TfrmRiepLavoro &s) {
            ran = true;
            QVERIFY(s.windowState() & Qt::WindowMaximized);
            QCOMPARE(s.windowTitle(), u" Clinora - Riepilogo Risultati Esami"_s);
            QCOMPARE(datesOf(s.lstRecords->lines()), (QStringList{u"05/02/2024"_s, u"20/03/2024"_s}));
            QCOMPARE(s.titTipologia->text(), kCode);
            QCOMPARE(s.lblIntervallo->text(), u"Dal   01/02/2024   al   31/03/2024"_s);
            QCOMPARE(s.lblTotCosti->text(), u"2"_s);
            QCOMPARE(s.lblConta->text(), u"1"_s);
            QVERIFY(s.lblEscluse->isHidden());
            QCOMPARE(focused(), s.txtTrova);
            // The criteria screen waits behind it.
            QVERIFY(m->lblAttendere->isVisible());
            keepPicture(&s, u"riepilogo"_s);
            click(s.btnEsci);
            QVERIFY(s.lstRecords->lines().isEmpty());
        });
        QVERIFY(ran);
        QCOMPARE(app.dialogs->opened, QStringList{u"frmRiepLavoro"_s});
        QVERIFY(m->lblAttendere->isHidden());
        QCOMPARE(m->txtMeseFine->currentText(), u"Marzo"_s);
        QCOMPARE(m->lblFile->text(), app.path(u"Analisi_Cliniche/Paziente_CF_"_s + kCode + u".asl"_s));
        // The screen created at start stays the one of the program.
        QVERIFY(qobject_cast<TfrmRiepLavoro *>(app.ctx->screens.frmRiepLavoro));
    }

    void examCriterionAndAWholeYear()
    {
        TestApp app;
        writeArchive(app, kYear);
        fill(app, u"2024"_s, u"glic"_s, u"01"_s, u"Gennaio"_s, u"31"_s, u"Dicembre"_s);
        viewSummary(app, [&](TfrmRiepLavoro &s) {
            // Glicemia and GLICATA alike; nothing of 2023.
            QCOMPARE(datesOf(s.lstRecords->lines()),
                     (QStringList{u"10/01/2024"_s, u"05/02/2024"_s, u"20/03/2024"_s}));
            QCOMPARE(s.lblConta->text(), u"2"_s);
            QCOMPARE(s.lblTotCosti->text(), u"3"_s);
        });
    }

    // The total always matches the lines: a damaged sample date is left out
    // and said beneath the list, and the reading goes on past it.
    void damagedDatesDoNotSpoilTheTotal()
    {
        TestApp app;
        writeArchive(app, {{u"10/01/2024"_s, u"Glicemia"_s},
                           {u"31/02/2024"_s, u"Glicemia"_s},
                           {u"xx/03/2024"_s, u"Glicemia"_s},
                           {u"20/03/2024"_s, u"Glicemia"_s}});
        fill(app, u"2024"_s, QString(), u"01"_s, u"Gennaio"_s, u"31"_s, u"Dicembre"_s);
        viewSummary(app, [&](TfrmRiepLavoro &s) {
            QCOMPARE(datesOf(s.lstRecords->lines()), (QStringList{u"10/01/2024"_s, u"20/03/2024"_s}));
            QCOMPARE(s.lblTotCosti->text(), u"2"_s);
            QCOMPARE(s.lblIntervallo->text(), u"Dal   01/01/2024   al   31/12/2024"_s);
            QVERIFY(s.lblEscluse->isVisible());
            QCOMPARE(s.lblEscluse->text(),
                     u"2 schede non sono elencate perché la loro data del prelievo non è valida."_s);
            // The paper says it too, under the total.
            click(s.btnStampa);
            QCOMPARE(app.printing->printed.size(), 1);
            const QStringList printed = printedLines(app.printing->printed[0]);
            QCOMPARE(printed.mid(printed.size() - 2),
                     (QStringList{u"TOTALE ANALISI CLINICHE:   2"_s,
                                  u"2 schede non sono elencate perché la loro data del prelievo non è valida."_s}));
        });
        QCOMPARE(app.messages->take(), QStringList{u"Si vuole stampare il presente riepilogo?"_s});
    }

    void fiscalCodeWithoutArchive()
    {
        TestApp app;
        fill(app, u"2024"_s, QString(), u"01"_s, u"Gennaio"_s, u"31"_s, u"Dicembre"_s);
        viewSummary(app, [&](TfrmRiepLavoro &s) {
            QCOMPARE(s.lstRecords->count(), 0);
            QCOMPARE(s.lblTotCosti->text(), u"0"_s);
        });
        QVERIFY(QFileInfo::exists(archivePath(app)));
        QCOMPARE(QFileInfo(archivePath(app)).size(), 0);
    }

    void folderThatCannotBeMade()
    {
        TestApp app;
        QFile blocker(app.path(u"Analisi_Cliniche"_s)); // a file where the folder should be
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        TfrmMenuRiepLavoro *m = fill(app, u"2024"_s, QString(), u"01"_s, u"Gennaio"_s, u"31"_s, u"Dicembre"_s);
        click(m->btnVisualizza);
        QCOMPARE(app.messages->shown.size(), 1);
        QCOMPARE(app.messages->shown[0].kind, MsgKind::Plain);
        QCOMPARE(app.messages->shown[0].text, kNotAccessible);
        QVERIFY(app.dialogs->opened.isEmpty());
        QVERIFY(m->lblAttendere->isHidden());
    }

    // An archive that cannot be read is said so, not shown as an empty summary.
    void archiveThatCannotBeRead()
    {
        TestApp app;
        writeArchive(app, kYear);
        fill(app, u"2024"_s, QString(), u"01"_s, u"Gennaio"_s, u"31"_s, u"Dicembre"_s);
        FailOpenOf fail(u".asl"_s);
        viewSummary(app, [&](TfrmRiepLavoro &s) {
            QCOMPARE(s.lstRecords->count(), 0);
            QCOMPARE(s.lblTotCosti->text(), u"0"_s);
            QCOMPARE(app.messages->shown.size(), 1);
            QCOMPARE(app.messages->shown[0].kind, MsgKind::Plain);
            QCOMPARE(app.messages->shown[0].text, kNotAccessible);
        });
    }

    void printWithItsTotals()
    {
        TestApp app;
        writeArchive(app, kYear);
        fill(app, u"2024"_s, u"ferritina"_s, u"01"_s, u"Gennaio"_s, u"31"_s, u"Dicembre"_s);
        viewSummary(app, [&](TfrmRiepLavoro &s) {
            click(s.btnStampa);
            QCOMPARE(app.messages->shown.size(), 1);
            QCOMPARE(app.messages->shown[0].kind, MsgKind::Warning);
            QCOMPARE(app.messages->shown[0].text,
                     u"Operazione di stampa non applicabile: il riepilogo non contiene nessuna voce."_s);
        });
        QVERIFY(app.printing->dialogs.isEmpty());

        app.messages->shown.clear();
        menu(app)->txtEsame->clear();
        viewSummary(app, [&](TfrmRiepLavoro &s) {
            app.messages->answers.push_back(MsgAnswer::No);
            click(s.btnStampa);
            QCOMPARE(app.messages->take(), QStringList{u"Si vuole stampare il presente riepilogo?"_s});
            QVERIFY(app.printing->dialogs.isEmpty());

            // Closed without choosing: the command goes on.
            app.messages->answers.push_back(MsgAnswer::Closed);
            click(s.btnStampa);
            QCOMPARE(app.printing->printed.size(), 1);
            const PreparedReport &r = app.printing->printed[0];
            QCOMPARE(r.name, u"Riepilogo dati"_s);
            QCOMPARE(r.pages[0].find(u"txtTitolo")->lines.join(u'\n'),
                     u"Riepilogo analisi cliniche - Codice fiscale paziente: "_s + kCode);
            QStringList expected = s.lstRecords->lines();
            expected << u"- - - - - - - - - - - - - - - -"_s
                     << u"INTERVALLO SELEZIONATO:    Dal   01/01/2024   al   31/12/2024"_s
                     << u"TOTALE ANALISI CLINICHE:   3"_s;
            QCOMPARE(printedLines(r), expected);
        });
    }

    void findKeyOutlivesTheSummary()
    {
        TestApp app;
        writeArchive(app, {{u"10/01/2024"_s, u"Glicemia"_s},
                           {u"11/01/2024"_s, u"Azotemia"_s},
                           {u"12/01/2024"_s, u"Glicemia"_s}});
        fill(app, u"2024"_s, QString(), u"01"_s, u"Gennaio"_s, u"31"_s, u"Dicembre"_s);
        viewSummary(app, [&](TfrmRiepLavoro &s) {
            type(s.txtTrova, u"glic"_s);
            pressEnter(s.txtTrova); // nothing special here
            QCOMPARE(focused(), s.txtTrova);
            QCOMPARE(s.lstRecords->selectedRow(), -1);
            click(s.btnTrova);
            QCOMPARE(s.lstRecords->selectedRow(), 0);
        });
        viewSummary(app, [&](TfrmRiepLavoro &s) {
            QVERIFY(s.txtTrova->text().isEmpty());
            type(s.txtTrova, u"glic"_s);
            click(s.btnTrova); // the same key as last time: on from the first line
            QCOMPARE(s.lstRecords->selectedRow(), 2);
        });
    }

    void helpAndClosingByKey()
    {
        TestApp app;
        writeArchive(app, kYear);
        TfrmMenuRiepLavoro *m = fill(app, u"2024"_s, QString(), u"01"_s, u"Gennaio"_s, u"31"_s, u"Dicembre"_s);
        viewSummary(app, [&](TfrmRiepLavoro &s) {
            click(s.imgGuida);
            QCOMPARE(app.dialogs->opened.last(), u"frmGuida"_s);
            pressKey(&s, Qt::Key_Escape);
            QVERIFY(!s.isVisible());
            QVERIFY(m->lblAttendere->isHidden());
        });
    }

    // ---- The trend -----------------------------------------------------------------------------

    void trendNeedsNumbers()
    {
        TestApp app;
        writeArchive(app, {{u"10/01/2024"_s, u"Urine: proteine"_s, u"assenti"_s, QString()}});
        fill(app, u"2024"_s, QString(), u"01"_s, u"Gennaio"_s, u"31"_s, u"Dicembre"_s);
        viewSummary(app, [&](TfrmRiepLavoro &s) {
            click(s.btnGrafico);
            QCOMPARE(app.messages->shown.size(), 1);
            QCOMPARE(app.messages->shown[0].kind, MsgKind::Warning);
            QCOMPARE(app.messages->shown[0].text,
                     u"Grafico non disponibile: nessun risultato del riepilogo è espresso da un valore numerico."_s);
        });
        app.messages->shown.clear();
        menu(app)->txtEsame->setText(u"ferritina"_s);
        viewSummary(app, [&](TfrmRiepLavoro &s) {
            click(s.btnGrafico);
            QCOMPARE(app.messages->take(),
                     QStringList{u"Grafico non disponibile: il riepilogo non contiene nessuna voce."_s});
        });
        QCOMPARE(app.dialogs->opened, (QStringList{u"frmRiepLavoro"_s, u"frmRiepLavoro"_s}));
    }

    void trendOfEachNumericExam()
    {
        TestApp app;
        writeArchive(app, {
                              {u"10/01/2024"_s, u"Glicemia"_s, u"96"_s},
                              {u"12/02/2024"_s, u"Glicemia"_s, u"neg."_s},
                              {u"20/03/2024"_s, u"Glicemia"_s, u"128"_s, u"70-110"_s, true},
                              {u"15/05/2024"_s, u"Glicemia"_s, u"104,5"_s},
                              {u"15/05/2024"_s, u"Colesterolo totale"_s, u"190"_s, u"<200"_s},
                              {u"15/05/2024"_s, u"Urine: proteine"_s, u"assenti"_s, QString()},
                          });
        fill(app, u"2024"_s, QString(), u"01"_s, u"Gennaio"_s, u"30"_s, u"Giugno"_s);
        viewSummary(app, [&](TfrmRiepLavoro &s) {
            app.dialogs->next<TfrmGrafico>([&](TfrmGrafico &g) {
                QCOMPARE(g.windowTitle(), u" Andamento dei risultati"_s);
                QCOMPARE(g.txtEsame->count(), 2);
                QCOMPARE(g.txtEsame->itemText(0), u"Colesterolo totale (mg/dl)"_s);
                QCOMPARE(g.txtEsame->itemText(1), u"Glicemia (mg/dl)"_s);
                choose(g.txtEsame, u"Glicemia (mg/dl)"_s);

                QChart *chart = g.grfAndamento->chart();
                QAreaSeries *band = nullptr;
                QLineSeries *line = nullptr;
                QScatterSeries *alarm = nullptr;
                for (QAbstractSeries *series : chart->series()) {
                    if (auto *a = qobject_cast<QAreaSeries *>(series))
                        band = a;
                    else if (auto *sc = qobject_cast<QScatterSeries *>(series))
                        alarm = sc;
                    else if (auto *l = qobject_cast<QLineSeries *>(series))
                        line = l;
                }
                QVERIFY(band && line && alarm);
                QCOMPARE(band->name(), u"Intervallo di riferimento"_s);
                QCOMPARE(band->upperSeries()->at(0).y(), 110.0);
                QCOMPARE(band->lowerSeries()->at(0).y(), 70.0);
                QCOMPARE(line->name(), u"Glicemia (mg/dl)"_s);
                QCOMPARE(line->count(), 3);
                QCOMPARE(line->at(2).y(), 104.5);
                QCOMPARE(alarm->count(), 1);
                QCOMPARE(alarm->at(0).y(), 128.0);
                QCOMPARE(g.lblEsclusi->text(),
                         u"Risultati rappresentati: 3   -   Risultati non numerici esclusi dal grafico: 1   -   "
                         u"Risultati non numerici di altri esami del riepilogo: 1"_s);

                // Drawn offscreen too: the line's blue and the band's green are there.
                const QImage shot = g.grfAndamento->grab().toImage();
                int blue = 0, green = 0;
                for (int y = 0; y < shot.height(); y += 2)
                    for (int x = 0; x < shot.width(); x += 2) {
                        const QColor c = shot.pixelColor(x, y);
                        blue += c.blue() > 140 && c.red() < 80;
                        green += c.green() > c.red() + 20 && c.green() > c.blue() + 10;
                    }
                QVERIFY2(blue > 50, "the line is not drawn");
                QVERIFY2(green > 500, "the reference band is not drawn");
                keepPicture(&g, u"grafico"_s);
                click(g.btnChiudi);
            });
            click(s.btnGrafico);
        });
        QCOMPARE(app.dialogs->opened, (QStringList{u"frmRiepLavoro"_s, u"frmGrafico"_s}));
    }

    // The band is the range each result was given: a result on an excluded
    // end lies outside it, and a result whose range does not read has none.
    void chartBandFollowsEachResultsRange()
    {
        using summary::TrendPoint;
        const auto point = [](const char *date, double value, const QString &rife) {
            TrendPoint p;
            p.date = QDate::fromString(QString::fromLatin1(date), u"dd/MM/yyyy"_s);
            p.value = value;
            p.result = QString::number(value);
            p.range = summary::referenceRange(rife, u"mg/dl"_s);
            return p;
        };
        summary::ExamTrend trend;
        trend.exam = u"Colesterolo totale"_s;
        trend.unit = u"mg/dl"_s;
        trend.points = {point("10/01/2024", 200, u"<200"_s), point("10/03/2024", 260, u">=240 alto"_s),
                        point("10/05/2024", 90, u"70-110"_s)};
        const QDate from(2024, 1, 1), to(2024, 6, 30);
        const trendchart::Chart made = trendchart::make(trend, from, to);
        std::unique_ptr<QChart> chart(made.chart);
        QList<QAreaSeries *> bands;
        for (QAbstractSeries *series : chart->series())
            if (auto *a = qobject_cast<QAreaSeries *>(series))
                bands << a;
        QCOMPARE(bands.size(), 2);
        // "<200": the edge a little under 200, so 200 itself is outside.
        const double edge = bands[0]->upperSeries()->at(0).y();
        QVERIFY2(edge < 200 && edge > 195, qPrintable(QString::number(edge)));
        // The unreadable range of March has no band: the bands stop halfway
        // between the results beside it.
        const double march = double(from.daysTo(QDate(2024, 3, 10)));
        for (QAreaSeries *band : bands) {
            const double left = band->upperSeries()->at(0).x(), right = band->upperSeries()->at(1).x();
            QVERIFY2(march < left || march > right, qPrintable(QString::number(left) + u' ' + QString::number(right)));
        }
        QCOMPARE(bands[1]->lowerSeries()->at(0).y(), 70.0);
        QCOMPARE(bands[1]->upperSeries()->at(0).y(), 110.0);
    }

    void trendPrintedAndSavedAsPdf()
    {
        TestApp app;
        writeArchive(app, {{u"10/01/2024"_s, u"Glicemia"_s, u"96"_s},
                           {u"20/03/2024"_s, u"Glicemia"_s, u"128"_s, u"70-110"_s, true},
                           {u"20/03/2024"_s, u"Glicemia"_s, u"pos."_s}});
        fill(app, u"2024"_s, u"glicemia"_s, u"01"_s, u"Gennaio"_s, u"31"_s, u"Dicembre"_s);
        const QString chosen = app.path(u"Andamento glicemia"_s);
        viewSummary(app, [&](TfrmRiepLavoro &s) {
            app.dialogs->next<TfrmGrafico>([&](TfrmGrafico &g) {
                click(g.btnStampa);
                QCOMPARE(app.printing->printed.size(), 1);
                const PreparedReport &r = app.printing->printed[0];
                QCOMPARE(r.name, u"Andamento risultati"_s);
                QCOMPARE(r.pages.size(), 1);
                QCOMPARE(r.pages[0].orientation, QPageLayout::Landscape);
                QCOMPARE(r.pages[0].find(u"txtTitolo")->lines, QStringList{u"Andamento risultati - Glicemia (mg/dl)"_s});
                QCOMPARE(r.pages[0].find(u"txtPaziente")->lines,
                         QStringList{u"Codice fiscale paziente: "_s + kCode
                                     + u"     Intervallo selezionato: Dal 01/01/2024 al 31/12/2024"_s});
                QCOMPARE(r.pages[0].find(u"txtEsclusi")->lines,
                         QStringList{u"Risultati rappresentati: 2   -   Risultati non numerici esclusi dal grafico: 1"_s});
                QCOMPARE(r.pages[0].find(u"txtCalce")->lines,
                         QStringList{u"Stampa eseguita in data 10/12/2026 alle ore 10:30:15"_s});
                const PreparedItem *picture = r.pages[0].find(u"imgGrafico");
                QVERIFY(picture && picture->picture.width() >= 2400);

                // Saved where the user says; cancelling writes nothing.
                click(g.btnPDF);
                QCOMPARE(app.files->requests.size(), 1);
                QCOMPARE(app.files->requests[0].title, u"Salva il grafico in PDF"_s);
                QCOMPARE(app.files->requests[0].filter, u"Documenti PDF (*.pdf)"_s);
                QCOMPARE(app.files->requests[0].suggestedName,
                         app.path(u"Andamento_Glicemia_"_s + kCode + u".pdf"_s));
                QVERIFY(app.messages->shown.isEmpty());

                app.files->answers.push_back(chosen);
                click(g.btnPDF);
                QCOMPARE(app.messages->take(), QStringList{u"L'esportazione del grafico in PDF è terminata con "
                                                           u"successo.\n\r\n\rSi vuole aprire il file?"_s});
                QCOMPARE(app.shell->opened, QStringList{u"\""_s + chosen + u".pdf\""_s});
                const QString pdf = chosen + u".pdf"_s;
                QCOMPARE(pdfPageCount(pdf), 1);
                QVERIFY(pdfText(pdf).contains(u"Andamento risultati - Glicemia (mg/dl)"_s));
                QCOMPARE(pdfInfo(pdf, u"Title"_s), u"Andamento risultati"_s);
                keepForReview(pdf);
                g.reject();
            });
            click(s.btnGrafico);
        });
    }
};

QTEST_MAIN(TestSummaryScreens)
#include "tst_summary.moc"
