#include "PluginGdiPlus.h"

#include "Color.h"
#include "File.h"
#include "OPPicManager.h"
#include "Picture.h"
#include "PluginEntryPoints.h"
#include "SystemLibrary.h"

#include <windows.h>
#include <gdiplus.h>

#include <cstddef>
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

// The GDI+ functions this plugin uses, bound by name.
struct GdiPlusFunctions
{
    decltype(&Gdiplus::GdiplusStartup) Startup;
    decltype(&Gdiplus::GdiplusShutdown) Shutdown;
    decltype(&Flat::GdipCreateBitmapFromFile) CreateBitmapFromFile;
    decltype(&Flat::GdipCreateBitmapFromScan0) CreateBitmapFromScan0;
    decltype(&Flat::GdipGetImageWidth) GetImageWidth;
    decltype(&Flat::GdipGetImageHeight) GetImageHeight;
    decltype(&Flat::GdipBitmapLockBits) BitmapLockBits;
    decltype(&Flat::GdipBitmapUnlockBits) BitmapUnlockBits;
    decltype(&Flat::GdipBitmapGetPixel) BitmapGetPixel;
    decltype(&Flat::GdipGetImageEncodersSize) GetImageEncodersSize;
    decltype(&Flat::GdipGetImageEncoders) GetImageEncoders;
    decltype(&Flat::GdipSaveImageToFile) SaveImageToFile;
    decltype(&Flat::GdipDisposeImage) DisposeImage;
};

template <class TFunction> bool Bind(HMODULE module, const char* name, TFunction& function)
{
    function = reinterpret_cast<TFunction>(reinterpret_cast<void*>(GetProcAddress(module, name)));
    return function != NULL;
}

bool BindAll(HMODULE module, GdiPlusFunctions& f)
{
    return Bind(module, "GdiplusStartup", f.Startup) &&
           Bind(module, "GdiplusShutdown", f.Shutdown) &&
           Bind(module, "GdipCreateBitmapFromFile", f.CreateBitmapFromFile) &&
           Bind(module, "GdipCreateBitmapFromScan0", f.CreateBitmapFromScan0) &&
           Bind(module, "GdipGetImageWidth", f.GetImageWidth) &&
           Bind(module, "GdipGetImageHeight", f.GetImageHeight) &&
           Bind(module, "GdipBitmapLockBits", f.BitmapLockBits) &&
           Bind(module, "GdipBitmapUnlockBits", f.BitmapUnlockBits) &&
           Bind(module, "GdipBitmapGetPixel", f.BitmapGetPixel) &&
           Bind(module, "GdipGetImageEncodersSize", f.GetImageEncodersSize) &&
           Bind(module, "GdipGetImageEncoders", f.GetImageEncoders) &&
           Bind(module, "GdipSaveImageToFile", f.SaveImageToFile) &&
           Bind(module, "GdipDisposeImage", f.DisposeImage);
}

// GDI+ from Windows' own folders, never a file of that name beside the
// program. Windows XP keeps GDI+ only in its side-by-side store, not in the
// system folder; there the name is resolved through that store.
HMODULE LoadGdiPlus()
{
    if (HMODULE module = Orvu::LoadSystemLibrary(L"gdiplus.dll"))
        return module;
    return GetLastError() == ERROR_MOD_NOT_FOUND ? LoadLibraryW(L"gdiplus.dll") : NULL;
}

bool RunningUnderWine()
{
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version") != NULL;
}

// Wine's GDI+ binds the imaging codecs (windowscodecs.dll, and with them COM
// and RPC, about 2.5 MiB) on first use and never gives that reference back,
// not even when GDI+ itself is unloaded: one orphaned reference per load of
// GDI+. Only under Wine, and only when nothing else can hold the codecs (they
// were not loaded before this call, and GDI+ is gone, not kept by another
// user), is that reference released. Windows' GDI+ leaves nothing behind, and
// elsewhere a reference this code did not take is never released.
class WineCodecsRelease
{
public:
    WineCodecsRelease()
        : m_bApplies(RunningUnderWine() && GetModuleHandleW(L"windowscodecs.dll") == NULL)
    {
    }
    // After GDI+ was unloaded.
    void Run() const
    {
        if (!m_bApplies || GetModuleHandleW(L"gdiplus.dll") != NULL)
            return;
        if (HMODULE codecs = GetModuleHandleW(L"windowscodecs.dll"))
            FreeLibrary(codecs);
    }

private:
    bool m_bApplies;
};

// GDI+ for the length of one call: the library is loaded and started here
// and shut down and unloaded at the end. A program that reads one picture at
// start so does not keep GDI+ and the codec libraries it brings in (several
// MiB under Wine) for the rest of its run.
class GdiPlusSession
{
public:
    GdiPlusSession() : m_hModule(LoadGdiPlus()), m_token(0), m_bStarted(false)
    {
        if (!m_hModule || !BindAll(m_hModule, m_functions))
            return;
        Gdiplus::GdiplusStartupInput input;
        input.GdiplusVersion = 1;
        input.DebugEventCallback = NULL;
        input.SuppressBackgroundThread = FALSE;
        input.SuppressExternalCodecs = FALSE;
        m_bStarted = m_functions.Startup(&m_token, &input, NULL) == Gdiplus::Ok;
    }
    ~GdiPlusSession()
    {
        if (m_bStarted)
            m_functions.Shutdown(m_token);
        if (!m_hModule)
            return;
        FreeLibrary(m_hModule);
        m_codecs.Run();
    }
    bool IsStarted() const { return m_bStarted; }
    const GdiPlusFunctions& Functions() const { return m_functions; }

private:
    GdiPlusSession(const GdiPlusSession&);
    GdiPlusSession& operator=(const GdiPlusSession&);
    // Made first: it notes whether the codecs were loaded before GDI+.
    WineCodecsRelease m_codecs;
    HMODULE m_hModule;
    GdiPlusFunctions m_functions;
    ULONG_PTR m_token;
    bool m_bStarted;
};

