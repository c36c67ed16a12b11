#pragma once

#include <windows.h>

// Wakes a window when the power status may have changed, instead of the
// monitor polling it on every idle pass: on Windows' announcements (a switch
// between mains and battery, some changes of charge, a resume from sleep;
// from Vista on each change of the power source and each percent of charge)
// and every few seconds from one timer, for what nobody announces (Wine
// announces nothing). The window must be a top-level one: message-only
// windows get no broadcasts. The timer and the registrations are this
// object's and end with Stop or the destructor, before the window goes.
class PowerWatch
{
public:
    PowerWatch();
    ~PowerWatch();

    PowerWatch(const PowerWatch&) = delete;
    PowerWatch& operator=(const PowerWatch&) = delete;

    // Starts watching for window, with a timer that fires at most every
    // seconds (coalescable where Windows 8 and later offer it). Registrations
    // that Windows refuses or lacks (XP) are left out without a word: the
    // timer still sees every change. False, watching nothing, when the timer
    // cannot be set.
    bool Start(HWND window, unsigned int seconds);
    void Stop();
    bool IsWatching() const;

    // Whether this message to the watched window calls for a check of the
    // power status now.
    bool CallsForCheck(unsigned int message, WPARAM wParam) const;

private:
    HWND m_hWindow;
    UINT_PTR m_timer;
    // Registrations for the power source and the charge (HPOWERNOTIFY).
    void* m_powerSource;
    void* m_charge;
};
