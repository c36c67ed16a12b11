// The program's resources as Windows sees them: Ohmwatch.exe is loaded as a
// data file and its icon groups, version record and manifest are read with
// the system's own resource calls. Also the alert picture and the sample
// settings that the build puts beside the program.
#include "ProductInfo.h"
#include "Settings.h"

#include <windows.h>

#include <gdiplus.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace
{

const int kIconIds[] = {101,  1000, 1020, 1040, 1060, 1080, 1100,
                        2000, 2020, 2040, 2060, 2080, 2100, 3000};
const int kIconSizes[] = {256, 128, 96, 72, 64, 48, 32, 24, 20, 16};
// The notification area's sizes at 100, 125, 150 and 200 % display scaling.
const int kTraySizes[] = {16, 20, 24, 32};

// The tests run in the output folder, beside the program.
std::wstring OutputFile(const wchar_t* name)
{
    wchar_t folder[MAX_PATH];
    DWORD length = GetCurrentDirectoryW(MAX_PATH, folder);
    if (length == 0 || length >= MAX_PATH)
        return name;
    std::wstring path(folder, length);
    if (path.back() != L'\\')
        path += L'\\';
    return path + name;
}

class ProgramModule : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        s_module =
            LoadLibraryExW(OutputFile(L"Ohmwatch.exe").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    }
    static void TearDownTestSuite()
    {
        if (s_module)
            FreeLibrary(s_module);
        s_module = nullptr;
    }
    void SetUp() override { ASSERT_NE(s_module, nullptr) << "Ohmwatch.exe cannot be loaded"; }

    // The bytes of one resource, or an empty vector when it is missing.
    static std::vector<unsigned char> Resource(int id, LPCWSTR type)
    {
        HRSRC info = FindResourceW(s_module, MAKEINTRESOURCEW(id), type);
        if (!info)
            return {};
        HGLOBAL loaded = LoadResource(s_module, info);
        const unsigned char* bytes = static_cast<const unsigned char*>(LockResource(loaded));
        if (!bytes)
            return {};
        return std::vector<unsigned char>(bytes, bytes + SizeofResource(s_module, info));
    }

    static HMODULE s_module;
};

HMODULE ProgramModule::s_module = nullptr;

// An icon group as stored in the resources: a header of three 16-bit values,
// then one 14-byte entry per image naming the RT_ICON resource that holds it.
struct GroupEntry
{
    int size; // 0 in the file means 256
    int bitCount;
    int iconId;
};

std::vector<GroupEntry> ParseGroup(const std::vector<unsigned char>& group)
{
    std::vector<GroupEntry> entries;
    if (group.size() < 6)
        return entries;
    auto word = [&](size_t at) { return group[at] | (group[at + 1] << 8); };
    const int count = word(4);
    for (int i = 0; i < count && 6 + (i + 1) * 14 <= static_cast<int>(group.size()); ++i)
    {
        const size_t at = 6 + i * 14;
        GroupEntry entry;
        entry.size = group[at] == 0 ? 256 : group[at];
        EXPECT_EQ(group[at], group[at + 1]) << "images are square";
        entry.bitCount = word(at + 6);
        entry.iconId = word(at + 12);
        entries.push_back(entry);
    }
    return entries;
}

struct IconPixels
{
    int width = 0;
    int height = 0;
    std::vector<unsigned char> bgra;
};

// The colour bitmap of an icon with its alpha, as 32-bit top-down BGRA.
IconPixels ReadIcon(HICON icon)
{
    IconPixels pixels;
    ICONINFO info = {};
    if (!GetIconInfo(icon, &info))
        return pixels;
    BITMAP bitmap = {};
    if (info.hbmColor && GetObjectW(info.hbmColor, sizeof(bitmap), &bitmap))
    {
        BITMAPINFO header = {};
        header.bmiHeader.biSize = sizeof(header.bmiHeader);
        header.bmiHeader.biWidth = bitmap.bmWidth;
        header.bmiHeader.biHeight = -bitmap.bmHeight;
        header.bmiHeader.biPlanes = 1;
        header.bmiHeader.biBitCount = 32;
        header.bmiHeader.biCompression = BI_RGB;
        std::vector<unsigned char> bgra(bitmap.bmWidth * bitmap.bmHeight * 4);
        HDC screen = GetDC(nullptr);
        const int rows = GetDIBits(screen, info.hbmColor, 0, bitmap.bmHeight, bgra.data(), &header,
                                   DIB_RGB_COLORS);
        ReleaseDC(nullptr, screen);
        if (rows == bitmap.bmHeight)
        {
            pixels.width = bitmap.bmWidth;
            pixels.height = bitmap.bmHeight;
            pixels.bgra.swap(bgra);
        }
    }
    if (info.hbmColor)
        DeleteObject(info.hbmColor);
    if (info.hbmMask)
        DeleteObject(info.hbmMask);
    return pixels;
}

