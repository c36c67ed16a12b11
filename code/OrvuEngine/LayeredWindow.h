#pragma once

#include "OrvuExport.h"

namespace Orvu
{

class Picture;
class WindowBase;

// Gives a layered window (extended style WS_EX_LAYERED) its content: the
// picture's buffer at the window's place, at the picture's size, with its
// own premultiplied per-pixel alpha and the constant alpha over it (255 is
// opaque). The system keeps the content and composes it at every show; the
// picture is not needed afterwards. False when the system refuses it (a
// remote or locked session, too few colours, no buffer): the window then
// has no content and shows nothing.
ORVU_API bool SetLayeredContent(WindowBase& window, const Picture& picture,
                                unsigned char constantAlpha);

} // namespace Orvu
