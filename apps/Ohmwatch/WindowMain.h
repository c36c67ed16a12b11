#pragma once

#include "Canvas.h"
#include "Graphics.h"
#include "WindowBase.h"

class Ohmwatch;

// The monitor's status window: the power source, the charge in percent and
// the battery state of the application's last status, with a red battery
// gauge filled in green by the charge. Created hidden; closing it hides it.
class WindowMain : public Orvu::WindowBase, public Orvu::WindowProc, public Orvu::CanvasDrawHandler
{
public:
    // Not owned. No native window yet.
    explicit WindowMain(Ohmwatch* app);
    // Stops the messages first, then deletes the drawing objects; the base
    // destroys the window.
    ~WindowMain() override;

    // Creates the hidden, top-most 280 x 104 window and its drawing objects.
    void Setup();

    int WndProc(Orvu::WindowBase* window, unsigned int msg, unsigned int wParam,
                long lParam) override;
    void OnDraw(Orvu::Canvas* canvas, Orvu::Graphics* graphics) override;

private:
    Orvu::Graphics* m_pGraphics;
    Orvu::CanvasWindowFull* m_pCanvas;
    Ohmwatch* m_pApp;
};
