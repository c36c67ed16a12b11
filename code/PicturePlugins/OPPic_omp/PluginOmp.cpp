#include "PluginOmp.h"

#include "OmpHeader.h"
#include "OPPicManager.h"
#include "Picture.h"
#include "PluginEntryPoints.h"

#include <fstream>
#include <new>

namespace
{

// Known, but neither loaded nor saved.
const PluginFormat g_formats[] = {{L".omp", L"OrvuMap", false, false}};

} // namespace

PluginOmp::PluginOmp() {}

PluginOmp::~PluginOmp() {}

bool PluginOmp::Load(const wchar_t* path, Orvu::Picture* picture)
{
    if (!path || !picture)
        return false;

    std::ifstream file(path, std::ios::in | std::ios::binary);
    if (!file.is_open())
        return false;
    unsigned char bytes[OmpHeaderSize] = {0};
    file.read(reinterpret_cast<char*>(bytes), OmpHeaderSize);
    const std::streamsize count = file.gcount();

    OmpHeader header;
    if (!ParseOmpHeader(bytes, static_cast<std::size_t>(count), header))
        return false;

    // Even 32767 x 32767 is more than a 32-bit process can hold: refused
    // like an unreadable file rather than ending the program.
    try
    {
        picture->SetSize(static_cast<unsigned int>(header.width),
                         static_cast<unsigned int>(header.height));
    }
    catch (const std::bad_alloc&)
    {
        return false;
    }
    return true;
}

bool PluginOmp::Save(const wchar_t* path, Orvu::Picture* picture)
{
    if (!path || !picture)
        return false;

    unsigned char bytes[OmpHeaderSize];
    if (!FormatOmpHeader(picture->GetWidth(), picture->GetHeight(), bytes))
        return false;

    std::ofstream file(path, std::ios::out | std::ios::binary | std::ios::trunc);
    if (!file.is_open())
        return false;
    file.write(reinterpret_cast<const char*>(bytes), OmpHeaderSize);
    file.close();
    return !file.fail();
}

ORVU_PLUGIN_EXPORT Orvu::PicturePlugin* Create_Plugin(Orvu::OPPicManager* manager)
{
    return CreateAndRegister<PluginOmp>(manager, g_formats);
}

ORVU_PLUGIN_EXPORT void Release_Plugin(Orvu::OPPicManager* manager, Orvu::PicturePlugin* plugin)
{
    ReleasePlugin(manager, plugin);
}

ORVU_PLUGIN_EXPORT int Version_Plugin()
{
    return Orvu::PicPluginVersion;
}
