#pragma once

#include <string>

// The monitor's settings, read once from "Ohmwatch.ini" at start.
struct Settings
{
    bool LowPowerDoAction = false;
    signed char LowPowerActionPercent = 0;
    bool AlertDoShow = true;
    signed char AlertShowPercent = 100;
    bool AlertUseTransparency = true;
    unsigned char AlertOpacity = 100;
    std::wstring AlertImage = L"power-disconnected.png";
};

// Reads "Ohmwatch.ini" from the current directory into settings, changing
// only the fields whose keys occur. Echoes every line read to standard
// output. Returns false, changing nothing, when the file cannot be opened.
bool ReadSettings(Settings& settings);

// Applies one line of the settings file (without its line end). Empty lines
// and lines starting with '#' change nothing; so do lines of unknown keys.
void ApplySettingsLine(const std::wstring& line, Settings& settings);
