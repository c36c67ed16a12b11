#include "WindowMain.h"

#include "Color.h"
#include "Core.h"
#include "Graphics.h"
#include "Ohmwatch.h"

#include <string>

namespace
{

const int kClientWidth = 280;
const int kClientHeight = 104;

// The gauge: a red body 60 x 86 at (210, 10), filled in green from its
// bottom edge by the charge.
const int kGaugeX = 210;
const int kGaugeTop = 10;
const int kGaugeWidth = 60;
const int kGaugeHeight = 86;
const int kGaugeCorner = 4;

const wchar_t* SourceText(PowerSource source)
{
    switch (source)
    {
    case PowerSource::Battery:
        return L": Battery";
    case PowerSource::AC:
        return L": AC";
    default:
        return L": unknown";
    }
}

const wchar_t* StateText(const PowerStatus& status)
{
    // On mains power a battery that does not charge (full, or held by the
    // system) is not draining either.
    if (status.source == PowerSource::AC && status.batteryState == BatteryState::Draining)
        return L": not charging";
    switch (status.batteryState)
    {
    case BatteryState::Draining:
        return L": draining";
    case BatteryState::Charging:
        return L": charging";
    default:
        return L": no battery";
    }
}

} // namespace

// Closing only hides the window; a double click on the tray icon shows it again.
WindowMain::WindowMain(Ohmwatch* app) : MonitorWindow(app, Ohmwatch::WindowIdMain, Closing::Hides)
{
}

void WindowMain::Setup()
{
    Open(kCaptionStyle, 0, Scaled(kClientWidth), Scaled(kClientHeight), L"Ohmwatch");
    SetTopMost(true);
}

bool WindowMain::WatchPower(unsigned int seconds)
{
    return m_powerWatch.Start(GetHandle(), seconds);
}

int WindowMain::WndProc(Orvu::WindowBase* window, unsigned int message, unsigned int wParam,
                        long lParam)
{
    // The tick checks the power status; the message itself goes on to its
    // default processing (WM_POWERBROADCAST: TRUE, every request granted).
    if (m_powerWatch.CallsForCheck(message, wParam))
        Orvu::Core::RequestTick();
    return MonitorWindow::WndProc(window, message, wParam, lParam);
}

void WindowMain::OnDraw(Orvu::Canvas*, Orvu::Graphics* g)
{
    const PowerStatus& status = m_pApp->m_lastStatus;
    const bool known = status.IsChargeKnown();
    const unsigned int percent = known ? status.percent : 0;

    g->SetColor(Orvu::Color(250, 250, 250, 255));
    g->DrawSolidBackground();

    // The gauge before the texts: ": not charging" is a few pixels wider
    // than the room left of the gauge and would lose its last letter under it.
    const int gaugeX = Scaled(kGaugeX);
    const int gaugeTop = Scaled(kGaugeTop);
    const int gaugeWidth = Scaled(kGaugeWidth);
    const int gaugeHeight = Scaled(kGaugeHeight);
    const int gaugeCorner = Scaled(kGaugeCorner);
    g->SetColor(Orvu::Color(200, 0, 0, 255));
    g->FillRoundRect(gaugeX, gaugeTop, gaugeWidth, gaugeHeight, gaugeCorner);
    // A known charge fills the body from its bottom edge, at most to its top;
    // an unknown one, like 0 %, fills nothing.
    const int level = static_cast<int>(percent * gaugeHeight / 100);
    g->SetColor(Orvu::Color(0, 200, 0, 255));
    g->FillRoundRect(gaugeX, gaugeTop + gaugeHeight - level, gaugeWidth, level, gaugeCorner);

    g->SetColor(Orvu::Color(0, 0, 0, 255));
    // The face name goes to the font system exactly as written; it picks the
    // closest face it has.
    g->SetFont(L"Ariel", true, false, true, Scaled(20));
    g->DrawString(L"Power status:", Scaled(10), Scaled(10));

    g->SetFont(L"Times new roman", false, false, false, Scaled(20));
    g->DrawString(L"power source", Scaled(18), Scaled(36));
    g->DrawString(SourceText(status.source), Scaled(120), Scaled(36));
    g->DrawString(L"power stored", Scaled(18), Scaled(56));
    const std::wstring stored =
        known ? L": " + std::to_wstring(percent) + L"%" : std::wstring(L": unknown");
    g->DrawString(stored.c_str(), Scaled(120), Scaled(56));
    g->DrawString(L"battery state", Scaled(18), Scaled(76));
    g->DrawString(StateText(status), Scaled(120), Scaled(76));
}
