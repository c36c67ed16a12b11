// The status window: its native window (size, title, top-most, hidden,
// icon), closing that only hides it, and what it paints for a few statuses,
// read back from the window pixel by pixel.

#include "Ohmwatch.h"
#include "Surface.h"
#include "WindowMain.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>
#include <utility>

namespace
{

const COLORREF kBackground = RGB(250, 250, 250);
const COLORREF kRed = RGB(200, 0, 0);
const COLORREF kGreen = RGB(0, 200, 0);
const int kWidth = 280;
const int kHeight = 104;

void PumpMessages()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
    {
        if (msg.message == WM_QUIT)
        {
            ADD_FAILURE() << "quit message posted";
            continue;
        }
        DispatchMessageW(&msg);
    }
}

// The application object (never initialised: it only holds the status) and
// its set-up status window.
struct StatusWindow
{
    StatusWindow() : app(new Ohmwatch), window(new WindowMain(app.get())) { window->Setup(); }
    ~StatusWindow()
    {
        window.reset();
        // A window without a handler ends the run loop when destroyed; there
        // is none here.
        MSG msg;
        PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    }

    // Shows the status and returns what the window shows.
    void Paint(PowerSource source, unsigned char percent, BatteryState state, Surface& shot)
    {
        app->m_lastStatus.source = source;
        app->m_lastStatus.percent = percent;
        app->m_lastStatus.batteryState = state;
        if (!window->IsVisible())
            window->Show(SW_SHOW);
        window->Repaint();
        PumpMessages();
        shot.CaptureWindow(window->GetHandle());
    }

    std::unique_ptr<Ohmwatch> app;
    std::unique_ptr<WindowMain> window;
};

// One line of text as the window's text font draws it in black on the
// window's background at (x, y).
void ReferenceText(Surface& s, const wchar_t* text, int x, int y)
{
    HFONT font = CreateFontW(20, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, L"Times new roman");
    HGDIOBJ old = SelectObject(s.DC(), font);
    SetBkMode(s.DC(), TRANSPARENT);
    SetTextColor(s.DC(), RGB(0, 0, 0));
    TextOutW(s.DC(), x, y, text, static_cast<int>(wcslen(text)));
    SelectObject(s.DC(), old);
    DeleteObject(font);
}

// The pixels of a client-area rectangle that differ between two pictures.
int Differences(const Surface& a, const Surface& b, int left, int top, int right, int bottom)
{
    int n = 0;
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x)
            n += a.At(x, y) != b.At(x, y) ? 1 : 0;
    return n;
}

// One line of the window (its label at x 18, its value at x 120, 20 pixels
// high, left of the gauge) shows exactly these two texts. The substitute
// fonts under Wine are wide enough for a label to run into its value's
// column, so the line is compared as a whole.
void ExpectLine(const Surface& shot, const wchar_t* label, const wchar_t* value, int y)
{
    Surface reference(kWidth, kHeight);
    reference.Fill(kBackground);
    ReferenceText(reference, label, 18, y);
    ReferenceText(reference, value, 120, y);
    EXPECT_EQ(0, Differences(shot, reference, 0, y, 210, y + 20))
        << "line at y " << y << " is not \"" << std::string(value, value + wcslen(value)) << "\"";
}

void ExpectLines(const Surface& shot, const wchar_t* source, const wchar_t* stored,
                 const wchar_t* state)
{
    ExpectLine(shot, L"power source", source, 36);
    ExpectLine(shot, L"power stored", stored, 56);
    ExpectLine(shot, L"battery state", state, 76);
}

int CountIn(const Surface& s, COLORREF colour, int left, int top, int right, int bottom)
{
    int n = 0;
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x)
            n += s.At(x, y) == colour ? 1 : 0;
    return n;
}

} // namespace

