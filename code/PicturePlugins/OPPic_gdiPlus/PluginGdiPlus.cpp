#include "PluginGdiPlus.h"

#include "Color.h"
#include "File.h"
#include "OPPicManager.h"
#include "Picture.h"
#include "PluginEntryPoints.h"

#include <windows.h>
#include <gdiplus.h>

#include <cwchar>
#include <cwctype>
#include <memory>
#include <new>
#include <string>

namespace Flat = Gdiplus::DllExports;

namespace
{

// Registered in this order, which is the order the manager matches them in.
const PluginFormat g_formats[] = {
    {L".bmp", L"Bitmap Image File", true, true},
    {L".jpeg", L"JPEG Image", true, true},
    {L".jpg", L"JPEG Image", true, true},
    {L".gif", L"Graphical Interchange Format File", true, true},
    {L".tiff", L"Tagged Image File Format", true, true},
    {L".tif", L"Tagged Image File", true, true},
    {L".png", L"Portable Network Graphic", true, true},
    {L".exif", L"Exchangeable Image Information File", true, false},
    {L".wmf", L"Windows Metafile", true, false},
    {L".emf", L"Enhanced Windows Metafile", true, false},
};

// GDI+ for the length of one call.
class GdiPlusSession
{
public:
    GdiPlusSession() : m_token(0), m_bStarted(false)
    {
        Gdiplus::GdiplusStartupInput input;
        input.GdiplusVersion = 1;
        input.DebugEventCallback = NULL;
        input.SuppressBackgroundThread = FALSE;
        input.SuppressExternalCodecs = FALSE;
        m_bStarted = Gdiplus::GdiplusStartup(&m_token, &input, NULL) == Gdiplus::Ok;
    }
    ~GdiPlusSession()
    {
        if (m_bStarted)
            Gdiplus::GdiplusShutdown(m_token);
    }
    bool IsStarted() const { return m_bStarted; }

private:
    GdiPlusSession(const GdiPlusSession&);
    GdiPlusSession& operator=(const GdiPlusSession&);
    ULONG_PTR m_token;
    bool m_bStarted;
};

// Owns one GDI+ bitmap; disposed before the session that made it ends.
class BitmapHolder
{
public:
    BitmapHolder() : m_pBitmap(NULL) {}
    ~BitmapHolder()
    {
        if (m_pBitmap)
            Flat::GdipDisposeImage(m_pBitmap);
    }
    Gdiplus::GpBitmap** Receive() { return &m_pBitmap; }
    Gdiplus::GpBitmap* Get() const { return m_pBitmap; }

private:
    BitmapHolder(const BitmapHolder&);
    BitmapHolder& operator=(const BitmapHolder&);
    Gdiplus::GpBitmap* m_pBitmap;
};

const wchar_t* MimeTypeFor(const wchar_t* path)
{
    std::wstring ext(Orvu::File::GetExtension(path));
    for (std::wstring::size_type i = 0; i < ext.size(); ++i)
        ext[i] = static_cast<wchar_t>(towlower(ext[i]));

    if (ext == L".bmp")
        return L"image/bmp";
    if (ext == L".jpeg" || ext == L".jpg")
        return L"image/jpeg";
    if (ext == L".gif")
        return L"image/gif";
    if (ext == L".tiff" || ext == L".tif")
        return L"image/tiff";
    if (ext == L".png")
        return L"image/png";
    return NULL;
}

// The index of the first installed encoder for mimeType, its class id in
// clsid; -1 when there is none.
int FindEncoder(const wchar_t* mimeType, CLSID& clsid)
{
    UINT count = 0;
    UINT size = 0;
    if (Flat::GdipGetImageEncodersSize(&count, &size) != Gdiplus::Ok || size == 0)
        return -1;

    // The records are followed in the same block by the texts they point to.
    std::unique_ptr<unsigned char[]> block(new (std::nothrow) unsigned char[size]);
    if (!block)
        return -1;
    Gdiplus::ImageCodecInfo* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(block.get());
    if (Flat::GdipGetImageEncoders(count, size, codecs) != Gdiplus::Ok)
        return -1;

    for (UINT i = 0; i < count; ++i)
    {
        if (codecs[i].MimeType && wcscmp(codecs[i].MimeType, mimeType) == 0)
        {
            clsid = codecs[i].Clsid;
            return static_cast<int>(i);
        }
    }
    return -1;
}

// A GDI+ bitmap over the bits of the picture's buffer, which stay owned by
// the buffer. GdipCreateBitmapFromHBITMAP would read a 32-bit DIB as RGB
// without alpha and so save every translucent pixel opaque and darkened; the
// buffer's bytes are exactly GDI+'s premultiplied ARGB, so they are handed
// over as that. The buffer is bottom-up: the scan starts at its last memory
// row and steps backwards.
bool WrapBuffer(HBITMAP buffer, BitmapHolder& bitmap)
{
    DIBSECTION section;
    if (!buffer || GetObjectW(buffer, sizeof(section), &section) != sizeof(section) ||
        section.dsBm.bmBitsPixel != 32 || !section.dsBm.bmBits)
        return false;

    const INT width = section.dsBm.bmWidth;
    const INT height = section.dsBm.bmHeight;
    INT stride = section.dsBm.bmWidthBytes;
    BYTE* scan0 = static_cast<BYTE*>(section.dsBm.bmBits);
    if (section.dsBmih.biHeight > 0)
    {
        scan0 += static_cast<size_t>(height - 1) * stride;
        stride = -stride;
    }
    return Flat::GdipCreateBitmapFromScan0(width, height, stride, PixelFormat32bppPARGB, scan0,
                                           bitmap.Receive()) == Gdiplus::Ok &&
           bitmap.Get();
}

} // namespace

