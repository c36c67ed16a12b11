#pragma once

#include "PicturePlugin.h"

// Reads and writes the common picture formats through GDI+. GDI+ is loaded,
// started, shut down and unloaded inside every call; the module keeps no
// GDI+ state.
class PluginGdiPlus : public Orvu::PicturePlugin
{
public:
    PluginGdiPlus();
    virtual ~PluginGdiPlus();

    // GDI+ tells the format from the content; the extension is not read.
    // False when GDI+ cannot decode the file or the picture does not fit in
    // memory; the picture is then untouched.
    virtual bool Load(const wchar_t* path, Orvu::Picture* picture);
    // Chooses the encoder by the extension of path (any case): ".bmp",
    // ".jpeg", ".jpg", ".gif", ".tiff", ".tif" or ".png". Needs the
    // picture's GDI buffer.
    virtual bool Save(const wchar_t* path, Orvu::Picture* picture);
};