TEST(StatusWindow, IsCreatedHiddenTopMostWithItsSizeTitleAndIcon)
{
    StatusWindow s;
    HWND hwnd = s.window->GetHandle();
    ASSERT_NE(nullptr, hwnd);
    EXPECT_FALSE(IsWindowVisible(hwnd));
    RECT client = {};
    GetClientRect(hwnd, &client);
    EXPECT_EQ(kWidth, client.right - client.left);
    EXPECT_EQ(kHeight, client.bottom - client.top);
    EXPECT_EQ(kWidth, s.window->GetWidth());
    EXPECT_EQ(kHeight, s.window->GetHeight());

    wchar_t title[64] = {};
    GetWindowTextW(hwnd, title, 64);
    EXPECT_EQ(std::wstring(L"Ohmwatch"), title);

    const LONG style = GetWindowLongW(hwnd, GWL_STYLE);
    EXPECT_EQ(static_cast<LONG>(WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX),
              style & (WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_THICKFRAME | WS_MAXIMIZEBOX));
    EXPECT_NE(0, GetWindowLongW(hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST);

    // The program's icon 101 in the title bar (small, 16) and on the taskbar
    // (large, 32).
    for (const auto& slot : {std::make_pair(GCL_HICONSM, 16), std::make_pair(GCL_HICON, 32)})
    {
        HICON icon = reinterpret_cast<HICON>(GetClassLongW(hwnd, slot.first));
        ICONINFO info = {};
        ASSERT_TRUE(GetIconInfo(icon, &info)) << "class icon " << slot.first;
        BITMAP bits = {};
        GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bits, &bits);
        EXPECT_EQ(slot.second, bits.bmWidth);
        if (info.hbmColor)
            DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
    }
}

TEST(StatusWindow, ClosingHidesTheWindowWithoutDestroyingItOrEndingTheProgram)
{
    StatusWindow s;
    s.window->Show(SW_SHOW);
    ASSERT_TRUE(s.window->IsVisible());
    EXPECT_EQ(1, SendMessageW(s.window->GetHandle(), WM_CLOSE, 0, 0));
    EXPECT_FALSE(s.window->IsVisible());
    EXPECT_TRUE(IsWindow(s.window->GetHandle()));
    PostMessageW(s.window->GetHandle(), WM_SYSCOMMAND, SC_CLOSE, 0);
    PumpMessages();
    EXPECT_TRUE(IsWindow(s.window->GetHandle()));

    // Shown again, it paints the current status.
    Surface shot(kWidth, kHeight);
    s.Paint(PowerSource::AC, 80, BatteryState::Charging, shot);
    EXPECT_TRUE(s.window->IsVisible());
    EXPECT_GT(CountIn(shot, kGreen, 210, 10, 270, 96), 0);
}

TEST(StatusWindow, OnBatteryAt57PercentTheLevelStartsAtRow47)
{
    StatusWindow s;
    Surface shot(kWidth, kHeight);
    s.Paint(PowerSource::Battery, 57, BatteryState::Draining, shot);

    EXPECT_EQ(kBackground, shot.At(0, 0));
    EXPECT_EQ(kBackground, shot.At(279, 103));
    // Red body from row 10, green level (57 * 86 / 100 = 49 rows) from row 47
    // down to the body's bottom row 95, both over columns 210 to 269.
    EXPECT_EQ(kBackground, shot.At(240, 9));
    EXPECT_EQ(kRed, shot.At(240, 10));
    EXPECT_EQ(kRed, shot.At(240, 46));
    EXPECT_EQ(kGreen, shot.At(240, 47));
    EXPECT_EQ(kGreen, shot.At(240, 95));
    EXPECT_EQ(kBackground, shot.At(240, 96));
    EXPECT_EQ(kBackground, shot.At(209, 30));
    EXPECT_EQ(kRed, shot.At(210, 30));
    EXPECT_EQ(kRed, shot.At(269, 30));
    EXPECT_EQ(kBackground, shot.At(270, 30));
    EXPECT_EQ(kGreen, shot.At(210, 70));
    EXPECT_EQ(kGreen, shot.At(269, 70));
    EXPECT_EQ(kBackground, shot.At(270, 70));
    // Rounded corners.
    EXPECT_EQ(kBackground, shot.At(210, 10));
    EXPECT_EQ(kBackground, shot.At(269, 95));
    EXPECT_EQ(kRed, shot.At(210, 47)) << "the level's rounded corner shows the body";

    ExpectLines(shot, L": Battery", L": 57%", L": draining");
    // The heading is drawn in black.
    EXPECT_GT(CountIn(shot, RGB(0, 0, 0), 10, 10, 200, 34), 50);
    EXPECT_EQ(0, CountIn(shot, kRed, 0, 0, 210, 104) + CountIn(shot, kGreen, 0, 0, 210, 104));
}

