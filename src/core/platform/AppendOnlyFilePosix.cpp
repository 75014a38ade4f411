#include "AppendOnlyFile.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tekkora {

namespace {

// Writes the bytes in a single write(), so a line is never interleaved with
// another writer's. A short write is taken back when nothing followed it.
bool writeWhole(int fd, const QByteArray &bytes, QString &failure)
{
    if (bytes.isEmpty())
        return true;
    ssize_t written;
    do {
        written = ::write(fd, bytes.constData(), std::size_t(bytes.size()));
    } while (written < 0 && errno == EINTR);

    if (written == bytes.size())
        return true;
    if (written < 0) {
        failure = qt_error_string(errno);
        return false;
    }
    failure = QStringLiteral("書き込みが途中で止まりました (%1 / %2 バイト)").arg(written).arg(bytes.size());
    const off_t end = ::lseek(fd, 0, SEEK_CUR);
    struct stat info {};
    if (end >= written && ::fstat(fd, &info) == 0 && info.st_size == end)
        (void)::ftruncate(fd, end - written);
    return false;
}

// Closes the file; a failing close is a failed write too. The first failure
// keeps its reason.
bool finish(int fd, bool written, QString &failure)
{
    if (!written) {
        ::close(fd);
        return false;
    }
    if (::close(fd) == 0 || errno == EINTR)
        return true;
    failure = qt_error_string(errno);
    return false;
}

} // namespace

FileResult appendToLog(const QString &path, const QByteArray &header, const QByteArray &line)
{
    auto fail = [&path](const QString &reason) { return FileResult::failure(path, reason); };
    const QByteArray nativePath = QFile::encodeName(path);
    QString failure;
    // A file deleted between creating and appending is simply created again.
    for (int attempt = 0; attempt < 3; ++attempt) {
        // Only the writer that creates the file writes the header; anyone
        // finding it there (whatever it holds) adds just the line.
        int fd = ::open(nativePath.constData(), O_WRONLY | O_CREAT | O_EXCL | O_APPEND | O_CLOEXEC, 0666);
        if (fd >= 0) {
            const bool written = writeWhole(fd, header, failure);
            // A file left empty would never get its header: take it away
            // again, unless someone has written to it meanwhile.
            struct stat info {};
            if (!written && ::fstat(fd, &info) == 0 && info.st_size == 0)
                ::unlink(nativePath.constData());
            if (!finish(fd, written, failure))
                return fail(failure);
        } else if (errno != EEXIST) {
            return fail(qt_error_string(errno));
        }

        // O_NONBLOCK keeps a FIFO in the way from hanging the program.
        fd = ::open(nativePath.constData(), O_WRONLY | O_APPEND | O_CLOEXEC | O_NONBLOCK);
        if (fd < 0) {
            if (errno == ENOENT)
                continue;
            return fail(qt_error_string(errno));
        }
        if (!finish(fd, writeWhole(fd, line, failure), failure))
            return fail(failure);
        return FileResult{path, {}};
    }
    return fail(qt_error_string(ENOENT));
}

} // namespace tekkora
