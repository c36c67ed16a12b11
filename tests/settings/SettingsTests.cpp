// Reading "Ohmwatch.ini": defaults, the 8-bit value rules, exact keys,
// comments, line ends, and the echo of every line to standard output.

#include "Settings.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <iostream>
#include <sstream>
#include <string>

namespace
{

// Runs each test in a fresh temporary folder as the current directory,
// where "Ohmwatch.ini" is looked for.
class SettingsFile : public ::testing::Test
{
protected:
    void SetUp() override
    {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        m_folder = std::wstring(temp) + L"ohmwatch-settings-" + std::to_wstring(GetTickCount());
        CreateDirectoryW(m_folder.c_str(), nullptr);
        GetCurrentDirectoryW(MAX_PATH, m_previous);
        SetCurrentDirectoryW(m_folder.c_str());
        SetDefaultSettings(m_settings);
    }

    void TearDown() override
    {
        DeleteFileW(L"Ohmwatch.ini");
        SetCurrentDirectoryW(m_previous);
        RemoveDirectoryW(m_folder.c_str());
    }

    void Write(const std::string& bytes)
    {
        FILE* file = _wfopen(L"Ohmwatch.ini", L"wb");
        ASSERT_NE(nullptr, file);
        fwrite(bytes.data(), 1, bytes.size(), file);
        fclose(file);
    }

    // Reads the file, returning what was echoed to standard output.
    std::wstring Read(bool expectFile = true)
    {
        std::wostringstream echo;
        std::wstreambuf* previous = std::wcout.rdbuf(echo.rdbuf());
        const bool found = ReadSettings(m_settings);
        std::wcout.rdbuf(previous);
        EXPECT_EQ(expectFile, found);
        return echo.str();
    }

    Settings m_settings;
    std::wstring m_folder;
    wchar_t m_previous[MAX_PATH] = {};
};

Settings Apply(std::initializer_list<const wchar_t*> lines)
{
    Settings settings;
    SetDefaultSettings(settings);
    for (const wchar_t* line : lines)
        ApplySettingsLine(line, settings);
    return settings;
}

} // namespace

TEST(Settings, FreshRecordIsEmptyUntilDefaultsAreApplied)
{
    Settings fresh;
    EXPECT_TRUE(fresh.AlertImage.empty());
    SetDefaultSettings(fresh);
    EXPECT_FALSE(fresh.LowPowerDoAction);
    EXPECT_EQ(0, fresh.LowPowerActionPercent);
    EXPECT_TRUE(fresh.AlertDoShow);
    EXPECT_EQ(100, fresh.AlertShowPercent);
    EXPECT_TRUE(fresh.AlertUseTransparency);
    EXPECT_EQ(100, fresh.AlertOpacity);
    EXPECT_EQ(L"power-disconnected.png", fresh.AlertImage);
}

TEST(Settings, ValuesKeepOnlyTheirLowestEightBits)
{
    EXPECT_FALSE(Apply({L"AlertDoShow:0"}).AlertDoShow);
    EXPECT_FALSE(Apply({L"AlertDoShow:256"}).AlertDoShow);
    EXPECT_TRUE(Apply({L"AlertDoShow:257"}).AlertDoShow);
    EXPECT_FALSE(Apply({L"AlertDoShow:true"}).AlertDoShow); // no digits read as 0
    EXPECT_EQ(-56, Apply({L"AlertShowPercent:200"}).AlertShowPercent);
    EXPECT_EQ(30, Apply({L"AlertShowPercent: 30"}).AlertShowPercent);
    EXPECT_EQ(-1, Apply({L"LowPowerActionPercent:99999999999"}).LowPowerActionPercent);
    EXPECT_EQ(0, Apply({L"LowPowerActionPercent:-99999999999"}).LowPowerActionPercent);
    EXPECT_EQ(12, Apply({L"LowPowerActionPercent:12abc"}).LowPowerActionPercent);
    EXPECT_TRUE(Apply({L"LowPowerDoAction:1"}).LowPowerDoAction);
    EXPECT_FALSE(Apply({L"AlertUseTransparency:0"}).AlertUseTransparency);
}

