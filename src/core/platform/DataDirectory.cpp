#include "DataDirectory.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace tekkora {

QString programDirectory()
{
    return QCoreApplication::applicationDirPath();
}

static bool canCreateFilesIn(const QString &directory)
{
    // Asking for permission bits is not enough (read-only mounts, ACLs):
    // try to create a file and let it go again.
    QTemporaryFile probe(QDir(directory).filePath(QStringLiteral(".tekkora-probe-XXXXXX")));
    return probe.open();
}

QString chooseDataDirectory(const QString &programDir, const QString &perUserDir)
{
    if (!programDir.isEmpty() && canCreateFilesIn(programDir))
        return programDir;
    QDir().mkpath(perUserDir);
    return perUserDir;
}

QString resolveDataDirectory()
{
    return chooseDataDirectory(programDirectory(),
                               QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
}

QString fileInDirectory(const QString &directory, const QString &fileName)
{
    if (directory.endsWith(QLatin1Char('/')) || directory.endsWith(QLatin1Char('\\')))
        return directory + fileName;
    return directory + QLatin1Char('/') + fileName;
}

} // namespace tekkora
