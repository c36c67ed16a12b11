// The drawing context, drawn into a DIB section and read back pixel by
// pixel: which pixels each shape covers, what state each call leaves in the
// DC, text, picture blending, fonts, and the forms without a DC.

#include "Color.h"
#include "Graphics.h"
#include "Picture.h"
#include "Surface.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

using Orvu::Color;
using Orvu::Graphics;
using Orvu::Picture;

namespace
{

const COLORREF kWhite = RGB(255, 255, 255);
const COLORREF kInk = RGB(200, 30, 60);

Graphics& Inked(Graphics& g)
{
    g.SetColor(Color(200, 30, 60, 255));
    return g;
}

// The set of ink pixels of a surface, as "x,y;" entries in row order.
std::string InkedPixels(const Surface& s)
{
    std::string out;
    for (int y = 0; y < s.Height(); ++y)
        for (int x = 0; x < s.Width(); ++x)
            if (s.At(x, y) == kInk)
                out += std::to_string(x) + "," + std::to_string(y) + ";";
    return out;
}

// The DC's selected pen, brush and font, to show that a call put them back.
struct Selected
{
    explicit Selected(HDC dc)
        : pen(GetCurrentObject(dc, OBJ_PEN)), brush(GetCurrentObject(dc, OBJ_BRUSH)),
          font(GetCurrentObject(dc, OBJ_FONT))
    {
    }
    bool operator==(const Selected& o) const
    {
        return pen == o.pen && brush == o.brush && font == o.font;
    }
    HGDIOBJ pen, brush, font;
};

POINT Position(HDC dc)
{
    POINT p = {-1, -1};
    GetCurrentPositionEx(dc, &p);
    return p;
}

} // namespace

TEST(Graphics, ColourDropsAlphaAndReportsItOpaque)
{
    Graphics g;
    Color c(1, 2, 3, 4);
    g.GetDrawColor(c);
    EXPECT_TRUE(c == Color(0, 0, 0, 255));
    g.SetColor(Color(10, 20, 30, 0));
    g.GetDrawColor(c);
    EXPECT_TRUE(c == Color(10, 20, 30, 255));

    Surface s(4, 4);
    EXPECT_TRUE(g.DrawPixel(2, 1, s.DC()));
    EXPECT_EQ(RGB(10, 20, 30), s.At(2, 1));
    EXPECT_EQ(1, s.Count(RGB(10, 20, 30)));
}

TEST(Graphics, OutlineRectangleCoversOneMorePixelEachWayThanFilledOne)
{
    Graphics g;
    Inked(g);
    Surface outline(16, 16), filled(16, 16);
    EXPECT_TRUE(g.DrawRect(0, 0, 10, 10, outline.DC()));
    EXPECT_TRUE(g.FillRect(0, 0, 10, 10, filled.DC()));

    std::string expectOutline, expectFilled;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
        {
            const std::string p = std::to_string(x) + "," + std::to_string(y) + ";";
            if (x <= 10 && y <= 10 && (x == 0 || x == 10 || y == 0 || y == 10))
                expectOutline += p;
            if (x <= 9 && y <= 9)
                expectFilled += p;
        }
    EXPECT_EQ(expectOutline, InkedPixels(outline));
    EXPECT_EQ(expectFilled, InkedPixels(filled));
}

TEST(Graphics, LinesLeaveTheCurrentPositionAtOriginAndTheDCsObjectsInPlace)
{
    Graphics g;
    Inked(g);
    Surface s(20, 20);
    const Selected before(s.DC());

    MoveToEx(s.DC(), 7, 7, nullptr);
    EXPECT_TRUE(g.DrawLine(2, 3, 12, 3, s.DC()));
    EXPECT_EQ(0, Position(s.DC()).x);
    EXPECT_EQ(0, Position(s.DC()).y);
    // The end point is not painted.
    EXPECT_EQ(kInk, s.At(2, 3));
    EXPECT_EQ(kInk, s.At(11, 3));
    EXPECT_EQ(kWhite, s.At(12, 3));

    MoveToEx(s.DC(), 7, 7, nullptr);
    EXPECT_TRUE(g.DrawRect(3, 5, 4, 4, s.DC()));
    EXPECT_EQ(0, Position(s.DC()).x);
    EXPECT_EQ(0, Position(s.DC()).y);

    g.FillRect(1, 1, 3, 3, s.DC());
    g.FillRoundRect(1, 1, 8, 8, 3, s.DC());
    g.DrawRoundRect(1, 1, 8, 8, 3, s.DC());
    g.FillOval(1, 1, 8, 8, s.DC());
    g.DrawOval(1, 1, 8, 8, s.DC());
    g.DrawString(L"x", 0, 0, s.DC());
    g.DrawString(L"x", 0, 0, 10, 10, s.DC());
    g.GetTextSize(L"x", s.DC());
    EXPECT_TRUE(Selected(s.DC()) == before);
}

