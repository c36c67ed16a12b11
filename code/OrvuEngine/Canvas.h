#pragma once

#include "OrvuExport.h"

#include <windows.h>

namespace Orvu
{

class Canvas;
class Graphics;
class WindowBase;

// Draws the content of a canvas, with the Graphics operations that take no
// HDC, while the canvas runs a draw pass.
class ORVU_API CanvasDrawHandler
{
public:
    CanvasDrawHandler();
    virtual ~CanvasDrawHandler();
    virtual void OnDraw(Canvas* canvas, Graphics* graphics) = 0;
};

// Where a draw pass renders. Draw attaches the Graphics to the canvas for the
// length of one pass; during the pass the canvas has an off-screen drawing DC
// and calls its handler. No GDI object outlives a pass.
class ORVU_API Canvas
{
public:
    Canvas();
    virtual ~Canvas();

    // One draw pass with graphics attached; detached again on every path.
    void Draw(Graphics* graphics);
    // Not owned; null means nothing is drawn.
    void SetDrawHandler(CanvasDrawHandler* handler);
    CanvasDrawHandler* GetDrawHandler() const;
    // True, and the drawing DC set, only while the handler runs.
    bool IsDrawing() const;
    HDC GetDrawDC() const;
    void GetSize(int& width, int& height) const;
    int GetWidth() const;
    int GetHeight() const;

protected:
    virtual void DoDraw(Graphics* graphics) = 0;

    HDC m_hDrawDC;
    bool m_bDrawing;
    int m_iWidth;
    int m_iHeight;
    CanvasDrawHandler* m_pDrawHandler;

private:
    Canvas(const Canvas&);
    Canvas& operator=(const Canvas&);
};

// A fixed-size rectangle at a fixed position in a window's client area.
class ORVU_API CanvasWindow : public Canvas
{
public:
    // Not owned. Position (0, 0), size 0 x 0.
    explicit CanvasWindow(WindowBase* window);

    void SetWindow(WindowBase* window);
    WindowBase* GetWindow() const;
    // Client coordinates of the top-left corner.
    void SetPos(int x, int y);
    void GetPos(int& x, int& y) const;
    // Takes effect at the next pass.
    void SetSize(int width, int height);

protected:
    void DoDraw(Graphics* graphics) override;

    WindowBase* m_pWindow;
    int m_iX;
    int m_iY;
};

// The whole client area at its current size; the size of the last pass is
// what GetWidth and GetHeight report.
class ORVU_API CanvasWindowFull : public Canvas
{
public:
    // Not owned.
    explicit CanvasWindowFull(WindowBase* window);

    void SetWindow(WindowBase* window);
    WindowBase* GetWindow() const;

protected:
    void DoDraw(Graphics* graphics) override;

    WindowBase* m_pWindow;
};

// A buffer of fixed size stretched onto the whole client area.
class ORVU_API CanvasWindowFullStretch : public CanvasWindowFull
{
public:
    // Buffer size 0 x 0.
    explicit CanvasWindowFullStretch(WindowBase* window);
    CanvasWindowFullStretch(WindowBase* window, int width, int height);

    // Takes effect at the next pass.
    void SetBufferSize(int width, int height);

protected:
    void DoDraw(Graphics* graphics) override;
};

} // namespace Orvu
