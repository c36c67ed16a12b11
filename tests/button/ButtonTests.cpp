// The push button inside an engine window: placement, visibility, text, its
// font, and the tab and return characters it swallows.

#include "Button.h"
#include "Exception.h"
#include "WindowBase.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

namespace
{

struct SeenMessage
{
    UINT msg;
    WPARAM wParam;
};

bool Saw(const std::vector<SeenMessage>& seen, UINT msg, WPARAM wParam)
{
    for (const SeenMessage& m : seen)
        if (m.msg == msg && m.wParam == wParam)
            return true;
    return false;
}

// Replaces the window procedure of the system class "BUTTON" while it lives,
// so that it sees what reaches the control's own procedure from underneath
// the Button's replacement. Only controls created meanwhile are affected.
class ClassProcedureSpy
{
public:
    ClassProcedureSpy()
    {
        HWND probe = Probe();
        s_original = reinterpret_cast<WNDPROC>(
            SetClassLongPtrW(probe, GCLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Proc)));
        DestroyWindow(probe);
        s_seen.clear();
    }
    ~ClassProcedureSpy()
    {
        HWND probe = Probe();
        SetClassLongPtrW(probe, GCLP_WNDPROC, reinterpret_cast<LONG_PTR>(s_original));
        DestroyWindow(probe);
    }
    bool Installed() const { return s_original != nullptr; }
    static std::vector<SeenMessage> s_seen;

private:
    static HWND Probe()
    {
        return CreateWindowExW(0, L"BUTTON", L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, nullptr,
                               nullptr);
    }
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
    {
        s_seen.push_back({msg, wParam});
        return CallWindowProcW(s_original, hwnd, msg, wParam, lParam);
    }
    static WNDPROC s_original;
};

std::vector<SeenMessage> ClassProcedureSpy::s_seen;
WNDPROC ClassProcedureSpy::s_original = nullptr;

// Sits on top of the Button's replacement procedure and notes what arrives
// at the control before the Button sees it.
class ArrivalSpy
{
public:
    explicit ArrivalSpy(HWND control) : m_control(control)
    {
        s_seen.clear();
        s_below = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Proc)));
    }
    ~ArrivalSpy()
    {
        SetWindowLongPtrW(m_control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(s_below));
    }
    static std::vector<SeenMessage> s_seen;

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
    {
        s_seen.push_back({msg, wParam});
        return CallWindowProcW(s_below, hwnd, msg, wParam, lParam);
    }
    HWND m_control;
    static WNDPROC s_below;
};

std::vector<SeenMessage> ArrivalSpy::s_seen;
WNDPROC ArrivalSpy::s_below = nullptr;

// Dispatches what is queued for this thread, as the run loop does.
void Pump()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
    {
        // A handler-less engine window posts the quit message when destroyed.
        if (msg.message == WM_QUIT)
            continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

// The only child of the parent: the Button's control.
HWND ControlOf(HWND parent)
{
    return FindWindowExW(parent, nullptr, L"BUTTON", nullptr);
}

class ButtonTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_parent.Create(WS_OVERLAPPEDWINDOW, 0, nullptr);
        m_parent.Show(SW_SHOW);
        Pump();
    }
    void TearDown() override { Pump(); }

    Orvu::WindowBase m_parent;
};

// Counts the dark pixels of the control's client area as it paints itself.
int DarkPixels(HWND control)
{
    RECT client;
    GetClientRect(control, &client);
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, client.right, client.bottom);
    HGDIOBJ old = SelectObject(memory, bitmap);
    SendMessageW(control, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory), PRF_CLIENT);
    int dark = 0;
    for (int y = 0; y < client.bottom; ++y)
        for (int x = 0; x < client.right; ++x)
        {
            const COLORREF c = GetPixel(memory, x, y);
            if (GetRValue(c) + GetGValue(c) + GetBValue(c) < 200)
                ++dark;
        }
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return dark;
}

} // namespace

