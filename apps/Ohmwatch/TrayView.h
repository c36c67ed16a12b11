#pragma once

#include "PowerStatus.h"

// What the notification-area icon shows for a power status: the icon
// resource and the tooltip. Pure, so every band edge can be checked anywhere.
struct TrayView
{
    int iconId;
    // Long enough for the longest text, "Ohmwatch - power source unknown".
    wchar_t tooltip[40];
};

// Icon resources: batteries by charge band, the same with a bolt while on
// mains power, and a battery with a cross when the source or the charge is
// unknown.
enum TrayIconId
{
    TrayIconProgram = 101,
    TrayIconBatteryBase = 1000,
    TrayIconChargingOffset = 1000,
    TrayIconUnknown = 3000
};

// Shows a charge only when the system reported one (0 to 100); "charging"
// only while the battery charges. Allocates nothing.
//   Battery, charge known     "Ohmwatch - 57%"                the band
//   Battery, charge unknown   "Ohmwatch - on battery"         the cross
//   AC charging, known        "Ohmwatch - charging (80%)"     the band with a bolt
//   AC otherwise, known       "Ohmwatch - plugged in (100%)"  the band with a bolt
//   AC, charge unknown        "Ohmwatch - plugged in"         the cross
//   source unknown            "Ohmwatch - power source unknown"  the cross
TrayView MakeTrayView(const PowerStatus& status);
