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

qint64 ReadableFile::readSome(qint64 offset, char *data, qint64 size)
{
    ssize_t n;
    do {
        n = ::pread(int(handle_), data, std::size_t(size), off_t(offset));
    } while (n < 0 && errno == EINTR);
    if (n < 0)
        error_ = qt_error_string(errno);
    return qint64(n);
}

} // namespace tekkora
