#include "WindowOptions.h"

#include "Color.h"
#include "Graphics.h"
#include "Ohmwatch.h"

#include <string>

WindowOptions::WindowOptions(Ohmwatch* app)
    : MonitorWindow(app, Ohmwatch::WindowIdOptions, Closing::Destroys)
{
}

void WindowOptions::Setup()
{
    Open(kCaptionStyle, 0, Scaled(340), Scaled(200), L"Ohmwatch - Options");
    Show(SW_SHOW);
}

void WindowOptions::OnDraw(Orvu::Canvas*, Orvu::Graphics* graphics)
{
    graphics->SetColor(Orvu::Color(250, 250, 250, 255));
    graphics->DrawSolidBackground();
    graphics->SetColor(Orvu::Color(0, 0, 0, 255));
    // The settings in effect, as read from the settings file at start.
    const Settings& settings = m_pApp->m_settings;
    graphics->SetFont(L"Ariel", false, false, false, Scaled(18));
    graphics->DrawString(settings.AlertDoShow ? L"Show alert = true" : L"Show alert = false",
                         Scaled(10), Scaled(10));
    const std::wstring popup =
        L"Alert popup = " + std::to_wstring(static_cast<int>(settings.AlertShowPercent)) + L"%";
    graphics->DrawString(popup.c_str(), Scaled(10), Scaled(30));
}
