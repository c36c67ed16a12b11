#include "WindowOptions.h"

#include "Color.h"
#include "Graphics.h"
#include "Ohmwatch.h"

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
    // Fixed texts: the settings come only from the settings file.
    graphics->SetFont(L"Ariel", false, false, false, Scaled(18));
    graphics->DrawString(L"Show alert = true", Scaled(10), Scaled(10));
    graphics->DrawString(L"Alert popup = 80%", Scaled(10), Scaled(30));
}
