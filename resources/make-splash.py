#!/usr/bin/env python3
"""Writes the splash picture: a 24-bit BMP of a harbour at dawn in flat bands, with a sail."""
import struct
import sys

W, H = 420, 240


def pixel(x, y):
    horizon = 150
    if y < horizon:  # sky: deep blue at the top to warm orange at the horizon
        t = y / horizon
        sky = (int(30 + 220 * t), int(60 + 110 * t), int(140 - 40 * t))
        sx, sy = 300, 130
        if (x - sx) ** 2 + (y - sy) ** 2 < 28 ** 2:  # the sun
            return (255, 214, 120)
        return sky
    t = (y - horizon) / (H - horizon)  # sea with a light ripple every few rows
    ripple = 18 if (y + x // 14) % 9 == 0 else 0
    sea = (int(20 + 30 * t) + ripple, int(70 + 40 * t) + ripple, int(120 + 50 * t) + ripple)
    return tuple(min(255, c) for c in sea)


def sail(x, y):
    # A triangle sail over a dark hull, left of the sun.
    if 140 <= y <= 150 and 95 <= x <= 175 - (150 - y):
        return (40, 30, 30)
    if 70 <= y < 140 and 130 <= x <= 130 + (y - 70) * 0.6:
        return (245, 245, 235)
    return None


def main(path):
    row_bytes = (W * 3 + 3) & ~3
    data = bytearray()
    for y in range(H - 1, -1, -1):  # BMP rows run from the bottom up
        row = bytearray()
        for x in range(W):
            r, g, b = sail(x, y) or pixel(x, y)
            row += bytes((b, g, r))
        row += b"\0" * (row_bytes - len(row))
        data += row
    header = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, W, H, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(path, "wb") as out:
        out.write(header + info + data)


if __name__ == "__main__":
    main(sys.argv[1])
