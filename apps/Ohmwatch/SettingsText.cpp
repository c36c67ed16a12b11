#include "SettingsText.h"

#include "Settings.h"

namespace
{

const unsigned long kReplacement = 0xFFFD;

void AppendUtf16(unsigned long codePoint, std::wstring& text)
{
    if (codePoint < 0x10000)
    {
        text.push_back(static_cast<wchar_t>(codePoint));
        return;
    }
    codePoint -= 0x10000;
    text.push_back(static_cast<wchar_t>(0xD800 + (codePoint >> 10)));
    text.push_back(static_cast<wchar_t>(0xDC00 + (codePoint & 0x3FF)));
}

void AppendUtf8(unsigned long codePoint, std::string& bytes)
{
    if (codePoint < 0x80)
    {
        bytes.push_back(static_cast<char>(codePoint));
        return;
    }
    if (codePoint < 0x800)
    {
        bytes.push_back(static_cast<char>(0xC0 | (codePoint >> 6)));
    }
    else if (codePoint < 0x10000)
    {
        bytes.push_back(static_cast<char>(0xE0 | (codePoint >> 12)));
        bytes.push_back(static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F)));
    }
    else
    {
        bytes.push_back(static_cast<char>(0xF0 | (codePoint >> 18)));
        bytes.push_back(static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F)));
        bytes.push_back(static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F)));
    }
    bytes.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
}

// Well-formed UTF-8 only: no overlong forms, no surrogates, nothing beyond
// U+10FFFF. False, with text unspecified, for anything else.
bool DecodeUtf8(const unsigned char* begin, const unsigned char* end, std::wstring& text)
{
    text.clear();
    const unsigned char* p = begin;
    while (p < end)
    {
        const unsigned char lead = *p++;
        if (lead < 0x80)
        {
            text.push_back(static_cast<wchar_t>(lead));
            continue;
        }
        int following;
        unsigned long codePoint;
        unsigned long least;
        if (lead >= 0xC2 && lead <= 0xDF)
            following = 1, codePoint = lead & 0x1F, least = 0x80;
        else if (lead >= 0xE0 && lead <= 0xEF)
            following = 2, codePoint = lead & 0x0F, least = 0x800;
        else if (lead >= 0xF0 && lead <= 0xF4)
            following = 3, codePoint = lead & 0x07, least = 0x10000;
        else
            return false;
        if (end - p < following)
            return false;
        for (int i = 0; i < following; ++i, ++p)
        {
            if ((*p & 0xC0) != 0x80)
                return false;
            codePoint = (codePoint << 6) | (*p & 0x3F);
        }
        if (codePoint < least || codePoint > 0x10FFFF ||
            (codePoint >= 0xD800 && codePoint <= 0xDFFF))
            return false;
        AppendUtf16(codePoint, text);
    }
    return true;
}

// A line of 8-bit text: UTF-8 when it is valid UTF-8 (an ASCII line reads
// the same either way), else one character per byte.
void DecodeByteLine(const unsigned char* begin, const unsigned char* end, std::wstring& line)
{
    if (DecodeUtf8(begin, end, line))
        return;
    line.assign(begin, end);
}

void ApplyByteText(const unsigned char* p, const unsigned char* end, Settings& settings,
                   std::string& echo)
{
    std::wstring line;
    while (p < end)
    {
        const unsigned char* lineEnd = p;
        while (lineEnd < end && *lineEnd != '\n')
            ++lineEnd;
        const unsigned char* next = lineEnd < end ? lineEnd + 1 : end;
        if (lineEnd < end && lineEnd > p && lineEnd[-1] == '\r')
            --lineEnd;
        echo.append(reinterpret_cast<const char*>(p), lineEnd - p);
        echo.push_back('\n');
        DecodeByteLine(p, lineEnd, line);
        ApplySettingsLine(line, settings);
        p = next;
    }
}

// The line's UTF-16 code units as UTF-8.
void EchoUtf16Line(const std::wstring& line, std::string& echo)
{
    for (std::wstring::size_type i = 0; i < line.size(); ++i)
    {
        const unsigned long unit = static_cast<unsigned long>(line[i]);
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < line.size())
        {
            const unsigned long low = static_cast<unsigned long>(line[i + 1]);
            if (low >= 0xDC00 && low <= 0xDFFF)
            {
                AppendUtf8(0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00), echo);
                ++i;
                continue;
            }
        }
        AppendUtf8(unit >= 0xD800 && unit <= 0xDFFF ? kReplacement : unit, echo);
    }
    echo.push_back('\n');
}

void ApplyUtf16Text(const unsigned char* p, const unsigned char* end, Settings& settings,
                    std::string& echo)
{
    std::wstring line;
    bool open = false; // a line has begun that no line feed has ended yet
    for (; end - p >= 2; p += 2)
    {
        const wchar_t unit = static_cast<wchar_t>(p[0] | (p[1] << 8));
        if (unit != L'\n')
        {
            line.push_back(unit);
            open = true;
            continue;
        }
        if (!line.empty() && line[line.size() - 1] == L'\r')
            line.erase(line.size() - 1);
        EchoUtf16Line(line, echo);
        ApplySettingsLine(line, settings);
        line.clear();
        open = false;
    }
    if (open)
    {
        EchoUtf16Line(line, echo);
        ApplySettingsLine(line, settings);
    }
}

} // namespace

void ApplySettingsText(const std::string& bytes, Settings& settings, std::string& echo)
{
    const unsigned char* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const unsigned char* end = p + bytes.size();
    if (end - p >= 2 && p[0] == 0xFF && p[1] == 0xFE)
    {
        ApplyUtf16Text(p + 2, end, settings, echo);
        return;
    }
    if (end - p >= 3 && p[0] == 0xEF && p[1] == 0xBB && p[2] == 0xBF)
        p += 3;
    ApplyByteText(p, end, settings, echo);
}
