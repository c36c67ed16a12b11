// Scalar math and the integer vector: exact float results where rounding
// order matters, floored vs truncated remainders, and wrap-around.

#include "OMath.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>

using namespace OMath;

namespace
{
const float kPi = 3.1415927410125732f;
}

TEST(Angles, ConversionsHitTheFloatPiExactly)
{
    EXPECT_EQ(kPi, ToRadian(180.0f));
    EXPECT_EQ(180.0f, ToDegree(kPi));
    EXPECT_EQ(0.0f, ToRadian(0.0f));
}

TEST(Angles, WrapAngleMapsIntoHalfOpenRangeFromMinusPi)
{
    EXPECT_EQ(-kPi, WrapAngle(kPi));
    EXPECT_EQ(-kPi, WrapAngle(-kPi));
    EXPECT_EQ(0.0f, WrapAngle(0.0f));
    EXPECT_NEAR(-2.2831852f, WrapAngle(4.0f), 1e-6f);
    EXPECT_NEAR(-2.5663707f, WrapAngle(10.0f), 1e-6f);
    // 3 pi in float: its wrap is -pi and its remainder by pi tiny only when
    // every intermediate step is rounded to float (kept in memory here so the
    // input itself is a float, not a wider register value).
    volatile float threePi = 3.0f * kPi;
    EXPECT_EQ(-kPi, WrapAngle(threePi));
    EXPECT_EQ(-2.384185791015625e-07f, Mod(threePi, kPi));
    for (float x = -20.0f; x < 20.0f; x += 0.37f)
    {
        const float w = WrapAngle(x);
        EXPECT_GE(w, -kPi) << x;
        EXPECT_LT(w, kPi) << x;
    }
}

TEST(Remainders, ModIsFlooredAndFModIsTruncated)
{
    EXPECT_EQ(2.0f, Mod(-1.0f, 3.0f));
    EXPECT_EQ(-1.0f, FMod(-1.0f, 3.0f));
    EXPECT_EQ(-2.0f, Mod(1.0f, -3.0f));
    EXPECT_EQ(5.0f, Mod(5.0f, 0.0f));
    EXPECT_EQ(0.0f, Mod(6.0f, 3.0f));

    float whole = 0.0f;
    EXPECT_FLOAT_EQ(-0.25f, Modf(-2.25f, whole));
    EXPECT_EQ(-2.0f, whole);
}

TEST(Comparisons, ClampMaxMinAndSignFollowTheirTieRules)
{
    EXPECT_EQ(0.0f, Clamp(-1.0f, 0.0f, 10.0f));
    EXPECT_EQ(10.0f, Clamp(11.0f, 0.0f, 10.0f));
    EXPECT_EQ(5.0f, Clamp(5.0f, 0.0f, 10.0f));
    EXPECT_EQ(10.0f, Clamp(5.0f, 10.0f, 0.0f)); // crossed bounds: the lower one wins

    const float nan = std::nanf("");
    EXPECT_EQ(2.0f, Max(nan, 2.0f)); // unordered comparisons give b
    EXPECT_EQ(2.0f, Min(nan, 2.0f));
    EXPECT_EQ(3.0f, Max(3.0f, 1.0f));
    EXPECT_EQ(1.0f, Min(3.0f, 1.0f));

    EXPECT_EQ(1, Sign(0.0f));
    EXPECT_EQ(1, Sign(-0.0f));
    EXPECT_EQ(1, Sign(nan));
    EXPECT_EQ(-1, Sign(-0.5f));
    EXPECT_EQ(3.0f, Distance(5.0f, 2.0f));
    EXPECT_EQ(3.0f, Abs(-3.0f));
}

TEST(Interpolation, DoesNotClampAndHitsItsEndPoints)
{
    EXPECT_EQ(15.0f, Lerp(0.0f, 10.0f, 1.5f));
    EXPECT_EQ(5.0f, SmoothStep(0.0f, 10.0f, 0.5f));
    EXPECT_EQ(-40.0f, SmoothStep(0.0f, 10.0f, 2.0f));

    EXPECT_EQ(3.0f, Hermite(3.0f, 7.0f, 9.0f, -2.0f, 0.0f));
    EXPECT_EQ(9.0f, Hermite(3.0f, 7.0f, 9.0f, -2.0f, 1.0f));
    EXPECT_EQ(4.0f, CatmullRom(1.0f, 4.0f, 6.0f, 11.0f, 0.0f));
    EXPECT_EQ(6.0f, CatmullRom(1.0f, 4.0f, 6.0f, 11.0f, 1.0f));
}

