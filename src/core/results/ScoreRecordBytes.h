#pragma once

// Score.txt's record lines as bytes: read and written again without a
// Shift_JIS converter. The lines are of a fixed form whose only characters
// beyond ASCII are a handful of fixed words, so each is read and compared
// byte by byte, and a line counts only when the drill's own formatter
// writes exactly its bytes.

#include "results/ScoreLog.h"

#include <QByteArray>
#include <QByteArrayView>

#include <optional>

namespace tekkora {

// The bytes toShiftJis(formatScoreRecord(record)) gives, for any record.
QByteArray formatScoreRecordBytes(const ScoreRecord &record);

// The record a line (without its line end) holds, when formatting it again
// gives back exactly the line's bytes.
std::optional<ScoreRecord> parseScoreRecordBytes(QByteArrayView line);

} // namespace tekkora
