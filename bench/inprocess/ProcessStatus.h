#pragma once

// A memory figure of this process from /proc/self/status (VmRSS, VmHWM,
// ...), in KiB; -1 where there is none.

#include <QByteArray>
#include <QFile>

namespace tekkora::bench {

inline long statusKib(const char *field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray prefix = QByteArray(field) + ':';
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith(prefix))
            return line.mid(prefix.size()).trimmed().split(' ').value(0).toLong();
    return -1;
}

} // namespace tekkora::bench
