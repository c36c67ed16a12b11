// Exceptions that escape a window's handler end the run loop through its
// error path, as those from Init or Tick do: one error box, no Release, the
// application object deleted.

#include "Core.h"
#include "Exception.h"
#include "MessageBoxWatcher.h"
#include "WindowBase.h"

#include <gtest/gtest.h>
#include <shlobj.h>
#include <windows.h>

#include <functional>
#include <vector>

namespace
{

struct Trace
{
    int ticks = 0;
    int releases = 0;
    bool deleted = false;
    std::vector<unsigned int> handled; // messages the handler finished
};

// A window whose handler runs a test's function for every WM_APP-range
// message and default processing for the rest.
class ScriptedWindow : public Orvu::WindowBase, public Orvu::WindowProc
{
public:
    using Script = std::function<void(ScriptedWindow&, unsigned int msg, unsigned int wParam)>;

    ScriptedWindow(Trace& trace, Script script) : m_trace(trace), m_script(script)
    {
        Create(WS_OVERLAPPEDWINDOW, 0, nullptr);
        SetWndProc(this);
    }
    // Destroyed while the handler still exists: it sees WM_DESTROY, so no
    // quit message is left behind for the next test's run.
    ~ScriptedWindow() override { DestroyWindow(GetHandle()); }

    int WndProc(Orvu::WindowBase* window, unsigned int msg, unsigned int wParam,
                long lParam) override
    {
        if (msg >= WM_APP && msg < 0xC000)
        {
            m_script(*this, msg, wParam);
            m_trace.handled.push_back(msg);
            return 0;
        }
        return static_cast<int>(DefWindowProcW(window->GetHandle(), msg, wParam, lParam));
    }

private:
    Trace& m_trace;
    Script m_script;
};

// An application that owns one scripted window; its Init runs a function
// once the window exists.
class WindowApp : public Orvu::App
{
public:
    WindowApp(Trace& trace, ScriptedWindow::Script script, std::function<void(HWND)> init)
        : m_trace(trace), m_script(script), m_init(init)
    {
    }
    ~WindowApp() override
    {
        delete m_window;
        m_trace.deleted = true;
    }
    void Init() override
    {
        m_window = new ScriptedWindow(m_trace, m_script);
        m_init(m_window->GetHandle());
    }
    void Tick() override { ++m_trace.ticks; }
    void Release() override { ++m_trace.releases; }

private:
    Trace& m_trace;
    ScriptedWindow::Script m_script;
    std::function<void(HWND)> m_init;
    ScriptedWindow* m_window = nullptr;
};

} // namespace

TEST(WindowErrors, ExceptionFromAHandlerEndsTheRunThroughTheErrorPath)
{
    MessageBoxWatcher watcher;
    Trace trace;
    const int code = Orvu::Core::Run(new WindowApp(
                                         trace,
                                         [](ScriptedWindow&, unsigned int, unsigned int) {
                                             throw Orvu::Exception(L"sensor unplugged", L"Handler");
                                         },
                                         [](HWND window) { PostMessageW(window, WM_APP, 77, 0); }),
                                     true);

    // The message that failed was the last one removed from the queue.
    EXPECT_EQ(77, code);
    EXPECT_EQ(0, trace.releases);
    EXPECT_TRUE(trace.deleted);
    EXPECT_TRUE(trace.handled.empty());
    const auto boxes = watcher.Seen();
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ(L"Orvu - Error: Handler", boxes[0].caption);
    EXPECT_EQ(L"sensor unplugged", boxes[0].text);
}

TEST(WindowErrors, ForeignValueFromAHandlerShowsUndefinedUnderUnknown)
{
    MessageBoxWatcher watcher;
    Trace trace;
    Orvu::Core::Run(new WindowApp(
                        trace, [](ScriptedWindow&, unsigned int, unsigned int) { throw 5; },
                        [](HWND window) { PostMessageW(window, WM_APP, 0, 0); }),
                    false);

    EXPECT_EQ(0, trace.releases);
    EXPECT_TRUE(trace.deleted);
    const auto boxes = watcher.Seen();
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ(L"Orvu - Error: Unknown", boxes[0].caption);
    EXPECT_EQ(L"Undefined", boxes[0].text);
}

