// The notification-area icon as the shell sees it, watched from outside the
// process through the test shell: what Init adds, tooltips, pictures from
// files and resources, removal, clicks, the menu, the keyboard, and a shell
// restart.

#include "ContextMenu.h"
#include "MenuDriver.h"
#include "TestShell.h"
#include "TrayIcon.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace
{

// Reaches the record and the hidden window.
class ProbeTray : public Orvu::TrayIcon
{
public:
    HICON Picture() const { return m_nid.hIcon; }
    HWND Window() const { return m_pWindow ? m_pWindow->GetHandle() : nullptr; }
};

class CountingListener : public Orvu::Callable
{
public:
    void Action(Orvu::Caller* caller) override { callers.push_back(caller); }
    std::vector<Orvu::Caller*> callers;
};

// Writes a one-image, 32-bit icon file whose pixels depend on seed.
bool WriteIconFile(const std::wstring& path, int size, unsigned seed)
{
    std::vector<unsigned char> bytes;
    auto put16 = [&](unsigned v)
    {
        bytes.push_back(v & 0xFF);
        bytes.push_back((v >> 8) & 0xFF);
    };
    auto put32 = [&](unsigned v)
    {
        put16(v & 0xFFFF);
        put16(v >> 16);
    };
    const unsigned maskRow = (size + 31) / 32 * 4;
    const unsigned imageBytes = 40 + size * size * 4 + maskRow * size;
    put16(0); // ICONDIR
    put16(1);
    put16(1);
    bytes.push_back(static_cast<unsigned char>(size)); // ICONDIRENTRY
    bytes.push_back(static_cast<unsigned char>(size));
    bytes.push_back(0);
    bytes.push_back(0);
    put16(1);
    put16(32);
    put32(imageBytes);
    put32(22);
    put32(40); // BITMAPINFOHEADER, height covers colour and mask
    put32(size);
    put32(size * 2);
    put16(1);
    put16(32);
    for (int i = 0; i < 6; ++i)
        put32(0);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
        {
            bytes.push_back(static_cast<unsigned char>(seed * 31 + x * 8));
            bytes.push_back(static_cast<unsigned char>(seed * 17 + y * 8));
            bytes.push_back(static_cast<unsigned char>(seed * 7 + x * y));
            bytes.push_back(0xFF);
        }
    bytes.insert(bytes.end(), maskRow * size, 0);

    FILE* out = _wfopen(path.c_str(), L"wb");
    if (!out)
        return false;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
    std::fclose(out);
    return ok;
}

std::wstring TempPath(const wchar_t* name)
{
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    return std::wstring(temp) + name;
}

// An icon handle of this process that the test owns while it compares.
class LoadedIcon
{
public:
    explicit LoadedIcon(HICON icon) : m_icon(icon) {}
    ~LoadedIcon()
    {
        if (m_icon)
            DestroyIcon(m_icon);
    }
    LoadedIcon(const LoadedIcon&) = delete;
    LoadedIcon& operator=(const LoadedIcon&) = delete;
    HICON Get() const { return m_icon; }

private:
    HICON m_icon;
};

HICON LoadFileIcon(const std::wstring& path)
{
    return static_cast<HICON>(
        LoadImageW(nullptr, path.c_str(), IMAGE_ICON, 16, 16, LR_LOADFROMFILE));
}

HICON LoadResourceIcon(int id)
{
    return static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id),
                                         IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR));
}

class TrayIconTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_fileA = TempPath(L"orvu-tray-a.ico");
        m_fileB = TempPath(L"orvu-tray-b.ico");
        ASSERT_TRUE(WriteIconFile(m_fileA, 16, 1));
        ASSERT_TRUE(WriteIconFile(m_fileB, 16, 2));
        ASSERT_TRUE(m_shell.Start()) << "the test shell did not start";
    }

    void TearDown() override
    {
        m_shell.Stop();
        DeleteFileW(m_fileA.c_str());
        DeleteFileW(m_fileB.c_str());
    }

    // The one icon the shell holds; fails the test when there is not exactly one.
    ShellEvent OnlyIcon()
    {
        const std::vector<ShellEvent> icons = m_shell.Icons();
        EXPECT_EQ(1u, icons.size());
        return icons.empty() ? ShellEvent() : icons[0];
    }

    TestShell m_shell;
    std::wstring m_fileA;
    std::wstring m_fileB;
};

} // namespace

