// WindowBase: the window class, creation and sizes, the shared window
// procedure (WM_CREATE, WM_SIZE, dropped files, handler or default
// processing, the quit message), and the class icon.

#include "WindowBase.h"

#include <gtest/gtest.h>
#include <shlobj.h>
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace
{

// The icon resource linked into this test program.
const int kTestIconId = 101;

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

// Records the messages and dropped files it receives, in arrival order, and
// gives every message default processing.
class Recorder : public Orvu::WindowProc, public Orvu::DragAndDropHandler
{
public:
    int WndProc(Orvu::WindowBase* window, unsigned int msg, unsigned int wParam,
                long lParam) override
    {
        messages.push_back(msg);
        if (msg == WM_DROPFILES)
            events.push_back(L"<WM_DROPFILES>");
        return static_cast<int>(DefWindowProcW(window->GetHandle(), msg, wParam, lParam));
    }
    void DropFile(const wchar_t* path) override { events.push_back(path); }

    bool Saw(UINT msg) const
    {
        for (UINT seen : messages)
            if (seen == msg)
                return true;
        return false;
    }

    std::vector<UINT> messages;
    std::vector<std::wstring> events;
};

// A drop handle as the shell makes it: a DROPFILES header followed by the
// wide paths, each ending with a zero, and one more zero at the end.
HDROP MakeDrop(const std::vector<std::wstring>& files)
{
    size_t chars = 1;
    for (const std::wstring& file : files)
        chars += file.size() + 1;
    HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + chars * sizeof(wchar_t));
    DROPFILES* header = static_cast<DROPFILES*>(GlobalLock(memory));
    header->pFiles = sizeof(DROPFILES);
    header->fWide = TRUE;
    wchar_t* text = reinterpret_cast<wchar_t*>(reinterpret_cast<BYTE*>(header) + sizeof(DROPFILES));
    for (const std::wstring& file : files)
    {
        file.copy(text, file.size());
        text += file.size() + 1;
    }
    GlobalUnlock(memory);
    return static_cast<HDROP>(memory);
}

HICON ClassIcon(HWND window)
{
    return reinterpret_cast<HICON>(GetClassLongW(window, GCL_HICON));
}

// The icon that title bars show.
HICON SmallClassIcon(HWND window)
{
    return reinterpret_cast<HICON>(GetClassLongW(window, GCL_HICONSM));
}

bool IconIsLive(HICON icon)
{
    ICONINFO info = {};
    if (!GetIconInfo(icon, &info))
        return false;
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return true;
}

int IconWidth(HICON icon)
{
    ICONINFO info = {};
    if (!GetIconInfo(icon, &info))
        return -1;
    BITMAP bitmap = {};
    GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof(bitmap), &bitmap);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return bitmap.bmWidth;
}

// Writes a one-image .ico file: size x size pixels of one 32-bit colour.
void WriteIconFile(const std::wstring& path, int size, DWORD bgra)
{
    std::vector<BYTE> data;
    auto put16 = [&data](DWORD v)
    {
        data.push_back(static_cast<BYTE>(v));
        data.push_back(static_cast<BYTE>(v >> 8));
    };
    auto put32 = [&](DWORD v)
    {
        put16(v & 0xFFFF);
        put16(v >> 16);
    };
    const DWORD maskBytes = ((size + 31) / 32) * 4 * size;
    const DWORD colourBytes = size * size * 4;
    put16(0); // icon directory: reserved, type icon, one image
    put16(1);
    put16(1);
    data.push_back(static_cast<BYTE>(size)); // directory entry
    data.push_back(static_cast<BYTE>(size));
    data.push_back(0);
    data.push_back(0);
    put16(1);
    put16(32);
    put32(40 + colourBytes + maskBytes);
    put32(6 + 16);
    put32(40); // BITMAPINFOHEADER: the height counts colour and mask rows
    put32(size);
    put32(size * 2);
    put16(1);
    put16(32);
    put32(BI_RGB);
    put32(colourBytes + maskBytes);
    put32(0);
    put32(0);
    put32(0);
    put32(0);
    for (int i = 0; i < size * size; ++i)
        put32(bgra);
    data.insert(data.end(), maskBytes, 0);

    FILE* file = _wfopen(path.c_str(), L"wb");
    ASSERT_NE(nullptr, file);
    fwrite(data.data(), 1, data.size(), file);
    fclose(file);
}

std::wstring TempPath(const wchar_t* name)
{
    wchar_t folder[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, folder);
    return std::wstring(folder) + name;
}

