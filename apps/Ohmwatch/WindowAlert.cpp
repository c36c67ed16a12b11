#include "WindowAlert.h"

#include "AlertRule.h"
#include "Color.h"
#include "DataFiles.h"
#include "File.h"
#include "Graphics.h"
#include "LayeredWindow.h"
#include "OPPicManager.h"
#include "Ohmwatch.h"
#include "Picture.h"

namespace
{

const int kBannerWidth = 1400;
const int kBannerHeight = 180;
const wchar_t kBannerTitle[] = L"!!! Power disconnected !!!";
const int kBannerTitleMargin = 18;
const int kBannerTitleSize = 128;

// The picture file the setting names, found as every data file is
// (LocateDataFile); when that names no file, the name without the blanks at
// its ends is found the same way (people type "AlertImage: picture.png").
std::wstring AlertPictureFile(const std::wstring& name)
{
    const std::wstring located = LocateDataFile(name);
    if (Orvu::File::Exists(located.c_str()))
        return located;
    const std::wstring::size_type first = name.find_first_not_of(L" \t");
    if (first == std::wstring::npos)
        return located;
    const std::wstring trimmed = name.substr(first, name.find_last_not_of(L" \t") - first + 1);
    return trimmed == name ? located : LocateDataFile(trimmed);
}

} // namespace

// Close and Alt+F4 hide the alert without dismissing it, and never destroy
// it: it is needed again at the next change.
WindowAlert::WindowAlert(Ohmwatch* app)
    : MonitorWindow(app, Ohmwatch::WindowIdAlert, Closing::Hides), m_pPicture(nullptr),
      m_bDismissed(false), m_bTransparent(app->m_settings.AlertUseTransparency), m_iVisibleLeft(0),
      m_iVisibleWidth(0)
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
            AlertPictureFile(m_pApp->m_settings.AlertImage).c_str());
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
    Place();
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

void WindowAlert::Place()
{
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    const int width = GetWidth();
    // Signed: a window larger than the screen stays centred at a negative place.
    const int x = (screenWidth - width) / 2;
    SetPos(x, (screenHeight - GetHeight()) / 2);

    // The part of the window the screen shows, in window coordinates.
    const int visibleLeft = x < 0 ? -x : 0;
    const int visibleRight = screenWidth - x < width ? screenWidth - x : width;
    const int visibleWidth = visibleRight > visibleLeft ? visibleRight - visibleLeft : 0;
    if (visibleLeft != m_iVisibleLeft || visibleWidth != m_iVisibleWidth)
    {
        m_iVisibleLeft = visibleLeft;
        m_iVisibleWidth = visibleWidth;
        // The banner's text follows the visible part. (A layered window
        // keeps its content wherever it goes.)
        if (!m_bTransparent)
            Repaint();
    }
}

void WindowAlert::Show(int showCommand)
{
    if (m_bDismissed)
        return;
    // The screen may have changed since the alert was made or last shown: a
    // laptop taken off its dock changes the resolution as the power goes.
    if (showCommand != SW_HIDE)
        Place();
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
    case WM_DISPLAYCHANGE:
        // A hidden alert is placed when it is next shown.
        if (IsVisible())
            Place();
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

    // The texts go into the part of the banner the screen shows; the title
    // is made smaller where it would not fit, and stays centred on its line.
    const int margin = Scaled(kBannerTitleMargin);
    const int room = m_iVisibleWidth - 2 * margin;
    const int fullSize = Scaled(kBannerTitleSize);
    int size = fullSize;
    graphics->SetFont(L"Ariel", true, false, true, size);
    int titleWidth = graphics->GetTextSize(kBannerTitle).cx;
    if (titleWidth > room && titleWidth > 0 && room > 0)
    {
        size = MulDiv(size, room, titleWidth);
        graphics->SetFont(L"Ariel", true, false, true, size);
        // Glyph widths are rounded at each size: a step or two may remain.
        for (int step = 0; step < 8 && size > 1; ++step)
        {
            titleWidth = graphics->GetTextSize(kBannerTitle).cx;
            if (titleWidth <= room)
                break;
            --size;
            graphics->SetFont(L"Ariel", true, false, true, size);
        }
    }
    graphics->DrawString(kBannerTitle, m_iVisibleLeft + margin, margin + (fullSize - size) / 2);
    graphics->SetFont(L"Ariel", true, false, false, Scaled(16));
    graphics->DrawString(L"Left click to dismiss", m_iVisibleLeft + Scaled(4), Scaled(160));
}
