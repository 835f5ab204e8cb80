#!/usr/bin/env python3
"""Draws the picture-range dialog's pictures as PNG files.

icons/246, 240, 241: the tool buttons choose range, zoom in, zoom out (24 x 24);
icons/260: the dialog's icon (32 x 32);
cursors/300, 301, 303: zoom in, zoom out, no further zoom (32 x 32, hot spot
12, 12: the middle of the lens).
"""
import os

from draw import BLUE, CLEAR, GREY, INK, WHITE, box, canvas, line, put, write

HERE = os.path.dirname(os.path.abspath(__file__))
RED = (200, 0, 0, 255)
SKY = (170, 205, 235, 255)
GRASS = (90, 150, 80, 255)


def dashed_box(img, x0, y0, x1, y1, c):
    for x in range(x0, x1 + 1):
        if (x - x0) % 4 < 2:
            put(img, x, y0, c)
            put(img, x, y1, c)
    for y in range(y0, y1 + 1):
        if (y - y0) % 4 < 2:
            put(img, x0, y, c)
            put(img, x1, y, c)


def lens(img, cx, cy, r, sign):
    for y in range(cy - r - 1, cy + r + 2):
        for x in range(cx - r - 1, cx + r + 2):
            d = ((x - cx) ** 2 + (y - cy) ** 2) ** 0.5
            if d <= r - 1:
                put(img, x, y, WHITE)
            elif d <= r + 0.7:
                put(img, x, y, INK)
    line(img, cx + r - 1, cy + r - 1, cx + r + 7, cy + r + 7, INK, 3)
    if sign in ('+', '-'):
        line(img, cx - r + 3, cy, cx + r - 3, cy, BLUE, 2)
    if sign == '+':
        line(img, cx, cy - r + 3, cx, cy + r - 3, BLUE, 2)
    if sign == 'x':
        line(img, cx - r + 3, cy - r + 3, cx + r - 3, cy + r - 3, RED, 2)
        line(img, cx + r - 3, cy - r + 3, cx - r + 3, cy + r - 3, RED, 2)


def picture(img, x0, y0, x1, y1):
    box(img, x0, y0, x1, y1, INK, SKY)
    for x in range(x0 + 1, x1):
        for y in range((y0 + y1) // 2 + abs(x - (x0 + x1) // 2) // 3, y1):
            put(img, x, y, GRASS)


def main():
    img = canvas(24, 24, CLEAR)
    picture(img, 1, 3, 22, 20)
    dashed_box(img, 6, 7, 17, 16, RED)
    write(os.path.join(HERE, 'icons', '246.png'), img)
    for ident, sign in ((240, '+'), (241, '-')):
        img = canvas(24, 24, CLEAR)
        lens(img, 9, 9, 7, sign)
        write(os.path.join(HERE, 'icons', '%d.png' % ident), img)
    img = canvas(32, 32, CLEAR)
    picture(img, 1, 4, 30, 27)
    dashed_box(img, 8, 9, 23, 21, RED)
    box(img, 0, 3, 31, 28, GREY)
    write(os.path.join(HERE, 'icons', '260.png'), img)
    for ident, sign in ((300, '+'), (301, '-'), (303, 'x')):
        img = canvas(32, 32, CLEAR)
        lens(img, 12, 12, 8, sign)
        write(os.path.join(HERE, 'cursors', '%d.png' % ident), img)


if __name__ == '__main__':
    main()