// A window whose handler is set before the window exists, so the handler is
// in place for every message of the creation.
class EarlyHandlerWindow : public Orvu::WindowBase
{
public:
    explicit EarlyHandlerWindow(Recorder& recorder) { SetWndProc(&recorder); }
};

} // namespace

TEST(WindowBase, FreshObjectHasNoWindowAndA600By400ClientSize)
{
    Orvu::WindowBase window;
    EXPECT_EQ(nullptr, window.GetHandle());
    EXPECT_EQ(600, window.GetWidth());
    EXPECT_EQ(400, window.GetHeight());
}

TEST(WindowBase, OverlappedWindowOfTheEngineClassHasA600By400ClientArea)
{
    Orvu::WindowBase window;
    window.Create(WS_OVERLAPPEDWINDOW, 0, nullptr);
    ASSERT_NE(nullptr, window.GetHandle());
    const SIZE client = ClientSize(window.GetHandle());
    EXPECT_EQ(600, client.cx);
    EXPECT_EQ(400, client.cy);
    EXPECT_FALSE(window.IsVisible());

    wchar_t text[64] = {};
    GetClassNameW(window.GetHandle(), text, 64);
    EXPECT_STREQ(L"Orvu_Window", text);
    GetWindowTextW(window.GetHandle(), text, 64);
    EXPECT_STREQ(L"Orvu", text);

    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    ASSERT_TRUE(GetClassInfoExW(GetModuleHandleW(nullptr), L"Orvu_Window", &wc));
    EXPECT_EQ(static_cast<UINT>(CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS), wc.style);
    EXPECT_EQ(LoadCursorW(nullptr, IDC_ARROW), wc.hCursor);
    EXPECT_EQ(reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1), wc.hbrBackground);
    EXPECT_EQ(0, wc.cbClsExtra);
    EXPECT_EQ(0, wc.cbWndExtra);
    // This program has no icon 32512: the class falls back to the system's
    // application icon (until a SetIcon test replaces it).
    EXPECT_EQ(LoadIconW(nullptr, IDI_APPLICATION), wc.hIcon);
    DrainQueue();
}

