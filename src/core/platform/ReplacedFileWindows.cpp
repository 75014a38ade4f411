#include "ReplacedFile.h"

#include "WindowsPath.h"

#include <QRandomGenerator>
#include <QtGlobal>

#include <windows.h>

namespace tekkora {

namespace {

QString systemReason(DWORD error)
{
    return qt_error_string(int(error));
}

// A new file beside the target, under a name no other writer takes.
HANDLE createTemporary(const QString &path, std::wstring &name, DWORD &error)
{
    for (int attempt = 0; attempt < 16; ++attempt) {
        const quint32 tag = QRandomGenerator::system()->generate();
        name = windowsPath(path + QStringLiteral(".%1.tmp").arg(tag, 8, 16, QLatin1Char('0')));
        HANDLE file = CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE)
            return file;
        error = GetLastError();
        if (error != ERROR_FILE_EXISTS)
            break;
    }
    return INVALID_HANDLE_VALUE;
}

bool writeAll(HANDLE file, std::string_view contents)
{
    while (!contents.empty()) {
        const DWORD chunk = DWORD(qMin<std::size_t>(contents.size(), 1u << 30));
        DWORD written = 0;
        if (!WriteFile(file, contents.data(), chunk, &written, nullptr))
            return false;
        if (written == 0) {
            SetLastError(ERROR_WRITE_FAULT);
            return false;
        }
        contents.remove_prefix(written);
    }
    return true;
}

} // namespace

FileResult replaceFileContents(const QString &path, std::string_view contents)
{
    const auto fail = [&](DWORD error) { return FileResult::failure(path, systemReason(error)); };
    std::wstring temporary;
    DWORD error = ERROR_FILE_EXISTS;
    HANDLE file = createTemporary(path, temporary, error);
    if (file == INVALID_HANDLE_VALUE)
        return fail(error);

    // The data reaches the disk before the new file takes the old one's
    // place; then the rename goes through to the disk before returning.
    bool done = writeAll(file, contents) && FlushFileBuffers(file);
    error = done ? DWORD(ERROR_SUCCESS) : GetLastError();
    if (!CloseHandle(file) && done) {
        done = false;
        error = GetLastError();
    }
    if (done && !MoveFileExW(temporary.c_str(), windowsPath(path).c_str(),
                             MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        done = false;
        error = GetLastError();
    }
    if (done)
        return FileResult{path, {}};
    DeleteFileW(temporary.c_str());
    return fail(error);
}

} // namespace tekkora
