#!/usr/bin/env python3
"""Draws the demo splash picture: a 24-bit BMP with a dusk gradient, a horizon of hills and a
darker band for the status line. Usage: make-splash.py OUTPUT.bmp [WIDTH HEIGHT]"""
import math
import struct
import sys


def pixel(x, y, width, height):
    sky = y / height
    r, g, b = 30 + 90 * sky, 20 + 40 * sky, 90 - 40 * sky
    hill = height * (0.62 + 0.06 * math.sin(x / width * 7.0) + 0.03 * math.sin(x / width * 19.0))
    if y > hill:
        r, g, b = 20, 35 + 20 * (y - hill) / height, 30
    sun = math.hypot(x - width * 0.72, y - height * 0.45)
    if sun < height * 0.12:
        r, g, b = 250, 200, 90
    if y > height * 0.8:  # the status line reads on a darker band
        r, g, b = r * 0.4, g * 0.4, b * 0.4
    return bytes((int(b), int(g), int(r)))


def main():
    path = sys.argv[1]
    width, height = (int(sys.argv[2]), int(sys.argv[3])) if len(sys.argv) > 3 else (480, 270)
    stride = (width * 3 + 3) & ~3
    rows = []
    for y in range(height - 1, -1, -1):  # bottom-up
        row = b"".join(pixel(x, y, width, height) for x in range(width))
        rows.append(row + b"\0" * (stride - width * 3))
    data = b"".join(rows)
    header = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(path, "wb") as out:
        out.write(header + info + data)


main()
