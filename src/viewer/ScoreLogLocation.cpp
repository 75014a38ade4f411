#include "ScoreLogLocation.h"

#include "platform/DataDirectory.h"
#include "results/ScoreLog.h"

#include <QFileInfo>

namespace tekkora {

QString scoreLogPath(const QString &given)
{
    if (given.isEmpty())
        return fileInDirectory(resolveDataDirectory(), ScoreFileName);
    const QFileInfo info(given);
    if (info.isDir())
        return fileInDirectory(info.absoluteFilePath(), ScoreFileName);
    return info.absoluteFilePath();
}

} // namespace tekkora
