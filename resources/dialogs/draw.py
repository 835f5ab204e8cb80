#!/usr/bin/env python3
"""Draws the pictures of the tool box and the paper-mode bar as PNG files.

bitmaps/428-452, 513-517: tool buttons (46 x 46: normal, checked, disabled)
and the small command buttons (34 x 34: normal, selected, disabled);
bitmaps/530-549: paper-mode buttons (30 x 30: checked, normal);
icons/247-249: the item list's visibility icons (16 x 16);
icons/261: the image browser's small icon, a framed landscape (16 x 16);
cursors/320, 321: the item list's drag cursors (32 x 32, hot spot 0, 0).
"""
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))

FACE = (212, 208, 200, 255)
CLEAR = (0, 0, 0, 0)
INK = (32, 32, 32, 255)
GREY = (150, 150, 150, 255)
BLUE = (51, 102, 153, 255)
WHITE = (255, 255, 255, 255)
CHECKED = (235, 232, 225, 255)


def canvas(w, h, fill):
    return [[fill] * w for _ in range(h)]


def put(img, x, y, c):
    if 0 <= y < len(img) and 0 <= x < len(img[0]):
        img[y][x] = c


def line(img, x0, y0, x1, y1, c, width=1):
    steps = max(abs(x1 - x0), abs(y1 - y0), 1)
    for i in range(steps + 1):
        x = round(x0 + (x1 - x0) * i / steps)
        y = round(y0 + (y1 - y0) * i / steps)
        for d in range(width):
            put(img, x + (d if abs(y1 - y0) > abs(x1 - x0) else 0), y + (0 if abs(y1 - y0) > abs(x1 - x0) else d), c)


def box(img, x0, y0, x1, y1, c, fill=None):
    for y in range(y0, y1 + 1):
        for x in range(x0, x1 + 1):
            if x in (x0, x1) or y in (y0, y1):
                put(img, x, y, c)
            elif fill:
                put(img, x, y, fill)


def write(path, img):
    h = len(img)
    w = len(img[0])
    raw = b''.join(b'\x00' + b''.join(struct.pack('4B', *px) for px in row) for row in img)

    def chunk(kind, data):
        body = kind + data
        return struct.pack('>I', len(data)) + body + struct.pack('>I', zlib.crc32(body) & 0xffffffff)

    png = b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', w, h, 8, 6, 0, 0, 0))
    png += chunk(b'IDAT', zlib.compress(raw, 9)) + chunk(b'IEND', b'')
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, 'wb') as f:
        f.write(png)


# --- Tool buttons: frame, background, text, line, select ---------------------

def tool_frame(img, c):
    box(img, 9, 11, 36, 34, c, WHITE)
    box(img, 13, 15, 32, 30, c)
    line(img, 15, 27, 21, 20, c)
    line(img, 21, 20, 25, 24, c)
    line(img, 25, 24, 30, 18, c)


def tool_background(img, c):
    box(img, 7, 9, 38, 36, c, WHITE)
    for i in range(0, 28, 4):
        line(img, 8 + i, 35, 8, 35 - i, c)
    box(img, 15, 16, 30, 29, c, WHITE)


def tool_text(img, c):
    line(img, 23, 9, 12, 36, c, 2)
    line(img, 23, 9, 34, 36, c, 2)
    line(img, 16, 27, 30, 27, c, 2)


def tool_line(img, c):
    line(img, 9, 36, 36, 9, c, 3)


