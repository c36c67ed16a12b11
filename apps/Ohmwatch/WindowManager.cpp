#include "WindowManager.h"

#include "Core.h"

WindowManager::WindowManager() = default;

WindowManager::~WindowManager()
{
    for (auto& entry : m_windows)
        delete entry.second;
    m_windows.clear();
    m_closed.clear();
}

bool WindowManager::AddWindow(int id, Orvu::WindowBase* window)
{
    return m_windows.emplace(id, window).second;
}

Orvu::WindowBase* WindowManager::GetWindow(int id)
{
    const auto found = m_windows.find(id);
    return found == m_windows.end() ? nullptr : found->second;
}

bool WindowManager::RemoveWindow(int id)
{
    if (m_windows.find(id) == m_windows.end())
        return false;
    m_closed.push_back(id);
    // A loop that ticks only on request deletes the window at once too.
    Orvu::Core::RequestTick();
    return true;
}

void WindowManager::DestroyClosed()
{
    // Runs on every tick: an empty queue costs one comparison.
    if (m_closed.empty())
        return;
    // By index, so that a request queued while a window is being deleted is
    // handled in this pass too.
    for (size_t i = 0; i < m_closed.size(); ++i)
    {
        const auto found = m_windows.find(m_closed[i]);
        // An id queued twice was deleted at its first request.
        if (found == m_windows.end())
            continue;
        Orvu::WindowBase* window = found->second;
        m_windows.erase(found);
        delete window;
    }
    // clear() keeps the capacity: later requests queue without allocating.
    m_closed.clear();
}
