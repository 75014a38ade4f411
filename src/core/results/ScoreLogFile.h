#pragma once

// Follows Score.txt as it grows: each read takes only the bytes appended
// since the one before. When the file is gone, has shrunk or is another file
// now (replaced, or rewritten from the start), reading starts over.

#include "platform/FollowedFile.h"
#include "results/ScoreLogReader.h"

#include <QString>

namespace tekkora {

class ScoreLogFile {
public:
    explicit ScoreLogFile(QString path);

    const QString &path() const { return file_.path(); }

    using State = FollowedFile::State;

    struct Update {
        State state = State::Missing;
        bool restarted = false; // everything read before no longer counts
        QString error;          // why the file could not be read
    };

    // Reads what was appended, in slices of at most `chunkBytes`, handing
    // each new record to `sink`, oldest first. Whether the reading
    // `restarted` is settled before the first record goes out.
    Update readAppended(const ScoreLogReader::RecordSink &sink, qint64 chunkBytes = 1 << 20);

    const ScoreLogReader &reader() const { return reader_; }
    qint64 offset() const { return file_.offset(); }

private:
    FollowedFile file_;
    ScoreLogReader reader_;
};

} // namespace tekkora
