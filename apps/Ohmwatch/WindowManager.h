#pragma once

#include "WindowBase.h"

#include <map>
#include <vector>

// Owns the monitor's windows and finds them by id (1 status, 2 alert,
// 5 about, 6 options). A window that closes for good asks for its removal;
// the window is deleted only at the next DestroyClosed, which the
// application calls at the end of each tick (a removal asks the run loop for
// one), so no window is ever deleted while one of its own handlers runs.
class WindowManager
{
public:
    WindowManager();
    // Deletes every window still registered, in ascending id order.
    virtual ~WindowManager();

    WindowManager(const WindowManager&) = delete;
    WindowManager& operator=(const WindowManager&) = delete;

    // Takes ownership of window and returns true, or returns false and
    // stores nothing when id is already registered.
    bool AddWindow(int id, Orvu::WindowBase* window);
    // The window registered under id, or null.
    Orvu::WindowBase* GetWindow(int id);
    // Queues the window of id for deletion at the next DestroyClosed; it
    // stays registered until then. False for an unknown id.
    bool RemoveWindow(int id);
    // Deletes the queued windows in the order of the requests.
    void DestroyClosed();

private:
    std::map<int, Orvu::WindowBase*> m_windows;
    std::vector<int> m_closed;
};