TEST(WindowErrors, ExceptionFromADropHandlerEndsTheRunToo)
{
    struct ThrowingDrop : Orvu::DragAndDropHandler
    {
        void DropFile(const wchar_t*) override { throw Orvu::Exception(L"bad drop", L"Drop"); }
    };
    struct DropApp : Orvu::App
    {
        Trace& trace;
        ThrowingDrop drop;
        Orvu::WindowBase window;
        explicit DropApp(Trace& t) : trace(t) {}
        ~DropApp() override { trace.deleted = true; }
        void Init() override
        {
            window.Create(WS_OVERLAPPEDWINDOW, 0, nullptr);
            window.SetDragAndDropHandler(&drop);
            HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + 16 * sizeof(wchar_t));
            DROPFILES* header = static_cast<DROPFILES*>(GlobalLock(memory));
            header->pFiles = sizeof(DROPFILES);
            header->fWide = TRUE;
            lstrcpyW(reinterpret_cast<wchar_t*>(header + 1), L"C:\\a.txt");
            GlobalUnlock(memory);
            PostMessageW(window.GetHandle(), WM_DROPFILES, reinterpret_cast<WPARAM>(memory), 0);
        }
        void Release() override { ++trace.releases; }
    };
    MessageBoxWatcher watcher;
    Trace trace;
    Orvu::Core::Run(new DropApp(trace), true);
    // Deleting the app destroyed its window, which has no message handler:
    // that posted a quit message, which must not reach the next test's run.
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
    {
    }
    EXPECT_EQ(0, trace.releases);
    EXPECT_TRUE(trace.deleted);
    ASSERT_EQ(1u, watcher.Seen().size());
    EXPECT_EQ(L"Orvu - Error: Drop", watcher.Seen()[0].caption);
}

TEST(WindowErrors, ExceptionFromAMessageSentDuringInitEndsTheRunAfterInit)
{
    MessageBoxWatcher watcher;
    Trace trace;
    const int code = Orvu::Core::Run(new WindowApp(
                                         trace,
                                         [](ScriptedWindow&, unsigned int, unsigned int)
                                         { throw Orvu::Exception(L"during init", L"Sent"); },
                                         [](HWND window)
                                         {
                                             // Sent, not posted: the handler runs inside Init, and
                                             // Init goes on after SendMessage returns.
                                             SendMessageW(window, WM_APP, 0, 0);
                                         }),
                                     true);
    EXPECT_EQ(0, code);
    EXPECT_EQ(0, trace.ticks);
    EXPECT_EQ(0, trace.releases);
    EXPECT_TRUE(trace.deleted);
    ASSERT_EQ(1u, watcher.Seen().size());
    EXPECT_EQ(L"Orvu - Error: Sent", watcher.Seen()[0].caption);
}

TEST(WindowErrors, OnlyTheFirstExceptionOfAModalLoopIsReported)
{
    MessageBoxWatcher watcher;
    Trace trace;
    Orvu::Core::Run(new WindowApp(
                        trace,
                        [](ScriptedWindow& window, unsigned int msg, unsigned int)
                        {
                            if (msg == WM_APP)
                            {
                                // Both messages are dispatched by the message box's own
                                // loop, before the watcher closes the box.
                                PostMessageW(window.GetHandle(), WM_APP + 1, 0, 0);
                                PostMessageW(window.GetHandle(), WM_APP + 2, 0, 0);
                                PostMessageW(window.GetHandle(), WM_APP + 3, 0, 0);
                                MessageBoxW(window.GetHandle(), L"modal", L"Modal", MB_OK);
                            }
                            else if (msg == WM_APP + 1)
                            {
                                throw Orvu::Exception(L"first", L"First");
                            }
                            else if (msg == WM_APP + 2)
                            {
                                throw Orvu::Exception(L"second", L"Second");
                            }
                        },
                        [](HWND window) { PostMessageW(window, WM_APP, 0, 0); }),
                    true);

    EXPECT_EQ(0, trace.releases);
    EXPECT_TRUE(trace.deleted);
    // The modal loop kept dispatching after the failures, and the handler
    // that opened the box returned normally.
    EXPECT_EQ((std::vector<unsigned int>{WM_APP + 3, WM_APP}), trace.handled);
    const auto boxes = watcher.Seen();
    ASSERT_EQ(2u, boxes.size());
    EXPECT_EQ(L"Modal", boxes[0].caption);
    EXPECT_EQ(L"Orvu - Error: First", boxes[1].caption);
    EXPECT_EQ(L"first", boxes[1].text);
}

