#include "Settings.h"

#include "OMath.h"

#include <cerrno>
#include <climits>
#include <cwchar>

namespace
{

// The value as wcstol reads it in base 10 (leading blanks skipped, optional
// sign, no digits gives 0), saturated to the 32-bit range, then cut to its
// lowest 8 bits read as a signed byte.
int ParseLowByte(const std::wstring& value)
{
    long parsed = std::wcstol(value.c_str(), nullptr, 10);
    if (parsed > INT_MAX)
        parsed = INT_MAX;
    if (parsed < INT_MIN)
        parsed = INT_MIN;
    int low = static_cast<int>(static_cast<unsigned long>(parsed) & 0xFFu);
    return low >= 128 ? low - 256 : low;
}

} // namespace

void SetDefaultSettings(Settings& settings)
{
    settings.LowPowerDoAction = false;
    settings.LowPowerActionPercent = 0;
    settings.AlertDoShow = true;
    settings.AlertShowPercent = 100;
    settings.AlertUseTransparency = true;
    settings.AlertOpacity = 100;
    settings.AlertImage = L"power-disconnected.png";
    settings.PowerCheckSeconds = 0;
}

unsigned int PowerCheckInterval(const Settings& settings)
{
    return settings.PowerCheckSeconds > 0 ? static_cast<unsigned int>(settings.PowerCheckSeconds)
                                          : 0u;
}

void ApplySettingsLine(const std::wstring& line, Settings& settings)
{
    if (line.empty() || line[0] == L'#')
        return;

    std::wstring key = line;
    std::wstring value = line;
    const std::wstring::size_type colon = line.find(L':');
    if (colon != std::wstring::npos)
    {
        key = line.substr(0, colon);
        value = line.substr(colon + 1);
    }

    const int number = ParseLowByte(value);

    if (key == L"LowPowerDoAction")
        settings.LowPowerDoAction = number != 0;
    else if (key == L"LowPowerActionPercent")
        settings.LowPowerActionPercent = static_cast<signed char>(number);
    else if (key == L"AlertDoShow")
        settings.AlertDoShow = number != 0;
    else if (key == L"AlertShowPercent")
        settings.AlertShowPercent = static_cast<signed char>(number);
    else if (key == L"AlertUseTransparency")
        settings.AlertUseTransparency = number != 0;
    else if (key == L"AlertOpacity")
        settings.AlertOpacity =
            static_cast<unsigned char>(OMath::Clamp(static_cast<float>(number), 0.0f, 100.0f));
    else if (key == L"AlertImage")
        settings.AlertImage = value;
    else if (key == L"PowerCheckSeconds")
        settings.PowerCheckSeconds = static_cast<signed char>(number);
}
