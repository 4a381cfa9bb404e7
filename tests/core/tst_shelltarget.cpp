#include "common/ShellTarget.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace clinora;

class TestShellTarget : public QObject {
    Q_OBJECT
private slots:
    void targets_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QUrl>("url");
        QTest::newRow("web") << u"https://www.clinora.example.org"_s << QUrl(u"https://www.clinora.example.org"_s);
        QTest::newRow("quoted file with blanks") << u"\"/srv/Studio Medico/Guida.pdf\""_s
                                                 << QUrl::fromLocalFile(u"/srv/Studio Medico/Guida.pdf"_s);
        QTest::newRow("folder") << u"/srv/app/Paziente_3"_s << QUrl::fromLocalFile(u"/srv/app/Paziente_3"_s);
        QTest::newRow("drive letter is a path") << u"\"C:\\Clinora\\Paziente.pdf\""_s
                                                << QUrl::fromLocalFile(u"C:\\Clinora\\Paziente.pdf"_s);
        QTest::newRow("empty mailto") << u"\"mailto:\""_s << QUrl(u"mailto:"_s);
        QTest::newRow("nothing") << u"\"\""_s << QUrl();
    }
    void targets()
    {
        QFETCH(QString, command);
        QFETCH(QUrl, url);
        QCOMPARE(shellTarget(command), url);
    }

    void mailKeepsSubjectAndBody()
    {
        const QUrl u = shellTarget(u"\"mailto:a@b.example?subject=Software Clinora&body=Salve, vorrei\""_s);
        QCOMPARE(u.scheme(), u"mailto"_s);
        QCOMPARE(u.path(), u"a@b.example"_s);
        QCOMPARE(u.query(QUrl::FullyDecoded), u"subject=Software Clinora&body=Salve, vorrei"_s);
    }

    void valueCannotBreakOut()
    {
        // Quotes inside a value stay part of it: nothing is split into a command line.
        const QUrl u = shellTarget(u"\"mailto:x\" & rm -rf / \"\""_s);
        QCOMPARE(u.scheme(), u"mailto"_s);
        QVERIFY(!u.isLocalFile());
    }
};

QTEST_APPLESS_MAIN(TestShellTarget)
#include "tst_shelltarget.moc"
