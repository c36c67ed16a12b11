#include "TrayIcon.h"

#include "ContextMenu.h"
#include "File.h"
#include "internal/SystemIcon.h"

#include <cstring>

namespace Orvu
{

namespace
{

const size_t kTipCapacity = sizeof(NOTIFYICONDATAW().szTip) / sizeof(wchar_t);

// The shell broadcasts this registered message when it (re)creates the
// taskbar, e.g. after Explorer restarted; every icon it had is gone by then.
UINT TaskbarCreatedMessage()
{
    static const UINT message = RegisterWindowMessageW(L"TaskbarCreated");
    return message;
}

// Shell_NotifyIconGetRect, which Windows 7 brought; looked up at run time so
// that the engine still loads on XP.
struct IconIdentifier
{
    DWORD cbSize;
    HWND hWnd;
    UINT uID;
    GUID guidItem;
};
typedef HRESULT(WINAPI* GetIconRectFunction)(const IconIdentifier*, RECT*);

} // namespace

TrayIcon::TrayIcon()
    : m_pContextMenu(nullptr), m_pWindow(nullptr), m_bAdded(false), m_bKeyboardAware(false),
      m_bContextMenuFromMouse(false)
{
    std::memset(&m_nid, 0, sizeof(m_nid));
}

TrayIcon::~TrayIcon()
{
    if (m_pWindow)
        Shell_NotifyIconW(NIM_DELETE, &m_nid);
    // The window still routes its last messages (WM_DESTROY) to this object,
    // which is complete until the destructor body ends.
    delete m_pWindow;
    if (m_nid.hIcon && !IsKept(m_nid.hIcon))
        DestroyIcon(m_nid.hIcon);
    for (const ResourcePicture& picture : m_resourcePictures)
        DestroyIcon(picture.icon);
}

void TrayIcon::Init()
{
    if (m_pWindow)
        return;
    WindowBase* window = new WindowBase;
    try
    {
        window->Create(WS_OVERLAPPEDWINDOW, 0, nullptr);
    }
    catch (...)
    {
        delete window;
        throw;
    }
    m_pWindow = window;
    m_pWindow->Hide();
    m_pWindow->SetWndProc(this);

    std::memset(&m_nid, 0, sizeof(m_nid));
    m_nid.cbSize = sizeof(NOTIFYICONDATAW);
    m_nid.hWnd = m_pWindow->GetHandle();
    m_nid.uID = 0;
    m_nid.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    m_nid.uCallbackMessage = WM_USER;
    // A private copy of the shared system icon, so that every picture in the
    // record is this object's own and can be released when it is replaced;
    // the shared icon itself must never be destroyed.
    m_nid.hIcon = CopyIcon(LoadIconW(nullptr, IDI_APPLICATION));
    lstrcpynW(m_nid.szTip, L"TrayIcon", static_cast<int>(kTipCapacity));
    m_bAdded = Add();
}

bool TrayIcon::Add()
{
    if (!Shell_NotifyIconW(NIM_ADD, &m_nid))
        return false;
    AskForKeyboardNotifications();
    return true;
}

void TrayIcon::AskForKeyboardNotifications()
{
    // The version belongs to the icon as added, so every add asks again.
    // The field shares its place with the balloon's timeout, which this
    // record never uses.
    m_nid.uVersion = NOTIFYICON_VERSION;
    m_bKeyboardAware = Shell_NotifyIconW(NIM_SETVERSION, &m_nid) != FALSE;
    m_nid.uVersion = 0;
}

bool TrayIcon::Publish()
{
    if (m_bAdded)
    {
        if (Shell_NotifyIconW(NIM_MODIFY, &m_nid))
            return true;
        // The shell lost the icon.
        return Add();
    }
    if (Add())
    {
        m_bAdded = true;
        return true;
    }
    // Taken after all, by an add whose answer was lost.
    if (!Shell_NotifyIconW(NIM_MODIFY, &m_nid))
        return false;
    m_bAdded = true;
    AskForKeyboardNotifications();
    return true;
}

bool TrayIcon::SetName(const wchar_t* name)
{
    if (!m_pWindow)
        return false;
    if (!name)
        name = L"";
    size_t length = 0;
    while (length < kTipCapacity - 1 && name[length] != L'\0')
        ++length;
    // A cut between the halves of a surrogate pair would leave half a
    // character at the end.
    if (length == kTipCapacity - 1 && name[length] != L'\0' && name[length - 1] >= 0xD800 &&
        name[length - 1] <= 0xDBFF)
        --length;
    std::memcpy(m_nid.szTip, name, length * sizeof(wchar_t));
    m_nid.szTip[length] = L'\0';
    return Publish();
}

bool TrayIcon::SetIcon(const wchar_t* path)
{
    if (!m_pWindow || !path || !File::Exists(path))
        return false;
    const HICON icon = Internal::LoadIconFile(path, Internal::IconSize::Small);
    if (!icon)
        return false;
    return ReplaceIcon(icon);
}

bool TrayIcon::SetIcon(int id)
{
    if (!m_pWindow)
        return false;
    const int width = Internal::SystemIconWidth(Internal::IconSize::Small);
    for (const ResourcePicture& picture : m_resourcePictures)
        if (picture.id == id && picture.width == width)
            return ReplaceIcon(picture.icon);
    const HICON icon = Internal::LoadProgramIcon(id, Internal::IconSize::Small);
    if (!icon)
        return false;
    try
    {
        m_resourcePictures.push_back(ResourcePicture{id, width, icon});
    }
    catch (...)
    {
        DestroyIcon(icon);
        throw;
    }
    return ReplaceIcon(icon);
}

bool TrayIcon::ReplaceIcon(HICON icon)
{
    const HICON old = m_nid.hIcon;
    m_nid.hIcon = icon;
    const bool changed = Publish();
    // The shell keeps a copy of the picture, so the old one is not needed
    // even when the change was refused.
    if (old && old != icon && !IsKept(old))
        DestroyIcon(old);
    return changed;
}

bool TrayIcon::IsKept(HICON icon) const
{
    for (const ResourcePicture& picture : m_resourcePictures)
        if (picture.icon == icon)
            return true;
    return false;
}

void TrayIcon::SetContextMenu(ContextMenu* menu)
{
    m_pContextMenu = menu;
}

void TrayIcon::OpenMenuAt(const POINT& point)
{
    if (m_pContextMenu)
        m_pContextMenu->OpenMenu(point.x, point.y, m_pWindow->GetHandle());
}

POINT TrayIcon::MenuPointForKeyboard() const
{
    POINT point = {0, 0};
    const HMODULE shell = GetModuleHandleW(L"shell32.dll");
    const GetIconRectFunction getRect =
        shell ? reinterpret_cast<GetIconRectFunction>(reinterpret_cast<void*>(
                    GetProcAddress(shell, "Shell_NotifyIconGetRect")))
              : nullptr;
    if (getRect)
    {
        IconIdentifier icon;
        std::memset(&icon, 0, sizeof(icon));
        icon.cbSize = sizeof(icon);
        icon.hWnd = m_nid.hWnd;
        icon.uID = m_nid.uID;
        RECT rect = {0, 0, 0, 0};
        if (SUCCEEDED(getRect(&icon, &rect)) && rect.right > rect.left && rect.bottom > rect.top)
        {
            point.x = rect.left + (rect.right - rect.left) / 2;
            point.y = rect.top + (rect.bottom - rect.top) / 2;
            return point;
        }
    }
    GetCursorPos(&point);
    return point;
}

int TrayIcon::WndProc(WindowBase* window, unsigned int msg, unsigned int wParam, long lParam)
{
    if (msg == WM_USER)
    {
        // lParam is what the shell saw on the icon: a mouse message, and
        // where the shell is keyboard-aware also NIN_SELECT (after a left
        // click, ignored like the click), NIN_KEYSELECT and WM_CONTEXTMENU.
        switch (LOWORD(lParam))
        {
        case WM_LBUTTONDBLCLK:
            CallAction();
            break;
        case NIN_KEYSELECT:
            if (m_bKeyboardAware)
                CallAction();
            break;
        case WM_RBUTTONUP:
            // A keyboard-aware shell follows the button with WM_CONTEXTMENU,
            // which opens the menu; opening it here as well would open it
            // twice.
            if (m_bKeyboardAware)
            {
                m_bContextMenuFromMouse = true;
            }
            else
            {
                POINT cursor = {0, 0};
                GetCursorPos(&cursor);
                OpenMenuAt(cursor);
            }
            break;
        case WM_CONTEXTMENU:
            if (m_bKeyboardAware)
            {
                // After a right click at the pointer, from the keyboard at the icon.
                POINT point = {0, 0};
                if (m_bContextMenuFromMouse)
                    GetCursorPos(&point);
                else
                    point = MenuPointForKeyboard();
                m_bContextMenuFromMouse = false;
                OpenMenuAt(point);
            }
            break;
        default:
            break;
        }
    }
    else if (msg == TaskbarCreatedMessage() && msg != 0)
    {
        m_bAdded = Add();
    }
    return static_cast<int>(DefWindowProcW(window->GetHandle(), msg, wParam, lParam));
}

} // namespace Orvu
