#include "ReplacedFile.h"

#include <QSaveFile>

#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace tekkora {

FileResult replaceFileContents(const QString &path, std::string_view contents)
{
    const auto fail = [&](const QString &reason) { return FileResult::failure(path, reason); };
    // QSaveFile writes into a temporary file beside the target and renames
    // it over the target on commit(), keeping the old permissions. It does
    // not notice on its own when the data never reached the disk: a failed
    // flush or a short write still commits a cut file (Qt 6.4), and the
    // result of its sync is ignored. So the writes go unbuffered and are
    // checked one by one, and the sync is ours; on any failure the temporary
    // file is dropped and the old file stays as it was.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return fail(file.errorString());
    const auto abandon = [&](const QString &reason) {
        file.cancelWriting();
        return fail(reason);
    };
    const char *data = contents.data();
    qint64 left = qint64(contents.size());
    while (left > 0) {
        const qint64 written = file.write(data, left);
        if (written <= 0)
            return abandon(file.errorString());
        data += written;
        left -= written;
    }
    if (!file.flush())
        return abandon(file.errorString());
    if (::fsync(file.handle()) != 0)
        return abandon(QString::fromLocal8Bit(std::strerror(errno)));
    if (!file.commit())
        return fail(file.errorString());
    return FileResult{path, {}};
}

} // namespace tekkora
