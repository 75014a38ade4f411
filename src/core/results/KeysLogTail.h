#pragma once

// The latest runs of one character set in Keys.jsonl, read from the end of
// the file backwards and only as far back as they go: a run starting on a
// log of years reads the last few hundred lines, not all of them. Each line
// is read by KeysLogReader's own rules, a damaged one passed over; a line
// naming another set is passed over as soon as its "set" is read. As when
// reading forwards, the bytes after the last line end may still be on their
// way and are not read, and a line longer than KeysLogReader::MaxLineBytes
// (unless told another limit) is passed over.

#include "results/KeysLogReader.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <cstdint>
#include <string>
#include <string_view>

namespace tekkora {

class KeysLogTail {
public:
    KeysLogTail(std::uint8_t charSet, std::size_t wanted, qsizetype maxLineBytes = KeysLogReader::MaxLineBytes)
        : charSet_(charSet), wanted_(wanted), maxLineBytes_(std::size_t(maxLineBytes))
    {
    }

    // The bytes that come just before all those fed so far; the file's
    // last bytes first.
    void feedBefore(QByteArrayView bytes);
    // The start of the file has been reached: its first line is whole.
    void finish();

    bool full() const { return runs_.runs.size() >= wanted_; }
    // The runs found, the latest first.
    const KeysRuns &runs() const { return runs_; }

private:
    // Bytes that come before every pending byte, of the line they end.
    void keep(std::string_view part);
    // The pending line is whole: its start has been fed.
    void finishPending();
    void readLine(QByteArrayView line);

    const std::uint8_t charSet_;
    const std::size_t wanted_;
    const std::size_t maxLineBytes_;
    KeysRuns runs_;
    // The part fed so far of a line whose start is not, its bytes from the
    // last to the first: each part fed adds to its end, so a line cut into
    // many parts is still copied only once.
    std::string pending_;
    bool sawLineEnd_ = false; // before the last LF: the unfinished last line
    bool overlong_ = false;   // the pending line is past the limit
    std::string line_;
    std::string scratch_;
};

// The last `count` runs of the set in the log at `path`, the latest first;
// none when it cannot be read. A failed read ends the reading with what was
// found by then.
KeysRuns readLastKeysRuns(const QString &path, std::uint8_t charSet, std::size_t count);

} // namespace tekkora
