#pragma once

// The per-key log Keys.jsonl, beside Score.txt: one JSON line per finished
// run (UTF-8, LF), appended at the same moment as the run's score record:
//
//   {"v":1,"time":"2026-12-09T15:04:05+09:00","set":"数字","case":"upper",
//    "questions":[{"c":"7","ms":523},{"c":"3","ms":611,"wrong":["8","Shift"]},{"c":"5","ended":true}]}
//
// (on one line). The keys come in this order; "draw":"weak" after "case"
// only for a run drawn weighted to the player's weak characters; "wrong" only
// when there were wrong keys; "ended" instead of "ms" for the question Esc
// ended the run on.
// The program only ever appends to it, whatever it holds.

#include "drill/RunRecording.h"
#include "platform/FileResult.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

namespace tekkora {

inline const QString KeysFileName = QStringLiteral("Keys.jsonl");

// The version the "v" field carries.
inline constexpr int KeysFormatVersion = 1;

struct KeysRecord {
    QDateTime when;        // the same reading of the clock as the score record
    QString setCaption;    // the character set as the results window shows it
    LetterCase letterCase = LetterCase::Upper;
    // The run's questions: `count` of the pool's from `first` on (a run
    // recorded, or one of the runs a reader keeps), every one by default.
    const QuestionPool *questions = nullptr;
    std::size_t first = 0;
    std::size_t count = std::size_t(-1);
    bool weakDraw = false; // drawn weighted to the weak characters
};

// "2026-12-09T15:04:05+09:00": local time with its offset, "+00:00" for UTC.
QByteArray keysLogTime(const QDateTime &when);

// The line with its LF.
QByteArray formatKeysRecord(const KeysRecord &record);

// Appends the line to Keys.jsonl in the directory in one write, creating the
// file when it is missing. Either the whole line reaches the file or an
// error comes back.
FileResult AppendKeysRecord(const KeysRecord &record, const QString &directory);

} // namespace tekkora
