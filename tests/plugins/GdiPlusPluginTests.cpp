// The GDI+ plugin called directly: its records, decoding with alpha, the
// encoders chosen by extension, refusals that leave things untouched, and
// the modules a call leaves loaded.

#include "Color.h"
#include "PluginTestSupport.h"

#include <gtest/gtest.h>
#include <psapi.h>
#include <windows.h>

#include <string>
#include <vector>

namespace
{

class GdiPlusPlugin : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(manager.LoadPlugin(L"plugins\\OPPic_gdiPlus.dll"));
        ASSERT_EQ(1u, manager.Plugins().size());
        plugin = manager.Plugins()[0].plugin;
        ASSERT_TRUE(plugin);
    }

    std::wstring Picture(const wchar_t* name) { return PicturesDir() + name; }

    // A buffered picture of opaque, all different colours.
    static void MakeOpaque(Orvu::Picture& picture, unsigned int width, unsigned int height)
    {
        ASSERT_TRUE(picture.Create(width, height));
        for (unsigned int y = 0; y < height; ++y)
            for (unsigned int x = 0; x < width; ++x)
                picture.SetPixel(Orvu::Color(static_cast<unsigned char>(40 * x + 3),
                                             static_cast<unsigned char>(70 * y + 5),
                                             static_cast<unsigned char>(x * y * 11), 255),
                                 x, y);
        picture.Buffer();
    }

    static std::string FirstBytes(const std::wstring& path, size_t count)
    {
        const std::vector<unsigned char> bytes = ReadFileBytes(path);
        return std::string(bytes.begin(),
                           bytes.begin() + (bytes.size() < count ? bytes.size() : count));
    }

    InspectableManager manager;
    Orvu::PicturePlugin* plugin = NULL;
};

} // namespace

TEST_F(GdiPlusPlugin, RegistersTenFormatsInMatchingOrder)
{
    struct Row
    {
        const wchar_t* extension;
        const wchar_t* description;
        bool canSave;
    };
    const Row rows[] = {
        {L".bmp", L"Bitmap Image File", true},
        {L".jpeg", L"JPEG Image", true},
        {L".jpg", L"JPEG Image", true},
        {L".gif", L"Graphical Interchange Format File", true},
        {L".tiff", L"Tagged Image File Format", true},
        {L".tif", L"Tagged Image File", true},
        {L".png", L"Portable Network Graphic", true},
        {L".exif", L"Exchangeable Image Information File", false},
        {L".wmf", L"Windows Metafile", false},
        {L".emf", L"Enhanced Windows Metafile", false},
    };
    ASSERT_EQ(10u, manager.Exts().size());
    for (size_t i = 0; i < 10; ++i)
    {
        const Orvu::PicPluginExt& ext = manager.Exts()[i];
        EXPECT_STREQ(rows[i].extension, ext.extension);
        EXPECT_STREQ(rows[i].description, ext.description);
        EXPECT_EQ(plugin, ext.plugin);
        EXPECT_TRUE(ext.canLoad);
        EXPECT_EQ(rows[i].canSave, ext.canSave) << i;
    }
}

TEST_F(GdiPlusPlugin, PngWithAlphaLoadsStraightColoursAndIsBuffered)
{
    Orvu::Picture picture;
    ASSERT_TRUE(plugin->Load(Picture(L"alpha.png").c_str(), &picture));
    ASSERT_EQ(3, picture.GetWidth());
    ASSERT_EQ(2, picture.GetHeight());
    const std::vector<unsigned int> pixels = PixelsOf(picture);
    EXPECT_EQ(0xFFFF0000u, pixels[0]);
    EXPECT_EQ(0x8000FF00u, pixels[1]);
    EXPECT_EQ(0u, pixels[2] >> 24);
    EXPECT_EQ(0xFF0A141Eu, pixels[3]);
    EXPECT_EQ(0x40C86432u, pixels[4]);
    EXPECT_EQ(0xFFFFFFFFu, pixels[5]);

    // The buffer holds the half-transparent green premultiplied, bottom-up.
    ASSERT_TRUE(picture.IsBuffered());
    DIBSECTION section = {};
    ASSERT_TRUE(GetObjectW(picture.GetBuffer(), sizeof(section), &section));
    const unsigned char* bits = static_cast<const unsigned char*>(section.dsBm.bmBits);
    const unsigned char* topRowSecond = bits + (3 * 1 + 1) * 4;
    EXPECT_EQ(0, topRowSecond[0]);
    EXPECT_EQ(128, topRowSecond[1]);
    EXPECT_EQ(0, topRowSecond[2]);
    EXPECT_EQ(128, topRowSecond[3]);
}

