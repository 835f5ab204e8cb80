#!/usr/bin/env python3
"""Draws the pictures of the text dialog and the shadow-position dialog.

bitmaps/412: the text dialog's left column (96 x 240);
bitmaps/426: the text sample of the shadow preview, black on white (64 x 40);
bitmaps/427: the shadow sample, grey on white, the same shape (64 x 40).
The preview draws 427 at the shadow's place and 426 over it with AND, so the
white of each leaves the other visible.
"""
import os

from draw import HERE, INK, WHITE, box, canvas, line, put, write

# 5 x 7 glyphs, one string per row, '#' set.
GLYPHS = {
    'A': [' ### ', '#   #', '#   #', '#####', '#   #', '#   #', '#   #'],
    'a': ['     ', '     ', ' ### ', '    #', ' ####', '#   #', ' ####'],
}


def glyph(img, ch, x0, y0, scale, c):
    for row, bits in enumerate(GLYPHS[ch]):
        for col, bit in enumerate(bits):
            if bit == '#':
                for dy in range(scale):
                    for dx in range(scale):
                        put(img, x0 + col * scale + dx, y0 + row * scale + dy, c)


def sample(c):
    img = canvas(64, 40, WHITE)
    glyph(img, 'A', 10, 6, 4, c)
    glyph(img, 'a', 34, 6, 4, c)
    return img


def left_column():
    top, bottom = (236, 242, 250), (70, 110, 170)
    img = canvas(96, 240, WHITE)
    for y in range(240):
        t = y / 239
        c = tuple(round(a + (b - a) * t) for a, b in zip(top, bottom)) + (255,)
        for x in range(96):
            put(img, x, y, c)
    box(img, 16, 96, 79, 143, WHITE, WHITE)
    glyph(img, 'A', 26, 106, 4, INK)
    glyph(img, 'a', 50, 106, 4, (120, 120, 120, 255))
    for y in (158, 168, 178):
        line(img, 22, y, 73, y, WHITE, 3)
    return img


def main():
    write(os.path.join(HERE, 'bitmaps', '412.png'), left_column())
    write(os.path.join(HERE, 'bitmaps', '426.png'), sample(INK))
    write(os.path.join(HERE, 'bitmaps', '427.png'), sample((150, 150, 150, 255)))


if __name__ == '__main__':
    main()
