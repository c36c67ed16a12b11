// The worker thread: passes over its units, errors shown on the worker,
// ending by waiting or killing, and changes to the unit list while it runs.

#include "Exception.h"
#include "MessageBoxWatcher.h"
#include "Thread.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <set>
#include <stdexcept>
#include <string>
#include <thread>

namespace
{

// A unit that counts its calls and runs the given body.
class Unit : public Orvu::ThreadProc
{
public:
    Unit() : calls(0) {}
    template <typename Body> explicit Unit(Body body) : calls(0), m_body(body) {}
    void Run(Orvu::Thread* thread) override
    {
        ++calls;
        if (m_body)
            m_body(thread);
    }

    std::atomic<int> calls;

private:
    std::function<void(Orvu::Thread*)> m_body;
};

// What the units did, in order, from whichever thread.
class Log
{
public:
    void Add(wchar_t entry)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_text += entry;
    }
    std::wstring Text()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_text;
    }

private:
    std::mutex m_mutex;
    std::wstring m_text;
};

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs = 3000)
{
    const DWORD start = GetTickCount();
    while (!condition())
    {
        if (GetTickCount() - start > timeoutMs)
            return false;
        Sleep(2);
    }
    return true;
}

} // namespace

TEST(Thread, SecondStartIsRefusedAndStartsNoSecondWorker)
{
    std::mutex mutex;
    std::set<DWORD> workers;
    Unit unit(
        [&](Orvu::Thread*)
        {
            std::lock_guard<std::mutex> lock(mutex);
            workers.insert(GetCurrentThreadId());
        });
    Orvu::Thread thread(5);
    ASSERT_TRUE(thread.AddProc(&unit));
    EXPECT_FALSE(thread.IsRunning());

    ASSERT_TRUE(thread.Start());
    EXPECT_FALSE(thread.Start());
    EXPECT_TRUE(thread.IsRunning());
    ASSERT_TRUE(WaitUntil([&] { return unit.calls >= 5; }));
    thread.End(false);

    EXPECT_FALSE(thread.IsRunning());
    ASSERT_EQ(1u, workers.size());
    EXPECT_NE(GetCurrentThreadId(), *workers.begin());
}

TEST(Thread, UnitsRunInRegistrationOrderEveryPassAndDuplicatesAreRefused)
{
    Log log;
    Unit a([&](Orvu::Thread*) { log.Add(L'A'); });
    Unit b([&](Orvu::Thread*) { log.Add(L'B'); });
    Unit c([&](Orvu::Thread*) { log.Add(L'C'); });
    Unit stranger;
    Orvu::Thread thread(5);
    EXPECT_TRUE(thread.AddProc(&a));
    EXPECT_TRUE(thread.AddProc(&b));
    EXPECT_FALSE(thread.AddProc(&a));
    EXPECT_TRUE(thread.AddProc(&c));
    EXPECT_FALSE(thread.RemoveProc(&stranger));

    ASSERT_TRUE(thread.Start());
    ASSERT_TRUE(WaitUntil([&] { return c.calls >= 3; }));
    thread.End(false);

    // End waits for the pass in progress, so only whole passes are logged.
    const std::wstring text = log.Text();
    ASSERT_GE(text.size(), 9u);
    ASSERT_EQ(0u, text.size() % 3) << std::string(text.begin(), text.end());
    for (size_t i = 0; i < text.size(); i += 3)
        EXPECT_EQ(L"ABC", text.substr(i, 3)) << "pass " << i / 3;
}

