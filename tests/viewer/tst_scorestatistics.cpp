// The score window's figures for a list of runs: counts, best and latest,
// the last ten against the ten before, the moving average of the charts, and
// the envelope the charts draw of a long line, and their figure axes.

#include "ChartEnvelope.h"
#include "ChartScale.h"
#include "ScoreStatistics.h"

#include "drill/DrillState.h"
#include "results/ResultsText.h"

#include <QRandomGenerator>
#include <QTest>

using namespace tekkora;

Q_DECLARE_METATYPE(QList<tekkora::Run>)
Q_DECLARE_METATYPE(tekkora::RunSet)

namespace {

Run run(std::uint8_t charSet, double secondsPerKey, float accuracy = 100.0f, int questions = 10)
{
    Run r;
    r.charSet = charSet;
    r.secondsPerKey = secondsPerKey;
    r.accuracy = accuracy;
    r.questions = std::int16_t(questions);
    return r;
}

// Runs of one set with the seconds 1, 2, ... count (accuracy 100 - seconds).
QList<Run> rising(int count, std::uint8_t charSet = charset::Letters)
{
    QList<Run> runs;
    for (int i = 1; i <= count; ++i)
        runs << run(charSet, i, float(100 - i));
    return runs;
}

QList<double> ys(const QList<QPointF> &points)
{
    QList<double> values;
    for (const QPointF &point : points)
        values << point.y();
    return values;
}

QList<double> xs(const QList<QPointF> &points)
{
    QList<double> values;
    for (const QPointF &point : points)
        values << point.x();
    return values;
}

const double None = qQNaN();

double orNone(const std::optional<double> &value)
{
    return value ? *value : None;
}

// 399 runs spread over [low, low + spread], in no order, and one odd run.
QList<double> manyAnd(double low, double spread, double odd, int count = 400)
{
    QList<double> values;
    for (int i = 0; i < count - 1; ++i)
        values << low + spread * std::fmod(i * 0.618034, 1.0);
    values.insert(std::min<qsizetype>(123, values.size() / 2), odd);
    return values;
}

// The tick labels of an axis, bottom to top.
QStringList tickLabels(const AxisScale &scale, int decimals)
{
    QStringList labels;
    for (double tick = std::ceil(scale.low / scale.step) * scale.step; tick <= scale.high; tick += scale.step)
        labels << formatFixed(tick, decimals);
    return labels;
}

} // namespace

