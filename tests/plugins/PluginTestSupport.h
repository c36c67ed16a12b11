#pragma once

// Shared by the plugin tests: where the fixtures are, a scratch folder, the
// log the test plugin modules write, and a manager whose tables can be seen.

#include "OPPicManager.h"
#include "Picture.h"

#include <windows.h>

#include <string>
#include <vector>

// The folder of the test program; ends in a backslash.
std::wstring ProgramDir();
// The test plugin modules, beside the test program; ends in a backslash.
std::wstring FixtureDir();
// The committed test pictures; ends in a backslash.
std::wstring PicturesDir();
// A file or folder name inside a scratch folder that exists (made on demand).
std::wstring ScratchPath(const wchar_t* name);
// What the test plugin modules logged since the last call; clears the log.
std::wstring TakePluginLog();
bool IsModuleLoaded(const wchar_t* moduleName);
bool FileExists(const std::wstring& path);
std::vector<unsigned char> ReadFileBytes(const std::wstring& path);
void WriteFileBytes(const std::wstring& path, const std::string& bytes);

class InspectableManager : public Orvu::OPPicManager
{
public:
    const std::vector<Orvu::PicPluginExt>& Exts() const { return m_vExts; }
    const std::vector<Orvu::PicPlugin>& Plugins() const { return m_vPlugins; }
};

// The picture's pixels, row by row, as 0xAARRGGBB words.
std::vector<unsigned int> PixelsOf(const Orvu::Picture& picture);
