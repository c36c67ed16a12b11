#pragma once

#include "OrvuExport.h"

namespace Orvu
{

// A colour of four 8-bit channels with straight (not premultiplied) alpha.
// Exactly four bytes, r, g, b, a in that order: a picture's pixel storage is a
// contiguous array of these. Every arithmetic operator works channel by
// channel, alpha included, and wraps modulo 256; nothing saturates.
class ORVU_API Color
{
public:
    unsigned char r;
    unsigned char g;
    unsigned char b;
    unsigned char a;

    // Opaque black (0, 0, 0, 255).
    Color();
    Color(unsigned char r, unsigned char g, unsigned char b, unsigned char a);
    Color(const Color& other);
    Color& operator=(const Color& other);
    ~Color();

    Color operator+(const Color& other) const;
    Color& operator+=(const Color& other);
    Color operator-(const Color& other) const;
    Color& operator-=(const Color& other);
    // Products keep the low 8 bits.
    Color operator*(const Color& other) const;
    Color operator*(unsigned char s) const;
    Color& operator*=(const Color& other);
    Color& operator*=(unsigned char s);
    // Quotients truncate; a channel divided by 0 keeps its value.
    Color operator/(const Color& other) const;
    Color operator/(unsigned char s) const;
    Color& operator/=(const Color& other);
    Color& operator/=(unsigned char s);

    bool operator==(const Color& other) const;
    bool operator!=(const Color& other) const;

    // Transparent black (0, 0, 0, 0), not the default colour.
    void MakeZero();
    bool IsZero() const;
};

} // namespace Orvu
