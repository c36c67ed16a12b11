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
    // Called when the message queue is empty: on every such pass in the
    // continuous mode, once per Core::RequestTick in the on-request mode.
    virtual void Tick();
    // Called once after the quit message; skipped when an exception ends the loop.
    virtual void Release() = 0;
};

// What the run loop does when the message queue is empty.
enum class RunMode
{
    // Tick, then sleep 5 ms: about 200 ticks a second, messages or not.
    Continuous,
    // Block until a message arrives; never tick.
    Waiting,
    // Block until a message arrives; tick once after each Core::RequestTick,
    // when every pending message has been handled.
    OnRequest
};

class ORVU_API Core
{
public:
    // Runs the application to its end and returns the quit message's code.
    // Takes ownership of app (allocated with new) and deletes it on every path.
    // continuous: RunMode::Continuous, otherwise RunMode::Waiting.
    static int Run(App* app, bool continuous);
    // Changes the mode of the loop that Run runs on the calling thread, from
    // its next look at the queue (Init may choose the mode once it has read
    // its settings). Without a running loop on the thread nothing changes.
    static void SetRunMode(RunMode mode);
    // The mode of the loop running on the calling thread; Continuous when
    // none runs there.
    static RunMode GetRunMode();
    // Asks the loop on the calling thread for one tick as soon as its queue
    // is empty; requests made before that tick are one. Only the on-request
    // mode acts on it (the continuous mode ticks anyway, the waiting mode
    // never).
    static void RequestTick();
    static int GetVersion();

private:
    Core();
    ~Core();
};

} // namespace Orvu
