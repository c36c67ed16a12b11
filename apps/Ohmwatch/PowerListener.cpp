#include "PowerListener.h"

#include <windows.h>

PowerListener::PowerListener() = default;

PowerListener::~PowerListener() = default;

void PowerListener::Poll()
{
    // A failed call leaves the zero-filled record, which reads as
    // Battery, 0 %, Draining.
    SYSTEM_POWER_STATUS system;
    ZeroMemory(&system, sizeof(system));
    GetSystemPowerStatus(&system);
    m_status = MakePowerStatus(system.ACLineStatus, system.BatteryFlag, system.BatteryLifePercent);
}
