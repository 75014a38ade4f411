#include "DataDirectory.h"

#include "FileStorage.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>

namespace tekkora {

QString programDirectory()
{
    return QCoreApplication::applicationDirPath();
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
    if (const QString fixed = fixedDataDirectory(); !fixed.isEmpty())
        return fixed;
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
