#pragma once

#include "PowerStatus.h"

// What the notification-area icon shows for a power status: the icon
// resource and the tooltip. Pure, so every band edge can be checked anywhere.
struct TrayView
{
    int iconId;
    // Long enough for the longest text, "Ohmwatch - charging (-128%)".
    wchar_t tooltip[40];
};

// Icon resources: batteries by charge band, the same with a bolt while on
// mains power, and a battery with a cross when the source is unknown.
enum TrayIconId
{
    TrayIconProgram = 101,
    TrayIconBatteryBase = 1000,
    TrayIconChargingOffset = 1000,
    TrayIconUnknown = 3000
};

// Reads the percent as a signed byte, so the system's 255 ("unknown") shows
// as -1 and falls into the lowest band. Allocates nothing.
TrayView MakeTrayView(const PowerStatus& status);
