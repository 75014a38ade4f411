#pragma once

#include "drill/DrillState.h"
#include "results/ResultsText.h"
#include "results/ScoreLog.h"

#include <cstdint>

namespace tekkora::testing {

// The score log's example run: letters, 3 misses in 50 questions, 94.0 per
// cent, 26.15 seconds, finished on 15 July 2000 at 09:05.
inline ScoreRecord exampleRecord()
{
    ScoreRecord record;
    record.QuestionCount = 50;
    record.MissCount = 3;
    record.Accuracy = 94.0f;
    record.ModeCaption = QStringLiteral("英字");
    record.AccuracyCaption = QStringLiteral("94.0");
    record.SpeedCaption = QStringLiteral("0.523");
    record.When = QDateTime(QDate(2000, 7, 15), QTime(9, 5));
    return record;
}

// A run as the drill records it, its captions made by the drill's own
// formats: the character set, questions, misses, the whole run's seconds.
inline ScoreRecord drillRecord(std::uint8_t charSet, int questions, int misses, double seconds, const QDateTime &when)
{
    ScoreRecord record;
    record.QuestionCount = std::int16_t(questions);
    record.MissCount = std::int16_t(misses);
    record.Accuracy = computeAccuracy(record.QuestionCount, record.MissCount);
    record.ModeCaption = charSetText(charSet);
    record.AccuracyCaption = accuracyCaption(record.Accuracy);
    record.SpeedCaption = speedCaption(seconds, record.QuestionCount);
    record.When = when;
    return record;
}

} // namespace tekkora::testing
