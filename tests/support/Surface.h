#pragma once

// A 32-bit top-down DIB section selected into a memory DC: something to draw
// on and read back pixel by pixel. Also reads back a window's client area.

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <vector>

class Surface
{
public:
    Surface(int width, int height) : m_width(width), m_height(height), m_bits(nullptr)
    {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        m_dc = CreateCompatibleDC(nullptr);
        m_bitmap = CreateDIBSection(m_dc, &info, DIB_RGB_COLORS, &m_bits, nullptr, 0);
        m_old = SelectObject(m_dc, m_bitmap);
        Fill(RGB(255, 255, 255));
    }
    ~Surface()
    {
        SelectObject(m_dc, m_old);
        DeleteObject(m_bitmap);
        DeleteDC(m_dc);
    }
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;

    HDC DC() const { return m_dc; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }

    void Fill(COLORREF color)
    {
        GdiFlush();
        for (int i = 0; i < m_width * m_height; ++i)
            Raw()[i] = ToRaw(color);
    }
    // The pixel as a COLORREF (alpha byte dropped); out-of-range reads give
    // CLR_INVALID.
    COLORREF At(int x, int y) const
    {
        if (x < 0 || y < 0 || x >= m_width || y >= m_height)
            return CLR_INVALID;
        GdiFlush();
        const DWORD raw = Raw()[y * m_width + x];
        return RGB((raw >> 16) & 0xFF, (raw >> 8) & 0xFF, raw & 0xFF);
    }
    void Set(int x, int y, COLORREF color) { Raw()[y * m_width + x] = ToRaw(color); }
    // Copies the client area of a window (from its DC) into this surface.
    void CaptureWindow(HWND hwnd)
    {
        HDC dc = GetDC(hwnd);
        BitBlt(m_dc, 0, 0, m_width, m_height, dc, 0, 0, SRCCOPY);
        ReleaseDC(hwnd, dc);
        GdiFlush();
    }
    // Writes the surface as a 32-bit BMP file, to look at what a test saw.
    bool SaveBmp(const char* path) const
    {
        GdiFlush();
        BITMAPFILEHEADER file = {};
        BITMAPINFOHEADER info = {};
        info.biSize = sizeof info;
        info.biWidth = m_width;
        info.biHeight = -m_height;
        info.biPlanes = 1;
        info.biBitCount = 32;
        info.biCompression = BI_RGB;
        const DWORD bytes = static_cast<DWORD>(m_width * m_height * 4);
        file.bfType = 0x4D42;
        file.bfOffBits = sizeof file + sizeof info;
        file.bfSize = file.bfOffBits + bytes;
        FILE* f = std::fopen(path, "wb");
        if (!f)
            return false;
        std::fwrite(&file, sizeof file, 1, f);
        std::fwrite(&info, sizeof info, 1, f);
        std::fwrite(m_bits, bytes, 1, f);
        return std::fclose(f) == 0;
    }
    // How many pixels have the given colour.
    int Count(COLORREF color) const
    {
        int n = 0;
        for (int y = 0; y < m_height; ++y)
            for (int x = 0; x < m_width; ++x)
                n += At(x, y) == color ? 1 : 0;
        return n;
    }

private:
    static DWORD ToRaw(COLORREF c)
    {
        return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
    }
    DWORD* Raw() const { return static_cast<DWORD*>(m_bits); }

    int m_width;
    int m_height;
    void* m_bits;
    HDC m_dc;
    HBITMAP m_bitmap;
    HGDIOBJ m_old;
};
