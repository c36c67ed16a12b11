#pragma once

#include "Canvas.h"
#include "WindowBase.h"

namespace Orvu
{
class Graphics;
} // namespace Orvu

class Ohmwatch;

// The common part of the monitor's windows: the drawing objects, a canvas
// over the whole client area painted on WM_PAINT, what closing does, and the
// display scale. Sizes, positions and font heights are given in design
// pixels (their size at 96 DPI) and grow with the scale the window was opened
// at, rounded: a window opened at 144 DPI is the 96 DPI one enlarged by 1.5.
class MonitorWindow : public Orvu::WindowBase,
                      public Orvu::WindowProc,
                      public Orvu::CanvasDrawHandler
{
public:
    // What closing the window (WM_CLOSE, Alt+F4) does.
    enum class Closing
    {
        // Hidden, kept for later.
        Hides,
        // Destroyed; the application deletes the object at its next tick.
        Destroys
    };

    // Fixed size, a caption with the close and minimise buttons.
    static const unsigned long kCaptionStyle = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;

    // Not owned; windowId is the window's id in the application's window
    // manager. Takes the display's current scale; no native window yet.
    MonitorWindow(Ohmwatch* app, int windowId, Closing closing);
    // Stops the messages first, then deletes the drawing objects; the base
    // destroys the window.
    ~MonitorWindow() override;

    // Paints on WM_PAINT and carries out the closing; default processing for
    // everything else.
    int WndProc(Orvu::WindowBase* window, unsigned int message, unsigned int wParam,
                long lParam) override;

    // Design pixels in this window's pixels.
    int Scaled(int designPixels) const;

protected:
    // Makes the drawing objects and creates the hidden window with the style
    // and the client size in pixels, with its handler, title and the
    // program's icon.
    void Open(unsigned long style, unsigned long exStyle, int width, int height,
              const wchar_t* title);

    Orvu::Graphics* m_pGraphics;
    Orvu::CanvasWindowFull* m_pCanvas;
    Ohmwatch* m_pApp;

private:
    int m_iWindowId;
    Closing m_closing;
    // Logical pixels per inch when the object was made; 96 is 100 %.
    int m_iDpi;
};
