// WindowBase: the window class, creation and sizes, the shared window
// procedure (WM_CREATE, WM_SIZE, dropped files, handler or default
// processing, the quit message), and the class icon.

#include "Exception.h"
#include "WindowBase.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace
{

// Removes every message waiting in the thread's queue; returns the code of a
// WM_QUIT among them, or -1.
int DrainQueue()
{
    int quitCode = -1;
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
    {
        if (msg.message == WM_QUIT)
            quitCode = static_cast<int>(msg.wParam);
        else
            DispatchMessageW(&msg);
    }
    return quitCode;
}

SIZE ClientSize(HWND window)
{
    RECT rect = {};
    GetClientRect(window, &rect);
    return SIZE{rect.right - rect.left, rect.bottom - rect.top};
}

} // namespace

TEST(WindowBase, FreshObjectHasNoWindowAndA600By400ClientSize)
{
    Orvu::WindowBase window;
    EXPECT_EQ(nullptr, window.GetHandle());
    EXPECT_EQ(600, window.GetWidth());
    EXPECT_EQ(400, window.GetHeight());
}

TEST(WindowBase, OverlappedWindowHasA600By400ClientArea)
{
    Orvu::WindowBase window;
    window.Create(WS_OVERLAPPEDWINDOW, 0, nullptr);
    ASSERT_NE(nullptr, window.GetHandle());
    const SIZE client = ClientSize(window.GetHandle());
    EXPECT_EQ(600, client.cx);
    EXPECT_EQ(400, client.cy);

    wchar_t className[64] = {};
    GetClassNameW(window.GetHandle(), className, 64);
    EXPECT_STREQ(L"Orvu_Window", className);
    wchar_t title[64] = {};
    GetWindowTextW(window.GetHandle(), title, 64);
    EXPECT_STREQ(L"Orvu", title);
    DrainQueue();
}

TEST(WindowBase, SetSizeGivesTheClientSizeWhileGetRectReportsTheFrame)
{
    Orvu::WindowBase window;
    window.Create(WS_OVERLAPPEDWINDOW, 0, nullptr);
    window.SetSize(300, 200);
    const SIZE client = ClientSize(window.GetHandle());
    EXPECT_EQ(300, client.cx);
    EXPECT_EQ(200, client.cy);
    EXPECT_EQ(300, window.GetWidth());
    EXPECT_EQ(200, window.GetHeight());

    RECT frame = {};
    window.GetRect(frame);
    EXPECT_GT(frame.right - frame.left, 300);
    EXPECT_GT(frame.bottom - frame.top, 200);
    DrainQueue();
}
