#include "WindowAlert.h"

#include "AlertRule.h"
#include "Color.h"
#include "DataFiles.h"
#include "Graphics.h"
#include "LayeredWindow.h"
#include "OPPicManager.h"
#include "Ohmwatch.h"
#include "Picture.h"

namespace
{

const int kBannerWidth = 1400;
const int kBannerHeight = 180;

} // namespace

// Close and Alt+F4 hide the alert without dismissing it, and never destroy
// it: it is needed again at the next change.
WindowAlert::WindowAlert(Ohmwatch* app)
    : MonitorWindow(app, Ohmwatch::WindowIdAlert, Closing::Hides), m_pPicture(nullptr),
      m_bDismissed(false), m_bTransparent(app->m_settings.AlertUseTransparency)
{
}

WindowAlert::~WindowAlert()
{
    // No more messages reach the picture while it goes.
    SetWndProc(nullptr);
    delete m_pPicture;
}

void WindowAlert::Setup()
{
    if (m_pApp->m_pPicManager != nullptr)
        m_pPicture = m_pApp->m_pPicManager->LoadPicture(
            LocateDataFile(m_pApp->m_settings.AlertImage).c_str());
    // A picture that could not be made drawable would leave the alert
    // invisible (layered) or unpainted; the banner is shown instead.
    if (m_pPicture != nullptr && !m_pPicture->IsBuffered())
    {
        delete m_pPicture;
        m_pPicture = nullptr;
    }
    if (m_pPicture == nullptr)
        m_bTransparent = false;

    int width = Scaled(kBannerWidth);
    int height = Scaled(kBannerHeight);
    if (m_pPicture != nullptr)
    {
        width = m_pPicture->GetWidth();
        height = m_pPicture->GetHeight();
    }
    Open(WS_POPUP, m_bTransparent ? WS_EX_LAYERED : 0, width, height,
         L"Ohmwatch - power disconnected");

    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    // Signed: a window larger than the screen stays centred at a negative place.
    SetPos((screenWidth - width) / 2, (screenHeight - height) / 2);
    SetTopMost(true);

    if (m_bTransparent)
    {
        if (Orvu::SetLayeredContent(*this, *m_pPicture,
                                    AlertConstantAlpha(m_pApp->m_settings.AlertOpacity)))
        {
            // The system keeps its own copy of the content and composes it
            // at every show, so the picture's pixels and bitmap (1.3 MiB for
            // the default picture) are not needed any more.
            delete m_pPicture;
            m_pPicture = nullptr;
        }
        else
        {
            // A layered window without content would stay invisible for the
            // whole run (the system refuses it in some remote or locked
            // sessions and at low colour depths): the alert becomes the
            // ordinary window painted with the picture.
            SetWindowLongW(GetHandle(), GWL_EXSTYLE,
                           GetWindowLongW(GetHandle(), GWL_EXSTYLE) & ~WS_EX_LAYERED);
            m_bTransparent = false;
        }
    }
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
        // The layered window's content is given once and never painted.
        if (m_bTransparent)
            return static_cast<int>(DefWindowProcW(GetHandle(), message, wParam, lParam));
        break;
    case WM_LBUTTONUP:
        window->Hide();
        m_bDismissed = true;
        break;
    default:
        break;
    }
    return MonitorWindow::WndProc(window, message, wParam, lParam);
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
    graphics->SetFont(L"Ariel", true, false, true, Scaled(128));
    graphics->DrawString(L"!!! Power disconnected !!!", Scaled(18), Scaled(18));
    graphics->SetFont(L"Ariel", true, false, false, Scaled(16));
    graphics->DrawString(L"Left click to dismiss", Scaled(4), Scaled(160));
}
