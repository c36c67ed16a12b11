#include "Core.h"

#include "Exception.h"
#include "internal/PendingException.h"

#include <windows.h>

#include <cstdlib>
#include <ctime>

namespace Orvu
{

namespace
{

// The run loop of this thread, while Run runs on it.
struct Loop
{
    bool running = false;
    RunMode mode = RunMode::Continuous;
    bool tickRequested = false;
    // In the on-request mode's wait for input.
    bool waiting = false;
};

thread_local Loop t_loop;

// Gives the thread its loop for the length of a Run, and back what it had
// before (a Run inside a handler of another), on every path.
class LoopScope
{
public:
    explicit LoopScope(RunMode mode) : m_outer(t_loop)
    {
        t_loop.running = true;
        t_loop.mode = mode;
        t_loop.tickRequested = false;
        t_loop.waiting = false;
    }
    ~LoopScope() { t_loop = m_outer; }
    LoopScope(const LoopScope&) = delete;
    LoopScope& operator=(const LoopScope&) = delete;

private:
    Loop m_outer;
};

} // namespace

App::App() = default;
App::~App() = default;
void App::Tick() {}

Core::Core() = default;
Core::~Core() = default;

int Core::GetVersion()
{
    return 1;
}

void Core::SetRunMode(RunMode mode)
{
    if (t_loop.running)
        t_loop.mode = mode;
}

RunMode Core::GetRunMode()
{
    return t_loop.running ? t_loop.mode : RunMode::Continuous;
}

void Core::RequestTick()
{
    if (!t_loop.running || t_loop.tickRequested)
        return;
    t_loop.tickRequested = true;
    // The wait handles messages sent from other threads (a broadcast) by
    // itself and need not end after one whose handler asked for a tick; a
    // posted message ends it. It does nothing itself.
    if (t_loop.waiting)
        PostThreadMessageW(GetCurrentThreadId(), WM_NULL, 0, 0);
}

namespace
{

// The on-request mode's wait: until input is in the queue, whether or not
// the loop has looked at it already (so that, unlike WaitMessage, it may
// follow a tick without a look at the queue in between).
void WaitForInput()
{
    t_loop.waiting = true;
    MsgWaitForMultipleObjectsEx(0, nullptr, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    t_loop.waiting = false;
}

} // namespace

int Core::Run(App* app, bool continuous)
{
    srand(static_cast<unsigned>(time(nullptr)));
    const LoopScope loop(continuous ? RunMode::Continuous : RunMode::Waiting);

    MSG msg;
    ZeroMemory(&msg, sizeof(msg));

    bool failed = false;
    try
    {
        app->Init();
        // Whatever escapes a window's handler is kept by the window procedure
        // (it cannot unwind through the system's frames) and rethrown here,
        // each time control is back in the loop.
        Internal::RethrowPendingException();
        for (;;)
        {
            const BOOL removed = PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE);
            // PeekMessage itself delivers messages sent from other threads.
            Internal::RethrowPendingException();
            if (removed)
            {
                if (msg.message == WM_QUIT)
                {
                    app->Release();
                    Internal::RethrowPendingException();
                    break;
                }
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
                Internal::RethrowPendingException();
            }
            else if (t_loop.mode == RunMode::Continuous)
            {
                t_loop.tickRequested = false;
                app->Tick();
                Internal::RethrowPendingException();
                Sleep(5);
            }
            else if (t_loop.mode == RunMode::OnRequest)
            {
                // Cleared first: a tick may ask for the next one itself.
                const bool tick = t_loop.tickRequested;
                t_loop.tickRequested = false;
                if (tick)
                {
                    app->Tick();
                    Internal::RethrowPendingException();
                }
                // Straight after the tick: whatever it left in the queue
                // ends the wait at once; one look less on every wake.
                if (!t_loop.tickRequested && t_loop.mode == RunMode::OnRequest)
                    WaitForInput();
            }
            else
            {
                WaitMessage();
            }
        }
    }
    catch (const Exception& e)
    {
        failed = true;
        ShowError(e);
    }
    catch (...)
    {
        failed = true;
        ShowError(Exception());
    }

    delete app;

    // A handler that threw while the application object was being deleted
    // (its windows destroyed): reported unless the loop already ended through
    // its error path, and never left behind for a later run on this thread.
    try
    {
        Internal::RethrowPendingException();
    }
    catch (const Exception& e)
    {
        if (!failed)
            ShowError(e);
    }
    catch (...)
    {
        if (!failed)
            ShowError(Exception());
    }

    return static_cast<int>(msg.wParam);
}

} // namespace Orvu
