// The keys page's figures: a golden Keys.jsonl with damaged lines read back
// to exact per-character figures for every filter; a character's last runs
// against the runs before; and runs appended one batch at a time giving
// the same figures as all of them read at once.

#include "support/TestFiles.h"

#include "KeyStatistics.h"
#include "results/KeysLog.h"

#include <QRandomGenerator>
#include <QTest>

using namespace tekkora;
using namespace tekkora::testing;

Q_DECLARE_METATYPE(tekkora::RunSet)
Q_DECLARE_METATYPE(tekkora::KeyPeriod)

namespace {

QString orNone(const std::optional<std::uint32_t> &ms)
{
    return ms ? QString::number(*ms) : QStringLiteral("-");
}

QString orNone(const std::optional<double> &rate)
{
    return rate ? QString::number(*rate, 'f', 3) : QStringLiteral("-");
}

// Every figure of the characters asked, then the keys pressed instead.
QStringList describe(const KeyStatistics &statistics)
{
    QStringList lines{QStringLiteral("runs %1").arg(statistics.runs())};
    for (const CharacterFigures &figures : statistics.characters()) {
        if (figures.questions == 0 && !figures.recentMedianMs)
            continue;
        lines << QStringLiteral("%1 %2 %3 %4 %5 %6 | %7 %8 | %9 %10")
                     .arg(QChar(figures.keyCode))
                     .arg(figures.questions)
                     .arg(figures.misses)
                     .arg(orNone(figures.missRate), orNone(figures.medianMs), orNone(figures.p90Ms),
                          orNone(figures.recentMedianMs),
                          orNone(figures.recentMissRate), orNone(figures.earlierMedianMs),
                          orNone(figures.earlierMissRate));
    }
    for (const PressedInstead &pair : statistics.pressedInstead()) {
        const std::string_view pressed = keyText(pair.pressed, LetterCase::Upper);
        lines << QStringLiteral("%1>%2 x%3")
                     .arg(QChar(pair.shown))
                     .arg(QLatin1String(pressed.data(), qsizetype(pressed.size())))
                     .arg(pair.count);
    }
    return lines;
}

// A run of the given questions, as the drill records and writes it: ms < 0
// is a miss of -ms milliseconds.
QByteArray runLine(const QDateTime &when, const QString &set, const QList<QPair<char, int>> &questions)
{
    RunRecording recording;
    std::int32_t tick = 0;
    recording.start(std::int16_t(questions.size()), LetterCase::Upper, tick);
    for (const auto &[character, ms] : questions) {
        recording.shown(std::int16_t(character));
        if (ms < 0)
            recording.wrongKey(std::int16_t(character == '0' ? '1' : '0'));
        recording.answered(tick += std::abs(ms));
    }
    return formatKeysRecord({when, set, LetterCase::Upper, &recording.questions()});
}

} // namespace

class TestKeyStatistics : public QObject {
    Q_OBJECT
private slots:
    void goldenLog_data()
    {
        QTest::addColumn<RunSet>("set");
        QTest::addColumn<KeyPeriod>("period");
        QTest::addColumn<QStringList>("figures");

        // character questions misses rate median p90 | recent: median rate | earlier
        const QString a = QStringLiteral("A 3 2 0.667 200 400 | - - | - -"), b = QStringLiteral("B 1 0 0.000 600 600 | - - | - -");
        const QString three = QStringLiteral("3 2 2 1.000 800 900 | - - | - -"),
                      seven = QStringLiteral("7 3 1 0.333 500 800 | - - | - -");
        const QStringList allPairs{"A>S x2", "A>Space x1", "3>Shift x1", "3>8 x1", "3>Numpad3 x1", "5>6 x1", "7>8 x1"};
        QTest::newRow("every run") << RunSet::Every << KeyPeriod::All << QStringList{"runs 3", a, b, three, seven} + allPairs;
        QTest::newRow("the last 100 runs") << RunSet::Every << KeyPeriod::Last100Runs
                                           << QStringList{"runs 3", a, b, three, seven} + allPairs;
        QTest::newRow("the last 30 days") << RunSet::Every << KeyPeriod::Last30Days
                                          << QStringList{"runs 2", a, b, "3 1 1 1.000 900 900 | - - | - -",
                                                         "7 1 1 1.000 800 800 | - - | - -", "A>S x2", "A>Space x1",
                                                         "3>Numpad3 x1", "7>8 x1"};
        QTest::newRow("digits; Esc's question only among the keys pressed")
            << RunSet::Digits << KeyPeriod::All
            << QStringList{"runs 1", "3 1 1 1.000 700 700 | - - | - -", "7 2 0 0.000 400 500 | - - | - -", "3>Shift x1", "3>8 x1",
                           "5>6 x1"};
        QTest::newRow("letters, lower case folded")
            << RunSet::Letters << KeyPeriod::All
            << QStringList{"runs 1", "A 2 2 1.000 300 400 | - - | - -", b, "A>S x2", "A>Space x1"};
        const QStringList mixed{"runs 1", "A 1 0 0.000 100 100 | - - | - -", "3 1 1 1.000 900 900 | - - | - -",
                                "7 1 1 1.000 800 800 | - - | - -", "3>Numpad3 x1", "7>8 x1"};
        QTest::newRow("all characters") << RunSet::Mixed << KeyPeriod::All << mixed;
        QTest::newRow("weak characters' draws only") << RunSet::Every << KeyPeriod::WeakDraws << mixed;
    }
    void goldenLog()
    {
        QFETCH(RunSet, set);
        QFETCH(KeyPeriod, period);
        QFETCH(QStringList, figures);

        KeysLogReader reader;
        KeysRuns runs;
        reader.feed(readAll(QStringLiteral(TEKKORA_GOLDEN_DIR "/keys.jsonl")), runs);
        QCOMPARE(reader.lines(), 7);
        QVERIFY(reader.waiting());
        QCOMPARE(reader.skipped().kept(), (QList<SkippedLine>{{2, SkipReason::NotJson},
                                                              {3, SkipReason::OtherVersion},
                                                              {6, SkipReason::NotJson}}));
        KeyStatistics statistics;
        statistics.rebuild(runs, {set, period}, QDateTime(QDate(2027, 1, 1), QTime(19, 30), Qt::OffsetFromUTC, 9 * 3600));
        QCOMPARE(describe(statistics), figures);
        QCOMPARE(statistics.forKey('7'), &statistics.characters()[33]);
        QCOMPARE(statistics.forKey(16), nullptr);
    }