TEST(Thread, ThrowingUnitShowsOneBoxPerPassAndTheUnitsAfterItNeverRun)
{
    MessageBoxWatcher watcher;
    Unit before;
    Unit thrower([](Orvu::Thread*) { throw Orvu::Exception(L"disk full", L"Backup"); });
    Unit after;
    Orvu::Thread thread(10);
    thread.AddProc(&before);
    thread.AddProc(&thrower);
    thread.AddProc(&after);

    ASSERT_TRUE(thread.Start());
    ASSERT_TRUE(watcher.WaitFor(3));
    thread.End(false);

    EXPECT_EQ(0, after.calls);
    EXPECT_EQ(thrower.calls.load(), before.calls.load());
    const auto boxes = watcher.Seen();
    EXPECT_EQ(static_cast<size_t>(thrower.calls.load()), boxes.size());
    for (const auto& box : boxes)
    {
        EXPECT_EQ(L"Orvu - Error: Backup", box.caption);
        EXPECT_EQ(L"disk full", box.text);
    }
}

TEST(Thread, AnyOtherExceptionIsShownAsTheDefaultOneAndTheWorkerGoesOn)
{
    MessageBoxWatcher watcher;
    Unit once(
        [](Orvu::Thread*)
        {
            static bool thrown = false;
            if (!thrown)
            {
                thrown = true;
                throw std::runtime_error("not an engine exception");
            }
        });
    Orvu::Thread thread(5);
    thread.AddProc(&once);

    ASSERT_TRUE(thread.Start());
    ASSERT_TRUE(watcher.WaitFor(1));
    ASSERT_TRUE(WaitUntil([&] { return once.calls >= 3; }));
    thread.End(false);

    const auto boxes = watcher.Seen();
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ(L"Orvu - Error: Unknown", boxes[0].caption);
    EXPECT_EQ(L"Undefined", boxes[0].text);
}

TEST(Thread, EndWaitingReturnsWithinOnePassPlusTheSleepAndNothingRunsAfterwards)
{
    std::atomic<bool> inside(false);
    Unit slow(
        [&](Orvu::Thread*)
        {
            inside = true;
            Sleep(50);
            inside = false;
        });
    Orvu::Thread thread(100);
    thread.AddProc(&slow);
    ASSERT_TRUE(thread.Start());
    ASSERT_TRUE(WaitUntil([&] { return slow.calls >= 2 && inside; }));

    const DWORD start = GetTickCount();
    thread.End(false);
    const DWORD elapsed = GetTickCount() - start;

    EXPECT_FALSE(inside);
    EXPECT_FALSE(thread.IsRunning());
    EXPECT_LT(elapsed, 50u + 100u + 100u);
    const int calls = slow.calls;
    Sleep(300);
    EXPECT_EQ(calls, slow.calls);
}

TEST(Thread, EndKillingStopsABlockedWorkerAndTheThreadStaysUsable)
{
    HANDLE never = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    ASSERT_NE(nullptr, never);
    Unit blocked([&](Orvu::Thread*) { WaitForSingleObject(never, INFINITE); });
    Unit other;
    Orvu::Thread thread(5);
    thread.AddProc(&blocked);
    ASSERT_TRUE(thread.Start());
    ASSERT_TRUE(WaitUntil([&] { return blocked.calls == 1; }));
    Sleep(20);

    const DWORD start = GetTickCount();
    thread.End(true);
    EXPECT_LT(GetTickCount() - start, 1000u);
    EXPECT_FALSE(thread.IsRunning());

    // The killed worker held the unit list during its pass; changing the
    // list afterwards must not wait for it for ever.
    std::atomic<bool> changed(false);
    std::thread changer(
        [&]
        {
            thread.RemoveProc(&blocked);
            thread.AddProc(&other);
            changed = true;
        });
    const bool done = WaitUntil([&] { return changed.load(); }, 2000);
    if (!done)
    {
        changer.detach();
        FAIL() << "the unit list stayed locked after the kill";
    }
    changer.join();

    ASSERT_TRUE(thread.Start());
    EXPECT_TRUE(WaitUntil([&] { return other.calls >= 2; }));
    thread.End(false);
    EXPECT_EQ(1, blocked.calls);
    CloseHandle(never);
}

