#include "internal/SystemIcon.h"

namespace Orvu
{
namespace Internal
{

namespace
{

HICON LoadAtSystemSize(HINSTANCE module, LPCWSTR name, IconSize size, UINT flags)
{
    const bool large = size == IconSize::Large;
    // Read at every load: a change of the display's scaling shows in the
    // next picture loaded.
    const int width = SystemIconWidth(size);
    const int height = GetSystemMetrics(large ? SM_CYICON : SM_CYSMICON);
    return static_cast<HICON>(LoadImageW(module, name, IMAGE_ICON, width, height, flags));
}

} // namespace

int SystemIconWidth(IconSize size)
{
    return GetSystemMetrics(size == IconSize::Large ? SM_CXICON : SM_CXSMICON);
}

HICON LoadProgramIcon(int id, IconSize size)
{
    return LoadAtSystemSize(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), size, LR_DEFAULTCOLOR);
}

HICON LoadIconFile(const wchar_t* path, IconSize size)
{
    return LoadAtSystemSize(nullptr, path, size, LR_LOADFROMFILE);
}

} // namespace Internal
} // namespace Orvu
