#include "WindowBase.h"

#include "Exception.h"
#include "File.h"
#include "internal/PendingException.h"
#include "internal/SystemIcon.h"

#include <shellapi.h>

namespace Orvu
{

namespace
{

const wchar_t* const kClassName = L"Orvu_Window";

// Resource id of the class icon in the program's module (IDI_APPLICATION).
const int kClassIconId = 32512;

// The class icons, large and small, that SetIcon loaded itself and set last,
// or null. Only these are ever released: never the icons of the class record
// (shared icons from LoadIcon) nor ones that something else set.
HICON g_loadedLargeIcon = nullptr;
HICON g_loadedSmallIcon = nullptr;

// Makes freshly loaded icons the large and small class icons of the window's
// class. Releases the icons that an earlier call loaded (they are no longer
// the class icons), or the new ones when the class keeps its old icons. True
// when the class icons are now the new icons.
bool SetClassIcons(HWND window, HICON large, HICON smallIcon)
{
    bool set = large != nullptr && smallIcon != nullptr;
    if (set)
    {
        SetLastError(0);
        const DWORD previous = SetClassLongW(window, GCL_HICON, reinterpret_cast<LONG>(large));
        set = previous != 0 || GetLastError() == 0;
    }
    if (!set)
    {
        if (large != nullptr)
            DestroyIcon(large);
        if (smallIcon != nullptr)
            DestroyIcon(smallIcon);
        return false;
    }
    // Title bars show the small icon; without this one the system would
    // keep showing the class record's.
    SetClassLongW(window, GCL_HICONSM, reinterpret_cast<LONG>(smallIcon));

    if (g_loadedLargeIcon != nullptr && g_loadedLargeIcon != large)
        DestroyIcon(g_loadedLargeIcon);
    if (g_loadedSmallIcon != nullptr && g_loadedSmallIcon != smallIcon)
        DestroyIcon(g_loadedSmallIcon);
    g_loadedLargeIcon = large;
    g_loadedSmallIcon = smallIcon;
    return true;
}

// Hands every dropped file to the handler in the order the system lists
// them, then releases the drop handle, also when the handler throws.
void DeliverDroppedFiles(DragAndDropHandler* handler, HDROP drop)
{
    try
    {
        const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
        for (UINT i = 0; i < count; ++i)
        {
            // MAX_PATH characters: longer paths are cut to 259 characters.
            wchar_t path[MAX_PATH];
            path[0] = L'\0';
            DragQueryFileW(drop, i, path, MAX_PATH);
            path[MAX_PATH - 1] = L'\0';
            handler->DropFile(path);
        }
    }
    catch (...)
    {
        DragFinish(drop);
        throw;
    }
    DragFinish(drop);
}

} // namespace

WindowProc::~WindowProc() = default;

DragAndDropHandler::~DragAndDropHandler() = default;

bool WindowBase::m_bRegisterWindow = true;

WindowBase::WindowBase()
    : m_hWnd(nullptr), m_iWidth(600), m_iHeight(400), m_pWndProc(nullptr),
      m_pDragAndDropHandler(nullptr)
{
}

WindowBase::~WindowBase()
{
    if (m_hWnd != nullptr)
        DestroyWindow(m_hWnd);
}

void WindowBase::Create(unsigned long style, unsigned long exStyle, HWND parent)
{
    Init(style, exStyle, parent);
}

void WindowBase::RegisterWindow()
{
    if (!m_bRegisterWindow)
        return;

    const HINSTANCE module = GetModuleHandleW(nullptr);

    // The program's own icon 32512 when it has one, else the system's
    // application icon. Both are shared icons, never released.
    HICON icon = LoadIconW(module, MAKEINTRESOURCEW(kClassIconId));
    if (icon == nullptr)
        icon = LoadIconW(nullptr, IDI_APPLICATION);

    WNDCLASSEXW wc;
    ZeroMemory(&wc, sizeof(wc));
    wc.cbSize = sizeof(WNDCLASSEXW);
    wc.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
    wc.lpfnWndProc = &WindowBase::WndProcStatic;
    wc.cbClsExtra = 0;
    wc.cbWndExtra = 0;
    wc.hInstance = module;
    wc.hIcon = icon;
    wc.hIconSm = icon;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszMenuName = nullptr;
    wc.lpszClassName = kClassName;

    if (RegisterClassExW(&wc) == 0)
        throw Exception(L"failed to register the window class: \"Orvu_Window\".",
                        L"Register window");

    m_bRegisterWindow = false;
}

void WindowBase::Init(unsigned long style, unsigned long exStyle, HWND parent)
{
    RegisterWindow();

    if (m_hWnd != nullptr)
        return;

    RECT rect = {0, 0, m_iWidth, m_iHeight};
    AdjustWindowRect(&rect, style, FALSE);

    m_hWnd = CreateWindowExW(exStyle, kClassName, L"Orvu", style, CW_USEDEFAULT, CW_USEDEFAULT,
                             rect.right - rect.left, rect.bottom - rect.top, parent, nullptr,
                             nullptr, this);
    if (m_hWnd == nullptr)
        throw Exception(L"failed to create the window: \"Orvu_Window\".", L"Window create");
}

LRESULT CALLBACK WindowBase::WndProcStatic(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_CREATE)
    {
        const CREATESTRUCTW* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongW(hwnd, GWL_USERDATA, reinterpret_cast<LONG>(create->lpCreateParams));
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    }

