#pragma once

// The figures the score window shows for the runs of one character set: the
// counts, the best and the latest seconds per key, the last ten runs against
// the ten before them, and the points of the progress charts.

#include "results/ScoreLog.h"

#include <QDateTime>
#include <QList>
#include <QPointF>

#include <cstdint>
#include <optional>

namespace tekkora {

// One run of the log, as the window keeps it.
struct Run {
    QDateTime when;              // the wall-clock time written in the log
    std::uint8_t charSet = 0;    // 1 letters, 2 digits, 3 all; 0 for an empty mode
    std::int16_t questions = 0;
    std::int16_t misses = 0;
    float accuracy = 0.0f;       // per cent
    double secondsPerKey = 0.0;
};

Run runOf(const ScoreRecord &record);

// Which runs a view shows: every run, or those of one character set.
enum class RunSet { Every, Letters, Digits, Mixed };

bool belongsTo(const Run &run, RunSet set);

// Score.txt does not say how many questions a run was set to. A run counts
// as played to its end when its questions are one of the counts the drill
// offers, or more than the largest of them (an unlimited run); a run ended
// early at exactly such a count cannot be told from one that was not.
bool reachedItsCount(const Run &run);

// The best run is the fastest of those played to their end at this accuracy
// or better: a run of a few keys, or of keys mashed, is no record.
inline constexpr float BestAccuracy = 90.0f;

// Averages are per question: a run of 50 questions weighs five times a run
// of 10, as if the runs were one long run.
inline constexpr int AverageWindow = 10;

struct Summary {
    qsizetype runs = 0;
    qint64 questions = 0;
    std::optional<double> bestSecondsPerKey;   // the fastest run that counts as a best
    QDateTime bestWhen;
    std::optional<double> latestSecondsPerKey; // the last run in the log
    std::optional<float> latestAccuracy;
    // The last AverageWindow runs, and the AverageWindow before them; each
    // only when the log holds all of its runs.
    std::optional<double> recentSecondsPerKey;
    std::optional<double> earlierSecondsPerKey;
    std::optional<double> recentAccuracy;
    std::optional<double> earlierAccuracy;
};

Summary summarize(const QList<Run> &runs, RunSet set);

// The charts' points: x is the run's number within its set (1, 2, ...), y
// its figure, and beside each run the average of it and the runs before it,
// up to AverageWindow runs. Per point too: the run's place in the window's
// list, its character set and its questions.
struct ProgressPoints {
    QList<QPointF> secondsPerKey;
    QList<QPointF> secondsPerKeyAverage;
    QList<QPointF> accuracy;
    QList<QPointF> accuracyAverage;
    QList<qsizetype> runIndex;
    QList<std::uint8_t> charSet;
    QList<std::int16_t> questions;

    void append(const Run &run, qsizetype index);
    void removeLast();
    qsizetype size() const { return secondsPerKey.size(); }
};

ProgressPoints progressPoints(const QList<Run> &runs, RunSet set);

} // namespace tekkora
