// The shared screen behaviours: focus highlight, Enter-to-next, hint line;
// kept drawings and the painting of text lists.
#include "analyses/ui/LineList.h"
#include "common/ui/Behaviours.h"
#include "common/ui/Widgets.h"
#include "support/TestApp.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>

using namespace Qt::StringLiterals;
using namespace clinora;
using namespace clinora::test;

namespace {

// The largest difference of one channel between two pictures of one size,
// premultiplied: where a picture is all but transparent its colour counts little.
int worstDifference(const QImage &a, const QImage &b)
{
    if (a.size() != b.size())
        return 256;
    const QImage pa = a.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const QImage pb = b.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    int worst = 0;
    for (int y = 0; y < pa.height(); ++y) {
        const auto *lineA = reinterpret_cast<const QRgb *>(pa.constScanLine(y));
        const auto *lineB = reinterpret_cast<const QRgb *>(pb.constScanLine(y));
        for (int x = 0; x < pa.width(); ++x) {
            const QRgb p = lineA[x], q = lineB[x];
            worst = std::max({worst, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                              std::abs(qBlue(p) - qBlue(q)), std::abs(qAlpha(p) - qAlpha(q))});
        }
    }
    return worst;
}

// The names a file chooser's list shows, in order.
QStringList namesListed(const QListView *view)
{
    QStringList listed;
    for (int r = 0; r < view->model()->rowCount(view->rootIndex()); ++r)
        listed << view->model()->index(r, 0, view->rootIndex()).data().toString();
    listed.sort();
    return listed;
}

struct BoxKind {
    const char *name;
    MsgKind kind;
};
const BoxKind kBoxKinds[] = {{"information", MsgKind::Information},
                             {"warning", MsgKind::Warning},
                             {"error", MsgKind::Error}};

} // namespace

class TestBehaviours : public QObject {
    Q_OBJECT
private slots:
    void focusHighlightFollowsFocus()
    {
        QWidget w;
        auto *a = new QLineEdit(&w);
        auto *b = new QLineEdit(&w);
        a->setGeometry(20, 20, 100, 22);
        b->setGeometry(20, 60, 100, 22);
        FocusHighlight *ha = FocusHighlight::attach(a, u"effA"_s);
        FocusHighlight *hb = FocusHighlight::attach(b, u"effB"_s);
        QCOMPARE(ha->geometry(), QRect(16, 16, 108, 30)); // 4 larger on every side
        activate(&w);
        a->setFocus();
        QVERIFY(ha->isVisible() && !hb->isVisible());
        QTest::keyClick(a, Qt::Key_Tab);
        QVERIFY(!ha->isVisible() && hb->isVisible());
        click(a);
        QVERIFY(ha->isVisible() && !hb->isVisible());
        QCOMPARE(w.findChild<QWidget *>(u"effB"_s), hb);
    }

    void enterMovesAlongRing()
    {
        QWidget w;
        auto *a = new QLineEdit(&w), *b = new QLineEdit(&w), *c = new QLineEdit(&w);
        enterRing({a, b, c});
        activate(&w);
        a->setFocus();
        type(a, u"x"_s);
        pressEnter(a);
        QCOMPARE(focused(), b);
        pressKey(b, Qt::Key_Enter); // the keypad's Enter too
        QCOMPARE(focused(), c);
        pressEnter(c);
        QCOMPARE(focused(), a);
        QCOMPARE(a->text(), u"x"_s);
    }

