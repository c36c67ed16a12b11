#pragma once

#include "Core.h"
#include "PowerListener.h"
#include "Settings.h"

// The monitor's application object.
class Ohmwatch : public Orvu::App
{
public:
    Ohmwatch();
    ~Ohmwatch() override;

    void Init() override;
    void Tick() override;
    void Release() override;

private:
    Settings m_settings;
    PowerListener* m_pPowerListener;
};
