// The test shell itself: it must see what Shell_NotifyIconW sends, answer as
// a shell does, and deliver the clicks and broadcasts it is told to, or every
// notification-area test built on it proves nothing.

#include "TestShell.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace
{

const UINT kCallback = WM_APP + 7;

std::vector<std::pair<UINT, LPARAM>> g_received;

LRESULT CALLBACK RecordingProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    static const UINT taskbarCreated = RegisterWindowMessageW(L"TaskbarCreated");
    if (msg == kCallback)
        g_received.push_back(std::make_pair(static_cast<UINT>(wParam), lParam));
    if (msg == taskbarCreated)
        g_received.push_back(std::make_pair(msg, 0));
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

class TestShellTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        g_received.clear();
        WNDCLASSW wc = {};
        wc.lpfnWndProc = RecordingProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"TestShellOwner";
        RegisterClassW(&wc);
        m_owner = CreateWindowExW(0, L"TestShellOwner", L"owner", WS_OVERLAPPEDWINDOW, 0, 0, 100,
                                  100, nullptr, nullptr, wc.hInstance, nullptr);
        ASSERT_NE(nullptr, m_owner);
        ASSERT_TRUE(m_shell.Start());
    }

    void TearDown() override
    {
        EXPECT_EQ(0, m_shell.Stop());
        DestroyWindow(m_owner);
    }

    NOTIFYICONDATAW Record(UINT uid, UINT flags, const wchar_t* tip, HICON icon)
    {
        NOTIFYICONDATAW nid = {};
        nid.cbSize = sizeof(nid);
        nid.hWnd = m_owner;
        nid.uID = uid;
        nid.uFlags = flags;
        nid.uCallbackMessage = kCallback;
        nid.hIcon = icon;
        if (tip)
            lstrcpynW(nid.szTip, tip, 128);
        return nid;
    }

    HWND m_owner = nullptr;
    TestShell m_shell;
};

} // namespace

TEST_F(TestShellTest, SeesAddModifyDeleteWithTipAndIconAndAnswersLikeAShell)
{
    const HICON app = LoadIconW(nullptr, IDI_APPLICATION);
    const size_t mark = m_shell.Mark();

    NOTIFYICONDATAW nid = Record(3, NIF_MESSAGE | NIF_ICON | NIF_TIP, L"first", app);
    EXPECT_TRUE(Shell_NotifyIconW(NIM_ADD, &nid));
    EXPECT_FALSE(Shell_NotifyIconW(NIM_ADD, &nid)) << "an icon is added once";
    nid = Record(3, NIF_TIP, L"say \"hi\" \\ \x00e9t\x00e9", nullptr);
    EXPECT_TRUE(Shell_NotifyIconW(NIM_MODIFY, &nid));
    nid = Record(4, NIF_TIP, L"nobody", nullptr);
    EXPECT_FALSE(Shell_NotifyIconW(NIM_MODIFY, &nid)) << "uid 4 was never added";
    nid = Record(3, 0, nullptr, nullptr);
    EXPECT_TRUE(Shell_NotifyIconW(NIM_DELETE, &nid));
    EXPECT_FALSE(Shell_NotifyIconW(NIM_DELETE, &nid));

    const std::vector<ShellEvent> seen = m_shell.NotificationsSince(mark);
    ASSERT_EQ(6u, seen.size());
    EXPECT_EQ("ADD", seen[0].kind);
    EXPECT_TRUE(seen[0].Succeeded());
    EXPECT_EQ(m_owner, seen[0].Owner());
    EXPECT_EQ(3u, seen[0].Number("uid"));
    EXPECT_EQ(7u, seen[0].Number("flags"));
    EXPECT_EQ(kCallback, seen[0].Number("callback"));
    EXPECT_EQ(L"first", seen[0].Tip());
    EXPECT_TRUE(ShowsIcon(seen[0], app)) << seen[0].line;
    EXPECT_FALSE(seen[1].Succeeded());
    EXPECT_EQ("MODIFY", seen[2].kind);
    EXPECT_EQ(L"say \"hi\" \\ \x00e9t\x00e9", seen[2].Tip());
    EXPECT_EQ("none", seen[2].Get("icon")) << seen[2].line;
    EXPECT_FALSE(seen[3].Succeeded());
    EXPECT_EQ("DELETE", seen[4].kind);
    EXPECT_TRUE(seen[4].Succeeded());
    EXPECT_FALSE(seen[5].Succeeded());
}

