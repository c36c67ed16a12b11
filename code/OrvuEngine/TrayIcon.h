#pragma once

#include "Caller.h"
#include "OrvuExport.h"
#include "WindowBase.h"

#include <windows.h>
#include <shellapi.h>

#include <vector>

namespace Orvu
{

class ContextMenu;

// One icon with a tooltip in the notification area. A hidden engine window
// receives the shell's notifications for it: a double click with the left
// button fires this caller's action (the listeners get the tray icon), a
// right click opens the attached menu at the mouse pointer (its listeners get
// the menu). After every add the icon asks the shell for the keyboard-aware
// notifications (version 3, Windows 2000 and later); where the shell grants
// them, Enter or Space on the icon fires the action like a double click, and
// the menu key or Shift+F10 opens the menu at the icon (at the pointer where
// the shell cannot tell the icon's place, before Windows 7). When the shell
// restarts, the icon is added again with its current tooltip and picture;
// when the shell did not take the icon at Init (not running yet, or busy),
// the next change adds it.
class ORVU_API TrayIcon : public Caller, public WindowProc
{
public:
    // Nothing is shown until Init.
    TrayIcon();
    // Removes the icon from the notification area and destroys the hidden
    // window and the icon's pictures; the menu is not deleted.
    virtual ~TrayIcon();

    TrayIcon(const TrayIcon&) = delete;
    TrayIcon& operator=(const TrayIcon&) = delete;

    // Creates the hidden window and adds the icon with the system's
    // application icon and the tooltip "TrayIcon". Later calls do nothing.
    // Throws Exception when the window cannot be created.
    void Init();
    // The tooltip; text of 128 characters or more is cut to 127. False when
    // the shell refuses the change, or before Init.
    bool SetName(const wchar_t* name);
    // The picture from an icon file, at the notification area's size: the
    // system's small-icon size, read at each call (16 x 16 at 96 DPI, 20 at
    // 120, 24 at 144, 32 at 192). False, with the picture unchanged, when the
    // file is missing or holds no icon; false when the shell refuses the
    // change, or before Init.
    bool SetIcon(const wchar_t* path);
    // The picture from an icon resource of the program: the group's image of
    // the notification area's size. Each id is loaded once per size and kept
    // until the tray icon is destroyed, so a program that switches among a
    // few pictures loads and releases none at each change. False, with the
    // picture unchanged, when the program has no such icon; false when the
    // shell refuses the change, or before Init.
    bool SetIcon(int id);
    // Not owned; null: a right click does nothing.
    void SetContextMenu(ContextMenu* menu);

    // The hidden window's messages.
    virtual int WndProc(WindowBase* window, unsigned int msg, unsigned int wParam, long lParam);

protected:
    ContextMenu* m_pContextMenu;
    WindowBase* m_pWindow;
    NOTIFYICONDATAW m_nid;

private:
    // Hands the record to the shell: a modify when the shell took the icon,
    // otherwise an add; the other one when the shell refuses it (an icon
    // lost by the shell, or one added after all). True when either worked.
    bool Publish();
    // Adds the icon and, when the shell took it, asks for the keyboard-aware
    // notifications. True when the shell took the icon.
    bool Add();
    // Asks the shell for version 3 of the notifications and notes its answer.
    void AskForKeyboardNotifications();
    // Opens the menu, if any, at the point given in screen coordinates.
    void OpenMenuAt(const POINT& point);
    // The icon's centre on the screen, where the shell can tell it (Windows 7
    // and later); otherwise the mouse pointer.
    POINT MenuPointForKeyboard() const;

    struct ResourcePicture
    {
        int id;
        int width;
        HICON icon;
    };

    // Puts a picture into the record, tells the shell and releases the
    // picture it replaces unless that is one of the kept resource pictures.
    bool ReplaceIcon(HICON icon);
    bool IsKept(HICON icon) const;

    // The pictures loaded by resource id, in the order first used.
    std::vector<ResourcePicture> m_resourcePictures;
    // Whether the shell took the icon, as far as its answers tell.
    bool m_bAdded;
    // Whether the shell sends the keyboard-aware notifications for the icon
    // as it was last added; otherwise only mouse messages come.
    bool m_bKeyboardAware;
    // Whether the next WM_CONTEXTMENU follows a right click, so the menu
    // opens at the pointer rather than at the icon.
    bool m_bContextMenuFromMouse;
};

} // namespace Orvu
