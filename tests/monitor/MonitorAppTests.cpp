// The monitor's application object, alert, about and options windows and
// tray, run in-process under Wine's null display driver. A window of class
// "Shell_TrayWnd" in the test stands in for the shell and records every
// notification-area call. Calls of the engine into the system are counted
// or refused through its import slots where a test needs it.

#include "AllocationCounter.h"
#include "Core.h"
#include "ExitRequestWindow.h"
#include "ImportSlot.h"
#include "MenuDriver.h"
#include "Ohmwatch.h"
#include "OPPicManager.h"
#include "Picture.h"
#include "ProductInfo.h"
#include "Surface.h"
#include "Tray.h"
#include "WindowAbout.h"
#include "WindowAlert.h"
#include "WindowManager.h"
#include "WindowOptions.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace
{

struct ShellCall
{
    DWORD code; // NIM_ADD 0, NIM_MODIFY 1, NIM_DELETE 2
    UINT flags;
    std::wstring tip;
};

// Wine's shell32 hands every Shell_NotifyIconW call to the first window of
// class "Shell_TrayWnd" as WM_COPYDATA; the reply is the call's result.
class ShellRecorder
{
public:
    ShellRecorder()
    {
        WNDCLASSEXW wc;
        ZeroMemory(&wc, sizeof(wc));
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = Proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"Shell_TrayWnd";
        RegisterClassExW(&wc);
        m_hWnd = CreateWindowExW(0, L"Shell_TrayWnd", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
        s_pCalls = &m_calls;
    }
    ~ShellRecorder()
    {
        DestroyWindow(m_hWnd);
        s_pCalls = nullptr;
    }
    ShellRecorder(const ShellRecorder&) = delete;
    ShellRecorder& operator=(const ShellRecorder&) = delete;

    const std::vector<ShellCall>& Calls() const { return m_calls; }
    bool Created() const { return m_hWnd != nullptr; }
    // The window that owns the icon (the tray's hidden window), once a call came.
    HWND IconOwner() const { return s_owner; }

private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_COPYDATA && s_pCalls != nullptr)
        {
            const COPYDATASTRUCT* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
            const BYTE* bytes = static_cast<const BYTE*>(data->lpData);
            ShellCall call;
            call.code = static_cast<DWORD>(data->dwData);
            call.flags = *reinterpret_cast<const UINT*>(bytes + 8);
            // The tooltip at byte 16, 128 wide characters.
            const wchar_t* tip = reinterpret_cast<const wchar_t*>(bytes + 16);
            call.tip.assign(tip, wcsnlen(tip, 128));
            s_pCalls->push_back(call);
            s_owner = reinterpret_cast<HWND>(wParam);
            return TRUE;
        }
        return DefWindowProcW(window, message, wParam, lParam);
    }

    static std::vector<ShellCall>* s_pCalls;
    static HWND s_owner;
    HWND m_hWnd;
    std::vector<ShellCall> m_calls;
};

std::vector<ShellCall>* ShellRecorder::s_pCalls = nullptr;
HWND ShellRecorder::s_owner = nullptr;

void PumpMessages()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
    {
        if (msg.message == WM_QUIT)
            continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

bool QuitPosted(int& code)
{
    MSG msg;
    if (PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE))
    {
        code = static_cast<int>(msg.wParam);
        return true;
    }
    return false;
}

// An application object with settings and plugins but without Init, so a
// test can build just the part it looks at. Released at the end.
struct PartialApp
{
    PartialApp()
    {
        SetDefaultSettings(app.m_settings);
        app.m_pPicManager = new Orvu::OPPicManager();
        app.m_pPicManager->LoadPlugins(L"plugins\\");
    }
    ~PartialApp() { app.Release(); }
    Ohmwatch app;
};

// Writes a picture with soft alpha through the plugins, so the alert tests
// do not depend on the shipped artwork.
std::wstring WriteTestPicture(Orvu::OPPicManager* manager, unsigned width, unsigned height)
{
    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    std::wstring path = std::wstring(folder) + L"ohmwatch-alert-test.png";
    Orvu::Picture picture;
    picture.SetSize(width, height);
    for (unsigned y = 0; y < height; ++y)
        for (unsigned x = 0; x < width; ++x)
            picture.SetPixel(Orvu::Color(200, static_cast<unsigned char>(x), 40,
                                         static_cast<unsigned char>(y * 255 / height)),
                             x, y);
    picture.Buffer();
    if (!manager->SavePicture(path.c_str(), &picture))
        return L"";
    return path;
}

