#pragma once

#include "MonitorWindow.h"

// Shows who made the monitor and the versions of the program and of the engine.
// Registered as window 5 while open; closing it queues its removal, and the
// application deletes it at its next tick.
class WindowAbout : public MonitorWindow
{
public:
    explicit WindowAbout(Ohmwatch* app);

    // Creates, fills and shows the window.
    void Setup();

    void OnDraw(Orvu::Canvas* canvas, Orvu::Graphics* graphics) override;
};
