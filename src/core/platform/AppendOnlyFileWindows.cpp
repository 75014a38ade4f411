#include "AppendOnlyFile.h"

#include "WindowsPath.h"

#include <QtGlobal>

#include <windows.h>

namespace tekkora {

namespace {

// Shared every way: another copy of the program appends beside us, the
// score window reads, and a file may be replaced or deleted meanwhile.
constexpr DWORD ShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

QString systemReason(DWORD error)
{
    return qt_error_string(int(error));
}

// Where the handle stands and how long the file is, when both are known.
bool positionAndSize(HANDLE file, LONGLONG &position, LONGLONG &size)
{
    LARGE_INTEGER here{}, length{};
    if (!SetFilePointerEx(file, LARGE_INTEGER{}, &here, FILE_CURRENT) || !GetFileSizeEx(file, &length))
        return false;
    position = here.QuadPart;
    size = length.QuadPart;
    return true;
}

// Cuts the file back to `length` through a second handle to the same file:
// the writing handle may only append.
void truncateTo(HANDLE file, LONGLONG length)
{
    HANDLE writer = ReOpenFile(file, FILE_WRITE_DATA, ShareAll, 0);
    if (writer == INVALID_HANDLE_VALUE)
        return;
    FILE_END_OF_FILE_INFO end{};
    end.EndOfFile.QuadPart = length;
    SetFileInformationByHandle(writer, FileEndOfFileInfo, &end, sizeof end);
    CloseHandle(writer);
}

// One WriteFile on a handle that may append but not write in place
// (FILE_APPEND_DATA without FILE_WRITE_DATA): the system puts the whole
// buffer at the end of the file as one piece, so two writers never
// interleave or tear each other's lines. A short write is taken back when
// nothing followed it.
bool writeWhole(HANDLE file, const QByteArray &bytes, QString &failure)
{
    if (bytes.isEmpty())
        return true;
    DWORD written = 0;
    const BOOL done = WriteFile(file, bytes.constData(), DWORD(bytes.size()), &written, nullptr);
    if (done && written == DWORD(bytes.size()))
        return true;
    if (!done && written == 0) {
        failure = systemReason(GetLastError());
        return false;
    }
    failure = QStringLiteral("書き込みが途中で止まりました (%1 / %2 バイト)").arg(written).arg(bytes.size());
    LONGLONG end = 0, size = 0;
    if (positionAndSize(file, end, size) && size == end && end >= LONGLONG(written))
        truncateTo(file, end - written);
    return false;
}

// Closes the file; a failing close is a failed write too. The first failure
// keeps its reason.
bool finish(HANDLE file, bool written, QString &failure)
{
    if (!written) {
        CloseHandle(file);
        return false;
    }
    if (CloseHandle(file))
        return true;
    failure = systemReason(GetLastError());
    return false;
}

// Wine puts an append where it saw the end of the file a moment before
// (its size, then a write at that place), so two writers appending at once
// can land on the same place there and one line is lost. Every writer of
// this program holds this lock, one byte far beyond any data, around its
// write: on Windows itself, which appends as one piece anyway, it costs a
// call; under Wine it keeps the lines whole. The lock goes with the handle.
bool lockWriters(HANDLE file, QString &failure)
{
    OVERLAPPED at{};
    at.Offset = 0xFFFFFFFE;
    at.OffsetHigh = 0x7FFFFFFF;
    if (LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &at))
        return true;
    failure = systemReason(GetLastError());
    return false;
}

// Marks a file for deletion at its last close.
void deleteOnClose(HANDLE file)
{
    FILE_DISPOSITION_INFO disposition{};
    disposition.DeleteFile = TRUE;
    SetFileInformationByHandle(file, FileDispositionInfo, &disposition, sizeof disposition);
}

} // namespace

FileResult appendToLog(const QString &path, const QByteArray &header, const QByteArray &line)
{
    auto fail = [&path](const QString &reason) { return FileResult::failure(path, reason); };
    const std::wstring nativePath = windowsPath(path);
    QString failure;
    // A file deleted between creating and appending is simply created again.
    for (int attempt = 0; attempt < 3; ++attempt) {
        // Only the writer that creates the file writes the header; anyone
        // finding it there (whatever it holds) adds just the line.
        // Read access as well, which the lock needs; never FILE_WRITE_DATA,
        // which would write at the handle's position instead of the end.
        HANDLE file = CreateFileW(nativePath.c_str(), FILE_READ_DATA | FILE_APPEND_DATA | DELETE, ShareAll,
                                  nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            const bool written = lockWriters(file, failure) && writeWhole(file, header, failure);
            // A file left empty would never get its header: take it away
            // again, unless someone has written to it meanwhile.
            LARGE_INTEGER size{};
            if (!written && GetFileSizeEx(file, &size) && size.QuadPart == 0)
                deleteOnClose(file);
            if (!finish(file, written, failure))
                return fail(failure);
        } else if (const DWORD error = GetLastError(); error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) {
            return fail(systemReason(error));
        }

        file = CreateFileW(nativePath.c_str(), FILE_READ_DATA | FILE_APPEND_DATA, ShareAll, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            const DWORD error = GetLastError();
            if (error == ERROR_FILE_NOT_FOUND)
                continue;
            return fail(systemReason(error));
        }
        // A device or pipe under the log's name is no log.
        if (GetFileType(file) != FILE_TYPE_DISK) {
            CloseHandle(file);
            return fail(systemReason(ERROR_INVALID_FUNCTION));
        }
        if (!finish(file, lockWriters(file, failure) && writeWhole(file, line, failure), failure))
            return fail(failure);
        return FileResult{path, {}};
    }
    return fail(systemReason(ERROR_FILE_NOT_FOUND));
}

} // namespace tekkora
