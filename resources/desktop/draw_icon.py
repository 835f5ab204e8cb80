#!/usr/bin/env python3
"""Draws the program's icon, a framed landscape, at the icon theme's sizes:
icons/hicolor/NxN/apps/zaveditor.png. Each size is drawn from the shapes
(sampled 4 x 4 per pixel), not scaled from another size, so small icons stay sharp."""
import math
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
SIZES = (16, 22, 24, 32, 48, 64, 128, 256)
SUB = 4

FRAME = (51, 102, 153)
FRAME_EDGE = (28, 60, 96)
MAT = (250, 250, 246)
SKY_TOP = (120, 180, 235)
SKY_LOW = (200, 228, 250)
SUN = (255, 204, 51)
HILL_BACK = (110, 170, 80)
HILL_FRONT = (60, 135, 55)


def colour_at(u, v):
    """The colour at (u, v) in [0, 1) of the icon, or None outside it."""
    margin = 0.04
    if not (margin <= u < 1 - margin and margin <= v < 1 - margin):
        return None
    edge = 0.02
    if u < margin + edge or u >= 1 - margin - edge or v < margin + edge or v >= 1 - margin - edge:
        return FRAME_EDGE
    frame = 0.14
    if u < frame or u >= 1 - frame or v < frame or v >= 1 - frame:
        return FRAME
    mat = 0.19
    if u < mat or u >= 1 - mat or v < mat or v >= 1 - mat:
        return MAT
    # The picture: (x, y) in [0, 1) of its own square.
    x = (u - mat) / (1 - 2 * mat)
    y = (v - mat) / (1 - 2 * mat)
    if y > 0.62 - 0.12 * math.sin(math.pi * (x + 0.15)):
        return HILL_FRONT
    if y > 0.50 + 0.14 * math.cos(2.2 * math.pi * (x - 0.7)):
        return HILL_BACK
    if (x - 0.70) ** 2 + (y - 0.28) ** 2 < 0.13 ** 2:
        return SUN
    t = min(1.0, y / 0.7)
    return tuple(round(a + (b - a) * t) for a, b in zip(SKY_TOP, SKY_LOW))


def draw(size):
    rows = []
    for py in range(size):
        row = bytearray([0])
        for px in range(size):
            total = [0, 0, 0]
            covered = 0
            for sy in range(SUB):
                for sx in range(SUB):
                    c = colour_at((px + (sx + 0.5) / SUB) / size, (py + (sy + 0.5) / SUB) / size)
                    if c is not None:
                        covered += 1
                        for i in range(3):
                            total[i] += c[i]
            if covered:
                row += bytes(round(t / covered) for t in total) + bytes([round(255 * covered / SUB ** 2)])
            else:
                row += bytes(4)
        rows.append(bytes(row))
    return png(size, size, b"".join(rows))


def png(width, height, raw):
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b"")


def main():
    for size in SIZES:
        folder = os.path.join(HERE, "icons", "hicolor", f"{size}x{size}", "apps")
        os.makedirs(folder, exist_ok=True)
        with open(os.path.join(folder, "zaveditor.png"), "wb") as f:
            f.write(draw(size))


if __name__ == "__main__":
    main()
