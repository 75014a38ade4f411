#include "DataDirectory.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>
#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace tekkora {

QString programDirectory()
{
    return QCoreApplication::applicationDirPath();
}

bool canCreateFilesIn(const QString &directory)
{
#ifdef Q_OS_UNIX
    // access() answers for this user with ACLs and read-only mounts counted,
    // and leaves no trace in a folder that may be shared by every user.
    const QByteArray path = QFile::encodeName(directory);
    return !path.isEmpty() && ::access(path.constData(), W_OK | X_OK) == 0;
#else
    const QFileInfo info(directory);
    return info.isDir() && info.isWritable();
#endif
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