TEST(WindowErrors, ExceptionWhileTheAppIsDeletedIsReportedOnceAndNotCarriedOver)
{
    MessageBoxWatcher watcher;
    Trace trace;
    struct ThrowOnDestroy : Orvu::WindowProc
    {
        int WndProc(Orvu::WindowBase* window, unsigned int msg, unsigned int wParam,
                    long lParam) override
        {
            if (msg == WM_DESTROY)
                throw Orvu::Exception(L"cleanup", L"Destroy");
            return static_cast<int>(DefWindowProcW(window->GetHandle(), msg, wParam, lParam));
        }
    };
    struct CleanupApp : Orvu::App
    {
        Trace& trace;
        ThrowOnDestroy handler;
        Orvu::WindowBase* window = nullptr;
        explicit CleanupApp(Trace& t) : trace(t) {}
        ~CleanupApp() override
        {
            delete window; // its handler throws on WM_DESTROY
            trace.deleted = true;
        }
        void Init() override
        {
            window = new Orvu::WindowBase;
            window->Create(WS_OVERLAPPEDWINDOW, 0, nullptr);
            window->SetWndProc(&handler);
            PostQuitMessage(4);
        }
        void Release() override { ++trace.releases; }
    };
    EXPECT_EQ(4, Orvu::Core::Run(new CleanupApp(trace), true));
    EXPECT_EQ(1, trace.releases);
    EXPECT_TRUE(trace.deleted);
    ASSERT_EQ(1u, watcher.Seen().size());
    EXPECT_EQ(L"Orvu - Error: Destroy", watcher.Seen()[0].caption);

    // The next run on this thread starts clean.
    Trace next;
    EXPECT_EQ(6, Orvu::Core::Run(new WindowApp(
                                     next, [](ScriptedWindow&, unsigned int, unsigned int) {},
                                     [](HWND) { PostQuitMessage(6); }),
                                 true));
    EXPECT_EQ(1, next.releases);
    EXPECT_EQ(1u, watcher.Seen().size());
}

TEST(WindowErrors, AThrowingPaintHandlerIsNotCalledAgainWhileTheBoxIsOpen)
{
    struct ThrowOnPaint : Orvu::WindowProc
    {
        int paints = 0;
        int WndProc(Orvu::WindowBase* window, unsigned int msg, unsigned int wParam,
                    long lParam) override
        {
            if (msg == WM_PAINT)
            {
                ++paints;
                throw Orvu::Exception(L"cannot paint", L"Paint");
            }
            return static_cast<int>(DefWindowProcW(window->GetHandle(), msg, wParam, lParam));
        }
    };
    struct PaintApp : Orvu::App
    {
        int& paints;
        ThrowOnPaint handler;
        Orvu::WindowBase window;
        explicit PaintApp(int& p) : paints(p) {}
        ~PaintApp() override { paints = handler.paints; }
        void Init() override
        {
            window.Create(WS_POPUP, 0, nullptr);
            window.SetWndProc(&handler);
            window.Show(SW_SHOWNOACTIVATE); // paints at once
        }
        // Reached only when no paint failed.
        void Tick() override { PostQuitMessage(0); }
        void Release() override {}
    };
    // The box stays open a while: a region left invalid would bring WM_PAINT
    // back through the box's own loop again and again, at full speed.
    MessageBoxWatcher watcher(300);
    int paints = 0;
    Orvu::Core::Run(new PaintApp(paints), true);
    EXPECT_EQ(1, paints);
    ASSERT_EQ(1u, watcher.Seen().size());
    EXPECT_EQ(L"Orvu - Error: Paint", watcher.Seen()[0].caption);
}
