#include "Timer.h"

#include "SystemLibrary.h"

#include <windows.h>

namespace Orvu
{

namespace
{

// winmm's millisecond counter. winmm is loaded when a timer first ticks, not
// imported: a program without timers then never loads it (under Wine it
// brings ole32, rpcrt4 and the audio codec manager along, about 1.5 MiB of
// memory). The function is looked up at every call, which costs about a
// microsecond, so that the counter can be stood in for through the engine's
// GetProcAddress import.
DWORD Milliseconds()
{
    typedef DWORD(WINAPI * TimeGetTimeFunc)();
    static const HMODULE winmm = LoadSystemLibrary(L"winmm.dll");
    const TimeGetTimeFunc timeGetTimeFunc =
        winmm == nullptr ? nullptr
                         : reinterpret_cast<TimeGetTimeFunc>(
                               reinterpret_cast<void*>(GetProcAddress(winmm, "timeGetTime")));
    return timeGetTimeFunc != nullptr ? timeGetTimeFunc() : GetTickCount();
}

} // namespace

Timer::Timer()
    : m_uLastTime(0), m_fActionTime(0.0f), m_fTime(0.0f), m_bRunning(false), m_bActionCalled(false)
{
}

Timer::~Timer() = default;

void Timer::Start()
{
    m_bRunning = true;
}

void Timer::Stop()
{
    m_bRunning = false;
    m_bActionCalled = false;
    m_fTime = 0.0f;
}

void Timer::Pause()
{
    m_bRunning = false;
}

void Timer::Reset()
{
    m_bActionCalled = false;
    m_fTime = 0.0f;
}

float Timer::Tick()
{
    const unsigned int now = static_cast<unsigned int>(Milliseconds());
    // Unsigned 32-bit subtraction stays right when the counter has wrapped
    // around since the previous tick.
    const unsigned int elapsedMs = m_uLastTime == 0 ? 0u : now - m_uLastTime;
    m_uLastTime = now;
    const float seconds = static_cast<float>(static_cast<float>(elapsedMs) / 1000.0);

    if (m_bRunning)
    {
        m_fTime += seconds;
        if (m_fTime >= m_fActionTime && !m_bActionCalled)
        {
            m_bActionCalled = true;
            CallAction();
        }
    }
    return seconds;
}

void Timer::SetActionTime(float seconds)
{
    m_fActionTime = seconds;
}

float Timer::GetActionTime() const
{
    return m_fActionTime;
}

float Timer::GetTime() const
{
    return m_fTime;
}

bool Timer::IsRunning() const
{
    return m_bRunning;
}

} // namespace Orvu
