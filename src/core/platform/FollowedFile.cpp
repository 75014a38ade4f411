#include "FollowedFile.h"

#include "ReadableFile.h"

#include <cerrno>
#include <cstring>

namespace tekkora {

namespace {

// Enough of the file's start and of the end of what was read to tell a
// rewritten file from a grown one: a header, or a record line with its date
// and time.
constexpr qsizetype HeadBytes = 128;
constexpr qsizetype TailBytes = 128;

} // namespace

FollowedFile::FollowedFile(QString path) : path_(std::move(path)) {}

void FollowedFile::restart(const std::function<void()> &startOver)
{
    startOver();
    offset_ = 0;
    head_.clear();
    tail_.clear();
}

FollowedFile::Result FollowedFile::readAppended(const std::function<void()> &startOver,
                                                const std::function<void(const QByteArray &)> &slice,
                                                qint64 chunkBytes)
{
    Result result;
    ReadableFile file;
    auto fail = [&]() {
        result.state = State::Unreadable;
        result.error = file.error();
        return result;
    };

    switch (file.open(path_)) {
    case ReadableFile::Opened::Yes:
        break;
    case ReadableFile::Opened::Missing:
        restart(startOver);
        return result;
    case ReadableFile::Opened::Failed:
        restart(startOver);
        return fail();
    }
    ReadableFile::Facts facts;
    if (!file.facts(facts))
        return fail();
    if (!facts.regular) {
        restart(startOver);
        result.state = State::Unreadable;
        result.error = QString::fromLocal8Bit(std::strerror(EINVAL));
        return result;
    }

    QByteArray head;
    QByteArray tail;
    if (!file.readAt(0, head_.size(), head) || !file.readAt(offset_ - tail_.size(), tail_.size(), tail))
        return fail();
    if (facts.volume != volume_ || facts.id != id_ || facts.size < offset_ || head != head_ || tail != tail_)
        restart(startOver);
    volume_ = facts.volume;
    id_ = facts.id;
    result.state = State::Read;

    QByteArray chunk;
    for (;;) {
        if (!file.readAt(offset_, chunkBytes, chunk))
            return fail();
        if (chunk.isEmpty())
            break;
        if (offset_ < HeadBytes)
            head_ += chunk.first(qMin<qsizetype>(chunk.size(), HeadBytes - offset_));
        tail_ = chunk.size() >= TailBytes ? chunk.right(TailBytes) : (tail_ + chunk).right(TailBytes);
        offset_ += chunk.size();
        slice(chunk);
    }
    return result;
}

} // namespace tekkora
