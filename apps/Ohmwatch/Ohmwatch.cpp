#include "Ohmwatch.h"

#include <windows.h>

#include <string>

Ohmwatch::Ohmwatch() : m_pPowerListener(nullptr) {}

Ohmwatch::~Ohmwatch()
{
    delete m_pPowerListener;
}

void Ohmwatch::Init()
{
    SetDefaultSettings(m_settings);
    ReadSettings(m_settings);
    m_pPowerListener = new PowerListener();
    m_pPowerListener->Poll();

    // Until the tray icon exists the monitor reports the status once and ends.
    const PowerStatus& s = m_pPowerListener->m_status;
    std::wstring text = L"Source: ";
    text += s.source == PowerSource::AC        ? L"AC"
            : s.source == PowerSource::Battery ? L"Battery"
                                               : L"Unknown";
    text += L"\nCharge: " + std::to_wstring(s.percent) + L"%";
    MessageBoxW(nullptr, text.c_str(), L"Ohmwatch", MB_OK | MB_ICONINFORMATION);
    PostQuitMessage(0);
}

void Ohmwatch::Tick()
{
    m_pPowerListener->Poll();
}

void Ohmwatch::Release()
{
    delete m_pPowerListener;
    m_pPowerListener = nullptr;
}
