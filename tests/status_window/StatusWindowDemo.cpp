// Shows the status window for one status, for screenshots under X, and
// closes it (WM_CLOSE, as the close button sends) once the file given as the
// last argument exists. Arguments: source, percent, battery state (the
// numbers of PowerSource, the byte, BatteryState), x and y of the window, the
// file. Exit code 0 when closing hid the window without destroying it or
// ending the program, 1 when it did not, 2 when no signal came in time.

#include "Exception.h"
#include "Ohmwatch.h"
#include "WindowMain.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>

int Run(int argc, char** argv);

int main(int argc, char** argv)
{
    try
    {
        return Run(argc, argv);
    }
    catch (const Orvu::Exception& e)
    {
        std::fwprintf(stderr, L"%ls: %ls (error %lu)\n", e.GetTitle(), e.GetMsg(), GetLastError());
        return 4;
    }
}

int Run(int argc, char** argv)
{
    if (argc < 7)
    {
        std::fprintf(stderr, "usage: source percent state x y close-signal-file\n");
        return 3;
    }
    Ohmwatch* app = new Ohmwatch;
    app->m_lastStatus.source = static_cast<PowerSource>(std::atoi(argv[1]));
    app->m_lastStatus.percent = static_cast<unsigned char>(std::atoi(argv[2]));
    app->m_lastStatus.batteryState = static_cast<BatteryState>(std::atoi(argv[3]));
    WindowMain* window = new WindowMain(app);
    window->Setup();
    window->SetPos(std::atoi(argv[4]), std::atoi(argv[5]));
    window->Show(SW_SHOW);
    POINT client = {0, 0};
    window->ClientToScreen(client);
    RECT frame = {};
    window->GetRect(frame);
    std::printf("shown, frame %ld %ld %ld %ld, client area at %ld %ld\n", frame.left, frame.top,
                frame.right - frame.left, frame.bottom - frame.top, client.x, client.y);
    std::fflush(stdout);

    int result = 2;
    bool quit = false;
    bool closed = false;
    const DWORD start = GetTickCount();
    DWORD hiddenAt = 0;
    while (GetTickCount() - start < 30000)
    {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
        {
            if (msg.message == WM_QUIT)
                quit = true;
            else
            {
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
        }
        if (!closed && GetFileAttributesA(argv[6]) != INVALID_FILE_ATTRIBUTES)
        {
            closed = true;
            PostMessageW(window->GetHandle(), WM_CLOSE, 0, 0);
        }
        if (closed && !hiddenAt && !window->IsVisible())
            hiddenAt = GetTickCount();
        // Keep running a little after the close to see that nothing ends.
        if (hiddenAt && GetTickCount() - hiddenAt > 500)
        {
            result = (IsWindow(window->GetHandle()) && !quit) ? 0 : 1;
            break;
        }
        Sleep(10);
    }
    std::printf(result == 0 ? "hidden, still a window, still running\n"
                            : "close did not just hide the window (%d)\n",
                result);
    delete window;
    delete app;
    return result;
}
