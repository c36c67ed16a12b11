#include "PluginTestSupport.h"

#include "Color.h"

#include <cstdlib>
#include <fstream>
#include <iterator>

namespace
{

std::wstring Folder(const std::wstring& path)
{
    return path.substr(0, path.find_last_of(L"\\/") + 1);
}

} // namespace

std::wstring ProgramDir()
{
    wchar_t exe[MAX_PATH] = L"";
    GetModuleFileNameW(NULL, exe, MAX_PATH);
    return Folder(exe);
}

std::wstring FixtureDir()
{
    return ProgramDir() + L"plugin-fixtures\\";
}

std::wstring PicturesDir()
{
    // The build passes the source folder as a Unix path; Wine maps the
    // Unix root to drive Z:.
    const char* source = std::getenv("ORVU_SOURCE_DIR");
    std::wstring path = L"Z:";
    for (const char* c = source ? source : ""; *c; ++c)
        path += *c == '/' ? L'\\' : static_cast<wchar_t>(*c);
    return path + L"\\tests\\plugins\\pictures\\";
}

std::wstring ScratchPath(const wchar_t* name)
{
    const std::wstring folder = ProgramDir() + L"plugin-scratch\\";
    CreateDirectoryW(folder.c_str(), NULL);
    return folder + name;
}

std::wstring TakePluginLog()
{
    wchar_t buffer[4096] = L"";
    GetEnvironmentVariableW(L"ORVU_TEST_PLUGIN_LOG", buffer, 4096);
    SetEnvironmentVariableW(L"ORVU_TEST_PLUGIN_LOG", NULL);
    return buffer;
}

bool IsModuleLoaded(const wchar_t* moduleName)
{
    return GetModuleHandleW(moduleName) != NULL;
}

bool FileExists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::vector<unsigned char> ReadFileBytes(const std::wstring& path)
{
    std::ifstream file(path.c_str(), std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(file),
                                      std::istreambuf_iterator<char>());
}

void WriteFileBytes(const std::wstring& path, const std::string& bytes)
{
    std::ofstream file(path.c_str(), std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::vector<unsigned int> PixelsOf(const Orvu::Picture& picture)
{
    std::vector<unsigned int> pixels;
    for (int y = 0; y < picture.GetHeight(); ++y)
    {
        for (int x = 0; x < picture.GetWidth(); ++x)
        {
            Orvu::Color c(0, 0, 0, 0);
            picture.GetPixel(c, x, y);
            pixels.push_back(static_cast<unsigned int>(c.a) << 24 |
                             static_cast<unsigned int>(c.r) << 16 |
                             static_cast<unsigned int>(c.g) << 8 | c.b);
        }
    }
    return pixels;
}
