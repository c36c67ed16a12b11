#pragma once

#include "Caller.h"
#include "OrvuExport.h"

namespace Orvu
{

// A polled stopwatch with a one-shot alarm. Each Tick measures the time since
// the previous Tick on the system's millisecond counter, adds it to the total
// while the timer runs, and fires the action (every listener's Action with
// this timer) once when the total reaches the action time. Nothing happens
// between ticks: a paused timer still needs its ticks to keep the paused time
// out of the total. Used from the one thread that calls Tick.
class ORVU_API Timer : public Caller
{
public:
    Timer();
    ~Timer() override;

    // Runs on; the total and the fired mark stay.
    void Start();
    // Not running, total 0, the action may fire again.
    void Stop();
    // Not running; the total and the fired mark stay.
    void Pause();
    // Total 0, the action may fire again; running or not as before.
    void Reset();
    // Seconds since the previous Tick (0 on the first), whether or not the
    // timer runs; correct across the counter's wrap-around after 49.7 days.
    float Tick();

    // Seconds of running time after which the action fires.
    void SetActionTime(float seconds);
    float GetActionTime() const;
    // The accumulated running time in seconds.
    float GetTime() const;
    bool IsRunning() const;

private:
    // The counter at the previous Tick; 0 before the first.
    unsigned int m_uLastTime;
    float m_fActionTime;
    float m_fTime;
    bool m_bRunning;
    bool m_bActionCalled;
};

} // namespace Orvu
