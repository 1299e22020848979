#!/usr/bin/env python3
"""Writes the small PNG images of the rendering tests into this folder (the
results are checked in; run again only to change them)."""
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))


def png(name, width, height, pixel):
    """pixel(x, y) -> (r, g, b, a)"""
    raw = b"".join(b"\0" + b"".join(bytes(pixel(x, y)) for x in range(width)) for y in range(height))

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)

    data = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0))
    data += chunk(b"IDAT", zlib.compress(raw)) + chunk(b"IEND", b"")
    open(os.path.join(HERE, name), "wb").write(data)


RED, GREEN, BLUE, YELLOW = (255, 0, 0, 255), (0, 255, 0, 255), (0, 0, 255, 255), (255, 255, 0, 255)
GRAY, WHITE, BLACK, MAGENTA = (128, 128, 128, 255), (255, 255, 255, 255), (0, 0, 0, 255), (255, 0, 255, 255)


def ninepatch(x, y):
    # 30 x 30: 10-pixel corners in four colours, grey edges, white centre.
    col, row = x // 10, y // 10
    corners = {(0, 0): RED, (2, 0): GREEN, (0, 2): BLUE, (2, 2): YELLOW}
    if (col, row) in corners:
        return corners[(col, row)]
    return WHITE if (col, row) == (1, 1) else GRAY


def strip(x, y):
    # 40 x 10: four state slices of 10 x 10.
    return [RED, GREEN, BLUE, YELLOW][x // 10]


def masked(x, y):
    # 10 x 10: magenta frame (the colour key) around a black centre.
    return BLACK if 3 <= x < 7 and 3 <= y < 7 else MAGENTA


def half(x, y):
    # 4 x 4 red at half alpha.
    return (255, 0, 0, 128)


def checker(x, y):
    # 2 x 1: one red and one blue pixel, for tiling.
    return RED if x == 0 else BLUE


png("ninepatch.png", 30, 30, ninepatch)
png("strip.png", 40, 10, strip)
png("masked.png", 10, 10, masked)
png("half.png", 4, 4, half)
png("checker.png", 2, 1, checker)
open(os.path.join(HERE, "broken.png"), "wb").write(b"\x89PNG\r\n\x1a\nnot really an image")