TEST(StatusWindow, AtFullChargeTheLevelCoversTheBodyAndAtZeroOnlyTheBodyShows)
{
    StatusWindow s;
    Surface full(kWidth, kHeight), empty(kWidth, kHeight);
    s.Paint(PowerSource::AC, 100, BatteryState::Charging, full);
    EXPECT_EQ(0, full.Count(kRed));
    EXPECT_EQ(kGreen, full.At(240, 10));
    EXPECT_EQ(kGreen, full.At(240, 95));
    EXPECT_EQ(kBackground, full.At(240, 9));
    EXPECT_EQ(kBackground, full.At(240, 96));
    ExpectLines(full, L": AC", L": 100%", L": charging");

    s.Paint(PowerSource::Battery, 0, BatteryState::Draining, empty);
    EXPECT_EQ(0, empty.Count(kGreen));
    EXPECT_EQ(kRed, empty.At(240, 10));
    EXPECT_EQ(kRed, empty.At(240, 95));
    EXPECT_EQ(kBackground, empty.At(240, 96));
    ExpectLines(empty, L": Battery", L": 0%", L": draining");
}

TEST(StatusWindow, AnUnknownChargeShowsNoNumberAndNoLevel)
{
    StatusWindow s;
    Surface desktop(kWidth, kHeight), battery(kWidth, kHeight);
    // A desktop without battery: mains power, 255 %.
    s.Paint(PowerSource::AC, 255, BatteryState::NoBattery, desktop);
    EXPECT_EQ(0, desktop.Count(kGreen));
    EXPECT_EQ(kBackground, desktop.At(240, 9)) << "nothing above the gauge";
    EXPECT_EQ(kRed, desktop.At(240, 10));
    EXPECT_EQ(kRed, desktop.At(240, 95));
    ExpectLines(desktop, L": AC", L": unknown", L": no battery");

    // Nothing above 100 is a charge.
    s.Paint(PowerSource::Battery, 101, BatteryState::Draining, battery);
    EXPECT_EQ(0, battery.Count(kGreen));
    ExpectLines(battery, L": Battery", L": unknown", L": draining");
}

TEST(StatusWindow, OnMainsABatteryThatDoesNotChargeIsNotCharging)
{
    StatusWindow s;
    Surface full(kWidth, kHeight), unknown(kWidth, kHeight);
    s.Paint(PowerSource::AC, 100, BatteryState::Draining, full);
    ExpectLines(full, L": AC", L": 100%", L": not charging");
    EXPECT_EQ(kGreen, full.At(240, 10));
    // Where the source is not known, the battery's own state stands.
    s.Paint(PowerSource::Unknown, 60, BatteryState::Draining, unknown);
    ExpectLines(unknown, L": unknown", L": 60%", L": draining");
}

TEST(StatusWindow, TheFirstPaintAfterShowingIsTheStatusNotTheClassBackground)
{
    StatusWindow s;
    s.app->m_lastStatus.source = PowerSource::Battery;
    s.app->m_lastStatus.percent = 57;
    s.app->m_lastStatus.batteryState = BatteryState::Draining;
    s.window->Show(SW_SHOW);
    PumpMessages();
    Surface shot(kWidth, kHeight);
    shot.CaptureWindow(s.window->GetHandle());
    EXPECT_EQ(kBackground, shot.At(0, 0));
    EXPECT_EQ(kRed, shot.At(240, 46));
    EXPECT_EQ(kGreen, shot.At(240, 47));
}