LONG ExStyle(HWND window)
{
    return GetWindowLongW(window, GWL_EXSTYLE);
}

HMODULE Engine()
{
    return GetModuleHandleW(L"OrvuEngine.dll");
}

// The system refusing a layered window's content, as it does in some remote
// or locked sessions and at low colour depths.
BOOL WINAPI RefuseLayeredContent(HWND, HDC, POINT*, SIZE*, HDC, POINT*, COLORREF, BLENDFUNCTION*,
                                 DWORD)
{
    return FALSE;
}

// Counts the engine's calls of SetFocus and DestroyWindow with the handle of
// a window that no longer exists (the system may give its value to another).
struct DeadHandleCalls
{
    static HWND WINAPI SetFocusSeen(HWND window)
    {
        Count(window);
        return SetFocus(window);
    }
    static BOOL WINAPI DestroyWindowSeen(HWND window)
    {
        Count(window);
        return DestroyWindow(window);
    }
    static void Count(HWND window)
    {
        if (window != nullptr && window == s_dead)
            ++s_calls;
    }
    static HWND s_dead;
    static int s_calls;
};
HWND DeadHandleCalls::s_dead = nullptr;
int DeadHandleCalls::s_calls = 0;

} // namespace

TEST(WindowAlert, WithoutPictureIsTheRedBannerCentredAndTopMost)
{
    PartialApp fixture;
    fixture.app.m_settings.AlertImage = L"no-such-picture.png";
    WindowAlert alert(&fixture.app);
    alert.Setup();

    EXPECT_FALSE(alert.IsTransparent());
    EXPECT_FALSE(alert.IsVisible());
    RECT rect;
    GetWindowRect(alert.GetHandle(), &rect);
    EXPECT_EQ(1400, rect.right - rect.left);
    EXPECT_EQ(180, rect.bottom - rect.top);
    // Wider than the screen: centred at a negative place.
    EXPECT_EQ((GetSystemMetrics(SM_CXSCREEN) - 1400) / 2, rect.left);
    EXPECT_EQ((GetSystemMetrics(SM_CYSCREEN) - 180) / 2, rect.top);
    EXPECT_EQ(0, ExStyle(alert.GetHandle()) & WS_EX_LAYERED);
    EXPECT_NE(0, ExStyle(alert.GetHandle()) & WS_EX_TOPMOST);
    EXPECT_EQ(WS_POPUP, GetWindowLongW(alert.GetHandle(), GWL_STYLE) & (WS_POPUP | WS_CAPTION));
    wchar_t title[64];
    GetWindowTextW(alert.GetHandle(), title, 64);
    EXPECT_EQ(std::wstring(L"Ohmwatch - power disconnected"), title);
}

TEST(WindowAlert, WithPictureIsLayeredAtThePictureSize)
{
    PartialApp fixture;
    const std::wstring path = WriteTestPicture(fixture.app.m_pPicManager, 300, 120);
    ASSERT_FALSE(path.empty()) << "the picture plugins could not write a PNG";
    fixture.app.m_settings.AlertImage = path;
    WindowAlert alert(&fixture.app);
    alert.Setup();

    EXPECT_TRUE(alert.IsTransparent());
    RECT rect;
    GetWindowRect(alert.GetHandle(), &rect);
    EXPECT_EQ(300, rect.right - rect.left);
    EXPECT_EQ(120, rect.bottom - rect.top);
    EXPECT_EQ((GetSystemMetrics(SM_CXSCREEN) - 300) / 2, rect.left);
    EXPECT_EQ((GetSystemMetrics(SM_CYSCREEN) - 120) / 2, rect.top);
    EXPECT_NE(0, ExStyle(alert.GetHandle()) & WS_EX_LAYERED);
    EXPECT_NE(0, ExStyle(alert.GetHandle()) & WS_EX_TOPMOST);
    DeleteFileW(path.c_str());
}

