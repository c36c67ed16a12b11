#include "File.h"

#include <windows.h>
#include <shlwapi.h>

#include <cwchar>
#include <string>

namespace Orvu
{

bool IsPathRelative(const wchar_t* path)
{
    return PathIsRelativeW(path) != FALSE;
}

bool IsPathFolder(const wchar_t* path)
{
    return PathIsDirectoryW(path) != FALSE;
}

namespace File
{

bool Copy(const wchar_t* from, const wchar_t* to)
{
    return CopyFileW(from, to, FALSE) != FALSE;
}

bool Delete(const wchar_t* path)
{
    return DeleteFileW(path) != FALSE;
}

bool Exists(const wchar_t* path)
{
    const DWORD attributes = GetFileAttributesW(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

wchar_t* GetExtension(const wchar_t* path)
{
    return PathFindExtensionW(path);
}

} // namespace File

namespace Folder
{

bool Create(const wchar_t* path)
{
    if (Exists(path))
        return true;
    return CreateDirectoryW(path, nullptr) != FALSE;
}

bool Delete(const wchar_t* path)
{
    return RemoveDirectoryW(path) != FALSE;
}

bool Exists(const wchar_t* path)
{
    const DWORD attributes = GetFileAttributesW(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool IsEmpty(const wchar_t* path)
{
    return PathIsDirectoryEmptyW(path) != FALSE;
}

namespace
{

// Closes a search handle on every path out of FindFiles, including a
// callback that throws.
class FindGuard
{
public:
    explicit FindGuard(HANDLE handle) : m_hFind(handle) {}
    ~FindGuard() { FindClose(m_hFind); }
    FindGuard(const FindGuard&) = delete;
    FindGuard& operator=(const FindGuard&) = delete;

private:
    HANDLE m_hFind;
};

} // namespace

void FindFiles(const wchar_t* folder, FindFilesCallbackClass* callback, const wchar_t* pattern,
               bool recursive)
{
    // Growable texts: a long folder or name can never overflow a buffer.
    const std::wstring search = std::wstring(folder) + pattern;
    WIN32_FIND_DATAW entry;
    HANDLE hFind = FindFirstFileW(search.c_str(), &entry);
    if (hFind == INVALID_HANDLE_VALUE)
        return;
    FindGuard guard(hFind);

    std::wstring path;
    do
    {
        const wchar_t* name = entry.cFileName;
        if (wcscmp(name, L".") == 0 || wcscmp(name, L"..") == 0)
            continue;
        // folder already ends in a backslash; the doubled separator this
        // gives is read as one by the platform's path functions.
        path.assign(folder);
        path += L'\\';
        path += name;
        if (recursive && Exists(path.c_str()))
        {
            path += L'\\';
            FindFiles(path.c_str(), callback, pattern, true);
        }
        else
        {
            callback->FindFilesCallback(path.c_str());
        }
    } while (FindNextFileW(hFind, &entry) != FALSE);
}

} // namespace Folder

} // namespace Orvu
