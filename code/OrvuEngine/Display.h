#pragma once

#include "OrvuExport.h"

namespace Orvu
{

// The display's logical pixels per inch as the system gives them to this
// process (the session's scaling for a program that declares itself
// DPI-aware); 96, which is 100 %, when the system cannot tell.
ORVU_API int GetDisplayDpi();

} // namespace Orvu
