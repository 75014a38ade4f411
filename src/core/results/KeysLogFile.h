#pragma once

// Follows Keys.jsonl as it grows, as ScoreLogFile follows Score.txt: each
// read takes only the bytes appended since the one before, and when the file
// is gone, has shrunk or is another file now, reading starts over.

#include "platform/FollowedFile.h"
#include "results/KeysLogReader.h"

#include <QString>

namespace tekkora {

class KeysLogFile {
public:
    explicit KeysLogFile(QString path);

    const QString &path() const { return file_.path(); }

    using State = FollowedFile::State;

    struct Update {
        State state = State::Missing;
        bool restarted = false;     // every run read before is gone from runs()
        std::size_t firstNewRun = 0; // the runs this read added start here
        QString error;              // why the file could not be read
    };

    // Reads what was appended, in slices of at most `chunkBytes`.
    Update readAppended(qint64 chunkBytes = 1 << 20);

    const KeysRuns &runs() const { return runs_; }
    const KeysLogReader &reader() const { return reader_; }
    qint64 offset() const { return file_.offset(); }

private:
    FollowedFile file_;
    KeysLogReader reader_;
    KeysRuns runs_;
};

} // namespace tekkora
