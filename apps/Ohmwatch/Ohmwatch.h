#pragma once

#include "Core.h"
#include "PowerListener.h"
#include "PowerStatus.h"
#include "Settings.h"

class WindowManager;
class Tray;
class OPPicManager;

// The monitor's application object. The tray and the windows keep a
// non-owning pointer to it and read its fields directly.
class Ohmwatch : public Orvu::App
{
public:
    // Null pointers, the initial status (Unknown, 255, NoBattery) and empty
    // settings; allocates nothing.
    Ohmwatch();
    // Frees the settings' text only: the owned objects are Release's work.
    // When an exception ends the run loop, Release is skipped and they are
    // left to the end of the process.
    ~Ohmwatch() override;

    void Init() override;
    void Tick() override;
    void Release() override;

    // All windows, by id; owned.
    WindowManager* m_pWindowManager;
    // Notification-area icon and menu; owned.
    Tray* m_pTray;
    // Source of the current status; owned.
    PowerListener* m_pPowerListener;
    // The status as of the last change that Tick handled.
    PowerStatus m_lastStatus;
    // Picture plugin manager; owned.
    OPPicManager* m_pPicManager;
    Settings m_settings;
};