TEST(Scalar, WrapsTheStandardFunctionsInSinglePrecision)
{
    EXPECT_EQ(static_cast<float>(std::sqrt(2.0)), Sqrt(2.0f));
    EXPECT_EQ(static_cast<float>(std::atan2(1.0, -1.0)), Atan2(1.0f, -1.0f));
    EXPECT_EQ(8.0f, Pow(2.0f, 3.0f));
    EXPECT_EQ(-1.0f, Floor(-0.5f));
    EXPECT_EQ(1.0f, Ceil(0.5f));
    EXPECT_EQ(2.0f, Log10(100.0f));
    EXPECT_TRUE(std::isnan(Sqrt(-1.0f))); // domain errors give the library's result
}

TEST(Vector2i, ArithmeticIsComponentWiseAndWrapsAround)
{
    EXPECT_EQ(Vector2i(4, 6), Vector2i(1, 2) + Vector2i(3, 4));
    EXPECT_EQ(Vector2i(-2, -2), Vector2i(1, 2) - Vector2i(3, 4));
    EXPECT_EQ(Vector2i(3, 8), Vector2i(1, 2) * Vector2i(3, 4));
    EXPECT_EQ(Vector2i(-3, 2), Vector2i(-7, 7) / Vector2i(2, 3));
    EXPECT_EQ(Vector2i(INT_MIN, 0), Vector2i(INT_MAX, 0) + Vector2i(1, 0));

    Vector2i v(1, 1);
    (v += Vector2i(1, 2)) *= Vector2i(2, 2);
    EXPECT_EQ(Vector2i(4, 6), v);
    v -= Vector2i(4, 0);
    v /= Vector2i(1, 3);
    EXPECT_EQ(Vector2i(0, 2), v);

    EXPECT_TRUE(Vector2i(1, 2) != Vector2i(1, 3));
    EXPECT_FALSE(Vector2i(1, 2) == Vector2i(1, 3));
}

TEST(Vector2i, ScalarFactorsTruncateTowardZero)
{
    EXPECT_EQ(Vector2i(3, -3), Vector2i(7, -7) * 0.5f);
    EXPECT_EQ(Vector2i(3, 3), Vector2i(7, 7) / 2.0f);
    Vector2i scaled;
    Scale(Vector2i(5, -5), 0.3f, scaled);
    EXPECT_EQ(Vector2i(1, -1), scaled);
}

TEST(Vector2i, UnguardedDivisionsDoNotStopTheProgram)
{
    // Not meaningful results, only results: none of these may trap.
    const Vector2i byZeroVector = Vector2i(5, INT_MIN) / Vector2i(0, -1);
    EXPECT_EQ(0, byZeroVector.x);
    EXPECT_EQ(INT_MIN, byZeroVector.y);
    const Vector2i byZeroFloat = Vector2i(5, 0) / 0.0f;
    EXPECT_EQ(INT_MAX, byZeroFloat.x);
    EXPECT_EQ(0, byZeroFloat.y); // 0 / 0 is NaN
    Vector2i zero;
    Normalize(zero);
    EXPECT_TRUE(IsZero(zero));
}

TEST(Vector2i, NormalizeGivesUnitComponentsOrZero)
{
    Vector2i out;
    Normalize(Vector2i(3, 4), out);
    EXPECT_EQ(Vector2i(0, 0), out);
    Normalize(Vector2i(-5, 0), out);
    EXPECT_EQ(Vector2i(-1, 0), out);
    Vector2i v(0, 9);
    Normalize(v);
    EXPECT_EQ(Vector2i(0, 1), v);
}

TEST(Vector2i, ProductsAndDistances)
{
    EXPECT_EQ(5.0f, Distance(Vector2i(0, 0), Vector2i(3, 4)));
    EXPECT_EQ(25.0f, DistanceSquared(Vector2i(3, 4), Vector2i(0, 0)));
    EXPECT_EQ(1.0f, Cross(Vector2i(1, 0), Vector2i(0, 1)));
    EXPECT_EQ(11.0f, Dot(Vector2i(1, 2), Vector2i(3, 4)));
    EXPECT_EQ(25.0f, LengthSquared(Vector2i(-3, 4)));
    EXPECT_EQ(5.0f, Length(Vector2i(-3, 4)));

    Vector2i v(7, 8);
    MakeZero(v);
    EXPECT_TRUE(IsZero(v));
    EXPECT_FALSE(IsZero(Vector2i(0, 1)));
}

TEST(Vector2i, InterpolationTruncatesEachComponent)
{
    Vector2i out;
    Lerp(Vector2i(0, 0), Vector2i(10, -10), 0.25f, out);
    EXPECT_EQ(Vector2i(2, -2), out);
    SmoothStep(Vector2i(0, 0), Vector2i(10, -10), 0.5f, out);
    EXPECT_EQ(Vector2i(5, -5), out);
}
