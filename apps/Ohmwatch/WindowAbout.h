#pragma once

#include "Canvas.h"
#include "WindowBase.h"

namespace Orvu
{
class Graphics;
} // namespace Orvu

class Ohmwatch;

// Shows who made the monitor and the versions of the program and of the engine.
// Registered as window 5 while open; closing it queues its removal, and the
// application deletes it at its next tick.
class WindowAbout : public Orvu::WindowBase, public Orvu::WindowProc, public Orvu::CanvasDrawHandler
{
public:
    explicit WindowAbout(Ohmwatch* app);
    ~WindowAbout() override;

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
