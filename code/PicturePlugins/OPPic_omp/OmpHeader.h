#pragma once

#include <cstddef>

// The seven-byte header of an ".omp" file, little-endian: the magic "om1",
// then the width and the height as signed 16-bit numbers.
struct OmpHeader
{
    int width;
    int height;
};

const std::size_t OmpHeaderSize = 7;

// Reads the header from the first count bytes of a file (count may be less
// than seven: a size whose bytes are missing reads as 0 in those bytes).
// False for fewer than three bytes, another magic (case exact) or a negative
// width or height, which no picture can have.
bool ParseOmpHeader(const unsigned char* bytes, std::size_t count, OmpHeader& header);

// The seven header bytes for a width x height picture; false, with nothing
// written, when either does not fit the header's signed 16-bit fields.
bool FormatOmpHeader(int width, int height, unsigned char (&bytes)[OmpHeaderSize]);
