#include "DataFiles.h"

#include "File.h"

#include <windows.h>

#include <vector>

std::wstring ProgramFolder()
{
    // The path may be longer than MAX_PATH; a full buffer means it was cut.
    std::vector<wchar_t> path(MAX_PATH);
    for (;;)
    {
        const DWORD length = GetModuleFileNameW(nullptr, &path[0], static_cast<DWORD>(path.size()));
        if (length == 0)
            return std::wstring();
        if (length < path.size())
        {
            std::wstring folder(&path[0], length);
            const std::wstring::size_type slash = folder.find_last_of(L"\\/");
            if (slash == std::wstring::npos)
                return std::wstring();
            folder.erase(slash + 1);
            return folder;
        }
        if (path.size() >= 32768)
            return std::wstring();
        path.resize(path.size() * 2);
    }
}

std::wstring LocateDataFile(const std::wstring& name, const std::wstring& programFolder)
{
    if (name.empty() || programFolder.empty() || !Orvu::IsPathRelative(name.c_str()) ||
        Orvu::File::Exists(name.c_str()))
        return name;
    const std::wstring beside = programFolder + name;
    return Orvu::File::Exists(beside.c_str()) ? beside : name;
}

std::wstring LocateDataFile(const std::wstring& name)
{
    return LocateDataFile(name, ProgramFolder());
}
