// The listener itself, polling this machine's real power status.

#include "PowerListener.h"

#include <gtest/gtest.h>

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