TEST_F(ProgramModule, EveryIconGroupHoldsTenSquareSizesOf32BitsEach)
{
    for (int id : kIconIds)
    {
        SCOPED_TRACE("icon group " + std::to_string(id));
        const std::vector<GroupEntry> entries = ParseGroup(Resource(id, RT_GROUP_ICON));
        ASSERT_EQ(entries.size(), 10u);

        std::set<int> sizes;
        for (const GroupEntry& entry : entries)
        {
            SCOPED_TRACE("size " + std::to_string(entry.size));
            sizes.insert(entry.size);
            EXPECT_EQ(entry.bitCount, 32);

            // The image itself: the largest as PNG, the others as bitmaps
            // of 32 bits (the height counts the colour and the mask).
            const std::vector<unsigned char> image = Resource(entry.iconId, RT_ICON);
            ASSERT_GE(image.size(), 40u);
            if (entry.size == 256)
            {
                EXPECT_EQ(std::memcmp(image.data(), "\x89PNG\r\n\x1a\n", 8), 0);
                continue;
            }
            BITMAPINFOHEADER header;
            std::memcpy(&header, image.data(), sizeof(header));
            EXPECT_EQ(header.biSize, sizeof(BITMAPINFOHEADER));
            EXPECT_EQ(header.biWidth, entry.size);
            EXPECT_EQ(header.biHeight, 2 * entry.size);
            EXPECT_EQ(header.biBitCount, 32);
        }
        EXPECT_EQ(sizes, std::set<int>(std::begin(kIconSizes), std::end(kIconSizes)));
    }
}

TEST_F(ProgramModule, SmallIconsLoadWithVisiblePixelsAndTransparentSurroundings)
{
    for (int size : kTraySizes)
        for (int id : kIconIds)
        {
            SCOPED_TRACE("icon " + std::to_string(id) + " at " + std::to_string(size));
            HICON icon = static_cast<HICON>(
                LoadImageW(s_module, MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, 0));
            ASSERT_NE(icon, nullptr);
            const IconPixels pixels = ReadIcon(icon);
            DestroyIcon(icon);
            ASSERT_EQ(pixels.width, size);
            ASSERT_EQ(pixels.height, size);

            int opaque = 0, transparent = 0;
            for (size_t i = 3; i < pixels.bgra.size(); i += 4)
            {
                opaque += pixels.bgra[i] == 255;
                transparent += pixels.bgra[i] == 0;
            }
            // A battery on a transparent ground: much of it solid, some of
            // it see-through (the corners beside the cap at least).
            EXPECT_GT(opaque, size * size / 3);
            EXPECT_GT(transparent, 0);
        }
}

TEST_F(ProgramModule, TrayIconsDifferFromEachOtherAtEveryTraySize)
{
    // Each band and state must look different in the notification area: a
    // group pointing at the wrong file, or two equal pictures, shows here.
    for (int size : kTraySizes)
    {
        SCOPED_TRACE("size " + std::to_string(size));
        std::vector<std::vector<unsigned char>> seen;
        for (int id : kIconIds)
        {
            if (id == 101)
                continue;
            HICON icon = static_cast<HICON>(
                LoadImageW(s_module, MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, 0));
            ASSERT_NE(icon, nullptr) << id;
            const IconPixels pixels = ReadIcon(icon);
            DestroyIcon(icon);
            for (const std::vector<unsigned char>& other : seen)
                EXPECT_NE(pixels.bgra, other) << "icon " << id << " repeats an earlier one";
            seen.push_back(pixels.bgra);
        }
        EXPECT_EQ(seen.size(), 13u);
    }
}