TEST(Settings, OpacityIsClampedAfterTheEightBitCut)
{
    EXPECT_EQ(100, Apply({L"AlertOpacity:120"}).AlertOpacity);
    EXPECT_EQ(0, Apply({L"AlertOpacity:-5"}).AlertOpacity);
    EXPECT_EQ(0, Apply({L"AlertOpacity:150"}).AlertOpacity); // -106 as a signed byte
    EXPECT_EQ(44, Apply({L"AlertOpacity:300"}).AlertOpacity);
    EXPECT_EQ(55, Apply({L"AlertOpacity:55"}).AlertOpacity);
}

TEST(Settings, KeysMatchExactlyAndBareKeysAreTheirOwnValue)
{
    const Settings blankBeforeColon = Apply({L"AlertDoShow :0"});
    EXPECT_TRUE(blankBeforeColon.AlertDoShow);
    EXPECT_TRUE(Apply({L"alertdoshow:0"}).AlertDoShow);
    EXPECT_TRUE(Apply({L"AlertDoShowX:0"}).AlertDoShow);

    EXPECT_EQ(L"C:\\pics\\unplugged.png",
              Apply({L"AlertImage:C:\\pics\\unplugged.png"}).AlertImage);
    EXPECT_EQ(L" spaced name.png ", Apply({L"AlertImage: spaced name.png "}).AlertImage);
    EXPECT_EQ(L"", Apply({L"AlertImage:"}).AlertImage);
    EXPECT_EQ(L"AlertImage", Apply({L"AlertImage"}).AlertImage);
    EXPECT_FALSE(Apply({L"AlertDoShow"}).AlertDoShow);
    EXPECT_EQ(7, Apply({L"AlertShowPercent:3", L"AlertShowPercent:7"}).AlertShowPercent);
}

TEST(Settings, CommentsEmptyAndUnknownLinesChangeNothing)
{
    const Settings s = Apply({L"#AlertDoShow:0", L"", L"Colour:12", L" #AlertDoShow:0"});
    Settings defaults;
    SetDefaultSettings(defaults);
    EXPECT_EQ(defaults.AlertDoShow, s.AlertDoShow);
    EXPECT_EQ(defaults.AlertShowPercent, s.AlertShowPercent);
    EXPECT_EQ(defaults.AlertImage, s.AlertImage);
    EXPECT_EQ(defaults.AlertOpacity, s.AlertOpacity);
}

TEST_F(SettingsFile, MissingFileKeepsDefaultsAndReportsFalse)
{
    EXPECT_EQ(L"", Read(false));
    EXPECT_TRUE(m_settings.AlertDoShow);
    EXPECT_EQ(L"power-disconnected.png", m_settings.AlertImage);
}

TEST_F(SettingsFile, CrLfFileReadsLikeLfAndEveryLineIsEchoed)
{
    Write("# comment\r\nAlertShowPercent:20\r\n\r\nAlertImage:C:\\a b.png\r\nAlertOpacity:300");
    const std::wstring echo = Read();
    EXPECT_EQ(20, m_settings.AlertShowPercent);
    EXPECT_EQ(L"C:\\a b.png", m_settings.AlertImage); // no carriage return left over
    EXPECT_EQ(44, m_settings.AlertOpacity);           // last line without a line feed
    EXPECT_EQ(L"# comment\nAlertShowPercent:20\n\nAlertImage:C:\\a b.png\nAlertOpacity:300\n",
              echo);
}

TEST_F(SettingsFile, BytesAboveAsciiBecomeTheSameCodePoints)
{
    Write("AlertImage:caf\xE9.png\n");
    Read();
    EXPECT_EQ(std::wstring(L"caf\u00E9.png"), m_settings.AlertImage);
}

TEST_F(SettingsFile, VeryLongLinesAreReadWhole)
{
    const std::string name(100000, 'x');
    Write("AlertImage:" + name + "\nAlertDoShow:0\n");
    Read();
    EXPECT_EQ(name.size(), m_settings.AlertImage.size());
    EXPECT_FALSE(m_settings.AlertDoShow);
}
