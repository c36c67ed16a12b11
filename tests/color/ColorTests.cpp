// Colour arithmetic: every channel wraps modulo 256 on its own, alpha
// included; quotients truncate; a zero divisor keeps the channel.

#include "Color.h"

#include <gtest/gtest.h>

#include <cstring>
#include <ostream>

namespace Orvu
{
// Readable failure messages.
void PrintTo(const Color& c, std::ostream* os)
{
    *os << "(" << int(c.r) << ", " << int(c.g) << ", " << int(c.b) << ", " << int(c.a) << ")";
}
} // namespace Orvu

using Orvu::Color;

TEST(Color, IsFourBytesRedGreenBlueAlphaAndDefaultsToOpaqueBlack)
{
    static_assert(sizeof(Color) == 4, "pixel arrays rely on 4-byte colours");
    const Color pixels[2] = {Color(1, 2, 3, 4), Color()};
    unsigned char bytes[8];
    std::memcpy(bytes, pixels, sizeof bytes);
    const unsigned char expected[8] = {1, 2, 3, 4, 0, 0, 0, 255};
    EXPECT_EQ(0, std::memcmp(bytes, expected, sizeof bytes));
}

TEST(Color, SumAndDifferenceWrapInEveryChannelWithoutCarry)
{
    EXPECT_EQ(Color(4, 4, 1, 0), Color(250, 10, 0, 255) + Color(10, 250, 1, 1));
    EXPECT_EQ(Color(255, 0, 0, 255), Color(0, 0, 0, 255) - Color(1, 0, 0, 0));
    // Borrow in red must not leak into green; alpha wraps too.
    EXPECT_EQ(Color(255, 10, 20, 254), Color(0, 10, 20, 0) - Color(1, 0, 0, 2));

    Color c(200, 200, 200, 200);
    Color& sum = (c += Color(100, 56, 55, 0));
    EXPECT_EQ(&c, &sum);
    EXPECT_EQ(Color(44, 0, 255, 200), c);
    c -= Color(45, 1, 0, 201);
    EXPECT_EQ(Color(255, 255, 255, 255), c);
}

TEST(Color, ProductsKeepTheLowEightBits)
{
    EXPECT_EQ(Color(64, 128, 0, 0), Color(16, 32, 64, 128) * 4);
    EXPECT_EQ(Color(1, 0, 6, 225), Color(255, 16, 2, 15) * Color(255, 16, 3, 15));

    Color c(3, 100, 255, 129);
    c *= 2;
    EXPECT_EQ(Color(6, 200, 254, 2), c);
    c *= Color(0, 2, 1, 128);
    EXPECT_EQ(Color(0, 144, 254, 0), c);
}

TEST(Color, QuotientsTruncateAndAZeroDivisorKeepsTheChannel)
{
    EXPECT_EQ(Color(66, 33, 16, 85), Color(200, 100, 50, 255) / 3);
    EXPECT_EQ(Color(255, 0, 7, 1), Color(255, 1, 15, 255) / Color(1, 2, 2, 128));
    EXPECT_EQ(Color(200, 100, 50, 255), Color(200, 100, 50, 255) / 0);
    EXPECT_EQ(Color(200, 50, 50, 85), Color(200, 100, 50, 255) / Color(0, 2, 0, 3));

    Color c(9, 9, 9, 9);
    c /= Color(2, 0, 9, 10);
    EXPECT_EQ(Color(4, 9, 1, 0), c);
    c /= 4;
    EXPECT_EQ(Color(1, 2, 0, 0), c);
}

TEST(Color, ComparisonSeesAlphaAndZeroMeansTransparentBlack)
{
    EXPECT_TRUE(Color(1, 2, 3, 4) != Color(1, 2, 3, 5));
    EXPECT_FALSE(Color(1, 2, 3, 4) == Color(1, 2, 3, 5));
    EXPECT_TRUE(Color(1, 2, 3, 4) == Color(1, 2, 3, 4));
    EXPECT_FALSE(Color(1, 2, 3, 4) != Color(1, 2, 3, 4));

    Color c;
    EXPECT_FALSE(c.IsZero());
    EXPECT_FALSE(Color(0, 0, 1, 0).IsZero());
    c.MakeZero();
    EXPECT_TRUE(c.IsZero());
    EXPECT_EQ(Color(0, 0, 0, 0), c);
}
