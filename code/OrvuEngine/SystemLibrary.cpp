#include "SystemLibrary.h"

#include <string>
#include <vector>

namespace Orvu
{

HMODULE LoadSystemLibrary(const wchar_t* name)
{
    if (name == nullptr || *name == L'\0')
        return nullptr;
    const UINT size = GetSystemDirectoryW(nullptr, 0);
    if (size == 0)
        return nullptr;
    std::vector<wchar_t> folder(size);
    const UINT length = GetSystemDirectoryW(&folder[0], size);
    if (length == 0 || length >= size)
        return nullptr;
    std::wstring path(&folder[0], length);
    if (path[path.size() - 1] != L'\\')
        path += L'\\';
    path += name;
    // Under WoW64 the system redirects this path to the 32-bit system folder.
    return LoadLibraryW(path.c_str());
}

} // namespace Orvu