std::wstring VersionString(const std::vector<unsigned char>& block, const wchar_t* name)
{
    wchar_t* text = nullptr;
    UINT length = 0;
    std::wstring query = std::wstring(L"\\StringFileInfo\\040904B0\\") + name;
    if (!VerQueryValueW(block.data(), query.c_str(), reinterpret_cast<void**>(&text), &length) ||
        !text)
        return L"(missing)";
    return text;
}

TEST(ProgramVersion, NamesOhmwatchWithTheProjectVersion)
{
    const std::wstring path = OutputFile(L"Ohmwatch.exe");
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
    ASSERT_GT(size, 0u);
    std::vector<unsigned char> block(size);
    ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, size, block.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    ASSERT_NE(fixed, nullptr);
    EXPECT_EQ(fixed->dwFileVersionMS, MAKELONG(OHMWATCH_VERSION_MINOR, OHMWATCH_VERSION_MAJOR));
    EXPECT_EQ(fixed->dwFileVersionLS, MAKELONG(0, OHMWATCH_VERSION_PATCH));
    EXPECT_EQ(fixed->dwProductVersionMS, MAKELONG(OHMWATCH_VERSION_MINOR, OHMWATCH_VERSION_MAJOR));

    EXPECT_EQ(VersionString(block, L"ProductName"), L"Ohmwatch");
    EXPECT_EQ(VersionString(block, L"InternalName"), L"Ohmwatch");
    EXPECT_EQ(VersionString(block, L"OriginalFilename"), L"Ohmwatch.exe");
    EXPECT_EQ(VersionString(block, L"ProductVersion"), OHMWATCH_VERSION_TEXT_W);
    EXPECT_EQ(VersionString(block, L"FileVersion"), OHMWATCH_VERSION_TEXT_W);
}

TEST_F(ProgramModule, ManifestRunsAsInvokerWithoutUiAccessAndDrawsAtTheDisplayScale)
{
    const std::vector<unsigned char> bytes = Resource(1, RT_MANIFEST);
    ASSERT_FALSE(bytes.empty());
    const std::string manifest(bytes.begin(), bytes.end());
    const std::string::size_type element = manifest.find("<requestedExecutionLevel");
    ASSERT_NE(element, std::string::npos);
    const std::string tag = manifest.substr(element, manifest.find('>', element) - element);
    EXPECT_NE(tag.find("level=\"asInvoker\""), std::string::npos) << tag;
    EXPECT_NE(tag.find("uiAccess=\"false\""), std::string::npos) << tag;
    // Without it Windows stretches the windows and the tray picture into blur.
    EXPECT_NE(manifest.find("SMI/2005/WindowsSettings\">true</dpiAware>"), std::string::npos);
    // The project's version, filled in by the build: Windows refuses to start
    // a program whose manifest names no valid version.
    const std::string version = std::to_string(OHMWATCH_VERSION_MAJOR) + "." +
                                std::to_string(OHMWATCH_VERSION_MINOR) + "." +
                                std::to_string(OHMWATCH_VERSION_PATCH) + ".0";
    EXPECT_NE(manifest.find("name=\"Ohmwatch\" version=\"" + version + "\""), std::string::npos)
        << manifest;
}

class GdiPlus : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Gdiplus::GdiplusStartupInput input;
        ASSERT_EQ(Gdiplus::GdiplusStartup(&m_token, &input, nullptr), Gdiplus::Ok);
    }
    void TearDown() override
    {
        if (m_token)
            Gdiplus::GdiplusShutdown(m_token);
    }
    ULONG_PTR m_token = 0;
};

