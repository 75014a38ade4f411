#pragma once

// Reads Keys.jsonl back into a compact form: per run its time, character
// set, case, how it was drawn and its questions, every question 12 bytes and every wrong key one,
// in arrays shared by all runs (500 000 questions take about 6 MiB).
//
// Nothing is guessed at. A line is a run only when it is a JSON object with
// "v": 1 and every field of the format in its form; a line that is not JSON,
// of another version, or with a field missing or malformed is counted as
// skipped, with its number and the reason. Fields the format does not know
// are passed over, so a later version may add some. Empty lines are passed
// over without counting.
//
// The line after the last line end may still be on its way: it waits,
// neither read nor skipped, until its line end arrives. Reading is linear in
// the bytes fed, however they are cut.

#include "drill/RunRecording.h"
#include "results/LineSplitter.h"
#include "results/SkippedLines.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QDateTime>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tekkora {

struct KeysRun {
    qint64 utcSeconds = 0;           // when the run was recorded
    std::int32_t offsetSeconds = 0;  // the local offset it was written with
    std::uint32_t firstQuestion = 0; // in KeysRuns::pool
    std::uint32_t questionCount = 0;
    std::uint8_t charSet = 0;        // 1 letters, 2 digits, 3 all; 0 for an empty set
    LetterCase letterCase = LetterCase::Upper;
    bool weakDraw = false;           // "draw":"weak": drawn weighted to the weak characters

    // The local date and time as written in the line.
    QDateTime localTime() const;
};

// Every run read so far, oldest first, with all their questions in one pool.
struct KeysRuns {
    std::vector<KeysRun> runs;
    QuestionPool pool;

    void clear()
    {
        runs.clear();
        pool.clear();
    }
};

class KeysLogReader {
public:
    // Longer lines are skipped without being kept; the longest run the drill
    // can write, with every key of an hour-long key flood, is far shorter.
    static constexpr qsizetype MaxLineBytes = 64 * 1024 * 1024;

    // Reads the bytes that follow those fed before, adding the runs of the
    // lines they complete to `runs`.
    void feed(QByteArrayView bytes, KeysRuns &runs);

    const SkippedLines &skipped() const { return skipped_; }
    // Complete lines read, whatever they held.
    qint64 lines() const { return lines_.lines(); }
    // Some of a line has arrived without its line end.
    bool waiting() const { return lines_.waiting(); }

    // Forgets everything, to read a file again from its start.
    void reset();

    // One complete line, without its LF, read as a fed line is: true when
    // it holds a run, added to `runs`.
    static bool readLine(QByteArrayView line, KeysRuns &runs, std::string &scratch);
    // The character set named by a line's first "set" member, found without
    // reading the rest: a line that names another set than the one wanted is
    // no run of it, whatever follows. None when the line does not get as far.
    static std::optional<std::uint8_t> namedCharSet(QByteArrayView line, std::string &scratch);

private:
    void finishLine(QByteArrayView line, KeysRuns &runs);

    LineSplitter lines_{MaxLineBytes};
    SkippedLines skipped_;
    std::string scratch_;
};

} // namespace tekkora
