#include "ContextMenu.h"

namespace Orvu
{

ContextMenu::ContextMenu()
    : m_hMenu(CreatePopupMenu()), m_iLastX(0), m_iLastY(0), m_uLastPressedItem(0)
{
}

ContextMenu::~ContextMenu()
{
    if (!m_hMenu)
        return;
    // DestroyMenu also destroys every attached submenu, whose handles belong
    // to their own ContextMenu objects; destroying them here would let those
    // objects destroy them a second time (by then perhaps another menu's
    // reused handle). Detaching them first leaves each handle to one owner.
    for (int i = GetMenuItemCount(m_hMenu) - 1; i >= 0; --i)
    {
        if (GetSubMenu(m_hMenu, i))
            RemoveMenu(m_hMenu, static_cast<UINT>(i), MF_BYPOSITION);
    }
    DestroyMenu(m_hMenu);
}

void ContextMenu::AddMenuItem(const wchar_t* text, unsigned int id)
{
    AppendMenuW(m_hMenu, MF_STRING, id, text);
}

void ContextMenu::AddSubMenu(const wchar_t* text, ContextMenu* subMenu)
{
    if (!subMenu)
        return;
    AppendMenuW(m_hMenu, MF_POPUP, reinterpret_cast<UINT_PTR>(subMenu->m_hMenu), text);
}

void ContextMenu::AddSeperator()
{
    AppendMenuW(m_hMenu, MF_SEPARATOR, 0, nullptr);
}

void ContextMenu::OpenMenu(int x, int y, HWND owner)
{
    m_iLastX = x;
    m_iLastY = y;
    // The menu closes on a click elsewhere only while its owner is the
    // foreground window; a tray program is usually not in the foreground when
    // its icon is clicked, so the owner is brought there first.
    if (owner)
        SetForegroundWindow(owner);
    else
        owner = GetForegroundWindow();

    // TPM_RETURNCMD: the chosen id comes back here (0 when dismissed) and no
    // WM_COMMAND is sent; TPM_NONOTIFY: no menu notifications to the owner.
    const BOOL chosen =
        TrackPopupMenuEx(m_hMenu, TPM_RETURNCMD | TPM_NONOTIFY, x, y, owner, nullptr);
    // Without a message after the menu loop, the next popup of a background
    // owner can close at once; the empty message is the documented remedy.
    if (owner)
        PostMessageW(owner, WM_NULL, 0, 0);

    m_uLastPressedItem = static_cast<unsigned int>(chosen);
    CallAction();
}

unsigned int ContextMenu::GetLastPressedItem() const
{
    return m_uLastPressedItem;
}

void ContextMenu::GetLastPos(int& x, int& y) const
{
    x = m_iLastX;
    y = m_iLastY;
}

void ContextMenu::CheckMenuItem(unsigned int id, bool checked)
{
    ::CheckMenuItem(m_hMenu, id, MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

bool ContextMenu::IsMenuItemChecked(unsigned int id)
{
    const UINT state = GetMenuState(m_hMenu, id, MF_BYCOMMAND);
    // GetMenuState answers -1 (all bits set) for an id the menu lacks.
    if (state == static_cast<UINT>(-1))
        return false;
    return (state & MF_CHECKED) != 0;
}

void ContextMenu::DisableMenuItem(unsigned int id, bool disabled)
{
    EnableMenuItem(m_hMenu, id, MF_BYCOMMAND | (disabled ? MF_GRAYED : MF_ENABLED));
}

} // namespace Orvu
