#!/usr/bin/env python3
"""Draws the left-column pictures (96 x 320) of the save dialogs as PNG files.

bitmaps/512: the save-format dialog; 526: the packaged-save dialog;
503, 504, 525: the registration dialog in the shared folder, on a memory
card, and on a memory card for cameras.
"""
import math
import os

from draw import WHITE, box, canvas, line, put, write

HERE = os.path.dirname(os.path.abspath(__file__))
W, H = 96, 320
INK = (51, 102, 153, 255)
LIGHT = (120, 160, 200, 255)


def gradient():
    img = canvas(W, H, WHITE)
    for y in range(H):
        t = y / (H - 1)
        c = (int(225 - 130 * t), int(232 - 110 * t), int(245 - 70 * t), 255)
        for x in range(W):
            img[y][x] = c
    return img


def card(img, top):
    box(img, 18, top, 77, top + 72, WHITE, WHITE)
    return top


def ring(img, cx, cy, r):
    for a in range(360):
        x = cx + r * math.cos(math.radians(a))
        y = cy + r * math.sin(math.radians(a))
        put(img, round(x), round(y), WHITE)
        put(img, round(x) + 1, round(y), WHITE)


def disk(img, top):
    box(img, 30, top + 12, 65, top + 58, INK, INK)
    box(img, 37, top + 12, 58, top + 26, WHITE, WHITE)
    box(img, 35, top + 36, 60, top + 58, WHITE, WHITE)
    line(img, 38, top + 42, 57, top + 42, LIGHT)
    line(img, 38, top + 48, 57, top + 48, LIGHT)


def package(img, top):
    box(img, 28, top + 24, 67, top + 60, INK, LIGHT)
    line(img, 28, top + 24, 38, top + 12, INK, 2)
    line(img, 67, top + 24, 57, top + 12, INK, 2)
    line(img, 38, top + 12, 57, top + 12, INK, 2)
    line(img, 47, top + 24, 47, top + 60, WHITE, 2)


def folder(img, top):
    box(img, 26, top + 20, 44, top + 26, INK, INK)
    box(img, 26, top + 26, 69, top + 58, INK, LIGHT)


def memory_card(img, top, camera):
    box(img, 32, top + 10, 63, top + 62, INK, LIGHT)
    for x in (36, 42, 48, 54):
        box(img, x, top + 12, x + 3, top + 20, WHITE, WHITE)
    if camera:
        box(img, 36, top + 34, 59, top + 52, INK, INK)
        box(img, 43, top + 30, 51, top + 34, INK, INK)
        ring(img, 47, top + 43, 5)


def picture(draw_symbol, *args):
    img = gradient()
    top = card(img, 150)
    draw_symbol(img, top, *args)
    ring(img, 47, 280, 14)
    return img


def main():
    pictures = {
        512: picture(disk),
        526: picture(package),
        503: picture(folder),
        504: picture(memory_card, False),
        525: picture(memory_card, True),
    }
    for ident, img in pictures.items():
        write(os.path.join(HERE, 'bitmaps', '%d.png' % ident), img)


if __name__ == '__main__':
    main()