TEST_F(GdiPlusPlugin, DecodesByContentWhateverTheExtension)
{
    const std::wstring path = ScratchPath(L"alpha-as.dat");
    ASSERT_TRUE(CopyFileW(Picture(L"alpha.png").c_str(), path.c_str(), FALSE));
    Orvu::Picture picture;
    ASSERT_TRUE(plugin->Load(path.c_str(), &picture));
    EXPECT_EQ(0x40C86432u, PixelsOf(picture)[4]);
}

TEST_F(GdiPlusPlugin, LosslessFormatsRoundTripEveryPixel)
{
    Orvu::Picture original;
    MakeOpaque(original, 5, 3);
    const wchar_t* names[] = {L"round-trip.png", L"round-trip.bmp", L"round-trip.tif"};
    for (const wchar_t* name : names)
    {
        const std::wstring path = ScratchPath(name);
        DeleteFileW(path.c_str());
        ASSERT_TRUE(plugin->Save(path.c_str(), &original)) << name;
        Orvu::Picture copy;
        ASSERT_TRUE(plugin->Load(path.c_str(), &copy)) << name;
        EXPECT_EQ(PixelsOf(original), PixelsOf(copy)) << name;
    }
}

TEST_F(GdiPlusPlugin, TranslucentPixelsKeepTheirAlphaThroughPng)
{
    Orvu::Picture original;
    ASSERT_TRUE(plugin->Load(Picture(L"alpha.png").c_str(), &original));
    const std::wstring path = ScratchPath(L"translucent.png");
    DeleteFileW(path.c_str());
    ASSERT_TRUE(plugin->Save(path.c_str(), &original));
    Orvu::Picture copy;
    ASSERT_TRUE(plugin->Load(path.c_str(), &copy));

    // The buffer holds premultiplied colours, so a pixel of alpha 64 comes
    // back within the rounding of that.
    const std::vector<unsigned int> before = PixelsOf(original);
    const std::vector<unsigned int> after = PixelsOf(copy);
    ASSERT_EQ(before.size(), after.size());
    for (size_t i = 0; i < before.size(); ++i)
    {
        EXPECT_EQ(before[i] >> 24, after[i] >> 24) << i;
        if ((before[i] >> 24) == 0)
            continue;
        for (int shift = 0; shift < 24; shift += 8)
        {
            const int was = static_cast<int>((before[i] >> shift) & 0xFF);
            const int is = static_cast<int>((after[i] >> shift) & 0xFF);
            EXPECT_LE(is - was, 4) << i;
            EXPECT_GE(is - was, -4) << i;
        }
    }
}

TEST_F(GdiPlusPlugin, SaveChoosesTheEncoderByExtensionInAnyCase)
{
    Orvu::Picture picture;
    MakeOpaque(picture, 8, 8);
    struct Case
    {
        const wchar_t* name;
        std::string magic;
    };
    const Case cases[] = {
        {L"encoded.JPG", std::string("\xFF\xD8\xFF", 3)},
        {L"encoded.jpeg", std::string("\xFF\xD8\xFF", 3)},
        {L"encoded.Gif", "GIF8"},
        {L"encoded.TIF", std::string("II*\0", 4)},
        {L"encoded.tiff", std::string("II*\0", 4)},
        {L"encoded.PNG", "\x89PNG"},
        {L"encoded.BMP", "BM"},
    };
    for (const Case& c : cases)
    {
        const std::wstring path = ScratchPath(c.name);
        DeleteFileW(path.c_str());
        EXPECT_TRUE(plugin->Save(path.c_str(), &picture)) << c.name;
        EXPECT_EQ(c.magic, FirstBytes(path, c.magic.size())) << c.name;
    }

    // The lossy formats still come back at their size.
    Orvu::Picture jpeg;
    ASSERT_TRUE(plugin->Load(ScratchPath(L"encoded.JPG").c_str(), &jpeg));
    EXPECT_EQ(8, jpeg.GetWidth());
    EXPECT_EQ(8, jpeg.GetHeight());
}

