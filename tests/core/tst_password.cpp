#include "app/Crypt.h"
#include "app/PasswordStore.h"
#include "common/FileIo.h"
#include "common/Text.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace clinora;

class TestPassword : public QObject {
    Q_OBJECT
private slots:
    void scrambleRoundTrip_data()
    {
        QTest::addColumn<QString>("plain");
        QTest::newRow("empty") << QString();
        QTest::newRow("one") << u"A"_s;
        QTest::newRow("word") << u"CLINORA"_s;
        QTest::newRow("accents") << u"PERCHÉ È"_s;
        QTest::newRow("every code") << [] {
            QString s;
            for (int c = 0; c < 256; ++c)
                s += QChar(c);
            return s.left(255);
        }();
    }
    void scrambleRoundTrip()
    {
        QFETCH(QString, plain);
        const QString hex = Crypt::Scramble(plain);
        QCOMPARE(hex.size(), plain.size() * 2);
        for (QChar c : hex)
            QVERIFY((c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'F'));
        QCOMPARE(Crypt::Unscramble(hex), std::optional<QString>(plain));
        QCOMPARE(Crypt::Unscramble(hex.toLower()), std::optional<QString>(plain));
        QCOMPARE(Crypt::Scramble(plain), hex); // stable
    }

    void unscrambleEdges()
    {
        const QString hex = Crypt::Scramble(u"AB"_s);
        QCOMPARE(Crypt::Unscramble(QString(hex + u'7')), std::optional<QString>(u"AB"_s));
        QVERIFY(!Crypt::Unscramble(u"0G"_s));
        QVERIFY(!Crypt::Unscramble(QString(hex + u"Z1"_s)));
        QCOMPARE(Crypt::Unscramble(u"5"_s), std::optional<QString>(QString()));
        // Differing only in the last character: only the last pair differs.
        const QString a = Crypt::Scramble(u"PASSWORD1"_s), b = Crypt::Scramble(u"PASSWORD2"_s);
        QCOMPARE(a.left(16), b.left(16));
        QVERIFY(a.right(2) != b.right(2));
    }

    void shippedFileHoldsInitialPassword()
    {
        const QString src = qEnvironmentVariable("CLINORA_SOURCE_DIR");
        if (src.isEmpty())
            QSKIP("CLINORA_SOURCE_DIR not set");
        PasswordStore store(QDir(src).filePath(u"dist"_s));
        const auto value = store.readStoredValue();
        QVERIFY(value);
        QCOMPARE(Crypt::Unscramble(*value), std::optional<QString>(kInitialPassword.toString()));
    }

    void iniReading()
    {
        QCOMPARE(iniValue(u"[accesso]\r\nvalore = 0A1B \r\n"_s, u"Accesso", u"Valore"), u"0A1B"_s);
        QCOMPARE(iniValue(u"[Altro]\nValore=1\n[Accesso]\nX=2\nValore=\"AB\"\n"_s, u"Accesso", u"Valore"), u"AB"_s);
        QCOMPARE(iniValue(u"[Altro]\nValore=1\n"_s, u"Accesso", u"Valore"), QString());
        QCOMPARE(iniValue(QString(), u"Accesso", u"Valore"), QString());
    }

    void iniWriting()
    {
        QCOMPARE(iniWithValue(QString(), u"Accesso", u"Valore", u"AB"_s), u"[Accesso]\r\nValore=AB\r\n"_s);
        QCOMPARE(iniWithValue(u"[Accesso]\r\nValore=00\r\n[Dopo]\r\nK=1\r\n"_s, u"Accesso", u"Valore", u"FF"_s),
                 u"[Accesso]\r\nValore=FF\r\n[Dopo]\r\nK=1\r\n"_s);
        QCOMPARE(iniWithValue(u"[Prima]\nK=1\n[ACCESSO]\nAltro=2\n"_s, u"Accesso", u"Valore", u"01"_s),
                 u"[Prima]\r\nK=1\r\n[ACCESSO]\r\nAltro=2\r\nValore=01\r\n"_s);
    }

    void storeReadWrite()
    {
        QTemporaryDir dir;
        PasswordStore store(dir.path());
        QCOMPARE(store.readStoredValue(), std::optional<QString>(QString())); // missing file
        QVERIFY(store.writeStoredValue(u"0A0B"_s));
        QCOMPARE(store.readStoredValue(), std::optional<QString>(u"0A0B"_s));
        QFile f(store.path());
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("[Accesso]\r\nValore=0A0B\r\n"));
        f.close();

        // A failed replacement leaves the old password whole.
        struct FailRename : io::FaultHook {
            bool shouldFail(io::Op op, const QString &) override { return op == io::Op::Rename; }
        } hook;
        io::setFaultHook(&hook);
        QVERIFY(!store.writeStoredValue(u"FFFF"_s));
        io::setFaultHook(nullptr);
        QCOMPARE(store.readStoredValue(), std::optional<QString>(u"0A0B"_s));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{u"unins000.dll"_s});

        // A folder that cannot be written.
        PasswordStore nowhere(dir.filePath(u"unins000.dll/sub"_s));
        QVERIFY(!nowhere.writeStoredValue(u"00"_s));
    }

    void comparisonRule()
    {
        QVERIFY(password::matches(u"CLINORA"_s, u"clinora"_s));
        QVERIFY(password::matches(u" CLINORA\t"_s, u"  ClInOrA "_s));
        QVERIFY(!password::matches(u"CLINORA"_s, u"CLINORA1"_s));
        QVERIFY(!password::matches(u"PERCHÈ"_s, u"perchè"_s)); // accents are exact
        QVERIFY(password::matches(u"PERCHè"_s, u"perchè"_s));
        QCOMPARE(password::normalized(u" nuova Pass "_s), u"NUOVA PASS"_s);
        QVERIFY(password::storable(QString(255, u'x')));
        QVERIFY(!password::storable(QString(256, u'x')));
        QVERIFY(password::storable(u"ÿ"_s));
        QVERIFY(!password::storable(u"€"_s));
    }
};

QTEST_APPLESS_MAIN(TestPassword)
#include "tst_password.moc"
