#include "MonitorWindow.h"

#include "internal/GdiGuards.h"
#include "Graphics.h"
#include "Ohmwatch.h"
#include "TrayView.h"
#include "WindowManager.h"

namespace
{

const int kDesignDpi = 96;

// The display's scale as the system gives it to this process: the scaling
// of the session for a program that declares itself DPI-aware.
int DisplayDpi()
{
    const Orvu::Gdi::WindowDC screen(nullptr);
    const int dpi = screen.Get() != nullptr ? GetDeviceCaps(screen.Get(), LOGPIXELSY) : 0;
    return dpi > 0 ? dpi : kDesignDpi;
}

} // namespace

MonitorWindow::MonitorWindow(Ohmwatch* app, int windowId, Closing closing)
    : m_pGraphics(nullptr), m_pCanvas(nullptr), m_pApp(app), m_iWindowId(windowId),
      m_closing(closing), m_iDpi(DisplayDpi())
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
        m_pApp->m_pWindowManager->RemoveWindow(m_iWindowId);
        break;
    default:
        break;
    }
    return static_cast<int>(DefWindowProcW(GetHandle(), message, wParam, lParam));
}
