#include "Ohmwatch.h"

#include "WindowManager.h"

#include <windows.h>

#include <string>

Ohmwatch::Ohmwatch()
    : m_pWindowManager(nullptr), m_pTray(nullptr), m_pPowerListener(nullptr), m_lastStatus(),
      m_pPicManager(nullptr), m_settings()
{
}

Ohmwatch::~Ohmwatch() = default;

void Ohmwatch::Init()
{
    SetDefaultSettings(m_settings);
    ReadSettings(m_settings);
    m_pWindowManager = new WindowManager();
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
    const PowerStatus s = m_pPowerListener->m_status;
    if (s != m_lastStatus)
        m_lastStatus = s;
    m_pWindowManager->DestroyClosed();
}

void Ohmwatch::Release()
{
    delete m_pPowerListener;
    m_pPowerListener = nullptr;
    delete m_pWindowManager;
    m_pWindowManager = nullptr;
}
