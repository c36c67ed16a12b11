// Canvases: one draw pass per Draw, the handler in the middle with a
// Graphics attached to an off-screen DC, the result copied (or stretched)
// onto the window and read back from it, and nothing of the pass left over.

#include "Canvas.h"
#include "Graphics.h"
#include "Surface.h"
#include "WindowBase.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <psapi.h>

#include <functional>

using Orvu::Canvas;
using Orvu::CanvasDrawHandler;
using Orvu::CanvasWindow;
using Orvu::CanvasWindowFull;
using Orvu::CanvasWindowFullStretch;
using Orvu::Graphics;
using Orvu::WindowBase;

namespace
{

const COLORREF kWindowColour = RGB(10, 20, 30);

// A visible borderless window whose client area is the whole window; its
// handler keeps messages from ending anything. On WM_PAINT it draws the
// canvas it was given, if any, then leaves the message to the default
// procedure, as the monitor's windows do.
class TestWindow : public WindowBase, public Orvu::WindowProc
{
public:
    TestWindow(int width, int height)
    {
        SetSize(width, height);
        Create(WS_POPUP, 0, nullptr);
        SetWndProc(this);
        SetPos(0, 0);
        Show(SW_SHOWNOACTIVATE);
        Clear();
    }
    ~TestWindow() override { SetWndProc(nullptr); }
    int WndProc(WindowBase*, unsigned int msg, unsigned int wParam, long lParam) override
    {
        if (msg == WM_PAINT && paintCanvas != nullptr)
            paintCanvas->Draw(&paintGraphics);
        return static_cast<int>(DefWindowProcW(GetHandle(), msg, wParam, lParam));
    }
    Canvas* paintCanvas = nullptr;
    Graphics paintGraphics;
    // Paints the client area in kWindowColour straight through the window DC.
    void Clear()
    {
        HDC dc = GetDC(GetHandle());
        HBRUSH brush = CreateSolidBrush(kWindowColour);
        RECT all = {0, 0, GetWidth(), GetHeight()};
        ::FillRect(dc, &all, brush);
        DeleteObject(brush);
        ReleaseDC(GetHandle(), dc);
    }
};

// A handler that records what it saw and runs a drawing function.
class Recorder : public CanvasDrawHandler
{
public:
    explicit Recorder(std::function<void(Canvas*, Graphics*)> draw = nullptr) : m_draw(draw) {}
    void OnDraw(Canvas* canvas, Graphics* graphics) override
    {
        ++calls;
        seenCanvas = canvas;
        seenGraphics = graphics;
        drawing = canvas->IsDrawing();
        dc = canvas->GetDrawDC();
        dcType = GetObjectType(dc);
        bitmap = GetCurrentObject(dc, OBJ_BITMAP);
        attached = graphics->DrawPixel(0, 0);
        if (m_draw)
            m_draw(canvas, graphics);
    }

    int calls = 0;
    Canvas* seenCanvas = nullptr;
    Graphics* seenGraphics = nullptr;
    bool drawing = false;
    HDC dc = nullptr;
    DWORD dcType = 0;
    HGDIOBJ bitmap = nullptr;
    bool attached = false;

private:
    std::function<void(Canvas*, Graphics*)> m_draw;
};

// Fills the whole canvas through the attached Graphics.
void FillCanvas(Canvas* canvas, Graphics* graphics, COLORREF colour)
{
    graphics->SetColor(Orvu::Color(GetRValue(colour), GetGValue(colour), GetBValue(colour), 255));
    graphics->FillRect(0, 0, canvas->GetWidth(), canvas->GetHeight());
}

SIZE_T PrivateBytes()
{
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return counters.PagefileUsage;
}

} // namespace

TEST(Canvas, APassGivesTheHandlerAnOffScreenDCOnlyWhileItRuns)
{
    TestWindow window(64, 48);
    CanvasWindowFull canvas(&window);
    Graphics graphics;
    Recorder recorder;
    canvas.SetDrawHandler(&recorder);
    EXPECT_EQ(&recorder, canvas.GetDrawHandler());
    EXPECT_FALSE(canvas.IsDrawing());
    EXPECT_EQ(nullptr, canvas.GetDrawDC());

    canvas.Draw(&graphics);
    EXPECT_EQ(1, recorder.calls);
    EXPECT_EQ(&canvas, recorder.seenCanvas);
    EXPECT_EQ(&graphics, recorder.seenGraphics);
    EXPECT_TRUE(recorder.drawing);
    EXPECT_TRUE(recorder.attached);
    ASSERT_NE(nullptr, recorder.dc);
    EXPECT_EQ(static_cast<DWORD>(OBJ_MEMDC), recorder.dcType);

    EXPECT_FALSE(canvas.IsDrawing());
    EXPECT_EQ(nullptr, canvas.GetDrawDC());
    EXPECT_FALSE(graphics.DrawPixel(0, 0)) << "detached after the pass";
    // The pass's memory DC and bitmap are gone.
    EXPECT_EQ(0u, GetObjectType(recorder.dc));
    EXPECT_EQ(0u, GetObjectType(recorder.bitmap));

    // A second pass makes its own.
    Recorder second;
    canvas.SetDrawHandler(&second);
    canvas.Draw(&graphics);
    EXPECT_EQ(1, second.calls);
    EXPECT_EQ(1, recorder.calls);
}

