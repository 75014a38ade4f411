#pragma once

#include <QDir>
#include <QString>

namespace tekkora {

// How an operation on one of the program's files went: the file concerned
// and, when it failed, the system's reason, as the player is told of it.
struct FileResult {
    QString path;
    QString error; // empty when it worked

    bool ok() const { return error.isEmpty(); }

    static FileResult failure(const QString &path, const QString &reason) { return {path, reason}; }

    // The file and the reason on two lines, the path as the system writes it.
    QString describe() const { return QDir::toNativeSeparators(path) + QLatin1Char('\n') + error; }
};

} // namespace tekkora
