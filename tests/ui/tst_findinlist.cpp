// "Trova" on the list screens: the shared find-in-list command, driven as a
// user would (type a key, press the button again and again).
#include "common/ui/FindInList.h"
#include "support/TestApp.h"

#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QPushButton>
#include <QStringListModel>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;
using namespace clinora;
using namespace clinora::test;

namespace {

// A list screen as the list screens build theirs.
struct ListScreen {
    ListScreen(TestApp &app, FindScreen kind, const QStringList &lines, QAbstractItemView *list = nullptr)
    {
        auto *layout = new QVBoxLayout(&screen);
        txtTrova = new QLineEdit(&screen);
        btnTrova = new QPushButton(u"Trova"_s, &screen);
        btnTrova->setAutoDefault(false);
        if (list) {
            lstRecords = list;
            list->setParent(&screen);
        } else {
            auto *widget = new QListWidget(&screen);
            widget->addItems(lines);
            lstRecords = widget;
        }
        layout->addWidget(txtTrova);
        layout->addWidget(btnTrova);
        layout->addWidget(lstRecords);
        FindInList::attach(*app.services, app.ctx->findKeys, kind, &screen, txtTrova, btnTrova, lstRecords);
    }

    void select(int row)
    {
        if (row >= 0)
            lstRecords->setCurrentIndex(lstRecords->model()->index(row, 0));
    }
    void find(const QString &key)
    {
        txtTrova->setText(key);
        click(btnTrova);
    }
    int selected() const
    {
        const QModelIndexList rows = lstRecords->selectionModel()->selectedIndexes();
        return rows.isEmpty() ? -1 : rows.first().row();
    }

    QWidget screen;
    QLineEdit *txtTrova;
    QPushButton *btnTrova;
    QAbstractItemView *lstRecords;
};

} // namespace