TEST(Canvas, WithoutAHandlerNothingIsDrawnAndTheGraphicsEndsDetached)
{
    TestWindow window(32, 32);
    Surface before(32, 32), after(32, 32);
    before.CaptureWindow(window.GetHandle());
    ASSERT_EQ(32 * 32, before.Count(kWindowColour)) << "the window can be read back";

    Graphics graphics;
    CanvasWindowFull full(&window);
    CanvasWindow part(&window);
    part.SetSize(10, 10);
    CanvasWindowFullStretch stretch(&window, 8, 8);
    full.Draw(&graphics);
    part.Draw(&graphics);
    stretch.Draw(&graphics);
    EXPECT_FALSE(graphics.DrawPixel(0, 0));
    EXPECT_EQ(0, full.GetWidth()) << "no pass ran";
    after.CaptureWindow(window.GetHandle());
    EXPECT_EQ(32 * 32, after.Count(kWindowColour));
}

TEST(Canvas, RectangleCanvasCopiesItsBufferToItsPlaceInTheWindow)
{
    TestWindow window(60, 50);
    Graphics graphics;
    CanvasWindow canvas(&window);
    EXPECT_EQ(&window, canvas.GetWindow());
    Recorder recorder([](Canvas* c, Graphics* g) { FillCanvas(c, g, RGB(255, 0, 0)); });
    canvas.SetDrawHandler(&recorder);

    // Size never set: the handler runs, nothing reaches the window.
    canvas.Draw(&graphics);
    EXPECT_EQ(1, recorder.calls);
    Surface shot(60, 50);
    shot.CaptureWindow(window.GetHandle());
    EXPECT_EQ(60 * 50, shot.Count(kWindowColour));

    canvas.SetPos(7, 5);
    canvas.SetSize(20, 10);
    int x = 0, y = 0;
    canvas.GetPos(x, y);
    EXPECT_EQ(7, x);
    EXPECT_EQ(5, y);
    shot.CaptureWindow(window.GetHandle());
    EXPECT_EQ(60 * 50, shot.Count(kWindowColour)) << "setting the size does not repaint";

    canvas.Draw(&graphics);
    shot.CaptureWindow(window.GetHandle());
    EXPECT_EQ(20 * 10, shot.Count(RGB(255, 0, 0)));
    EXPECT_EQ(RGB(255, 0, 0), shot.At(7, 5));
    EXPECT_EQ(RGB(255, 0, 0), shot.At(26, 14));
    EXPECT_EQ(kWindowColour, shot.At(6, 5));
    EXPECT_EQ(kWindowColour, shot.At(27, 14));
    EXPECT_EQ(kWindowColour, shot.At(7, 15));
}

TEST(Canvas, APaintedAreaSurvivesAnUpdateThatAskedForErasing)
{
    TestWindow window(60, 50);
    CanvasWindow canvas(&window);
    canvas.SetPos(7, 5);
    canvas.SetSize(20, 10);
    Recorder recorder([](Canvas* c, Graphics* g) { FillCanvas(c, g, RGB(255, 0, 0)); });
    canvas.SetDrawHandler(&recorder);
    window.paintCanvas = &canvas;

    // What other programs and the system do: invalidate with erase, update.
    InvalidateRect(window.GetHandle(), nullptr, TRUE);
    UpdateWindow(window.GetHandle());
    EXPECT_EQ(1, recorder.calls);
    Surface shot(60, 50);
    shot.CaptureWindow(window.GetHandle());
    EXPECT_EQ(20 * 10, shot.Count(RGB(255, 0, 0))) << "the class brush erased the painting";
    // What the canvas does not cover still gets the class background.
    EXPECT_EQ(60 * 50 - 20 * 10, shot.Count(GetSysColor(COLOR_WINDOW)));
    RECT dirty;
    EXPECT_FALSE(GetUpdateRect(window.GetHandle(), &dirty, FALSE));
}

