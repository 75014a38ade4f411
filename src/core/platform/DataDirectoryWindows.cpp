#include "DataDirectory.h"

#include "WindowsPath.h"

#include <windows.h>

#include <vector>

namespace tekkora {

namespace {

class Handle {
public:
    Handle() = default;
    ~Handle()
    {
        if (handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE)
            CloseHandle(handle_);
    }
    Handle(const Handle &) = delete;
    Handle &operator=(const Handle &) = delete;
    HANDLE *receive() { return &handle_; }
    HANDLE get() const { return handle_; }

private:
    HANDLE handle_ = nullptr;
};

// Asked of the folder itself: the root of a drive may not be readable.
bool onReadOnlyVolume(const std::wstring &path)
{
    Handle folder;
    *folder.receive() = CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    DWORD flags = 0;
    return folder.get() != INVALID_HANDLE_VALUE
           && GetVolumeInformationByHandleW(folder.get(), nullptr, 0, nullptr, nullptr, &flags, nullptr, 0)
           && (flags & FILE_READ_ONLY_VOLUME) != 0;
}

// The folder's owner, group and access list, as AccessCheck wants them.
std::vector<char> securityOf(const std::wstring &path)
{
    constexpr SECURITY_INFORMATION parts =
        OWNER_SECURITY_INFORMATION | GROUP_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION;
    DWORD size = 0;
    GetFileSecurityW(path.c_str(), parts, nullptr, 0, &size);
    std::vector<char> descriptor(size);
    if (size == 0 || !GetFileSecurityW(path.c_str(), parts, descriptor.data(), size, &size))
        descriptor.clear();
    return descriptor;
}

// This user's token as AccessCheck takes it: an impersonation token, with
// the groups and rights the program runs with (for an administrator
// without elevation, the filtered ones).
bool impersonationToken(Handle &token)
{
    Handle process;
    return OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY | TOKEN_DUPLICATE, process.receive())
           && DuplicateToken(process.get(), SecurityImpersonation, token.receive());
}

} // namespace

bool canCreateFilesIn(const QString &directory)
{
    // The answer comes from the folder's access list against this user's
    // token, so nothing is written to find it out: Program Files answers no
    // for a normal user (and for an administrator without elevation), a
    // folder of one's own or a USB stick yes. A 64-bit program is never
    // redirected to the VirtualStore, so the answer is what a write meets.
    if (directory.isEmpty())
        return false;
    const std::wstring path = windowsPath(directory);
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
        return false;
    if (onReadOnlyVolume(path))
        return false;
    std::vector<char> descriptor = securityOf(path);
    Handle token;
    if (descriptor.empty() || !impersonationToken(token))
        return false;

    GENERIC_MAPPING mapping{FILE_GENERIC_READ, FILE_GENERIC_WRITE, FILE_GENERIC_EXECUTE, FILE_ALL_ACCESS};
    DWORD wanted = FILE_ADD_FILE;
    MapGenericMask(&wanted, &mapping);
    PRIVILEGE_SET privileges{};
    DWORD privilegesSize = sizeof privileges;
    DWORD granted = 0;
    BOOL allowed = FALSE;
    return AccessCheck(descriptor.data(), token.get(), wanted, &mapping, &privileges, &privilegesSize, &granted,
                       &allowed)
           && allowed;
}

} // namespace tekkora
