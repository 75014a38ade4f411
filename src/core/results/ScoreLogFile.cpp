#include "ScoreLogFile.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tekkora {

namespace {

// Enough of the file's start and of the end of what was read to tell a
// rewritten file from a grown one: the header, or a record line with its
// date and time.
constexpr qsizetype HeadBytes = 128;
constexpr qsizetype TailBytes = 128;

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    FileDescriptor(const FileDescriptor &) = delete;
    FileDescriptor &operator=(const FileDescriptor &) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

// Reads up to `size` bytes at `offset`; fewer at the end of the file.
bool readAt(int fd, qint64 offset, qint64 size, QByteArray &bytes)
{
    bytes.resize(qsizetype(size));
    qint64 got = 0;
    while (got < size) {
        const ssize_t n = ::pread(fd, bytes.data() + got, std::size_t(size - got), off_t(offset + got));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        if (n == 0)
            break;
        got += n;
    }
    bytes.truncate(qsizetype(got));
    return true;
}

} // namespace

ScoreLogFile::ScoreLogFile(QString path) : path_(std::move(path)) {}

void ScoreLogFile::startOver(Update &update)
{
    update.restarted = update.restarted || offset_ > 0 || reader_.skippedLines() > 0;
    reader_.reset();
    offset_ = 0;
    head_.clear();
    tail_.clear();
}

ScoreLogFile::Update ScoreLogFile::readAppended(const ScoreLogReader::RecordSink &sink, qint64 chunkBytes)
{
    Update update;
    auto fail = [&](int error) {
        update.state = State::Unreadable;
        update.error = qt_error_string(error);
        return update;
    };

    // O_NONBLOCK: a FIFO named Score.txt must not hang the reader.
    const QByteArray nativePath = QFile::encodeName(path_);
    FileDescriptor file(::open(nativePath.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (file.get() < 0) {
        const int error = errno;
        startOver(update);
        if (error == ENOENT || error == ENOTDIR)
            return update; // Missing
        return fail(error);
    }
    struct stat info {};
    if (::fstat(file.get(), &info) != 0)
        return fail(errno);
    if (!S_ISREG(info.st_mode)) {
        startOver(update);
        return fail(EINVAL);
    }

    QByteArray head;
    QByteArray tail;
    if (!readAt(file.get(), 0, head_.size(), head) || !readAt(file.get(), offset_ - tail_.size(), tail_.size(), tail))
        return fail(errno);
    if (quint64(info.st_dev) != device_ || quint64(info.st_ino) != inode_ || qint64(info.st_size) < offset_
        || head != head_ || tail != tail_)
        startOver(update);
    device_ = quint64(info.st_dev);
    inode_ = quint64(info.st_ino);
    update.state = State::Read;

    QByteArray chunk;
    for (;;) {
        if (!readAt(file.get(), offset_, chunkBytes, chunk))
            return fail(errno);
        if (chunk.isEmpty())
            break;
        if (offset_ < HeadBytes)
            head_ += chunk.first(qMin<qsizetype>(chunk.size(), HeadBytes - offset_));
        tail_ = chunk.size() >= TailBytes ? chunk.right(TailBytes) : (tail_ + chunk).right(TailBytes);
        offset_ += chunk.size();
        reader_.feed(chunk, sink);
    }
    return update;
}

} // namespace tekkora
