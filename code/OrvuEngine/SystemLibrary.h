#pragma once

#include "OrvuExport.h"

#include <windows.h>

namespace Orvu
{

// Loads one of Windows' own DLLs (name such as L"winmm.dll") from the
// system folder by its full path, so that a file of that name in the
// program's folder or the current one is never loaded in its place. For a
// 32-bit program on 64-bit Windows the system folder is the 32-bit one.
// Null when it cannot be loaded; the caller frees the module.
ORVU_API HMODULE LoadSystemLibrary(const wchar_t* name);

} // namespace Orvu
