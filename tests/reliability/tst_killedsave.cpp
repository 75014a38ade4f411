// The program killed in the middle of saving its options: whenever the kill
// lands, tekora.ini afterwards holds one complete set of options, the one
// before the save or the one after it, never a blend of the two, a torn line
// or nothing.
#include "support/TestFiles.h"

#include "support/HelperProcess.h"

#include <QDir>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <csignal>

using namespace tekkora::testing;

namespace {

// The two sets the helper saves in turn: letters, 10, upper case; and all
// characters, unlimited, lower case. Every key differs between them.
const QByteArray FirstSet("[Data]\r\nMode=1 \r\nNum=10    \r\nCap=1 \r\n");
const QByteArray SecondSet("[Data]\r\nMode=3 \r\nNum=32767 \r\nCap=0 \r\n");

} // namespace

class TestKilledSave : public QObject {
    Q_OBJECT

private slots:
    void killedAtRandomMoments_data()
    {
        QTest::addColumn<quint32>("seed");
        QTest::addColumn<int>("kills");
        QTest::addColumn<QByteArray>("initial");

        QTest::newRow("no file before the first save") << 7u << 60 << QByteArray();
        QTest::newRow("a file with other sections") << 11u << 60
                                                    << QByteArray("[Other]\r\nkeep=this\r\n\r\n[Data]\r\nMode=2\r\n");
    }

    void killedAtRandomMoments()
    {
        QFETCH(quint32, seed);
        QFETCH(int, kills);
        QFETCH(QByteArray, initial);

        QTemporaryDir work;
        HelperProcess helper(work.path(), QStringLiteral(TEKKORA_FAULT_HELPER));
        QVERIFY(helper.prepare());
        QVERIFY(QDir(work.path()).mkdir(QStringLiteral("data")));
        const QString dataDir = work.filePath(QStringLiteral("data"));
        const QString path = QDir(dataDir).filePath(QStringLiteral("tekora.ini"));
        if (!initial.isEmpty()) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(initial) == initial.size());
        }

        // What each complete save leaves, given what the file held first.
        QByteArray first = FirstSet;
        QByteArray second = SecondSet;
        if (!initial.isEmpty()) {
            first = "[Other]\r\nkeep=this\r\n\r\n[Data]\r\nMode=1 \r\nNum=10    \r\nCap=1 \r\n";
            second = "[Other]\r\nkeep=this\r\n\r\n[Data]\r\nMode=3 \r\nNum=32767 \r\nCap=0 \r\n";
        }

        QRandomGenerator random(seed);
        for (int kill = 0; kill < kills; ++kill) {
            QProcess process;
            process.setProcessEnvironment(helper.environment());
            process.start(helper.helperPath(), {QStringLiteral("saveloop"), dataDir});
            QVERIFY(process.waitForStarted());
            // Let it finish a few saves, then kill it at an unforeseeable
            // moment of the next ones.
            const int completeSaves = random.bounded(1, 4);
            bool reached = false;
            while (!reached && (process.canReadLine() || process.waitForReadyRead(60000))) {
                while (!reached && process.canReadLine()) {
                    const QByteArray line = process.readLine();
                    QVERIFY2(!line.startsWith("message: "), line.constData());
                    reached = line.startsWith("saved ") && line.mid(6).trimmed().toInt() >= completeSaves;
                }
            }
            QVERIFY2(reached, process.readAllStandardError().constData());
            QThread::usleep(random.bounded(0, 4000));
            ::kill(pid_t(process.processId()), SIGKILL);
            QVERIFY(process.waitForFinished(60000));
            QCOMPARE(process.exitStatus(), QProcess::CrashExit);

            const QByteArray after = readAll(path);
            QVERIFY2(after == first || after == second,
                     qPrintable(QStringLiteral("kill %1 left:\n%2").arg(kill).arg(QString::fromLatin1(after))));
        }
    }
};

QTEST_GUILESS_MAIN(TestKilledSave)
#include "tst_killedsave.moc"
