#include "Graphics.h"

#include "Canvas.h"
#include "internal/GdiGuards.h"
#include "Picture.h"

#include <cwchar>

namespace Orvu
{

namespace
{

// LOGFONTW's face name holds 31 characters and the terminator.
const size_t kFaceNameLength = LF_FACESIZE - 1;

int TextLength(const wchar_t* text)
{
    return text ? static_cast<int>(std::wcslen(text)) : 0;
}

// A null text is drawn and measured as the empty text.
const wchar_t* TextOrEmpty(const wchar_t* text)
{
    return text ? text : L"";
}

// The outline pen of every shape: solid, one pixel, the current colour.
HPEN MakePen(COLORREF color)
{
    return CreatePen(PS_SOLID, 1, color);
}

// The line rule: with the pen selected, draw from one point to the other and
// leave the current position at (0, 0).
void Line(HDC dc, COLORREF color, int x1, int y1, int x2, int y2)
{
    Gdi::Object<HPEN> pen(MakePen(color));
    Gdi::Selection selectPen(dc, pen.Get());
    MoveToEx(dc, x1, y1, nullptr);
    LineTo(dc, x2, y2);
    MoveToEx(dc, 0, 0, nullptr);
}

// Selects a fill brush, then an outline pen, of the current colour for one
// filled shape; on exit selects the old pen, then the old brush, back and
// deletes the pen, then the brush.
class FillTools
{
public:
    FillTools(HDC dc, COLORREF color)
        : m_brush(CreateSolidBrush(color)), m_pen(MakePen(color)), m_selectBrush(dc, m_brush.Get()),
          m_selectPen(dc, m_pen.Get())
    {
    }

private:
    // Members are destroyed in reverse order: pen selection, brush
    // selection, pen, brush.
    Gdi::Object<HBRUSH> m_brush;
    Gdi::Object<HPEN> m_pen;
    Gdi::Selection m_selectBrush;
    Gdi::Selection m_selectPen;
};

// The text rule's colour and background handling for one DrawString: text
// without background in the current colour, then the mode back to OPAQUE
// (whatever it was) and the old text colour.
class TextColorScope
{
public:
    TextColorScope(HDC dc, COLORREF color) : m_dc(dc), m_old(SetTextColor(dc, color))
    {
        SetBkMode(dc, TRANSPARENT);
    }
    ~TextColorScope()
    {
        SetBkMode(m_dc, OPAQUE);
        SetTextColor(m_dc, m_old);
    }

private:
    TextColorScope(const TextColorScope&);
    TextColorScope& operator=(const TextColorScope&);
    HDC m_dc;
    COLORREF m_old;
};

} // namespace

Graphics::Graphics() : m_dwColor(0), m_hFont(nullptr), m_pCanvas(nullptr) {}

Graphics::~Graphics()
{
    DeleteFont();
}

void Graphics::SetColor(const Color& color)
{
    m_dwColor = RGB(color.r, color.g, color.b);
}

void Graphics::GetDrawColor(Color& color) const
{
    color = Color(GetRValue(m_dwColor), GetGValue(m_dwColor), GetBValue(m_dwColor), 255);
}

void Graphics::SetFont(const wchar_t* name, bool bold, bool italic, bool underline, int size)
{
    DeleteFont();
    LOGFONTW lf = {};
    if (name)
    {
        size_t i = 0;
        for (; i < kFaceNameLength && name[i] != L'\0'; ++i)
            lf.lfFaceName[i] = name[i];
        lf.lfFaceName[i] = L'\0';
    }
    lf.lfHeight = size;
    lf.lfWeight = bold ? FW_BOLD : 0;
    lf.lfItalic = italic ? 1 : 0;
    lf.lfUnderline = underline ? 1 : 0;
    m_hFont = CreateFontIndirectW(&lf);
}

void Graphics::SetFont(HFONT const& font)
{
    // Taking the handle we already own must not delete it.
    if (font == m_hFont)
        return;
    DeleteFont();
    m_hFont = font;
}

HFONT Graphics::GetFont() const
{
    return m_hFont;
}

bool Graphics::DrawPixel(int x, int y, HDC dc) const
{
    ::SetPixel(dc, x, y, m_dwColor);
    return true;
}

bool Graphics::DrawPixel(int x, int y) const
{
    return m_pCanvas ? DrawPixel(x, y, m_pCanvas->GetDrawDC()) : false;
}

bool Graphics::DrawLine(int x1, int y1, int x2, int y2, HDC dc) const
{
    Line(dc, m_dwColor, x1, y1, x2, y2);
    return true;
}

bool Graphics::DrawLine(int x1, int y1, int x2, int y2) const
{
    return m_pCanvas ? DrawLine(x1, y1, x2, y2, m_pCanvas->GetDrawDC()) : false;
}

bool Graphics::DrawRect(int x, int y, int width, int height, HDC dc) const
{
    const int right = x + width;
    const int bottom = y + height;
    Line(dc, m_dwColor, x, y, right, y);
    Line(dc, m_dwColor, right, y, right, bottom);
    Line(dc, m_dwColor, right, bottom, x, bottom);
    Line(dc, m_dwColor, x, bottom, x, y);
    return true;
}

bool Graphics::DrawRect(int x, int y, int width, int height) const
{
    return m_pCanvas ? DrawRect(x, y, width, height, m_pCanvas->GetDrawDC()) : false;
}

bool Graphics::FillRect(int x, int y, int width, int height, HDC dc) const
{
    FillTools tools(dc, m_dwColor);
    Rectangle(dc, x, y, x + width, y + height);
    return true;
}

bool Graphics::FillRect(int x, int y, int width, int height) const
{
    return m_pCanvas ? FillRect(x, y, width, height, m_pCanvas->GetDrawDC()) : false;
}

bool Graphics::DrawRoundRect(int x, int y, int width, int height, int corner, HDC dc) const
{
    Gdi::Object<HPEN> pen(MakePen(m_dwColor));
    Gdi::Selection selectPen(dc, pen.Get());
    // Stroking a path draws the outline without filling it with whatever
    // brush the DC holds.
    BeginPath(dc);
    RoundRect(dc, x, y, x + width, y + height, corner, corner);
    EndPath(dc);
    StrokePath(dc);
    return true;
}

bool Graphics::DrawRoundRect(int x, int y, int width, int height, int corner) const
{
    return m_pCanvas ? DrawRoundRect(x, y, width, height, corner, m_pCanvas->GetDrawDC()) : false;
}

bool Graphics::FillRoundRect(int x, int y, int width, int height, int corner, HDC dc) const
{
    FillTools tools(dc, m_dwColor);
    RoundRect(dc, x, y, x + width, y + height, corner, corner);
    return true;
}

bool Graphics::FillRoundRect(int x, int y, int width, int height, int corner) const
{
    return m_pCanvas ? FillRoundRect(x, y, width, height, corner, m_pCanvas->GetDrawDC()) : false;
}

bool Graphics::DrawOval(int x, int y, int width, int height, HDC dc) const
{
    Gdi::Object<HPEN> pen(MakePen(m_dwColor));
    Gdi::Selection selectPen(dc, pen.Get());
    // An arc that starts and ends at the same point is the whole ellipse.
    const int middle = y + height / 2;
    Arc(dc, x, y, x + width, y + height, x, middle, x, middle);
    return true;
}

bool Graphics::DrawOval(int x, int y, int width, int height) const
{
    return m_pCanvas ? DrawOval(x, y, width, height, m_pCanvas->GetDrawDC()) : false;
}

bool Graphics::FillOval(int x, int y, int width, int height, HDC dc) const
{
    FillTools tools(dc, m_dwColor);
    Ellipse(dc, x, y, x + width, y + height);
    return true;
}

bool Graphics::FillOval(int x, int y, int width, int height) const
{
    return m_pCanvas ? FillOval(x, y, width, height, m_pCanvas->GetDrawDC()) : false;
}

int Graphics::DrawString(const wchar_t* text, int x, int y, int width, int height, HDC dc) const
{
    Gdi::Selection selectFont(dc, m_hFont);
    TextColorScope colors(dc, m_dwColor);
    RECT box = {x, y, x + width - 1, y + height - 1};
    return DrawTextW(dc, TextOrEmpty(text), -1, &box, DT_WORDBREAK);
}

int Graphics::DrawString(const wchar_t* text, int x, int y, int width, int height) const
{
    return m_pCanvas ? DrawString(text, x, y, width, height, m_pCanvas->GetDrawDC()) : -1;
}

int Graphics::DrawString(const wchar_t* text, int x, int y, HDC dc) const
{
    Gdi::Selection selectFont(dc, m_hFont);
    TextColorScope colors(dc, m_dwColor);
    return TextOutW(dc, x, y, TextOrEmpty(text), TextLength(text));
}

int Graphics::DrawString(const wchar_t* text, int x, int y) const
{
    return m_pCanvas ? DrawString(text, x, y, m_pCanvas->GetDrawDC()) : -1;
}

bool Graphics::DrawPicture(Picture* picture, int x, int y, HDC dc) const
{
    if (!picture)
        return false;
    RECT whole = {0, 0, picture->GetWidth(), picture->GetHeight()};
    return DrawPicture(picture, x, y, whole, dc);
}

bool Graphics::DrawPicture(Picture* picture, int x, int y) const
{
    return m_pCanvas ? DrawPicture(picture, x, y, m_pCanvas->GetDrawDC()) : false;
}

bool Graphics::DrawPicture(Picture* picture, int x, int y, RECT source, HDC dc) const
{
    if (!picture || !picture->GetBuffer())
        return false;
    Gdi::MemoryDC memoryDC(dc);
    Gdi::Selection selectBitmap(memoryDC.Get(), picture->GetBuffer());
    const int w = source.right - source.left;
    const int h = source.bottom - source.top;
    BLENDFUNCTION blend = {};
    blend.BlendOp = AC_SRC_OVER;
    blend.BlendFlags = 0;
    // 254, not 255: every picture is drawn at 254/255 of its own opacity, so
    // even its opaque pixels let 1/255 of what lies below show through. The
    // engine's pictures have always been drawn this way and their users'
    // colours are tuned to it.
    blend.SourceConstantAlpha = 254;
    blend.AlphaFormat = AC_SRC_ALPHA;
    AlphaBlend(dc, x, y, w, h, memoryDC.Get(), source.left, source.top, w, h, blend);
    return true;
}

bool Graphics::DrawPicture(Picture* picture, int x, int y, RECT source) const
{
    return m_pCanvas ? DrawPicture(picture, x, y, source, m_pCanvas->GetDrawDC()) : false;
}

bool Graphics::DrawSolidBackground(HDC dc) const
{
    return FillRect(0, 0, GetDeviceCaps(dc, HORZRES), GetDeviceCaps(dc, VERTRES), dc);
}

bool Graphics::DrawSolidBackground() const
{
    return m_pCanvas ? DrawSolidBackground(m_pCanvas->GetDrawDC()) : false;
}

SIZE Graphics::GetTextSize(const wchar_t* text, HDC dc) const
{
    Gdi::Selection selectFont(dc, m_hFont);
    SIZE size = {0, 0};
    GetTextExtentPoint32W(dc, TextOrEmpty(text), TextLength(text), &size);
    return size;
}

SIZE Graphics::GetTextSize(const wchar_t* text) const
{
    if (!m_pCanvas)
    {
        SIZE none = {0, 0};
        return none;
    }
    return GetTextSize(text, m_pCanvas->GetDrawDC());
}

void Graphics::DeleteFont()
{
    if (m_hFont)
    {
        DeleteObject(m_hFont);
        m_hFont = nullptr;
    }
}

} // namespace Orvu