TEST_F(TestShellTest, IconChecksumsTellPicturesApart)
{
    const HICON app = LoadIconW(nullptr, IDI_APPLICATION);
    const HICON warning = LoadIconW(nullptr, IDI_WARNING);
    NOTIFYICONDATAW nid = Record(1, NIF_ICON, nullptr, warning);
    ASSERT_TRUE(Shell_NotifyIconW(NIM_ADD, &nid));
    const std::vector<ShellEvent> icons = m_shell.Icons();
    ASSERT_EQ(1u, icons.size());
    EXPECT_TRUE(ShowsIcon(icons[0], warning));
    EXPECT_FALSE(ShowsIcon(icons[0], app));
}

TEST_F(TestShellTest, PostsClickSequencesToTheOwnerWithTheIconId)
{
    NOTIFYICONDATAW nid = Record(9, NIF_MESSAGE | NIF_TIP, L"clicky", nullptr);
    ASSERT_TRUE(Shell_NotifyIconW(NIM_ADD, &nid));

    ASSERT_TRUE(m_shell.CommandAndWait("dblclick"));
    ASSERT_TRUE(m_shell.CommandAndWait("rclick"));
    ASSERT_TRUE(m_shell.CommandAndWait("post 0x0200"));
    ASSERT_TRUE(TestShell::WaitUntil([] { return g_received.size() >= 7; }));
    TestShell::Pump(50);

    const std::vector<std::pair<UINT, LPARAM>> expected = {
        {9, WM_LBUTTONDOWN}, {9, WM_LBUTTONUP}, {9, WM_LBUTTONDBLCLK}, {9, WM_LBUTTONUP},
        {9, WM_RBUTTONDOWN}, {9, WM_RBUTTONUP}, {9, WM_MOUSEMOVE}};
    EXPECT_EQ(expected, g_received);

    const size_t mark = m_shell.Mark();
    m_shell.Command("dblclick 0x1234 0");
    m_shell.Command("frobnicate");
    ASSERT_TRUE(TestShell::WaitUntil(
        [&]
        {
            const std::vector<ShellEvent> seen = m_shell.EventsSince(mark);
            return seen.size() >= 2;
        }));
    const std::vector<ShellEvent> seen = m_shell.EventsSince(mark);
    EXPECT_EQ("ERROR", seen[0].kind) << "no icon has that owner";
    EXPECT_EQ("ERROR", seen[1].kind) << "unknown command";
}

// Version 3, as granted from Windows 2000 on: a left click is followed by
// NIN_SELECT and a right click by WM_CONTEXTMENU; a shell told to refuse it,
// or asked for another version, keeps the plain mouse messages.
TEST_F(TestShellTest, GrantsVersion3AndThenSendsWhatAKeyboardAwareShellSends)
{
    NOTIFYICONDATAW nid = Record(9, NIF_MESSAGE, nullptr, nullptr);
    ASSERT_TRUE(Shell_NotifyIconW(NIM_ADD, &nid));
    nid.uVersion = 4;
    EXPECT_FALSE(Shell_NotifyIconW(NIM_SETVERSION, &nid)) << "only version 3 is known";
    nid.uVersion = NOTIFYICON_VERSION;
    EXPECT_TRUE(Shell_NotifyIconW(NIM_SETVERSION, &nid));
    const std::vector<ShellEvent> icons = m_shell.Icons();
    ASSERT_EQ(1u, icons.size());
    EXPECT_EQ("3", icons[0].Get("version"));

    ASSERT_TRUE(m_shell.CommandAndWait("lclick"));
    ASSERT_TRUE(m_shell.CommandAndWait("rclick"));
    ASSERT_TRUE(m_shell.CommandAndWait("keyselect"));
    ASSERT_TRUE(m_shell.CommandAndWait("contextmenu"));
    ASSERT_TRUE(TestShell::WaitUntil([] { return g_received.size() >= 8; }));
    TestShell::Pump(50);
    const std::vector<std::pair<UINT, LPARAM>> granted = {
        {9, WM_LBUTTONDOWN}, {9, WM_LBUTTONUP},   {9, NIN_SELECT},    {9, WM_RBUTTONDOWN},
        {9, WM_RBUTTONUP},   {9, WM_CONTEXTMENU}, {9, NIN_KEYSELECT}, {9, WM_CONTEXTMENU}};
    EXPECT_EQ(granted, g_received);

    // Added again and refused: mouse messages only.
    g_received.clear();
    ASSERT_TRUE(Shell_NotifyIconW(NIM_DELETE, &nid));
    ASSERT_TRUE(Shell_NotifyIconW(NIM_ADD, &nid));
    ASSERT_TRUE(m_shell.CommandAndWait("version refuse"));
    EXPECT_FALSE(Shell_NotifyIconW(NIM_SETVERSION, &nid));
    ASSERT_TRUE(m_shell.CommandAndWait("rclick"));
    ASSERT_TRUE(TestShell::WaitUntil([] { return g_received.size() >= 2; }));
    TestShell::Pump(50);
    const std::vector<std::pair<UINT, LPARAM>> refused = {{9, WM_RBUTTONDOWN}, {9, WM_RBUTTONUP}};
    EXPECT_EQ(refused, g_received);
}

