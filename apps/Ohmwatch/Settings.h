#pragma once

#include <string>

// The monitor's settings, read once from "Ohmwatch.ini" at start. A fresh
// record holds zeros and an empty picture name; SetDefaultSettings gives the
// values the program starts from before it reads the file.
struct Settings
{
    bool LowPowerDoAction = false;
    signed char LowPowerActionPercent = 0;
    bool AlertDoShow = false;
    signed char AlertShowPercent = 0;
    bool AlertUseTransparency = false;
    unsigned char AlertOpacity = 0;
    std::wstring AlertImage;
    signed char PowerCheckSeconds = 0;
};

// Alert shown on battery at any charge, transparent at full opacity, with
// the picture "power-disconnected.png"; no low-power action; the power
// status checked on every idle pass.
void SetDefaultSettings(Settings& settings);

// Seconds between two checks of the power status when the monitor waits for
// the system's power notifications (PowerCheckSeconds 1 to 127); 0 when it
// checks on every idle pass of its run loop (0 or below).
unsigned int PowerCheckInterval(const Settings& settings);

// Reads "Ohmwatch.ini" from the current directory, or from the program's
// folder when the current one has none (LocateDataFile), into settings,
// changing only the fields whose keys occur. Echoes every line read to
// standard output. Returns false, changing nothing, when the file cannot be
// opened.
bool ReadSettings(Settings& settings);

// Applies one line of the settings file (without its line end). Empty lines
// and lines starting with '#' change nothing; so do lines of unknown keys.
void ApplySettingsLine(const std::wstring& line, Settings& settings);