    void hintLine()
    {
        QWidget w;
        auto *board = new QWidget(&w);
        board->setGeometry(0, 0, 300, 200);
        auto *cmd = new PictureButton(board, u"cmdSalva"_s, u"Salva"_s, art::Glyph::Save);
        cmd->setGeometry(10, 10, 148, 32);
        auto *input = new QLineEdit(board);
        input->setGeometry(10, 100, 100, 22);
        auto *panInfo = new QLabel(u"Pronto per archiviare una nuova scheda..."_s, &w);
        HintLine hints(panInfo);
        hints.addCommand(cmd, u"Salva la scheda corrente in archivio."_s);
        hints.addBackground({board});
        activate(&w);

        QEvent enter(QEvent::Enter);
        QCoreApplication::sendEvent(cmd, &enter);
        QCOMPARE(panInfo->text(), u"Salva la scheda corrente in archivio."_s);
        QTest::mouseMove(input); // an input leaves the line alone
        QCOMPARE(panInfo->text(), u"Salva la scheda corrente in archivio."_s);
        QMouseEvent move(QEvent::MouseMove, QPointF(250, 150), board->mapToGlobal(QPointF(250, 150)),
                         Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(board, &move);
        QCOMPARE(panInfo->text(), QString()); // emptied, not back to its design text
    }

    // The real message boxes, as the program shows them: their buttons and
    // default, each break pair shown as one line break, and what a box closed
    // without choosing answers.
    void realMessageBoxes_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QStringList>("buttons");
        QTest::addColumn<QString>("defaultButton");
        QTest::addColumn<QString>("action"); // the default button pressed, Esc, or the window closed
        QTest::addColumn<int>("answer");
        const QStringList okCancel = {u"OK"_s, u"Annulla"_s};
        const QStringList yesNo = {u"Sì"_s, u"No"_s};
        for (const BoxKind &k : kBoxKinds) {
            QTest::addRow("%s, Enter", k.name) << int(k.kind) << okCancel << u"OK"_s << u"enter"_s
                                               << int(MsgAnswer::Ok);
            QTest::addRow("%s, Esc", k.name) << int(k.kind) << okCancel << u"OK"_s << u"esc"_s
                                             << int(MsgAnswer::Cancel);
        }
        QTest::newRow("plain, Esc") << int(MsgKind::Plain) << QStringList{u"OK"_s} << u"OK"_s << u"esc"_s
                                    << int(MsgAnswer::Ok);
        QTest::newRow("confirmation, Enter") << int(MsgKind::Confirmation) << yesNo << u"Sì"_s << u"enter"_s
                                             << int(MsgAnswer::Yes);
        QTest::newRow("confirmation, No") << int(MsgKind::Confirmation) << yesNo << u"Sì"_s << u"no"_s
                                          << int(MsgAnswer::No);
        QTest::newRow("confirmation, Esc") << int(MsgKind::Confirmation) << yesNo << u"Sì"_s << u"esc"_s
                                           << int(MsgAnswer::Closed);
        QTest::newRow("confirmation, closed") << int(MsgKind::Confirmation) << yesNo << u"Sì"_s << u"close"_s
                                              << int(MsgAnswer::Closed);
    }
    void realMessageBoxes()
    {
        QFETCH(int, kind);
        QFETCH(QStringList, buttons);
        QFETCH(QString, defaultButton);
        QFETCH(QString, action);
        QFETCH(int, answer);
        const auto services = Services::createDefault(QDir::tempPath());
        QWidget owner;
        activate(&owner);
        bool seen = false;
        QString shownText;
        QStringList shownButtons;
        QString shownDefault;
        // Polled until the box is up; any box still up after the check is
        // rejected, so that a failure cannot leave the test waiting.
        QTimer poll;
        poll.setInterval(10);
        connect(&poll, &QTimer::timeout, this, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box || seen)
                return;
            seen = true;
            shownText = box->text();
            for (QAbstractButton *b : box->buttons())
                shownButtons << b->text();
            shownDefault = box->defaultButton() ? box->defaultButton()->text() : QString();
            if (action == u"enter"_s) {
                QTest::keyClick(box, Qt::Key_Return);
            } else if (action == u"esc"_s) {
                QTest::keyClick(box, Qt::Key_Escape);
            } else if (action == u"close"_s) {
                box->close();
            } else {
                for (QAbstractButton *b : box->buttons())
                    if (b->text() == u"No"_s)
                        b->click();
            }
            QTimer::singleShot(500, box, [box] {
                if (box->isVisible())
                    box->done(-1);
            });
        });
        poll.start();
        const MsgAnswer got = services->messages->show(&owner, MsgKind(kind), u"Prima riga.\n\r\n\rSeconda riga.\r\nTerza."_s);
        poll.stop();
        QVERIFY(seen);
        QCOMPARE(shownText, u"Prima riga.\n\nSeconda riga.\nTerza."_s);
        std::sort(shownButtons.begin(), shownButtons.end());
        std::sort(buttons.begin(), buttons.end());
        QCOMPARE(shownButtons, buttons);
        QCOMPARE(shownDefault, defaultButton);
        QCOMPARE(int(got), answer);
    }

    // Closing a confirmation without choosing lets the command go on, except
    // where going on would replace the user's data.
    void closedConfirmationGoesOn()
    {
        TestApp app;
        app.messages->answers = {MsgAnswer::Closed, MsgAnswer::Closed, MsgAnswer::No, MsgAnswer::Yes};
        QVERIFY(app.services->confirm(nullptr, u"?"_s));
        QVERIFY(!app.services->confirmYes(nullptr, u"?"_s));
        QVERIFY(!app.services->confirm(nullptr, u"?"_s));
        QVERIFY(app.services->confirmYes(nullptr, u"?"_s));
    }

    // The real file chooser: "*.*" lists a file without an extension too,
    // and the filter reads as given.
    void fileChooserListsEveryFile()
    {
        QTemporaryDir dir;
        for (const QString &name : {u"referto"_s, u"esame.pdf"_s}) {
            QFile f(dir.filePath(name));
            QVERIFY(f.open(QIODevice::WriteOnly));
        }
        const std::unique_ptr<QFileDialog> d =
            makeOpenFileDialog(nullptr, u"Selezionare il file da allegare:"_s, u"Tutti i file (*.*)"_s);
        d->setOption(QFileDialog::DontUseNativeDialog);
        d->setDirectory(dir.path());
        d->show();
        auto *names = d->findChild<QComboBox *>(u"fileTypeCombo"_s);
        QVERIFY(names);
        QCOMPARE(names->currentText(), u"Tutti i file (*.*)"_s);
        auto *view = d->findChild<QListView *>(u"listView"_s);
        QVERIFY(view);
        QTRY_COMPARE_WITH_TIMEOUT(namesListed(view), (QStringList{u"esame.pdf"_s, u"referto"_s}), 5000);
    }

    // A drawing kept under a key is drawn once for every size, whichever
    // picture shows it, and looks as the same drawing made afresh.
    void keptDrawingIsDrawnOnce()
    {
        int drawn = 0;
        const PaintFn paint = [&drawn](QPainter &p, const QRectF &r) {
            ++drawn;
            p.setBrush(QColor(22, 72, 150));
            p.drawRoundedRect(r.adjusted(0.5, 0.5, -0.5, -0.5), 8, 8);
            p.drawText(r, Qt::AlignCenter, u"Titolo"_s);
        };
        QWidget window;
        window.resize(300, 200);
        window.setFont(QFont(u"DejaVu Serif"_s, 16, QFont::Bold)); // the pictures' own, not the program's
        auto *fresh = new Picture(&window, u"fresh"_s, paint);
        auto *first = new Picture(&window, u"first"_s, paint);
        auto *second = new Picture(&window, u"second"_s, paint);
        for (Picture *p : {fresh, first, second})
            p->setGeometry(0, 0, 120, 40);
        first->keepDrawing(u"test|banner"_s);
        second->keepDrawing(u"test|banner"_s);
        const QImage direct = fresh->grab().toImage();
        QCOMPARE(drawn, 1);
        const QImage kept = first->grab().toImage();
        const int worst = worstDifference(direct, kept);
        QVERIFY2(worst <= 3, qPrintable(u"differs by %1"_s.arg(worst))); // smoothing rounds a little differently
        QCOMPARE(second->grab().toImage(), kept);
        QCOMPARE(drawn, 2);
        second->resize(121, 40);
        (void)second->grab();
        QCOMPARE(drawn, 3);
        (void)fresh->grab();
        QCOMPARE(drawn, 4);
    }

    // A button's glyph, kept from its first drawing, looks as the glyph drawn
    // in place, at either size and whether the button is enabled or not.
    void keptButtonGlyphLooksAsDrawnInPlace()
    {
        QWidget window;
        window.resize(200, 100);
        for (const int side : {56, 45}) {
            for (const bool enabled : {true, false}) {
                auto *button = new PictureButton(&window, u"cmdGuida"_s, u"Guida"_s, art::Glyph::Help,
                                                 PictureButton::Style::Icon);
                button->setGeometry(0, 0, side, side);
                button->setEnabled(enabled);
                auto *inPlace = new Picture(&window, u"imgGuida"_s, [enabled](QPainter &p, const QRectF &r) {
                    if (!enabled)
                        p.setOpacity(0.45);
                    art::drawGlyph(p, r.adjusted(2.5, 2.5, -2.5, -2.5), art::Glyph::Help);
                });
                inPlace->setGeometry(0, 0, side, side);
                for (int round = 0; round < 2; ++round) { // drawn, then kept
                    QVERIFY2(worstDifference(button->grab().toImage(), inPlace->grab().toImage()) <= 3,
                             qPrintable(u"side %1, enabled %2, round %3"_s.arg(side).arg(enabled).arg(round)));
                }
                delete button;
                delete inPlace;
            }
        }
    }

    // The lines of a text list show their text, and the selected one on the
    // selection's colour.
    void textListPaintsLinesAndSelection()
    {
        QWidget window;
        window.resize(500, 300);
        auto *list = new LineList(&window, u"lstRecords"_s, u"Elenco"_s, QRect(0, 0, 400, 200), 380);
        list->setLines(QStringList{u"Cod. 20240315  Data: 15/03/2024"_s, u"Cod. 20240316  Data: 16/03/2024"_s});
        list->selectRow(1);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QImage shot = list->viewport()->grab().toImage();
        const QRect row0 = list->visualRect(list->model()->index(0, 0));
        const QRect row1 = list->visualRect(list->model()->index(1, 0));
        const QColor highlight = list->palette().color(QPalette::Active, QPalette::Highlight);
        const auto count = [&](const QRect &r, auto wanted) {
            int n = 0;
            for (int y = r.top(); y <= r.bottom(); ++y)
                for (int x = r.left(); x < std::min(r.right(), 300); ++x)
                    n += wanted(QColor(shot.pixel(x, y))) ? 1 : 0;
            return n;
        };
        const auto dark = [](const QColor &c) { return c.lightness() < 100; };
        QVERIFY(count(row0, dark) > 50);                                          // text, black on white
        QCOMPARE(count(row0, [&](const QColor &c) { return c == highlight; }), 0); // not selected
        QVERIFY(count(row1, [&](const QColor &c) { return c == highlight; }) > row1.height() * 100);
    }
};

QTEST_MAIN(TestBehaviours)
#include "tst_behaviours.moc"
