#include "Ohmwatch.h"

#include "AlertRule.h"
#include "DataFiles.h"
#include "OPPicManager.h"
#include "PowerListener.h"
#include "Tray.h"
#include "WindowAlert.h"
#include "WindowMain.h"
#include "WindowManager.h"

#include <memory>
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

    m_pPicManager = new Orvu::OPPicManager();
    // Code only from the program's own folder, never from the current one,
    // which may be anything (a download folder, say).
    const std::wstring programFolder = ProgramFolder();
    if (!programFolder.empty())
        m_pPicManager->LoadPlugins((programFolder + L"plugins\\").c_str());

    m_pWindowManager = new WindowManager();

    // Owned here until the window manager has taken them.
    std::unique_ptr<WindowMain> status(new WindowMain(this));
    std::unique_ptr<WindowAlert> alert(new WindowAlert(this));
    status->Setup();
    alert->Setup();
    if (m_pWindowManager->AddWindow(WindowIdMain, status.get()))
        status.release();
    if (m_pWindowManager->AddWindow(WindowIdAlert, alert.get()))
        alert.release();

    m_pTray = new Tray(this);
    m_pTray->Init();

    m_pPowerListener = new PowerListener();

    // Economical: the loop waits for messages, and the status window asks
    // for a tick when the system announces a change, from its timer, and
    // (through the window manager) when a window closed. The first tick
    // checks the status at start.
    const unsigned int interval = PowerCheckInterval(m_settings);
    WindowMain* statusWindow = dynamic_cast<WindowMain*>(m_pWindowManager->GetWindow(WindowIdMain));
    if (interval > 0 && statusWindow != nullptr && statusWindow->WatchPower(interval))
    {
        Orvu::Core::SetRunMode(Orvu::RunMode::OnRequest);
        Orvu::Core::RequestTick();
    }
}

void Ohmwatch::Tick()
{
    m_pPowerListener->Poll();
    const PowerStatus status = m_pPowerListener->m_status;
    if (status != m_lastStatus)
    {
        // The alert first: the tray waits for the shell, which may hang.
        Orvu::WindowBase* alert = m_pWindowManager->GetWindow(WindowIdAlert);
        if (alert != nullptr)
        {
            if (IsAlertDue(status, m_settings))
                alert->Show(SW_SHOW);
            else
                alert->Hide();
        }

        if (m_pTray != nullptr)
            m_pTray->UpdateStatus(status);

        m_lastStatus = status;

        Orvu::WindowBase* statusWindow = m_pWindowManager->GetWindow(WindowIdMain);
        if (statusWindow != nullptr && statusWindow->IsVisible())
            statusWindow->Repaint();
    }
    m_pWindowManager->DestroyClosed();
}

void Ohmwatch::Release()
{
    delete m_pPowerListener;
    m_pPowerListener = nullptr;
    // Deletes every window still registered.
    delete m_pWindowManager;
    m_pWindowManager = nullptr;
    // Takes the icon out of the notification area.
    delete m_pTray;
    m_pTray = nullptr;
    // Unloads the plugins last: nothing holds a plugin object any more.
    delete m_pPicManager;
    m_pPicManager = nullptr;
}

void Ohmwatch::RemoveClosedWindow(int windowId)
{
    if (m_pWindowManager != nullptr)
        m_pWindowManager->RemoveWindow(windowId);
}
