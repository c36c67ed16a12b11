#pragma once

#include "Canvas.h"
#include "WindowBase.h"

namespace Orvu
{
class Graphics;
} // namespace Orvu

class Ohmwatch;

// Shows two fixed lines about the alert; offers no controls.
// Registered as window 6 while open; closing it queues its removal, and the
// application deletes it at its next tick.
class WindowOptions : public Orvu::WindowBase,
                      public Orvu::WindowProc,
                      public Orvu::CanvasDrawHandler
{
public:
    explicit WindowOptions(Ohmwatch* app);
    ~WindowOptions() override;

    // Creates, fills and shows the window.
    void Setup();

    int WndProc(Orvu::WindowBase* window, unsigned int message, unsigned int wParam,
                long lParam) override;
    void OnDraw(Orvu::Canvas* canvas, Orvu::Graphics* graphics) override;

private:
    Orvu::Graphics* m_pGraphics;
    Orvu::CanvasWindowFull* m_pCanvas;
    Ohmwatch* m_pApp;
};
