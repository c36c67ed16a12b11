#include "Core.h"

#include "Exception.h"
#include "internal/PendingException.h"

#include <windows.h>

#include <cstdlib>
#include <ctime>

namespace Orvu
{

App::App() = default;
App::~App() = default;
void App::Tick() {}

Core::Core() = default;
Core::~Core() = default;

int Core::GetVersion()
{
    return 1;
}

int Core::Run(App* app, bool continuous)
{
    srand(static_cast<unsigned>(time(nullptr)));

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
            else if (continuous)
            {
                app->Tick();
                Internal::RethrowPendingException();
                Sleep(5);
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
