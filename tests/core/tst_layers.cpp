// The source tree's layers point one way. The logic without screens comes
// first, then the report engine, then the screens; among the subsystems,
// each builds only on those to its left:
//
//   common  <-  checks  <-  patients  <-  analyses  <-  summary  <-  app
//
// A file in <sub>/ includes only <left>/ of the same or a subsystem to its
// left; report/ only the logic; a file in <sub>/ui/ the logic and the
// screens of its own subsystem and those to its left, and the report engine.
// So app/ui, which creates and wires every screen, is the only folder that
// can name them all.

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <map>
#include <set>

using namespace Qt::StringLiterals;

namespace {

const QStringList kOrder = {u"common"_s, u"checks"_s, u"patients"_s, u"analyses"_s, u"summary"_s, u"app"_s};

struct Layer {
    enum Kind { Outside, Logic, Report, Screens } kind = Outside;
    qsizetype rank = -1; // position in kOrder
};

Layer layerOf(const QString &folder)
{
    if (folder == u"report"_s)
        return {Layer::Report, -1};
    const QStringList parts = folder.split(u'/');
    const qsizetype rank = kOrder.indexOf(parts.first());
    if (rank < 0 || parts.size() > 2 || (parts.size() == 2 && parts[1] != u"ui"_s))
        return {};
    return {parts.size() == 2 ? Layer::Screens : Layer::Logic, rank};
}

bool mayInclude(const Layer &from, const Layer &to)
{
    switch (from.kind) {
    case Layer::Outside:
        return true;
    case Layer::Logic:
        return to.kind == Layer::Outside || (to.kind == Layer::Logic && to.rank <= from.rank);
    case Layer::Report:
        return to.kind != Layer::Screens;
    case Layer::Screens:
        return to.kind == Layer::Outside || to.kind == Layer::Report || to.rank <= from.rank;
    }
    return false;
}

struct Findings {
    QStringList wrongWay;  // "file includes header"
    QStringList eachOther; // "a <-> b"
};

// Reads every .h and .cpp under `src`, and lists the includes that point the
// wrong way and the pairs of folders that include each other.
Findings check(const QString &src)
{
    Findings found;
    static const QRegularExpression include(u"^\\s*#\\s*include\\s*\"([^\"]+)\""_s,
                                            QRegularExpression::MultilineOption);
    std::map<QString, std::set<QString>> edges;
    QDirIterator it(src, {u"*.h"_s, u"*.cpp"_s}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString file = QDir(src).relativeFilePath(path);
        const QString folder = QFileInfo(file).path();
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly))
            qFatal("cannot read %s", qPrintable(path));
        const QString text = QString::fromUtf8(f.readAll());
        for (auto m = include.globalMatch(text); m.hasNext();) {
            const QString header = m.next().captured(1);
            const QString target = QFileInfo(header).path();
            if (target == u"."_s || target == folder)
                continue;
            if (!mayInclude(layerOf(folder), layerOf(target)))
                found.wrongWay.append(file + u" includes "_s + header);
            edges[folder].insert(target);
        }
    }
    for (const auto &[a, targets] : edges)
        for (const QString &b : targets)
            if (a < b && edges.count(b) && edges.at(b).count(a))
                found.eachOther.append(a + u" <-> "_s + b);
    return found;
}

void write(const QString &root, const QString &file, const QByteArray &text)
{
    QDir(root).mkpath(QFileInfo(file).path());
    QFile f(root + u'/' + file);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(text);
}

} // namespace

class TestLayers : public QObject {
    Q_OBJECT
private slots:
    void theSourceTreePointsOneWay()
    {
        const QString src = qEnvironmentVariable("CLINORA_SOURCE_DIR") + u"/src"_s;
        QVERIFY2(QFileInfo(src + u"/app/ui/AppContext.h"_s).exists(), qPrintable(src));
        const Findings found = check(src);
        QVERIFY2(found.wrongWay.isEmpty(), qPrintable(found.wrongWay.join(u'\n')));
        QVERIFY2(found.eachOther.isEmpty(), qPrintable(found.eachOther.join(u'\n')));
    }

    // The check itself, on a small tree with one fault of each kind.
    void theCheckSeesEachKindOfFault_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("wrongWay"); // empty: allowed
        QTest::addColumn<QString>("eachOther");
        QTest::newRow("screen to its left") << u"summary/ui/A.cpp"_s << QByteArray("#include \"patients/ui/B.h\"\n")
                                            << QString() << QString();
        QTest::newRow("screen to its right")
            << u"patients/ui/A.cpp"_s << QByteArray("#include \"analyses/ui/B.h\"\n")
            << u"patients/ui/A.cpp includes analyses/ui/B.h"_s << QString();
        QTest::newRow("the registry from below")
            << u"common/ui/A.cpp"_s << QByteArray("#include <QWidget>\n#include \"app/ui/AppContext.h\"\n")
            << u"common/ui/A.cpp includes app/ui/AppContext.h"_s << QString();
        QTest::newRow("logic to a screen") << u"common/A.cpp"_s << QByteArray(" # include \"common/ui/B.h\"\n")
                                           << u"common/A.cpp includes common/ui/B.h"_s << QString();
        QTest::newRow("logic to its right") << u"analyses/A.cpp"_s << QByteArray("#include \"summary/B.h\"\n")
                                            << u"analyses/A.cpp includes summary/B.h"_s << QString();
        QTest::newRow("report to a screen") << u"report/A.cpp"_s << QByteArray("#include \"common/ui/B.h\"\n")
                                            << u"report/A.cpp includes common/ui/B.h"_s << QString();
        QTest::newRow("report to the logic") << u"report/A.cpp"_s << QByteArray("#include \"app/B.h\"\n")
                                             << QString() << QString();
        QTest::newRow("screen to the report") << u"common/ui/A.cpp"_s << QByteArray("#include \"report/B.h\"\n")
                                              << QString() << QString();
        QTest::newRow("commented out") << u"app/A.cpp"_s << QByteArray("// #include \"app/ui/B.h\"\n") << QString()
                                       << QString();
        // Two folders outside the layers that include each other.
        QTest::newRow("each other") << u"tools/A.cpp"_s << QByteArray("#include \"bench/B.h\"\n") << QString()
                                    << u"bench <-> tools"_s;
    }

    void theCheckSeesEachKindOfFault()
    {
        QFETCH(QString, file);
        QFETCH(QByteArray, text);
        QFETCH(QString, wrongWay);
        QFETCH(QString, eachOther);
        QTemporaryDir dir;
        write(dir.path(), u"bench/B.h"_s, "#include \"tools/C.h\"\n");
        write(dir.path(), file, text);
        const Findings found = check(dir.path());
        QCOMPARE(found.wrongWay, wrongWay.isEmpty() ? QStringList() : QStringList{wrongWay});
        QCOMPARE(found.eachOther, eachOther.isEmpty() ? QStringList() : QStringList{eachOther});
    }
};

QTEST_MAIN(TestLayers)
#include "tst_layers.moc"
