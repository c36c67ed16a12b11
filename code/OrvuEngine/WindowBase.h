#pragma once

#include "OrvuExport.h"

#include <windows.h>

namespace Orvu
{

class WindowBase;

// A window's message handler. WndProc returns the window procedure's result
// for the message and does default processing itself (DefWindowProcW with
// the window's handle) for every message whose default processing it wants.
class ORVU_API WindowProc
{
public:
    virtual ~WindowProc();
    // The window's object, the message number, wParam, lParam.
    virtual int WndProc(WindowBase* window, unsigned int msg, unsigned int wParam, long lParam) = 0;
};

// Receives the full path of each file dropped on a window, in the order the
// system lists them.
class ORVU_API DragAndDropHandler
{
public:
    virtual ~DragAndDropHandler();
    virtual void DropFile(const wchar_t* path) = 0;
};

// One top-level window of the window class "Orvu_Window", shared by every
// engine window. The object must outlive its window's messages. When the
// native window is destroyed (by the system, a close, or the destructor) the
// object forgets its handle: GetHandle is null from then on, and nothing is
// called with the dead handle.
//
// Exceptions that escape a handler (WindowProc::WndProc or
// DragAndDropHandler::DropFile) cannot unwind through the system's frames, so
// the window procedure catches them, keeps the first one for the calling
// thread and returns to the system; Core::Run rethrows it as soon as control
// is back in the run loop, which then ends through its error path.
class ORVU_API WindowBase
{
public:
    // No window yet; client size 600 x 400; no handlers.
    WindowBase();
    // DestroyWindow on the handle, if the window still exists.
    virtual ~WindowBase();

    WindowBase(const WindowBase&) = delete;
    WindowBase& operator=(const WindowBase&) = delete;

    // Style, extended style, parent. Creates the window once (later calls do
    // nothing while it exists) with the stored client size; calls the
    // protected Init.
    // Throws Exception ("Register window" or "Window create") on failure.
    virtual void Create(unsigned long style, unsigned long exStyle, HWND parent);
    // ShowWindow with the show command, then UpdateWindow.
    virtual void Show(int cmd);
    // Show(SW_HIDE) through the virtual Show.
    virtual void Hide();
    bool IsVisible() const;

    void SetTopMost(bool topMost);
    void SetOnTop();
    void SetOnBottom();
    bool SetTitle(const wchar_t* title);
    // Sets the large and small class icons (taskbar and Alt+Tab; title bars)
    // from an icon file, each at the size the system asks for (32 and 16
    // pixels at 96 DPI); false when the file does not exist. Releases the
    // icons a previous SetIcon loaded.
    bool SetIcon(const wchar_t* path);
    // The same from an icon resource of the program: the group's images of
    // the system's large and small icon sizes.
    bool SetIcon(int id);
    // Not owned; null removes the handler.
    void SetWndProc(WindowProc* handler);
    // Not owned; the window accepts dropped files while a handler is set.
    void SetDragAndDropHandler(DragAndDropHandler* handler);

    // Sizes are client sizes; the window is given the outer size.
    void SetPosAndSize(int x, int y, int width, int height);
    void SetPos(int x, int y);
    void SetSize(int width, int height);
    // Left and top of the outer frame, in screen coordinates.
    void GetPos(int& x, int& y) const;
    // The stored client size.
    void GetSize(int& width, int& height) const;
    int GetWidth() const;
    int GetHeight() const;
    // The outer frame (GetWindowRect).
    void GetRect(RECT& rect) const;

    virtual void ClientToScreen(POINT& point) const;
    virtual void ScreenToClient(POINT& point) const;
    // Turns a client width and height into the outer window size for the
    // window's current style.
    virtual void ExpandClientToComp(int& width, int& height) const;
    virtual void SetCapture() const;
    virtual void ReleaseCapture() const;
    // Nothing without a window.
    void SetFocus() const;
    // Invalidates the whole client area without erasing; nothing without a
    // window.
    virtual void Repaint() const;
    HWND GetHandle() const;

protected:
    // Style, extended style, parent: registers the class on first use and
    // creates the window unless it exists.
    void Init(unsigned long style, unsigned long exStyle, HWND parent);

private:
    void RegisterWindow();
    static LRESULT CALLBACK WndProcStatic(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

    HWND m_hWnd;
    int m_iWidth;
    int m_iHeight;
    WindowProc* m_pWndProc;
    DragAndDropHandler* m_pDragAndDropHandler;

    // True until the window class is registered; shared by all windows.
    static bool m_bRegisterWindow;
};

} // namespace Orvu
