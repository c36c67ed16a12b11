#pragma once

// Scoped owners for the GDI objects the engine makes for one drawing call.
// Each one releases its object on every path out of the scope; none can be
// copied, so an object is never released twice. Internal to the engine.

#include <windows.h>

namespace Orvu
{
namespace Gdi
{

// A pen, brush, bitmap or font made for one call, deleted with DeleteObject.
template <typename Handle> class Object
{
public:
    explicit Object(Handle handle) : m_handle(handle) {}
    ~Object()
    {
        if (m_handle)
            DeleteObject(m_handle);
    }
    Handle Get() const { return m_handle; }

private:
    Object(const Object&);
    Object& operator=(const Object&);
    Handle m_handle;
};

// Selects an object into a DC and selects the previous one back on exit. A
// null object or DC selects nothing.
class Selection
{
public:
    Selection(HDC dc, HGDIOBJ object) : m_dc(dc), m_old(nullptr)
    {
        if (m_dc && object)
            m_old = SelectObject(m_dc, object);
    }
    ~Selection()
    {
        if (m_old)
            SelectObject(m_dc, m_old);
    }

private:
    Selection(const Selection&);
    Selection& operator=(const Selection&);
    HDC m_dc;
    HGDIOBJ m_old;
};

// A memory DC from CreateCompatibleDC, deleted with DeleteDC.
class MemoryDC
{
public:
    explicit MemoryDC(HDC compatibleWith) : m_dc(CreateCompatibleDC(compatibleWith)) {}
    ~MemoryDC()
    {
        if (m_dc)
            DeleteDC(m_dc);
    }
    HDC Get() const { return m_dc; }

private:
    MemoryDC(const MemoryDC&);
    MemoryDC& operator=(const MemoryDC&);
    HDC m_dc;
};

// A window's DC from GetDC, given back with ReleaseDC.
class WindowDC
{
public:
    explicit WindowDC(HWND hwnd) : m_hwnd(hwnd), m_dc(GetDC(hwnd)) {}
    ~WindowDC()
    {
        if (m_dc)
            ReleaseDC(m_hwnd, m_dc);
    }
    HDC Get() const { return m_dc; }

private:
    WindowDC(const WindowDC&);
    WindowDC& operator=(const WindowDC&);
    HWND m_hwnd;
    HDC m_dc;
};

} // namespace Gdi
} // namespace Orvu
