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
    } cases[] = {{0, 1000},  {9, 1000},   {10, 1020},  {29, 1020}, {30, 1040}, {49, 1040},
                 {50, 1060}, {69, 1060},  {70, 1080},  {89, 1080}, {90, 1100}, {100, 1100},
                 {57, 1060}, {127, 1100}, {128, 1000}, {255, 1000}};
    for (const auto& c : cases)
    {
        const TrayView view = MakeTrayView(Status(PowerSource::Battery, c.percent));
        EXPECT_EQ(c.icon, view.iconId) << "percent " << c.percent;
        const TrayView charging = MakeTrayView(Status(PowerSource::AC, c.percent));
        EXPECT_EQ(c.icon + 1000, charging.iconId) << "percent " << c.percent;
    }
}

TEST(TrayView, TooltipReadsThePercentAsASignedByte)
{
    EXPECT_EQ(std::wstring(L"Ohmwatch - 57%"),
              MakeTrayView(Status(PowerSource::Battery, 57)).tooltip);
    EXPECT_EQ(std::wstring(L"Ohmwatch - 0%"),
              MakeTrayView(Status(PowerSource::Battery, 0)).tooltip);
    EXPECT_EQ(std::wstring(L"Ohmwatch - -1%"),
              MakeTrayView(Status(PowerSource::Battery, 255)).tooltip);
    EXPECT_EQ(std::wstring(L"Ohmwatch - charging (100%)"),
              MakeTrayView(Status(PowerSource::AC, 100, BatteryState::Charging)).tooltip);
    EXPECT_EQ(std::wstring(L"Ohmwatch - charging (80%)"),
              MakeTrayView(Status(PowerSource::AC, 80, BatteryState::Charging)).tooltip);
    // The longest text the tooltip can hold.
    EXPECT_EQ(std::wstring(L"Ohmwatch - charging (-128%)"),
              MakeTrayView(Status(PowerSource::AC, 128)).tooltip);
}

TEST(TrayView, MainsPowerSaysChargingWhateverTheBatteryDoes)
{
    // A desktop without battery reports 255 % on mains power.
    const TrayView desktop = MakeTrayView(Status(PowerSource::AC, 255, BatteryState::NoBattery));
    EXPECT_EQ(2000, desktop.iconId);
    EXPECT_EQ(std::wstring(L"Ohmwatch - charging (-1%)"), desktop.tooltip);
    const TrayView full = MakeTrayView(Status(PowerSource::AC, 100, BatteryState::Draining));
    EXPECT_EQ(std::wstring(L"Ohmwatch - charging (100%)"), full.tooltip);
}

TEST(TrayView, UnknownSourceShowsNoBatteryWhateverThePercent)
{
    for (int percent : {0, 50, 100, 255})
    {
        const TrayView view = MakeTrayView(Status(PowerSource::Unknown, percent));
        EXPECT_EQ(3000, view.iconId);
        EXPECT_EQ(std::wstring(L"Ohmwatch - no battery"), view.tooltip);
    }
}

TEST(AlertRule, DefaultsShowTheAlertOffMainsAtAnyCharge)
{
    const Settings settings = Defaults();
    EXPECT_TRUE(IsAlertDue(Status(PowerSource::Battery, 100), settings));
    EXPECT_TRUE(IsAlertDue(Status(PowerSource::Battery, 0), settings));
    EXPECT_FALSE(IsAlertDue(Status(PowerSource::AC, 60), settings));
    // An unknown source with a known charge counts as off mains.
    EXPECT_TRUE(IsAlertDue(Status(PowerSource::Unknown, 60), settings));
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
    EXPECT_EQ(254, AlertConstantAlpha(100));
    EXPECT_EQ(252, AlertConstantAlpha(99));
    EXPECT_EQ(127, AlertConstantAlpha(50));
    EXPECT_EQ(2, AlertConstantAlpha(1));
    EXPECT_EQ(0, AlertConstantAlpha(0));
}
