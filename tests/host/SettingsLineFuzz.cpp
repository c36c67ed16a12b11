// Feeds arbitrary bytes as the content of a settings file through the
// decoding (marks, UTF-16, UTF-8 or Latin-1 lines) and the line parser, and
// its first line as a picture name; the sanitizers report any misuse of
// memory or undefined arithmetic, and the checks below what no input may
// break.

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

// UTF-16 code units back to UTF-8 bytes; false at a unit that is not one of
// a well-formed text (a lone surrogate) or beyond 16 bits.
bool EncodeUtf8(const std::wstring& text, std::string& bytes)
{
    for (std::wstring::size_type i = 0; i < text.size(); ++i)
    {
        unsigned long c = static_cast<unsigned long>(text[i]);
        if (c > 0xFFFF || (c >= 0xDC00 && c <= 0xDFFF))
            return false;
        if (c >= 0xD800 && c <= 0xDBFF)
        {
            const unsigned long low =
                i + 1 < text.size() ? static_cast<unsigned long>(text[++i]) : 0;
            if (low < 0xDC00 || low > 0xDFFF)
                return false;
            c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
        }
        int following = c < 0x80 ? 0 : c < 0x800 ? 1 : c < 0x10000 ? 2 : 3;
        static const unsigned char lead[] = {0x00, 0xC0, 0xE0, 0xF0};
        bytes.push_back(static_cast<char>(lead[following] | (c >> (6 * following))));
        for (int shift = 6 * (following - 1); shift >= 0; shift -= 6)
            bytes.push_back(static_cast<char>(0x80 | ((c >> shift) & 0x3F)));
    }
    return true;
}

// The input's first line as the picture name: read either as UTF-8, which
// must then give back the same bytes, or one character per byte.
void CheckValueDecoding(const uint8_t* data, size_t size)
{
    std::string value;
    for (size_t i = 0; i < size && data[i] != '\n' && data[i] != '\r'; ++i)
        value.push_back(static_cast<char>(data[i]));
    Settings settings;
    SetDefaultSettings(settings);
    std::string echo;
    ApplySettingsText("AlertImage:" + value, settings, echo);
    const std::wstring& name = settings.AlertImage;
    bool byteByByte = name.size() == value.size();
    for (size_t i = 0; byteByByte && i < value.size(); ++i)
        byteByByte = static_cast<unsigned long>(name[i]) == static_cast<unsigned char>(value[i]);
    std::string encoded;
    if (!byteByByte && !(EncodeUtf8(name, encoded) && encoded == value))
        __builtin_trap();
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
    CheckValueDecoding(data, size);
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