TEST(Graphics, RoundedOutlineIgnoresTheDCsBrushWhileTheFilledOneIsSolid)
{
    Graphics g;
    Inked(g);
    Surface outline(30, 30), filled(30, 30);
    HBRUSH green = CreateSolidBrush(RGB(0, 255, 0));
    HGDIOBJ old = SelectObject(outline.DC(), green);
    EXPECT_TRUE(g.DrawRoundRect(2, 2, 20, 20, 6, outline.DC()));
    SelectObject(outline.DC(), old);
    DeleteObject(green);
    EXPECT_TRUE(g.FillRoundRect(2, 2, 20, 20, 6, filled.DC()));

    EXPECT_EQ(0, outline.Count(RGB(0, 255, 0)));
    EXPECT_EQ(kWhite, outline.At(12, 12));
    EXPECT_EQ(kInk, outline.At(12, 2));
    EXPECT_EQ(kInk, outline.At(2, 12));
    // The rounding takes the corner pixel away.
    EXPECT_EQ(kWhite, outline.At(2, 2));

    EXPECT_EQ(kInk, filled.At(12, 12));
    EXPECT_EQ(kInk, filled.At(12, 2));
    EXPECT_EQ(kWhite, filled.At(2, 2));
    EXPECT_EQ(kWhite, filled.At(22, 12));
}

namespace
{

// The platform's own stroke of the ellipse in (3, 4, 23, 4 + height),
// unfilled: as an arc starting and ending at (3, startY), or (startY < 0) as
// a whole ellipse.
std::string ReferenceOval(int height, int startY)
{
    Surface s(30, 30);
    HPEN pen = CreatePen(PS_SOLID, 1, kInk);
    HGDIOBJ oldPen = SelectObject(s.DC(), pen);
    HGDIOBJ oldBrush = SelectObject(s.DC(), GetStockObject(NULL_BRUSH));
    if (startY < 0)
        Ellipse(s.DC(), 3, 4, 23, 4 + height);
    else
        Arc(s.DC(), 3, 4, 23, 4 + height, 3, startY, 3, startY);
    SelectObject(s.DC(), oldBrush);
    SelectObject(s.DC(), oldPen);
    DeleteObject(pen);
    return InkedPixels(s);
}

// How many "x,y;" entries of a are missing from b; -1 if b has one a lacks.
int Missing(const std::string& a, const std::string& b)
{
    int missing = 0;
    size_t start = 0;
    while (start < a.size())
    {
        const size_t end = a.find(';', start) + 1;
        if (b.find(";" + a.substr(start, end - start)) == std::string::npos &&
            b.compare(0, end - start, a, start, end - start) != 0)
            ++missing;
        start = end;
    }
    return missing;
}

} // namespace

TEST(Graphics, OvalOutlineIsTheWholeEllipseJoinedAtTheMiddleOfItsLeftEdge)
{
    Graphics g;
    Inked(g);
    for (int height : {11, 12, 7})
    {
        Surface oval(30, 30);
        EXPECT_TRUE(g.DrawOval(3, 4, 20, height, oval.DC()));
        const std::string drawn = InkedPixels(oval);
        const std::string whole = ReferenceOval(height, -1);
        // The arc's join may drop a pixel next to it; nothing else is missing
        // and nothing lies outside the ellipse.
        EXPECT_LE(Missing(whole, drawn), 1) << "height " << height;
        EXPECT_EQ(0, Missing(drawn, whole)) << "height " << height;
        EXPECT_EQ(kWhite, oval.At(13, 4 + height / 2)) << "not filled";

        // The join is at y + height / 2, which for an odd height is
        // y + (height - 1) / 2, not the rounded-up middle.
        const int join = 4 + height / 2;
        EXPECT_EQ(ReferenceOval(height, join), drawn) << "height " << height;
        if (height % 2 == 1)
        {
            ASSERT_NE(ReferenceOval(height, join), ReferenceOval(height, join + 1))
                << "the join is visible in the stroke";
            EXPECT_EQ(join, 4 + (height - 1) / 2);
        }
    }

    Surface filled(30, 30);
    EXPECT_TRUE(g.FillOval(3, 4, 20, 11, filled.DC()));
    EXPECT_EQ(kInk, filled.At(13, 9));
    EXPECT_EQ(kWhite, filled.At(3, 4));
}

