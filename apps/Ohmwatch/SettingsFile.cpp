#include "Settings.h"
#include "SettingsText.h"

#include "DataFiles.h"

#include <cstdio>
#include <io.h>
#include <share.h>
#include <string>

namespace
{

// The file's bytes, up to its end or the first read error.
std::string ReadAll(FILE* file)
{
    std::string bytes;
    char chunk[4096];
    size_t count;
    while ((count = std::fread(chunk, 1, sizeof(chunk), file)) > 0)
        bytes.append(chunk, count);
    return bytes;
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

    const std::string bytes = ReadAll(file);
    std::fclose(file);
    // The lines as read, in their file's bytes (UTF-16 text as UTF-8), with
    // C stdio rather than std::wcout, whose locale machinery would make up
    // most of the program's size.
    std::string echo;
    ApplySettingsText(bytes, settings, echo);
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