    WindowBase* window = reinterpret_cast<WindowBase*>(GetWindowLongW(hwnd, GWL_USERDATA));
    if (window == nullptr)
    {
        if (msg == WM_DESTROY)
            PostQuitMessage(0);
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    }

    LRESULT result = 0;
    // Nothing may unwind from here into the system's frames: whatever a
    // handler throws is kept for the run loop, which rethrows it.
    try
    {
        if (msg == WM_SIZE)
        {
            window->m_iWidth = static_cast<int>(LOWORD(lParam));
            window->m_iHeight = static_cast<int>(HIWORD(lParam));
        }
        else if (msg == WM_DROPFILES && window->m_pDragAndDropHandler != nullptr)
        {
            DeliverDroppedFiles(window->m_pDragAndDropHandler, reinterpret_cast<HDROP>(wParam));
        }

        if (window->m_pWndProc != nullptr)
        {
            result = window->m_pWndProc->WndProc(window, msg, static_cast<unsigned int>(wParam),
                                                 static_cast<long>(lParam));
        }
        else
        {
            if (msg == WM_DESTROY)
                PostQuitMessage(0);
            result = DefWindowProcW(hwnd, msg, wParam, lParam);
        }
    }
    catch (...)
    {
        // A paint handler that failed left its region invalid: WM_PAINT
        // would come straight back and fail again, at full speed, for as long
        // as the error is shown.
        if (msg == WM_PAINT)
            ValidateRect(hwnd, nullptr);
        Internal::KeepPendingException(std::current_exception());
        result = 0;
    }

    // The window's last message: its handle is dead from here on, and the
    // system may give the same value to a window made later. The object,
    // which may live on (a closed window waits for its owner to delete it),
    // must never reach that window.
    if (msg == WM_NCDESTROY)
    {
        window->m_hWnd = nullptr;
        SetWindowLongW(hwnd, GWL_USERDATA, 0);
    }
    return result;
}

void WindowBase::Show(int cmd)
{
    ShowWindow(m_hWnd, cmd);
    UpdateWindow(m_hWnd);
}

void WindowBase::Hide()
{
    Show(SW_HIDE);
}

bool WindowBase::IsVisible() const
{
    return IsWindowVisible(m_hWnd) != FALSE;
}

