#include "PowerStatus.h"

namespace
{

const unsigned char kBatteryFlagCharging = 0x08;
const unsigned char kBatteryFlagNoSystemBattery = 0x80;
const unsigned char kUnknownStatus = 255;

} // namespace

PowerStatus MakePowerStatus(unsigned char acLineStatus, unsigned char batteryFlag,
                            unsigned char batteryLifePercent)
{
    PowerStatus status;

    if (acLineStatus == 0)
        status.source = PowerSource::Battery;
    else if (acLineStatus == 1)
        status.source = PowerSource::AC;
    else
        status.source = PowerSource::Unknown;

    status.percent = batteryLifePercent;

    // The charging bit is tested before the no-battery bit: a record with
    // both set reports Charging. High, low and critical play no part.
    if (batteryFlag == kUnknownStatus)
        status.batteryState = BatteryState::NoBattery;
    else if (batteryFlag & kBatteryFlagCharging)
        status.batteryState = BatteryState::Charging;
    else if (batteryFlag & kBatteryFlagNoSystemBattery)
        status.batteryState = BatteryState::NoBattery;
    else
        status.batteryState = BatteryState::Draining;

    return status;
}