TEST_F(TrayIconTest, InitAddsOneIconWithTheApplicationIconAndTooltipTrayIcon)
{
    const size_t mark = m_shell.Mark();
    ProbeTray tray;
    EXPECT_TRUE(m_shell.NotificationsSince(mark).empty()) << "nothing is shown before Init";
    tray.Init();
    tray.Init();

    const std::vector<ShellEvent> seen = m_shell.NotificationsSince(mark);
    ASSERT_EQ(2u, seen.size()) << "a second Init adds nothing";
    EXPECT_EQ("ADD", seen[0].kind);
    // The keyboard-aware notifications are asked for right after the add.
    EXPECT_EQ("SETVERSION", seen[1].kind);
    EXPECT_TRUE(seen[1].Succeeded());
    EXPECT_EQ(3u, seen[1].Number("version"));
    EXPECT_EQ(tray.Window(), seen[1].Owner());
    EXPECT_TRUE(seen[0].Succeeded());
    EXPECT_EQ(tray.Window(), seen[0].Owner());
    EXPECT_EQ(0u, seen[0].Number("uid"));
    EXPECT_EQ(static_cast<unsigned>(NIF_MESSAGE | NIF_ICON | NIF_TIP), seen[0].Number("flags"));
    EXPECT_EQ(static_cast<unsigned>(WM_USER), seen[0].Number("callback"));
    EXPECT_EQ(L"TrayIcon", seen[0].Tip());
    EXPECT_TRUE(ShowsIcon(seen[0], LoadIconW(nullptr, IDI_APPLICATION))) << seen[0].line;
    EXPECT_FALSE(IsWindowVisible(tray.Window())) << "the message window stays hidden";
}

TEST_F(TrayIconTest, DestructorRemovesTheIcon)
{
    {
        Orvu::TrayIcon neverShown;
    }
    const size_t mark = m_shell.Mark();
    HWND window = nullptr;
    {
        ProbeTray tray;
        tray.Init();
        window = tray.Window();
        ASSERT_EQ(1u, m_shell.Icons().size());
    }
    EXPECT_TRUE(m_shell.Icons().empty());
    const std::vector<ShellEvent> seen = m_shell.NotificationsSince(mark);
    ASSERT_EQ(3u, seen.size()) << "add, version, delete";
    EXPECT_EQ("DELETE", seen[2].kind);
    EXPECT_TRUE(seen[2].Succeeded());
    EXPECT_EQ(window, seen[2].Owner());
    EXPECT_FALSE(IsWindow(window)) << "the hidden window is destroyed too";
    MSG msg;
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE))
        << "destroying the hidden window must not end the program";
}

TEST_F(TrayIconTest, TooltipKeeps127CharactersAndCutsLongerText)
{
    ProbeTray tray;
    tray.Init();

    std::wstring text127;
    for (int i = 0; i < 127; ++i)
        text127 += static_cast<wchar_t>(L'A' + i % 26);
    EXPECT_TRUE(tray.SetName(text127.c_str()));
    EXPECT_EQ(text127, OnlyIcon().Tip());

    const std::wstring text200 = text127 + std::wstring(73, L'z');
    EXPECT_TRUE(tray.SetName(text200.c_str()));
    EXPECT_EQ(text127, OnlyIcon().Tip());

    // A surrogate pair across the limit is dropped whole.
    const std::wstring pair = std::wstring(126, L'x') + L"\xD83D\xDD0B" + L"tail";
    EXPECT_TRUE(tray.SetName(pair.c_str()));
    EXPECT_EQ(std::wstring(126, L'x'), OnlyIcon().Tip());

    EXPECT_TRUE(tray.SetName(L"short"));
    EXPECT_EQ(L"short", OnlyIcon().Tip()) << "no rest of the longer text remains";
    EXPECT_TRUE(ShowsIcon(OnlyIcon(), LoadIconW(nullptr, IDI_APPLICATION)));
}

