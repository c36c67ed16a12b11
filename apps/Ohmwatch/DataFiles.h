#pragma once

#include <string>

// Where the program finds its own files. Code (the picture plugins) comes
// only from the program's folder; the settings file and the alert picture
// come from the current folder, as a shortcut's "Start in" field gives it,
// else from the program's folder, so that a start from another folder (a Run
// key, a scheduled task, a command prompt) still finds them.

// The folder of the program's file (Ohmwatch.exe) with a final backslash;
// empty when the system cannot tell it.
std::wstring ProgramFolder();

// The file a data file name stands for: a relative name that the current
// folder does not hold but programFolder does is that folder's file; any
// other name (absolute, found in the current folder, found nowhere) stays as
// it is.
std::wstring LocateDataFile(const std::wstring& name, const std::wstring& programFolder);
// The same beside the program.
std::wstring LocateDataFile(const std::wstring& name);
