#include "ReadableFile.h"

#include "WindowsPath.h"

#include <QtGlobal>

#include <windows.h>

namespace tekkora {

namespace {

HANDLE asHandle(std::intptr_t handle)
{
    return reinterpret_cast<HANDLE>(handle);
}

} // namespace

ReadableFile::~ReadableFile()
{
    if (asHandle(handle_) != INVALID_HANDLE_VALUE)
        CloseHandle(asHandle(handle_));
}

ReadableFile::Opened ReadableFile::open(const QString &path)
{
    // Shared for writing and deleting: the drill appends to the log while
    // we read it, and may replace it. Backup semantics let a folder in the
    // file's place be opened too, so that it is told apart by its facts
    // rather than by a refusal, as on other systems.
    HANDLE file = CreateFileW(windowsPath(path).c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        handle_ = reinterpret_cast<std::intptr_t>(file);
        return Opened::Yes;
    }
    const DWORD error = GetLastError();
    error_ = qt_error_string(int(error));
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? Opened::Missing : Opened::Failed;
}

bool ReadableFile::facts(Facts &facts)
{
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(asHandle(handle_), &info)) {
        error_ = qt_error_string(int(GetLastError()));
        return false;
    }
    facts.regular = GetFileType(asHandle(handle_)) == FILE_TYPE_DISK
                    && (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
    facts.size = (qint64(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    // The volume's serial number and the file's index on it name the file
    // whatever its path, as device and inode do elsewhere.
    facts.volume = info.dwVolumeSerialNumber;
    facts.id = (quint64(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    return true;
}

qint64 ReadableFile::readSome(qint64 offset, char *data, qint64 size)
{
    // The position goes with each read, so nothing depends on where an
    // earlier one left the handle.
    OVERLAPPED at{};
    at.Offset = DWORD(quint64(offset));
    at.OffsetHigh = DWORD(quint64(offset) >> 32);
    DWORD n = 0;
    if (ReadFile(asHandle(handle_), data, DWORD(qMin<qint64>(size, 1 << 30)), &n, &at))
        return n;
    const DWORD error = GetLastError();
    if (error == ERROR_HANDLE_EOF)
        return 0;
    error_ = qt_error_string(int(error));
    return -1;
}

} // namespace tekkora
