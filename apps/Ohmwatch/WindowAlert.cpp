#include "WindowAlert.h"

#include "AlertRule.h"
#include "Color.h"
#include "Graphics.h"
#include "OPPicManager.h"
#include "Ohmwatch.h"
#include "Picture.h"
#include "TrayView.h"

namespace
{

const int kBannerWidth = 1400;
const int kBannerHeight = 180;

// The window's DC, released on every path.
class WindowDC
{
public:
    explicit WindowDC(HWND window) : m_hWnd(window), m_hDC(GetDC(window)) {}
    ~WindowDC()
    {
        if (m_hDC != nullptr)
            ReleaseDC(m_hWnd, m_hDC);
    }
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    HDC Get() const { return m_hDC; }

private:
    HWND m_hWnd;
    HDC m_hDC;
};

// A memory DC compatible with another, deleted on every path.
class MemoryDC
{
public:
    explicit MemoryDC(HDC compatible) : m_hDC(CreateCompatibleDC(compatible)) {}
    ~MemoryDC()
    {
        if (m_hDC != nullptr)
            DeleteDC(m_hDC);
    }
    MemoryDC(const MemoryDC&) = delete;
    MemoryDC& operator=(const MemoryDC&) = delete;
    HDC Get() const { return m_hDC; }

private:
    HDC m_hDC;
};

// Selects an object into a DC and selects the previous one back.
class Selection
{
public:
    Selection(HDC dc, HGDIOBJ object) : m_hDC(dc), m_hOld(SelectObject(dc, object)) {}
    ~Selection()
    {
        if (m_hOld != nullptr && m_hOld != HGDI_ERROR)
            SelectObject(m_hDC, m_hOld);
    }
    Selection(const Selection&) = delete;
    Selection& operator=(const Selection&) = delete;
    bool Succeeded() const { return m_hOld != nullptr && m_hOld != HGDI_ERROR; }

private:
    HDC m_hDC;
    HGDIOBJ m_hOld;
};

} // namespace

WindowAlert::WindowAlert(Ohmwatch* app)
    : m_pGraphics(nullptr), m_pCanvas(nullptr), m_pPicture(nullptr), m_pApp(app),
      m_bDismissed(false), m_bTransparent(app->m_settings.AlertUseTransparency)
{
}

WindowAlert::~WindowAlert()
{
    SetWndProc(nullptr);
    delete m_pPicture;
    delete m_pCanvas;
    delete m_pGraphics;
}

void WindowAlert::Setup()
{
    m_pGraphics = new Orvu::Graphics();
    m_pCanvas = new Orvu::CanvasWindowFull(this);
    m_pCanvas->SetDrawHandler(this);

    if (m_pApp->m_pPicManager != nullptr)
        m_pPicture = m_pApp->m_pPicManager->LoadPicture(m_pApp->m_settings.AlertImage.c_str());
    // A picture that could not be made drawable would leave the alert
    // invisible (layered) or unpainted; the banner is shown instead.
    if (m_pPicture != nullptr && !m_pPicture->IsBuffered())
    {
        delete m_pPicture;
        m_pPicture = nullptr;
    }
    if (m_pPicture == nullptr)
        m_bTransparent = false;

    Create(WS_POPUP, m_bTransparent ? WS_EX_LAYERED : 0, nullptr);

    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    int width = kBannerWidth;
    int height = kBannerHeight;
    if (m_pPicture != nullptr)
    {
        width = m_pPicture->GetWidth();
        height = m_pPicture->GetHeight();
    }
    SetSize(width, height);
    // Signed: a window larger than the screen stays centred at a negative place.
    SetPos((screenWidth - width) / 2, (screenHeight - height) / 2);

    SetTopMost(true);
    SetWndProc(this);
    SetTitle(L"Ohmwatch - power disconnected");
    SetIcon(TrayIconProgram);

    if (m_bTransparent)
        SetLayeredContent(width, height);
}

void WindowAlert::SetLayeredContent(int width, int height)
{
    // The content is given once; the system keeps it and composes it at every
    // later show, so the window never paints itself.
    WindowDC screen(GetHandle());
    MemoryDC source(screen.Get());
    Selection picture(source.Get(), m_pPicture->GetBuffer());

    SIZE size = {width, height};
    POINT origin = {0, 0};
    BLENDFUNCTION blend;
    blend.BlendOp = AC_SRC_OVER;
    blend.BlendFlags = 0;
    blend.SourceConstantAlpha = AlertConstantAlpha(m_pApp->m_settings.AlertOpacity);
    // The picture's buffer holds premultiplied per-pixel alpha.
    blend.AlphaFormat = AC_SRC_ALPHA;
    UpdateLayeredWindow(GetHandle(), screen.Get(), nullptr, &size, source.Get(), &origin, 0, &blend,
                        ULW_ALPHA);
}

void WindowAlert::Show(int showCommand)
{
    if (m_bDismissed)
        return;
    WindowBase::Show(showCommand);
}

void WindowAlert::Hide()
{
    WindowBase::Hide();
    m_bDismissed = false;
}

int WindowAlert::WndProc(Orvu::WindowBase* window, unsigned int message, unsigned int wParam,
                         long lParam)
{
    switch (message)
    {
    case WM_PAINT:
        if (!m_bTransparent && m_pCanvas != nullptr)
            m_pCanvas->Draw(m_pGraphics);
        break;
    case WM_CLOSE:
        // Close and Alt+F4 hide the alert without dismissing it, and never
        // destroy it: it is needed again at the next change.
        Hide();
        return 1;
    case WM_LBUTTONUP:
        window->Hide();
        m_bDismissed = true;
        break;
    default:
        break;
    }
    return static_cast<int>(DefWindowProcW(GetHandle(), message, wParam, lParam));
}

void WindowAlert::OnDraw(Orvu::Canvas* canvas, Orvu::Graphics* graphics)
{
    if (m_pPicture != nullptr)
    {
        graphics->DrawPicture(m_pPicture, 0, 0);
        return;
    }
    graphics->SetColor(Orvu::Color(255, 0, 0, 255));
    // The whole window, which is wider than many screens (DrawSolidBackground
    // stops at the display's width).
    graphics->FillRect(0, 0, canvas->GetWidth(), canvas->GetHeight());
    graphics->SetColor(Orvu::Color(0, 0, 0, 255));
    graphics->SetFont(L"Ariel", true, false, true, 128);
    graphics->DrawString(L"!!! Power disconnected !!!", 18, 18);
    graphics->SetFont(L"Ariel", true, false, false, 16);
    graphics->DrawString(L"Left click to dismiss", 4, 160);
}
