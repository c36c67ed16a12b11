#pragma once

#include "PowerStatus.h"
#include "Settings.h"

// Whether the power-disconnected alert is called for: the system says the
// machine runs on battery (an unknown source never raises it), the charge
// (read unsigned, 0 to 255) is at or below AlertShowPercent (read signed, so
// a negative threshold never shows it), and the alert is enabled.
bool IsAlertDue(const PowerStatus& status, const Settings& settings);

// The constant alpha of the transparent alert for an opacity of 0 to 100:
// opacity times 2.55 as a double, truncated; the same on every processor.
unsigned char AlertConstantAlpha(unsigned char opacity);
