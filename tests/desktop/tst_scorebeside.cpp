// The drill and tekkora-score side by side on one data directory, on a
// private X server: a run played in the drill with real key presses shows up
// in the score window, on its score page and on its keys page, which find
// the drill's logs by the drill's own rule (both run from the same folder)
// and follow them live.

#include "X11Session.h"

#include "results/ScoreLog.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTest>

using namespace tekkora;
using namespace tekkora::testing;

namespace {

// Keycodes of the server's default keyboard: 1 to 9, then 0; and Space.
constexpr unsigned DigitKeys[] = {10, 11, 12, 13, 14, 15, 16, 17, 18, 19};
constexpr unsigned Space = 65;

const QString DrillTitle = QStringLiteral("Tekkora!");
const QString ResultsTitle = QStringLiteral("結果");
const QString ScoreTitle = QStringLiteral("Tekkora! スコア");

// The score window's figures as it prints them with --report, one line per
// change: "runs=1 questions=10 best=... latest=... skipped=0".
class Report {
public:
    explicit Report(QProcess &process) : process_(process) {}

    QString figure(const QString &name)
    {
        buffer_ += process_.readAllStandardOutput();
        const qsizetype end = buffer_.lastIndexOf('\n');
        if (end < 0)
            return {};
        const QByteArray last = buffer_.left(end).split('\n').last();
        for (const QByteArray &pair : last.split(' ')) {
            if (pair.startsWith(name.toLatin1() + '='))
                return QString::fromUtf8(pair.mid(name.size() + 1));
        }
        return {};
    }

private:
    QProcess &process_;
    QByteArray buffer_;
};

// Seconds per key of the log's last record, read from its bytes without the
// program's reader: the figure before " 秒/キー" in CP932.
QString lastSpeedIn(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("<no log>");
    const QString bytes = QString::fromLatin1(file.readAll());
    static const QRegularExpression speed(QStringLiteral("(\\d+\\.\\d{3}) \\x{95}\\x{62}/\\x{83}\\x{4c}\\x{81}\\x{5b}\r\n"));
    QString last;
    for (auto it = speed.globalMatch(bytes); it.hasNext();)
        last = it.next().captured(1);
    return last;
}

} // namespace

class TestScoreBeside : public QObject {
    Q_OBJECT
private slots:
    void runPlayedInTheDrillAppearsInTheScoreWindow()
    {
        X11Session x;
        TEKKORA_START_X11(x);
        const QString folder = x.programDirectory();
        const QString log = folder + QStringLiteral("/Score.txt");

        // Digits, ten questions; and one slow run in the log already.
        QFile settings(folder + QStringLiteral("/tekora.ini"));
        QVERIFY(settings.open(QIODevice::WriteOnly));
        settings.write("[Data]\r\nMode=2 \r\nNum=10 \r\nCap=1 \r\n");
        settings.close();
        ScoreRecord earlier;
        earlier.QuestionCount = 10;
        earlier.MissCount = 0;
        earlier.Accuracy = 100.0f;
        earlier.ModeCaption = QStringLiteral("数字");
        earlier.AccuracyCaption = QStringLiteral("100.0");
        earlier.SpeedCaption = QStringLiteral("9.999");
        earlier.When = QDateTime(QDate(2025, 1, 1), QTime(12, 0));
        QVERIFY(AppendScoreRecord(earlier, folder).ok());

        QVERIFY2(x.launch(QStringLiteral(TEKKORA_EXECUTABLE)), qPrintable(x.error()));
        const XWindow drill = x.waitForWindow(DrillTitle);
        QVERIFY(drill != 0);
        // No path given: the score window looks where the drill keeps its log.
        QProcess *score = x.launchBeside(QStringLiteral(TEKKORA_SCORE_EXECUTABLE), {QStringLiteral("--report")});
        QVERIFY2(score != nullptr, qPrintable(x.error()));
        const XWindow scoreWindow = x.waitForWindow(ScoreTitle);
        QVERIFY(scoreWindow != 0);
        Report report(*score);
        QTRY_COMPARE(report.figure(QStringLiteral("runs")), QStringLiteral("1"));
        QCOMPARE(report.figure(QStringLiteral("latest")), QStringLiteral("9.999"));
        QCOMPARE(report.figure(QStringLiteral("key_runs")), QStringLiteral("0"));

        // A run in the drill: Space, then the digit keys round and round
        // until the results window says the ten questions are answered.
        QVERIFY(x.waitForFocus(drill));
        x.pressKey(Space);
        const qint64 logBefore = QFileInfo(log).size();
        bool ended = false;
        for (int round = 0; round < 200 && !ended; ++round) {
            for (unsigned key : DigitKeys)
                x.pressKey(key);
            QTest::qWait(20);
            ended = x.findWindow(ResultsTitle) != 0;
        }
        QVERIFY2(ended, "the run never ended");

        // The results window appends the run as it loads, before it shows.
        // How long the score window takes is printed, not asserted.
        QElapsedTimer sinceAppended;
        sinceAppended.start();
        QVERIFY(QFileInfo(log).size() > logBefore);
        QTRY_COMPARE(report.figure(QStringLiteral("runs")), QStringLiteral("2"));
        qInfo("the score window reported the run %lld ms after the test saw the run end",
              static_cast<long long>(sinceAppended.elapsed()));
        const QString played = lastSpeedIn(log);
        QVERIFY(!played.isEmpty() && played != QStringLiteral("9.999"));
        QCOMPARE(report.figure(QStringLiteral("latest")), played);
        QCOMPARE(report.figure(QStringLiteral("questions")), QStringLiteral("20"));
        QCOMPARE(report.figure(QStringLiteral("skipped")), QStringLiteral("0"));
        // The keys page has the run too, from the per-key log beside.
        QTRY_COMPARE(report.figure(QStringLiteral("key_runs")), QStringLiteral("1"));
        QCOMPARE(report.figure(QStringLiteral("key_skipped")), QStringLiteral("0"));

        x.closeWindow(scoreWindow);
        QVERIFY(x.waitForNoWindow(ScoreTitle));
        QVERIFY(score->waitForFinished(10000));
        QCOMPARE(score->exitCode(), 0);
    }
};

QTEST_GUILESS_MAIN(TestScoreBeside)
#include "tst_scorebeside.moc"