TEST(Graphics, SolidBackgroundCoversTheDisplaySizeNotTheTarget)
{
    Graphics g;
    Inked(g);
    HDC screen = GetDC(nullptr);
    const int width = GetDeviceCaps(screen, HORZRES);
    const int height = GetDeviceCaps(screen, VERTRES);
    ReleaseDC(nullptr, screen);

    Surface s(width + 5, height + 5);
    EXPECT_TRUE(g.DrawSolidBackground(s.DC()));
    EXPECT_EQ(kInk, s.At(0, 0));
    EXPECT_EQ(kInk, s.At(width - 1, height - 1));
    EXPECT_EQ(kWhite, s.At(width, 0));
    EXPECT_EQ(kWhite, s.At(0, height));
    EXPECT_EQ(width * height, s.Count(kInk));
}

TEST(Graphics, TextIsDrawnWithoutBackgroundAndLeavesOpaqueModeAndTheOldTextColour)
{
    Graphics g;
    Inked(g);
    g.SetFont(L"Tahoma", false, false, false, 16);
    for (int boxed = 0; boxed < 2; ++boxed)
    {
        Surface s(120, 40);
        SetBkMode(s.DC(), TRANSPARENT);
        SetBkColor(s.DC(), RGB(0, 255, 0));
        SetTextColor(s.DC(), RGB(1, 2, 3));
        const int result = boxed ? g.DrawString(L"Hello", 2, 2, 100, 30, s.DC())
                                 : g.DrawString(L"Hello", 2, 2, s.DC());
        EXPECT_NE(0, result);
        EXPECT_EQ(OPAQUE, GetBkMode(s.DC()));
        EXPECT_EQ(RGB(1, 2, 3), GetTextColor(s.DC()));
        EXPECT_GT(s.Count(kInk), 10) << "text drawn in the current colour";
        EXPECT_EQ(0, s.Count(RGB(0, 255, 0))) << "no background behind the text";
    }
}

TEST(Graphics, BoxedTextWrapsInsideABoxOnePixelNarrowerThanGiven)
{
    Graphics g;
    g.SetFont(L"Tahoma", false, false, false, 16);
    Surface s(300, 100);
    const SIZE both = g.GetTextSize(L"wide wide", s.DC());
    const SIZE line = g.GetTextSize(L"wide", s.DC());
    ASSERT_GT(both.cx, line.cx);
    ASSERT_GT(line.cy, 0);

    // A box exactly as wide as the text is one pixel too narrow for it.
    EXPECT_EQ(2 * line.cy, g.DrawString(L"wide wide", 0, 0, both.cx, 80, s.DC()));
    EXPECT_EQ(line.cy, g.DrawString(L"wide wide", 0, 0, both.cx + 1, 80, s.DC()));
}

