#pragma once

#include "OrvuExport.h"
#include "File.h"
#include "PicturePlugin.h"

#include <vector>

namespace Orvu
{

class Picture;

// Loads the picture plugin modules of a folder, keeps the extensions they
// register, and routes picture files to them by extension. The manager owns
// the modules (it alone frees them), not the plugin objects, which each
// module creates and deletes itself. One thread only.
class ORVU_API OPPicManager : public Folder::FindFilesCallbackClass
{
public:
    OPPicManager();
    // Loads the module that FindFiles found; its result is not needed.
    virtual void FindFilesCallback(const wchar_t* path);
    // Unloads every plugin.
    virtual ~OPPicManager();

    // Loads every "OPPic_*.dll" of folder, not of its sub-folders. folder is
    // joined to the pattern as it stands, so it ends in a backslash.
    void LoadPlugins(const wchar_t* folder);
    // Loads the module at path (made absolute against the current folder).
    // False, leaving no trace, for a file that is no library, lacks one of
    // the three entry points, reports another contract version, or throws
    // from Version_Plugin or Create_Plugin.
    bool LoadPlugin(const wchar_t* path);
    // Drops every extension record first (their texts live in the modules),
    // then releases and frees the modules in load order, each one even when
    // its Release_Plugin throws.
    void UnLoadPlugins();

    // For plugin modules: records a copy of ext.
    void AddExt(const PicPluginExt& ext);
    // For plugin modules: drops every record of plugin; the module stays
    // loaded until UnLoadPlugins.
    void RemovePlugin(PicturePlugin* plugin);

    // The plugin of the first record for ext (any case) that can load or
    // save; null when there is none.
    PicturePlugin* FindLoadPlugin(const wchar_t* ext);
    PicturePlugin* FindSavePlugin(const wchar_t* ext);

    // A new picture read from path, which the caller deletes, or null (also
    // when the plugin throws).
    Picture* LoadPicture(const wchar_t* path);
    // Writes picture to path through the plugin for its extension; false
    // also when the plugin throws.
    bool SavePicture(const wchar_t* path, Picture* picture);

protected:
    // Registration order.
    std::vector<PicPluginExt> m_vExts;
    // Load order.
    std::vector<PicPlugin> m_vPlugins;

private:
    OPPicManager(const OPPicManager&);
    OPPicManager& operator=(const OPPicManager&);
};

} // namespace Orvu
