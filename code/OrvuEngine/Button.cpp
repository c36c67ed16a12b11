#include "Button.h"

#include "Exception.h"

namespace
{

// A plain push button, created hidden; the parent's tab order includes it.
const DWORD kButtonStyle = WS_CHILD | WS_CLIPSIBLINGS | WS_BORDER | WS_TABSTOP;

} // namespace

Button::Button(HWND parent, const wchar_t* text)
    : m_iX(0), m_iY(0), m_hWnd(nullptr), m_pOldWndProc(nullptr), m_hFont(nullptr),
      m_hOldFont(nullptr)
{
    Create(parent, text);
}

Button::Button(HWND parent)
    : m_iX(0), m_iY(0), m_hWnd(nullptr), m_pOldWndProc(nullptr), m_hFont(nullptr),
      m_hOldFont(nullptr)
{
    Create(parent, L"");
}

Button::~Button()
{
    if (m_hWnd != nullptr)
    {
        // The control must not be left holding a font that is about to go.
        if (m_hFont != nullptr)
            SendMessageW(m_hWnd, WM_SETFONT, reinterpret_cast<WPARAM>(m_hOldFont), FALSE);
        DestroyWindow(m_hWnd);
        m_hWnd = nullptr;
    }
    if (m_hFont != nullptr)
        DeleteObject(m_hFont);
    m_hFont = nullptr;
    m_hOldFont = nullptr;
}

void Button::Create(HWND parent, const wchar_t* text)
{
    m_hWnd = CreateWindowExW(0, L"BUTTON", text != nullptr ? text : L"", kButtonStyle, 0, 0, 0, 0,
                             parent, nullptr, nullptr, nullptr);
    if (m_hWnd == nullptr)
        throw Orvu::Exception(L"failed to create the button control.", L"Button create");

    // The object goes in first: the replacement procedure needs it from its
    // very first message on.
    SetWindowLongPtrW(m_hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    m_pOldWndProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(
        m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Button::ButtonProcStatic)));
}

LRESULT CALLBACK Button::ButtonProcStatic(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    Button* button = reinterpret_cast<Button*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (button == nullptr)
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    return button->ButtonProc(hwnd, msg, wParam, lParam);
}

LRESULT Button::ButtonProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_CHAR && (wParam == VK_TAB || wParam == VK_RETURN))
        return 0;

    if (msg == WM_NCDESTROY)
    {
        // The control goes, perhaps with its parent while this object lives
        // on: give it back its own procedure and forget it.
        const WNDPROC old = m_pOldWndProc;
        SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(old));
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        m_hWnd = nullptr;
        return CallWindowProcW(old, hwnd, msg, wParam, lParam);
    }

    return CallWindowProcW(m_pOldWndProc, hwnd, msg, wParam, lParam);
}

void Button::SetBounds(int x, int y, int width, int height)
{
    m_iX = x;
    m_iY = y;
    if (m_hWnd != nullptr)
        MoveWindow(m_hWnd, x, y, width, height, TRUE);
}

RECT Button::GetRect()
{
    RECT rect = {0, 0, 0, 0};
    if (m_hWnd != nullptr)
        GetClientRect(m_hWnd, &rect);
    OffsetRect(&rect, m_iX, m_iY);
    return rect;
}

void Button::SetEnabled(bool enabled)
{
    if (m_hWnd != nullptr)
        EnableWindow(m_hWnd, enabled ? TRUE : FALSE);
}

void Button::Update()
{
    if (m_hWnd != nullptr)
        UpdateWindow(m_hWnd);
}

void Button::Show()
{
    if (m_hWnd == nullptr)
        return;
    ShowWindow(m_hWnd, SW_SHOW);
    UpdateWindow(m_hWnd);
}

void Button::Hide()
{
    if (m_hWnd == nullptr)
        return;
    ShowWindow(m_hWnd, SW_HIDE);
    UpdateWindow(m_hWnd);
}

const wchar_t* Button::GetText()
{
    m_sText.clear();
    if (m_hWnd == nullptr)
        return m_sText.c_str();

    const LRESULT length = SendMessageW(m_hWnd, WM_GETTEXTLENGTH, 0, 0);
    if (length <= 0)
        return m_sText.c_str();
    m_sText.assign(static_cast<size_t>(length) + 1, L'\0');
    const LRESULT copied = SendMessageW(m_hWnd, WM_GETTEXT, static_cast<WPARAM>(length) + 1,
                                        reinterpret_cast<LPARAM>(&m_sText[0]));
    m_sText.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
    return m_sText.c_str();
}

void Button::SetText(const wchar_t* text)
{
    if (m_hWnd != nullptr)
        SendMessageW(m_hWnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text != nullptr ? text : L""));
}

void Button::SetFont(const wchar_t* name, bool bold, bool italic, bool underline, int size)
{
    LOGFONTW lf;
    ZeroMemory(&lf, sizeof(lf));
    if (name != nullptr)
        lstrcpynW(lf.lfFaceName, name, LF_FACESIZE);
    lf.lfHeight = size;
    lf.lfWeight = bold ? FW_BOLD : 0;
    lf.lfItalic = italic ? 1 : 0;
    lf.lfUnderline = underline ? 1 : 0;
    const HFONT font = CreateFontIndirectW(&lf);

    if (m_hWnd != nullptr)
    {
        if (m_hFont == nullptr)
            m_hOldFont = reinterpret_cast<HFONT>(SendMessageW(m_hWnd, WM_GETFONT, 0, 0));
        // The control lets go of the previous font before it is deleted.
        SendMessageW(m_hWnd, WM_SETFONT, reinterpret_cast<WPARAM>(font ? font : m_hOldFont), TRUE);
    }
    if (m_hFont != nullptr)
        DeleteObject(m_hFont);
    m_hFont = font;
}
