#!/usr/bin/env python3
"""Draws the transparency view's bitmaps as PNG files.

bitmaps/422: the checker tile under transparent pixels (16 x 16, 8-pixel squares);
bitmaps/423, 502: the pixel grid's dotted strips (1024 x 1 and 1 x 1024,
black and white pixels alternating, black first);
bitmaps/424: the free-hand stroke's preview pattern (8 x 8, a one-pixel
black and white checker).
"""
import os

from draw import HERE, canvas, put, write

WHITE = (255, 255, 255, 255)
LIGHT = (204, 204, 204, 255)
BLACK = (0, 0, 0, 255)


def main():
    out = os.path.join(HERE, 'bitmaps')
    tile = canvas(16, 16, WHITE)
    for y in range(16):
        for x in range(16):
            if (x // 8 + y // 8) % 2:
                put(tile, x, y, LIGHT)
    write(os.path.join(out, '422.png'), tile)
    row = [[BLACK if x % 2 == 0 else WHITE for x in range(1024)]]
    write(os.path.join(out, '423.png'), row)
    column = [[BLACK if y % 2 == 0 else WHITE] for y in range(1024)]
    write(os.path.join(out, '502.png'), column)
    pattern = [[BLACK if (x + y) % 2 == 0 else WHITE for x in range(8)] for y in range(8)]
    write(os.path.join(out, '424.png'), pattern)


if __name__ == '__main__':
    main()
