#pragma once

// Follows a log as it grows: each read takes only the bytes appended since
// the one before. When the file is gone, has shrunk or is another file now
// (replaced, or rewritten from the start), reading starts over.

#include <QByteArray>
#include <QString>

#include <functional>

namespace tekkora {

class FollowedFile {
public:
    explicit FollowedFile(QString path);

    const QString &path() const { return path_; }

    enum class State { Missing, Unreadable, Read };

    struct Result {
        State state = State::Missing;
        QString error; // why the file could not be read
    };

    // Reads what was appended, in slices of at most `chunkBytes`, handing
    // each to `slice`, oldest first. `startOver` is called first whenever
    // what was read before no longer counts, while offset() still tells how
    // much that was.
    Result readAppended(const std::function<void()> &startOver,
                        const std::function<void(const QByteArray &)> &slice, qint64 chunkBytes);

    // How many bytes have been read since reading last started over.
    qint64 offset() const { return offset_; }

private:
    void restart(const std::function<void()> &startOver);

    QString path_;
    qint64 offset_ = 0;
    // Which file was read: its volume and id, and its first and its last
    // bytes read, so a file rewritten in place is told apart from one that
    // only grew.
    quint64 volume_ = 0;
    quint64 id_ = 0;
    QByteArray head_;
    QByteArray tail_;
};

} // namespace tekkora