TEST_F(TrayIconTest, ChangesReportWhetherTheShellTookThem)
{
    ProbeTray tray;
    const size_t mark = m_shell.Mark();
    EXPECT_FALSE(tray.SetName(L"early")) << "no icon before Init";
    EXPECT_FALSE(tray.SetIcon(m_fileA.c_str()));
    EXPECT_TRUE(m_shell.NotificationsSince(mark).empty());

    tray.Init();
    ASSERT_TRUE(m_shell.CommandAndWait("refuse on"));
    EXPECT_FALSE(tray.SetName(L"refused"));
    EXPECT_FALSE(tray.SetIcon(m_fileA.c_str()));
    EXPECT_FALSE(tray.SetIcon(3000));
    ASSERT_TRUE(m_shell.CommandAndWait("refuse off"));
    EXPECT_TRUE(tray.SetName(L"taken"));
}

TEST_F(TrayIconTest, IconAppearsAtTheNextChangeWhenTheShellStartedAfterInit)
{
    // At log-on the program may start before the notification area exists.
    m_shell.Stop();
    ProbeTray tray;
    tray.Init();
    ASSERT_TRUE(m_shell.Start());
    EXPECT_TRUE(tray.SetName(L"late shell"));
    EXPECT_EQ(L"late shell", OnlyIcon().Tip());
    EXPECT_EQ("3", OnlyIcon().Get("version")) << "the late add asks for the version too";
    EXPECT_TRUE(ShowsIcon(OnlyIcon(), LoadIconW(nullptr, IDI_APPLICATION)));
}

TEST_F(TrayIconTest, IconFromFileShowsIts16PixelPicture)
{
    ProbeTray tray;
    tray.Init();
    ASSERT_TRUE(tray.SetIcon(m_fileA.c_str()));
    LoadedIcon expected(LoadFileIcon(m_fileA));
    const ShellEvent icon = OnlyIcon();
    EXPECT_EQ("16x16", icon.Get("icon"));
    EXPECT_TRUE(ShowsIcon(icon, expected.Get())) << icon.line;
    EXPECT_EQ(L"TrayIcon", icon.Tip()) << "the tooltip stays";
}

TEST_F(TrayIconTest, IconFromAMissingOrUnreadableFileFailsAndKeepsThePicture)
{
    ProbeTray tray;
    tray.Init();
    ASSERT_TRUE(tray.SetIcon(m_fileA.c_str()));
    const HICON before = tray.Picture();
    const size_t mark = m_shell.Mark();

    EXPECT_FALSE(tray.SetIcon(TempPath(L"orvu-no-such-icon.ico").c_str()));
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    EXPECT_FALSE(tray.SetIcon(temp)) << "a folder is no icon file";
    const std::wstring text = TempPath(L"orvu-not-an-icon.ico");
    FILE* out = _wfopen(text.c_str(), L"wb");
    ASSERT_NE(nullptr, out);
    std::fputs("plain text, no icon", out);
    std::fclose(out);
    EXPECT_FALSE(tray.SetIcon(text.c_str()));
    DeleteFileW(text.c_str());

    EXPECT_TRUE(m_shell.NotificationsSince(mark).empty());
    EXPECT_EQ(before, tray.Picture());
    LoadedIcon expected(LoadFileIcon(m_fileA));
    EXPECT_TRUE(ShowsIcon(OnlyIcon(), expected.Get()));
}

TEST_F(TrayIconTest, IconFromResourceShowsIts16PixelPictureAndAMissingIdKeepsIt)
{
    ProbeTray tray;
    tray.Init();
    ASSERT_TRUE(tray.SetIcon(3001));
    LoadedIcon expected(LoadResourceIcon(3001));
    ShellEvent icon = OnlyIcon();
    EXPECT_EQ("16x16", icon.Get("icon"));
    EXPECT_TRUE(ShowsIcon(icon, expected.Get())) << icon.line;

    const size_t mark = m_shell.Mark();
    EXPECT_FALSE(tray.SetIcon(3999));
    EXPECT_TRUE(m_shell.NotificationsSince(mark).empty());
    EXPECT_TRUE(ShowsIcon(OnlyIcon(), expected.Get()));

    // Shown again after another picture (resource pictures are kept, so the
    // one replaced must not have been released).
    ASSERT_TRUE(tray.SetIcon(m_fileA.c_str()));
    ASSERT_TRUE(tray.SetIcon(3001));
    EXPECT_TRUE(ShowsIcon(OnlyIcon(), expected.Get()));
}

