#pragma once

// The latest runs of one character set in Keys.jsonl, read from the end of
// the file backwards and only as far back as they go: a run starting on a
// log of years reads the last few hundred lines, not all of them. Each line
// is read by KeysLogReader's own rules, a damaged one passed over; a line
// naming another set is passed over as soon as its "set" is read. As when
// reading forwards, the bytes after the last line end may still be on their
// way and are not read, and a line longer than KeysLogReader::MaxLineBytes
// is passed over.

#include "results/KeysLogReader.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <cstdint>
#include <string>

namespace tekkora {

class KeysLogTail {
public:
    KeysLogTail(std::uint8_t charSet, std::size_t wanted) : charSet_(charSet), wanted_(wanted) {}

    // The bytes that come just before all those fed so far; the file's
    // last bytes first.
    void feedBefore(QByteArrayView bytes);
    // The start of the file has been reached: its first line is whole.
    void finish();

    bool full() const { return runs_.runs.size() >= wanted_; }
    // Bytes of a line whose start lies further back: the next bytes fed
    // should be at least as many, so that reading stays linear.
    qsizetype pending() const { return head_.size(); }
    // The runs found, the latest first.
    const KeysRuns &runs() const { return runs_; }

private:
    void readLine(QByteArrayView line);

    const std::uint8_t charSet_;
    const std::size_t wanted_;
    KeysRuns runs_;
    QByteArray head_;          // the end part of a line whose start is not fed yet
    bool sawLineEnd_ = false;  // before the first LF, bytes belong to the unfinished last line
    bool overlong_ = false;    // the line being fed has passed the limit
    std::string scratch_;
};

// The last `count` runs of the set in the log at `path`, the latest first;
// none when it cannot be read. A failed read ends the reading with what was
// found by then.
KeysRuns readLastKeysRuns(const QString &path, std::uint8_t charSet, std::size_t count);

} // namespace tekkora
