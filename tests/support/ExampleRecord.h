#pragma once

#include "results/ScoreLog.h"

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

} // namespace tekkora::testing
