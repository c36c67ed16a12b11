#include "AlertRule.h"
#include "TrayView.h"

#include <gtest/gtest.h>

#include <string>

namespace
{

PowerStatus Status(PowerSource source, int percent, BatteryState state = BatteryState::Draining)
{
    PowerStatus status;
    status.source = source;
    status.percent = static_cast<unsigned char>(percent);
    status.batteryState = state;
    return status;
}

Settings Defaults()
{
    Settings settings;
    SetDefaultSettings(settings);
    return settings;
}

} // namespace

TEST(TrayView, BatteryBandsChangeExactlyAtTheirEdges)
{
    const struct
    {
        int percent;
        int icon;
    } cases[] = {{0, 1000},  {9, 1000},  {10, 1020}, {29, 1020}, {30, 1040}, {49, 1040},
                 {50, 1060}, {69, 1060}, {70, 1080}, {89, 1080}, {90, 1100}, {100, 1100},
                 {57, 1060}};
    for (const auto& c : cases)
    {
        const TrayView view = MakeTrayView(Status(PowerSource::Battery, c.percent));
        EXPECT_EQ(c.icon, view.iconId) << "percent " << c.percent;
        const TrayView charging =
            MakeTrayView(Status(PowerSource::AC, c.percent, BatteryState::Charging));
        EXPECT_EQ(c.icon + 1000, charging.iconId) << "percent " << c.percent;
        const TrayView pluggedIn = MakeTrayView(Status(PowerSource::AC, c.percent));
        EXPECT_EQ(c.icon + 1000, pluggedIn.iconId) << "percent " << c.percent;
    }
}

TEST(TrayView, ShowsOnlyWhatTheSystemReported)
{
    const struct
    {
        PowerSource source;
        int percent;
        BatteryState state;
        const wchar_t* tooltip;
        int icon;
    } cases[] = {
        {PowerSource::Battery, 57, BatteryState::Draining, L"Ohmwatch - 57%", 1060},
        {PowerSource::Battery, 0, BatteryState::Draining, L"Ohmwatch - 0%", 1000},
        // A charge above 100 is no charge: 255 is the system's "unknown".
        {PowerSource::Battery, 255, BatteryState::Draining, L"Ohmwatch - on battery", 3000},
        {PowerSource::Battery, 101, BatteryState::NoBattery, L"Ohmwatch - on battery", 3000},
        {PowerSource::AC, 80, BatteryState::Charging, L"Ohmwatch - charging (80%)", 2080},
        // Full and not charging, or a battery the system does not charge.
        {PowerSource::AC, 100, BatteryState::Draining, L"Ohmwatch - plugged in (100%)", 2100},
        {PowerSource::AC, 40, BatteryState::NoBattery, L"Ohmwatch - plugged in (40%)", 2040},
        // A desktop without battery: mains power, 255 %.
        {PowerSource::AC, 255, BatteryState::NoBattery, L"Ohmwatch - plugged in", 3000},
        {PowerSource::AC, 128, BatteryState::Charging, L"Ohmwatch - plugged in", 3000},
        {PowerSource::Unknown, 50, BatteryState::Charging, L"Ohmwatch - power source unknown", 3000},
        {PowerSource::Unknown, 255, BatteryState::NoBattery, L"Ohmwatch - power source unknown",
         3000},
    };
    for (const auto& c : cases)
    {
        const TrayView view = MakeTrayView(Status(c.source, c.percent, c.state));
        EXPECT_EQ(std::wstring(c.tooltip), view.tooltip)
            << int(c.source) << "/" << c.percent << "/" << int(c.state);
        EXPECT_EQ(c.icon, view.iconId) << int(c.source) << "/" << c.percent << "/" << int(c.state);
    }
}

TEST(AlertRule, DefaultsShowTheAlertOffMainsAtAnyCharge)
{
    const Settings settings = Defaults();
    EXPECT_TRUE(IsAlertDue(Status(PowerSource::Battery, 100), settings));
    EXPECT_TRUE(IsAlertDue(Status(PowerSource::Battery, 0), settings));
    EXPECT_FALSE(IsAlertDue(Status(PowerSource::AC, 60), settings));
    // Only the system's word that the machine runs on battery raises it.
    EXPECT_FALSE(IsAlertDue(Status(PowerSource::Unknown, 60), settings));
    EXPECT_FALSE(IsAlertDue(Status(PowerSource::Unknown, 0), settings));
    // 255 (charge unknown) is above every threshold.
    EXPECT_FALSE(IsAlertDue(Status(PowerSource::Battery, 255), settings));
}

TEST(AlertRule, ThresholdIsInclusive)
{
    Settings settings = Defaults();
    settings.AlertShowPercent = 20;
    EXPECT_FALSE(IsAlertDue(Status(PowerSource::Battery, 21), settings));
    EXPECT_TRUE(IsAlertDue(Status(PowerSource::Battery, 20), settings));
    EXPECT_TRUE(IsAlertDue(Status(PowerSource::Battery, 5), settings));
}

TEST(AlertRule, ThresholdOf127BehavesLike100AndNegativeMeansNever)
{
    Settings settings = Defaults();
    settings.AlertShowPercent = 127;
    EXPECT_TRUE(IsAlertDue(Status(PowerSource::Battery, 100), settings));
    EXPECT_FALSE(IsAlertDue(Status(PowerSource::Battery, 255), settings));
    for (int threshold : {-1, -56, -128})
    {
        settings.AlertShowPercent = static_cast<signed char>(threshold);
        EXPECT_FALSE(IsAlertDue(Status(PowerSource::Battery, 0), settings)) << threshold;
        EXPECT_FALSE(IsAlertDue(Status(PowerSource::Battery, 255), settings)) << threshold;
    }
}

TEST(AlertRule, SwitchedOffAlertNeverShows)
{
    Settings settings = Defaults();
    settings.AlertDoShow = false;
    EXPECT_FALSE(IsAlertDue(Status(PowerSource::Battery, 0), settings));
    EXPECT_FALSE(IsAlertDue(Status(PowerSource::Unknown, 10), settings));
}

TEST(AlertRule, ConstantAlphaIsOpacityTimes2Point55Truncated)
{
    // Products that are whole numbers in decimal: rounded to a double first,
    // not truncated from the x87 unit's wider value (50, 101, 152, 203).
    EXPECT_EQ(51, AlertConstantAlpha(20));
    EXPECT_EQ(102, AlertConstantAlpha(40));
    EXPECT_EQ(153, AlertConstantAlpha(60));
    EXPECT_EQ(204, AlertConstantAlpha(80));
    EXPECT_EQ(254, AlertConstantAlpha(100));
    EXPECT_EQ(252, AlertConstantAlpha(99));
    EXPECT_EQ(127, AlertConstantAlpha(50));
    EXPECT_EQ(2, AlertConstantAlpha(1));
    EXPECT_EQ(0, AlertConstantAlpha(0));
}
