#pragma once

#include "Caller.h"
#include "OrvuExport.h"

#include <windows.h>

namespace Orvu
{

// One popup menu. Items carry command ids chosen by the application (never 0,
// which means "nothing chosen"). OpenMenu shows the menu, waits for the user,
// records the choice and then fires the action, whether or not an item was
// chosen, so the listeners read the choice with GetLastPressedItem.
class ORVU_API ContextMenu : public Caller
{
public:
    ContextMenu();
    // Destroys this menu's popup menu; submenus added with AddSubMenu stay
    // with their own objects.
    virtual ~ContextMenu();

    ContextMenu(const ContextMenu&) = delete;
    ContextMenu& operator=(const ContextMenu&) = delete;

    // Text, command id.
    void AddMenuItem(const wchar_t* text, unsigned int id);
    // Text, submenu. The submenu object must live as long as this menu.
    void AddSubMenu(const wchar_t* text, ContextMenu* subMenu);
    void AddSeperator();

    // Screen x, screen y, owner window (null: the current foreground window).
    // Returns after the menu has closed and the listeners have run.
    void OpenMenu(int x, int y, HWND owner);
    // The command id chosen at the last OpenMenu; 0 when nothing was chosen.
    unsigned int GetLastPressedItem() const;
    // The point given to the last OpenMenu; 0, 0 before the first.
    void GetLastPos(int& x, int& y) const;

    // By command id, also inside submenus.
    void CheckMenuItem(unsigned int id, bool checked);
    // False for an id that the menu does not hold.
    bool IsMenuItemChecked(unsigned int id);
    void DisableMenuItem(unsigned int id, bool disabled);

protected:
    HMENU m_hMenu;
    int m_iLastX;
    int m_iLastY;
    unsigned int m_uLastPressedItem;
};

} // namespace Orvu
