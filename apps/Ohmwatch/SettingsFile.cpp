#include "Settings.h"

#include "DataFiles.h"

#include <cstdio>
#include <io.h>
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

// Adds the line's bytes to the echo as they were read: each character holds
// one byte, so no code page can refuse one. (C stdio rather than std::wcout,
// whose locale machinery would make up most of the program's size.)
void AddToEcho(const std::wstring& line, std::string& echo)
{
    for (wchar_t c : line)
        echo.push_back(static_cast<char>(c));
    echo.push_back('\n');
}

} // namespace

bool ReadSettings(Settings& settings)
{
    // Binary: text mode would end the file at the first Ctrl-Z (0x1A) byte.
    // _SH_DENYNO lets other programs open the file for writing while it is
    // read.
    FILE* file = _wfsopen(LocateDataFile(L"Ohmwatch.ini").c_str(), L"rb", _SH_DENYNO);
    if (file == nullptr)
        return false;

    std::wstring line;
    std::string echo;
    while (ReadLine(file, line))
    {
        AddToEcho(line, echo);
        ApplySettingsLine(line, settings);
    }
    std::fclose(file);
    // In one write: standard output is unbuffered, and the C runtime hands an
    // unbuffered stream to the system a byte at a time (under Wine each such
    // write costs tens of microseconds, over 1,400 bytes a good part of the
    // program's start).
    std::fflush(stdout);
    // A windowed program started without standard output has no descriptor.
    const int output = _fileno(stdout);
    if (output >= 0 && !echo.empty())
        _write(output, echo.data(), static_cast<unsigned int>(echo.size()));
    return true;
}
