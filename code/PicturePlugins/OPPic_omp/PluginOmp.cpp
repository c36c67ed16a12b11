#include "PluginOmp.h"

#include "OmpHeader.h"
#include "OPPicManager.h"
#include "Picture.h"
#include "PluginEntryPoints.h"

#include <cstdio>
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

    // C stdio: file streams would bring the whole of libstdc++'s locale
    // support into the module to read seven bytes.
    FILE* file = _wfopen(path, L"rb");
    if (!file)
        return false;
    unsigned char bytes[OmpHeaderSize] = {0};
    const std::size_t count = std::fread(bytes, 1, OmpHeaderSize, file);
    std::fclose(file);

    OmpHeader header;
    if (!ParseOmpHeader(bytes, count, header))
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

    FILE* file = _wfopen(path, L"wb");
    if (!file)
        return false;
    const bool written = std::fwrite(bytes, 1, OmpHeaderSize, file) == OmpHeaderSize;
    // Closing flushes: a full disk shows here.
    return (std::fclose(file) == 0) && written;
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
