// Lines of "Ohmwatch.ini": defaults, the 8-bit value rules, exact keys and
// comments, and the file's text in the encodings editors save. Free of the
// platform, so it also runs natively with sanitizers.

#include "Settings.h"
#include "SettingsText.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

namespace
{

Settings Apply(std::initializer_list<const wchar_t*> lines)
{
    Settings settings;
    SetDefaultSettings(settings);
    for (const wchar_t* line : lines)
        ApplySettingsLine(line, settings);
    return settings;
}

// The settings after the file content bytes, and what was echoed.
Settings ApplyText(const std::string& bytes, std::string& echo)
{
    Settings settings;
    SetDefaultSettings(settings);
    echo.clear();
    ApplySettingsText(bytes, settings, echo);
    return settings;
}

// UTF-16 little-endian bytes of ASCII text and the given code units.
std::string Utf16(std::initializer_list<unsigned> units)
{
    std::string bytes;
    for (unsigned unit : units)
    {
        bytes.push_back(static_cast<char>(unit & 0xFF));
        bytes.push_back(static_cast<char>(unit >> 8));
    }
    return bytes;
}
std::string Utf16(const char* ascii)
{
    std::string bytes;
    for (; *ascii != '\0'; ++ascii)
        bytes += Utf16({static_cast<unsigned char>(*ascii)});
    return bytes;
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

TEST(SettingsText, Utf8IsReadWhereValidAndEveryOtherLineByteByByte)
{
    std::string echo;
    // The UTF-8 mark is skipped: the first key matches; it is not echoed.
    const std::string utf8 = "\xEF\xBB\xBF"
                             "AlertDoShow:0\r\nAlertImage:Zo\xC3\xAB.png";
    Settings s = ApplyText(utf8, echo);
    EXPECT_FALSE(s.AlertDoShow);
    EXPECT_EQ(std::wstring(L"Zo\u00EB.png"), s.AlertImage);
    EXPECT_EQ("AlertDoShow:0\nAlertImage:Zo\xC3\xAB.png\n", echo);

    // Chinese, and beyond U+FFFF as a surrogate pair on every platform.
    s = ApplyText("AlertImage:\xE5\x9B\xBE \xF0\x9F\x94\x8C.png\n", echo);
    const wchar_t chinese[] = {0x56FE, L' ', 0xD83D, 0xDD0C, L'.', L'p', L'n', L'g', 0};
    EXPECT_EQ(std::wstring(chinese), s.AlertImage);

    // Latin-1 stays one character per byte, line by line; so does anything
    // that is not well-formed UTF-8: a valid sequence beside a Latin-1 byte,
    // an overlong form, an encoded surrogate, a cut sequence, a mark that is
    // not at the start.
    s = ApplyText("AlertImage:Zo\xEB.png\nAlertOpacity:5\xC3\xAB\n", echo);
    EXPECT_EQ(std::wstring(L"Zo\u00EB.png"), s.AlertImage);
    EXPECT_EQ(5, s.AlertOpacity);
    EXPECT_EQ(std::wstring(L"\u00C3\u00AB\u00EB"),
              ApplyText("AlertImage:\xC3\xAB\xEB", echo).AlertImage);
    EXPECT_EQ(std::wstring(L"\u00C0\u00AF"), ApplyText("AlertImage:\xC0\xAF", echo).AlertImage);
    EXPECT_EQ(std::wstring(L"\u00ED\u00A0\u0080"),
              ApplyText("AlertImage:\xED\xA0\x80", echo).AlertImage);
    EXPECT_EQ(std::wstring(L"a\u00C3"), ApplyText("AlertImage:a\xC3", echo).AlertImage);
    EXPECT_TRUE(ApplyText("\n\xEF\xBB\xBF"
                          "AlertDoShow:0",
                          echo)
                    .AlertDoShow);
    EXPECT_EQ("\n\xEF\xBB\xBF"
              "AlertDoShow:0\n",
              echo);
}

TEST(SettingsText, Utf16FilesReadByTheSameLineRules)
{
    std::string echo;
    // Notepad's "Unicode": the mark, CR LF line ends, the last line without one.
    Settings s = ApplyText("\xFF\xFE" + Utf16("AlertShowPercent:30\r\n#AlertDoShow:0\r\n\r\n") +
                               Utf16("AlertImage: Zo") + Utf16({0xEB, 0x56FE, 0xD83D, 0xDD0C}),
                           echo);
    EXPECT_EQ(30, s.AlertShowPercent);
    EXPECT_TRUE(s.AlertDoShow);
    const wchar_t image[] = {L' ', L'Z', L'o', 0xEB, 0x56FE, 0xD83D, 0xDD0C, 0};
    EXPECT_EQ(std::wstring(image), s.AlertImage);
    // Echoed as UTF-8, one line per line read.
    EXPECT_EQ("AlertShowPercent:30\n#AlertDoShow:0\n\nAlertImage: "
              "Zo\xC3\xAB\xE5\x9B\xBE\xF0\x9F\x94\x8C\n",
              echo);

    // A lone surrogate is echoed as U+FFFD and kept in the value; a last odd
    // byte (half a character) is dropped; a file of the mark alone has no line.
    s = ApplyText("\xFF\xFE" + Utf16("AlertImage:") + Utf16({0xDC00, 0x0A}) + "A", echo);
    EXPECT_EQ(std::wstring(1, static_cast<wchar_t>(0xDC00)), s.AlertImage);
    EXPECT_EQ("AlertImage:\xEF\xBF\xBD\n", echo);
    ApplyText("\xFF\xFE", echo);
    EXPECT_EQ("", echo);
    // The same text without the mark is 8-bit text: no key matches.
    EXPECT_EQ(100, ApplyText(Utf16("AlertShowPercent:30\r\n"), echo).AlertShowPercent);
}

TEST(Settings, PowerCheckSecondsChoosesTheWatchByTheEightBitRule)
{
    // 0: a check on every idle pass of the run loop, as without the key.
    EXPECT_EQ(0u, PowerCheckInterval(Apply({})));
    EXPECT_EQ(2u, PowerCheckInterval(Apply({L"PowerCheckSeconds:2"})));
    EXPECT_EQ(2u, PowerCheckInterval(Apply({L"PowerCheckSeconds:258"})));
    EXPECT_EQ(127u, PowerCheckInterval(Apply({L"PowerCheckSeconds:383"})));
    EXPECT_EQ(0u, PowerCheckInterval(Apply({L"PowerCheckSeconds:200"}))); // -56
    EXPECT_EQ(0u, PowerCheckInterval(Apply({L"PowerCheckSeconds:128"}))); // -128
    EXPECT_EQ(0u, PowerCheckInterval(Apply({L"PowerCheckSeconds:-3"})));
    EXPECT_EQ(0u, PowerCheckInterval(Apply({L"PowerCheckSeconds:2", L"PowerCheckSeconds:0"})));
    EXPECT_EQ(0u, PowerCheckInterval(Apply({L"PowerCheckSeconds"})));
}
