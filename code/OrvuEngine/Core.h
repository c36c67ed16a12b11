#pragma once

#include "OrvuExport.h"

namespace Orvu
{

// Base of every application run by Core::Run.
class ORVU_API App
{
public:
    App();
    virtual ~App();
    // Called once before the loop.
    virtual void Init() = 0;
    // Called whenever the message queue is empty (continuous mode only).
    virtual void Tick();
    // Called once after the quit message; skipped when an exception ends the loop.
    virtual void Release() = 0;
};

class ORVU_API Core
{
public:
    // Runs the application to its end and returns the quit message's code.
    // Takes ownership of app (allocated with new) and deletes it on every path.
    // continuous: tick whenever the queue is empty, sleeping 5 ms after each
    // tick; otherwise block until a message arrives and never tick.
    static int Run(App* app, bool continuous);
    static int GetVersion();

private:
    Core();
    ~Core();
};

} // namespace Orvu
