#include "WindowAbout.h"

#include "Color.h"
#include "Core.h"
#include "Graphics.h"
#include "Ohmwatch.h"
#include "ProductInfo.h"

#include <string>

WindowAbout::WindowAbout(Ohmwatch* app)
    : MonitorWindow(app, Ohmwatch::WindowIdAbout, Closing::Destroys)
{
}

void WindowAbout::Setup()
{
    Open(kCaptionStyle, 0, Scaled(340), Scaled(100), L"Ohmwatch - About");
    Show(SW_SHOW);
}

void WindowAbout::OnDraw(Orvu::Canvas*, Orvu::Graphics* graphics)
{
    graphics->SetColor(Orvu::Color(250, 250, 250, 255));
    graphics->DrawSolidBackground();
    graphics->SetColor(Orvu::Color(0, 0, 0, 255));

    // "Ariel" is passed on as it stands; the font mapper picks the nearest face.
    graphics->SetFont(L"Ariel", false, false, false, Scaled(18));
    graphics->DrawString(L"Ohmwatch, by the Orvu developers", Scaled(10), Scaled(10));
    graphics->SetFont(L"Ariel", false, false, false, Scaled(16));
    graphics->DrawString(L"More about it on the project's web page", Scaled(10), Scaled(26));

    graphics->SetFont(L"Ariel", false, false, false, Scaled(18));
    graphics->DrawString(L"Ohmwatch Version", Scaled(10), Scaled(50));
    graphics->DrawString(L"OrvuEngine Version", Scaled(10), Scaled(66));

    graphics->SetFont(L"Ariel", true, false, false, Scaled(18));
    graphics->DrawString(OHMWATCH_VERSION_TEXT_W, Scaled(164), Scaled(50));
    graphics->DrawString(std::to_wstring(Orvu::Core::GetVersion()).c_str(), Scaled(164),
                         Scaled(66));
}