TEST_F(ButtonTest, NewButtonIsHiddenAndEmptyUntilPlacedAndShown)
{
    Button button(m_parent.GetHandle(), L"OK");
    HWND control = ControlOf(m_parent.GetHandle());
    ASSERT_NE(nullptr, control);

    RECT window;
    GetWindowRect(control, &window);
    EXPECT_FALSE(IsWindowVisible(control));
    EXPECT_EQ(0, window.right - window.left);
    EXPECT_EQ(0, window.bottom - window.top);

    button.Show();
    EXPECT_TRUE(IsWindowVisible(control));
    GetWindowRect(control, &window);
    EXPECT_EQ(0, window.right - window.left) << "shown but not yet placed";

    button.SetBounds(10, 20, 80, 24);
    GetWindowRect(control, &window);
    EXPECT_EQ(80, window.right - window.left);
    EXPECT_EQ(24, window.bottom - window.top);

    button.Hide();
    EXPECT_FALSE(IsWindowVisible(control));
}

TEST_F(ButtonTest, GetRectIsTheClientAreaPlacedWhereSetBoundsPutTheButton)
{
    Button button(m_parent.GetHandle());
    button.SetBounds(10, 20, 80, 24);
    button.Show();
    HWND control = ControlOf(m_parent.GetHandle());

    const RECT rect = button.GetRect();
    EXPECT_EQ(10, rect.left);
    EXPECT_EQ(20, rect.top);
    // The thin border takes one pixel on every side of the 80 x 24 control.
    EXPECT_EQ(10 + 78, rect.right);
    EXPECT_EQ(20 + 22, rect.bottom);

    RECT window;
    GetWindowRect(control, &window);
    MapWindowPoints(nullptr, m_parent.GetHandle(), reinterpret_cast<POINT*>(&window), 2);
    EXPECT_EQ(10, window.left);
    EXPECT_EQ(20, window.top);
}

TEST_F(ButtonTest, SetEnabledEnablesAndDisablesTheControl)
{
    Button button(m_parent.GetHandle(), L"Go");
    HWND control = ControlOf(m_parent.GetHandle());
    EXPECT_TRUE(IsWindowEnabled(control));
    button.SetEnabled(false);
    EXPECT_FALSE(IsWindowEnabled(control));
    button.SetEnabled(true);
    EXPECT_TRUE(IsWindowEnabled(control));
}

TEST_F(ButtonTest, TabAndReturnTypedIntoTheFocusedButtonAreSwallowed)
{
    ClassProcedureSpy below;
    ASSERT_TRUE(below.Installed());
    Button button(m_parent.GetHandle(), L"OK");
    button.SetBounds(10, 20, 80, 24);
    button.Show();
    HWND control = ControlOf(m_parent.GetHandle());
    SetFocus(control);
    ASSERT_EQ(control, GetFocus());
    ArrivalSpy above(control);
    ClassProcedureSpy::s_seen.clear();

    // Key presses as the system queues them for the focused window; the
    // translation in the message loop makes the characters.
    for (WPARAM key :
         {static_cast<WPARAM>(VK_TAB), static_cast<WPARAM>(VK_RETURN), static_cast<WPARAM>('A')})
    {
        PostMessageW(GetFocus(), WM_KEYDOWN, key, 1);
        PostMessageW(GetFocus(), WM_KEYUP, key, 0xC0000001);
    }
    Pump();

    // The characters did reach the control ...
    EXPECT_TRUE(Saw(ArrivalSpy::s_seen, WM_CHAR, 9));
    EXPECT_TRUE(Saw(ArrivalSpy::s_seen, WM_CHAR, 13));
    // ... but never the control's own procedure, unlike other characters.
    EXPECT_FALSE(Saw(ClassProcedureSpy::s_seen, WM_CHAR, 9));
    EXPECT_FALSE(Saw(ClassProcedureSpy::s_seen, WM_CHAR, 13));
    EXPECT_TRUE(Saw(ClassProcedureSpy::s_seen, WM_CHAR, 'a'));
    EXPECT_TRUE(Saw(ClassProcedureSpy::s_seen, WM_KEYDOWN, VK_TAB));
}

