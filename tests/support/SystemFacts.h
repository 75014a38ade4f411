#pragma once

// What differs between the systems the tests run on: whether a read-only
// file or folder stops this process, Windows under Wine, and the system's
// own words for a failure.

#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <QtGlobal>

#include <cerrno>

#ifdef Q_OS_WIN
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#endif

namespace tekkora::testing {

// Whether a file, or a folder, made read-only through QFile::setPermissions
// refuses this process's writes. Found out by trying: the permission bits do
// not stop root, Windows' read-only attribute stops everyone from writing a
// file but nobody from adding files to a folder, and Wine as root lets
// everything through.
inline bool readOnlyStopsWrites(bool folder)
{
    const QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("probe"));
    const auto readOnly = QFile::ReadOwner | QFile::ExeOwner;
    QFile file(folder ? path + QStringLiteral("/file") : path);
    const bool made = folder ? QDir(dir.path()).mkdir(path) : file.open(QIODevice::WriteOnly);
    file.close();
    const bool stopped = made && QFile::setPermissions(path, readOnly) && !file.open(QIODevice::WriteOnly);
    QFile::setPermissions(path, readOnly | QFile::WriteOwner);
    return stopped;
}

inline bool runningUnderWine()
{
#ifdef Q_OS_WIN
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
#else
    return false;
#endif
}

// Windows' codes of the failures the tests provoke.
namespace windows_error {
constexpr int PathNotFound = 3;
constexpr int AccessDenied = 5;
} // namespace windows_error

// The system's words for a failure, as the program passes them on.
inline QString systemReason(int posixError, int windowsError)
{
#ifdef Q_OS_WIN
    Q_UNUSED(posixError);
    return qt_error_string(windowsError);
#else
    Q_UNUSED(windowsError);
    return qt_error_string(posixError);
#endif
}

} // namespace tekkora::testing
