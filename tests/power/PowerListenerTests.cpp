// The listener itself, polling this machine's real power status, and a
// failing system call put in its place.

#include "ImportSlot.h"
#include "PowerListener.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace
{

// Stands in for GetSystemPowerStatus in this program's import table (the
// listener is linked into it): the call fails, after writing a record of a
// battery at 42 % into the caller's buffer. Put back on destruction.
class FailingPowerStatus
{
public:
    FailingPowerStatus()
        : m_slot(ImportSlot::Find(GetModuleHandleW(nullptr), "kernel32.dll",
                                  "GetSystemPowerStatus")),
          m_original(nullptr)
    {
        s_calls = 0;
        if (m_slot != nullptr)
            m_original = ImportSlot::Write(m_slot, reinterpret_cast<void*>(&Fail));
    }
    ~FailingPowerStatus()
    {
        if (m_slot != nullptr)
            ImportSlot::Write(m_slot, m_original);
    }
    FailingPowerStatus(const FailingPowerStatus&) = delete;
    FailingPowerStatus& operator=(const FailingPowerStatus&) = delete;

    bool Installed() const { return m_slot != nullptr; }
    static int Calls() { return s_calls; }

private:
    static BOOL WINAPI Fail(LPSYSTEM_POWER_STATUS status)
    {
        ++s_calls;
        status->ACLineStatus = 0;
        status->BatteryFlag = 0;
        status->BatteryLifePercent = 42;
        SetLastError(ERROR_GEN_FAILURE);
        return FALSE;
    }

    void** m_slot;
    void* m_original;
    static int s_calls;
};

int FailingPowerStatus::s_calls = 0;

} // namespace

TEST(PowerListener, StartsUnknownAndPollReplacesTheStatus)
{
    PowerListener listener;
    EXPECT_TRUE(listener.m_status == PowerStatus());
    listener.Poll();
    // Whatever this machine reports, it arrives as a valid triple.
    EXPECT_GE(static_cast<int>(listener.m_status.source), 0);
    EXPECT_LE(static_cast<int>(listener.m_status.source), 2);
    EXPECT_GE(static_cast<int>(listener.m_status.batteryState), 0);
    EXPECT_LE(static_cast<int>(listener.m_status.batteryState), 2);
}

TEST(PowerListener, AFailedPollKeepsTheLastStatus)
{
    PowerListener fresh;
    // A status no system here reports, so that any real answer replaces it.
    const PowerStatus earlier = MakePowerStatus(255, 255, 57);
    PowerListener listener;
    listener.m_status = earlier;
    {
        FailingPowerStatus failing;
        ASSERT_TRUE(failing.Installed()) << "the program does not import GetSystemPowerStatus";
        fresh.Poll();
        listener.Poll();
        ASSERT_EQ(2, FailingPowerStatus::Calls());
    }
    EXPECT_TRUE(fresh.m_status == PowerStatus()) << "still the initial status";
    EXPECT_TRUE(listener.m_status == earlier) << "still the status read before";

    // The system's answers count again once the call succeeds.
    listener.Poll();
    EXPECT_FALSE(listener.m_status == earlier);
}
