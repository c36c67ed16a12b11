#pragma once

// The machine's power state as the monitor sees it. Free of <windows.h> so
// the mapping can be tested and fuzzed on any host.

enum class PowerSource : int
{
    Unknown = 0,
    Battery = 1,
    AC = 2
};

enum class BatteryState : int
{
    NoBattery = 0,
    Draining = 1,
    Charging = 2
};

struct PowerStatus
{
    PowerSource source = PowerSource::Unknown;
    // 0 to 100, or 255 when the system does not know. Stored as one byte;
    // each reader states whether it reads it signed or unsigned.
    unsigned char percent = 255;
    BatteryState batteryState = BatteryState::NoBattery;

    // Whether the system reported the charge (0 to 100); no other value is a
    // charge to show or to compare with a threshold.
    bool IsChargeKnown() const { return percent <= 100; }

    bool operator==(const PowerStatus& other) const
    {
        return source == other.source && percent == other.percent &&
               batteryState == other.batteryState;
    }
    bool operator!=(const PowerStatus& other) const { return !(*this == other); }
};

// Reduces the fields of the system's SYSTEM_POWER_STATUS record that the
// monitor uses to a PowerStatus.
PowerStatus MakePowerStatus(unsigned char acLineStatus, unsigned char batteryFlag,
                            unsigned char batteryLifePercent);
