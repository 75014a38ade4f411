#pragma once

// A path as the Windows API takes it: backslashes, UTF-16. Only the
// Windows implementations of the platform seams include this.

#include <QDir>
#include <QString>

#include <string>

namespace tekkora {

inline std::wstring windowsPath(const QString &path)
{
    return QDir::toNativeSeparators(path).toStdWString();
}

} // namespace tekkora
