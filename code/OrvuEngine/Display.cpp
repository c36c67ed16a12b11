#include "Display.h"

#include "internal/GdiGuards.h"

#include <windows.h>

namespace Orvu
{

int GetDisplayDpi()
{
    const Gdi::WindowDC screen(nullptr);
    const int dpi = screen.Get() != nullptr ? GetDeviceCaps(screen.Get(), LOGPIXELSY) : 0;
    return dpi > 0 ? dpi : 96;
}

} // namespace Orvu
