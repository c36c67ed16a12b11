#include "MonitorWindow.h"

#include "Display.h"
#include "Graphics.h"
#include "Ohmwatch.h"
#include "TrayView.h"

namespace
{

const int kDesignDpi = 96;

} // namespace

MonitorWindow::MonitorWindow(Ohmwatch* app, int windowId, Closing closing)
    : m_pGraphics(nullptr), m_pCanvas(nullptr), m_pApp(app), m_iWindowId(windowId),
      m_closing(closing), m_iDpi(Orvu::GetDisplayDpi())
{
}

MonitorWindow::~MonitorWindow()
{
    SetWndProc(nullptr);
    delete m_pGraphics;
    delete m_pCanvas;
}

void MonitorWindow::Open(unsigned long style, unsigned long exStyle, int width, int height,
                         const wchar_t* title)
{
    m_pGraphics = new Orvu::Graphics();
    m_pCanvas = new Orvu::CanvasWindowFull(this);
    m_pCanvas->SetDrawHandler(this);
    Create(style, exStyle, nullptr);
    SetSize(width, height);
    SetWndProc(this);
    SetTitle(title);
    SetIcon(TrayIconProgram);
}

int MonitorWindow::Scaled(int designPixels) const
{
    return MulDiv(designPixels, m_iDpi, kDesignDpi);
}

int MonitorWindow::WndProc(Orvu::WindowBase*, unsigned int message, unsigned int wParam,
                           long lParam)
{
    switch (message)
    {
    case WM_PAINT:
        if (m_pCanvas != nullptr)
            m_pCanvas->Draw(m_pGraphics);
        break;
    case WM_CLOSE:
        if (m_closing == Closing::Hides)
        {
            Hide();
            return 1;
        }
        // The default processing below destroys the native window; the
        // object goes at the next tick, never from inside its own handler.
        m_pApp->RemoveClosedWindow(m_iWindowId);
        break;
    default:
        break;
    }
    return static_cast<int>(DefWindowProcW(GetHandle(), message, wParam, lParam));
}
