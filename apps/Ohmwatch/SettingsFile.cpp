#include "Settings.h"

#include <cstdio>
#include <iostream>
#include <share.h>

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

void EchoLine(const std::wstring& line)
{
    std::wcout << line << L'\n';
    // Characters the console's code page cannot show would leave the stream
    // failed and silence every later line.
    if (!std::wcout)
        std::wcout.clear();
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
    std::wcout.flush();
    return true;
}
