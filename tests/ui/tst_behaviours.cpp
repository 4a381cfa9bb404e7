// The shared screen behaviours: focus highlight, Enter-to-next, hint line.
#include "common/ui/Behaviours.h"
#include "common/ui/Widgets.h"
#include "support/TestApp.h"

#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>

using namespace Qt::StringLiterals;
using namespace clinora;
using namespace clinora::test;

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
};

QTEST_MAIN(TestBehaviours)
#include "tst_behaviours.moc"
