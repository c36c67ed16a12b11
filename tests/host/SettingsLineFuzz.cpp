// Feeds arbitrary bytes, widened as the settings reader widens them, into
// the settings line parser; the sanitizers report any misuse of memory or
// undefined arithmetic.

#include "Settings.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::wstring line;
    line.reserve(size);
    for (size_t i = 0; i < size; ++i)
    {
        if (data[i] == '\n')
            break;
        line.push_back(static_cast<wchar_t>(data[i]));
    }
    Settings settings;
    SetDefaultSettings(settings);
    ApplySettingsLine(line, settings);
    if (settings.AlertOpacity > 100)
        __builtin_trap();
    return 0;
}
