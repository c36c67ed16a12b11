// Lines of "Ohmwatch.ini": defaults, the 8-bit value rules, exact keys and
// comments. Free of the platform, so it also runs natively with sanitizers.

#include "Settings.h"

#include <gtest/gtest.h>

#include <initializer_list>

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
