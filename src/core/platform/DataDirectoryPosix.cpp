#include "DataDirectory.h"

#include <QFile>

#include <unistd.h>

namespace tekkora {

bool canCreateFilesIn(const QString &directory)
{
    // access() answers for this user with ACLs and read-only mounts counted,
    // and leaves no trace in a folder that may be shared by every user.
    const QByteArray path = QFile::encodeName(directory);
    return !path.isEmpty() && ::access(path.constData(), W_OK | X_OK) == 0;
}

} // namespace tekkora
