#include "Canvas.h"

#include "internal/GdiGuards.h"
#include "Graphics.h"
#include "WindowBase.h"

namespace Orvu
{

namespace
{

// Attaches a Graphics to a canvas and detaches it on every path.
class Attachment
{
public:
    Attachment(Canvas*& slot, Canvas* canvas) : m_slot(slot) { m_slot = canvas; }
    ~Attachment() { m_slot = nullptr; }

private:
    Attachment(const Attachment&);
    Attachment& operator=(const Attachment&);
    Canvas*& m_slot;
};

// Marks a canvas as drawing into dc while the handler runs, and as idle
// again on every path out.
class DrawingState
{
public:
    DrawingState(HDC& drawDC, bool& drawing, HDC dc) : m_drawDC(drawDC), m_drawing(drawing)
    {
        m_drawDC = dc;
        m_drawing = true;
    }
    ~DrawingState()
    {
        m_drawing = false;
        m_drawDC = nullptr;
    }

private:
    DrawingState(const DrawingState&);
    DrawingState& operator=(const DrawingState&);
    HDC& m_drawDC;
    bool& m_drawing;
};

// How the buffer of a pass reaches the window.
struct Blit
{
    bool stretch;
    int x, y;          // destination
    int width, height; // destination size
    int srcWidth, srcHeight;
};

// One draw pass: a fresh memory DC and bitmap of the buffer size, the
// handler in between, the copy onto the window at the end, and everything
// freed before returning. A window without a native window is skipped: its
// DC would be the whole screen's.
void RunPass(Canvas* canvas, WindowBase* window, HDC& drawDC, bool& drawing, Graphics* graphics,
             int bufferWidth, int bufferHeight, const Blit& blit)
{
    CanvasDrawHandler* handler = canvas->GetDrawHandler();
    if (!handler || !window || !window->GetHandle())
        return;
    Gdi::WindowDC windowDC(window->GetHandle());
    if (!windowDC.Get())
        return;
    Gdi::MemoryDC memoryDC(windowDC.Get());
    if (!memoryDC.Get())
        return;
    // Compatible with the window DC, so the buffer has the display's format.
    Gdi::Object<HBITMAP> bitmap(CreateCompatibleBitmap(windowDC.Get(), bufferWidth, bufferHeight));
    Gdi::Selection selectBitmap(memoryDC.Get(), bitmap.Get());
    {
        DrawingState state(drawDC, drawing, memoryDC.Get());
        handler->OnDraw(canvas, graphics);
    }
    // Without a bitmap of the requested size the memory DC holds only its
    // stock 1 x 1 bitmap; copying that would paint garbage.
    if (!bitmap.Get())
        return;
    if (blit.stretch)
        StretchBlt(windowDC.Get(), blit.x, blit.y, blit.width, blit.height, memoryDC.Get(), 0, 0,
                   blit.srcWidth, blit.srcHeight, SRCCOPY);
    else
        BitBlt(windowDC.Get(), blit.x, blit.y, blit.width, blit.height, memoryDC.Get(), 0, 0,
               SRCCOPY);
    // The pixels just copied are up to date. Taken out of the update region,
    // they are not erased with the class brush by the default processing of
    // WM_PAINT (BeginPaint erases whatever is still invalid, after the paint).
    const RECT painted = {blit.x, blit.y, blit.x + blit.width, blit.y + blit.height};
    ValidateRect(window->GetHandle(), &painted);
}

} // namespace

CanvasDrawHandler::CanvasDrawHandler() {}

CanvasDrawHandler::~CanvasDrawHandler() {}

Canvas::Canvas()
    : m_hDrawDC(nullptr), m_bDrawing(false), m_iWidth(0), m_iHeight(0), m_pDrawHandler(nullptr)
{
}

Canvas::~Canvas() {}

void Canvas::Draw(Graphics* graphics)
{
    if (!graphics)
    {
        DoDraw(graphics);
        return;
    }
    Attachment attach(graphics->m_pCanvas, this);
    DoDraw(graphics);
}

void Canvas::SetDrawHandler(CanvasDrawHandler* handler)
{
    m_pDrawHandler = handler;
}

CanvasDrawHandler* Canvas::GetDrawHandler() const
{
    return m_pDrawHandler;
}

bool Canvas::IsDrawing() const
{
    return m_bDrawing;
}

HDC Canvas::GetDrawDC() const
{
    return m_hDrawDC;
}

void Canvas::GetSize(int& width, int& height) const
{
    width = m_iWidth;
    height = m_iHeight;
}

int Canvas::GetWidth() const
{
    return m_iWidth;
}

int Canvas::GetHeight() const
{
    return m_iHeight;
}

CanvasWindow::CanvasWindow(WindowBase* window) : m_pWindow(window), m_iX(0), m_iY(0) {}

void CanvasWindow::SetWindow(WindowBase* window)
{
    m_pWindow = window;
}

WindowBase* CanvasWindow::GetWindow() const
{
    return m_pWindow;
}

void CanvasWindow::SetPos(int x, int y)
{
    m_iX = x;
    m_iY = y;
}

void CanvasWindow::GetPos(int& x, int& y) const
{
    x = m_iX;
    y = m_iY;
}

void CanvasWindow::SetSize(int width, int height)
{
    m_iWidth = width;
    m_iHeight = height;
}

void CanvasWindow::DoDraw(Graphics* graphics)
{
    const Blit blit = {false, m_iX, m_iY, m_iWidth, m_iHeight, m_iWidth, m_iHeight};
    RunPass(this, m_pWindow, m_hDrawDC, m_bDrawing, graphics, m_iWidth, m_iHeight, blit);
}

CanvasWindowFull::CanvasWindowFull(WindowBase* window) : m_pWindow(window) {}

void CanvasWindowFull::SetWindow(WindowBase* window)
{
    m_pWindow = window;
}

WindowBase* CanvasWindowFull::GetWindow() const
{
    return m_pWindow;
}

void CanvasWindowFull::DoDraw(Graphics* graphics)
{
    if (!m_pDrawHandler || !m_pWindow)
        return;
    m_pWindow->GetSize(m_iWidth, m_iHeight);
    const Blit blit = {false, 0, 0, m_iWidth, m_iHeight, m_iWidth, m_iHeight};
    RunPass(this, m_pWindow, m_hDrawDC, m_bDrawing, graphics, m_iWidth, m_iHeight, blit);
}

CanvasWindowFullStretch::CanvasWindowFullStretch(WindowBase* window) : CanvasWindowFull(window) {}

CanvasWindowFullStretch::CanvasWindowFullStretch(WindowBase* window, int width, int height)
    : CanvasWindowFull(window)
{
    m_iWidth = width;
    m_iHeight = height;
}

void CanvasWindowFullStretch::SetBufferSize(int width, int height)
{
    m_iWidth = width;
    m_iHeight = height;
}

void CanvasWindowFullStretch::DoDraw(Graphics* graphics)
{
    if (!m_pWindow)
        return;
    // No stretch mode is set: the window DC's own mode applies.
    const Blit blit = {true,     0,        0, m_pWindow->GetWidth(), m_pWindow->GetHeight(),
                       m_iWidth, m_iHeight};
    RunPass(this, m_pWindow, m_hDrawDC, m_bDrawing, graphics, m_iWidth, m_iHeight, blit);
}

} // namespace Orvu
