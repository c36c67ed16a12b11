// Pictures: pixel layout, resizing by index, and the premultiplied bottom-up
// bitmap that Buffer builds (read back through the DIB section's own bits).

#include "Picture.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <new>
#include <vector>

using Orvu::Color;
using Orvu::Picture;

namespace
{

// The bytes of the picture's bitmap, in memory order.
std::vector<unsigned char> BufferBytes(const Picture& picture)
{
    DIBSECTION section = {};
    if (GetObjectW(picture.GetBuffer(), sizeof section, &section) != sizeof section)
        return std::vector<unsigned char>();
    const unsigned char* bits = static_cast<const unsigned char*>(section.dsBm.bmBits);
    return std::vector<unsigned char>(bits,
                                      bits + section.dsBm.bmWidthBytes * section.dsBm.bmHeight);
}

Color PixelAt(const Picture& picture, unsigned int x, unsigned int y)
{
    Color c(1, 2, 3, 4);
    EXPECT_TRUE(picture.GetPixel(c, x, y)) << x << ", " << y;
    return c;
}

} // namespace

TEST(Picture, CreateMakesABufferedOpaqueBlackPictureOnlyOnce)
{
    Picture picture;
    EXPECT_FALSE(picture.Exists());
    EXPECT_TRUE(picture.Create(2, 2));
    EXPECT_TRUE(picture.Exists());
    EXPECT_TRUE(picture.IsBuffered());
    EXPECT_EQ(2, picture.GetWidth());
    EXPECT_EQ(2, picture.GetHeight());
    EXPECT_TRUE(PixelAt(picture, 1, 1) == Color(0, 0, 0, 255));
    const std::vector<unsigned char> expected = {0, 0, 0, 255, 0, 0, 0, 255,
                                                 0, 0, 0, 255, 0, 0, 0, 255};
    EXPECT_EQ(expected, BufferBytes(picture));

    ASSERT_TRUE(picture.SetPixel(Color(9, 9, 9, 9), 0, 0));
    EXPECT_FALSE(picture.Create(3, 3));
    EXPECT_EQ(2, picture.GetWidth());
    EXPECT_TRUE(PixelAt(picture, 0, 0) == Color(9, 9, 9, 9));
}

TEST(Picture, CreateWithAZeroDimensionSucceedsButLeavesNoPixels)
{
    Picture picture;
    EXPECT_TRUE(picture.Create(5, 0));
    EXPECT_FALSE(picture.Exists());
    EXPECT_FALSE(picture.IsBuffered());
    Color c;
    EXPECT_FALSE(picture.GetPixel(c, 0, 0));
    // Still a picture without pixels, so it can be created for real.
    EXPECT_TRUE(picture.Create(1, 1));
    EXPECT_TRUE(picture.Exists());
}

TEST(Picture, PixelAccessOutsideThePictureFailsAndChangesNothing)
{
    Picture empty;
    Color c(7, 7, 7, 7);
    EXPECT_FALSE(empty.SetPixel(Color(), 0, 0));
    EXPECT_FALSE(empty.GetPixel(c, 0, 0));
    EXPECT_TRUE(c == Color(7, 7, 7, 7));

    Picture picture;
    picture.SetSize(3, 2);
    EXPECT_FALSE(picture.SetPixel(Color(1, 1, 1, 1), 3, 0));
    EXPECT_FALSE(picture.SetPixel(Color(1, 1, 1, 1), 0, 2));
    EXPECT_FALSE(picture.GetPixel(c, 3, 0));
    EXPECT_TRUE(c == Color(7, 7, 7, 7));
    EXPECT_TRUE(picture.SetPixel(Color(1, 1, 1, 1), 2, 1));
    EXPECT_TRUE(PixelAt(picture, 2, 1) == Color(1, 1, 1, 1));
    EXPECT_TRUE(PixelAt(picture, 1, 1) == Color());
}

TEST(Picture, SetSizeKeepsIndicesRatherThanPositions)
{
    const Color topLeft(1, 0, 0, 255), topRight(2, 0, 0, 255), bottomLeft(3, 0, 0, 255),
        bottomRight(4, 0, 0, 255);
    Picture picture;
    picture.SetSize(2, 2);
    picture.SetPixel(topLeft, 0, 0);
    picture.SetPixel(topRight, 1, 0);
    picture.SetPixel(bottomLeft, 0, 1);
    picture.SetPixel(bottomRight, 1, 1);

    picture.SetSize(0, 7);
    picture.SetSize(7, 0);
    EXPECT_EQ(2, picture.GetWidth());
    EXPECT_EQ(2, picture.GetHeight());

    picture.SetSize(4, 1);
    EXPECT_TRUE(PixelAt(picture, 0, 0) == topLeft);
    EXPECT_TRUE(PixelAt(picture, 1, 0) == topRight);
    EXPECT_TRUE(PixelAt(picture, 2, 0) == bottomLeft);
    EXPECT_TRUE(PixelAt(picture, 3, 0) == bottomRight);

    picture.SetSize(3, 2);
    EXPECT_TRUE(PixelAt(picture, 0, 1) == bottomRight);
    EXPECT_TRUE(PixelAt(picture, 1, 1) == Color());
    EXPECT_TRUE(PixelAt(picture, 2, 1) == Color());

    picture.SetSize(1, 1);
    EXPECT_TRUE(PixelAt(picture, 0, 0) == topLeft);
    EXPECT_FALSE(picture.IsBuffered());
}

