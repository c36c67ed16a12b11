// How the system's power record maps to source, percent and battery state.
// Free of the platform, so it also runs natively with sanitizers.

#include "PowerStatus.h"

#include <gtest/gtest.h>

namespace
{

struct Row
{
    unsigned char acLine, flag, percent;
    PowerSource source;
    BatteryState state;
};

} // namespace

TEST(PowerStatus, MapsTheSystemRecordInTheDocumentedOrder)
{
    const Row rows[] = {
        {1, 8, 57, PowerSource::AC, BatteryState::Charging},         // charging laptop
        {0, 1, 80, PowerSource::Battery, BatteryState::Draining},    // high, on battery
        {1, 128, 255, PowerSource::AC, BatteryState::NoBattery},     // desktop
        {255, 8, 40, PowerSource::Unknown, BatteryState::Charging},  // unknown line status
        {0, 255, 50, PowerSource::Battery, BatteryState::NoBattery}, // unknown flag
        {1, 0x88, 90, PowerSource::AC, BatteryState::Charging},      // charging bit first
        {0, 0, 33, PowerSource::Battery, BatteryState::Draining},    // no flag bits
        {0, 2 | 4, 3, PowerSource::Battery, BatteryState::Draining}, // low and critical
        {2, 0, 10, PowerSource::Unknown, BatteryState::Draining},    // out-of-range line
    };
    for (const Row& row : rows)
    {
        const PowerStatus s = MakePowerStatus(row.acLine, row.flag, row.percent);
        EXPECT_EQ(row.source, s.source) << int(row.acLine) << "/" << int(row.flag);
        EXPECT_EQ(row.state, s.batteryState) << int(row.acLine) << "/" << int(row.flag);
        EXPECT_EQ(row.percent, s.percent);
    }
}

TEST(PowerStatus, StartsUnknownAndComparesEveryField)
{
    const PowerStatus initial;
    EXPECT_EQ(PowerSource::Unknown, initial.source);
    EXPECT_EQ(255, initial.percent);
    EXPECT_EQ(BatteryState::NoBattery, initial.batteryState);

    PowerStatus other = initial;
    EXPECT_TRUE(other == initial);
    other.percent = 254;
    EXPECT_TRUE(other != initial);
    other = initial;
    other.batteryState = BatteryState::Draining;
    EXPECT_TRUE(other != initial);
    other = initial;
    other.source = PowerSource::AC;
    EXPECT_TRUE(other != initial);
}