TEST_F(TrayIconTest, ReplacedPicturesAreReleased)
{
    std::vector<HICON> replaced;
    {
        ProbeTray tray;
        tray.Init();
        for (int i = 0; i < 1000; ++i)
        {
            replaced.push_back(tray.Picture());
            const bool changed = i % 3 == 0   ? tray.SetIcon(m_fileA.c_str())
                                 : i % 3 == 1 ? tray.SetIcon(3000)
                                              : tray.SetIcon(m_fileB.c_str());
            ASSERT_TRUE(changed) << "change " << i;
        }
        const HICON current = tray.Picture();
        ICONINFO info;
        ASSERT_TRUE(GetIconInfo(current, &info)) << "the picture shown is still alive";
        DeleteObject(info.hbmMask);
        DeleteObject(info.hbmColor);
        replaced.push_back(current);
    }
    size_t alive = 0;
    for (HICON icon : replaced)
    {
        ICONINFO info;
        if (GetIconInfo(icon, &info))
        {
            ++alive;
            DeleteObject(info.hbmMask);
            if (info.hbmColor)
                DeleteObject(info.hbmColor);
        }
    }
    EXPECT_EQ(0u, alive) << "of " << replaced.size() << " pictures, including the last one";

    ICONINFO info;
    ASSERT_TRUE(GetIconInfo(LoadIconW(nullptr, IDI_APPLICATION), &info))
        << "the shared system icon must survive";
    DeleteObject(info.hbmMask);
    DeleteObject(info.hbmColor);
}

TEST_F(TrayIconTest, DoubleClickFiresTheActionOnceWithTheTrayIconAsCaller)
{
    ProbeTray tray;
    CountingListener listener;
    tray.AddActionListener(&listener);
    tray.Init();

    ASSERT_TRUE(m_shell.CommandAndWait("lclick"));
    ASSERT_TRUE(m_shell.CommandAndWait("post 0x0202")); // a lone WM_LBUTTONUP
    TestShell::Pump(150);
    EXPECT_TRUE(listener.callers.empty()) << "single clicks do nothing";

    ASSERT_TRUE(m_shell.CommandAndWait("dblclick"));
    EXPECT_TRUE(TestShell::WaitUntil([&] { return !listener.callers.empty(); }));
    TestShell::Pump(150);
    ASSERT_EQ(1u, listener.callers.size());
    EXPECT_EQ(static_cast<Orvu::Caller*>(&tray), listener.callers[0]);
}

TEST_F(TrayIconTest, RightClickWithoutAMenuDoesNothing)
{
    ProbeTray tray;
    CountingListener listener;
    tray.AddActionListener(&listener);
    tray.Init();

    MenuDriver driver({VK_ESCAPE}, 800);
    ASSERT_TRUE(m_shell.CommandAndWait("rclick"));
    TestShell::Pump(300);
    driver.Join();
    EXPECT_FALSE(driver.SawMenu());
    EXPECT_TRUE(listener.callers.empty());
}

