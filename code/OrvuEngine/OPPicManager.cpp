#include "OPPicManager.h"
#include "Picture.h"

#include <shlwapi.h>

#include <cwchar>
#include <cwctype>
#include <memory>
#include <string>
#include <vector>

namespace Orvu
{

namespace
{

// A plugin module that is broken (a missing dependency, say) must be skipped
// without a word; by default Windows would put up a "cannot load" box.
class CriticalErrorBoxesOff
{
public:
    CriticalErrorBoxesOff() : m_uPrevious(SetErrorMode(0))
    {
        SetErrorMode(m_uPrevious | SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    }
    ~CriticalErrorBoxesOff() { SetErrorMode(m_uPrevious); }

private:
    CriticalErrorBoxesOff(const CriticalErrorBoxesOff&);
    CriticalErrorBoxesOff& operator=(const CriticalErrorBoxesOff&);
    UINT m_uPrevious;
};

std::wstring FoldCase(const wchar_t* text)
{
    std::wstring folded(text ? text : L"");
    for (std::wstring::size_type i = 0; i < folded.size(); ++i)
        folded[i] = static_cast<wchar_t>(towlower(folded[i]));
    return folded;
}

// The absolute form of path, resolved against the current folder; empty when
// there is none.
std::wstring FullPathOf(const wchar_t* path)
{
    const DWORD size = GetFullPathNameW(path, 0, NULL, NULL);
    if (size == 0)
        return std::wstring();
    std::vector<wchar_t> buffer(size);
    const DWORD length = GetFullPathNameW(path, size, &buffer[0], NULL);
    if (length == 0 || length >= size)
        return std::wstring();
    return std::wstring(&buffer[0], length);
}

// Runs call, which calls into a plugin module; false when it threw. The
// manager is the boundary to the plugins' code: one plugin's exception must
// not end the program. The exception object is destroyed before this
// returns, while the module whose code may destroy it is still loaded.
template <class Call>
bool CallPlugin(Call call)
{
    try
    {
        call();
        return true;
    }
    catch (...)
    {
        return false;
    }
}

} // namespace

OPPicManager::OPPicManager() {}

OPPicManager::~OPPicManager()
{
    UnLoadPlugins();
}

void OPPicManager::FindFilesCallback(const wchar_t* path)
{
    LoadPlugin(path);
}

void OPPicManager::LoadPlugins(const wchar_t* folder)
{
    if (!folder)
        return;
    Folder::FindFiles(folder, this, L"OPPic_*.dll", false);
}

bool OPPicManager::LoadPlugin(const wchar_t* path)
{
    if (!path)
        return false;
    // Made before the module runs anything, so that recording it afterwards
    // cannot fail and leave a live plugin unrecorded.
    m_vPlugins.reserve(m_vPlugins.size() + 1);

    // The very file that was named: by a relative path, Windows would search
    // the program's folder and the system folders first and could load
    // another module of the same name. The altered search path lets the
    // plugin's own dependencies resolve beside it.
    const std::wstring fullPath = FullPathOf(path);
    if (fullPath.empty())
        return false;
    HMODULE module;
    {
        CriticalErrorBoxesOff quiet;
        module = LoadLibraryExW(fullPath.c_str(), NULL, LOAD_WITH_ALTERED_SEARCH_PATH);
    }
    if (!module)
        return false;

    // All three are looked up before any is used, so a module lacking one
    // never runs any code of its own.
    PicPlugin record;
    record.create = reinterpret_cast<PluginCreateFunc>(
        reinterpret_cast<void*>(GetProcAddress(module, "Create_Plugin")));
    record.release = reinterpret_cast<PluginReleaseFunc>(
        reinterpret_cast<void*>(GetProcAddress(module, "Release_Plugin")));
    record.version = reinterpret_cast<PluginVersionFunc>(
        reinterpret_cast<void*>(GetProcAddress(module, "Version_Plugin")));
    record.module = module;
    record.plugin = 0;

    int version = 0;
    if (!record.create || !record.release || !record.version ||
        !CallPlugin([&] { version = record.version(); }) || version != PicPluginVersion)
    {
        FreeLibrary(module);
        return false;
    }

    const std::vector<PicPluginExt>::size_type registered = m_vExts.size();
    if (!CallPlugin([&] { record.plugin = record.create(this); }))
    {
        // What it registered before it threw points into the module.
        if (m_vExts.size() > registered)
            m_vExts.erase(m_vExts.begin() + registered, m_vExts.end());
        FreeLibrary(module);
        return false;
    }
    m_vPlugins.push_back(record);
    return true;
}

void OPPicManager::UnLoadPlugins()
{
    m_vExts.clear();

    std::vector<PicPlugin> plugins;
    plugins.swap(m_vPlugins);
    for (std::vector<PicPlugin>::size_type i = 0; i < plugins.size(); ++i)
    {
        // A release that throws still has its module unloaded.
        CallPlugin([&] { plugins[i].release(this, plugins[i].plugin); });
        // Whatever the release registered anew points into the module that
        // is about to go.
        m_vExts.clear();
        FreeLibrary(plugins[i].module);
    }
}

void OPPicManager::AddExt(const PicPluginExt& ext)
{
    m_vExts.push_back(ext);
}

void OPPicManager::RemovePlugin(PicturePlugin* plugin)
{
    std::vector<PicPluginExt>::iterator kept = m_vExts.begin();
    for (std::vector<PicPluginExt>::iterator it = m_vExts.begin(); it != m_vExts.end(); ++it)
    {
        if (it->plugin != plugin)
            *kept++ = *it;
    }
    m_vExts.erase(kept, m_vExts.end());
}

PicturePlugin* OPPicManager::FindLoadPlugin(const wchar_t* ext)
{
    const std::wstring folded = FoldCase(ext);
    for (std::vector<PicPluginExt>::size_type i = 0; i < m_vExts.size(); ++i)
    {
        const PicPluginExt& record = m_vExts[i];
        if (record.canLoad && record.extension && folded == record.extension)
            return record.plugin;
    }
    return 0;
}

PicturePlugin* OPPicManager::FindSavePlugin(const wchar_t* ext)
{
    const std::wstring folded = FoldCase(ext);
    for (std::vector<PicPluginExt>::size_type i = 0; i < m_vExts.size(); ++i)
    {
        const PicPluginExt& record = m_vExts[i];
        if (record.canSave && record.extension && folded == record.extension)
            return record.plugin;
    }
    return 0;
}

Picture* OPPicManager::LoadPicture(const wchar_t* path)
{
    if (!path)
        return 0;
    PicturePlugin* plugin = FindLoadPlugin(PathFindExtensionW(path));
    if (!plugin)
        return 0;

    // Destroyed here, on every path, unless the plugin filled it.
    std::unique_ptr<Picture> picture(new Picture());
    bool loaded = false;
    if (!CallPlugin([&] { loaded = plugin->Load(path, picture.get()); }) || !loaded)
        return 0;
    return picture.release();
}

bool OPPicManager::SavePicture(const wchar_t* path, Picture* picture)
{
    if (!path)
        return false;
    PicturePlugin* plugin = FindSavePlugin(PathFindExtensionW(path));
    if (!plugin)
        return false;
    bool saved = false;
    return CallPlugin([&] { saved = plugin->Save(path, picture); }) && saved;
}

} // namespace Orvu