PluginGdiPlus::PluginGdiPlus() {}

PluginGdiPlus::~PluginGdiPlus() {}

bool PluginGdiPlus::Load(const wchar_t* path, Orvu::Picture* picture)
{
    if (!path || !picture)
        return false;

    GdiPlusSession session;
    if (!session.IsStarted())
        return false;

    BitmapHolder bitmap;
    if (Flat::GdipCreateBitmapFromFile(path, bitmap.Receive()) != Gdiplus::Ok || !bitmap.Get())
        return false;

    UINT width = 0;
    UINT height = 0;
    if (Flat::GdipGetImageWidth(bitmap.Get(), &width) != Gdiplus::Ok)
        width = 0;
    if (Flat::GdipGetImageHeight(bitmap.Get(), &height) != Gdiplus::Ok)
        height = 0;

    // A picture that does not fit in memory is refused like an unreadable
    // file, so that the caller falls back instead of the program ending.
    try
    {
        picture->SetSize(width, height);
    }
    catch (const std::bad_alloc&)
    {
        return false;
    }

    // A pixel GDI+ cannot read repeats the last one read (opaque black
    // before the first), so one bad pixel does not leave a hole.
    Gdiplus::ARGB current = 0xFF000000;
    Orvu::Color color;
    for (UINT x = 0; x < width; ++x)
    {
        for (UINT y = 0; y < height; ++y)
        {
            Gdiplus::ARGB value = 0;
            if (Flat::GdipBitmapGetPixel(bitmap.Get(), static_cast<INT>(x), static_cast<INT>(y),
                                         &value) == Gdiplus::Ok)
                current = value;
            color.r = static_cast<unsigned char>(current >> 16);
            color.g = static_cast<unsigned char>(current >> 8);
            color.b = static_cast<unsigned char>(current);
            color.a = static_cast<unsigned char>(current >> 24);
            picture->SetPixel(color, x, y);
        }
    }

    picture->Buffer();
    return true;
}

bool PluginGdiPlus::Save(const wchar_t* path, Orvu::Picture* picture)
{
    if (!path || !picture)
        return false;

    GdiPlusSession session;
    if (!session.IsStarted())
        return false;

    const wchar_t* mimeType = MimeTypeFor(path);
    if (!mimeType)
        return false;
    CLSID encoder;
    if (FindEncoder(mimeType, encoder) < 0)
        return false;

    // GDI+ encodes from the picture's GDI buffer, not from its pixels.
    BitmapHolder bitmap;
    if (!WrapBuffer(picture->GetBuffer(), bitmap))
        return false;

    return Flat::GdipSaveImageToFile(bitmap.Get(), path, &encoder, NULL) == Gdiplus::Ok;
}

ORVU_PLUGIN_EXPORT Orvu::PicturePlugin* Create_Plugin(Orvu::OPPicManager* manager)
{
    return CreateAndRegister<PluginGdiPlus>(manager, g_formats);
}

ORVU_PLUGIN_EXPORT void Release_Plugin(Orvu::OPPicManager* manager, Orvu::PicturePlugin* plugin)
{
    ReleasePlugin(manager, plugin);
}

ORVU_PLUGIN_EXPORT int Version_Plugin()
{
    return Orvu::PicPluginVersion;
}
