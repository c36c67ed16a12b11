#include "Core.h"

#include "Exception.h"

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

    try
    {
        app->Init();
        for (;;)
        {
            if (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            {
                if (msg.message == WM_QUIT)
                {
                    app->Release();
                    break;
                }
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
            else if (continuous)
            {
                app->Tick();
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
        ShowError(e);
    }
    catch (...)
    {
        ShowError(Exception());
    }

    delete app;
    return static_cast<int>(msg.wParam);
}

} // namespace Orvu