// With transparency switched off, and when the system refuses the layered
// window's content (the alert would stay invisible for the whole run): an
// ordinary popup painted with the picture.
TEST(WindowAlert, WithoutTransparencyOrLayeredContentIsAPopupPaintedWithThePicture)
{
    for (const bool refused : {false, true})
    {
        SCOPED_TRACE(refused ? "layered content refused" : "AlertUseTransparency:0");
        PartialApp fixture;
        const std::wstring path = WriteTestPicture(fixture.app.m_pPicManager, 300, 120);
        ASSERT_FALSE(path.empty());
        fixture.app.m_settings.AlertImage = path;
        fixture.app.m_settings.AlertUseTransparency = refused;
        std::unique_ptr<ImportSlot::Scoped> refusal;
        if (refused)
        {
            refusal.reset(new ImportSlot::Scoped(Engine(), "user32.dll", "UpdateLayeredWindow",
                                                 reinterpret_cast<void*>(&RefuseLayeredContent)));
            ASSERT_TRUE(refusal->Installed());
        }
        WindowAlert alert(&fixture.app);
        alert.Setup();

        EXPECT_FALSE(alert.IsTransparent());
        EXPECT_EQ(0, ExStyle(alert.GetHandle()) & WS_EX_LAYERED);
        RECT rect;
        GetWindowRect(alert.GetHandle(), &rect);
        EXPECT_EQ(300, rect.right - rect.left);
        EXPECT_EQ(120, rect.bottom - rect.top);

        // Painted through its handler: the picture's opaque bottom row shows.
        alert.Show(SW_SHOW);
        PumpMessages();
        HDC dc = GetDC(alert.GetHandle());
        const COLORREF bottom = GetPixel(dc, 10, 119);
        ReleaseDC(alert.GetHandle(), dc);
        EXPECT_GT(GetRValue(bottom), 150) << std::hex << bottom;
        EXPECT_LT(GetBValue(bottom), 80) << std::hex << bottom;
        DeleteFileW(path.c_str());
    }
}