class TestScoreStatistics : public QObject {
    Q_OBJECT
private slots:
    void summary_data()
    {
        QTest::addColumn<QList<Run>>("runs");
        QTest::addColumn<RunSet>("set");
        QTest::addColumn<int>("count");
        QTest::addColumn<qint64>("questions");
        QTest::addColumn<double>("best");
        QTest::addColumn<double>("latest");
        QTest::addColumn<double>("recent");
        QTest::addColumn<double>("earlier");
        QTest::addColumn<double>("recentAccuracy");
        QTest::addColumn<double>("earlierAccuracy");
        QTest::addColumn<int>("bestRun"); // its index in `runs`, -1 for none

        QTest::newRow("no runs") << QList<Run>() << RunSet::Every << 0 << qint64(0) << None << None << None << None
                                 << None << None << -1;
        QTest::newRow("one run") << QList<Run>{run(charset::Digits, 0.5, 90.0f, 30)} << RunSet::Every << 1
                                 << qint64(30) << 0.5 << 0.5 << None << None << None << None << 0;
        QTest::newRow("nine runs: no average yet")
            << rising(9) << RunSet::Every << 9 << qint64(90) << 1.0 << 9.0 << None << None << None << None << 0;
        QTest::newRow("ten runs: the last ten, none before")
            << rising(10) << RunSet::Every << 10 << qint64(100) << 1.0 << 10.0 << 5.5 << None << 94.5 << None << 0;
        QTest::newRow("twenty runs: both windows")
            << rising(20) << RunSet::Every << 20 << qint64(200) << 1.0 << 20.0 << 15.5 << 5.5 << 84.5 << 94.5 << 0;
        QTest::newRow("twenty-five runs: the oldest five in neither")
            << rising(25) << RunSet::Every << 25 << qint64(250) << 1.0 << 25.0 << 20.5 << 10.5 << 79.5 << 89.5 << 0;

        // The best is the fastest, wherever it stands; the latest is the
        // last line of the log.
        QList<Run> mixedOrder = rising(5);
        mixedOrder.insert(2, run(charset::Letters, 0.25));
        QTest::newRow("best in the middle")
            << mixedOrder << RunSet::Every << 6 << qint64(60) << 0.25 << 5.0 << None << None << None << None << 2;
        // The best only from runs played to their count at 90 % or better;
        // of equal bests, the first.
        QTest::newRow("best: not a cut-short run, nor one of mashed keys")
            << QList<Run>{run(charset::Letters, 0.3, 89.9f, 50), run(charset::Letters, 0.2, 100.0f, 2),
                          run(charset::Letters, 0.45, 90.0f, 30), run(charset::Letters, 0.1, 100.0f, 20),
                          run(charset::Letters, 0.45, 95.0f, 51)}
            << RunSet::Every << 5 << qint64(153) << 0.45 << 0.45 << None << None << None << None << 2;
        QTest::newRow("best: none played to its count")
            << QList<Run>{run(charset::Digits, 0.3, 100.0f, 9)} << RunSet::Every << 1 << qint64(9) << None << 0.3
            << None << None << None << None << -1;

        // Letters interleaved with digits: each set has its own windows.
        QList<Run> interleaved;
        for (int i = 1; i <= 20; ++i) {
            interleaved << run(charset::Letters, i, 100.0f);
            interleaved << run(charset::Digits, 100 + i, 50.0f, 30);
        }
        QTest::newRow("letters among digits")
            << interleaved << RunSet::Letters << 20 << qint64(200) << 1.0 << 20.0 << 15.5 << 5.5 << 100.0 << 100.0
            << 0;
        QTest::newRow("digits among letters")
            << interleaved << RunSet::Digits << 20 << qint64(600) << None << 120.0 << 115.5 << 105.5 << 50.0 << 50.0
            << -1;
        // Averages per question: a digits run of 30 weighs three letters runs.
        QTest::newRow("every run of both")
            << interleaved << RunSet::Every << 40 << qint64(800) << 1.0 << 120.0 << 93.0 << 88.0 << 62.5 << 62.5 << 0;
        QTest::newRow("a set with no runs")
            << interleaved << RunSet::Mixed << 0 << qint64(0) << None << None << None << None << None << None << -1;

        // A run whose mode was empty belongs to no character set.
        QTest::newRow("an empty mode: in every run only")
            << QList<Run>{run(0, 0.4), run(charset::Letters, 0.6)} << RunSet::Letters << 1 << qint64(10) << 0.6
            << 0.6 << None << None << None << None << 1;
        QTest::newRow("an empty mode, counted with every run")
            << QList<Run>{run(0, 0.4), run(charset::Letters, 0.6)} << RunSet::Every << 2 << qint64(20) << 0.4 << 0.6
            << None << None << None << None << 0;

        // Questions add up past what one run's count can hold.
        QTest::newRow("questions beyond 32767")
            << QList<Run>{run(charset::All, 0.3, 99.0f, 30000), run(charset::All, 0.3, 99.0f, 30000)} << RunSet::Every
            << 2 << qint64(60000) << 0.3 << 0.3 << None << None << None << None << 0;
    }
    void summary()
    {
        QFETCH(QList<Run>, runs);
        QFETCH(RunSet, set);
        QFETCH(int, bestRun);
        const QDateTime start(QDate(2025, 5, 1), QTime(20, 0));
        for (qsizetype i = 0; i < runs.size(); ++i)
            runs[i].when = start.addSecs(60 * i);

        const Summary summary = summarize(runs, set);
        QCOMPARE(summary.bestWhen, bestRun < 0 ? QDateTime() : start.addSecs(60 * bestRun));
        QTEST(int(summary.runs), "count");
        QTEST(summary.questions, "questions");
        QTEST(orNone(summary.bestSecondsPerKey), "best");
        QTEST(orNone(summary.latestSecondsPerKey), "latest");
        QTEST(orNone(summary.recentSecondsPerKey), "recent");
        QTEST(orNone(summary.earlierSecondsPerKey), "earlier");
        QTEST(orNone(summary.recentAccuracy), "recentAccuracy");
        QTEST(orNone(summary.earlierAccuracy), "earlierAccuracy");
    }