TEST_F(TestShellTest, RestartForgetsIconsAndBroadcastsTaskbarCreated)
{
    NOTIFYICONDATAW nid = Record(1, NIF_TIP, L"before", nullptr);
    ASSERT_TRUE(Shell_NotifyIconW(NIM_ADD, &nid));
    ASSERT_EQ(1u, m_shell.Icons().size());

    ASSERT_TRUE(m_shell.CommandAndWait("restart"));
    EXPECT_TRUE(m_shell.Icons().empty());
    const UINT taskbarCreated = RegisterWindowMessageW(L"TaskbarCreated");
    EXPECT_TRUE(TestShell::WaitUntil(
        [&] { return !g_received.empty() && g_received.back().first == taskbarCreated; }));
    EXPECT_TRUE(Shell_NotifyIconW(NIM_ADD, &nid)) << "the icon can be added again";
}

TEST_F(TestShellTest, RefusingShellFailsEveryCall)
{
    ASSERT_TRUE(m_shell.CommandAndWait("refuse on"));
    NOTIFYICONDATAW nid = Record(1, NIF_TIP, L"x", nullptr);
    EXPECT_FALSE(Shell_NotifyIconW(NIM_ADD, &nid));
    ASSERT_TRUE(m_shell.CommandAndWait("refuse off"));
    EXPECT_TRUE(Shell_NotifyIconW(NIM_ADD, &nid));
}

TEST(TestShellIconDir, SavesEach32BitPictureAsABitmapFile)
{
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring dir = std::wstring(temp) + L"orvu-shell-icons";
    CreateDirectoryW(dir.c_str(), nullptr);
    const std::wstring saved = dir + L"\\icon-0001.bmp";
    DeleteFileW(saved.c_str());
    {
        TestShell shell;
        ASSERT_TRUE(shell.Start(L"--icon-dir \"" + dir + L"\""));
        NOTIFYICONDATAW nid = {};
        nid.cbSize = sizeof(nid);
        nid.hWnd = shell.Window();
        nid.uFlags = NIF_ICON;
        nid.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
        ASSERT_TRUE(Shell_NotifyIconW(NIM_ADD, &nid));
        const ShellEvent* added = shell.Find("ADD");
        ASSERT_NE(nullptr, added);
        ASSERT_EQ("32", added->Get("bpp")) << added->line;
        EXPECT_EQ("icon-0001.bmp", added->Get("file"));
    }

    // The saved bitmap holds exactly the colour bits the shell received.
    ICONINFO info;
    ASSERT_TRUE(GetIconInfo(LoadIconW(nullptr, IDI_APPLICATION), &info));
    BITMAP color = {};
    GetObjectW(info.hbmColor, sizeof(color), &color);
    std::vector<unsigned char> bits(color.bmWidth * color.bmHeight * 4);
    GetBitmapBits(info.hbmColor, static_cast<LONG>(bits.size()), bits.data());
    DeleteObject(info.hbmMask);
    DeleteObject(info.hbmColor);

    FILE* in = _wfopen(saved.c_str(), L"rb");
    ASSERT_NE(nullptr, in);
    std::vector<unsigned char> file(54 + bits.size() + 1);
    const size_t got = std::fread(file.data(), 1, file.size(), in);
    std::fclose(in);
    DeleteFileW(saved.c_str());
    RemoveDirectoryW(dir.c_str());
    ASSERT_EQ(54 + bits.size(), got);
    EXPECT_EQ('B', file[0]);
    EXPECT_EQ('M', file[1]);
    EXPECT_TRUE(std::equal(bits.begin(), bits.end(), file.begin() + 54));
}

// Under the null display driver nothing but a test shell owns the class.
TEST(TestShellAbsent, WithoutAShellWindowTheIconCannotBeAdded)
{
    ASSERT_EQ(nullptr, FindWindowW(L"Shell_TrayWnd", nullptr));
    NOTIFYICONDATAW nid = {};
    nid.cbSize = sizeof(nid);
    nid.hWnd = GetDesktopWindow();
    EXPECT_FALSE(Shell_NotifyIconW(NIM_ADD, &nid));
}
