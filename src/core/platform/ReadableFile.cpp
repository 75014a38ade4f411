#include "ReadableFile.h"

namespace tekkora {

bool ReadableFile::readAt(qint64 offset, qint64 size, QByteArray &bytes)
{
    bytes.resize(qsizetype(size));
    qint64 got = 0;
    while (got < size) {
        const qint64 n = readSome(offset + got, bytes.data() + got, size - got);
        if (n < 0)
            return false;
        if (n == 0)
            break;
        got += n;
    }
    bytes.truncate(qsizetype(got));
    return true;
}

} // namespace tekkora
