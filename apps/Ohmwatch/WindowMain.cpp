#include "WindowMain.h"

#include "Color.h"
#include "Ohmwatch.h"
#include "SingleInstance.h"

#include <windows.h>

#include <string>

namespace
{

// WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX: a fixed-size window that can be
// closed and minimised.
const unsigned long kStyle = 0x00CA0000;
const int kClientWidth = 280;
const int kClientHeight = 104;
const int kProgramIcon = 101;

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

const wchar_t* StateText(BatteryState state)
{
    switch (state)
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

WindowMain::WindowMain(Ohmwatch* app) : m_pGraphics(nullptr), m_pCanvas(nullptr), m_pApp(app) {}

WindowMain::~WindowMain()
{
    SetWndProc(nullptr);
    delete m_pGraphics;
    delete m_pCanvas;
}

void WindowMain::Setup()
{
    Create(kStyle, 0, nullptr);
    SetTopMost(true);
    SetSize(kClientWidth, kClientHeight);
    SetWndProc(this);
    SetTitle(L"Ohmwatch");
    SetIcon(kProgramIcon);
    m_pGraphics = new Orvu::Graphics();
    m_pCanvas = new Orvu::CanvasWindowFull(this);
    m_pCanvas->SetDrawHandler(this);
}

int WindowMain::WndProc(Orvu::WindowBase*, unsigned int msg, unsigned int wParam, long lParam)
{
    switch (msg)
    {
    case WM_PAINT:
        m_pCanvas->Draw(m_pGraphics);
        break;
    case WM_CLOSE:
        // Closing only hides the window; a double click on the tray icon
        // shows it again.
        Hide();
        return 1;
    default:
        // The hidden status window lives as long as the monitor, so it takes
        // the installer's request to exit.
        if (msg == ExitRequestMessage() && msg != 0)
        {
            PostQuitMessage(0);
            return 0;
        }
        break;
    }
    return static_cast<int>(DefWindowProcW(GetHandle(), msg, wParam, lParam));
}

void WindowMain::OnDraw(Orvu::Canvas*, Orvu::Graphics* g)
{
    const PowerStatus& status = m_pApp->m_lastStatus;

    g->SetColor(Orvu::Color(250, 250, 250, 255));
    g->DrawSolidBackground();
    g->SetColor(Orvu::Color(0, 0, 0, 255));

    // The face name goes to the font system exactly as written; it picks the
    // closest face it has.
    g->SetFont(L"Ariel", true, false, true, 20);
    g->DrawString(L"Power status:", 10, 10);

    g->SetFont(L"Times new roman", false, false, false, 20);
    g->DrawString(L"power source", 18, 36);
    g->DrawString(SourceText(status.source), 120, 36);
    g->DrawString(L"power stored", 18, 56);
    const unsigned int percent = status.percent;
    const std::wstring stored = L": " + std::to_wstring(percent) + L"%";
    g->DrawString(stored.c_str(), 120, 56);
    g->DrawString(L"battery state", 18, 76);
    g->DrawString(StateText(status.batteryState), 120, 76);

    g->SetColor(Orvu::Color(200, 0, 0, 255));
    g->FillRoundRect(kGaugeX, kGaugeTop, kGaugeWidth, kGaugeHeight, kGaugeCorner);

    // An unknown charge (255) gives a level taller than the body, reaching
    // above it to the top of the window.
    const int level = static_cast<int>(percent * kGaugeHeight / 100);
    g->SetColor(Orvu::Color(0, 200, 0, 255));
    g->FillRoundRect(kGaugeX, kGaugeTop + kGaugeHeight - level, kGaugeWidth, level, kGaugeCorner);
}
