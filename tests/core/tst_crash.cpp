// A process saving records is killed at random moments; every record whose
// save it had reported must be there, whole, and the archive must hold
// nothing but whole records and at most one trailing fragment.
#include "common/RecordFile.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>
#include <cstring>

using namespace Qt::StringLiterals;
using namespace clinora;

namespace {

constexpr int kSize = 2498;

// Record k at version v: the version in its first bytes, and every byte
// recognisable, so a torn record shows.
QByteArray recordFor(qint64 k, int v)
{
    QByteArray r(kSize, Qt::Uninitialized);
    for (int i = 0; i < kSize; ++i)
        r[i] = char((k * 31 + v * 7 + i) % 251);
    std::memcpy(r.data(), &v, sizeof v);
    return r;
}

int versionOf(const QByteArray &r)
{
    int v = 0;
    std::memcpy(&v, r.constData(), sizeof v);
    return v;
}

// The child: appends new records and rewrites earlier ones, and says so
// after each save has returned.
int child(const QString &path, quint32 seed)
{
    QRandomGenerator rng(seed);
    QHash<qint64, int> versions;
    RecordFile f(kSize);
    if (!f.open(path))
        return 3;
    QByteArray rec;
    for (qint64 k = 1; k <= f.count(); ++k) {
        if (!f.read(k, rec))
            return 3;
        versions[k] = versionOf(rec);
    }
    for (;;) {
        if (f.count() == 0 || rng.bounded(3) != 0) {
            qint64 n = 0;
            if (!f.append(recordFor(f.count() + 1, 0), &n))
                return 4;
            versions[n] = 0;
            std::printf("A %lld 0\n", n);
        } else {
            const qint64 k = 1 + rng.bounded(int(f.count()));
            const int v = versions[k] + 1;
            if (!f.write(k, recordFor(k, v)))
                return 5;
            versions[k] = v;
            std::printf("W %lld %d\n", k, v);
        }
        std::fflush(stdout);
    }
}

} // namespace

class TestCrash : public QObject {
    Q_OBJECT
private slots:
    void killedWhileSaving()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"archivio.asl"_s);
        QRandomGenerator rng(12345);
        QHash<qint64, int> reported; // the last version reported saved
        const int iterations = qEnvironmentVariableIntValue("CLINORA_CRASH_ITERATIONS") > 0
                                   ? qEnvironmentVariableIntValue("CLINORA_CRASH_ITERATIONS")
                                   : 40;
        for (int it = 0; it < iterations; ++it) {
            QProcess p;
            p.setProgram(QCoreApplication::applicationFilePath());
            p.setArguments({u"--child"_s, path, QString::number(rng.generate())});
            p.start();
            QVERIFY(p.waitForStarted());
            QTest::qWait(30 + rng.bounded(150));
            p.kill();
            QVERIFY(p.waitForFinished());
            QCOMPARE(p.exitStatus(), QProcess::CrashExit);
            for (const QByteArray &line : p.readAllStandardOutput().split('\n')) {
                const QList<QByteArray> parts = line.split(' ');
                if (parts.size() == 3)
                    reported[parts[1].toLongLong()] = parts[2].toInt();
            }

            // Reopened, as the program would be after the crash.
            RecordFile f(kSize);
            QVERIFY(f.open(path));
            const qint64 size = QFile(path).size();
            QVERIFY(size - f.count() * kSize < kSize);
            QVERIFY(f.count() >= reported.size());
            QByteArray rec;
            for (qint64 k = 1; k <= f.count(); ++k) {
                QVERIFY(f.read(k, rec));
                const int v = reported.value(k, 0);
                // The reported version, or the next one whose save was under way.
                QVERIFY2(rec == recordFor(k, v) || rec == recordFor(k, v + 1),
                         qPrintable(u"record %1 is torn"_s.arg(k)));
                if (rec == recordFor(k, v + 1))
                    reported[k] = v + 1;
            }
            QVERIFY(f.close());
            QVERIFY(!QFile::exists(RecordFile::journalPath(path)));
        }
        qInfo("%d kills, %lld records in the archive", iterations, qlonglong(reported.size()));
    }
};

int main(int argc, char *argv[])
{
    if (argc == 4 && qstrcmp(argv[1], "--child") == 0)
        return child(QString::fromLocal8Bit(argv[2]), quint32(QByteArray(argv[3]).toUInt()));
    QCoreApplication app(argc, argv);
    TestCrash t;
    return QTest::qExec(&t, argc, argv);
}

#include "tst_crash.moc"