    void movingAverage_data()
    {
        QTest::addColumn<QList<Run>>("runs");
        QTest::addColumn<RunSet>("set");
        QTest::addColumn<QList<double>>("average");

        QTest::newRow("fewer than ten: the mean so far")
            << rising(4) << RunSet::Every << QList<double>{1.0, 1.5, 2.0, 2.5};
        QTest::newRow("past ten: the last ten only")
            << rising(12) << RunSet::Every
            << QList<double>{1.0, 1.5, 2.0, 2.5, 3.0, 3.5, 4.0, 4.5, 5.0, 5.5, 6.5, 7.5};
        QList<Run> interleaved;
        for (int i = 1; i <= 12; ++i)
            interleaved << run(charset::Digits, i) << run(charset::Letters, 100);
        QTest::newRow("per question: a run of 50 weighs five of 10")
            << QList<Run>{run(charset::Digits, 1.0, 100.0f, 10), run(charset::Digits, 0.4, 100.0f, 50)}
            << RunSet::Every << QList<double>{1.0, 0.5};
        QTest::newRow("one set among others")
            << interleaved << RunSet::Digits
            << QList<double>{1.0, 1.5, 2.0, 2.5, 3.0, 3.5, 4.0, 4.5, 5.0, 5.5, 6.5, 7.5};
    }
    void movingAverage()
    {
        QFETCH(QList<Run>, runs);
        QFETCH(RunSet, set);
        QFETCH(QList<double>, average);

        const ProgressPoints points = progressPoints(runs, set);
        QCOMPARE(ys(points.secondsPerKeyAverage), average);
        // One point per run of the set, numbered from 1.
        QList<double> numbers;
        for (int i = 1; i <= average.size(); ++i)
            numbers << i;
        QCOMPARE(xs(points.secondsPerKey), numbers);
        QCOMPARE(xs(points.accuracyAverage), numbers);

        // A run taken back and added again leaves the same points.
        ProgressPoints again = points;
        again.removeLast();
        const qsizetype last = points.runIndex.last();
        QVERIFY(belongsTo(runs[last], set));
        again.append(runs[last], last);
        QCOMPARE(again.secondsPerKeyAverage, points.secondsPerKeyAverage);
        QCOMPARE(again.accuracyAverage, points.accuracyAverage);
        QCOMPARE(again.runIndex, points.runIndex);
    }

    // Dots thinned to one per cell of a grid: every point's cell keeps a
    // dot, no cell two, and every dot is one of the points.
    void dots_data()
    {
        QTest::addColumn<int>("points");
        QTest::addColumn<double>("spread"); // of y, the area being 0 to 1
        QTest::addColumn<int>("columns");
        QTest::addColumn<int>("rows");
        QTest::newRow("dense") << 10000 << 1.0 << 20 << 10;
        QTest::newRow("sparse") << 30 << 1.0 << 400 << 200;
        QTest::newRow("beyond the area: in its edge rows") << 2000 << 3.0 << 50 << 5;
    }
    void dots()
    {
        QFETCH(int, points);
        QFETCH(double, spread);
        QFETCH(int, columns);
        QFETCH(int, rows);
        QRandomGenerator random(7);
        QList<QPointF> line;
        for (int i = 0; i < points; ++i)
            line << QPointF(i + 1, (random.generateDouble() - 0.5) * spread + 0.5);
        const QRectF area(0.5, 0.0, points, 1.0);
        const auto cell = [&](const QPointF &p) {
            const int column = int(std::floor((p.x() - area.left()) / area.width() * columns));
            return std::make_pair(column, std::clamp(int(std::floor(p.y() * rows)), 0, rows - 1));
        };
        const QList<QPointF> dots = chartDots(line, area, columns, rows);
        QSet<std::pair<int, int>> taken;
        for (const QPointF &dot : dots) {
            QVERIFY(line.contains(dot));
            QVERIFY2(!taken.contains(cell(dot)), "two dots in one cell");
            taken.insert(cell(dot));
        }
        for (const QPointF &point : line)
            QVERIFY(taken.contains(cell(point)));
    }

