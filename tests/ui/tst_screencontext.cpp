// The hooks through which a shared dialog hands its result to the screen that
// owns its CallerTag.
#include "common/ui/ScreenContext.h"

#include <QTest>
#include <QWidget>

using namespace Qt::StringLiterals;
using namespace clinora;

namespace {
struct Context : ScreenContext {
    using ScreenContext::ScreenContext;
    void showStartMenu(QWidget *) override {}
    void showHelp(QWidget *, help::TopicId) override {}
};
struct NameHook {
    QString name;
};
struct OtherHook {
    int value = 0;
};
} // namespace

class TestScreenContext : public QObject {
    Q_OBJECT
private slots:
    void hooksAreFoundByKindAndTagAndLiveWithTheirScreen()
    {
        Services services;
        Context ctx(services);
        auto first = std::make_unique<QWidget>();
        ctx.offer(first.get(), u"clienti", NameHook{u"card"_s});
        ctx.offer(first.get(), u"clienti", OtherHook{7});

        QVERIFY(ctx.hook<NameHook>(u"clienti"));
        QCOMPARE(ctx.hook<NameHook>(u"clienti")->name, u"card"_s);
        QCOMPARE(ctx.hook<OtherHook>(u"clienti")->value, 7);
        // Tags are compared exactly, as the dialogs compare them.
        QVERIFY(!ctx.hook<NameHook>(u"Clienti"));
        QVERIFY(!ctx.hook<NameHook>(u"clienti "));
        QVERIFY(!ctx.hook<NameHook>(u"menuanalisi"));

        // A later offer under the same tag replaces the earlier one.
        QWidget second;
        ctx.offer(&second, u"clienti", NameHook{u"second"_s});
        QCOMPARE(ctx.hook<NameHook>(u"clienti")->name, u"second"_s);

        // A screen that is gone hands nothing back.
        first.reset();
        QVERIFY(!ctx.hook<OtherHook>(u"clienti"));
        QCOMPARE(ctx.hook<NameHook>(u"clienti")->name, u"second"_s);
    }
};

QTEST_MAIN(TestScreenContext)
#include "tst_screencontext.moc"
