#include "Tray.h"

#include "ContextMenu.h"
#include "Ohmwatch.h"
#include "TrayIcon.h"
#include "TrayView.h"
#include "WindowAbout.h"
#include "WindowManager.h"
#include "WindowOptions.h"

#include <windows.h>

#include <memory>

Tray::Tray(Ohmwatch* app) : m_pTrayIcon(nullptr), m_pMenu(nullptr), m_pApp(app) {}

Tray::~Tray()
{
    delete m_pTrayIcon;
    delete m_pMenu;
}

void Tray::Init()
{
    m_pMenu = new Orvu::ContextMenu();
    m_pMenu->AddMenuItem(L"Options", CommandOptions);
    m_pMenu->AddMenuItem(L"About", CommandAbout);
    m_pMenu->AddSeperator();
    m_pMenu->AddMenuItem(L"Exit", CommandExit);
    m_pMenu->AddActionListener(this);

    m_pTrayIcon = new Orvu::TrayIcon();
    m_pTrayIcon->Init();
    m_pTrayIcon->SetName(L"Ohmwatch");
    m_pTrayIcon->SetIcon(TrayIconUnknown);
    m_pTrayIcon->SetContextMenu(m_pMenu);
    m_pTrayIcon->AddActionListener(this);
}

void Tray::UpdateStatus(const PowerStatus& status)
{
    const TrayView view = MakeTrayView(status);
    if (status.source == PowerSource::Battery || status.source == PowerSource::AC)
    {
        m_pTrayIcon->SetName(view.tooltip);
        m_pTrayIcon->SetIcon(view.iconId);
    }
    else
    {
        m_pTrayIcon->SetIcon(view.iconId);
        m_pTrayIcon->SetName(view.tooltip);
    }
}

void Tray::Action(Orvu::Caller* caller)
{
    if (caller == nullptr)
        return;
    if (caller == m_pTrayIcon)
    {
        Orvu::WindowBase* status = m_pApp->m_pWindowManager->GetWindow(Ohmwatch::WindowIdMain);
        if (status != nullptr)
            status->Show(SW_SHOW);
        return;
    }
    if (caller != m_pMenu)
        return;
    switch (m_pMenu->GetLastPressedItem())
    {
    case CommandExit:
        PostQuitMessage(0);
        break;
    case CommandAbout:
        OpenOrFocus<WindowAbout>(Ohmwatch::WindowIdAbout);
        break;
    case CommandOptions:
        OpenOrFocus<WindowOptions>(Ohmwatch::WindowIdOptions);
        break;
    default:
        // 0: the menu was dismissed without a choice.
        break;
    }
}

template <class TWindow> void Tray::OpenOrFocus(int id)
{
    WindowManager* windows = m_pApp->m_pWindowManager;
    TWindow* existing = dynamic_cast<TWindow*>(windows->GetWindow(id));
    if (existing != nullptr)
    {
        // A window closed since the last tick still has its object here but
        // no native window; focusing it does nothing and none is created
        // until the tick has deleted it.
        existing->SetFocus();
        return;
    }
    std::unique_ptr<TWindow> window(new TWindow(m_pApp));
    window->Setup();
    if (windows->AddWindow(id, window.get()))
        window.release();
}
