#include "ReadableFile.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tekkora {

ReadableFile::~ReadableFile()
{
    if (handle_ >= 0)
        ::close(int(handle_));
}

ReadableFile::Opened ReadableFile::open(const QString &path)
{
    const QByteArray nativePath = QFile::encodeName(path);
    const int fd = ::open(nativePath.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd >= 0) {
        handle_ = fd;
        return Opened::Yes;
    }
    const int error = errno;
    error_ = qt_error_string(error);
    return error == ENOENT || error == ENOTDIR ? Opened::Missing : Opened::Failed;
}

bool ReadableFile::facts(Facts &facts)
{
    struct stat info {};
    if (::fstat(int(handle_), &info) != 0) {
        error_ = qt_error_string(errno);
        return false;
    }
    facts.regular = S_ISREG(info.st_mode);
    facts.size = qint64(info.st_size);
    facts.volume = quint64(info.st_dev);
    facts.id = quint64(info.st_ino);
    return true;
}

bool ReadableFile::readAt(qint64 offset, qint64 size, QByteArray &bytes)
{
    bytes.resize(qsizetype(size));
    qint64 got = 0;
    while (got < size) {
        const ssize_t n = ::pread(int(handle_), bytes.data() + got, std::size_t(size - got), off_t(offset + got));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            error_ = qt_error_string(errno);
            return false;
        }
        if (n == 0)
            break;
        got += n;
    }
    bytes.truncate(qsizetype(got));
    return true;
}

} // namespace tekkora