TEST_F(TrayIconTest, RightClickOpensTheMenuAtThePointerAndItsListenersRunAfterItCloses)
{
    ProbeTray tray;
    CountingListener trayListener;
    tray.AddActionListener(&trayListener);
    Orvu::ContextMenu menu;
    menu.AddMenuItem(L"Options", 6);
    menu.AddMenuItem(L"About", 5);
    menu.AddSeperator();
    menu.AddMenuItem(L"Exit", 1);
    CountingListener menuListener;
    menu.AddActionListener(&menuListener);
    tray.SetContextMenu(&menu);
    tray.Init();

    ASSERT_TRUE(m_shell.CommandAndWait("cursor 300 200"));
    POINT cursor;
    ASSERT_TRUE(GetCursorPos(&cursor));

    MenuDriver driver({VK_DOWN, VK_DOWN, VK_RETURN});
    ASSERT_TRUE(m_shell.CommandAndWait("rclick"));
    EXPECT_TRUE(TestShell::WaitUntil([&] { return !menuListener.callers.empty(); }));
    driver.Join();

    ASSERT_TRUE(driver.SawMenu());
    ASSERT_EQ(1u, menuListener.callers.size());
    EXPECT_EQ(static_cast<Orvu::Caller*>(&menu), menuListener.callers[0]);
    EXPECT_EQ(5u, menu.GetLastPressedItem());
    int x = 0, y = 0;
    menu.GetLastPos(x, y);
    EXPECT_EQ(cursor.x, x);
    EXPECT_EQ(cursor.y, y);
    EXPECT_EQ(tray.Window(), driver.MenuOwner()) << "the hidden window owns the menu";
    EXPECT_TRUE(trayListener.callers.empty()) << "a right click is no double click";

    // Dismissed: the listeners still run, with nothing chosen.
    MenuDriver dismiss({VK_ESCAPE});
    ASSERT_TRUE(m_shell.CommandAndWait("rclick"));
    EXPECT_TRUE(TestShell::WaitUntil([&] { return menuListener.callers.size() == 2; }));
    EXPECT_EQ(0u, menu.GetLastPressedItem());

    // Detached again: right clicks do nothing.
    tray.SetContextMenu(nullptr);
    MenuDriver none({VK_ESCAPE}, 800);
    ASSERT_TRUE(m_shell.CommandAndWait("rclick"));
    TestShell::Pump(300);
    none.Join();
    EXPECT_FALSE(none.SawMenu());
    EXPECT_EQ(2u, menuListener.callers.size());
}

TEST_F(TrayIconTest, ShellRestartAddsTheIconAgainWithItsCurrentTooltipAndPicture)
{
    ProbeTray tray;
    tray.Init();
    ASSERT_TRUE(tray.SetName(L"Ohm - 60%"));
    ASSERT_TRUE(tray.SetIcon(m_fileB.c_str()));

    const size_t mark = m_shell.Mark();
    ASSERT_TRUE(m_shell.CommandAndWait("restart"));
    ASSERT_TRUE(TestShell::WaitUntil([&] { return m_shell.Find("ADD", mark) != nullptr; }));
    const ShellEvent added = *m_shell.Find("ADD", mark);
    EXPECT_TRUE(added.Succeeded());
    EXPECT_EQ(tray.Window(), added.Owner());
    EXPECT_EQ(static_cast<unsigned>(NIF_MESSAGE | NIF_ICON | NIF_TIP), added.Number("flags"));
    EXPECT_EQ(static_cast<unsigned>(WM_USER), added.Number("callback"));
    EXPECT_EQ(L"Ohm - 60%", added.Tip());
    LoadedIcon expected(LoadFileIcon(m_fileB));
    EXPECT_TRUE(ShowsIcon(added, expected.Get())) << added.line;
    EXPECT_TRUE(TestShell::WaitUntil([&] { return m_shell.Find("SETVERSION", mark) != nullptr; }));
    EXPECT_EQ("3", OnlyIcon().Get("version")) << "the re-added icon asks for the version again";

    // The re-added icon is live: it takes changes and clicks as before.
    EXPECT_TRUE(tray.SetName(L"after"));
    EXPECT_EQ(L"after", OnlyIcon().Tip());
    CountingListener listener;
    tray.AddActionListener(&listener);
    ASSERT_TRUE(m_shell.CommandAndWait("dblclick"));
    EXPECT_TRUE(TestShell::WaitUntil([&] { return listener.callers.size() == 1; }));
}

