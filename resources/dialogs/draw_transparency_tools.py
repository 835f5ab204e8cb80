#!/usr/bin/env python3
"""Draws the transparency dialog's icons and the transparency view's cursors.

icons/200-209: tools 0-8 and the mode picture in the set mode (blue shapes);
icons/220-229: the same in the cancel mode (orange shapes);
icons/210-213: the free-hand pens (1, 4, 8, 16 pixels);
icons/242: undo; 243: the checkered background;
icons/244, 245: the mode switch (set, cancel); 262: the dialog's icon.
All are 24 x 24. The zoom icons (240, 241) and cursors (300, 301, 303) are the
picture-range view's.
"""
import math
import os
import struct

from draw import CLEAR, HERE, INK, WHITE, canvas, line, put, write

SET = (51, 102, 204, 255)
CANCEL = (230, 120, 30, 255)
LIGHT = (204, 204, 204, 255)
SIZE = 24
STAMPS = os.path.join(os.path.dirname(HERE), 'SHAPESBIT')


def inside_polygon(points, x, y):
    hit = False
    j = len(points) - 1
    for i in range(len(points)):
        xi, yi = points[i]
        xj, yj = points[j]
        if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
            hit = not hit
        j = i
    return hit


def stamp(resource_id):
    data = open(os.path.join(STAMPS, str(resource_id)), 'rb').read()
    words = struct.unpack('<%dh' % (len(data) // 2), data)
    base, n = words[0], words[1]
    points = [(words[2 + 2 * i] / base, words[3 + 2 * i] / base) for i in range(n)]
    return lambda u, v: inside_polygon(points, u, v)


SHAPES = [
    lambda u, v: 0.1 <= u <= 0.9 and 0.2 <= v <= 0.8,
    lambda u, v: ((u - 0.5) / 0.42) ** 2 + ((v - 0.5) / 0.32) ** 2 <= 1,
    lambda u, v: inside_polygon([(0.1, 0.3), (0.55, 0.1), (0.9, 0.45), (0.7, 0.9), (0.25, 0.75)], u, v),
    lambda u, v: u >= 0.12 and v >= 0.12 and ((u - 0.12) / 0.78) ** 2 + ((v - 0.12) / 0.78) ** 2 <= 1,
    stamp(3001), stamp(3004), stamp(3003), stamp(3005), stamp(3006),
]


def filled(shape, colour):
    img = canvas(SIZE, SIZE, CLEAR)
    for y in range(SIZE):
        for x in range(SIZE):
            u, v = (x + 0.5) / SIZE, (y + 0.5) / SIZE
            if shape(0.04 + u * 0.92, 0.04 + v * 0.92):
                put(img, x, y, colour)
    return img


def checker(img, x0, y0, x1, y1):
    for y in range(y0, y1):
        for x in range(x0, x1):
            put(img, x, y, WHITE if ((x - x0) // 4 + (y - y0) // 4) % 2 == 0 else LIGHT)


def mode_picture(colour, sign):
    img = canvas(SIZE, SIZE, CLEAR)
    checker(img, 2, 2, 22, 22)
    if sign == '-':
        for y in range(6, 18):
            for x in range(6, 18):
                put(img, x, y, colour)
    line(img, 6, 12, 17, 12, INK if sign == '-' else colour, 2)
    if sign == '+':
        line(img, 12, 6, 12, 17, colour, 2)
    return img


def pen(width):
    img = canvas(SIZE, SIZE, CLEAR)
    for y in range(SIZE):
        for x in range(SIZE):
            # Distance from the diagonal stroke.
            d = abs((x + 0.5) - (SIZE - (y + 0.5))) / math.sqrt(2)
            if d <= max(0.6, width / 2) and 3 <= x <= 20:
                put(img, x, y, INK)
    return img


def undo():
    img = canvas(SIZE, SIZE, CLEAR)
    for a in range(0, 181, 3):
        t = math.radians(a)
        put(img, round(12 + 7 * math.cos(t)), round(13 - 7 * math.sin(t)), INK)
        put(img, round(12 + 7 * math.cos(t)), round(14 - 7 * math.sin(t)), INK)
    line(img, 19, 13, 19, 19, INK, 2)
    line(img, 2, 10, 5, 14, INK, 2)
    line(img, 5, 14, 9, 10, INK, 2)
    return img


def main():
    icons = os.path.join(HERE, 'icons')
    for first, colour in ((200, SET), (220, CANCEL)):
        for i, shape in enumerate(SHAPES):
            write(os.path.join(icons, '%d.png' % (first + i)), filled(shape, colour))
        write(os.path.join(icons, '%d.png' % (first + 9)), mode_picture(colour, '+' if first == 200 else '-'))
    for i, width in enumerate((1, 2, 4, 6)):
        write(os.path.join(icons, '%d.png' % (210 + i)), pen(width))
    write(os.path.join(icons, '242.png'), undo())
    board = canvas(SIZE, SIZE, CLEAR)
    checker(board, 2, 2, 22, 22)
    write(os.path.join(icons, '243.png'), board)
    write(os.path.join(icons, '244.png'), mode_picture(SET, '+'))
    write(os.path.join(icons, '245.png'), mode_picture(CANCEL, '-'))
    dialog = mode_picture(SET, '')
    heart = filled(SHAPES[6], SET)
    for y in range(SIZE):
        for x in range(SIZE):
            if heart[y][x] != CLEAR and 4 <= x < 20 and 4 <= y < 20:
                put(dialog, x, y, SET)
    write(os.path.join(icons, '262.png'), dialog)


if __name__ == '__main__':
    main()
