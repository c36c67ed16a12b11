#pragma once

// Engine-internal (not exported): loads icons at the sizes the system draws
// them at, which grow with the display's scaling (the small icon is 16 pixels
// at 96 DPI, 20 at 120, 24 at 144, 32 at 192).

#include <windows.h>

namespace Orvu
{
namespace Internal
{

// Which of the system's two icon sizes.
enum class IconSize
{
    // SM_CXICON x SM_CYICON: Alt+Tab and the taskbar.
    Large,
    // SM_CXSMICON x SM_CYSMICON: title bars and the notification area.
    Small
};

// The width in pixels the system draws icons of that size at, now.
int SystemIconWidth(IconSize size);
// A new icon from a resource of the program's own module, or null. From a
// group, the image of exactly that size when it holds one; the caller owns it.
HICON LoadProgramIcon(int id, IconSize size);
// The same from an icon file, or null.
HICON LoadIconFile(const wchar_t* path, IconSize size);

} // namespace Internal
} // namespace Orvu
