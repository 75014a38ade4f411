#pragma once

// Follows Score.txt as it grows: each read takes only the bytes appended
// since the one before. When the file is gone, has shrunk or is another file
// now (replaced, or rewritten from the start), reading starts over.

#include "results/ScoreLogReader.h"

#include <QByteArray>
#include <QList>
#include <QString>


namespace tekkora {

class ScoreLogFile {
public:
    explicit ScoreLogFile(QString path);

    const QString &path() const { return path_; }

    enum class State { Missing, Unreadable, Read };

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
    qint64 offset() const { return offset_; }

private:
    void startOver(Update &update);

    QString path_;
    ScoreLogReader reader_;
    qint64 offset_ = 0;
    bool everRead_ = false;
    // Which file was read: its device and inode, and its first and its last
    // bytes read, so a file rewritten in place is told apart from one that
    // only grew.
    quint64 device_ = 0;
    quint64 inode_ = 0;
    QByteArray head_;
    QByteArray tail_;
};

} // namespace tekkora
