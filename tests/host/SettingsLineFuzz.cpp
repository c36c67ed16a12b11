// Feeds arbitrary bytes as the content of a settings file through the
// decoding (marks, UTF-16, UTF-8 or Latin-1 lines) and the line parser; the
// sanitizers report any misuse of memory or undefined arithmetic, and the
// checks below what no input may break.

#include "Settings.h"
#include "SettingsText.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace
{

// 8-bit text is echoed as its own bytes: the content after a UTF-8 mark,
// with CR LF as LF, every line ended by a line feed.
std::string ExpectedByteEcho(const std::string& bytes)
{
    std::string content = bytes.compare(0, 3, "\xEF\xBB\xBF") == 0 ? bytes.substr(3) : bytes;
    std::string echo;
    for (std::string::size_type i = 0; i < content.size(); ++i)
    {
        if (content[i] == '\r' && i + 1 < content.size() && content[i + 1] == '\n')
            continue;
        echo.push_back(content[i]);
    }
    if (!echo.empty() && echo[echo.size() - 1] != '\n')
        echo.push_back('\n');
    return echo;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    Settings settings;
    SetDefaultSettings(settings);
    std::string echo;
    ApplySettingsText(bytes, settings, echo);
    if (settings.AlertOpacity > 100)
        __builtin_trap();
    // UTF-16 code units on every platform, as on Windows.
    for (wchar_t c : settings.AlertImage)
        if (static_cast<unsigned long>(c) > 0xFFFF)
            __builtin_trap();
    const bool utf16 = size >= 2 && data[0] == 0xFF && data[1] == 0xFE;
    if (!utf16 && echo != ExpectedByteEcho(bytes))
        __builtin_trap();
    // One echoed line per line read: a UTF-16 file has no more lines than
    // line feeds plus one.
    if (utf16)
    {
        size_t feeds = 0;
        for (size_t i = 2; i + 1 < size; i += 2)
            feeds += data[i] == '\n' && data[i + 1] == 0;
        size_t echoed = 0;
        for (char c : echo)
            echoed += c == '\n';
        if (echoed < feeds || echoed > feeds + 1)
            __builtin_trap();
    }
    return 0;
}