    // A character's last 10 runs that asked it against the 10 before; of
    // fewer than 20, its last half against its first (2 runs each at least);
    // runs that did not ask it do not count.
    void recentAgainstEarlier_data()
    {
        QTest::addColumn<int>("runs");
        QTest::addColumn<bool>("othersBetween");
        QTest::addColumn<QString>("figures");
        QTest::newRow("3 runs: too few") << 3 << false << "A 3 3 1.000 500 500 | - - | - -";
        QTest::newRow("4 runs: 2 against 2") << 4 << false << "A 4 4 1.000 500 500 | 500 1.000 | 500 1.000";
        QTest::newRow("13 runs: the last 6 against the first 6")
            << 13 << false << "A 13 10 0.769 500 1000 | 500 1.000 | 750 0.500";
        QTest::newRow("19 runs: 9 against 9") << 19 << false << "A 19 10 0.526 500 1000 | 500 1.000 | 1000 0.000";
        QTest::newRow("20 runs: the median of an even count") << 20 << false
                                                              << "A 20 10 0.500 750 1000 | 500 1.000 | 1000 0.000";
        QTest::newRow("25 runs") << 25 << false << "A 25 10 0.400 1000 1000 | 500 1.000 | 1000 0.000";
        QTest::newRow("25 runs, others between") << 25 << true << "A 25 10 0.400 1000 1000 | 500 1.000 | 1000 0.000";
    }
    void recentAgainstEarlier()
    {
        QFETCH(int, runs);
        QFETCH(bool, othersBetween);
        QFETCH(QString, figures);
        QByteArray log;
        const QDateTime when(QDate(2026, 3, 1), QTime(20, 0));
        for (int i = 0; i < runs; ++i) {
            // The last ten: 500 ms and a miss; before them 1000 ms, no miss.
            log += runLine(when, QStringLiteral("英字"), {{'A', i >= runs - 10 ? -500 : 1000}});
            if (othersBetween)
                log += runLine(when, QStringLiteral("英字"), {{'B', 1}});
        }
        KeysLogReader reader;
        KeysRuns read;
        reader.feed(log, read);
        KeyStatistics statistics;
        statistics.rebuild(read, {RunSet::Letters, KeyPeriod::All}, when);
        QCOMPARE(describe(statistics).value(1), figures);
    }

    // Runs appended a batch at a time give what reading them all at once
    // gives, for every filter.
    void appendedLikeRebuilt()
    {
        QRandomGenerator random(20);
        QByteArrayList log;
        QDateTime when(QDate(2026, 1, 1), QTime(20, 0));
        const QString sets[] = {QStringLiteral("英字"), QStringLiteral("数字"), QStringLiteral("全て")};
        for (int i = 0; i < 400; ++i) {
            when = when.addSecs(random.bounded(8 * 3600));
            QList<QPair<char, int>> questions;
            for (int q = random.bounded(40); q > 0; --q) {
                const int character = random.bounded(36);
                questions.append({char(character < 26 ? 'A' + character : '0' + character - 26),
                                  int(random.bounded(2000)) * (random.bounded(4) == 0 ? -1 : 1)});
            }
            log << runLine(when, sets[random.bounded(3)], questions);
        }
        KeysLogReader reader;
        KeysRuns runs;
        reader.feed(log.join(), runs);
        QCOMPARE(runs.runs.size(), std::size_t(400));

        for (RunSet set : {RunSet::Every, RunSet::Letters, RunSet::Digits, RunSet::Mixed}) {
            for (KeyPeriod period : {KeyPeriod::All, KeyPeriod::Last30Days, KeyPeriod::Last100Runs}) {
                KeyStatistics whole;
                whole.rebuild(runs, {set, period}, when);
                KeyStatistics appended;
                KeysLogReader growingReader;
                KeysRuns growing;
                appended.rebuild(growing, {set, period}, when);
                for (qsizetype first = 0; first < log.size(); first += 37) {
                    growingReader.feed(log.mid(first, 37).join(), growing);
                    appended.append(growing, std::size_t(first), when);
                }
                QCOMPARE(describe(appended), describe(whole));
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestKeyStatistics)
#include "tst_keystatistics.moc"
