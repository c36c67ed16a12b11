#include "WindowOptions.h"

#include "Color.h"
#include "Graphics.h"
#include "Ohmwatch.h"
#include "TrayView.h"
#include "WindowManager.h"

WindowOptions::WindowOptions(Ohmwatch* app) : m_pGraphics(nullptr), m_pCanvas(nullptr), m_pApp(app)
{
}

WindowOptions::~WindowOptions()
{
    SetWndProc(nullptr);
    delete m_pGraphics;
    delete m_pCanvas;
}

void WindowOptions::Setup()
{
    Create(WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, 0, nullptr);
    SetSize(340, 200);
    SetWndProc(this);
    SetTitle(L"Ohmwatch - Options");
    SetIcon(TrayIconProgram);
    m_pGraphics = new Orvu::Graphics();
    m_pCanvas = new Orvu::CanvasWindowFull(this);
    m_pCanvas->SetDrawHandler(this);
    Show(SW_SHOW);
}

int WindowOptions::WndProc(Orvu::WindowBase*, unsigned int message, unsigned int wParam,
                           long lParam)
{
    switch (message)
    {
    case WM_PAINT:
        if (m_pCanvas != nullptr)
            m_pCanvas->Draw(m_pGraphics);
        break;
    case WM_CLOSE:
        // The default processing below destroys the native window; the object
        // goes at the next tick, never from inside its own handler.
        m_pApp->m_pWindowManager->RemoveWindow(Ohmwatch::WindowIdOptions);
        break;
    default:
        break;
    }
    return static_cast<int>(DefWindowProcW(GetHandle(), message, wParam, lParam));
}

void WindowOptions::OnDraw(Orvu::Canvas*, Orvu::Graphics* graphics)
{
    graphics->SetColor(Orvu::Color(250, 250, 250, 255));
    graphics->DrawSolidBackground();
    graphics->SetColor(Orvu::Color(0, 0, 0, 255));
    // Fixed texts: the settings come only from the settings file.
    graphics->SetFont(L"Ariel", false, false, false, 18);
    graphics->DrawString(L"Show alert = true", 10, 10);
    graphics->DrawString(L"Alert popup = 80%", 10, 30);
}