TEST_F(GdiPlus, AlertPictureBesideTheProgramHasSoftTransparentEdges)
{
    const std::wstring path = OutputFile(L"power-disconnected.png");
    int width = 0, height = 0, clear = 0, partial = 0, solid = 0;
    unsigned cornerAlpha = 255, centreAlpha = 0;
    {
        Gdiplus::Bitmap picture(path.c_str());
        ASSERT_EQ(picture.GetLastStatus(), Gdiplus::Ok);
        width = static_cast<int>(picture.GetWidth());
        height = static_cast<int>(picture.GetHeight());
        Gdiplus::Rect all(0, 0, width, height);
        Gdiplus::BitmapData data;
        ASSERT_EQ(picture.LockBits(&all, Gdiplus::ImageLockModeRead, PixelFormat32bppARGB, &data),
                  Gdiplus::Ok);
        for (int y = 0; y < height; ++y)
        {
            const unsigned* row = reinterpret_cast<const unsigned*>(
                static_cast<const unsigned char*>(data.Scan0) + y * data.Stride);
            for (int x = 0; x < width; ++x)
            {
                const unsigned alpha = row[x] >> 24;
                clear += alpha == 0;
                solid += alpha == 255;
                partial += alpha > 0 && alpha < 255;
            }
        }
        cornerAlpha = reinterpret_cast<const unsigned*>(data.Scan0)[0] >> 24;
        centreAlpha =
            reinterpret_cast<const unsigned*>(static_cast<const unsigned char*>(data.Scan0) +
                                              height / 2 * data.Stride)[width / 2] >>
            24;
        picture.UnlockBits(&data);
    }
    // A window-sized picture, not a screen-sized one.
    EXPECT_GE(width, 300);
    EXPECT_LE(width, 800);
    EXPECT_GE(height, 150);
    EXPECT_LE(height, 500);
    // See-through around the card, a soft shadow, a solid message.
    EXPECT_EQ(cornerAlpha, 0u);
    EXPECT_GT(centreAlpha, 200u);
    EXPECT_GT(clear, 0);
    EXPECT_GT(solid, 0);
    EXPECT_GT(partial, width * 4) << "no soft edge or shadow";
}

std::vector<std::string> Lines(const std::string& path)
{
    std::ifstream file(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);)
        lines.push_back(line);
    return lines;
}

TEST(SampleSettings, CopyBesideTheProgramMatchesTheSource)
{
    const char* source = std::getenv("ORVU_SOURCE_DIR");
    ASSERT_NE(source, nullptr);
    // Under Wine the source folder is a host path; the host's root is drive Z:.
    const std::string folder = source[0] == '/' ? std::string("Z:") + source : source;
    const std::vector<std::string> original = Lines(folder + "/apps/Ohmwatch/Ohmwatch.ini");
    ASSERT_FALSE(original.empty());
    EXPECT_EQ(Lines("Ohmwatch.ini"), original);
}

// The sample sets the economical watch (every 2 s); every other key holds its
// default.
TEST(SampleSettings, NamesEveryKeyWithItsDefaultButTheEconomicalWatch)
{
    // Start from values that differ from every default: whatever the sample
    // leaves out stays different.
    Settings read;
    read.LowPowerDoAction = true;
    read.LowPowerActionPercent = 55;
    read.AlertDoShow = false;
    read.AlertShowPercent = 55;
    read.AlertUseTransparency = false;
    read.AlertOpacity = 55;
    read.AlertImage = L"other.png";
    read.PowerCheckSeconds = 55;
    ASSERT_TRUE(ReadSettings(read));

    Settings defaults;
    SetDefaultSettings(defaults);
    EXPECT_EQ(read.LowPowerDoAction, defaults.LowPowerDoAction);
    EXPECT_EQ(read.LowPowerActionPercent, defaults.LowPowerActionPercent);
    EXPECT_EQ(read.AlertDoShow, defaults.AlertDoShow);
    EXPECT_EQ(read.AlertShowPercent, defaults.AlertShowPercent);
    EXPECT_EQ(read.AlertUseTransparency, defaults.AlertUseTransparency);
    EXPECT_EQ(read.AlertOpacity, defaults.AlertOpacity);
    EXPECT_EQ(read.AlertImage, defaults.AlertImage);
    EXPECT_EQ(2u, PowerCheckInterval(read));

    // Every line that is not a comment names a known key exactly once
    // (a blank before the colon or a misspelt key would be ignored).
    const std::set<std::string> keys = {"LowPowerDoAction", "LowPowerActionPercent", "AlertDoShow",
                                        "AlertShowPercent", "AlertUseTransparency",  "AlertOpacity",
                                        "AlertImage",       "PowerCheckSeconds"};
    std::multiset<std::string> found;
    for (const std::string& line : Lines("Ohmwatch.ini"))
    {
        if (line.empty() || line[0] == '#')
            continue;
        const std::string key = line.substr(0, line.find(':'));
        EXPECT_EQ(keys.count(key), 1u) << "unknown line: " << line;
        found.insert(key);
    }
    EXPECT_EQ(found, std::multiset<std::string>(keys.begin(), keys.end()));
}

} // namespace
