#include "ScoreStatistics.h"

#include "drill/DrillState.h"

#include <algorithm>
#include <charconv>

namespace tekkora {

Run runOf(const ScoreRecord &record)
{
    Run run;
    run.when = record.When;
    for (std::uint8_t charSet : {charset::Letters, charset::Digits, charset::All}) {
        if (record.ModeCaption == charSetText(charSet))
            run.charSet = charSet;
    }
    run.questions = record.QuestionCount;
    run.misses = record.MissCount;
    run.accuracy = record.Accuracy;
    // The caption is "#0.000" with a point, as the reader has checked.
    const QByteArray speed = record.SpeedCaption.toLatin1();
    std::from_chars(speed.cbegin(), speed.cend(), run.secondsPerKey);
    return run;
}

bool belongsTo(const Run &run, RunSet set)
{
    switch (set) {
    case RunSet::Every: return true;
    case RunSet::Letters: return run.charSet == charset::Letters;
    case RunSet::Digits: return run.charSet == charset::Digits;
    case RunSet::Mixed: return run.charSet == charset::All;
    }
    return false;
}

bool reachedItsCount(const Run &run)
{
    // The drill's counts (F5, F6, F7); F8 is unlimited.
    constexpr std::int16_t Counts[] = {10, 30, 50};
    return std::find(std::begin(Counts), std::end(Counts), run.questions) != std::end(Counts)
           || run.questions > Counts[std::size(Counts) - 1];
}

namespace {

// The average per question of AverageWindow runs' figures after the `skip`
// newest, when there are that many.
template <typename Figure>
std::optional<double> meanOf(const QList<const Run *> &newestFirst, qsizetype skip, Figure figure)
{
    if (newestFirst.size() < skip + AverageWindow)
        return std::nullopt;
    double sum = 0.0;
    double questions = 0.0;
    for (qsizetype i = skip; i < skip + AverageWindow; ++i) {
        sum += figure(*newestFirst[i]) * newestFirst[i]->questions;
        questions += newestFirst[i]->questions;
    }
    return questions > 0.0 ? sum / questions : 0.0;
}

double meanOfLast(const QList<QPointF> &points, const QList<std::int16_t> &questions)
{
    const qsizetype count = std::min<qsizetype>(points.size(), AverageWindow);
    double sum = 0.0;
    double weight = 0.0;
    for (qsizetype i = points.size() - count; i < points.size(); ++i) {
        sum += points[i].y() * questions[i];
        weight += questions[i];
    }
    return weight > 0.0 ? sum / weight : points.last().y();
}

} // namespace

Summary summarize(const QList<Run> &runs, RunSet set)
{
    Summary summary;
    QList<const Run *> newest; // up to two windows, newest first
    for (auto it = runs.crbegin(); it != runs.crend(); ++it) {
        const Run &run = *it;
        if (!belongsTo(run, set))
            continue;
        if (summary.runs == 0) {
            summary.latestSecondsPerKey = run.secondsPerKey;
            summary.latestAccuracy = run.accuracy;
        }
        ++summary.runs;
        summary.questions += run.questions;
        // Newest first: of equal bests, the first time it was reached.
        const bool counts = reachedItsCount(run) && run.accuracy >= BestAccuracy;
        if (counts && (!summary.bestSecondsPerKey || run.secondsPerKey <= *summary.bestSecondsPerKey)) {
            summary.bestSecondsPerKey = run.secondsPerKey;
            summary.bestWhen = run.when;
        }
        if (newest.size() < 2 * AverageWindow)
            newest.append(&run);
    }
    const auto speed = [](const Run &run) { return run.secondsPerKey; };
    const auto accuracy = [](const Run &run) { return double(run.accuracy); };
    summary.recentSecondsPerKey = meanOf(newest, 0, speed);
    summary.earlierSecondsPerKey = meanOf(newest, AverageWindow, speed);
    summary.recentAccuracy = meanOf(newest, 0, accuracy);
    summary.earlierAccuracy = meanOf(newest, AverageWindow, accuracy);
    return summary;
}

void ProgressPoints::append(const Run &run, qsizetype index)
{
    const double x = double(size() + 1);
    runIndex.append(index);
    charSet.append(run.charSet);
    questions.append(run.questions);
    secondsPerKey.append(QPointF(x, run.secondsPerKey));
    secondsPerKeyAverage.append(QPointF(x, meanOfLast(secondsPerKey, questions)));
    accuracy.append(QPointF(x, double(run.accuracy)));
    accuracyAverage.append(QPointF(x, meanOfLast(accuracy, questions)));
}

void ProgressPoints::removeLast()
{
    if (runIndex.isEmpty())
        return;
    for (QList<QPointF> *points : {&secondsPerKey, &secondsPerKeyAverage, &accuracy, &accuracyAverage})
        points->removeLast();
    runIndex.removeLast();
    charSet.removeLast();
    questions.removeLast();
}

ProgressPoints progressPoints(const QList<Run> &runs, RunSet set)
{
    ProgressPoints points;
    for (qsizetype i = 0; i < runs.size(); ++i) {
        if (belongsTo(runs[i], set))
            points.append(runs[i], i);
    }
    return points;
}

} // namespace tekkora
