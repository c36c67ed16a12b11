// The ".omp" plugin: its header reader and writer, and the plugin called
// directly on files.

#include "Color.h"
#include "OmpHeader.h"
#include "PluginTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{

bool Parse(const std::string& bytes, OmpHeader& header)
{
    return ParseOmpHeader(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(),
                          header);
}

} // namespace

TEST(OmpHeader, MagicMustBeExactAndComplete)
{
    OmpHeader header = {-1, -1};
    EXPECT_TRUE(Parse("om1", header));
    EXPECT_EQ(0, header.width);
    EXPECT_EQ(0, header.height);
    EXPECT_FALSE(Parse("OM1", header));
    EXPECT_FALSE(Parse("om2\x01\x00\x01\x00", header));
    EXPECT_FALSE(Parse("om", header));
    EXPECT_FALSE(Parse("", header));
}

TEST(OmpHeader, SizesAreLittleEndianAndMissingBytesReadAsZero)
{
    OmpHeader header = {};
    ASSERT_TRUE(Parse(std::string("om1\x02\x00\x03\x00trailing", 15), header));
    EXPECT_EQ(2, header.width);
    EXPECT_EQ(3, header.height);
    ASSERT_TRUE(Parse(std::string("om1\x34\x12\x05", 7), header));
    EXPECT_EQ(0x1234, header.width);
    EXPECT_EQ(5, header.height);
    ASSERT_TRUE(Parse(std::string("om1\x05", 4), header));
    EXPECT_EQ(5, header.width);
    EXPECT_EQ(0, header.height);
}

TEST(OmpHeader, NegativeSizesAreRejected)
{
    OmpHeader header = {7, 7};
    EXPECT_FALSE(Parse(std::string("om1\xFF\xFF\x01\x00", 7), header));
    EXPECT_FALSE(Parse(std::string("om1\x01\x00\x00\x80", 7), header));
    EXPECT_EQ(7, header.width);
    EXPECT_EQ(7, header.height);
}

TEST(OmpHeader, WrittenHeadersReadBackAndOversizedOnesAreRefused)
{
    unsigned char bytes[OmpHeaderSize] = {};
    ASSERT_TRUE(FormatOmpHeader(32767, 258, bytes));
    EXPECT_EQ(std::string("om1\xFF\x7F\x02\x01", 7), std::string(bytes, bytes + 7));
    OmpHeader header = {};
    ASSERT_TRUE(ParseOmpHeader(bytes, OmpHeaderSize, header));
    EXPECT_EQ(32767, header.width);
    EXPECT_EQ(258, header.height);

    unsigned char untouched[OmpHeaderSize] = {1, 1, 1, 1, 1, 1, 1};
    EXPECT_FALSE(FormatOmpHeader(32768, 1, untouched));
    EXPECT_FALSE(FormatOmpHeader(1, -1, untouched));
    EXPECT_EQ(1, untouched[0]);
}

namespace
{

class OmpPlugin : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(manager.LoadPlugin(L"plugins\\OPPic_omp.dll"));
        ASSERT_EQ(1u, manager.Exts().size());
        plugin = manager.Exts()[0].plugin;
        ASSERT_TRUE(plugin);
        ASSERT_EQ(plugin, manager.Plugins()[0].plugin);
    }

    std::wstring File(const wchar_t* name, const std::string& bytes)
    {
        const std::wstring path = ScratchPath(name);
        WriteFileBytes(path, bytes);
        return path;
    }

    InspectableManager manager;
    Orvu::PicturePlugin* plugin = NULL;
};

} // namespace

TEST_F(OmpPlugin, RegistersOmpWithNeitherFlag)
{
    const Orvu::PicPluginExt& ext = manager.Exts()[0];
    EXPECT_STREQ(L".omp", ext.extension);
    EXPECT_STREQ(L"OrvuMap", ext.description);
    EXPECT_FALSE(ext.canLoad);
    EXPECT_FALSE(ext.canSave);
}

