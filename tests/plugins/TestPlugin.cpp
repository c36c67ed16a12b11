// A plugin module for the manager tests, built several times with different
// definitions. Every entry point and plugin call it makes appends
// "<name>:<call>;" to the process environment variable ORVU_TEST_PLUGIN_LOG,
// so that a test sees which of a module's functions ran, even after the
// module was unloaded.
//
//   TEST_PLUGIN_NAME          the name in the log
//   TEST_PLUGIN_VERSION       what Version_Plugin returns
//   TEST_PLUGIN_NO_RELEASE    leave Release_Plugin out
//   TEST_PLUGIN_NULL_CREATE   Create_Plugin registers ".nul" for a null plugin
//                             and returns null
//   TEST_PLUGIN_CAN_LOAD/SAVE the flags of the one ".tst" record otherwise
//   TEST_PLUGIN_THROWS        the module's file name "OPPic_tThrow<Entry>.dll"
//                             names the call that throws: Version, Create
//                             (after registering), Release, Load or Save; the
//                             one record's extension is the entry in lower
//                             case (".load") instead of ".tst"; each throw
//                             also appends "<Entry> threw" as a line to the
//                             file ORVU_TEST_PLUGIN_THROW_LOG names, if any,
//                             for runs watched from outside the process

#ifndef TEST_PLUGIN_VERSION
#define TEST_PLUGIN_VERSION 1
#endif
#ifndef TEST_PLUGIN_CAN_LOAD
#define TEST_PLUGIN_CAN_LOAD true
#endif
#ifndef TEST_PLUGIN_CAN_SAVE
#define TEST_PLUGIN_CAN_SAVE true
#endif

#include "Color.h"
#include "OPPicManager.h"
#include "Picture.h"

#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <cwctype>
#include <stdexcept>
#include <string>

extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace
{

void Log(const wchar_t* call)
{
    wchar_t buffer[4096] = L"";
    GetEnvironmentVariableW(L"ORVU_TEST_PLUGIN_LOG", buffer, 4096);
    std::wstring log(buffer);
    log += TEST_PLUGIN_NAME;
    log += L":";
    log += call;
    log += L";";
    SetEnvironmentVariableW(L"ORVU_TEST_PLUGIN_LOG", log.c_str());
}

#if defined(TEST_PLUGIN_THROWS)
// The entry named in this module's file name after "OPPic_tThrow".
std::wstring ThrowingEntry()
{
    wchar_t path[MAX_PATH] = L"";
    GetModuleFileNameW(reinterpret_cast<HMODULE>(&__ImageBase), path, MAX_PATH);
    std::wstring name(path);
    name.erase(0, name.find_last_of(L"\\/") + 1);
    const std::wstring prefix = L"OPPic_tThrow";
    if (name.compare(0, prefix.size(), prefix) != 0)
        return std::wstring();
    return name.substr(prefix.size(), name.find(L'.') - prefix.size());
}

// Throws, with a class whose code is in this module, when the file name
// names call.
void MayThrow(const wchar_t* call)
{
    if (ThrowingEntry() == call)
    {
        Log(L"Throw");
        wchar_t logPath[MAX_PATH] = L"";
        if (GetEnvironmentVariableW(L"ORVU_TEST_PLUGIN_THROW_LOG", logPath, MAX_PATH))
        {
            if (FILE* file = _wfopen(logPath, L"a"))
            {
                std::fprintf(file, "%ls threw\n", call);
                std::fclose(file);
            }
        }
        throw std::runtime_error("thrown by a test plugin");
    }
}

inline const wchar_t* Extension()
{
    // Pointed to by the manager's record while the module is loaded.
    static wchar_t extension[16] = L".";
    const std::wstring entry = ThrowingEntry();
    for (std::wstring::size_type i = 0; i < entry.size() && i < 14; ++i)
        extension[i + 1] = static_cast<wchar_t>(towlower(entry[i]));
    return extension;
}
#else
void MayThrow(const wchar_t*) {}

inline const wchar_t* Extension()
{
    return L".tst";
}
#endif

// Load fails for paths containing "fail"; otherwise it makes a 1 x 1 picture
// of (1, 2, 3, 4). Save succeeds for paths without "fail".
class TestPlugin : public Orvu::PicturePlugin
{
public:
    virtual ~TestPlugin() { Log(L"Delete"); }
    virtual bool Load(const wchar_t* path, Orvu::Picture* picture)
    {
        Log(L"Load");
        MayThrow(L"Load");
        if (wcsstr(path, L"fail"))
            return false;
        picture->SetSize(1, 1);
        picture->SetPixel(Orvu::Color(1, 2, 3, 4), 0, 0);
        return true;
    }
    virtual bool Save(const wchar_t* path, Orvu::Picture*)
    {
        Log(L"Save");
        MayThrow(L"Save");
        return wcsstr(path, L"fail") == 0;
    }
};

} // namespace

ORVU_PLUGIN_EXPORT Orvu::PicturePlugin* Create_Plugin(Orvu::OPPicManager* manager)
{
    Log(L"Create");
    Orvu::PicPluginExt record;
    record.description = L"Test picture";
#if defined(TEST_PLUGIN_NULL_CREATE)
    record.extension = L".nul";
    record.plugin = 0;
    record.canLoad = true;
    record.canSave = true;
    manager->AddExt(record);
    return 0;
#else
    TestPlugin* plugin = new TestPlugin();
    record.extension = Extension();
    record.plugin = plugin;
    record.canLoad = TEST_PLUGIN_CAN_LOAD;
    record.canSave = TEST_PLUGIN_CAN_SAVE;
    manager->AddExt(record);
    MayThrow(L"Create");
    return plugin;
#endif
}

#if !defined(TEST_PLUGIN_NO_RELEASE)
ORVU_PLUGIN_EXPORT void Release_Plugin(Orvu::OPPicManager* manager, Orvu::PicturePlugin* plugin)
{
    // The host drops every record before it releases any module.
    if (manager->FindLoadPlugin(L".tst") || manager->FindLoadPlugin(L".nul"))
        Log(L"RecordsStillThere");
    Log(plugin ? L"Release" : L"ReleaseNull");
    MayThrow(L"Release");
    manager->RemovePlugin(plugin);
    delete plugin;
}
#endif

ORVU_PLUGIN_EXPORT int Version_Plugin()
{
    Log(L"Version");
    MayThrow(L"Version");
    return TEST_PLUGIN_VERSION;
}
