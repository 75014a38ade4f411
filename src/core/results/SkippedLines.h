#pragma once

// The lines of a log that a reader passed over as damaged or foreign: how
// many there were, and for the first of them the line's number and a short
// reason, so a player can find each one in the file.

#include <QList>
#include <QString>

#include <cstdint>

namespace tekkora {

enum class SkipReason : std::uint8_t {
    TooLong,      // longer than any line the drill writes
    NotShiftJis,  // Score.txt: bytes Shift_JIS does not define
    NotARecord,   // Score.txt: text, but not a line the drill writes
    NotJson,      // Keys.jsonl: not a JSON text (or not UTF-8)
    OtherVersion, // Keys.jsonl: "v" other than 1
    NotARun,      // Keys.jsonl: JSON, but a field missing or of another form
};

// A few words for the player, in the score window's language.
QString skipReasonText(SkipReason reason);

struct SkippedLine {
    qint64 line = 0; // counted from 1, every line of the file included
    SkipReason reason = SkipReason::NotARecord;

    bool operator==(const SkippedLine &) const = default;
};

class SkippedLines {
public:
    // Only this many are kept with their reasons: a file of junk must not
    // cost memory in proportion to its lines.
    static constexpr qsizetype KeptAtMost = 1000;

    void add(qint64 line, SkipReason reason)
    {
        if (kept_.size() < KeptAtMost)
            kept_.append({line, reason});
        ++count_;
    }
    void clear()
    {
        kept_.clear();
        count_ = 0;
    }

    qsizetype count() const { return count_; }
    // The first ones, in the order of the file.
    const QList<SkippedLine> &kept() const { return kept_; }

private:
    QList<SkippedLine> kept_;
    qsizetype count_ = 0;
};

} // namespace tekkora
