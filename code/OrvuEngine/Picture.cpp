#include "Picture.h"

#include "internal/GdiGuards.h"

#include <cstddef>
#include <cstdint>
#include <limits>
#include <new>

namespace Orvu
{

namespace
{

// width * height * bytesPerItem, or std::bad_alloc when the product does not
// fit the address space (a wrapped product would size an array too short for
// the loops that fill it).
std::size_t CheckedCount(unsigned int width, unsigned int height, std::size_t bytesPerItem,
                         std::size_t limit)
{
    const std::uint64_t count = static_cast<std::uint64_t>(width) * height;
    if (count != 0 && count > limit / bytesPerItem)
        throw std::bad_alloc();
    return static_cast<std::size_t>(count);
}

std::size_t PixelCount(const std::vector<Color>& pixels, unsigned int width, unsigned int height)
{
    // Beyond max_size() the vector would throw std::length_error; a picture
    // too big to hold is an allocation failure like any other.
    return CheckedCount(width, height, 1, pixels.max_size());
}

} // namespace

Picture::Picture() : m_hBuffer(nullptr), m_uWidth(0), m_uHeight(0) {}

Picture::~Picture()
{
    Clear();
    DeleteBuffer();
}

bool Picture::Create(unsigned int width, unsigned int height)
{
    if (!m_vPixels.empty())
        return false;
    const std::size_t count = PixelCount(m_vPixels, width, height);
    m_vPixels.assign(count, Color());
    m_uWidth = width;
    m_uHeight = height;
    Buffer();
    return true;
}

void Picture::SetSize(unsigned int width, unsigned int height)
{
    if (width == 0 || height == 0)
        return;
    m_vPixels.resize(PixelCount(m_vPixels, width, height), Color());
    m_uWidth = width;
    m_uHeight = height;
}

void Picture::Clear()
{
    if (m_vPixels.empty())
        return;
    m_vPixels.clear();
    DeleteBuffer();
    m_uWidth = 0;
    m_uHeight = 0;
}

bool Picture::Exists() const
{
    return !m_vPixels.empty();
}

bool Picture::SetPixel(const Color& color, unsigned int x, unsigned int y)
{
    if (m_vPixels.empty() || x >= m_uWidth || y >= m_uHeight)
        return false;
    m_vPixels[static_cast<std::size_t>(y) * m_uWidth + x] = color;
    return true;
}

bool Picture::GetPixel(Color& color, unsigned int x, unsigned int y) const
{
    if (m_vPixels.empty() || x >= m_uWidth || y >= m_uHeight)
        return false;
    color = m_vPixels[static_cast<std::size_t>(y) * m_uWidth + x];
    return true;
}

void Picture::Buffer()
{
    // The DIB's width and height are signed 32-bit fields and its byte count
    // an unsigned 32-bit one.
    const std::size_t byteLimit =
        (std::numeric_limits<std::size_t>::max)() < (std::numeric_limits<DWORD>::max)()
            ? (std::numeric_limits<std::size_t>::max)()
            : (std::numeric_limits<DWORD>::max)();
    const std::size_t count = CheckedCount(m_uWidth, m_uHeight, 4, byteLimit);
    const unsigned int longMax = static_cast<unsigned int>((std::numeric_limits<LONG>::max)());
    if (count != 0 && (m_uWidth > longMax || m_uHeight > longMax))
        throw std::bad_alloc();

    DeleteBuffer();
    // There is no bitmap without pixels.
    if (count == 0)
        return;

    Gdi::MemoryDC memoryDC(nullptr);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = static_cast<LONG>(m_uWidth);
    // Positive height: bottom-up, the first row in memory is the image's bottom row.
    info.bmiHeader.biHeight = static_cast<LONG>(m_uHeight);
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    info.bmiHeader.biSizeImage = static_cast<DWORD>(count * 4);
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(memoryDC.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap || !bits)
    {
        if (bitmap)
            DeleteObject(bitmap);
        return;
    }
    m_hBuffer = bitmap;

    unsigned char* out = static_cast<unsigned char*>(bits);
    const bool havePixels = m_vPixels.size() == count;
    for (std::size_t i = 0; i < count; ++i)
    {
        const std::size_t x = i % m_uWidth;
        const std::size_t memoryRow = i / m_uWidth;
        const std::size_t row = m_uHeight - 1 - memoryRow;
        const Color c = havePixels ? m_vPixels[row * m_uWidth + x] : Color();
        out[4 * i + 0] = static_cast<unsigned char>(c.b * c.a / 255);
        out[4 * i + 1] = static_cast<unsigned char>(c.g * c.a / 255);
        out[4 * i + 2] = static_cast<unsigned char>(c.r * c.a / 255);
        out[4 * i + 3] = c.a;
    }
}

HBITMAP Picture::GetBuffer() const
{
    return m_hBuffer;
}

bool Picture::IsBuffered() const
{
    return m_hBuffer != nullptr;
}

void Picture::GetSize(unsigned int& width, unsigned int& height) const
{
    width = m_uWidth;
    height = m_uHeight;
}

int Picture::GetWidth() const
{
    return static_cast<int>(m_uWidth);
}

int Picture::GetHeight() const
{
    return static_cast<int>(m_uHeight);
}

void Picture::DeleteBuffer()
{
    if (m_hBuffer)
    {
        DeleteObject(m_hBuffer);
        m_hBuffer = nullptr;
    }
}

} // namespace Orvu
