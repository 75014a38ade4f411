#pragma once

// The score log Score.txt: a three-line header when the file is created, then
// one line per finished run, in Shift_JIS (CP932) with CR LF line ends. The
// program only ever appends to it.

#include "platform/FileResult.h"

#include <QDateTime>
#include <QString>

#include <cstdint>

namespace tekkora {

inline const QString ScoreFileName = QStringLiteral("Score.txt");

// Fields 2, 3 and 4 of a record start on multiples of this many characters.
inline constexpr int ScoreColumnWidth = 14;

struct ScoreRecord {
    std::int16_t QuestionCount = 0;
    std::int16_t MissCount = 0;
    float Accuracy = 0.0f;
    QString ModeCaption;     // LabMode as it stands
    QString AccuracyCaption; // LabPar as it stands
    QString SpeedCaption;    // LabSp as it stands
    QDateTime When;          // local date and time of the record
};

// The three header lines, each with its CR LF.
QString scoreLogHeader();

// One record line without its line end.
QString formatScoreRecord(const ScoreRecord &record);

// Appends the record to Score.txt in the directory, creating the file with
// its header when it does not exist. Either the whole line reaches the file
// or an error is returned and the file is left as it was; lines already in
// the file are never touched. Safe against other writers appending at the
// same time: each line goes out in a single append.
FileResult AppendScoreRecord(const ScoreRecord &record, const QString &directory);

} // namespace tekkora
