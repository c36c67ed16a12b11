// The polled stopwatch: measuring between ticks, accumulating while running,
// the one-shot action, and the millisecond counter's wrap-around.

#include "Caller.h"
#include "ImportSlot.h"
#include "Timer.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <vector>

namespace
{

// Notes every action and the timer's total at that moment.
class Listener : public Orvu::Callable
{
public:
    explicit Listener(Orvu::Timer& timer) : m_timer(timer) {}
    void Action(Orvu::Caller* caller) override
    {
        callers.push_back(caller);
        totals.push_back(m_timer.GetTime());
    }
    std::vector<Orvu::Caller*> callers;
    std::vector<float> totals;

private:
    Orvu::Timer& m_timer;
};

// Stands in for winmm's timeGetTime, which the engine looks up by name
// through its import of GetProcAddress, with a clock the test sets, so that
// any counter value, a wrap-around included, can be read by Tick. The import
// is put back on destruction.
class FakeClock
{
public:
    FakeClock()
        : m_slot(ImportSlot::Find(GetModuleHandleW(L"OrvuEngine.dll"), "kernel32.dll",
                                  "GetProcAddress")),
          m_original(nullptr)
    {
        if (m_slot != nullptr)
            m_original = ImportSlot::Write(m_slot, reinterpret_cast<void*>(&Lookup));
    }
    ~FakeClock()
    {
        if (m_slot != nullptr)
            ImportSlot::Write(m_slot, m_original);
    }
    bool Installed() const { return m_slot != nullptr; }
    static void Set(DWORD now) { s_now = now; }
    static void Advance(DWORD ms) { s_now += ms; }

private:
    static DWORD WINAPI Now() { return s_now; }
    static FARPROC WINAPI Lookup(HMODULE module, LPCSTR name)
    {
        if (HIWORD(name) != 0 && std::strcmp(name, "timeGetTime") == 0)
            return reinterpret_cast<FARPROC>(reinterpret_cast<void*>(&Now));
        return GetProcAddress(module, name);
    }

    void** m_slot;
    void* m_original;
    static DWORD s_now;
};

DWORD FakeClock::s_now = 0;

class TimerOnFakeClock : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_clock.Installed()) << "the engine does not import GetProcAddress";
        FakeClock::Set(100000);
    }
    // Advances the clock and ticks.
    float TickAfter(DWORD ms)
    {
        FakeClock::Advance(ms);
        return m_timer.Tick();
    }

    FakeClock m_clock;
    Orvu::Timer m_timer;
};

} // namespace

TEST(Timer, NewTimerIsStoppedAndItsFirstTickMeasuresNothing)
{
    Orvu::Timer timer;
    EXPECT_FALSE(timer.IsRunning());
    EXPECT_EQ(0.0f, timer.GetTime());
    EXPECT_EQ(0.0f, timer.GetActionTime());

    timer.Start();
    EXPECT_TRUE(timer.IsRunning());
    EXPECT_EQ(0.0f, timer.Tick());
    EXPECT_EQ(0.0f, timer.GetTime());
}

TEST(Timer, TicksAQuarterSecondApartMeasureAQuarterSecondOnTheSystemClock)
{
    Orvu::Timer timer;
    timer.Start();
    timer.Tick();
    const float before = timer.GetTime();
    Sleep(250);
    const float elapsed = timer.Tick();
    EXPECT_NEAR(0.25f, elapsed, 0.05f);
    EXPECT_FLOAT_EQ(elapsed, timer.GetTime() - before);
}

TEST_F(TimerOnFakeClock, ActionFiresOnceAtTheFirstTickAtOrPastTheActionTime)
{
    Listener listener(m_timer);
    m_timer.AddActionListener(&listener);
    m_timer.SetActionTime(1.0f);
    EXPECT_EQ(1.0f, m_timer.GetActionTime());
    m_timer.Start();
    m_timer.Tick();

    TickAfter(600);
    TickAfter(300);
    EXPECT_TRUE(listener.callers.empty()) << "fired before the action time";
    TickAfter(300);
    ASSERT_EQ(1u, listener.callers.size());
    EXPECT_EQ(&m_timer, listener.callers[0]);
    EXPECT_NEAR(1.2f, listener.totals[0], 1e-5f);
    TickAfter(500);
    TickAfter(5000);
    EXPECT_EQ(1u, listener.callers.size());

    // Reset makes it fire again, once the action time is reached exactly.
    m_timer.Reset();
    EXPECT_EQ(0.0f, m_timer.GetTime());
    EXPECT_TRUE(m_timer.IsRunning());
    TickAfter(500);
    EXPECT_EQ(1u, listener.callers.size());
    TickAfter(500);
    ASSERT_EQ(2u, listener.callers.size());
    EXPECT_EQ(1.0f, listener.totals[1]);

    // So does Stop, after which the timer has to be started again.
    m_timer.Stop();
    EXPECT_FALSE(m_timer.IsRunning());
    EXPECT_EQ(0.0f, m_timer.GetTime());
    TickAfter(2000);
    EXPECT_EQ(2u, listener.callers.size());
    m_timer.Start();
    TickAfter(1000);
    EXPECT_EQ(3u, listener.callers.size());
}

TEST_F(TimerOnFakeClock, DefaultActionTimeFiresOnTheFirstTickAfterStart)
{
    Listener listener(m_timer);
    m_timer.AddActionListener(&listener);
    m_timer.Tick();
    TickAfter(100);
    EXPECT_TRUE(listener.callers.empty()) << "fired while stopped";
    m_timer.Start();
    TickAfter(10);
    EXPECT_EQ(1u, listener.callers.size());
    TickAfter(10);
    EXPECT_EQ(1u, listener.callers.size());
}

TEST_F(TimerOnFakeClock, PauseKeepsTheTotalWhileTickStillMeasures)
{
    m_timer.Start();
    m_timer.Tick();
    TickAfter(500);
    EXPECT_FLOAT_EQ(0.5f, m_timer.GetTime());

    m_timer.Pause();
    EXPECT_FALSE(m_timer.IsRunning());
    EXPECT_FLOAT_EQ(0.4f, TickAfter(400));
    EXPECT_FLOAT_EQ(0.5f, m_timer.GetTime());

    m_timer.Start();
    EXPECT_FLOAT_EQ(0.25f, TickAfter(250));
    EXPECT_FLOAT_EQ(0.75f, m_timer.GetTime());
}

TEST_F(TimerOnFakeClock, CounterWrapBetweenTwoTicksGivesTheSmallPositiveDifference)
{
    FakeClock::Set(0xFFFFFF00u);
    m_timer.Start();
    m_timer.Tick();
    FakeClock::Set(0x00000010u);
    EXPECT_FLOAT_EQ(0.272f, m_timer.Tick());
    EXPECT_FLOAT_EQ(0.272f, m_timer.GetTime());
    EXPECT_FLOAT_EQ(0.5f, TickAfter(500));
}
