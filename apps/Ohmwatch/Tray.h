#pragma once

#include "Caller.h"
#include "PowerStatus.h"

namespace Orvu
{
class ContextMenu;
class TrayIcon;
} // namespace Orvu

class Ohmwatch;

// The monitor's notification-area icon: picture and tooltip follow the power
// status; a double click (or Enter on the icon) shows the status window; the
// menu opens the options and about windows or ends the program.
class Tray : public Orvu::Callable
{
public:
    // Menu command ids; "About" and "Options" have the ids of the windows they open.
    enum Command
    {
        CommandExit = 1,
        CommandAbout = 5,
        CommandOptions = 6
    };

    explicit Tray(Ohmwatch* app);
    // Removes the icon from the notification area, then frees the menu.
    ~Tray() override;

    Tray(const Tray&) = delete;
    Tray& operator=(const Tray&) = delete;

    // Builds the menu and puts the icon into the notification area.
    void Init();
    // Sets the icon and the tooltip for the status. Called on changes only.
    void UpdateStatus(const PowerStatus& status);
    // Fired by the tray icon (double click, Enter or Space) and by the menu
    // (after a popup).
    void Action(Orvu::Caller* caller) override;

private:
    // Gives the window registered under id the focus, or creates, shows and
    // registers a new one.
    template <class TWindow> void OpenOrFocus(int id);

    Orvu::TrayIcon* m_pTrayIcon;
    Orvu::ContextMenu* m_pMenu;
    Ohmwatch* m_pApp;
};
