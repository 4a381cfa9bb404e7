// The report engine and the list template: the template as laid out on paper,
// the filling of a list, its pages, printing through the print seam and the
// PDF read back as a person would see it.
#include "common/ui/ListSummary.h"
#include "report/CardTemplate.h"
#include "report/ListTemplate.h"
#include "report/ReportFonts.h"
#include "report/ReportMessages.h"
#include "report/PrinterState.h"
#include "report/ReportRender.h"
#include "support/PdfTools.h"
#include "support/TestApp.h"

#include <QFontInfo>
#include <QListView>
#include <QListWidget>
#include <QSortFilterProxyModel>
#include <QStringListModel>
#include <QTemporaryDir>

Q_DECLARE_METATYPE(clinora::PrintOutcome)

using namespace Qt::StringLiterals;
using namespace clinora;
using namespace clinora::test;
using units::mm;

namespace {

QStringList numberedLines(int n)
{
    QStringList lines;
    for (int i = 1; i <= n; ++i)
        lines << u"Riga %1 del riepilogo"_s.arg(i, 3, 10, QChar(u'0'));
    return lines;
}

// Every line of txtRiepilogo, page by page.
QList<QStringList> linesPerPage(const PreparedReport &r)
{
    QList<QStringList> pages;
    for (const PreparedPage &p : r.pages) {
        const PreparedItem *body = p.find(u"txtRiepilogo");
        pages << (body ? body->lines : QStringList());
    }
    return pages;
}

bool near(double a, double b) { return std::abs(a - b) < 1e-3; }

} // namespace

class TestReport : public QObject {
    Q_OBJECT

private slots:
    void listTemplateLayout_data()
    {
        QTest::addColumn<QString>("object");
        QTest::addColumn<QString>("band");
        QTest::addColumn<QRectF>("frameMm");
        QTest::addColumn<QColor>("fill");
        QTest::addColumn<QString>("family");
        QTest::addColumn<double>("points");
        QTest::addColumn<bool>("bold");
        QTest::addColumn<QColor>("color");
        QTest::addColumn<int>("hAlign");
        QTest::addColumn<bool>("wrap");
        QTest::addColumn<QString>("text");
        const QColor slate(0x70, 0x80, 0x90);
        QTest::newRow("txtTitolo") << u"txtTitolo"_s << u"ReportTitle"_s << QRectF(2, 1, 273, 5) << slate
                                   << u"Verdana"_s << 9.0 << true << QColor(Qt::white) << int(Qt::AlignHCenter)
                                   << true << u"Riepilogo"_s;
        QTest::newRow("txtRiepilogo") << u"txtRiepilogo"_s << u"MasterData"_s << QRectF(3, 0, 273, 27) << QColor()
                                      << u"Courier New"_s << 8.0 << false << QColor(Qt::black)
                                      << int(Qt::AlignLeft) << false << QString();
        QTest::newRow("txtPagina") << u"txtPagina"_s << u"Footer"_s << QRectF(3, 2, 272, 5) << slate
                                   << u"Verdana"_s << 8.0 << true << QColor(Qt::white) << int(Qt::AlignHCenter)
                                   << true << u"Stampa eseguita in data [DATE]"_s;
    }

