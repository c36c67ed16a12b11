#pragma once

#include "Color.h"
#include "OrvuExport.h"

#include <windows.h>

#include <vector>

namespace Orvu
{

// A 32-bit image: width x height Colors, row-major from the top row (pixel
// (x, y) is entry y * width + x), straight alpha. Buffer() builds from them a
// drawable bitmap: a bottom-up 32-bit DIB section whose pixels are blue,
// green, red, alpha with the colours premultiplied by alpha, the form
// AlphaBlend expects. Pixel changes do not reach that bitmap until the next
// Buffer(). Handled by pointer, never copied.
class ORVU_API Picture
{
public:
    Picture();
    virtual ~Picture();

    // On a picture without pixels: an opaque black width x height picture,
    // already buffered; true (also when width x height is 0, which leaves no
    // pixels). False and no change on a picture that has pixels. Throws
    // std::bad_alloc when the pixels or the bitmap cannot be addressed.
    bool Create(unsigned int width, unsigned int height);
    // Resizes the pixel array to width x height entries. Entries keep their
    // index (so after a change of width a pixel sits at another (x, y)); new
    // ones are opaque black. A zero dimension is ignored. The bitmap is left
    // as it was. Throws std::bad_alloc, changing nothing, when the pixel count
    // does not fit the address space or memory runs out.
    void SetSize(unsigned int width, unsigned int height);
    // Back to 0 x 0 without pixels or bitmap; nothing on a picture without pixels.
    void Clear();
    bool Exists() const;

    bool SetPixel(const Color& color, unsigned int x, unsigned int y);
    // On failure color is left unchanged.
    bool GetPixel(Color& color, unsigned int x, unsigned int y) const;

    // (Re)builds the bitmap from the pixels. If the system cannot make the
    // bitmap the picture is left unbuffered.
    void Buffer();
    // Owned by the picture.
    HBITMAP GetBuffer() const;
    bool IsBuffered() const;

    void GetSize(unsigned int& width, unsigned int& height) const;
    int GetWidth() const;
    int GetHeight() const;

private:
    Picture(const Picture&);
    Picture& operator=(const Picture&);

    void DeleteBuffer();

    HBITMAP m_hBuffer;
    unsigned int m_uWidth;
    unsigned int m_uHeight;
    std::vector<Color> m_vPixels;
};

} // namespace Orvu