TEST_F(ButtonTest, TextReadBackIsTheTextSetAndLivesUntilTheNextRead)
{
    Button button(m_parent.GetHandle(), L"Options");
    EXPECT_STREQ(L"Options", button.GetText());

    button.SetText(L"first");
    const wchar_t* first = button.GetText();
    EXPECT_STREQ(L"first", first);
    button.SetText(L"second, somewhat longer than the first text");
    EXPECT_STREQ(L"first", first);
    EXPECT_STREQ(L"second, somewhat longer than the first text", button.GetText());

    const std::wstring longText(5000, L'x');
    button.SetText(longText.c_str());
    EXPECT_EQ(longText, button.GetText());

    button.SetText(L"");
    EXPECT_STREQ(L"", button.GetText());

    Button untitled(m_parent.GetHandle());
    EXPECT_STREQ(L"", untitled.GetText());
}

TEST_F(ButtonTest, SetFontGivesTheControlTheDescribedFontAndReleasesThePreviousOne)
{
    Button* button = new Button(m_parent.GetHandle(), L"OK");
    HWND control = ControlOf(m_parent.GetHandle());
    const HFONT own = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));

    button->SetFont(L"Arial", true, true, false, 20);
    const HFONT first = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
    ASSERT_NE(nullptr, first);
    ASSERT_NE(own, first);
    LOGFONTW lf;
    ASSERT_EQ(static_cast<int>(sizeof(lf)), GetObjectW(first, sizeof(lf), &lf));
    EXPECT_STREQ(L"Arial", lf.lfFaceName);
    EXPECT_EQ(20, lf.lfHeight);
    EXPECT_EQ(FW_BOLD, lf.lfWeight);
    EXPECT_EQ(1, lf.lfItalic);
    EXPECT_EQ(0, lf.lfUnderline);

    // A face name longer than the 31 characters a font takes is cut short.
    button->SetFont(L"A face name far longer than thirty-one characters", false, false, true, 12);
    const HFONT second = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
    ASSERT_NE(nullptr, second);
    EXPECT_NE(first, second);
    EXPECT_EQ(0u, GetObjectType(first)) << "the replaced font was not deleted";
    ASSERT_EQ(static_cast<int>(sizeof(lf)), GetObjectW(second, sizeof(lf), &lf));
    EXPECT_EQ(std::wstring(L"A face name far longer than thi"), lf.lfFaceName);
    EXPECT_EQ(1, lf.lfUnderline);

    delete button;
    EXPECT_FALSE(IsWindow(control));
    EXPECT_EQ(0u, GetObjectType(second)) << "the button's font outlived it";
}

TEST_F(ButtonTest, CaptionIsDrawnInTheButtonsFont)
{
    Button button(m_parent.GetHandle(), L"WWW");
    button.SetBounds(0, 0, 240, 80);
    button.Show();
    HWND control = ControlOf(m_parent.GetHandle());

    button.SetFont(L"Arial", true, false, false, 10);
    const int small = DarkPixels(control);
    button.SetFont(L"Arial", true, false, false, 48);
    const int large = DarkPixels(control);
    EXPECT_GT(large, small * 2) << "small " << small << ", large " << large;
}

TEST_F(ButtonTest, ButtonOutlivingItsParentReleasesItsFontAndNothingElse)
{
    Orvu::WindowBase* parent = new Orvu::WindowBase();
    parent->Create(WS_OVERLAPPEDWINDOW, 0, nullptr);
    Button* button = new Button(parent->GetHandle(), L"OK");
    button->SetFont(L"Arial", false, false, false, 14);
    HWND control = ControlOf(parent->GetHandle());
    const HFONT font = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
    ASSERT_NE(nullptr, font);

    delete parent;
    ASSERT_FALSE(IsWindow(control));
    // A window made now may be given the old control's handle; the button
    // must leave it alone.
    HWND stranger = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                    nullptr, nullptr);
    button->SetText(L"ignored");
    EXPECT_STREQ(L"", button->GetText());
    delete button;
    EXPECT_TRUE(IsWindow(stranger));
    EXPECT_EQ(0u, GetObjectType(font));
    DestroyWindow(stranger);
}

TEST(Button, CreatingWithoutAParentWindowThrows)
{
    try
    {
        Button button(nullptr, L"orphan");
        FAIL() << "no exception";
    }
    catch (const Orvu::Exception& e)
    {
        EXPECT_STREQ(L"Button create", e.GetTitle());
    }
}
