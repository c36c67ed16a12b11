#pragma once

#include "PowerStatus.h"

// Polls the system's power status; the application reads m_status after
// each Poll and detects changes itself.
class PowerListener
{
public:
    PowerListener();
    virtual ~PowerListener();

    // One system call, no allocation: cheap enough for every idle tick. When
    // the call fails, m_status keeps the last status read.
    void Poll();

    PowerStatus m_status;
};
