#!/usr/bin/env python3
"""Writes the program icon "MainIcon" of packstub: a closed parcel with a band and a downward
arrow, at 16 x 16 and 32 x 32 pixels, 32-bit with alpha. Drawn from coordinates alone, so every
build writes the same bytes."""

import struct
import sys

PARCEL = (196, 140, 72, 255)      # RGBA
EDGE = (120, 78, 30, 255)
BAND = (236, 208, 150, 255)
ARROW = (0, 78, 152, 255)
CLEAR = (0, 0, 0, 0)


def pixel(x, y, n):
    """The colour at (x, y) of an n x n picture, y counted from the top."""
    u, v = x * 32 // n, y * 32 // n          # draw on a 32-unit grid
    inside = 3 <= u <= 28 and 9 <= v <= 29
    if not inside:
        # The arrow above the parcel: a shaft and a head pointing down into it.
        if 13 <= u <= 18 and 0 <= v <= 3:
            return ARROW
        if 4 <= v <= 8 and abs(u - 15.5) <= 7 - 1.5 * (v - 4):
            return ARROW
        return CLEAR
    if u in (3, 28) or v in (9, 29):
        return EDGE
    if 14 <= u <= 17 or 17 <= v <= 19:
        return BAND
    return PARCEL


def image(n):
    rows = []
    for y in reversed(range(n)):                       # bitmaps are stored bottom-up
        rows.append(b"".join(struct.pack("<4B", b, g, r, a) for r, g, b, a in (pixel(x, y, n) for x in range(n))))
    xor = b"".join(rows)
    mask_row = ((n + 31) // 32) * 4
    and_mask = bytes(mask_row * n)                     # the alpha channel decides transparency
    header = struct.pack("<IiiHHIIiiII", 40, n, 2 * n, 1, 32, 0, len(xor) + len(and_mask), 0, 0, 0, 0)
    return header + xor + and_mask


def icon(sizes):
    images = [image(n) for n in sizes]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for n, data in zip(sizes, images):
        out += struct.pack("<BBBBHHII", n, n, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    return out + b"".join(images)


if __name__ == "__main__":
    with open(sys.argv[1], "wb") as f:
        f.write(icon([16, 32]))
