// The run loop: exit codes, Release and deletion on every path, the error box
// for anything that escapes, and when Tick is (not) called.

#include "Core.h"
#include "Exception.h"
#include "MessageBoxWatcher.h"
#include "WindowBase.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <stdexcept>
#include <thread>

namespace
{

struct Trace
{
    int inits = 0;
    int ticks = 0;
    int releases = 0;
    bool deleted = false;
};

// An application whose Init and Tick run the given actions.
template <typename InitFn, typename TickFn> class ScriptedApp : public Orvu::App
{
public:
    ScriptedApp(Trace& trace, InitFn init, TickFn tick) : m_trace(trace), m_init(init), m_tick(tick)
    {
    }
    ~ScriptedApp() override { m_trace.deleted = true; }
    void Init() override
    {
        ++m_trace.inits;
        m_init(m_trace);
    }
    void Tick() override
    {
        ++m_trace.ticks;
        m_tick(m_trace);
    }
    void Release() override { ++m_trace.releases; }

private:
    Trace& m_trace;
    InitFn m_init;
    TickFn m_tick;
};

template <typename InitFn, typename TickFn>
int RunScripted(Trace& trace, bool continuous, InitFn init, TickFn tick)
{
    return Orvu::Core::Run(new ScriptedApp<InitFn, TickFn>(trace, init, tick), continuous);
}

auto noTick = [](Trace&) {};

} // namespace

TEST(RunLoop, QuitCodeFromInitIsReturnedAfterReleaseAndDelete)
{
    Trace trace;
    const int code = RunScripted(
        trace, true, [](Trace&) { PostQuitMessage(7); }, noTick);
    EXPECT_EQ(7, code);
    EXPECT_EQ(1, trace.inits);
    EXPECT_EQ(1, trace.releases);
    EXPECT_TRUE(trace.deleted);
}

TEST(RunLoop, ExceptionFromInitShowsOneErrorBoxSkipsReleaseAndReturnsZero)
{
    MessageBoxWatcher watcher;
    Trace trace;
    const int code = RunScripted(
        trace, true, [](Trace&) { throw Orvu::Exception(L"disk on fire", L"Storage"); }, noTick);

    EXPECT_EQ(0, code);
    EXPECT_EQ(0, trace.releases);
    EXPECT_TRUE(trace.deleted);
    const auto boxes = watcher.Seen();
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ(L"Orvu - Error: Storage", boxes[0].caption);
    EXPECT_EQ(L"disk on fire", boxes[0].text);
}

TEST(RunLoop, ErrorBoxStaysUntilClosedWhenInitLeftAQuitMessageBehind)
{
    // Held open like a person reading it: a pending quit message would end
    // the box's own loop and close it with no input.
    MessageBoxWatcher watcher(1000);
    Trace trace;
    RunScripted(
        trace, true,
        [](Trace&)
        {
            // A window without a handler, destroyed while the exception
            // unwinds, posts the quit message.
            Orvu::WindowBase window;
            window.Create(WS_OVERLAPPEDWINDOW, 0, nullptr);
            throw Orvu::Exception(L"the picture could not be loaded", L"Load");
        },
        noTick);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
    {
    }
    EXPECT_TRUE(trace.deleted);
    const auto boxes = watcher.Seen();
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ(L"Orvu - Error: Load", boxes[0].caption);
    EXPECT_FALSE(boxes[0].closedByItself);
}

TEST(RunLoop, ForeignExceptionsFromTickShowUndefinedUnderUnknown)
{
    for (int kind = 0; kind < 2; ++kind)
    {
        MessageBoxWatcher watcher;
        Trace trace;
        const int code = RunScripted(
            trace, true, [](Trace&) { PostThreadMessageW(GetCurrentThreadId(), WM_APP, 42, 0); },
            [kind](Trace&)
            {
                if (kind == 0)
                    throw 5;
                throw std::runtime_error("not an engine exception");
            });

        // The last message removed before the failure was WM_APP with wParam 42.
        EXPECT_EQ(42, code);
        EXPECT_EQ(1, trace.ticks);
        EXPECT_EQ(0, trace.releases);
        EXPECT_TRUE(trace.deleted);
        const auto boxes = watcher.Seen();
        ASSERT_EQ(1u, boxes.size()) << "kind " << kind;
        EXPECT_EQ(L"Orvu - Error: Unknown", boxes[0].caption);
        EXPECT_EQ(L"Undefined", boxes[0].text);
    }
}

TEST(RunLoop, ExceptionFromReleaseIsReportedAndTheAppStillDeleted)
{
    struct ThrowingRelease : Orvu::App
    {
        bool* deleted;
        explicit ThrowingRelease(bool* d) : deleted(d) {}
        ~ThrowingRelease() override { *deleted = true; }
        void Init() override { PostQuitMessage(3); }
        void Release() override { throw Orvu::Exception(L"release failed", L"Release"); }
    };
    MessageBoxWatcher watcher;
    bool deleted = false;
    EXPECT_EQ(3, Orvu::Core::Run(new ThrowingRelease(&deleted), true));
    EXPECT_TRUE(deleted);
    ASSERT_EQ(1u, watcher.Seen().size());
    EXPECT_EQ(L"Orvu - Error: Release", watcher.Seen()[0].caption);
}