TEST(Thread, DestroyingARunningThreadWaitsForTheWorker)
{
    std::atomic<bool> inside(false);
    HANDLE worker = nullptr;
    Unit slow(
        [&](Orvu::Thread*)
        {
            if (worker == nullptr)
                worker = OpenThread(SYNCHRONIZE, FALSE, GetCurrentThreadId());
            inside = true;
            Sleep(150);
            inside = false;
        });
    Orvu::Thread* thread = new Orvu::Thread(10);
    thread->AddProc(&slow);
    ASSERT_TRUE(thread->Start());
    ASSERT_TRUE(WaitUntil([&] { return inside.load(); }));

    delete thread;

    EXPECT_FALSE(inside);
    ASSERT_NE(nullptr, worker);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(worker, 0));
    CloseHandle(worker);
}

TEST(Thread, UnitRemovedWhileRunningIsNeverCalledAfterRemoveProcReturns)
{
    Unit slow([](Orvu::Thread*) { Sleep(20); });
    Unit added;
    Orvu::Thread thread(1);
    thread.AddProc(&slow);
    ASSERT_TRUE(thread.Start());
    ASSERT_TRUE(WaitUntil([&] { return slow.calls >= 2; }));

    EXPECT_TRUE(thread.AddProc(&added));
    EXPECT_TRUE(WaitUntil([&] { return added.calls >= 2; }));
    EXPECT_FALSE(thread.AddProc(&added));

    EXPECT_TRUE(thread.RemoveProc(&slow));
    const int calls = slow.calls;
    const int addedCalls = added.calls;
    Sleep(150);
    EXPECT_EQ(calls, slow.calls);
    EXPECT_GT(added.calls, addedCalls);
    thread.End(false);
}

TEST(Thread, UnitCanEndItsOwnThreadWhichCanThenBeStartedAgain)
{
    Unit ender([](Orvu::Thread* thread) { thread->End(false); });
    Orvu::Thread thread(5);
    thread.AddProc(&ender);
    ASSERT_TRUE(thread.Start());
    ASSERT_TRUE(WaitUntil([&] { return !thread.IsRunning(); }));
    Sleep(50);
    EXPECT_EQ(1, ender.calls);

    ASSERT_TRUE(thread.Start());
    ASSERT_TRUE(WaitUntil([&] { return ender.calls == 2 && !thread.IsRunning(); }));
    thread.End(false);
    EXPECT_EQ(2, ender.calls);
}

TEST(Thread, NegativeSleepMeansNoPauseRatherThanSleepingForEver)
{
    Unit unit;
    Orvu::Thread thread(50);
    thread.SetSleep(-1);
    EXPECT_EQ(0, thread.GetSleep());
    thread.AddProc(&unit);
    ASSERT_TRUE(thread.Start());
    EXPECT_TRUE(WaitUntil([&] { return unit.calls >= 3; }, 2000));
    thread.End(false);
}

TEST(Thread, UnitMayDeleteItsOwnThreadAndTheWorkerThenLeavesWithoutTouchingIt)
{
    std::atomic<DWORD> worker(0);
    Unit deleter(
        [&](Orvu::Thread* thread)
        {
            worker = GetCurrentThreadId();
            delete thread;
        });
    // Listed after the deleter: running it would hand it a deleted Thread.
    Unit after;
    Orvu::Thread* thread = new Orvu::Thread(5);
    thread->AddProc(&deleter);
    thread->AddProc(&after);
    ASSERT_TRUE(thread->Start());
    ASSERT_TRUE(WaitUntil([&] { return worker != 0; }));

    HANDLE handle = OpenThread(SYNCHRONIZE, FALSE, worker);
    if (handle != nullptr)
    {
        EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(handle, 5000)) << "the worker did not end";
        CloseHandle(handle);
    }
    Sleep(50);
    EXPECT_EQ(1, deleter.calls);
    EXPECT_EQ(0, after.calls);
}