TEST(WindowAlert, LeftClickDismissesUntilTheNextHide)
{
    PartialApp fixture;
    fixture.app.m_settings.AlertImage = L"no-such-picture.png";
    WindowAlert alert(&fixture.app);
    alert.Setup();
    const HWND handle = alert.GetHandle();

    alert.Show(SW_SHOW);
    EXPECT_TRUE(alert.IsVisible());
    SendMessageW(handle, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_FALSE(alert.IsVisible());
    EXPECT_TRUE(alert.IsDismissed());

    alert.Show(SW_SHOW);
    EXPECT_FALSE(alert.IsVisible()) << "a dismissed alert must stay away";

    alert.Hide();
    EXPECT_FALSE(alert.IsDismissed());
    alert.Show(SW_SHOW);
    EXPECT_TRUE(alert.IsVisible());
}

TEST(WindowAlert, CloseAndAltF4HideWithoutDismissingOrDestroying)
{
    PartialApp fixture;
    fixture.app.m_settings.AlertImage = L"no-such-picture.png";
    WindowAlert alert(&fixture.app);
    alert.Setup();
    const HWND handle = alert.GetHandle();

    alert.Show(SW_SHOW);
    EXPECT_EQ(1, SendMessageW(handle, WM_CLOSE, 0, 0));
    EXPECT_FALSE(alert.IsVisible());
    EXPECT_TRUE(IsWindow(handle));
    EXPECT_FALSE(alert.IsDismissed());
    alert.Show(SW_SHOW);
    EXPECT_TRUE(alert.IsVisible());

    // Alt+F4 arrives as the system command SC_CLOSE, which closes the window.
    SendMessageW(handle, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_FALSE(alert.IsVisible());
    EXPECT_TRUE(IsWindow(handle));
    alert.Show(SW_SHOW);
    EXPECT_TRUE(alert.IsVisible());
}

TEST(InfoWindows, AboutAndOptionsHaveTheirTitlesAndClientSizes)
{
    PartialApp fixture;
    fixture.app.m_pWindowManager = new WindowManager();
    WindowAbout* about = new WindowAbout(&fixture.app);
    about->Setup();
    fixture.app.m_pWindowManager->AddWindow(5, about);
    WindowOptions* options = new WindowOptions(&fixture.app);
    options->Setup();
    fixture.app.m_pWindowManager->AddWindow(6, options);

    const struct
    {
        HWND window;
        const wchar_t* title;
        int height;
    } cases[] = {{about->GetHandle(), L"Ohmwatch - About", 100},
                 {options->GetHandle(), L"Ohmwatch - Options", 200}};
    for (const auto& c : cases)
    {
        EXPECT_TRUE(IsWindowVisible(c.window));
        wchar_t title[64];
        GetWindowTextW(c.window, title, 64);
        EXPECT_EQ(std::wstring(c.title), title);
        RECT client;
        GetClientRect(c.window, &client);
        EXPECT_EQ(340, client.right);
        EXPECT_EQ(c.height, client.bottom);
        EXPECT_EQ(0, ExStyle(c.window) & WS_EX_TOPMOST);
    }

    // Painted light grey with dark text somewhere in the first line.
    PumpMessages();
    HDC dc = GetDC(about->GetHandle());
    EXPECT_EQ(RGB(250, 250, 250), GetPixel(dc, 335, 95));
    int dark = 0;
    for (int x = 10; x < 200; ++x)
        for (int y = 10; y < 28; ++y)
            dark += GetRValue(GetPixel(dc, x, y)) < 100 ? 1 : 0;
    ReleaseDC(about->GetHandle(), dc);
    EXPECT_GT(dark, 20);
}

// What the options window shows for the settings, read back from the window
// and compared with the two lines drawn in its font on its background.
TEST(InfoWindows, OptionsShowTheSettingsInEffect)
{
    const struct
    {
        bool doShow;
        signed char percent;
        const wchar_t* first;
        const wchar_t* second;
    } cases[] = {{true, 100, L"Show alert = true", L"Alert popup = 100%"},
                 {false, 30, L"Show alert = false", L"Alert popup = 30%"},
                 {true, -56, L"Show alert = true", L"Alert popup = -56%"}};
    for (const auto& c : cases)
    {
        PartialApp fixture;
        fixture.app.m_settings.AlertDoShow = c.doShow;
        fixture.app.m_settings.AlertShowPercent = c.percent;
        fixture.app.m_pWindowManager = new WindowManager();
        WindowOptions* options = new WindowOptions(&fixture.app);
        options->Setup();
        fixture.app.m_pWindowManager->AddWindow(6, options);
        PumpMessages();
        Surface shot(340, 200);
        shot.CaptureWindow(options->GetHandle());

        Surface expected(340, 200);
        expected.Fill(RGB(250, 250, 250));
        HFONT font = CreateFontW(18, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, L"Ariel");
        HGDIOBJ old = SelectObject(expected.DC(), font);
        SetBkMode(expected.DC(), TRANSPARENT);
        SetTextColor(expected.DC(), RGB(0, 0, 0));
        TextOutW(expected.DC(), 10, 10, c.first, static_cast<int>(wcslen(c.first)));
        TextOutW(expected.DC(), 10, 30, c.second, static_cast<int>(wcslen(c.second)));
        SelectObject(expected.DC(), old);
        DeleteObject(font);

        int differing = 0;
        for (int y = 0; y < 200; ++y)
            for (int x = 0; x < 340; ++x)
                differing += shot.At(x, y) != expected.At(x, y) ? 1 : 0;
        EXPECT_EQ(0, differing) << "the window does not read \""
                                << std::string(c.first, c.first + wcslen(c.first)) << "\", \""
                                << std::string(c.second, c.second + wcslen(c.second)) << "\"";
    }
}

TEST(InfoWindows, ClosingQueuesRemovalAndTheNextTickDeletes)
{
    PartialApp fixture;
    fixture.app.m_pWindowManager = new WindowManager();
    WindowAbout* about = new WindowAbout(&fixture.app);
    about->Setup();
    fixture.app.m_pWindowManager->AddWindow(5, about);
    const HWND handle = about->GetHandle();
    // Windows deleted by earlier tests without a handler posted the quit
    // message; only a new one counts here.
    int code = -1;
    QuitPosted(code);

    SendMessageW(handle, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(handle));
    // Still registered until the tick deletes it.
    EXPECT_EQ(about, fixture.app.m_pWindowManager->GetWindow(5));
    fixture.app.m_pWindowManager->DestroyClosed();
    EXPECT_EQ(nullptr, fixture.app.m_pWindowManager->GetWindow(5));
    EXPECT_FALSE(QuitPosted(code)) << "closing the about window must not end the program";
}

class MonitorApp : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_shell.Created());
        m_app = new Ohmwatch();
        m_app->Init();
    }
    void TearDown() override
    {
        if (m_app != nullptr)
        {
            m_app->Release();
            delete m_app;
        }
        int code;
        QuitPosted(code);
    }

    ShellRecorder m_shell;
    Ohmwatch* m_app = nullptr;
};

