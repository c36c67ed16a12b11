#pragma once

#include "OrvuExport.h"

#include <windows.h>

namespace Orvu
{

class Picture;
class OPPicManager;

// The object a picture plugin module creates in Create_Plugin. A plugin
// module derives its class from this one; the engine exports the constructor,
// the destructor and the virtual table so that it can. Deleting through this
// interface runs the plugin module's destructor and frees in that module.
class ORVU_API PicturePlugin
{
public:
    PicturePlugin();
    virtual ~PicturePlugin();

    // Fills the freshly made, empty picture from the file at path (the whole
    // path, not only its extension). On false the engine destroys the
    // picture; the plugin never deletes it nor keeps a pointer to it.
    virtual bool Load(const wchar_t* path, Picture* picture) = 0;
    // Writes picture to path in the format the extension selects; true when
    // the file was written. The picture is only read.
    virtual bool Save(const wchar_t* path, Picture* picture) = 0;
};

// One registered file extension. The texts are not owned: they point into
// the plugin module's constant data and are valid only while it is loaded.
struct ORVU_API PicPluginExt
{
    // With its leading dot, in lower case, e.g. ".png".
    const wchar_t* extension;
    // A readable name of the format; kept, never read by the engine.
    const wchar_t* description;
    PicturePlugin* plugin;
    bool canLoad;
    bool canSave;
};

// The three entry points of a plugin module, exported undecorated as
// "Create_Plugin", "Release_Plugin" and "Version_Plugin".
typedef PicturePlugin* (*PluginCreateFunc)(OPPicManager* manager);
typedef void (*PluginReleaseFunc)(OPPicManager* manager, PicturePlugin* plugin);
typedef int (*PluginVersionFunc)();

// The only contract version a host accepts.
const int PicPluginVersion = 1;

// One loaded plugin module.
struct ORVU_API PicPlugin
{
    PluginCreateFunc create;
    PluginReleaseFunc release;
    PluginVersionFunc version;
    HMODULE module;
    // What Create_Plugin returned; may be null.
    PicturePlugin* plugin;
};

} // namespace Orvu

// Marks a plugin module's three entry points. extern "C" with the default
// (cdecl) convention gives the undecorated names the host looks up, with
// MinGW and MSVC alike; __stdcall would add "@n" suffixes.
#if defined(_WIN32)
#define ORVU_PLUGIN_EXPORT extern "C" __declspec(dllexport)
#else
#define ORVU_PLUGIN_EXPORT extern "C"
#endif
