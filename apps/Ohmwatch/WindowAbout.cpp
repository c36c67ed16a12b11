#include "WindowAbout.h"

#include "Color.h"
#include "Core.h"
#include "Graphics.h"
#include "Ohmwatch.h"
#include "ProductInfo.h"
#include "TrayView.h"
#include "WindowManager.h"

#include <string>

WindowAbout::WindowAbout(Ohmwatch* app) : m_pGraphics(nullptr), m_pCanvas(nullptr), m_pApp(app) {}

WindowAbout::~WindowAbout()
{
    SetWndProc(nullptr);
    delete m_pGraphics;
    delete m_pCanvas;
}

void WindowAbout::Setup()
{
    Create(WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, 0, nullptr);
    SetSize(340, 100);
    SetWndProc(this);
    SetTitle(L"Ohmwatch - About");
    SetIcon(TrayIconProgram);
    m_pGraphics = new Orvu::Graphics();
    m_pCanvas = new Orvu::CanvasWindowFull(this);
    m_pCanvas->SetDrawHandler(this);
    Show(SW_SHOW);
}

int WindowAbout::WndProc(Orvu::WindowBase*, unsigned int message, unsigned int wParam, long lParam)
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
        m_pApp->m_pWindowManager->RemoveWindow(Ohmwatch::WindowIdAbout);
        break;
    default:
        break;
    }
    return static_cast<int>(DefWindowProcW(GetHandle(), message, wParam, lParam));
}

void WindowAbout::OnDraw(Orvu::Canvas*, Orvu::Graphics* graphics)
{
    graphics->SetColor(Orvu::Color(250, 250, 250, 255));
    graphics->DrawSolidBackground();
    graphics->SetColor(Orvu::Color(0, 0, 0, 255));

    // "Ariel" is passed on as it stands; the font mapper picks the nearest face.
    graphics->SetFont(L"Ariel", false, false, false, 18);
    graphics->DrawString(L"Ohmwatch, by the Orvu developers", 10, 10);
    graphics->SetFont(L"Ariel", false, false, false, 16);
    graphics->DrawString(L"More about it on the project's web page", 10, 26);

    graphics->SetFont(L"Ariel", false, false, false, 18);
    graphics->DrawString(L"Ohmwatch Version", 10, 50);
    graphics->DrawString(L"OrvuEngine Version", 10, 66);

    graphics->SetFont(L"Ariel", true, false, false, 18);
    graphics->DrawString(OHMWATCH_VERSION_TEXT_W, 164, 50);
    graphics->DrawString(std::to_wstring(Orvu::Core::GetVersion()).c_str(), 164, 66);
}
