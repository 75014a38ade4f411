#pragma once

// Reads Score.txt back: the records of the runs, from the bytes the drill
// appended, fed as they come.
//
// Nothing is guessed at. A line is a record only when it parses and
// formatScoreRecord() of what was parsed, in CP932, gives back exactly its
// bytes (read and compared byte by byte, see ScoreRecordBytes.h); any other
// line (cut off, junk, saved as UTF-8, a decimal comma, a field out of
// place) is counted as skipped. Lines that hold no run are
// passed over without counting: empty lines, and the header's title and
// column lines wherever they stand (a second copy of the drill may have
// written the header again).
//
// A line ends at LF, with or without a CR before it: the drill writes CR LF,
// an editor may have turned that into LF, and the record itself is the same.
// A CR anywhere else belongs to the line and spoils it.
//
// The line after the last line end may still be on its way (the drill writes
// a line in one go, but a reader may see part of it). It is kept apart
// until its line end arrives; pending() says what it would be if the file
// ended there.
//
// Linear in the bytes fed, whatever they are: a line longer than any record
// is counted as skipped without being kept.

#include "results/LineSplitter.h"
#include "results/ScoreLog.h"
#include "results/SkippedLines.h"
#include "platform/ShiftJis.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

#include <functional>
#include <optional>

namespace tekkora {

class ScoreLogReader {
public:
    // Lines this long cannot be records (the longest is under 200 bytes).
    static constexpr qsizetype MaxLineBytes = 1024;

    // Reads the bytes that follow those fed before, handing the records of
    // the lines they complete to `sink`, oldest first.
    using RecordSink = std::function<void(ScoreRecord &&record)>;
    void feed(QByteArrayView bytes, const RecordSink &sink);

    // The same, with the records returned.
    QList<ScoreRecord> feed(QByteArrayView bytes);

    // Completed lines that were not records (nor empty, nor header lines).
    qsizetype skippedLines() const { return skipped_.count(); }
    // The same lines with their numbers and why each was skipped.
    const SkippedLines &skipped() const { return skipped_; }

    struct Pending {
        enum Kind { Nothing, Record, Passed, Skipped } kind = Nothing;
        ScoreRecord record; // when kind is Record
        qint64 line = 0;    // its number, when there is one
        SkipReason reason = SkipReason::NotARecord; // when kind is Skipped
    };
    // The unfinished line read as though the file ended with it: Nothing
    // when there is none, Passed for an empty or header line.
    Pending pending() const;

    // Forgets everything, to read a file again from its start.
    void reset();

private:
    enum class LineKind { Record, Passed, Skipped };
    LineKind classify(QByteArrayView line, ScoreRecord &record, SkipReason &reason) const;

    ShiftJisDecoder decoder_; // only to tell why a line was skipped
    LineSplitter lines_{MaxLineBytes};
    SkippedLines skipped_;
};

} // namespace tekkora