TEST(Picture, BufferPremultipliesIntoBlueGreenRedAlphaBottomUp)
{
    Picture picture;
    picture.SetSize(2, 2);
    picture.SetPixel(Color(255, 128, 0, 128), 0, 0);
    picture.SetPixel(Color(200, 100, 50, 0), 1, 0);
    picture.SetPixel(Color(10, 20, 30, 255), 0, 1);
    picture.SetPixel(Color(255, 255, 255, 1), 1, 1);
    picture.Buffer();
    ASSERT_TRUE(picture.IsBuffered());

    // Memory row 0 is the bottom row of the image; the top-left pixel lands
    // in the last memory row.
    const std::vector<unsigned char> expected = {30, 20, 10,  255, 1, 1, 1, 1,
                                                 0,  64, 128, 128, 0, 0, 0, 0};
    EXPECT_EQ(expected, BufferBytes(picture));
}

TEST(Picture, BufferStaysStaleUntilRebuilt)
{
    Picture picture;
    ASSERT_TRUE(picture.Create(1, 1));
    ASSERT_TRUE(picture.SetPixel(Color(255, 0, 0, 255), 0, 0));
    EXPECT_TRUE(PixelAt(picture, 0, 0) == Color(255, 0, 0, 255));
    EXPECT_EQ((std::vector<unsigned char>{0, 0, 0, 255}), BufferBytes(picture));

    HBITMAP old = picture.GetBuffer();
    picture.Buffer();
    EXPECT_EQ((std::vector<unsigned char>{0, 0, 255, 255}), BufferBytes(picture));
    // The replaced bitmap was released.
    if (old != picture.GetBuffer())
    {
        EXPECT_EQ(0u, GetObjectType(old));
    }
}

TEST(Picture, ClearEmptiesAFilledPictureAndReleasesItsBitmap)
{
    Picture never;
    never.Clear();
    EXPECT_FALSE(never.Exists());

    Picture picture;
    ASSERT_TRUE(picture.Create(3, 4));
    HBITMAP bitmap = picture.GetBuffer();
    picture.Clear();
    EXPECT_FALSE(picture.Exists());
    EXPECT_FALSE(picture.IsBuffered());
    unsigned int width = 9, height = 9;
    picture.GetSize(width, height);
    EXPECT_EQ(0u, width);
    EXPECT_EQ(0u, height);
    EXPECT_EQ(0u, GetObjectType(bitmap));
}

TEST(Picture, DestructionReleasesTheBitmap)
{
    Picture* picture = new Picture;
    ASSERT_TRUE(picture->Create(8, 8));
    HBITMAP bitmap = picture->GetBuffer();
    ASSERT_EQ(static_cast<DWORD>(OBJ_BITMAP), GetObjectType(bitmap));
    delete picture;
    EXPECT_EQ(0u, GetObjectType(bitmap));
}

TEST(Picture, SizesBeyondTheAddressSpaceRaiseAllocationFailureAndChangeNothing)
{
    Picture picture;
    picture.SetSize(2, 3);
    // 65536 x 65536 wraps to 0 in 32 bits, 65537 x 65537 to 131073; both
    // would leave an array far shorter than the picture's loops expect.
    EXPECT_THROW(picture.SetSize(65536, 65536), std::bad_alloc);
    EXPECT_THROW(picture.SetSize(65537, 65537), std::bad_alloc);
    // Fits in 32 bits as a count but not as bytes.
    EXPECT_THROW(picture.SetSize(32768, 32768), std::bad_alloc);
    EXPECT_EQ(2, picture.GetWidth());
    EXPECT_EQ(3, picture.GetHeight());
    EXPECT_TRUE(PixelAt(picture, 1, 2) == Color());

    Picture created;
    EXPECT_THROW(created.Create(65537, 65537), std::bad_alloc);
    EXPECT_FALSE(created.Exists());
    EXPECT_TRUE(created.Create(1, 1));
}
