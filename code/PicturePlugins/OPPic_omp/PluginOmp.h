#pragma once

#include "PicturePlugin.h"

// The engine's own ".omp" format, as far as its seven-byte header. The
// extension is registered with neither capability, so only a direct call on
// the plugin object reaches Load or Save.
class PluginOmp : public Orvu::PicturePlugin
{
public:
    PluginOmp();
    virtual ~PluginOmp();

    // Sizes the picture from the header (opaque black pixels, no GDI
    // buffer); a header of size 0 leaves it empty. False, with the picture
    // untouched, for a file that cannot be read, a wrong magic, a negative
    // size or a size that does not fit in memory.
    virtual bool Load(const wchar_t* path, Orvu::Picture* picture);
    // Writes the header of the picture's size; false when the size does not
    // fit the header or the file could not be written.
    virtual bool Save(const wchar_t* path, Orvu::Picture* picture);
};