// With a shell that grants version 3, as from Windows 2000 on: Enter or Space
// on the icon fires the action, the menu key opens the menu, and a right
// click, which the shell follows with WM_CONTEXTMENU, opens it only once.
TEST_F(TrayIconTest, KeyboardReachesTheActionAndTheMenuAndARightClickOpensItOnce)
{
    ProbeTray tray;
    CountingListener trayListener;
    tray.AddActionListener(&trayListener);
    Orvu::ContextMenu menu;
    menu.AddMenuItem(L"Options", 6);
    menu.AddMenuItem(L"Exit", 1);
    CountingListener menuListener;
    menu.AddActionListener(&menuListener);
    tray.SetContextMenu(&menu);
    tray.Init();
    ASSERT_EQ("3", OnlyIcon().Get("version"));

    ASSERT_TRUE(m_shell.CommandAndWait("keyselect"));
    EXPECT_TRUE(TestShell::WaitUntil([&] { return trayListener.callers.size() == 1; }));
    ASSERT_TRUE(m_shell.CommandAndWait("lclick")); // ends with NIN_SELECT
    TestShell::Pump(150);
    ASSERT_EQ(1u, trayListener.callers.size()) << "a single click still does nothing";
    EXPECT_EQ(static_cast<Orvu::Caller*>(&tray), trayListener.callers[0]);

    // The menu key: without the icon's place from the shell, at the pointer.
    ASSERT_TRUE(m_shell.CommandAndWait("cursor 320 240"));
    POINT cursor;
    ASSERT_TRUE(GetCursorPos(&cursor));
    {
        MenuDriver driver({VK_DOWN, VK_RETURN});
        ASSERT_TRUE(m_shell.CommandAndWait("contextmenu"));
        EXPECT_TRUE(TestShell::WaitUntil([&] { return menuListener.callers.size() == 1; }));
        driver.Join();
        EXPECT_TRUE(driver.SawMenu());
    }
    EXPECT_EQ(6u, menu.GetLastPressedItem());
    int x = 0, y = 0;
    menu.GetLastPos(x, y);
    EXPECT_EQ(cursor.x, x);
    EXPECT_EQ(cursor.y, y);

    // A right click: WM_RBUTTONUP, then WM_CONTEXTMENU; one menu.
    {
        MenuDriver driver({VK_ESCAPE});
        ASSERT_TRUE(m_shell.CommandAndWait("rclick"));
        EXPECT_TRUE(TestShell::WaitUntil([&] { return menuListener.callers.size() == 2; }));
        driver.Join();
        EXPECT_TRUE(driver.SawMenu());
    }
    MenuDriver second({VK_ESCAPE}, 800);
    TestShell::Pump(400);
    second.Join();
    EXPECT_FALSE(second.SawMenu()) << "a right click opened the menu twice";
    EXPECT_EQ(2u, menuListener.callers.size());
    EXPECT_EQ(1u, trayListener.callers.size());
}

// A shell that refuses version 3 sends mouse messages only: the right click
// opens the menu on its button-up, and the keyboard notifications, should
// any come, do nothing.
TEST_F(TrayIconTest, AShellWithoutTheVersionKeepsTheMouseBehaviour)
{
    ASSERT_TRUE(m_shell.CommandAndWait("version refuse"));
    ProbeTray tray;
    CountingListener trayListener;
    tray.AddActionListener(&trayListener);
    Orvu::ContextMenu menu;
    menu.AddMenuItem(L"Options", 6);
    CountingListener menuListener;
    menu.AddActionListener(&menuListener);
    tray.SetContextMenu(&menu);
    const size_t mark = m_shell.Mark();
    tray.Init();
    const ShellEvent* version = m_shell.Find("SETVERSION", mark);
    ASSERT_NE(nullptr, version);
    EXPECT_FALSE(version->Succeeded());

    {
        MenuDriver driver({VK_ESCAPE});
        ASSERT_TRUE(m_shell.CommandAndWait("rclick"));
        EXPECT_TRUE(TestShell::WaitUntil([&] { return menuListener.callers.size() == 1; }));
        driver.Join();
        EXPECT_TRUE(driver.SawMenu());
    }
    MenuDriver none({VK_ESCAPE}, 800);
    ASSERT_TRUE(m_shell.CommandAndWait("contextmenu"));
    ASSERT_TRUE(m_shell.CommandAndWait("keyselect"));
    TestShell::Pump(400);
    none.Join();
    EXPECT_FALSE(none.SawMenu());
    EXPECT_EQ(1u, menuListener.callers.size());
    EXPECT_TRUE(trayListener.callers.empty());

    ASSERT_TRUE(m_shell.CommandAndWait("dblclick"));
    EXPECT_TRUE(TestShell::WaitUntil([&] { return trayListener.callers.size() == 1; }));
}
