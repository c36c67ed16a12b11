#include "LayeredWindow.h"

#include "Picture.h"
#include "WindowBase.h"
#include "internal/GdiGuards.h"

#include <windows.h>

namespace Orvu
{

bool SetLayeredContent(WindowBase& window, const Picture& picture, unsigned char constantAlpha)
{
    if (window.GetHandle() == nullptr || picture.GetBuffer() == nullptr)
        return false;
    const Gdi::WindowDC screen(window.GetHandle());
    const Gdi::MemoryDC source(screen.Get());
    const Gdi::Selection selected(source.Get(), picture.GetBuffer());
    if (screen.Get() == nullptr || source.Get() == nullptr)
        return false;

    SIZE size = {picture.GetWidth(), picture.GetHeight()};
    POINT origin = {0, 0};
    BLENDFUNCTION blend;
    blend.BlendOp = AC_SRC_OVER;
    blend.BlendFlags = 0;
    blend.SourceConstantAlpha = constantAlpha;
    blend.AlphaFormat = AC_SRC_ALPHA;
    return UpdateLayeredWindow(window.GetHandle(), screen.Get(), nullptr, &size, source.Get(),
                               &origin, 0, &blend, ULW_ALPHA) != FALSE;
}

} // namespace Orvu
