#!/usr/bin/env python3
"""Writes the PNG files the plugin tests read. Run from this folder; the
results are committed, so building and testing need no Python.

alpha.png    3 x 2 RGBA, straight alpha; the tests know these values:
             row 0: (255,0,0,255) (0,255,0,128) (0,0,255,0)
             row 1: (10,20,30,255) (200,100,50,64) (255,255,255,255)
huge.png     a complete, valid 20000 x 20000 1-bit grey PNG: small on disk,
             1.6 GB as 32-bit colour.
corrupt.png  a PNG signature and header chunk followed by garbage.
"""
import struct
import zlib


def chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)


def png(width, height, bit_depth, colour_type, raw_rows):
    header = struct.pack(">IIBBBBB", width, height, bit_depth, colour_type, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
            chunk(b"IDAT", zlib.compress(raw_rows, 9)) + chunk(b"IEND", b""))


alpha_rows = [
    [(255, 0, 0, 255), (0, 255, 0, 128), (0, 0, 255, 0)],
    [(10, 20, 30, 255), (200, 100, 50, 64), (255, 255, 255, 255)],
]
raw = b"".join(b"\x00" + bytes(c for px in row for c in px) for row in alpha_rows)
with open("alpha.png", "wb") as f:
    f.write(png(3, 2, 8, 6, raw))

side = 20000
row = b"\x00" * (1 + (side + 7) // 8)
with open("huge.png", "wb") as f:
    f.write(png(side, side, 1, 0, row * side))

with open("corrupt.png", "wb") as f:
    good = png(3, 2, 8, 6, raw)
    f.write(good[:33] + b"this is not image data at all" * 4)
