#!/usr/bin/env python3
"""Draws the editor's 32 x 32 cursors 304..313 as PNG files in this folder.

Black shapes with a white rim so they show on any page. The hot spots are
kept in src/Layout/LayoutManagerMouseCursors.cpp.
"""
import os
import struct
import zlib

SIZE = 32
HERE = os.path.dirname(os.path.abspath(__file__))


def blank():
    return [[None] * SIZE for _ in range(SIZE)]


def put(img, x, y):
    if 0 <= x < SIZE and 0 <= y < SIZE:
        img[y][x] = 'b'


def line(img, x0, y0, x1, y1):
    steps = max(abs(x1 - x0), abs(y1 - y0), 1)
    for i in range(steps + 1):
        put(img, round(x0 + (x1 - x0) * i / steps), round(y0 + (y1 - y0) * i / steps))


def box(img, x0, y0, x1, y1, fill=False):
    for y in range(y0, y1 + 1):
        for x in range(x0, x1 + 1):
            if fill or x in (x0, x1) or y in (y0, y1):
                put(img, x, y)


def arrow_head(img, tip, direction):
    x, y = tip
    dx, dy = direction
    for i in range(5):
        for j in range(-i, i + 1):
            if dx:
                put(img, x - dx * i, y + j)
            elif dy:
                put(img, x + j, y - dy * i)
            else:
                pass


def diagonal_head(img, tip, sx, sy):
    x, y = tip
    for i in range(6):
        put(img, x - sx * i, y)
        put(img, x, y - sy * i)
    for i in range(1, 5):
        for j in range(1, 5 - i + 1):
            put(img, x - sx * i, y - sy * j)


def crosshair(img):
    line(img, 15, 3, 15, 27)
    line(img, 3, 15, 27, 15)


def cursors():
    out = {}
    img = blank(); crosshair(img); line(img, 19, 24, 30, 24); line(img, 19, 25, 30, 25); out[304] = img
    img = blank(); crosshair(img); line(img, 20, 19, 30, 19); line(img, 25, 19, 25, 30); line(img, 24, 19, 24, 30)
    out[305] = img
    img = blank(); crosshair(img); box(img, 19, 19, 30, 29); box(img, 21, 21, 28, 27); out[306] = img
    img = blank(); crosshair(img); box(img, 19, 19, 30, 29, fill=True); out[307] = img
    img = blank()
    for y in range(0, 17):
        for x in range(0, y // 1 + 1):
            if x <= y * 0.6:
                put(img, x, y)
    line(img, 5, 14, 10, 23); line(img, 6, 14, 11, 23); out[308] = img
    img = blank(); line(img, 15, 4, 15, 26); line(img, 4, 15, 26, 15)
    arrow_head(img, (15, 1), (0, -1)); arrow_head(img, (15, 29), (0, 1))
    arrow_head(img, (1, 15), (-1, 0)); arrow_head(img, (29, 15), (1, 0)); out[309] = img
    img = blank(); line(img, 15, 4, 15, 26); line(img, 16, 4, 16, 26)
    arrow_head(img, (15, 1), (0, -1)); arrow_head(img, (15, 29), (0, 1)); out[310] = img
    img = blank(); line(img, 4, 15, 26, 15); line(img, 4, 16, 26, 16)
    arrow_head(img, (1, 15), (-1, 0)); arrow_head(img, (29, 15), (1, 0)); out[311] = img
    img = blank(); line(img, 5, 5, 25, 25); line(img, 6, 5, 26, 25)
    diagonal_head(img, (3, 3), -1, -1); diagonal_head(img, (27, 27), 1, 1); out[312] = img
    img = blank(); line(img, 5, 25, 25, 5); line(img, 6, 25, 26, 5)
    diagonal_head(img, (3, 27), -1, 1); diagonal_head(img, (27, 3), 1, -1); out[313] = img
    return out


def rim(img):
    for y in range(SIZE):
        for x in range(SIZE):
            if img[y][x] is None and any(
                    0 <= x + dx < SIZE and 0 <= y + dy < SIZE and img[y + dy][x + dx] == 'b'
                    for dx in (-1, 0, 1) for dy in (-1, 0, 1)):
                img[y][x] = 'w'


def write_png(path, img):
    rows = b''
    for y in range(SIZE):
        rows += b'\0'
        for x in range(SIZE):
            rows += {'b': b'\0\0\0\xff', 'w': b'\xff\xff\xff\xff', None: b'\0\0\0\0'}[img[y][x]]

    def chunk(kind, data):
        return struct.pack('>I', len(data)) + kind + data + struct.pack('>I', zlib.crc32(kind + data))

    png = b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', SIZE, SIZE, 8, 6, 0, 0, 0))
    png += chunk(b'IDAT', zlib.compress(rows, 9)) + chunk(b'IEND', b'')
    with open(path, 'wb') as f:
        f.write(png)


for cursor_id, image in cursors().items():
    rim(image)
    write_png(os.path.join(HERE, f'{cursor_id}.png'), image)
