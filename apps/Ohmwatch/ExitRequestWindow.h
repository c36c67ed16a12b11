#pragma once

#include <windows.h>

// The installer's request to exit: the registered message OHMWATCH_EXIT_MESSAGE,
// broadcast to every top-level window, which the installer repeats until the
// monitor has ended. It holds the event OHMWATCH_EXIT_REQUEST, signalled, for
// as long as it waits; whoever takes the signal first decides: the monitor
// (it exits) or the installer giving up (the request is withdrawn). So a
// monitor that was hung while the installer waited, and finds the old
// requests in its queue when it wakes, stays running.

// The registered message's id (0 if it cannot be registered).
unsigned int ExitRequestMessage();

// True when an installer's request is current, and takes it: the installer
// then knows the monitor is ending.
bool TakeExitRequest();

// A hidden top-level window that turns a current exit request into the end of
// the thread's run loop (PostQuitMessage(0), the way "Exit" ends it). Made
// right after the instance is claimed, before anything slow: a request that
// arrives while the monitor is still starting waits in the queue for the run
// loop instead of being lost.
class ExitRequestWindow
{
public:
    // Registers the class and creates the window; if that fails, the
    // monitor runs on without it (the installer then refuses to update).
    explicit ExitRequestWindow(HINSTANCE instance);
    // Destroys the window and unregisters the class.
    ~ExitRequestWindow();

    ExitRequestWindow(const ExitRequestWindow&) = delete;
    ExitRequestWindow& operator=(const ExitRequestWindow&) = delete;

private:
    HINSTANCE m_instance;
    HWND m_hWnd;
};
