#pragma once

#include "OrvuExport.h"

// Single-precision scalar math and a 2-D integer vector. Every function
// computes in double precision and rounds its result to float; steps that
// also round to float in between say so.
namespace OMath
{

struct ORVU_API Vector2i
{
    int x;
    int y;

    Vector2i();
    Vector2i(int x, int y);
    Vector2i(const Vector2i& other);
    Vector2i& operator=(const Vector2i& other);

    // Component-wise, wrapping around on 32-bit overflow.
    Vector2i operator+(const Vector2i& other) const;
    Vector2i operator-(const Vector2i& other) const;
    Vector2i operator*(const Vector2i& other) const;
    // Truncates toward zero; a zero divisor component gives 0.
    Vector2i operator/(const Vector2i& other) const;
    Vector2i& operator+=(const Vector2i& other);
    Vector2i& operator-=(const Vector2i& other);
    Vector2i& operator*=(const Vector2i& other);
    Vector2i& operator/=(const Vector2i& other);

    // Each component times or divided by s in double precision, truncated
    // toward zero (saturating at the int range; NaN gives 0).
    Vector2i operator*(float s) const;
    Vector2i& operator*=(float s);
    Vector2i operator/(float s) const;
    Vector2i& operator/=(float s);

    bool operator==(const Vector2i& other) const;
    bool operator!=(const Vector2i& other) const;
};

struct ORVU_API Vector2f
{
    float x;
    float y;

    Vector2f& operator=(const Vector2f& other);
};

ORVU_API float ToRadian(float x);
ORVU_API float ToDegree(float x);
// Maps x into [-pi, pi).
ORVU_API float WrapAngle(float x);

ORVU_API float Cos(float x);
ORVU_API float Sin(float x);
ORVU_API float Tan(float x);
ORVU_API float Acos(float x);
ORVU_API float Asin(float x);
ORVU_API float Atan(float x);
ORVU_API float Atan2(float y, float x);
ORVU_API float Cosh(float x);
ORVU_API float Sinh(float x);
ORVU_API float Tanh(float x);
ORVU_API float Sqrt(float x);
ORVU_API float Exp(float x);
ORVU_API float Log(float x);
ORVU_API float Log10(float x);
ORVU_API float Pow(float x, float y);
ORVU_API float Ceil(float x);
ORVU_API float Floor(float x);

// Truncated remainder: the sign of a.
ORVU_API float FMod(float a, float b);
// Floored remainder: the sign of b; a itself when b is 0.
ORVU_API float Mod(float a, float b);
// Fractional part of x; the integral part goes to whole. Both signed as x.
ORVU_API float Modf(float x, float& whole);
ORVU_API float Abs(float x);
ORVU_API float Distance(float a, float b);
// min when min >= value, else max when max <= value, else value.
ORVU_API float Clamp(float value, float min, float max);
ORVU_API float Max(float a, float b);
ORVU_API float Min(float a, float b);
// -1 for negative x, otherwise 1 (also for 0, -0 and NaN).
ORVU_API int Sign(float x);
ORVU_API float Lerp(float a, float b, float t);
ORVU_API float SmoothStep(float a, float b, float t);
ORVU_API float Hermite(float value1, float tangent1, float value2, float tangent2, float t);
ORVU_API float CatmullRom(float value1, float value2, float value3, float value4, float t);

ORVU_API void MakeZero(Vector2i& v);
ORVU_API bool IsZero(const Vector2i& v);
ORVU_API void Scale(const Vector2i& v, float s, Vector2i& out);
ORVU_API float Dot(const Vector2i& a, const Vector2i& b);
ORVU_API float Cross(const Vector2i& a, const Vector2i& b);
ORVU_API float LengthSquared(const Vector2i& v);
ORVU_API float Length(const Vector2i& v);
// Components become -1, 0 or 1: each is divided by the length and truncated.
ORVU_API void Normalize(const Vector2i& v, Vector2i& out);
ORVU_API void Normalize(Vector2i& v);
ORVU_API float DistanceSquared(const Vector2i& a, const Vector2i& b);
ORVU_API float Distance(const Vector2i& a, const Vector2i& b);
ORVU_API void Lerp(const Vector2i& a, const Vector2i& b, float t, Vector2i& out);
ORVU_API void SmoothStep(const Vector2i& a, const Vector2i& b, float t, Vector2i& out);

} // namespace OMath
