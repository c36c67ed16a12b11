#include "PowerListener.h"

#include <windows.h>

PowerListener::PowerListener() = default;

PowerListener::~PowerListener() = default;

void PowerListener::Poll()
{
    SYSTEM_POWER_STATUS system;
    ZeroMemory(&system, sizeof(system));
    // A failed call reports nothing: its zero-filled record would read as
    // battery, 0 %, draining. The last status stands until a call succeeds.
    if (!GetSystemPowerStatus(&system))
        return;
    m_status = MakePowerStatus(system.ACLineStatus, system.BatteryFlag, system.BatteryLifePercent);
}
