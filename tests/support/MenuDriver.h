#pragma once

// Drives the next popup menu that opens, from a thread of its own, so no test
// waits for a person: it waits until a visible menu window (class "#32768")
// appears, notes where it is, whom it belongs to and which window is in the
// foreground, and posts the given keys to it, e.g. {VK_DOWN, VK_RETURN} to
// choose the first item or {VK_ESCAPE} to dismiss the menu. If the menu is
// still open a while after the last key, it is noted and the menu is closed
// with Escape, so a menu that ignores the keys cannot hang the test.

#include <windows.h>

#include <atomic>
#include <thread>
#include <vector>

class MenuDriver
{
public:
    explicit MenuDriver(std::vector<UINT> keys, DWORD timeoutMs = 5000)
        : m_keys(keys), m_timeoutMs(timeoutMs), m_thread([this] { Drive(); })
    {
    }

    ~MenuDriver() { Join(); }

    MenuDriver(const MenuDriver&) = delete;
    MenuDriver& operator=(const MenuDriver&) = delete;

    // Waits until the driver has finished with its menu (or given up).
    void Join()
    {
        if (m_thread.joinable())
            m_thread.join();
    }

    // Valid after Join.
    bool SawMenu() const { return m_sawMenu; }
    bool StayedOpenAfterKeys() const { return m_stayedOpen; }
    RECT MenuRect() const { return m_rect; }
    HWND MenuOwner() const { return m_owner; }
    HWND Foreground() const { return m_foreground; }

private:
    static HWND FindOpenMenu()
    {
        HWND menu = nullptr;
        while ((menu = FindWindowExW(nullptr, menu, L"#32768", nullptr)) != nullptr)
            if (IsWindowVisible(menu))
                return menu;
        return nullptr;
    }

    void Drive()
    {
        const DWORD start = GetTickCount();
        HWND menu = nullptr;
        while ((menu = FindOpenMenu()) == nullptr)
        {
            if (GetTickCount() - start > m_timeoutMs)
                return;
            Sleep(5);
        }
        m_sawMenu = true;
        GetWindowRect(menu, &m_rect);
        m_owner = GetWindow(menu, GW_OWNER);
        m_foreground = GetForegroundWindow();
        for (UINT key : m_keys)
        {
            // Keys go to the topmost open menu: after VK_RIGHT a submenu
            // opens in a window of its own.
            HWND target = FindOpenMenu();
            if (!target)
                break;
            PostMessageW(target, WM_KEYDOWN, key, 0);
            Sleep(30);
        }
        Sleep(300);
        if (FindOpenMenu() == nullptr)
            return;
        m_stayedOpen = true;
        const DWORD closing = GetTickCount();
        HWND open;
        while ((open = FindOpenMenu()) != nullptr && GetTickCount() - closing < m_timeoutMs)
        {
            PostMessageW(open, WM_KEYDOWN, VK_ESCAPE, 0);
            Sleep(50);
        }
    }

    std::vector<UINT> m_keys;
    DWORD m_timeoutMs;
    std::atomic<bool> m_sawMenu{false};
    std::atomic<bool> m_stayedOpen{false};
    RECT m_rect = {0, 0, 0, 0};
    HWND m_owner = nullptr;
    HWND m_foreground = nullptr;
    std::thread m_thread;
};