TEST_F(MonitorApp, InitShowsOnlyTheIconWithTheStartingTooltip)
{
    ASSERT_FALSE(m_shell.Calls().empty());
    EXPECT_EQ(0u, m_shell.Calls().front().code);
    EXPECT_EQ(std::wstring(L"Ohmwatch"), m_shell.Calls().back().tip);
    EXPECT_FALSE(m_app->m_pWindowManager->GetWindow(1)->IsVisible());
    EXPECT_FALSE(m_app->m_pWindowManager->GetWindow(2)->IsVisible());
    EXPECT_NE(nullptr, dynamic_cast<WindowAlert*>(m_app->m_pWindowManager->GetWindow(2)));
}

TEST_F(MonitorApp, TickWithoutChangeNeitherAllocatesNorTalksToTheShell)
{
    m_app->Tick(); // the first tick always sees a change from the initial status
    const size_t calls = m_shell.Calls().size();
    ASSERT_GE(calls, 1u);
    const ShellCall last = m_shell.Calls().back();
    // This machine has no battery: mains power, 255 %.
    EXPECT_EQ(std::wstring(L"Ohmwatch - plugged in"), last.tip);

    AllocationCounter counter;
    for (int i = 0; i < 2000; ++i)
        m_app->Tick();
    EXPECT_EQ(0, counter.News());
    EXPECT_EQ(calls, m_shell.Calls().size());
}

TEST(AllocationCounter, SeesWhatTheEngineAllocates)
{
    // The tick above is only proven allocation-free if allocations made in
    // the engine's own module are counted too, not only the test program's.
    Orvu::OPPicManager manager;
    const Orvu::PicPluginExt ext = {L".counted", L"", nullptr, true, false};
    AllocationCounter counter;
    manager.AddExt(ext);
    EXPECT_LT(0, counter.News());
}

TEST_F(MonitorApp, ChangeRepaintsTheVisibleStatusWindowOnly)
{
    m_app->Tick();
    Orvu::WindowBase* status = m_app->m_pWindowManager->GetWindow(1);
    status->Show(SW_SHOW);
    PumpMessages();
    RECT dirty;
    ASSERT_FALSE(GetUpdateRect(status->GetHandle(), &dirty, FALSE));

    m_app->Tick();
    EXPECT_FALSE(GetUpdateRect(status->GetHandle(), &dirty, FALSE)) << "no change, no repaint";

    // Pretend the last status was another, so the next poll is a change.
    m_app->m_lastStatus.percent = 42;
    const size_t calls = m_shell.Calls().size();
    m_app->Tick();
    EXPECT_TRUE(GetUpdateRect(status->GetHandle(), &dirty, FALSE));
    EXPECT_LT(calls, m_shell.Calls().size()) << "a change updates the icon";
}

TEST_F(MonitorApp, ReleaseRemovesTheIconAndDestroysTheWindows)
{
    const HWND status = m_app->m_pWindowManager->GetWindow(1)->GetHandle();
    const HWND alert = m_app->m_pWindowManager->GetWindow(2)->GetHandle();
    m_app->Release();
    EXPECT_EQ(2u, m_shell.Calls().back().code);
    EXPECT_FALSE(IsWindow(status));
    EXPECT_FALSE(IsWindow(alert));
    EXPECT_EQ(nullptr, m_app->m_pWindowManager);
    EXPECT_EQ(nullptr, m_app->m_pTray);
}

