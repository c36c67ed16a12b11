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

} // namespace

TrayIcon::TrayIcon() : m_pContextMenu(nullptr), m_pWindow(nullptr), m_bAdded(false)
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
    m_bAdded = Shell_NotifyIconW(NIM_ADD, &m_nid) != FALSE;
}

bool TrayIcon::Publish()
{
    const DWORD expected = m_bAdded ? NIM_MODIFY : NIM_ADD;
    const DWORD other = m_bAdded ? NIM_ADD : NIM_MODIFY;
    if (!Shell_NotifyIconW(expected, &m_nid) && !Shell_NotifyIconW(other, &m_nid))
        return false;
    m_bAdded = true;
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

int TrayIcon::WndProc(WindowBase* window, unsigned int msg, unsigned int wParam, long lParam)
{
    if (msg == WM_USER)
    {
        // lParam is the mouse message the shell saw on the icon.
        switch (LOWORD(lParam))
        {
        case WM_LBUTTONDBLCLK:
            CallAction();
            break;
        case WM_RBUTTONUP:
            if (m_pContextMenu)
            {
                POINT cursor = {0, 0};
                GetCursorPos(&cursor);
                m_pContextMenu->OpenMenu(cursor.x, cursor.y, window->GetHandle());
            }
            break;
        default:
            break;
        }
    }
    else if (msg == TaskbarCreatedMessage() && msg != 0)
    {
        m_bAdded = Shell_NotifyIconW(NIM_ADD, &m_nid) != FALSE;
    }
    return static_cast<int>(DefWindowProcW(window->GetHandle(), msg, wParam, lParam));
}

} // namespace Orvu
