#pragma once

#include "MonitorWindow.h"
#include "PowerWatch.h"

// The monitor's status window: the power source, the charge in percent and
// the battery state of the application's last status, with a red battery
// gauge filled in green by the charge. Created hidden; closing it hides it.
class WindowMain : public MonitorWindow
{
public:
    // Not owned. No native window yet.
    explicit WindowMain(Ohmwatch* app);

    // Creates the hidden, top-most 280 x 104 window (at 96 DPI) and its
    // drawing objects.
    void Setup();

    // Lets this window, which lives as long as the monitor, ask the run loop
    // for a tick whenever the power status may have changed and at most
    // every seconds (see PowerWatch). False when that cannot be set up.
    bool WatchPower(unsigned int seconds);

    // Asks for a tick when the power watch calls for one.
    int WndProc(Orvu::WindowBase* window, unsigned int message, unsigned int wParam,
                long lParam) override;

    void OnDraw(Orvu::Canvas* canvas, Orvu::Graphics* graphics) override;

private:
    // Ends before the window is destroyed.
    PowerWatch m_powerWatch;
};
