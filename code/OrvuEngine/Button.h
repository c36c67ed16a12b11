#pragma once

#include "OrvuExport.h"

#include <windows.h>

#include <string>

// A push-button control inside a parent window, for example an engine
// window. The control's window procedure is replaced so that the tab and
// return characters typed into it are swallowed. The button is created
// invisible and 0 x 0; SetBounds and Show place and show it. Used on the
// thread that owns the parent window.
class ORVU_API Button
{
public:
    // Parent window and caption. Throws Orvu::Exception ("Button create")
    // when the control cannot be created, for example without a parent.
    Button(HWND parent, const wchar_t* text);
    explicit Button(HWND parent);
    // Gives the control back its own font, destroys it (unless it went with
    // its parent already) and deletes the font of SetFont.
    virtual ~Button();

    Button(const Button&) = delete;
    Button& operator=(const Button&) = delete;

    // Position and size in the parent's client coordinates.
    void SetBounds(int x, int y, int width, int height);
    // The control's client rectangle placed at the position of SetBounds.
    RECT GetRect();
    void SetEnabled(bool enabled);
    void Update();
    void Show();
    void Hide();
    // The caption; the text stays valid until the next GetText call or the
    // button's destruction.
    const wchar_t* GetText();
    void SetText(const wchar_t* text);
    // Face name (at most 31 characters are used), bold, italic, underline,
    // cell height in logical units. The button owns the font and shows its
    // caption in it; the font of a previous call is deleted. When the font
    // cannot be made, the control goes back to its own font.
    void SetFont(const wchar_t* name, bool bold, bool italic, bool underline, int size);

private:
    void Create(HWND parent, const wchar_t* text);
    static LRESULT CALLBACK ButtonProcStatic(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT ButtonProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

    int m_iX;
    int m_iY;
    HWND m_hWnd;
    WNDPROC m_pOldWndProc;
    HFONT m_hFont;
    // The control's font before the first SetFont; it is not ours to delete.
    HFONT m_hOldFont;
#ifdef _MSC_VER
#pragma warning(push)
#pragma warning(disable : 4251) // private member of an exported class
#endif
    // Holds the caption that GetText last returned.
    std::wstring m_sText;
#ifdef _MSC_VER
#pragma warning(pop)
#endif
};
