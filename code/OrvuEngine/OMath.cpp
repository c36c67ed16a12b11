#include "OMath.h"

#include <cmath>
#include <limits>

namespace OMath
{

namespace
{

const float kPi = 3.1415927410125732f;
const float kTwoPi = 6.2831854820251465f;
const double kDegToRad = 0.017453293005625408;
const double kRadToDeg = 57.29577791868205;

// Rounds to IEEE single precision, through double as the functions promise.
// The x87 unit (the only one on CPUs without SSE2, which the program still
// runs on) keeps a converted value in an 80-bit register with all its extra
// bits unless it is stored to memory; only the stores through volatile
// variables make the rounding happen at every optimisation level.
float Single(double value)
{
    volatile double wide = value;
    volatile float rounded = static_cast<float>(wide);
    return rounded;
}

// Two's-complement wrap-around without signed-overflow undefined behaviour.
int WrapAdd(int a, int b)
{
    return static_cast<int>(static_cast<unsigned>(a) + static_cast<unsigned>(b));
}

int WrapSub(int a, int b)
{
    return static_cast<int>(static_cast<unsigned>(a) - static_cast<unsigned>(b));
}

int WrapMul(int a, int b)
{
    return static_cast<int>(static_cast<unsigned>(a) * static_cast<unsigned>(b));
}

// Integer division that never traps: a zero divisor gives 0, and the one
// overflowing quotient (INT_MIN / -1) wraps around.
int SafeDiv(int a, int b)
{
    if (b == 0)
        return 0;
    if (b == -1)
        return WrapSub(0, a);
    return a / b;
}

// Truncates toward zero into the int range; NaN gives 0.
int TruncToInt(double v)
{
    if (std::isnan(v))
        return 0;
    if (v >= 2147483647.0)
        return std::numeric_limits<int>::max();
    if (v <= -2147483648.0)
        return std::numeric_limits<int>::min();
    return static_cast<int>(v);
}

int IntLengthSquared(int x, int y)
{
    return WrapAdd(WrapMul(x, x), WrapMul(y, y));
}

// |b - a| with the difference rounded to float, truncated to an int.
int AxisDistance(int a, int b)
{
    const float difference = Single(static_cast<double>(b) - a);
    return TruncToInt(std::fabs(difference));
}

} // namespace

Vector2i::Vector2i() : x(0), y(0) {}
Vector2i::Vector2i(int x, int y) : x(x), y(y) {}
Vector2i::Vector2i(const Vector2i& other) = default;
Vector2i& Vector2i::operator=(const Vector2i& other) = default;

Vector2i Vector2i::operator+(const Vector2i& o) const
{
    return Vector2i(WrapAdd(x, o.x), WrapAdd(y, o.y));
}

Vector2i Vector2i::operator-(const Vector2i& o) const
{
    return Vector2i(WrapSub(x, o.x), WrapSub(y, o.y));
}

Vector2i Vector2i::operator*(const Vector2i& o) const
{
    return Vector2i(WrapMul(x, o.x), WrapMul(y, o.y));
}

Vector2i Vector2i::operator/(const Vector2i& o) const
{
    return Vector2i(SafeDiv(x, o.x), SafeDiv(y, o.y));
}

Vector2i& Vector2i::operator+=(const Vector2i& o)
{
    return *this = *this + o;
}

Vector2i& Vector2i::operator-=(const Vector2i& o)
{
    return *this = *this - o;
}

Vector2i& Vector2i::operator*=(const Vector2i& o)
{
    return *this = *this * o;
}

Vector2i& Vector2i::operator/=(const Vector2i& o)
{
    return *this = *this / o;
}

Vector2i Vector2i::operator*(float s) const
{
    return Vector2i(TruncToInt(static_cast<double>(x) * s), TruncToInt(static_cast<double>(y) * s));
}

Vector2i& Vector2i::operator*=(float s)
{
    return *this = *this * s;
}

Vector2i Vector2i::operator/(float s) const
{
    return Vector2i(TruncToInt(static_cast<double>(x) / s), TruncToInt(static_cast<double>(y) / s));
}

Vector2i& Vector2i::operator/=(float s)
{
    return *this = *this / s;
}

bool Vector2i::operator==(const Vector2i& o) const
{
    return x == o.x && y == o.y;
}

bool Vector2i::operator!=(const Vector2i& o) const
{
    return !(*this == o);
}

Vector2f& Vector2f::operator=(const Vector2f& other) = default;

float ToRadian(float x)
{
    return Single(x * kDegToRad);
}

float ToDegree(float x)
{
    return Single(x * kRadToDeg);
}

float WrapAngle(float x)
{
    const float t = Single(static_cast<double>(x) + kPi);
    const float q = Single(static_cast<double>(t) / kTwoPi);
    const float f = Single(std::floor(static_cast<double>(q)));
    const float r = Single(t - static_cast<double>(f) * kTwoPi);
    return Single(static_cast<double>(r) - kPi);
}

float Cos(float x)
{
    return Single(std::cos(static_cast<double>(x)));
}
float Sin(float x)
{
    return Single(std::sin(static_cast<double>(x)));
}
float Tan(float x)
{
    return Single(std::tan(static_cast<double>(x)));
}
float Acos(float x)
{
    return Single(std::acos(static_cast<double>(x)));
}
float Asin(float x)
{
    return Single(std::asin(static_cast<double>(x)));
}
float Atan(float x)
{
    return Single(std::atan(static_cast<double>(x)));
}
float Cosh(float x)
{
    return Single(std::cosh(static_cast<double>(x)));
}
float Sinh(float x)
{
    return Single(std::sinh(static_cast<double>(x)));
}
float Tanh(float x)
{
    return Single(std::tanh(static_cast<double>(x)));
}
float Sqrt(float x)
{
    return Single(std::sqrt(static_cast<double>(x)));
}
float Exp(float x)
{
    return Single(std::exp(static_cast<double>(x)));
}
float Log(float x)
{
    return Single(std::log(static_cast<double>(x)));
}
float Log10(float x)
{
    return Single(std::log10(static_cast<double>(x)));
}
float Ceil(float x)
{
    return Single(std::ceil(static_cast<double>(x)));
}
float Floor(float x)
{
    return Single(std::floor(static_cast<double>(x)));
}

float Atan2(float y, float x)
{
    return Single(std::atan2(static_cast<double>(y), static_cast<double>(x)));
}

float Pow(float x, float y)
{
    return Single(std::pow(static_cast<double>(x), static_cast<double>(y)));
}

float FMod(float a, float b)
{
    return Single(std::fmod(static_cast<double>(a), static_cast<double>(b)));
}

float Mod(float a, float b)
{
    if (b == 0.0f)
        return a;
    const float q = Single(static_cast<double>(a) / b);
    const float f = Single(std::floor(static_cast<double>(q)));
    return Single(a - static_cast<double>(f) * b);
}

float Modf(float x, float& whole)
{
    double integral = 0.0;
    const double fraction = std::modf(static_cast<double>(x), &integral);
    whole = Single(integral);
    return Single(fraction);
}

float Abs(float x)
{
    return std::fabs(x);
}

float Distance(float a, float b)
{
    const float difference = Single(static_cast<double>(b) - a);
    return std::fabs(difference);
}

float Clamp(float value, float min, float max)
{
    if (min >= value)
        return min;
    if (max <= value)
        return max;
    return value;
}

float Max(float a, float b)
{
    return b < a ? a : b;
}

float Min(float a, float b)
{
    return b > a ? a : b;
}

int Sign(float x)
{
    return x < 0.0f ? -1 : 1;
}

float Lerp(float a, float b, float t)
{
    return Single((1.0 - t) * a + static_cast<double>(t) * b);
}

namespace
{

float SmoothFactor(float t)
{
    const double td = t;
    return Single((3.0 - 2.0 * td) * td * td);
}

} // namespace

float SmoothStep(float a, float b, float t)
{
    const double s = SmoothFactor(t);
    return Single((1.0 - s) * a + s * b);
}

float Hermite(float value1, float tangent1, float value2, float tangent2, float t)
{
    const double t1 = t;
    const double t2 = t1 * t1;
    const double t3 = t2 * t1;
    return Single((2.0 * t3 - 3.0 * t2 + 1.0) * value1 +
                              (t3 - 2.0 * t2 + t1) * tangent1 + (-2.0 * t3 + 3.0 * t2) * value2 +
                              (t3 - t2) * tangent2);
}

float CatmullRom(float value1, float value2, float value3, float value4, float t)
{
    const double v1 = value1, v2 = value2, v3 = value3, v4 = value4;
    const double t1 = t;
    const double t2 = t1 * t1;
    const double t3 = t2 * t1;
    return Single(0.5 * (2.0 * v2 + (v3 - v1) * t1 +
                                     (2.0 * v1 - 5.0 * v2 + 4.0 * v3 - v4) * t2 +
                                     (3.0 * v2 - v1 - 3.0 * v3 + v4) * t3));
}

void MakeZero(Vector2i& v)
{
    v.x = 0;
    v.y = 0;
}

bool IsZero(const Vector2i& v)
{
    return v.x == 0 && v.y == 0;
}

void Scale(const Vector2i& v, float s, Vector2i& out)
{
    out = v * s;
}

float Dot(const Vector2i& a, const Vector2i& b)
{
    return Single(WrapAdd(WrapMul(a.x, b.x), WrapMul(a.y, b.y)));
}

float Cross(const Vector2i& a, const Vector2i& b)
{
    return Single(WrapSub(WrapMul(a.x, b.y), WrapMul(a.y, b.x)));
}

float LengthSquared(const Vector2i& v)
{
    return Single(IntLengthSquared(v.x, v.y));
}

float Length(const Vector2i& v)
{
    return Single(std::sqrt(static_cast<double>(IntLengthSquared(v.x, v.y))));
}

void Normalize(const Vector2i& v, Vector2i& out)
{
    const float length = Length(v);
    out = Vector2i(TruncToInt(v.x / static_cast<double>(length)),
                   TruncToInt(v.y / static_cast<double>(length)));
}

void Normalize(Vector2i& v)
{
    Normalize(Vector2i(v), v);
}

float DistanceSquared(const Vector2i& a, const Vector2i& b)
{
    return Single(IntLengthSquared(AxisDistance(a.x, b.x), AxisDistance(a.y, b.y)));
}

float Distance(const Vector2i& a, const Vector2i& b)
{
    const int sum = IntLengthSquared(AxisDistance(a.x, b.x), AxisDistance(a.y, b.y));
    return Single(std::sqrt(static_cast<double>(sum)));
}

namespace
{

int BlendComponent(int a, int b, double s)
{
    return TruncToInt(Single((1.0 - s) * a + s * b));
}

} // namespace

void Lerp(const Vector2i& a, const Vector2i& b, float t, Vector2i& out)
{
    out = Vector2i(BlendComponent(a.x, b.x, t), BlendComponent(a.y, b.y, t));
}

void SmoothStep(const Vector2i& a, const Vector2i& b, float t, Vector2i& out)
{
    const double s = SmoothFactor(t);
    out = Vector2i(BlendComponent(a.x, b.x, s), BlendComponent(a.y, b.y, s));
}

} // namespace OMath
