#pragma once

// A file opened for reading by position while others may append to it, as
// the score window reads the drill's logs. The system's own calls on each
// platform, behind one small class.

#include <QByteArray>
#include <QString>

#include <cstdint>

namespace tekkora {

class ReadableFile {
public:
    ReadableFile() = default;
    ~ReadableFile();
    ReadableFile(const ReadableFile &) = delete;
    ReadableFile &operator=(const ReadableFile &) = delete;

    enum class Opened { Yes, Missing, Failed };
    // Never blocks, not even on a FIFO in the file's place.
    Opened open(const QString &path);

    struct Facts {
        bool regular = false; // a plain file, not a folder, FIFO or device
        qint64 size = 0;
        // Which file this is, whatever its name: a file replaced by another
        // under the same name has other ones.
        quint64 volume = 0;
        quint64 id = 0;
    };
    bool facts(Facts &facts);

    // Up to `size` bytes at `offset`; fewer at the end of the file.
    bool readAt(qint64 offset, qint64 size, QByteArray &bytes);

    // Why the last call failed, as the system says it.
    const QString &error() const { return error_; }

private:
    // One read of the system's at the offset: the bytes it gave, 0 at the
    // end of the file, -1 on a failure (in error()).
    qint64 readSome(qint64 offset, char *data, qint64 size);

    std::intptr_t handle_ = -1;
    QString error_;
};

} // namespace tekkora