// Owns one GDI+ bitmap; disposed before the session that made it ends.
class BitmapHolder
{
public:
    explicit BitmapHolder(const GdiPlusFunctions& gdip) : m_gdip(gdip), m_pBitmap(NULL) {}
    ~BitmapHolder()
    {
        if (m_pBitmap)
            m_gdip.DisposeImage(m_pBitmap);
    }
    Gdiplus::GpBitmap** Receive() { return &m_pBitmap; }
    Gdiplus::GpBitmap* Get() const { return m_pBitmap; }

private:
    BitmapHolder(const BitmapHolder&);
    BitmapHolder& operator=(const BitmapHolder&);
    const GdiPlusFunctions& m_gdip;
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
int FindEncoder(const GdiPlusFunctions& gdip, const wchar_t* mimeType, CLSID& clsid)
{
    UINT count = 0;
    UINT size = 0;
    if (gdip.GetImageEncodersSize(&count, &size) != Gdiplus::Ok || size == 0)
        return -1;

    // The records are followed in the same block by the texts they point to.
    std::unique_ptr<unsigned char[]> block(new (std::nothrow) unsigned char[size]);
    if (!block)
        return -1;
    Gdiplus::ImageCodecInfo* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(block.get());
    if (gdip.GetImageEncoders(count, size, codecs) != Gdiplus::Ok)
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
bool WrapBuffer(const GdiPlusFunctions& gdip, HBITMAP buffer, BitmapHolder& bitmap)
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
    return gdip.CreateBitmapFromScan0(width, height, stride, PixelFormat32bppPARGB, scan0,
                                      bitmap.Receive()) == Gdiplus::Ok &&
           bitmap.Get();
}

// Alpha as GDI+ gives it, not premultiplied.
Orvu::Color ColorOf(Gdiplus::ARGB value)
{
    Orvu::Color color;
    color.r = static_cast<unsigned char>(value >> 16);
    color.g = static_cast<unsigned char>(value >> 8);
    color.b = static_cast<unsigned char>(value);
    color.a = static_cast<unsigned char>(value >> 24);
    return color;
}

// Copies the whole bitmap in one read of its bits as 32-bit ARGB, the values
// GdipBitmapGetPixel gives one by one at a far higher cost (a call and a
// lock per pixel). False when GDI+ cannot give the bits so.
bool CopyLockedPixels(const GdiPlusFunctions& gdip, Gdiplus::GpBitmap* bitmap, UINT width, UINT height, Orvu::Picture* picture)
{
    if (width == 0 || height == 0)
        return true;
    Gdiplus::GpRect whole(0, 0, static_cast<INT>(width), static_cast<INT>(height));
    Gdiplus::BitmapData data;
    if (gdip.BitmapLockBits(bitmap, &whole, Gdiplus::ImageLockModeRead, PixelFormat32bppARGB,
                                 &data) != Gdiplus::Ok)
        return false;
    for (UINT y = 0; y < height; ++y)
    {
        const Gdiplus::ARGB* row = reinterpret_cast<const Gdiplus::ARGB*>(
            static_cast<const BYTE*>(data.Scan0) + static_cast<ptrdiff_t>(y) * data.Stride);
        for (UINT x = 0; x < width; ++x)
            picture->SetPixel(ColorOf(row[x]), x, y);
    }
    gdip.BitmapUnlockBits(bitmap, &data);
    return true;
}

// Pixel by pixel, column by column. A pixel GDI+ cannot read repeats the last
// one read (opaque black before the first), so one bad pixel does not leave a
// hole.
void CopyPixelByPixel(const GdiPlusFunctions& gdip, Gdiplus::GpBitmap* bitmap, UINT width, UINT height, Orvu::Picture* picture)
{
    Gdiplus::ARGB current = 0xFF000000;
    for (UINT x = 0; x < width; ++x)
    {
        for (UINT y = 0; y < height; ++y)
        {
            Gdiplus::ARGB value = 0;
            if (gdip.BitmapGetPixel(bitmap, static_cast<INT>(x), static_cast<INT>(y), &value) ==
                Gdiplus::Ok)
                current = value;
            picture->SetPixel(ColorOf(current), x, y);
        }
    }
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

    const GdiPlusFunctions& gdip = session.Functions();
    BitmapHolder bitmap(gdip);
    if (gdip.CreateBitmapFromFile(path, bitmap.Receive()) != Gdiplus::Ok || !bitmap.Get())
        return false;

    UINT width = 0;
    UINT height = 0;
    if (gdip.GetImageWidth(bitmap.Get(), &width) != Gdiplus::Ok)
        width = 0;
    if (gdip.GetImageHeight(bitmap.Get(), &height) != Gdiplus::Ok)
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

    if (!CopyLockedPixels(gdip, bitmap.Get(), width, height, picture))
        CopyPixelByPixel(gdip, bitmap.Get(), width, height, picture);

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
    const GdiPlusFunctions& gdip = session.Functions();
    CLSID encoder;
    if (FindEncoder(gdip, mimeType, encoder) < 0)
        return false;

    // GDI+ encodes from the picture's GDI buffer, not from its pixels.
    BitmapHolder bitmap(gdip);
    if (!WrapBuffer(gdip, picture->GetBuffer(), bitmap))
        return false;

    return gdip.SaveImageToFile(bitmap.Get(), path, &encoder, NULL) == Gdiplus::Ok;
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