    // The axis shows the bulk of the runs, within bounds, with tick labels
    // that differ and have no decimal to spare.
    void axisScale_data()
    {
        QTest::addColumn<QList<double>>("values");
        QTest::addColumn<bool>("accuracy");
        QTest::addColumn<QPointF>("shown");  // [x, y] on the axis
        QTest::addColumn<QPointF>("within"); // the axis inside [x, y]

        QTest::newRow("a run left idle among 400") << manyAnd(0.4, 0.2, 9.235) << false << QPointF(0.41, 0.59)
                                                   << QPointF(0.3, 0.7);
        QTest::newRow("every key missed among 400") << manyAnd(85.0, 15.0, 0.0) << true << QPointF(86.0, 100.0)
                                                    << QPointF(70.0, 103.0);
        for (int count : {5, 10, 30, 50})
            QTest::addRow("a slow run among %d", count) << manyAnd(0.55, 0.1, 2.5, count) << false
                                                        << QPointF(0.55, 0.63) << QPointF(0.4, 1.0);
        QTest::newRow("2.5 s among 22 runs of 0.6") << QList<double>(22, 0.6) + QList<double>{2.5} << false
                                                    << QPointF(0.6, 0.6) << QPointF(0.4, 1.0);
        QTest::newRow("a slow run among 3") << QList<double>{0.6, 2.5, 0.65} << false << QPointF(0.6, 0.65)
                                            << QPointF(0.4, 1.0);
        QTest::newRow("every key missed among 10") << manyAnd(85.0, 15.0, 0.0, 10) << true << QPointF(86.0, 100.0)
                                                   << QPointF(60.0, 103.0);
        QTest::newRow("three close runs") << QList<double>{0.42, 0.41, 0.40} << false << QPointF(0.40, 0.42)
                                          << QPointF(0.3, 0.55);
        QTest::newRow("three runs near 100 %") << QList<double>{100.0, 100.0, 99.0} << true << QPointF(99.0, 100.0)
                                               << QPointF(90.0, 101.0);
        QTest::newRow("one run") << QList<double>{0.5} << false << QPointF(0.5, 0.5) << QPointF(0.4, 0.6);
        QTest::newRow("accuracy far below 100 %: 100 still shown")
            << QList<double>{60.0, 70.0, 65.0} << true << QPointF(60.0, 100.0) << QPointF(50.0, 103.0);
        QTest::newRow("no runs") << QList<double>() << true << QPointF(100.0, 100.0) << QPointF(0.0, 101.0);
    }
    void axisScale()
    {
        QFETCH(QList<double>, values);
        QFETCH(bool, accuracy);
        QFETCH(QPointF, shown);
        QFETCH(QPointF, within);

        const AxisScale scale = scaleAxis(values, accuracy ? AccuracyAxis : SecondsPerKeyAxis);
        QVERIFY2(scale.low <= shown.x() && shown.y() <= scale.high, qPrintable(QStringLiteral("%1 to %2").arg(scale.low).arg(scale.high)));
        QVERIFY2(within.x() <= scale.low && scale.high <= within.y(), qPrintable(QStringLiteral("%1 to %2").arg(scale.low).arg(scale.high)));
        const QStringList labels = tickLabels(scale, scale.decimals);
        QVERIFY2(labels.size() >= 3, qPrintable(labels.join(QLatin1Char(' '))));
        QCOMPARE(QSet<QString>(labels.cbegin(), labels.cend()).size(), labels.size());
        if (scale.decimals > 0) {
            const QStringList fewer = tickLabels(scale, scale.decimals - 1);
            QVERIFY2(QSet<QString>(fewer.cbegin(), fewer.cend()).size() < fewer.size(), qPrintable(labels.join(QLatin1Char(' '))));
        }
    }

    void envelope_data()
    {
        QTest::addColumn<QList<double>>("values");
        QTest::addColumn<int>("buckets");
        QTest::addColumn<QList<double>>("xsDrawn");

        QTest::newRow("few points: every one") << QList<double>{3, 1, 2} << 2 << QList<double>{0, 1, 2};
        QTest::newRow("up to two a group: every one") << QList<double>{3, 1, 2, 5} << 2 << QList<double>{0, 1, 2, 3};
        // Groups {0,1,2} {3,4,5}: lowest and highest of each, in order.
        QTest::newRow("two groups of three")
            << QList<double>{5, 1, 3, 2, 9, 4} << 2 << QList<double>{0, 1, 3, 4};
        QTest::newRow("highest before lowest keeps its order")
            << QList<double>{1, 9, 2, 8, 0, 5} << 2 << QList<double>{0, 1, 3, 4};
        QTest::newRow("a flat group gives one point")
            << QList<double>{7, 7, 7, 1, 2, 3} << 2 << QList<double>{0, 3, 5};
        // Shares of 2, 2 and 3 points.
        QTest::newRow("uneven shares")
            << QList<double>{0, 9, 0, 0, 9, 0, 9} << 3 << QList<double>{0, 1, 2, 4, 5};
    }
    void envelope()
    {
        QFETCH(QList<double>, values);
        QFETCH(int, buckets);
        QList<QPointF> points;
        for (int i = 0; i < values.size(); ++i)
            points << QPointF(i, values[i]);

        const QList<QPointF> drawn = chartEnvelope(points, buckets);
        QTEST(xs(drawn), "xsDrawn");
        // The lowest and the highest of all are always drawn.
        const auto [low, high] = std::minmax_element(values.cbegin(), values.cend());
        QVERIFY(ys(drawn).contains(*low));
        QVERIFY(ys(drawn).contains(*high));
    }
};

QTEST_GUILESS_MAIN(TestScoreStatistics)
#include "tst_scorestatistics.moc"
