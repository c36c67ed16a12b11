#pragma once

#include "Color.h"
#include "OrvuExport.h"

#include <windows.h>

namespace Orvu
{

class Canvas;
class Picture;

// The drawing context: a current colour and font, and shapes, text and
// pictures drawn with GDI. Every primitive exists twice: with a trailing HDC
// it draws into that DC; without it, it draws into the drawing DC of the
// canvas the Graphics is attached to, which happens only inside Canvas::Draw.
// Unattached, those forms draw nothing and return false, -1 or (0, 0).
//
// Each call makes the pen and brush it needs and deletes them before it
// returns, leaving the DC's selected objects as they were. The only GDI
// object a Graphics keeps is its font, which it owns.
class ORVU_API Graphics
{
public:
    // Black, no font, not attached.
    Graphics();
    // Deletes the font.
    virtual ~Graphics();

    // The alpha channel is dropped.
    void SetColor(const Color& color);
    // The current colour with alpha 255.
    void GetDrawColor(Color& color) const;
    // Replaces the font with one of the given face (cut to 31 characters),
    // weight, style and cell height. If the system cannot make it, text is
    // drawn with the DC's own font.
    void SetFont(const wchar_t* name, bool bold, bool italic, bool underline, int size);
    // Deletes the current font and takes ownership of the given one.
    void SetFont(HFONT const& font);
    // Still owned by the Graphics.
    HFONT GetFont() const;

    // The bool results are true whenever the drawing was attempted.
    bool DrawPixel(int x, int y, HDC dc) const;
    bool DrawPixel(int x, int y) const;
    // The end point is not painted; the DC's current position is left at (0, 0).
    bool DrawLine(int x1, int y1, int x2, int y2, HDC dc) const;
    bool DrawLine(int x1, int y1, int x2, int y2) const;
    // Outline spanning width + 1 by height + 1 pixels; current position (0, 0) after.
    bool DrawRect(int x, int y, int width, int height, HDC dc) const;
    bool DrawRect(int x, int y, int width, int height) const;
    // Covers width by height pixels.
    bool FillRect(int x, int y, int width, int height, HDC dc) const;
    bool FillRect(int x, int y, int width, int height) const;
    // Outline only, whatever brush the DC holds. corner is the width and
    // height of the ellipse that rounds each corner.
    bool DrawRoundRect(int x, int y, int width, int height, int corner, HDC dc) const;
    bool DrawRoundRect(int x, int y, int width, int height, int corner) const;
    bool FillRoundRect(int x, int y, int width, int height, int corner, HDC dc) const;
    bool FillRoundRect(int x, int y, int width, int height, int corner) const;
    bool DrawOval(int x, int y, int width, int height, HDC dc) const;
    bool DrawOval(int x, int y, int width, int height) const;
    bool FillOval(int x, int y, int width, int height, HDC dc) const;
    bool FillOval(int x, int y, int width, int height) const;
    // Word-wrapped in the box from (x, y) to (x + width - 1, y + height - 1);
    // the height of the drawn text, 0 on failure. Text is drawn without
    // background; afterwards the DC's background mode is OPAQUE and its text
    // colour is what it was.
    int DrawString(const wchar_t* text, int x, int y, int width, int height, HDC dc) const;
    int DrawString(const wchar_t* text, int x, int y, int width, int height) const;
    // One line at (x, y); nonzero on success.
    int DrawString(const wchar_t* text, int x, int y, HDC dc) const;
    int DrawString(const wchar_t* text, int x, int y) const;
    // Blends the picture's bitmap (its per-pixel alpha, and 254/255 overall);
    // false when the picture is null or not buffered.
    bool DrawPicture(Picture* picture, int x, int y, HDC dc) const;
    bool DrawPicture(Picture* picture, int x, int y) const;
    // The part source of the picture, unstretched, at (x, y).
    bool DrawPicture(Picture* picture, int x, int y, RECT source, HDC dc) const;
    bool DrawPicture(Picture* picture, int x, int y, RECT source) const;
    // Fills from (0, 0) over the display's size as the DC reports it.
    bool DrawSolidBackground(HDC dc) const;
    bool DrawSolidBackground() const;
    // The extent of one line of text in the current font.
    SIZE GetTextSize(const wchar_t* text, HDC dc) const;
    SIZE GetTextSize(const wchar_t* text) const;

private:
    // Attachment is the canvas's business, for the length of Canvas::Draw.
    friend class Canvas;

    Graphics(const Graphics&);
    Graphics& operator=(const Graphics&);

    void DeleteFont();

    COLORREF m_dwColor;
    HFONT m_hFont;
    Canvas* m_pCanvas;
};

} // namespace Orvu