TEST(Graphics, FontsAreBuiltFromTheArgumentsAndOwnedByTheGraphics)
{
    Graphics* g = new Graphics;
    EXPECT_EQ(nullptr, g->GetFont());

    g->SetFont(L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijkl", true, true, true, 20);
    HFONT built = g->GetFont();
    ASSERT_NE(nullptr, built);
    LOGFONTW lf = {};
    ASSERT_EQ(static_cast<int>(sizeof lf), GetObjectW(built, sizeof lf, &lf));
    EXPECT_EQ(std::wstring(L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcde"), std::wstring(lf.lfFaceName));
    EXPECT_EQ(20, lf.lfHeight);
    EXPECT_EQ(700, lf.lfWeight);
    EXPECT_EQ(1, lf.lfItalic);
    EXPECT_EQ(1, lf.lfUnderline);

    Surface s(10, 10);
    EXPECT_EQ(20, g->GetTextSize(L"Xg", s.DC()).cy);

    // Handing over a font deletes the one held and takes the new one.
    HFONT given = CreateFontW(12, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, L"Tahoma");
    g->SetFont(given);
    EXPECT_EQ(given, g->GetFont());
    EXPECT_EQ(0u, GetObjectType(built));
    EXPECT_EQ(static_cast<DWORD>(OBJ_FONT), GetObjectType(given));
    g->SetFont(given);
    EXPECT_EQ(static_cast<DWORD>(OBJ_FONT), GetObjectType(given)) << "own font handed back";

    g->SetFont(L"Tahoma", false, false, false, 10);
    EXPECT_EQ(0u, GetObjectType(given));

    HFONT last = CreateFontW(14, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, L"Tahoma");
    g->SetFont(last);
    delete g;
    EXPECT_EQ(0u, GetObjectType(last));
}

namespace
{

// What AlphaBlend makes of a premultiplied source channel (colour and alpha
// already multiplied) over a destination channel with constant alpha 254,
// rounding as the platform's blender does.
int Blend(int premultiplied, int alpha, int destination)
{
    const int src = (premultiplied * 254 + 127) / 255;
    const int a = (alpha * 254 + 127) / 255;
    return src + (destination * (255 - a) + 127) / 255;
}

} // namespace

TEST(Graphics, PicturesBlendWithTheirAlphaAndAConstantAlphaOf254)
{
    Picture picture;
    picture.SetSize(3, 2);
    picture.SetPixel(Color(255, 0, 0, 255), 0, 0);
    picture.SetPixel(Color(0, 0, 255, 128), 1, 0);
    picture.SetPixel(Color(50, 60, 70, 0), 2, 0);
    picture.SetPixel(Color(10, 20, 30, 255), 0, 1);

    Graphics g;
    Surface s(8, 8);
    s.Fill(RGB(0, 0, 0));
    EXPECT_FALSE(g.DrawPicture(&picture, 1, 1, s.DC())) << "sized but never buffered";
    EXPECT_FALSE(g.DrawPicture(nullptr, 1, 1, s.DC()));
    EXPECT_EQ(64, s.Count(RGB(0, 0, 0)));

    picture.Buffer();
    s.Fill(RGB(100, 100, 100));
    EXPECT_TRUE(g.DrawPicture(&picture, 1, 1, s.DC()));
    // Constant alpha 254: even an opaque pixel lets 1/255 of the background
    // through, and on its own it is drawn at 254/255 of its colour.
    EXPECT_EQ(RGB(Blend(255, 255, 100), Blend(0, 255, 100), Blend(0, 255, 100)), s.At(1, 1));
    // 128 * 255 / 255 = 128 premultiplied blue at alpha 128.
    EXPECT_EQ(RGB(Blend(0, 128, 100), Blend(0, 128, 100), Blend(128, 128, 100)), s.At(2, 1));
    EXPECT_EQ(RGB(100, 100, 100), s.At(3, 1)) << "transparent pixel";
    EXPECT_EQ(RGB(Blend(10, 255, 100), Blend(20, 255, 100), Blend(30, 255, 100)), s.At(1, 2));
    EXPECT_EQ(RGB(100, 100, 100), s.At(4, 1));
    EXPECT_EQ(RGB(100, 100, 100), s.At(1, 3));

    s.Fill(RGB(0, 0, 0));
    EXPECT_TRUE(g.DrawPicture(&picture, 0, 0, s.DC()));
    EXPECT_EQ(RGB(254, 0, 0), s.At(0, 0)) << "opaque red over black";

    // A part of the picture, unstretched.
    s.Fill(RGB(100, 100, 100));
    RECT source = {0, 1, 2, 2};
    EXPECT_TRUE(g.DrawPicture(&picture, 5, 5, source, s.DC()));
    EXPECT_EQ(RGB(Blend(10, 255, 100), Blend(20, 255, 100), Blend(30, 255, 100)), s.At(5, 5));
    EXPECT_EQ(RGB(Blend(0, 255, 100), Blend(0, 255, 100), Blend(0, 255, 100)), s.At(6, 5));
    EXPECT_EQ(RGB(100, 100, 100), s.At(7, 5));
    EXPECT_EQ(RGB(100, 100, 100), s.At(5, 6));
    EXPECT_EQ(RGB(100, 100, 100), s.At(5, 4));
}

TEST(Graphics, FormsWithoutADCFailWhenNoCanvasIsAttached)
{
    Graphics g;
    Inked(g);
    Picture picture;
    ASSERT_TRUE(picture.Create(2, 2));
    RECT source = {0, 0, 1, 1};

    EXPECT_FALSE(g.DrawPixel(1, 1));
    EXPECT_FALSE(g.DrawLine(0, 0, 5, 5));
    EXPECT_FALSE(g.DrawRect(0, 0, 5, 5));
    EXPECT_FALSE(g.FillRect(0, 0, 5, 5));
    EXPECT_FALSE(g.DrawRoundRect(0, 0, 5, 5, 2));
    EXPECT_FALSE(g.FillRoundRect(0, 0, 5, 5, 2));
    EXPECT_FALSE(g.DrawOval(0, 0, 5, 5));
    EXPECT_FALSE(g.FillOval(0, 0, 5, 5));
    EXPECT_EQ(-1, g.DrawString(L"text", 0, 0, 50, 50));
    EXPECT_EQ(-1, g.DrawString(L"text", 0, 0));
    EXPECT_FALSE(g.DrawPicture(&picture, 0, 0));
    EXPECT_FALSE(g.DrawPicture(&picture, 0, 0, source));
    EXPECT_FALSE(g.DrawSolidBackground());
    const SIZE size = g.GetTextSize(L"text");
    EXPECT_EQ(0, size.cx);
    EXPECT_EQ(0, size.cy);

    // Nothing reached the screen either.
    HDC screen = GetDC(nullptr);
    EXPECT_NE(kInk, GetPixel(screen, 1, 1));
    EXPECT_NE(kInk, GetPixel(screen, 2, 2));
    ReleaseDC(nullptr, screen);
}
