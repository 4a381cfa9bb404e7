// Names the program makes for files (attachments, the analysis archives,
// what a restore unpacks) must be names Windows can hold too, since a data
// folder moves between systems: the rule, the fitting, and real files made
// with the fitted names in a real folder (on Linux, and on Windows under
// the Windows build).
#include "common/FileNames.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace clinora;

class TestFileNames : public QObject {
    Q_OBJECT
private slots:
    void windowsRule_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("fits");
        QTest::addColumn<QString>("fitted");
        // Kept as they are.
        QTest::newRow("plain") << u"referto.pdf"_s << true << u"referto.pdf"_s;
        QTest::newRow("accented") << u"Ecografia è città perché.pdf"_s << true << u"Ecografia è città perché.pdf"_s;
        QTest::newRow("leading dot") << u".nascosto"_s << true << u".nascosto"_s;
        QTest::newRow("device inside a longer word") << u"AUXILIARY.pdf"_s << true << u"AUXILIARY.pdf"_s;
        QTest::newRow("COM0 is no device") << u"COM0.txt"_s << true << u"COM0.txt"_s;
        QTest::newRow("COM10 is no device") << u"COM10"_s << true << u"COM10"_s;
        QTest::newRow("device after a prefix") << u"Paziente_CF_CON.asl"_s << true << u"Paziente_CF_CON.asl"_s;
        // Device names, in any case, whatever follows the first dot.
        QTest::newRow("CON") << u"CON"_s << false << u"CON_"_s;
        QTest::newRow("con.pdf") << u"con.pdf"_s << false << u"con_.pdf"_s;
        QTest::newRow("Prn.tar.gz") << u"Prn.tar.gz"_s << false << u"Prn_.tar.gz"_s;
        QTest::newRow("aux") << u"aux"_s << false << u"aux_"_s;
        QTest::newRow("NUL, blanks before the dot") << u"NUL  .txt"_s << false << u"NUL  _.txt"_s;
        QTest::newRow("com1") << u"com1.doc"_s << false << u"com1_.doc"_s;
        QTest::newRow("COM9") << u"COM9"_s << false << u"COM9_"_s;
        QTest::newRow("LPT1") << u"LPT1.jpg"_s << false << u"LPT1_.jpg"_s;
        QTest::newRow("lpt9") << u"lpt9"_s << false << u"lpt9_"_s;
        QTest::newRow("COM superscript") << u"COM\u00B9.pdf"_s << false << u"COM\u00B9_.pdf"_s;
        QTest::newRow("CONOUT$") << u"conout$.txt"_s << false << u"conout$_.txt"_s;
        // Characters Windows refuses.
        QTest::newRow("every refused character")
            << u"a<b>c:d\"e/f\\g|h?i*j.pdf"_s << false << u"a_b_c_d_e_f_g_h_i_j.pdf"_s;
        QTest::newRow("stream syntax") << u"referto.pdf:nascosto"_s << false << u"referto.pdf_nascosto"_s;
        QTest::newRow("control characters") << u"a\tb\u0001c.pdf"_s << false << u"a_b_c.pdf"_s;
        // Ends Windows would drop.
        QTest::newRow("final dot") << u"referto."_s << false << u"referto_"_s;
        QTest::newRow("final blank") << u"referto.pdf "_s << false << u"referto.pdf_"_s;
        QTest::newRow("dot") << u"."_s << false << u"_"_s;
        QTest::newRow("dot dot") << u".."_s << false << u"._"_s;
        QTest::newRow("empty") << QString() << false << u"_"_s;
    }
    void windowsRule()
    {
        QFETCH(QString, name);
        QFETCH(bool, fits);
        QFETCH(QString, fitted);
        QCOMPARE(names::fitsWindows(name), fits);
        QCOMPARE(names::fitForWindows(name), fitted);
        QVERIFY(names::fitsWindows(fitted));
#if defined(Q_OS_WIN)
        QCOMPARE(names::fitsHere(name), fits);
#else
        const bool posixFits = !name.isEmpty() && name != u"."_s && name != u".."_s && !name.contains(u'/');
        QCOMPARE(names::fitsHere(name), posixFits);
#endif
    }

    // Each fitted name made for real in one folder: every one is a file of
    // its own, under exactly its name, holding what was written (a device
    // name would write nowhere, a stream name into another file, a final
    // dot onto the name without it).
    void fittedNamesAreRealFiles()
    {
        const QStringList wanted = {u"CON.pdf"_s, u"nul"_s,         u"Com1.txt"_s,      u"LPT9"_s,
                                    u"a:b.pdf"_s, u"a"_s,           u"x?y*z|w.txt"_s,   u"referto."_s,
                                    u"referto"_s, u"Città è.pdf"_s, u"q<u>o\"te.doc"_s, u"fine "_s};
        QTemporaryDir dir(QDir::tempPath() + u"/clinora nomi àè-XXXXXX"_s);
        QVERIFY(dir.isValid());
        QStringList made;
        for (const QString &w : wanted) {
            const QString name = names::fitForWindows(w);
            QVERIFY2(!made.contains(name, Qt::CaseInsensitive), qPrintable(name));
            made << name;
            QFile f(dir.filePath(name));
            QVERIFY2(f.open(QIODevice::WriteOnly), qPrintable(name));
            QCOMPARE(f.write(w.toUtf8()), w.toUtf8().size());
            f.close();
        }
        QStringList listed = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);
        listed.sort();
        made.sort();
        QCOMPARE(listed, made);
        for (qsizetype i = 0; i < wanted.size(); ++i) {
            QFile f(dir.filePath(names::fitForWindows(wanted[i])));
            QVERIFY(f.open(QIODevice::ReadOnly));
            QCOMPARE(f.readAll(), wanted[i].toUtf8());
        }
    }
};

QTEST_APPLESS_MAIN(TestFileNames)
#include "tst_filenames.moc"
