#pragma once

// Faults that only some systems let a test set up: a FIFO in a file's
// place, a limit on the size of the files this process writes (a full disk
// at a size of the test's choosing), read-only files that bind this process;
// and the C library's heap in use. Where the system has no such thing, the helper
// says so and the test skips that case; every other case runs everywhere.

#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <QtGlobal>

#include <cerrno>
#include <cstddef>

#include <malloc.h>

#ifdef Q_OS_WIN
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#endif

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace tekkora::testing {

// A FIFO with no writer at the path; false where the system has none.
inline bool makeFifo(const QString &path)
{
#ifdef Q_OS_UNIX
    return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0;
#else
    Q_UNUSED(path);
    return false;
#endif
}

// While it lives, writes that would make a file of this process longer than
// the limit fail part-way, without a signal.
class FileSizeLimit {
public:
    explicit FileSizeLimit(qint64 bytes)
    {
#ifdef Q_OS_UNIX
        if (::getrlimit(RLIMIT_FSIZE, &saved_) != 0)
            return;
        rlimit tight = saved_;
        tight.rlim_cur = rlim_t(bytes);
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        active_ = ::setrlimit(RLIMIT_FSIZE, &tight) == 0;
#else
        Q_UNUSED(bytes);
#endif
    }
    ~FileSizeLimit()
    {
#ifdef Q_OS_UNIX
        if (active_)
            ::setrlimit(RLIMIT_FSIZE, &saved_);
        if (oldHandler_ != SIG_ERR)
            std::signal(SIGXFSZ, oldHandler_);
#endif
    }
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;

    bool active() const { return active_; }

private:
    bool active_ = false;
#ifdef Q_OS_UNIX
    rlimit saved_{};
    void (*oldHandler_)(int) = SIG_ERR;
#endif
};

// Whether a file, or a folder, made read-only through QFile::setPermissions
// refuses this process's writes. Found out by trying: the permission bits do
// not stop root, Windows' read-only attribute stops everyone from writing a
// file but nobody from adding files to a folder, and Wine as root lets
// everything through.
inline bool readOnlyStopsWrites(bool folder)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("probe"));
    const auto readOnly = QFile::ReadOwner | QFile::ExeOwner;
    bool stopped = false;
    if (folder) {
        stopped = QDir(dir.path()).mkdir(QStringLiteral("probe")) && QFile::setPermissions(path, readOnly)
                  && !QFile(path + QStringLiteral("/file")).open(QIODevice::WriteOnly);
        QFile::setPermissions(path, readOnly | QFile::WriteOwner);
    } else {
        QFile file(path);
        stopped = file.open(QIODevice::WriteOnly) && (file.close(), QFile::setPermissions(path, readOnly))
                  && !file.open(QIODevice::WriteOnly | QIODevice::Append);
        QFile::setPermissions(path, readOnly | QFile::WriteOwner);
    }
    return stopped;
}

// Whether this Windows is Wine, whose own implementations of Windows' calls
// may differ from Windows' in a corner.
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
constexpr unsigned long PathNotFound = 3;
constexpr unsigned long AccessDenied = 5;
} // namespace windows_error

// The system's words for a failure, as the program passes them on: for the
// POSIX error where those are the system's, for Windows' own code on
// Windows.
inline QString systemReason(int posixError, unsigned long windowsError)
{
#ifdef Q_OS_WIN
    Q_UNUSED(posixError);
    return qt_error_string(int(windowsError));
#else
    Q_UNUSED(windowsError);
    return qt_error_string(posixError);
#endif
}

// Bytes the C library's heap has handed out and not taken back.
inline std::size_t heapInUse()
{
#ifdef Q_OS_WIN
    _HEAPINFO entry{};
    std::size_t used = 0;
    while (_heapwalk(&entry) == _HEAPOK)
        if (entry._useflag == _USEDENTRY)
            used += entry._size;
    return used;
#else
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
#endif
}

} // namespace tekkora::testing
