#pragma once

// What the entry points of this project's picture plugin modules share: a
// module keeps a table of the formats it registers and defines its three
// exports with these. No exception leaves an entry point: the host that
// calls them is foreign code, perhaps built by another compiler.

#include "OPPicManager.h"
#include "PicturePlugin.h"

#include <cstddef>

struct PluginFormat
{
    const wchar_t* extension;
    const wchar_t* description;
    bool canLoad;
    bool canSave;
};

// Creates the module's one PluginClass object and registers every format
// for it, in table order. Null, with nothing of it left registered, when
// either fails.
template <class PluginClass, std::size_t count>
Orvu::PicturePlugin* CreateAndRegister(Orvu::OPPicManager* manager,
                                       const PluginFormat (&formats)[count])
{
    PluginClass* plugin = 0;
    try
    {
        plugin = new PluginClass();
        if (manager)
        {
            Orvu::PicPluginExt record;
            record.plugin = plugin;
            for (std::size_t i = 0; i < count; ++i)
            {
                record.extension = formats[i].extension;
                record.description = formats[i].description;
                record.canLoad = formats[i].canLoad;
                record.canSave = formats[i].canSave;
                manager->AddExt(record);
            }
        }
        return plugin;
    }
    catch (...)
    {
        if (plugin && manager)
            manager->RemovePlugin(plugin);
        delete plugin;
        return 0;
    }
}

// Drops the plugin's records and deletes it (neither throws).
inline void ReleasePlugin(Orvu::OPPicManager* manager, Orvu::PicturePlugin* plugin)
{
    if (manager)
        manager->RemovePlugin(plugin);
    delete plugin;
}
