#pragma once

#include "MonitorWindow.h"

namespace Orvu
{
class Picture;
} // namespace Orvu

// The large "power disconnected" popup, top-most, centred on the screen each
// time it is shown and again when the display changes while it shows. Shows
// the alert picture as a per-pixel transparent layered window, or as an
// ordinary popup painted with it; without a usable picture, a red banner. A
// left click dismisses it: it stays away, whatever Show is asked, until the
// next Hide. The picture is pixels: shown at its own size at every display
// scale; the banner and its texts grow with the scale, and the texts stay in
// the part of the banner the screen shows.
class WindowAlert : public MonitorWindow
{
public:
    // Copies the setting AlertUseTransparency; creates nothing yet.
    explicit WindowAlert(Ohmwatch* app);
    ~WindowAlert() override;

    // Loads the picture, creates the hidden window at its place and, when
    // transparent, gives the layered window its content once; when the
    // system refuses that content, the alert is the painted window instead.
    void Setup();

    // Does nothing while the alert is dismissed; otherwise centres the alert
    // on the screen as it is now, then shows it.
    void Show(int showCommand) override;
    // Hides the alert and ends a dismissal.
    void Hide() override;

    int WndProc(Orvu::WindowBase* window, unsigned int message, unsigned int wParam,
                long lParam) override;
    void OnDraw(Orvu::Canvas* canvas, Orvu::Graphics* graphics) override;

    bool IsDismissed() const { return m_bDismissed; }
    bool IsTransparent() const { return m_bTransparent; }

private:
    // Centres the window on the screen as the system reports it now, and
    // takes the part of the window the screen shows.
    void Place();

    // The alert picture for painting; null without a usable picture, and
    // released once a layered window holds its content.
    Orvu::Picture* m_pPicture;
    bool m_bDismissed;
    bool m_bTransparent;
    // The part of the window on the screen, from its left edge, in pixels.
    int m_iVisibleLeft;
    int m_iVisibleWidth;
};