    void listTemplateLayout()
    {
        QFETCH(QString, object);
        QFETCH(QString, band);
        QFETCH(QRectF, frameMm);
        QFETCH(QColor, fill);
        QFETCH(QString, family);
        QFETCH(double, points);
        QFETCH(bool, bold);
        QFETCH(QColor, color);
        QFETCH(int, hAlign);
        QFETCH(bool, wrap);
        QFETCH(QString, text);

        const auto rep = report::makeListTemplate();
        QCOMPARE(rep->name(), u"Riepilogo dati"_s);
        QCOMPARE(rep->page1().name, u"Page"_s);
        QCOMPARE(rep->page1().orientation(), QPageLayout::Landscape);
        QVERIFY(near(rep->page1().printableArea().width(), mm(277)));
        QVERIFY(near(rep->page1().printableArea().height(), mm(190)));

        const Band &holder = rep->band(band);
        const auto &objects = holder.objects();
        QCOMPARE(objects.size(), std::size_t(1));
        QCOMPARE(objects.front()->name(), object);
        const TextObject &t = rep->text(object);
        QCOMPARE(static_cast<ReportComponent *>(const_cast<TextObject *>(&t)), rep->FindObject(object));
        const QRectF f = t.frame();
        QVERIFY(near(f.left(), mm(frameMm.left())) && near(f.top(), mm(frameMm.top())));
        QVERIFY(near(f.width(), mm(frameMm.width())) && near(f.height(), mm(frameMm.height())));
        QCOMPARE(t.look().fill, fill);
        QCOMPARE(t.look().font.family, family);
        QCOMPARE(t.look().font.pointSize, points);
        QCOMPARE(t.look().font.bold, bold);
        QCOMPARE(t.look().font.color, color);
        QCOMPARE(int(t.look().hAlign), hAlign);
        QCOMPARE(t.look().wordWrap, wrap);
        QVERIFY(t.look().expressions);
        QCOMPARE(t.text(), text);
    }

    void bandsAndLookups()
    {
        const auto rep = report::makeListTemplate();
        const auto &bands = rep->page1().bands();
        QCOMPARE(bands.size(), std::size_t(3));
        QCOMPARE(bands[0]->name(), u"ReportTitle"_s);
        QCOMPARE(bands[1]->name(), u"MasterData"_s);
        QCOMPARE(bands[2]->name(), u"Footer"_s);
        QVERIFY(near(bands[0]->height(), mm(8)) && near(bands[1]->height(), mm(28)) && near(bands[2]->height(), mm(8)));
        QCOMPARE(rep->FindObject(u"MasterData")->kind(), ObjectKind::Band);
        QCOMPARE(rep->FindObject(u"txtPagina")->kind(), ObjectKind::Text);
        QCOMPARE(rep->FindObject(u"txtNessuno"), nullptr);

        // Text operations: whole text, lines, heights.
        TextObject &t = rep->text(u"txtRiepilogo");
        t.setText(u"uno\r\ndue\ntre"_s);
        QCOMPARE(t.lineCount(), 3);
        t.clearLines();
        QCOMPARE(t.lineCount(), 0);
        t.addLine(u"quattro"_s);
        t.addLine(QString());
        QCOMPARE(t.lines(), QStringList({u"quattro"_s, QString()}));
        t.setHeight(25.644);
        QCOMPARE(t.height(), 25.644);
    }