TEST(WindowBase, StylesAndParentArePassedOn)
{
    Orvu::WindowBase parent;
    parent.Create(WS_OVERLAPPEDWINDOW, 0, nullptr);
    Orvu::WindowBase popup;
    popup.SetSize(120, 80);
    popup.Create(WS_POPUP | WS_BORDER, WS_EX_TOOLWINDOW, parent.GetHandle());
    const HWND handle = popup.GetHandle();
    EXPECT_EQ(static_cast<LONG>(WS_POPUP | WS_BORDER),
              GetWindowLongW(handle, GWL_STYLE) & (WS_POPUP | WS_BORDER | WS_CAPTION));
    EXPECT_NE(0, GetWindowLongW(handle, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    EXPECT_EQ(parent.GetHandle(), GetWindow(handle, GW_OWNER));
    // The size stored before creation is the client size of the new window.
    EXPECT_EQ(120, ClientSize(handle).cx);
    EXPECT_EQ(80, ClientSize(handle).cy);
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
    int width = 300, height = 200;
    window.ExpandClientToComp(width, height);
    EXPECT_GT(width, 300);
    EXPECT_GT(height, 200);
    EXPECT_EQ(width, frame.right - frame.left);
    EXPECT_EQ(height, frame.bottom - frame.top);
    DrainQueue();
}

TEST(WindowBase, SetPosAndSizeAndSetPosMoveTheFrame)
{
    Orvu::WindowBase window;
    window.Create(WS_OVERLAPPEDWINDOW, 0, nullptr);
    window.SetPosAndSize(40, 50, 250, 150);
    EXPECT_EQ(250, ClientSize(window.GetHandle()).cx);
    EXPECT_EQ(150, ClientSize(window.GetHandle()).cy);
    int x = 0, y = 0;
    window.GetPos(x, y);
    EXPECT_EQ(40, x);
    EXPECT_EQ(50, y);

    window.SetPos(70, 90);
    window.GetPos(x, y);
    EXPECT_EQ(70, x);
    EXPECT_EQ(90, y);
    int width = 0, height = 0;
    window.GetSize(width, height);
    EXPECT_EQ(250, width);
    EXPECT_EQ(150, height);
    EXPECT_EQ(250, ClientSize(window.GetHandle()).cx);

    POINT point = {0, 0};
    window.ClientToScreen(point);
    EXPECT_GT(point.x, 70);
    EXPECT_GT(point.y, 90);
    window.ScreenToClient(point);
    EXPECT_EQ(0, point.x);
    EXPECT_EQ(0, point.y);
    DrainQueue();
}

TEST(WindowBase, ResizeByTheSystemUpdatesTheStoredClientSize)
{
    Orvu::WindowBase window;
    window.Create(WS_OVERLAPPEDWINDOW, 0, nullptr);
    // Resized behind the object's back, as the user's dragging does.
    SetWindowPos(window.GetHandle(), nullptr, 0, 0, 500, 350, SWP_NOMOVE | SWP_NOZORDER);
    const SIZE client = ClientSize(window.GetHandle());
    EXPECT_EQ(client.cx, window.GetWidth());
    EXPECT_EQ(client.cy, window.GetHeight());
    EXPECT_LT(window.GetWidth(), 500);
    RECT frame = {};
    window.GetRect(frame);
    EXPECT_EQ(500, frame.right - frame.left);

    // Both halves of lParam are unsigned 16-bit sizes.
    SendMessageW(window.GetHandle(), WM_SIZE, SIZE_RESTORED, MAKELPARAM(0xFFFF, 0x8000));
    EXPECT_EQ(65535, window.GetWidth());
    EXPECT_EQ(32768, window.GetHeight());
    DrainQueue();
}

TEST(WindowBase, ShowAndHideGoThroughTheVirtualShow)
{
    struct CountingWindow : Orvu::WindowBase
    {
        std::vector<int> commands;
        void Show(int cmd) override
        {
            commands.push_back(cmd);
            Orvu::WindowBase::Show(cmd);
        }
    } window;
    window.Create(WS_OVERLAPPEDWINDOW, 0, nullptr);
    window.Show(SW_SHOW);
    EXPECT_TRUE(window.IsVisible());
    window.Hide();
    EXPECT_FALSE(window.IsVisible());
    EXPECT_EQ((std::vector<int>{SW_SHOW, SW_HIDE}), window.commands);
    DrainQueue();
}

TEST(WindowBase, TitleAndZOrder)
{
    Orvu::WindowBase window;
    window.Create(WS_OVERLAPPEDWINDOW, 0, nullptr);
    EXPECT_TRUE(window.SetTitle(L"Ohm \u00e9t\u00e9"));
    wchar_t text[64] = {};
    GetWindowTextW(window.GetHandle(), text, 64);
    EXPECT_STREQ(L"Ohm \u00e9t\u00e9", text);

    window.SetTopMost(true);
    EXPECT_NE(0, GetWindowLongW(window.GetHandle(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    window.SetTopMost(false);
    EXPECT_EQ(0, GetWindowLongW(window.GetHandle(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    DrainQueue();
}

TEST(WindowBase, SecondCreateDoesNothing)
{
    Orvu::WindowBase window;
    window.Create(WS_OVERLAPPEDWINDOW, 0, nullptr);
    const HWND first = window.GetHandle();
    EXPECT_NO_THROW(window.Create(WS_POPUP, WS_EX_TOOLWINDOW, nullptr));
    EXPECT_EQ(first, window.GetHandle());
    EXPECT_EQ(0, GetWindowLongW(first, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    DrainQueue();
}

TEST(WindowBase, DestroyingAWindowWithoutHandlerPostsQuitZero)
{
    DrainQueue();
    {
        Orvu::WindowBase window;
        window.Create(WS_OVERLAPPEDWINDOW, 0, nullptr);
        DestroyWindow(window.GetHandle());
        EXPECT_EQ(0, DrainQueue());
    }
    {
        // The destructor destroys the window, with the same effect.
        Orvu::WindowBase* window = new Orvu::WindowBase;
        window->Create(WS_OVERLAPPEDWINDOW, 0, nullptr);
        const HWND handle = window->GetHandle();
        delete window;
        EXPECT_FALSE(IsWindow(handle));
        EXPECT_EQ(0, DrainQueue());
    }
}

TEST(WindowBase, DestroyingAWindowWithHandlerLeavesTheQuitToTheHandler)
{
    DrainQueue();
    Recorder recorder;
    Orvu::WindowBase window;
    window.Create(WS_OVERLAPPEDWINDOW, 0, nullptr);
    window.SetWndProc(&recorder);
    DestroyWindow(window.GetHandle());
    EXPECT_TRUE(recorder.Saw(WM_DESTROY));
    EXPECT_EQ(-1, DrainQueue());
}

TEST(WindowBase, HandlerNeverSeesCreationOrWhatComesBefore)
{
    Recorder recorder;
    EarlyHandlerWindow window(recorder);
    // Visible at once, so the creation goes on with showing the window.
    window.Create(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, nullptr);
    EXPECT_FALSE(recorder.Saw(WM_NCCREATE));
    EXPECT_FALSE(recorder.Saw(WM_CREATE));
    // Messages after WM_CREATE within the creation do reach it.
    EXPECT_TRUE(recorder.Saw(WM_SHOWWINDOW));
    window.Hide();
    window.SetWndProc(nullptr);
    DrainQueue();
}

TEST(WindowBase, HandlerResultIsTheWindowProcedureResult)
{
    struct Answering : Orvu::WindowProc
    {
        int WndProc(Orvu::WindowBase* window, unsigned int msg, unsigned int wParam,
                    long lParam) override
        {
            if (msg == WM_APP)
                return static_cast<int>(wParam) * 2 + static_cast<int>(lParam);
            return static_cast<int>(DefWindowProcW(window->GetHandle(), msg, wParam, lParam));
        }
    } handler;
    Orvu::WindowBase window;
    window.Create(WS_OVERLAPPEDWINDOW, 0, nullptr);
    window.SetWndProc(&handler);
    EXPECT_EQ(43, SendMessageW(window.GetHandle(), WM_APP, 21, 1));
    // Without a handler the default procedure answers, and it ignores WM_APP.
    window.SetWndProc(nullptr);
    EXPECT_EQ(0, SendMessageW(window.GetHandle(), WM_APP, 21, 1));
    DrainQueue();
}

TEST(WindowBase, DroppedFilesReachTheDropHandlerInOrderThenTheHandler)
{
    Recorder recorder;
    Orvu::WindowBase window;
    window.Create(WS_OVERLAPPEDWINDOW, 0, nullptr);
    window.SetWndProc(&recorder);
    window.SetDragAndDropHandler(&recorder);
    EXPECT_NE(0, GetWindowLongW(window.GetHandle(), GWL_EXSTYLE) & WS_EX_ACCEPTFILES);

    const std::vector<std::wstring> files = {L"C:\\data\\b.txt", L"C:\\a.png",
                                             L"D:\\deep\\folder\\\u00fcml\u00e4ut.ini"};
    SendMessageW(window.GetHandle(), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop(files)), 0);
    const std::vector<std::wstring> expected = {files[0], files[1], files[2], L"<WM_DROPFILES>"};
    EXPECT_EQ(expected, recorder.events);
    DrainQueue();
}

TEST(WindowBase, ClearingTheDropHandlerStopsAcceptingDrops)
{
    Recorder recorder;
    Orvu::WindowBase window;
    window.Create(WS_OVERLAPPEDWINDOW, 0, nullptr);
    window.SetWndProc(&recorder);
    window.SetDragAndDropHandler(&recorder);
    window.SetDragAndDropHandler(nullptr);
    EXPECT_EQ(0, GetWindowLongW(window.GetHandle(), GWL_EXSTYLE) & WS_EX_ACCEPTFILES);

    // A drop that arrives anyway goes to the message handler alone, with the
    // drop handle still valid for it.
    HDROP drop = MakeDrop({L"C:\\x.txt"});
    SendMessageW(window.GetHandle(), WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
    EXPECT_EQ(std::vector<std::wstring>{L"<WM_DROPFILES>"}, recorder.events);
    EXPECT_EQ(1u, DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0));
    DragFinish(drop);
    DrainQueue();
}

TEST(WindowBase, LongDroppedPathsAreCutTo259Characters)
{
    Recorder recorder;
    Orvu::WindowBase window;
    window.Create(WS_OVERLAPPEDWINDOW, 0, nullptr);
    window.SetDragAndDropHandler(&recorder);

    std::wstring longPath = L"C:\\";
    while (longPath.size() < 300)
        longPath += L"abcdefghij\\";
    longPath.resize(300);
    const std::wstring exact(259, L'x');
    SendMessageW(window.GetHandle(), WM_DROPFILES,
                 reinterpret_cast<WPARAM>(MakeDrop({longPath, exact, L"C:\\after.txt"})), 0);
    ASSERT_EQ(3u, recorder.events.size());
    EXPECT_EQ(longPath.substr(0, 259), recorder.events[0]);
    EXPECT_EQ(exact, recorder.events[1]);
    EXPECT_EQ(L"C:\\after.txt", recorder.events[2]);
    // Without a message handler the drop still gets default processing only.
    EXPECT_TRUE(recorder.messages.empty());
    DrainQueue();
}

TEST(WindowBase, SetIconFromAMissingFileChangesNothing)
{
    Orvu::WindowBase window;
    window.Create(WS_OVERLAPPEDWINDOW, 0, nullptr);
    const HICON before = ClassIcon(window.GetHandle());
    EXPECT_NE(nullptr, before);
    EXPECT_FALSE(window.SetIcon(TempPath(L"orvu-no-such-icon.ico").c_str()));
    // A folder is not an icon file either.
    EXPECT_FALSE(window.SetIcon(TempPath(L"").c_str()));
    EXPECT_EQ(before, ClassIcon(window.GetHandle()));
    DrainQueue();
}

TEST(WindowBase, SetIconFromAFileSetsTheClassIconOfEveryWindow)
{
    const std::wstring path = TempPath(L"orvu-window-test.ico");
    WriteIconFile(path, 32, 0xFF00C000);
    Orvu::WindowBase window;
    window.Create(WS_OVERLAPPEDWINDOW, 0, nullptr);
    Orvu::WindowBase other;
    other.Create(WS_OVERLAPPEDWINDOW, 0, nullptr);
    const HICON before = ClassIcon(window.GetHandle());

    EXPECT_TRUE(window.SetIcon(path.c_str()));
    const HICON icon = ClassIcon(window.GetHandle());
    EXPECT_NE(before, icon);
    EXPECT_EQ(32, IconWidth(icon));
    EXPECT_EQ(icon, ClassIcon(other.GetHandle()));
    DeleteFileW(path.c_str());
    DrainQueue();
}

TEST(WindowBase, SetIconFromAResourceSetsTheLargeAndTheSmallClassIcon)
{
    Orvu::WindowBase window;
    window.Create(WS_OVERLAPPEDWINDOW, 0, nullptr);
    EXPECT_TRUE(window.SetIcon(kTestIconId));
    // The system's sizes at 96 DPI: taskbar and Alt+Tab 32, title bar 16.
    const HICON icon = ClassIcon(window.GetHandle());
    const HICON smallIcon = SmallClassIcon(window.GetHandle());
    EXPECT_EQ(32, IconWidth(icon));
    EXPECT_EQ(16, IconWidth(smallIcon));
    // An id the program lacks keeps the current icons.
    EXPECT_FALSE(window.SetIcon(4242));
    EXPECT_EQ(icon, ClassIcon(window.GetHandle()));
    EXPECT_EQ(smallIcon, SmallClassIcon(window.GetHandle()));
    EXPECT_TRUE(IconIsLive(icon));
    EXPECT_TRUE(IconIsLive(smallIcon));
    DrainQueue();
}

TEST(WindowBase, ReplacedIconsAreReleasedButNeverTheSharedOne)
{
    const std::wstring path = TempPath(L"orvu-window-repeat.ico");
    WriteIconFile(path, 32, 0xFFC00000);
    Orvu::WindowBase window;
    window.Create(WS_OVERLAPPEDWINDOW, 0, nullptr);

    std::vector<HICON> icons;
    for (int i = 0; i < 1000; ++i)
    {
        const bool set = (i % 2 == 0) ? window.SetIcon(path.c_str()) : window.SetIcon(kTestIconId);
        ASSERT_TRUE(set) << "call " << i;
        icons.push_back(SmallClassIcon(window.GetHandle()));
        icons.push_back(ClassIcon(window.GetHandle()));
    }
    // The last small and large icons are the class's; every earlier one is gone.
    int live = 0;
    for (size_t i = 0; i + 2 < icons.size(); ++i)
        if (IconIsLive(icons[i]))
            ++live;
    EXPECT_EQ(0, live) << "replaced icons still live";
    EXPECT_TRUE(IconIsLive(icons[icons.size() - 2]));
    EXPECT_TRUE(IconIsLive(icons.back()));
    DeleteFileW(path.c_str());
    DrainQueue();
}

TEST(WindowBase, CaptureAndFocusAndRepaint)
{
    Orvu::WindowBase window;
    window.Create(WS_OVERLAPPEDWINDOW, 0, nullptr);
    window.Show(SW_SHOW);
    window.SetCapture();
    EXPECT_EQ(window.GetHandle(), GetCapture());
    window.ReleaseCapture();
    EXPECT_EQ(nullptr, GetCapture());
    window.SetFocus();
    EXPECT_EQ(window.GetHandle(), GetFocus());

    ValidateRect(window.GetHandle(), nullptr);
    window.Repaint();
    RECT dirty = {};
    ASSERT_TRUE(GetUpdateRect(window.GetHandle(), &dirty, FALSE));
    EXPECT_EQ(window.GetWidth(), dirty.right - dirty.left);
    EXPECT_EQ(window.GetHeight(), dirty.bottom - dirty.top);
    window.Hide();
    DrainQueue();
}