namespace
{

// The monitor as the program runs it, in a folder of its own with the given
// settings (no plugins there: the alert is the banner), counting its ticks
// and the run mode they came in. Another thread drives it from outside.
struct RunRecord
{
    std::atomic<int> ticks{0};
    std::atomic<int> onRequestTicks{0};
    std::atomic<bool> aboutDeleted{false};
    HWND statusWindow = nullptr;
    HWND aboutWindow = nullptr;
};

class CountingMonitor : public Ohmwatch
{
public:
    CountingMonitor(RunRecord& record, void (*script)(RunRecord&, DWORD loopThread))
        : m_record(record), m_script(script)
    {
    }
    void Init() override
    {
        Ohmwatch::Init();
        m_record.statusWindow = m_pWindowManager->GetWindow(WindowIdMain)->GetHandle();
        WindowAbout* about = new WindowAbout(this);
        about->Setup();
        m_pWindowManager->AddWindow(WindowIdAbout, about);
        m_record.aboutWindow = about->GetHandle();
        std::thread(m_script, std::ref(m_record), GetCurrentThreadId()).detach();
    }
    void Tick() override
    {
        ++m_record.ticks;
        if (Orvu::Core::GetRunMode() == Orvu::RunMode::OnRequest)
            ++m_record.onRequestTicks;
        Ohmwatch::Tick();
        m_record.aboutDeleted = m_pWindowManager->GetWindow(WindowIdAbout) == nullptr;
    }

private:
    RunRecord& m_record;
    void (*m_script)(RunRecord&, DWORD);
};

// Runs the monitor in a fresh folder holding the settings line; returns the
// exit code.
int RunMonitorWith(const char* settingsLine, RunRecord& record,
                   void (*script)(RunRecord&, DWORD loopThread))
{
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring folder = std::wstring(temp) + L"ohmwatch-run-test";
    CreateDirectoryW(folder.c_str(), nullptr);
    wchar_t previous[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, previous);
    SetCurrentDirectoryW(folder.c_str());
    FILE* ini = _wfopen(L"Ohmwatch.ini", L"wb");
    if (ini != nullptr)
    {
        fprintf(ini, "%s\r\n", settingsLine);
        fclose(ini);
    }
    // Windows deleted without a handler (an earlier run's) posted the quit
    // message, which would end this run at once.
    int pending;
    QuitPosted(pending);
    const int code = Orvu::Core::Run(new CountingMonitor(record, script), true);
    DeleteFileW(L"Ohmwatch.ini");
    SetCurrentDirectoryW(previous);
    RemoveDirectoryW(folder.c_str());
    return code;
}

// Waits up to a second for the tick count to reach count.
bool AwaitTicks(const RunRecord& record, int count)
{
    for (int waited = 0; waited < 1000 && record.ticks < count; waited += 5)
        Sleep(5);
    return record.ticks >= count;
}

} // namespace

TEST(MonitorRun, EconomicalWatchTicksAtStartOnPowerNewsAndForClosedWindowsOnly)
{
    ShellRecorder shell;
    ASSERT_TRUE(shell.Created());
    static int idleTicks, newsTicks, otherBroadcastTicks, closeTicks;
    idleTicks = newsTicks = otherBroadcastTicks = closeTicks = -1;
    RunRecord record;
    // 300 keeps its lowest 8 bits, 44: a check every 44 s, far beyond this test.
    const int code = RunMonitorWith("PowerCheckSeconds:300", record, [](RunRecord& r, DWORD loop)
    {
        Sleep(400);
        idleTicks = r.ticks;
        PostMessageW(r.statusWindow, WM_POWERBROADCAST, PBT_APMPOWERSTATUSCHANGE, 0);
        AwaitTicks(r, 2);
        newsTicks = r.ticks;
        PostMessageW(r.statusWindow, WM_POWERBROADCAST, PBT_APMSUSPEND, 0);
        Sleep(300);
        otherBroadcastTicks = r.ticks;
        PostMessageW(r.aboutWindow, WM_CLOSE, 0, 0);
        AwaitTicks(r, 3);
        Sleep(100);
        closeTicks = r.ticks;
        // What "Exit" does.
        PostThreadMessageW(loop, WM_QUIT, 0, 0);
    });

    EXPECT_EQ(0, code);
    EXPECT_EQ(1, idleTicks) << "one check at start, none while nothing happens";
    EXPECT_EQ(2, newsTicks) << "a power status broadcast is checked at once";
    EXPECT_EQ(2, otherBroadcastTicks) << "a suspend announcement is no reason to check";
    EXPECT_EQ(3, closeTicks) << "a closed window is deleted at once";
    EXPECT_TRUE(record.aboutDeleted);
    EXPECT_EQ(record.ticks.load(), record.onRequestTicks.load());
    ASSERT_FALSE(shell.Calls().empty());
    bool statusShown = false;
    for (const ShellCall& call : shell.Calls())
        statusShown = statusShown || (call.code == NIM_MODIFY && call.tip != L"Ohmwatch");
    EXPECT_TRUE(statusShown) << "the check at start shows the status in the tooltip";
    EXPECT_EQ(2u, shell.Calls().back().code) << "Release took the icon away";

    // 200 is -56 after the 8-bit cut: the continuous check of every idle pass.
    RunRecord continuous;
    EXPECT_EQ(0, RunMonitorWith("PowerCheckSeconds:200", continuous, [](RunRecord&, DWORD loop)
    {
        Sleep(300);
        PostThreadMessageW(loop, WM_QUIT, 0, 0);
    }));
    EXPECT_GT(continuous.ticks.load(), 10);
    EXPECT_EQ(0, continuous.onRequestTicks.load());
}

