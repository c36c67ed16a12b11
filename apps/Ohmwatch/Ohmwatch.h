#pragma once

#include "Core.h"
#include "PowerListener.h"
#include "PowerStatus.h"
#include "Settings.h"

namespace Orvu
{
class OPPicManager;
} // namespace Orvu

class Tray;
class WindowManager;

// The monitor's application object. Init builds everything, Tick reacts to
// changes of the power status, Release tears everything down. The tray and
// the windows reach the shared state through the public fields.
class Ohmwatch : public Orvu::App
{
public:
    // Window ids in the window manager; about and options share theirs with
    // the menu commands that open them.
    enum WindowId
    {
        WindowIdMain = 1,
        WindowIdAlert = 2,
        WindowIdAbout = 5,
        WindowIdOptions = 6
    };

    // Null pointers, the initial status (Unknown, 255, NoBattery) and empty
    // settings; allocates nothing.
    Ohmwatch();
    // Frees the settings' text only: the owned objects are Release's work.
    // When an exception ends the run loop, Release is skipped and they are
    // left to the end of the process.
    ~Ohmwatch() override;

    Ohmwatch(const Ohmwatch&) = delete;
    Ohmwatch& operator=(const Ohmwatch&) = delete;

    // Settings, plugins, window manager, the hidden status and alert
    // windows, the tray, the power listener; shows nothing but the icon.
    // With PowerCheckSeconds 1 to 127 it has the run loop tick only on
    // request: at start, when the system announces a power change, every
    // that many seconds, and when a window closed.
    void Init() override;
    // Polls the power status; on a change updates the tray, applies the
    // alert rule and repaints a visible status window. Then deletes the
    // windows that were closed since the last tick.
    void Tick() override;
    // Deletes listener, windows, tray and plugins, in that order.
    void Release() override;

    // Called by a window that closed for good: its object is deleted at the
    // next tick, never from inside its own handler.
    void RemoveClosedWindow(int windowId);

    // All windows, by id; owned.
    WindowManager* m_pWindowManager;
    // Notification-area icon and menu; owned.
    Tray* m_pTray;
    // Source of the current status; owned.
    PowerListener* m_pPowerListener;
    // The status as of the last change that Tick handled.
    PowerStatus m_lastStatus;
    // Picture plugin manager; owned.
    Orvu::OPPicManager* m_pPicManager;
    Settings m_settings;
};