TEST(RunLoop, WaitingModeNeverTicks)
{
    Trace trace;
    const int code = RunScripted(
        trace, false,
        [](Trace&)
        {
            // Only the on-request mode acts on a request.
            Orvu::Core::RequestTick();
            // End the loop from another thread after a while with no messages.
            const DWORD loopThread = GetCurrentThreadId();
            std::thread(
                [loopThread]
                {
                    Sleep(300);
                    PostThreadMessageW(loopThread, WM_QUIT, 9, 0);
                })
                .detach();
        },
        noTick);
    EXPECT_EQ(9, code);
    EXPECT_EQ(0, trace.ticks);
    EXPECT_EQ(1, trace.releases);
}

TEST(RunLoop, OnRequestModeTicksOncePerRequestWhenTheQueueIsEmpty)
{
    // Asks for a tick while it handles WM_APP.
    struct Requester : Orvu::WindowProc
    {
        int WndProc(Orvu::WindowBase* window, unsigned int msg, unsigned int wParam,
                    long lParam) override
        {
            if (msg == WM_APP)
                Orvu::Core::RequestTick();
            return static_cast<int>(DefWindowProcW(window->GetHandle(), msg, wParam, lParam));
        }
    };
    Requester requester;
    Orvu::WindowBase window;
    window.Create(WS_OVERLAPPEDWINDOW, 0, nullptr);
    window.SetWndProc(&requester);

    static std::atomic<int> ticks;
    static std::atomic<int> ticksWhileIdle;
    static std::atomic<int> ticksAfterSentRequest;
    static std::atomic<DWORD> sentRequestTickMs;
    static bool queueWasEmptyAtFirstTick;
    static Orvu::RunMode modeInInit;
    ticks = 0;
    ticksWhileIdle = -1;
    ticksAfterSentRequest = -1;
    sentRequestTickMs = 0;
    queueWasEmptyAtFirstTick = false;
    static HWND target;
    target = window.GetHandle();

    Trace trace;
    const int code = RunScripted(
        trace, true,
        [](Trace&)
        {
            Orvu::Core::SetRunMode(Orvu::RunMode::OnRequest);
            modeInInit = Orvu::Core::GetRunMode();
            // Two requests before the tick are one; the tick waits for the
            // messages.
            Orvu::Core::RequestTick();
            Orvu::Core::RequestTick();
            for (int i = 0; i < 50; ++i)
                PostThreadMessageW(GetCurrentThreadId(), WM_APP + 1, i, 0);
            const DWORD loopThread = GetCurrentThreadId();
            std::thread(
                [loopThread]
                {
                    Sleep(300);
                    ticksWhileIdle = ticks.load();
                    // Sent from another thread, as the system's broadcasts
                    // are: handled while the loop waits, which must wake.
                    const DWORD sent = GetTickCount();
                    SendMessageW(target, WM_APP, 0, 0);
                    while (ticks < 2 && GetTickCount() - sent < 2000)
                        Sleep(1);
                    sentRequestTickMs = GetTickCount() - sent;
                    Sleep(300);
                    ticksAfterSentRequest = ticks.load();
                    PostThreadMessageW(loopThread, WM_QUIT, 4, 0);
                })
                .detach();
        },
        [](Trace&)
        {
            if (++ticks == 1)
            {
                MSG msg;
                queueWasEmptyAtFirstTick = !PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);
            }
        });

    EXPECT_EQ(Orvu::RunMode::OnRequest, modeInInit);
    EXPECT_EQ(4, code);
    EXPECT_EQ(1, trace.releases);
    EXPECT_TRUE(queueWasEmptyAtFirstTick);
    EXPECT_EQ(1, ticksWhileIdle) << "one tick for the requests of Init, none while idle";
    EXPECT_LT(sentRequestTickMs.load(), 500u) << "a request from a sent message must wake the loop";
    EXPECT_EQ(2, ticksAfterSentRequest);
    EXPECT_EQ(Orvu::RunMode::Continuous, Orvu::Core::GetRunMode()) << "no loop runs any more";
}

TEST(RunLoop, TickWaitsUntilEveryPendingMessageIsHandled)
{
    Trace trace;
    static bool queueWasEmptyAtFirstTick = false;
    RunScripted(
        trace, true,
        [](Trace&)
        {
            for (int i = 0; i < 200; ++i)
                PostThreadMessageW(GetCurrentThreadId(), WM_APP, i, 0);
        },
        [](Trace& t)
        {
            if (t.ticks == 1)
            {
                MSG msg;
                queueWasEmptyAtFirstTick = !PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);
                PostQuitMessage(0);
            }
        });
    EXPECT_TRUE(queueWasEmptyAtFirstTick);
}

TEST(RunLoop, ContinuousModeSleepsAboutFiveMillisecondsPerTick)
{
    Trace trace;
    static DWORD start = 0;
    RunScripted(
        trace, true, [](Trace&) { start = GetTickCount(); },
        [](Trace&)
        {
            if (GetTickCount() - start >= 250)
                PostQuitMessage(0);
        });
    // 250 ms at one tick per 5 ms (or more, with a coarse sleep) is at most
    // about 50 ticks; a loop that forgot to sleep would tick thousands of times.
    EXPECT_GE(trace.ticks, 5);
    EXPECT_LE(trace.ticks, 60);
}

TEST(RunLoop, VersionIsOne)
{
    EXPECT_EQ(1, Orvu::Core::GetVersion());
}
