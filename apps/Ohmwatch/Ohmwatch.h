#pragma once

#include "Core.h"
#include "PowerStatus.h"
#include "Settings.h"

namespace Orvu
{
class OPPicManager;
} // namespace Orvu

class PowerListener;
class Tray;
class WindowManager;

// The monitor's application object. Init builds everything, Tick reacts to
// changes of the power status, Release tears everything down. The tray and
// the windows reach the shared state through the public fields.
class Ohmwatch : public Orvu::App
{
public:
    // Window ids in the window manager.
    enum WindowId
    {
        WindowIdMain = 1,
        WindowIdAlert = 2
    };

    Ohmwatch();
    // Frees whatever Release did not, so a run ended by an error still
    // takes its icon out of the notification area.
    ~Ohmwatch() override;

    Ohmwatch(const Ohmwatch&) = delete;
    Ohmwatch& operator=(const Ohmwatch&) = delete;

    // Settings, plugins, window manager, the hidden status and alert
    // windows, the tray, the power listener; shows nothing but the icon.
    void Init() override;
    // Polls the power status; on a change updates the tray, applies the
    // alert rule and repaints a visible status window. Then deletes the
    // windows that were closed since the last tick.
    void Tick() override;
    // Deletes listener, windows, tray and plugins, in that order.
    void Release() override;

    WindowManager* m_pWindowManager;
    Tray* m_pTray;
    PowerListener* m_pPowerListener;
    PowerStatus m_lastStatus;
    Orvu::OPPicManager* m_pPicManager;
    Settings m_settings;
};