TEST_F(OmpPlugin, HeaderSizesThePictureWithoutBuffering)
{
    Orvu::Picture empty;
    EXPECT_TRUE(plugin->Load(File(L"magic-only.omp", "om1").c_str(), &empty));
    EXPECT_FALSE(empty.Exists());

    Orvu::Picture picture;
    ASSERT_TRUE(plugin->Load(
        File(L"two-by-three.omp", std::string("om1\x02\x00\x03\x00xyz", 10)).c_str(), &picture));
    EXPECT_EQ(2, picture.GetWidth());
    EXPECT_EQ(3, picture.GetHeight());
    EXPECT_FALSE(picture.IsBuffered());
    Orvu::Color pixel(1, 1, 1, 1);
    ASSERT_TRUE(picture.GetPixel(pixel, 1, 2));
    EXPECT_EQ(Orvu::Color(0, 0, 0, 255), pixel);
}

TEST_F(OmpPlugin, RejectedFilesLeaveThePictureUntouched)
{
    Orvu::Picture picture;
    ASSERT_TRUE(picture.Create(1, 1));
    picture.SetPixel(Orvu::Color(5, 6, 7, 8), 0, 0);

    EXPECT_FALSE(plugin->Load(File(L"capitals.omp", std::string("OM1\x02\x00\x03\x00", 7)).c_str(),
                              &picture));
    EXPECT_FALSE(plugin->Load(File(L"two-bytes.omp", "om").c_str(), &picture));
    EXPECT_FALSE(plugin->Load(File(L"negative.omp", std::string("om1\x02\x00\xFD\xFF", 7)).c_str(),
                              &picture));
    EXPECT_FALSE(plugin->Load(ScratchPath(L"no-such-file.omp").c_str(), &picture));
    // 32767 x 32767 colours are more than a 32-bit process can hold.
    EXPECT_FALSE(
        plugin->Load(File(L"huge.omp", std::string("om1\xFF\x7F\xFF\x7F", 7)).c_str(), &picture));

    EXPECT_EQ(1, picture.GetWidth());
    EXPECT_EQ(1, picture.GetHeight());
    Orvu::Color pixel;
    ASSERT_TRUE(picture.GetPixel(pixel, 0, 0));
    EXPECT_EQ(Orvu::Color(5, 6, 7, 8), pixel);
}

TEST_F(OmpPlugin, SaveWritesTheHeaderTheReaderAccepts)
{
    Orvu::Picture picture;
    ASSERT_TRUE(picture.Create(300, 2));
    const std::wstring path = ScratchPath(L"saved.omp");
    DeleteFileW(path.c_str());
    ASSERT_TRUE(plugin->Save(path.c_str(), &picture));
    const std::vector<unsigned char> bytes = ReadFileBytes(path);
    EXPECT_EQ(std::string("om1\x2C\x01\x02\x00", 7), std::string(bytes.begin(), bytes.end()));

    Orvu::Picture loaded;
    ASSERT_TRUE(plugin->Load(path.c_str(), &loaded));
    EXPECT_EQ(300, loaded.GetWidth());
    EXPECT_EQ(2, loaded.GetHeight());
}

TEST_F(OmpPlugin, SaveRefusesSizesTheHeaderCannotHoldAndUnwritablePaths)
{
    Orvu::Picture wide;
    ASSERT_TRUE(wide.Create(40000, 1));
    const std::wstring path = ScratchPath(L"too-wide.omp");
    DeleteFileW(path.c_str());
    EXPECT_FALSE(plugin->Save(path.c_str(), &wide));
    EXPECT_FALSE(FileExists(path));

    Orvu::Picture small;
    ASSERT_TRUE(small.Create(1, 1));
    EXPECT_FALSE(plugin->Save(ScratchPath(L"no-such-folder\\saved.omp").c_str(), &small));
}