TEST(Canvas, FullCanvasTakesTheClientSizeOfEachPass)
{
    TestWindow window(40, 30);
    Graphics graphics;
    CanvasWindowFull canvas(&window);
    EXPECT_EQ(0, canvas.GetWidth());
    EXPECT_EQ(0, canvas.GetHeight());
    Recorder recorder(
        [](Canvas* c, Graphics* g)
        {
            FillCanvas(c, g, RGB(0, 0, 255));
            g->SetColor(Orvu::Color(255, 255, 0, 255));
            g->DrawPixel(c->GetWidth() - 1, c->GetHeight() - 1);
        });
    canvas.SetDrawHandler(&recorder);

    canvas.Draw(&graphics);
    int width = 0, height = 0;
    canvas.GetSize(width, height);
    EXPECT_EQ(40, width);
    EXPECT_EQ(30, height);
    Surface shot(40, 30);
    shot.CaptureWindow(window.GetHandle());
    EXPECT_EQ(40 * 30 - 1, shot.Count(RGB(0, 0, 255)));
    EXPECT_EQ(RGB(255, 255, 0), shot.At(39, 29));

    window.SetSize(50, 20);
    canvas.Draw(&graphics);
    EXPECT_EQ(50, canvas.GetWidth());
    EXPECT_EQ(20, canvas.GetHeight());
    Surface resized(50, 20);
    resized.CaptureWindow(window.GetHandle());
    EXPECT_EQ(RGB(255, 255, 0), resized.At(49, 19));
    EXPECT_EQ(RGB(0, 0, 255), resized.At(39, 19));
}

TEST(Canvas, StretchedCanvasShowsEachBufferPixelAsATwoByTwoBlock)
{
    TestWindow window(640, 400);
    Graphics graphics;
    CanvasWindowFullStretch canvas(&window, 320, 200);
    auto pattern = [](int x, int y) { return RGB((x * 5) & 0xFF, (y * 3) & 0xFF, (x ^ y) & 0xFF); };
    Recorder recorder(
        [&](Canvas* c, Graphics*)
        {
            for (int y = 0; y < 200; ++y)
                for (int x = 0; x < 320; ++x)
                    SetPixel(c->GetDrawDC(), x, y, pattern(x, y));
        });
    canvas.SetDrawHandler(&recorder);
    canvas.Draw(&graphics);
    EXPECT_EQ(320, canvas.GetWidth());
    EXPECT_EQ(200, canvas.GetHeight());

    Surface shot(640, 400);
    shot.CaptureWindow(window.GetHandle());
    int wrong = 0;
    for (int y = 0; y < 400; ++y)
        for (int x = 0; x < 640; ++x)
            if (shot.At(x, y) != pattern(x / 2, y / 2) && ++wrong <= 5)
                ADD_FAILURE() << "window pixel " << x << ", " << y;
    EXPECT_EQ(0, wrong);

    // A new buffer size takes effect at the next pass, without repainting.
    canvas.SetBufferSize(160, 100);
    Recorder fill([](Canvas* c, Graphics* g) { FillCanvas(c, g, RGB(0, 128, 0)); });
    canvas.SetDrawHandler(&fill);
    shot.CaptureWindow(window.GetHandle());
    EXPECT_EQ(pattern(0, 0), shot.At(0, 0));
    canvas.Draw(&graphics);
    shot.CaptureWindow(window.GetHandle());
    EXPECT_EQ(640 * 400, shot.Count(RGB(0, 128, 0)));
}

TEST(Canvas, ThousandsOfPassesLeaveNoObjectsOrMemoryBehind)
{
    TestWindow window(200, 150);
    Graphics graphics;
    CanvasWindowFull full(&window);
    CanvasWindowFullStretch stretch(&window, 300, 200);
    CanvasWindow part(&window);
    part.SetSize(100, 100);
    Recorder recorder(
        [](Canvas* c, Graphics* g)
        {
            g->DrawSolidBackground();
            g->FillOval(0, 0, c->GetWidth(), c->GetHeight());
            g->DrawString(L"text", 3, 3);
        });
    full.SetDrawHandler(&recorder);
    stretch.SetDrawHandler(&recorder);
    part.SetDrawHandler(&recorder);

    for (int i = 0; i < 50; ++i)
        full.Draw(&graphics);
    const SIZE_T before = PrivateBytes();
    int alive = 0;
    for (int i = 0; i < 1000; ++i)
    {
        full.Draw(&graphics);
        stretch.Draw(&graphics);
        part.Draw(&graphics);
        if (GetObjectType(recorder.dc) != 0 || GetObjectType(recorder.bitmap) != 0)
            ++alive;
    }
    const SIZE_T after = PrivateBytes();
    EXPECT_EQ(3050, recorder.calls);
    EXPECT_EQ(0, alive) << "passes that left their DC or bitmap alive";
    ASSERT_GT(before, 0u);
    // One leaked buffer per pass would be over 100 KB each: 300 MB in all.
    EXPECT_LT(after, before + 8 * 1024 * 1024) << before << " -> " << after;
}
