#pragma once

// Whole-file reads and writes for tests that check what lies on disk.

#include <QByteArray>
#include <QFile>
#include <QString>

namespace tekkora::testing {

// The file's bytes, or nothing when it cannot be read.
inline QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline bool writeAll(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace tekkora::testing
