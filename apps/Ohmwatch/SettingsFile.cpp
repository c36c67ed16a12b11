#include "Settings.h"

#include <cstdio>
#include <share.h>
#include <string>

namespace
{

// Reads one line of 8-bit text, each byte widened to the character of the
// same code; the line feed, and a carriage return right before it, end the
// line and are not stored. False at end of file.
bool ReadLine(FILE* file, std::wstring& line)
{
    line.clear();
    int c = std::fgetc(file);
    if (c == EOF)
        return false;
    while (c != EOF && c != '\n')
    {
        line.push_back(static_cast<wchar_t>(static_cast<unsigned char>(c)));
        c = std::fgetc(file);
    }
    if (c == '\n' && !line.empty() && line[line.size() - 1] == L'\r')
        line.erase(line.size() - 1);
    return true;
}

// Writes the line's bytes back as they were read: each character holds one
// byte, so no code page can refuse one. (C stdio rather than std::wcout, whose
// locale machinery would make up most of the program's size.)
void EchoLine(const std::wstring& line)
{
    std::string bytes;
    bytes.reserve(line.size() + 1);
    for (wchar_t c : line)
        bytes.push_back(static_cast<char>(c));
    bytes.push_back('\n');
    std::fwrite(bytes.data(), 1, bytes.size(), stdout);
}

} // namespace

bool ReadSettings(Settings& settings)
{
    // Binary: text mode would end the file at the first Ctrl-Z (0x1A) byte.
    // _SH_DENYNO lets other programs open the file for writing while it is
    // read.
    FILE* file = _wfsopen(L"Ohmwatch.ini", L"rb", _SH_DENYNO);
    if (file == nullptr)
        return false;

    std::wstring line;
    while (ReadLine(file, line))
    {
        EchoLine(line);
        ApplySettingsLine(line, settings);
    }
    std::fclose(file);
    std::fflush(stdout);
    return true;
}