class TestFindInList : public QObject {
    Q_OBJECT

private slots:
    // Keys pressed in turn, and the line selected after each press.
    void find_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<int>("selectedBefore");
        QTest::addColumn<QStringList>("keys");
        QTest::addColumn<QList<int>>("selectedAfter");
        const QStringList names{u"Rossi Mario"_s, u"Bianchi Anna"_s, u"Rossini Carlo"_s};
        QTest::newRow("same key moves on and wraps")
            << names << -1 << QStringList{u"rossi"_s, u"rossi"_s, u"rossi"_s} << QList<int>{0, 2, 0};
        QTest::newRow("a new key starts at the first line")
            << names << 2 << QStringList{u"rossi"_s, u"bianchi"_s, u"rossi"_s} << QList<int>{0, 1, 0};
        QTest::newRow("the selected line is tested last")
            << QStringList{u"anna"_s, u"carlo"_s, u"dario"_s} << -1 << QStringList{u"anna"_s, u"anna"_s}
            << QList<int>{0, 0};
        QTest::newRow("no match keeps the selection") << names << 1 << QStringList{u"verdi"_s} << QList<int>{1};
        QTest::newRow("nothing selected selects the first") << names << -1 << QStringList{u"verdi"_s} << QList<int>{0};
        QTest::newRow("an empty key matches nothing")
            << names << 1 << QStringList{QString(), QString()} << QList<int>{1, 1};
        QTest::newRow("case of A-Z only") << QStringList{u"PERCHÈ NO"_s, u"perchè sì"_s, u"ROSSI"_s} << -1
                                          << QStringList{u"perchè"_s, u"PERCHÈ"_s, u"Rossi"_s}
                                          << QList<int>{1, 0, 2};
        QTest::newRow("the key is not trimmed")
            << QStringList{u"rossi mario"_s, u"mario rossi"_s} << -1 << QStringList{u" rossi"_s} << QList<int>{1};
        QTest::newRow("a key typed again after another")
            << QStringList{u"a1"_s, u"b"_s, u"a2"_s} << -1 << QStringList{u"a"_s, u"a"_s, u"b"_s, u"a"_s, u"a"_s}
            << QList<int>{0, 2, 1, 0, 2};
    }

    void find()
    {
        QFETCH(QStringList, lines);
        QFETCH(int, selectedBefore);
        QFETCH(QStringList, keys);
        QFETCH(QList<int>, selectedAfter);
        TestApp app(false);
        ListScreen s(app, FindScreen::TrovaClienti, lines);
        s.select(selectedBefore);
        QList<int> after;
        for (const QString &key : keys) {
            s.find(key);
            after << s.selected();
        }
        QCOMPARE(after, selectedAfter);
        QVERIFY(app.messages->shown.isEmpty());
        QCOMPARE(app.ctx->findKeys[FindScreen::TrovaClienti], keys.last().toLower());
    }

    void emptyList()
    {
        TestApp app(false);
        ListScreen s(app, FindScreen::Allarmanti, {});
        s.find(u"rossi"_s);
        QCOMPARE(app.messages->shown.size(), 1);
        QCOMPARE(app.messages->shown[0].kind, MsgKind::Plain);
        QCOMPARE(app.messages->shown[0].text, u"Ricerca non applicabile: la lista non contiene nessuna voce."_s);
        QCOMPARE(s.selected(), -1);
        QVERIFY(app.ctx->findKeys[FindScreen::Allarmanti].isEmpty()); // the command stopped
    }

    // One last key per kind of screen, shared by its instances; four kinds
    // forget it whenever they are shown, two carry it over.
    void lastKeyPerKind_data()
    {
        QTest::addColumn<FindScreen>("kind");
        QTest::addColumn<bool>("forgets");
        QTest::newRow("TrovaClienti") << FindScreen::TrovaClienti << true;
        QTest::newRow("Ricontatta") << FindScreen::Ricontatta << true;
        QTest::newRow("TrovaAnalisi") << FindScreen::TrovaAnalisi << true;
        QTest::newRow("Allarmanti") << FindScreen::Allarmanti << true;
        QTest::newRow("ImportaPresc") << FindScreen::ImportaPresc << false;
        QTest::newRow("RiepLavoro") << FindScreen::RiepLavoro << false;
    }

    void lastKeyPerKind()
    {
        QFETCH(FindScreen, kind);
        QFETCH(bool, forgets);
        TestApp app(false);
        const QStringList lines{u"glicemia 1"_s, u"colesterolo"_s, u"glicemia 2"_s};
        {
            ListScreen first(app, kind, lines);
            first.screen.show();
            first.find(u"glic"_s);
            QCOMPARE(first.selected(), 0);
        }
        // Another kind of screen has a key of its own.
        const FindScreen other = kind == FindScreen::TrovaClienti ? FindScreen::RiepLavoro : FindScreen::TrovaClienti;
        ListScreen stranger(app, other, lines);
        stranger.select(0);
        stranger.find(u"glic"_s);
        QCOMPARE(stranger.selected(), 0);

        // A new instance of the same kind, shown, with the first line selected.
        ListScreen second(app, kind, lines);
        second.screen.show();
        second.select(0);
        second.find(u"glic"_s);
        QCOMPARE(second.selected(), forgets ? 0 : 2);
    }

    void enterInTheFindBox_data()
    {
        QTest::addColumn<FindScreen>("kind");
        QTest::addColumn<bool>("movesToButton");
        QTest::newRow("TrovaClienti") << FindScreen::TrovaClienti << true;
        QTest::newRow("ImportaPresc") << FindScreen::ImportaPresc << true;
        QTest::newRow("RiepLavoro") << FindScreen::RiepLavoro << false;
    }

    void enterInTheFindBox()
    {
        QFETCH(FindScreen, kind);
        QFETCH(bool, movesToButton);
        TestApp app(false);
        ListScreen s(app, kind, {u"uno"_s, u"due"_s});
        activate(&s.screen);
        s.txtTrova->setFocus();
        type(s.txtTrova, u"due"_s);
        pressEnter(s.txtTrova);
        // Enter never presses the button: nothing is selected yet.
        QCOMPARE(s.selected(), -1);
        QCOMPARE(focused(), movesToButton ? static_cast<QWidget *>(s.btnTrova) : static_cast<QWidget *>(s.txtTrova));
        click(s.btnTrova);
        QCOMPARE(s.selected(), 1);
    }

    // A view over a model of the length the analysis lists can reach.
    void longListInAView()
    {
        TestApp app(false);
        QStringList lines;
        for (int i = 0; i < 100000; ++i)
            lines << u"Cod. %1  Data: esame numero %2"_s.arg(i, 6, 10, QChar(u'0')).arg(i);
        auto *view = new QListView;
        auto *model = new QStringListModel(lines, view);
        view->setModel(model);
        ListScreen s(app, FindScreen::TrovaAnalisi, {}, view);
        s.find(u"NUMERO 99999"_s);
        QCOMPARE(s.selected(), 99999);
        s.find(u"NUMERO 99999"_s); // the same key wraps round to the only match
        QCOMPARE(s.selected(), 99999);
        s.find(u"numero 1000"_s);
        QCOMPARE(s.selected(), 1000);
        s.find(u"numero 1000"_s);
        QCOMPARE(s.selected(), 10000);
        QCOMPARE(view->currentIndex().row(), 10000);
    }
};

QTEST_MAIN(TestFindInList)
#include "tst_findinlist.moc"
