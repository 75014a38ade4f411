#pragma once

// Whole-file reads and writes for tests that check what lies on disk.

#include <QByteArray>
#include <QFile>
#include <QString>

namespace tekkora::testing {

// The file's bytes; a file that cannot be read gives a text no file of a
// test holds, so it never passes for an empty one.
inline QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

inline bool writeAll(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace tekkora::testing