    // Steps 1 to 7 of ListSummaryPrint and the pages they lay out into.
    void listPages_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<QList<int>>("perPage");
        QTest::newRow("empty list") << 0 << QList<int>{0};
        QTest::newRow("one line") << 1 << QList<int>{1};
        QTest::newRow("40 lines") << 40 << QList<int>{40};
        QTest::newRow("100 lines") << 100 << QList<int>{53, 47};
        QTest::newRow("250 lines") << 250 << QList<int>{53, 56, 56, 56, 29};
    }

    void listPages()
    {
        QFETCH(int, count);
        QFETCH(QList<int>, perPage);
        const auto rep = report::makeListTemplate();
        const QStringList lines = numberedLines(count);
        report::fillListSummary(*rep, u"Riepilogo pazienti"_s, lines);
        const TextObject &body = rep->text(u"txtRiepilogo");
        QCOMPARE(body.lineCount(), count);
        QVERIFY(near(body.height(), count * 12.822));
        QVERIFY(near(rep->band(u"MasterData").height(), count * 12.822 + 10));

        rep->PrepareReport(QDateTime(QDate(2026, 3, 9), QTime(8, 5, 0)));
        const PreparedReport &r = rep->prepared();
        QCOMPARE(r.name, u"Riepilogo dati"_s);
        QCOMPARE(r.pages.size(), perPage.size());
        QList<int> counts;
        QStringList all;
        for (const QStringList &page : linesPerPage(r)) {
            counts << int(page.size());
            all += page;
        }
        QCOMPARE(counts, perPage);
        QCOMPARE(all, lines); // every line once, in order

        const double margin = mm(10);
        // The title once, at the top of the first page.
        const PreparedItem *title = r.pages.first().find(u"txtTitolo");
        QVERIFY(title);
        QCOMPARE(title->lines, QStringList{u"Riepilogo pazienti"_s});
        QVERIFY(near(title->frame.top(), margin + mm(1)) && near(title->frame.left(), margin + mm(2)));
        for (qsizetype p = 1; p < r.pages.size(); ++p)
            QVERIFY(!r.pages[p].find(u"txtTitolo"));
        // The lines follow the title band, and continue at the top of the next pages.
        QVERIFY(near(r.pages.first().find(u"txtRiepilogo")->frame.top(), margin + mm(8)));
        if (r.pages.size() > 1 && perPage[1] > 0)
            QVERIFY(near(r.pages[1].find(u"txtRiepilogo")->frame.top(), margin));

        // The footer once, on the last page, straight after the last line and the band's extra.
        for (qsizetype p = 0; p + 1 < r.pages.size(); ++p)
            QVERIFY(!r.pages[p].find(u"txtPagina"));
        const PreparedPage &last = r.pages.last();
        const PreparedItem *footer = last.find(u"txtPagina");
        QVERIFY(footer);
        QCOMPARE(footer->lines, QStringList{u"Stampa eseguita in data 09/03/2026"_s});
        const PreparedItem *lastBody = last.find(u"txtRiepilogo");
        QVERIFY(lastBody);
        QVERIFY(near(lastBody->frame.height(), perPage.last() * 12.822));
        QVERIFY(near(footer->frame.top(), lastBody->frame.bottom() + 10 + mm(2)));
        QVERIFY(footer->frame.bottom() <= last.paperSize.height() - margin);
        QVERIFY(near(last.paperSize.width(), mm(297)) && near(last.paperSize.height(), mm(210)));
    }

    void secondPrintHoldsOnlyItsOwnLinesAndExtraLinesFollow()
    {
        const auto rep = report::makeListTemplate();
        report::fillListSummary(*rep, u"Primo"_s, numberedLines(100));
        rep->PrepareReport(QDateTime(QDate(2026, 1, 1), QTime()));
        QCOMPARE(rep->prepared().pages.size(), 2);

        const QStringList extra{u"- - - - - - - - - - - - - - - -"_s, u"INTERVALLO SELEZIONATO:    Dal"_s,
                                u"TOTALE ANALISI CLINICHE:   2"_s};
        report::fillListSummary(*rep, u"Secondo"_s, {u"a"_s, u"b"_s}, extra);
        rep->PrepareReport(QDateTime(QDate(2026, 1, 2), QTime()));
        const PreparedReport &r = rep->prepared();
        QCOMPARE(r.pages.size(), 1);
        QCOMPARE(r.pages[0].find(u"txtTitolo")->lines, QStringList{u"Secondo"_s});
        QCOMPARE(r.pages[0].find(u"txtRiepilogo")->lines, QStringList({u"a"_s, u"b"_s}) + extra);
        QVERIFY(near(rep->band(u"MasterData").height(), 5 * 12.822 + 10));
        QCOMPARE(r.pages[0].find(u"txtPagina")->lines.constFirst(), u"Stampa eseguita in data 02/01/2026"_s);

        // Without clearing, pages add up.
        rep->PrepareReport(QDateTime(QDate(2026, 1, 2), QTime()), false);
        QCOMPARE(rep->prepared().pages.size(), 2);
    }

    // Only the template's own text, where expressions are on, and only
    // expressions the engine knows: what the program writes in prints as it is.
    void expressions()
    {
        const auto rep = report::makeListTemplate();
        report::fillListSummary(*rep, u"Al [date]"_s, {u"Emoglobina [HbA1c]  [DATE]"_s, u"[ DATE ]"_s});
        QCOMPARE(rep->text(u"txtPagina").text(), u"Stampa eseguita in data [DATE]"_s);
        const auto card = report::makeCardTemplate(u"Prova"_s);
        card->page1().addText(u"txtValore"_s, units::mmRect(0, 0, 50, 6), report::cardText(u"Arial"_s, 10));
        card->page1().addText(u"txtCalce"_s, units::mmRect(0, 10, 120, 6), report::cardText(u"Arial"_s, 10));
        const QDateTime now(QDate(2026, 12, 10), QTime(9, 7, 3));
        report::prepareCard(*card, {{u"txtValore"_s, u"[DATE]"_s}}, u"txtCalce", now);
        rep->PrepareReport(now);

        QCOMPARE(rep->prepared().pages[0].find(u"txtTitolo")->lines, QStringList{u"Al [date]"_s});
        QCOMPARE(rep->prepared().pages[0].find(u"txtRiepilogo")->lines,
                 QStringList({u"Emoglobina [HbA1c]  [DATE]"_s, u"[ DATE ]"_s}));
        QCOMPARE(rep->prepared().pages[0].find(u"txtPagina")->lines,
                 QStringList{u"Stampa eseguita in data 10/12/2026"_s});
        const PreparedPage &page = card->prepared().pages.constFirst();
        QCOMPARE(page.find(u"txtValore")->lines, QStringList{u"[DATE]"_s});
        QCOMPARE(page.find(u"txtCalce")->lines,
                 QStringList{u"Stampa eseguita in data 10/12/2026 alle ore 09:07:03"_s});
        QCOMPARE(card->page1().orientation(), QPageLayout::Portrait);
    }

    // What a card template like the analysis card needs beyond the patient
    // card's: framed and filled shapes and a vertical line, on paper.
    void shapesAndVerticalLines()
    {
        const auto card = report::makeCardTemplate(u"Scheda Esame Clinico"_s);
        ReportPage &page = card->page1();
        page.addShape(u"shpTestata"_s, units::mmRect(1, 1, 188, 5.8), {QColor(0xB0, 0xC4, 0xDE), QColor(), 0});
        page.addShape(u"shpRiga01"_s, units::mmRect(1, 7, 188, 4.6), {QColor(), Qt::black, 1});
        page.addLine(u"linVerticale"_s, units::mmRect(42, 7, 0, 64.6), {Qt::black, 1, Qt::Vertical});
        page.addText(u"txtCalce"_s, units::mmRect(2, 73, 185.8, 4.2),
                     report::cardText(u"Arial"_s, 8, Qt::black, QColor(), Qt::AlignHCenter));
        report::prepareCard(*card, {}, u"txtCalce", QDateTime(QDate(2026, 5, 4), QTime(7, 8, 9)));
        const PreparedPage &p = card->prepared().pages.constFirst();
        QCOMPARE(p.items.size(), 4);
        QCOMPARE(p.find(u"linVerticale")->frame, units::mmRect(52, 17, 0, 64.6));

        const QTemporaryDir dir;
        PdfExport pdf;
        pdf.fileName = dir.filePath(u"esame.pdf"_s);
        QVERIFY(report::writePdf(card->prepared(), pdf));
        const QImage image = pdfPage(pdf.fileName, 1, 96);
        auto colorAt = [&](double xMm, double yMm) { return image.pixelColor(qRound(mm(xMm)), qRound(mm(yMm))); };
        // A thin line is drawn with soft edges: the darkest pixel across it.
        auto darkestAcross = [&](double xMm, double yMm) {
            int darkest = 255;
            for (int dx = -2; dx <= 2; ++dx)
                darkest = std::min(darkest, qGray(image.pixel(qRound(mm(xMm)) + dx, qRound(mm(yMm)))));
            return darkest;
        };
        QCOMPARE(colorAt(100, 13.9), QColor(0xB0, 0xC4, 0xDE));            // the filled header
        QVERIFY(darkestAcross(11, 19.3) < 100);                            // the row's frame, left side
        QCOMPARE(colorAt(100, 19.3), QColor(Qt::white));                   // inside the frame
        QVERIFY(darkestAcross(52, 50) < 100);                              // the vertical line
        QCOMPARE(colorAt(55, 50), QColor(Qt::white));
    }

    void printGoesThroughTheDialog()
    {
        TestApp app(false);
        const auto rep = report::makeListTemplate();
        QListWidget list;
        list.addItems({u"uno"_s, u"due"_s});

        // No printer: the engine says so, no dialog, nothing printed.
        app.printing->installed = false;
        ListSummaryPrint(*app.services, *rep, u"Titolo"_s, &list);
        QCOMPARE(app.messages->shown.size(), 1);
        QCOMPARE(app.messages->shown[0].kind, MsgKind::Warning);
        QCOMPARE(app.messages->take(), QStringList{report::msg::kNoPrinter.toString()});
        QVERIFY(app.printing->dialogs.isEmpty());

        // Cancelled: nothing printed, nothing said.
        app.printing->installed = true;
        app.printing->answers = {false};
        ListSummaryPrint(*app.services, *rep, u"Titolo"_s, &list);
        QCOMPARE(app.printing->dialogs.size(), 1);
        QVERIFY(app.printing->printed.isEmpty());
        QVERIFY(app.messages->shown.isEmpty());

        // Printed: the job carries the template's name.
        ListSummaryPrint(*app.services, *rep, u"Titolo"_s, &list);
        QCOMPARE(app.printing->printed.size(), 1);
        QCOMPARE(app.printing->printed[0].name, u"Riepilogo dati"_s);
        QVERIFY(app.messages->shown.isEmpty());
    }

    // What the print system does with the job, told to the user: a printer
    // that refuses jobs or is stopped gets nothing and is named with the
    // print system's reason; a send or a file that fails is an error.
    void printSystemAnswersAreSaid_data()
    {
        using Kind = PrintOutcome::Kind;
        QTest::addColumn<PrintOutcome>("outcome");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("message");
        QTest::newRow("refuses jobs")
            << PrintOutcome{Kind::NotAccepting, u"PDF"_s, u"Rejecting Jobs"_s, false} << int(MsgKind::Warning)
            << u"Attenzione: la stampante \"PDF\" non accetta nuove stampe.\n\r\n\rIl sistema di stampa "
               u"riferisce: Rejecting Jobs\n\r\n\rLa stampa non è stata inviata."_s;
        QTest::newRow("stopped, no reason")
            << PrintOutcome{Kind::Stopped, u"Ufficio"_s, QString(), false} << int(MsgKind::Warning)
            << u"Attenzione: la stampante \"Ufficio\" è ferma.\n\r\n\rLa stampa non è stata inviata: riattivare "
               u"la stampante e ripetere la stampa."_s;
        QTest::newRow("send failed")
            << PrintOutcome{Kind::Failed, u"Ufficio"_s, u"client-error-not-possible"_s, false} << int(MsgKind::Error)
            << u"Errore: non è stato possibile inviare la stampa alla stampante \"Ufficio\".\n\r\n\rIl sistema "
               u"di stampa riferisce: client-error-not-possible"_s;
        QTest::newRow("file failed") << PrintOutcome{Kind::Failed, u"/x/stampa.pdf"_s, QString(), true}
                                     << int(MsgKind::Error) << report::msg::pdfFailed(u"/x/stampa.pdf"_s);
    }
    void printSystemAnswersAreSaid()
    {
        QFETCH(PrintOutcome, outcome);
        QFETCH(int, kind);
        QFETCH(QString, message);
        TestApp app(false);
        const auto rep = report::makeListTemplate();
        QListWidget list;
        list.addItems({u"uno"_s});
        app.printing->outcomes = {outcome};
        ListSummaryPrint(*app.services, *rep, u"Titolo"_s, &list);
        QCOMPARE(app.printing->dialogs.size(), 1);
        QVERIFY(app.printing->printed.isEmpty());
        QCOMPARE(app.messages->shown.size(), 1);
        QCOMPARE(int(app.messages->shown[0].kind), kind);
        QCOMPARE(app.messages->take(), QStringList{message});
    }

    // The lines as the list shows them: a sorted list widget, or a view over
    // a model that sorts.
    // What the print system's attributes say of a printer, read without a
    // print system: an idle or busy printer prints, only a stopped one holds.
    void printerStateFromItsAttributes_data()
    {
        QTest::addColumn<QString>("accepting");
        QTest::addColumn<QString>("state");
        QTest::addColumn<QString>("reasons");
        QTest::addColumn<bool>("takesJobs");
        QTest::addColumn<bool>("stopped");
        QTest::addColumn<QString>("reason");
        QTest::newRow("idle") << u"true"_s << u"3"_s << u"none"_s << true << false << QString();
        QTest::newRow("printing") << u"true"_s << u"4"_s << u"none"_s << true << false << QString();
        QTest::newRow("stopped") << u"true"_s << u"5"_s << u"paused"_s << true << true << u"paused"_s;
        QTest::newRow("refusing jobs") << u"false"_s << u"3"_s << u"none"_s << false << false << QString();
        QTest::newRow("nothing said") << QString() << QString() << QString() << true << false << QString();
    }

    void printerStateFromItsAttributes()
    {
        QFETCH(QString, accepting);
        QFETCH(QString, state);
        QFETCH(QString, reasons);
        QFETCH(bool, takesJobs);
        QFETCH(bool, stopped);
        QFETCH(QString, reason);
        const printer::State s = printer::stateFromAttributes([&](const char *name) {
            const QByteArray n(name);
            if (n == "printer-is-accepting-jobs")
                return accepting;
            if (n == "printer-state")
                return state;
            if (n == "printer-state-reasons")
                return reasons;
            return QString();
        });
        QVERIFY(s.known);
        QCOMPARE(s.accepting, takesJobs);
        QCOMPARE(s.stopped, stopped);
        QCOMPARE(s.reason, reason);
    }

    void listSummaryTakesTheListInItsOrder()
    {
        TestApp app(false);
        const auto rep = report::makeListTemplate();
        QListWidget sorted;
        sorted.setSortingEnabled(true);
        sorted.addItems({u"Verdi"_s, u"Bianchi"_s, u"Rossi"_s});
        ListSummaryPrint(*app.services, *rep, u"Riepilogo pazienti"_s, &sorted, {u"in fondo"_s});
        QCOMPARE(app.printing->printed.last().pages[0].find(u"txtRiepilogo")->lines,
                 QStringList({u"Bianchi"_s, u"Rossi"_s, u"Verdi"_s, u"in fondo"_s}));

        QStringListModel model({u"c"_s, u"a"_s, u"b"_s});
        QSortFilterProxyModel proxy;
        proxy.setSourceModel(&model);
        proxy.sort(0);
        QListView view;
        view.setModel(&proxy);
        ListSummaryPrint(*app.services, *rep, u"Vista"_s, &view);
        QCOMPARE(app.printing->printed.last().pages[0].find(u"txtRiepilogo")->lines,
                 QStringList({u"a"_s, u"b"_s, u"c"_s}));
        QCOMPARE(app.printing->printed.last().pages[0].find(u"txtTitolo")->lines, QStringList{u"Vista"_s});
    }

    // The fonts of the templates or their metric twins are there, so the
    // layout holds on paper.
    void fontsHaveTheirWidths()
    {
        QFont arial = report::reportFont(u"Arial"_s, 10, false);
        QFont courier = report::reportFont(u"Courier New"_s, 8, false);
        const QString a = QFontInfo(arial).family(), c = QFontInfo(courier).family();
        QVERIFY2(a == u"Arial"_s || a == u"Liberation Sans"_s, qUtf8Printable(a));
        QVERIFY2(c == u"Courier New"_s || c == u"Liberation Mono"_s, qUtf8Printable(c));
        QVERIFY(QFontInfo(courier).fixedPitch());
        // Tahoma's twin lies outside the system's font folders; the program
        // finds it itself.
        const QString t = QFontInfo(report::reportFont(u"Tahoma"_s, 12, false)).family();
        QVERIFY2(t == u"Tahoma"_s, qUtf8Printable(t));
    }

    // The whole way to paper: a list of 100 lines printed to PDF and read back.
    void listPdfReadBack()
    {
        TestApp app(false);
        app.printing->renderTo = app.path(u"Riepilogo_dati.pdf"_s);
        const auto rep = report::makeListTemplate();
        QListWidget list;
        QStringList lines = numberedLines(100);
        lines[0] = u"Cod. 20240105  Data: 05/01/2024  Glicemia  Valore: 98,5  UM: mg/dl"_s;
        lines[1] = QString(200, u'W'); // wider than the frame
        list.addItems(lines);
        ListSummaryPrint(*app.services, *rep, u"Riepilogo analisi cliniche di Rossi Mario"_s, &list);

        const QString pdf = app.printing->renderTo;
        keepForReview(pdf);
        QCOMPARE(pdfPageCount(pdf), 2);
        QVERIFY2(pdfInfo(pdf, u"Page size"_s).contains(u"842 x 595"_s), qUtf8Printable(pdfInfo(pdf, u"Page size"_s)));
        // The text as read back, blanks run together.
        QStringList pages = pdfText(pdf).split(u'\f');
        QVERIFY(pages.size() >= 2);
        for (QString &p : pages)
            p = p.simplified();
        QVERIFY(pages[0].contains(u"Riepilogo analisi cliniche di Rossi Mario"_s));
        QVERIFY(pages[0].contains(u"Cod. 20240105 Data: 05/01/2024 Glicemia Valore: 98,5 UM: mg/dl"_s));
        // The wide line takes two printed lines: one line fewer on the first page.
        QVERIFY(pages[0].contains(u"Riga 052 del riepilogo"_s));
        QVERIFY(!pages[0].contains(u"Riga 053"_s));
        QVERIFY(!pages[0].contains(u"Stampa eseguita"_s));
        QVERIFY(pages[1].contains(u"Riga 053 del riepilogo"_s));
        QVERIFY(pages[1].contains(u"Riga 100 del riepilogo"_s));
        QVERIFY(pages[1].indexOf(u"Stampa eseguita in data 10/12/2026"_s) > pages[1].indexOf(u"Riga 100"_s));

        // The wide line is not cut: every letter is there, and the ink goes up
        // to the frame's right edge, none beyond it.
        QCOMPARE(pages[0].count(u'W'), 200);
        const QImage page = pdfPage(pdf, 1, 96); // one pixel per report unit
        QVERIFY(!page.isNull());
        const int right = qRound(mm(10 + 3 + 273));
        const int top = qRound(mm(10 + 8) + 12.822), bottom = qRound(mm(10 + 8) + 2 * 12.822);
        auto inked = [&](int x0, int x1, int y0, int y1) {
            for (int y = y0; y < y1; ++y)
                for (int x = x0; x < x1; ++x)
                    if (qGray(page.pixel(x, y)) < 160)
                        return true;
            return false;
        };
        QVERIFY(inked(right - 40, right - 2, top + 2, bottom - 2));
        QVERIFY(!inked(right + 2, page.width(), top, bottom));
    }
};

QTEST_MAIN(TestReport)
#include "tst_report.moc"