// About closed, then chosen again before the next tick (its object is still
// registered, without a native window), then "Exit": the engine never calls
// the system with the closed window's handle, which the system may already
// have given to another window.
TEST_F(MonitorApp, AboutClosedAndChosenAgainBeforeTheTickThenExitUsesNoDeadHandle)
{
    ImportSlot::Scoped focus(Engine(), "user32.dll", "SetFocus",
                             reinterpret_cast<void*>(&DeadHandleCalls::SetFocusSeen));
    ImportSlot::Scoped destroy(Engine(), "user32.dll", "DestroyWindow",
                               reinterpret_cast<void*>(&DeadHandleCalls::DestroyWindowSeen));
    ASSERT_TRUE(focus.Installed() && destroy.Installed());
    const HWND tray = m_shell.IconOwner();
    ASSERT_NE(nullptr, tray);
    // Down presses from the top: 1 Options, 2 About, 3 Exit.
    auto choose = [tray](int downs)
    {
        std::vector<UINT> keys(downs, VK_DOWN);
        keys.push_back(VK_RETURN);
        MenuDriver driver(keys);
        // A right click as a keyboard-aware shell reports it.
        SendMessageW(tray, WM_USER, 0, WM_RBUTTONUP);
        SendMessageW(tray, WM_USER, 0, WM_CONTEXTMENU);
        driver.Join();
        return driver.SawMenu();
    };

    ASSERT_TRUE(choose(2));
    Orvu::WindowBase* about = m_app->m_pWindowManager->GetWindow(Ohmwatch::WindowIdAbout);
    ASSERT_NE(nullptr, about);
    DeadHandleCalls::s_dead = about->GetHandle();
    DeadHandleCalls::s_calls = 0;
    SendMessageW(about->GetHandle(), WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(DeadHandleCalls::s_dead));
    EXPECT_EQ(about, m_app->m_pWindowManager->GetWindow(Ohmwatch::WindowIdAbout));
    EXPECT_EQ(nullptr, about->GetHandle()) << "the object forgets its destroyed window";

    ASSERT_TRUE(choose(2));
    ASSERT_TRUE(choose(3));
    int code = -1;
    EXPECT_TRUE(QuitPosted(code));
    EXPECT_EQ(0, code);
    // The run loop's end: the about object goes with the others, untouched by a tick.
    m_app->Release();
    EXPECT_EQ(0, DeadHandleCalls::s_calls);
}

// The installer's request to exit, broadcast while the monitor is still
// starting (before its run loop), ends the loop before its first tick; once
// the installer has withdrawn it (it gave up waiting), a monitor that gets to
// the request late runs on.
TEST(ExitRequest, EndsAStartingMonitorAndIsIgnoredOnceWithdrawn)
{
    struct StartingApp : Orvu::App
    {
        explicit StartingApp(int* ticks) : m_ticks(ticks) {}
        void Init() override { PostMessageW(HWND_BROADCAST, ExitRequestMessage(), 0, 0); }
        void Tick() override
        {
            if (++*m_ticks == 20)
                PostQuitMessage(7);
        }
        void Release() override {}
        int* m_ticks;
    };
    const ExitRequestWindow listener(GetModuleHandleW(nullptr));
    // The installer's side: the request, signalled while it waits.
    const HANDLE request = CreateEventW(nullptr, FALSE, TRUE, OHMWATCH_EXIT_REQUEST);
    ASSERT_NE(nullptr, request);

    int ticks = 0;
    EXPECT_EQ(0, Orvu::Core::Run(new StartingApp(&ticks), true));
    EXPECT_EQ(0, ticks);
    EXPECT_EQ(static_cast<DWORD>(WAIT_TIMEOUT), WaitForSingleObject(request, 0))
        << "the monitor takes the request, so the installer knows it is ending";

    // Withdrawn (not signalled), then gone altogether: the monitor runs on.
    ticks = 0;
    EXPECT_EQ(7, Orvu::Core::Run(new StartingApp(&ticks), true));
    CloseHandle(request);
    ticks = 0;
    EXPECT_EQ(7, Orvu::Core::Run(new StartingApp(&ticks), true));
}