def tool_select(img, c):
    for y in range(0, 22):
        for x in range(0, y * 6 // 10 + 1):
            put(img, 15 + x, 9 + y, c)
    line(img, 21, 28, 26, 37, c, 3)


TOOLS = [  # normal, checked, disabled, picture
    (430, 435, 514, tool_frame),
    (431, 436, 515, tool_background),
    (429, 434, 517, tool_text),
    (428, 433, 516, tool_line),
    (432, 437, 513, tool_select),
]

# --- Small buttons: delete and the four z-order commands ---------------------


def small_delete(img, c):
    line(img, 9, 9, 24, 24, c, 3)
    line(img, 24, 9, 9, 24, c, 3)


def stack(img, c, front, arrow_up):
    back = (20, 8) if front else (8, 20)
    box(img, back[0] - 4, back[0] - 4, back[0] + 6, back[0] + 6, GREY, WHITE)
    box(img, back[1] - 4, back[1] - 4, back[1] + 6, back[1] + 6, c, WHITE)
    x = 28
    if arrow_up:
        line(img, x, 6, x, 18, c)
        line(img, x - 3, 9, x, 6, c)
        line(img, x + 3, 9, x, 6, c)
    else:
        line(img, x, 14, x, 27, c)
        line(img, x - 3, 24, x, 27, c)
        line(img, x + 3, 24, x, 27, c)


SMALL = [  # normal, selected, disabled, picture
    (438, 443, 448, small_delete),
    (439, 444, 449, lambda img, c: stack(img, c, True, True)),
    (440, 445, 450, lambda img, c: (stack(img, c, True, True), line(img, 25, 4, 31, 4, c))),
    (441, 446, 451, lambda img, c: (stack(img, c, False, False), line(img, 25, 29, 31, 29, c))),
    (442, 447, 452, lambda img, c: stack(img, c, False, False)),
]

# --- Paper-mode buttons ---------------------------------------------------------


def mode_picture(mode, img, c):
    if mode == 0:
        box(img, 6, 3, 23, 26, c, WHITE)
        box(img, 9, 6, 20, 23, GREY)
        return
    if mode == 1:
        box(img, 6, 3, 23, 26, GREY, WHITE)
        box(img, 9, 6, 20, 23, c, (200, 220, 240, 255))
        return
    # Papers grow from L size to 4x6NP; the bordered one shows its border.
    size = (mode - 2) // 2
    w, h = 12 + size * 2, 18 + size * 2
    x0, y0 = (30 - w) // 2, (30 - h) // 2
    if mode % 2 == 0:
        box(img, x0, y0, x0 + w, y0 + h, c, (200, 220, 240, 255))
    else:
        box(img, x0, y0, x0 + w, y0 + h, c, WHITE)
        box(img, x0 + 3, y0 + 3, x0 + w - 3, y0 + h - 3, BLUE, (200, 220, 240, 255))


MODES = [(531, 530), (533, 532), (535, 534), (537, 536), (539, 538),
         (541, 540), (543, 542), (545, 544), (547, 546), (549, 548)]

# --- Icons and cursors -------------------------------------------------------------


def eye(img, c, open_eye):
    for x in range(2, 14):
        dy = round(4 * (1 - ((x - 7.5) / 6) ** 2))
        put(img, x, 8 - dy, c)
        put(img, x, 8 + dy, c)
    if open_eye:
        box(img, 6, 6, 9, 9, c, c)
    else:
        line(img, 2, 14, 13, 2, (200, 0, 0, 255), 2)


def lock(img, c):
    box(img, 3, 7, 12, 14, c, (230, 190, 60, 255))
    box(img, 5, 2, 10, 7, c)


def landscape(img):
    box(img, 0, 2, 15, 13, INK, WHITE)
    for y in range(3, 13):
        for x in range(1, 15):
            put(img, x, y, (170, 210, 240, 255))
    for x in range(1, 15):
        top = 12 - min(abs(x - 5), 5) if x < 10 else 12 - min(abs(x - 11), 3)
        for y in range(max(top, 6), 13):
            put(img, x, y, (60, 140, 70, 255))
    for y, x0, x1 in ((4, 11, 12), (5, 10, 13), (6, 11, 12)):
        for x in range(x0, x1 + 1):
            put(img, x, y, (240, 180, 40, 255))


def arrow_cursor(img):
    for y in range(0, 17):
        for x in range(0, y * 6 // 10 + 1):
            put(img, x, y, INK)
    for y in range(1, 16):
        put(img, y * 6 // 10 + 1, y, WHITE)


def main():
    for normal, checked, disabled, picture in TOOLS:
        for ident, colour, fill in ((normal, INK, FACE), (checked, BLUE, CHECKED), (disabled, GREY, FACE)):
            img = canvas(46, 46, fill)
            picture(img, colour)
            write(os.path.join(HERE, 'bitmaps', '%d.png' % ident), img)
    for normal, selected, disabled, picture in SMALL:
        for ident, colour, fill in ((normal, INK, FACE), (selected, BLUE, CHECKED), (disabled, GREY, FACE)):
            img = canvas(34, 34, fill)
            box(img, 0, 0, 33, 33, GREY)
            picture(img, colour)
            write(os.path.join(HERE, 'bitmaps', '%d.png' % ident), img)
    for mode, (normal, checked) in enumerate(MODES):
        for ident, colour, fill in ((normal, INK, FACE), (checked, BLUE, CHECKED)):
            img = canvas(30, 30, fill)
            mode_picture(mode, img, colour)
            write(os.path.join(HERE, 'bitmaps', '%d.png' % ident), img)
    img = canvas(16, 16, CLEAR); eye(img, INK, False); write(os.path.join(HERE, 'icons', '247.png'), img)
    img = canvas(16, 16, CLEAR); eye(img, INK, True); write(os.path.join(HERE, 'icons', '248.png'), img)
    img = canvas(16, 16, CLEAR); lock(img, INK); write(os.path.join(HERE, 'icons', '249.png'), img)
    img = canvas(16, 16, CLEAR); landscape(img); write(os.path.join(HERE, 'icons', '261.png'), img)
    img = canvas(32, 32, CLEAR); arrow_cursor(img)
    line(img, 14, 20, 24, 30, (200, 0, 0, 255), 2); line(img, 24, 20, 14, 30, (200, 0, 0, 255), 2)
    write(os.path.join(HERE, 'cursors', '320.png'), img)
    img = canvas(32, 32, CLEAR); arrow_cursor(img)
    box(img, 14, 20, 28, 28, INK, WHITE); line(img, 16, 24, 26, 24, BLUE, 2)
    write(os.path.join(HERE, 'cursors', '321.png'), img)


if __name__ == '__main__':
    main()