TEST_F(GdiPlusPlugin, FormatsItCannotWriteAndPicturesWithoutBufferWriteNothing)
{
    Orvu::Picture picture;
    MakeOpaque(picture, 4, 4);
    const wchar_t* names[] = {L"refused.emf", L"refused.wmf", L"refused.EXIF", L"refused",
                              L"refused.png.txt"};
    for (const wchar_t* name : names)
    {
        const std::wstring path = ScratchPath(name);
        DeleteFileW(path.c_str());
        EXPECT_FALSE(plugin->Save(path.c_str(), &picture)) << name;
        EXPECT_FALSE(FileExists(path)) << name;
    }

    Orvu::Picture unbuffered;
    unbuffered.SetSize(4, 4);
    ASSERT_FALSE(unbuffered.IsBuffered());
    const std::wstring path = ScratchPath(L"unbuffered.png");
    DeleteFileW(path.c_str());
    EXPECT_FALSE(plugin->Save(path.c_str(), &unbuffered));
    EXPECT_FALSE(FileExists(path));
}

TEST_F(GdiPlusPlugin, MissingOrCorruptFilesLeaveThePictureUntouched)
{
    Orvu::Picture picture;
    ASSERT_TRUE(picture.Create(2, 1));
    picture.SetPixel(Orvu::Color(9, 8, 7, 6), 1, 0);
    const std::vector<unsigned int> before = PixelsOf(picture);

    EXPECT_FALSE(plugin->Load(Picture(L"no-such-picture.png").c_str(), &picture));
    EXPECT_FALSE(plugin->Load(Picture(L"corrupt.png").c_str(), &picture));
    EXPECT_FALSE(plugin->Load(Picture(L"make-pictures.py").c_str(), &picture));
    EXPECT_EQ(2, picture.GetWidth());
    EXPECT_EQ(1, picture.GetHeight());
    EXPECT_EQ(before, PixelsOf(picture));
}

TEST_F(GdiPlusPlugin, PictureTooLargeForMemoryIsRefusedWithoutLeaking)
{
    // 20000 x 20000 decodes, but needs 1.6 GB as 32-bit colour.
    const std::wstring huge = Picture(L"huge.png");
    Orvu::Picture picture;
    ASSERT_FALSE(plugin->Load(huge.c_str(), &picture));
    EXPECT_FALSE(picture.Exists());
    EXPECT_EQ(0, picture.GetWidth());

    // Every refusal gives back what GDI+ held for the decoded file.
    PROCESS_MEMORY_COUNTERS before = {};
    ASSERT_TRUE(GetProcessMemoryInfo(GetCurrentProcess(), &before, sizeof(before)));
    for (int i = 0; i < 3; ++i)
        ASSERT_FALSE(plugin->Load(huge.c_str(), &picture));
    PROCESS_MEMORY_COUNTERS after = {};
    ASSERT_TRUE(GetProcessMemoryInfo(GetCurrentProcess(), &after, sizeof(after)));
    EXPECT_LT(after.PagefileUsage, before.PagefileUsage + 20 * 1024 * 1024);

    EXPECT_TRUE(plugin->Load(Picture(L"alpha.png").c_str(), &picture));
    EXPECT_EQ(3, picture.GetWidth());
}

// Wine's GDI+ leaves the imaging codecs loaded after each use (about
// 2.5 MiB with COM and RPC); the plugin gives that reference back, but never
// while GDI+ itself stays loaded for another user in the process, whose
// codecs they then are.
TEST_F(GdiPlusPlugin, LeavesNoCodecsBehindButNeverTakesThemFromAnotherUserOfGdiPlus)
{
    Orvu::Picture first;
    ASSERT_TRUE(plugin->Load(Picture(L"alpha.png").c_str(), &first));
    EXPECT_FALSE(IsModuleLoaded(L"gdiplus.dll"));
    EXPECT_FALSE(IsModuleLoaded(L"windowscodecs.dll"));

    wchar_t system[MAX_PATH];
    ASSERT_NE(0u, GetSystemDirectoryW(system, MAX_PATH));
    const HMODULE held = LoadLibraryW((std::wstring(system) + L"\\gdiplus.dll").c_str());
    ASSERT_NE(nullptr, held);
    Orvu::Picture second;
    EXPECT_TRUE(plugin->Load(Picture(L"alpha.png").c_str(), &second));
    EXPECT_TRUE(IsModuleLoaded(L"windowscodecs.dll")) << "unloaded under the GDI+ still in use";
    FreeLibrary(held);
}