void WindowBase::SetTopMost(bool topMost)
{
    SetWindowPos(m_hWnd, topMost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
}

void WindowBase::SetOnTop()
{
    SetWindowPos(m_hWnd, HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
}

void WindowBase::SetOnBottom()
{
    SetWindowPos(m_hWnd, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
}

bool WindowBase::SetTitle(const wchar_t* title)
{
    return SetWindowTextW(m_hWnd, title) != FALSE;
}

bool WindowBase::SetIcon(const wchar_t* path)
{
    if (path == nullptr || !File::Exists(path))
        return false;
    return SetClassIcons(m_hWnd, Internal::LoadIconFile(path, Internal::IconSize::Large),
                         Internal::LoadIconFile(path, Internal::IconSize::Small));
}

bool WindowBase::SetIcon(int id)
{
    return SetClassIcons(m_hWnd, Internal::LoadProgramIcon(id, Internal::IconSize::Large),
                         Internal::LoadProgramIcon(id, Internal::IconSize::Small));
}

void WindowBase::SetWndProc(WindowProc* handler)
{
    m_pWndProc = handler;
}

void WindowBase::SetDragAndDropHandler(DragAndDropHandler* handler)
{
    DragAcceptFiles(m_hWnd, handler != nullptr);
    m_pDragAndDropHandler = handler;
}

void WindowBase::SetPosAndSize(int x, int y, int width, int height)
{
    m_iWidth = width;
    m_iHeight = height;
    ExpandClientToComp(width, height);
    SetWindowPos(m_hWnd, HWND_TOP, x, y, width, height, SWP_NOACTIVATE);
}

void WindowBase::SetPos(int x, int y)
{
    SetWindowPos(m_hWnd, HWND_TOP, x, y, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
}

void WindowBase::SetSize(int width, int height)
{
    m_iWidth = width;
    m_iHeight = height;
    ExpandClientToComp(width, height);
    SetWindowPos(m_hWnd, HWND_TOP, 0, 0, width, height, SWP_NOMOVE | SWP_NOACTIVATE);
}

void WindowBase::GetPos(int& x, int& y) const
{
    RECT rect;
    ZeroMemory(&rect, sizeof(rect));
    GetWindowRect(m_hWnd, &rect);
    x = rect.left;
    y = rect.top;
}

void WindowBase::GetSize(int& width, int& height) const
{
    width = m_iWidth;
    height = m_iHeight;
}

int WindowBase::GetWidth() const
{
    return m_iWidth;
}

int WindowBase::GetHeight() const
{
    return m_iHeight;
}

void WindowBase::GetRect(RECT& rect) const
{
    GetWindowRect(m_hWnd, &rect);
}

void WindowBase::ClientToScreen(POINT& point) const
{
    ::ClientToScreen(m_hWnd, &point);
}

void WindowBase::ScreenToClient(POINT& point) const
{
    ::ScreenToClient(m_hWnd, &point);
}

void WindowBase::ExpandClientToComp(int& width, int& height) const
{
    RECT rect = {0, 0, width, height};
    AdjustWindowRect(&rect, static_cast<DWORD>(GetWindowLongW(m_hWnd, GWL_STYLE)), FALSE);
    width = rect.right - rect.left;
    height = rect.bottom - rect.top;
}

void WindowBase::SetCapture() const
{
    ::SetCapture(m_hWnd);
}

void WindowBase::ReleaseCapture() const
{
    ::ReleaseCapture();
}

// Without a window these two do nothing: to the system a null window means
// "no focus" and "every window".
void WindowBase::SetFocus() const
{
    if (m_hWnd != nullptr)
        ::SetFocus(m_hWnd);
}

void WindowBase::Repaint() const
{
    if (m_hWnd != nullptr)
        InvalidateRect(m_hWnd, nullptr, FALSE);
}

HWND WindowBase::GetHandle() const
{
    return m_hWnd;
}

} // namespace Orvu
