#include "Color.h"

namespace Orvu
{

namespace
{

unsigned char Wrap(unsigned int value)
{
    return static_cast<unsigned char>(value & 0xFFu);
}

unsigned char Quotient(unsigned char value, unsigned char divisor)
{
    return divisor == 0 ? value : static_cast<unsigned char>(value / divisor);
}

} // namespace

Color::Color() : r(0), g(0), b(0), a(255) {}

Color::Color(unsigned char r, unsigned char g, unsigned char b, unsigned char a)
    : r(r), g(g), b(b), a(a)
{
}

Color::Color(const Color& other) : r(other.r), g(other.g), b(other.b), a(other.a) {}

Color& Color::operator=(const Color& other)
{
    r = other.r;
    g = other.g;
    b = other.b;
    a = other.a;
    return *this;
}

Color::~Color() {}

Color Color::operator+(const Color& other) const
{
    return Color(Wrap(r + other.r), Wrap(g + other.g), Wrap(b + other.b), Wrap(a + other.a));
}

Color& Color::operator+=(const Color& other)
{
    return *this = *this + other;
}

Color Color::operator-(const Color& other) const
{
    // unsigned arithmetic: 0 - 1 wraps to 0xFFFFFFFF, whose low byte is 255.
    return Color(Wrap(0u + r - other.r), Wrap(0u + g - other.g), Wrap(0u + b - other.b),
                 Wrap(0u + a - other.a));
}

Color& Color::operator-=(const Color& other)
{
    return *this = *this - other;
}

Color Color::operator*(const Color& other) const
{
    return Color(Wrap(0u + r * other.r), Wrap(0u + g * other.g), Wrap(0u + b * other.b),
                 Wrap(0u + a * other.a));
}

Color Color::operator*(unsigned char s) const
{
    return *this * Color(s, s, s, s);
}

Color& Color::operator*=(const Color& other)
{
    return *this = *this * other;
}

Color& Color::operator*=(unsigned char s)
{
    return *this = *this * s;
}

Color Color::operator/(const Color& other) const
{
    return Color(Quotient(r, other.r), Quotient(g, other.g), Quotient(b, other.b),
                 Quotient(a, other.a));
}

Color Color::operator/(unsigned char s) const
{
    return *this / Color(s, s, s, s);
}

Color& Color::operator/=(const Color& other)
{
    return *this = *this / other;
}

Color& Color::operator/=(unsigned char s)
{
    return *this = *this / s;
}

bool Color::operator==(const Color& other) const
{
    return r == other.r && g == other.g && b == other.b && a == other.a;
}

bool Color::operator!=(const Color& other) const
{
    return !(*this == other);
}

void Color::MakeZero()
{
    r = g = b = a = 0;
}

bool Color::IsZero() const
{
    return r == 0 && g == 0 && b == 0 && a == 0;
}

} // namespace Orvu
