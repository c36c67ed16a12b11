#pragma once

#include "MonitorWindow.h"

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

    void OnDraw(Orvu::Canvas* canvas, Orvu::Graphics* graphics) override;
};
