#pragma once

#include "MonitorWindow.h"

// Shows the alert's settings in effect (whether it shows, its threshold);
// offers no controls: the settings come from the settings file.
// Registered as window 6 while open; closing it queues its removal, and the
// application deletes it at its next tick.
class WindowOptions : public MonitorWindow
{
public:
    explicit WindowOptions(Ohmwatch* app);

    // Creates, fills and shows the window.
    void Setup();

    void OnDraw(Orvu::Canvas* canvas, Orvu::Graphics* graphics) override;
};
