#!/usr/bin/env python3
"""Draws the program's icons and toolbar pictures into the .ico and .bmp files
beside this script. Run it after changing a picture; the outputs are committed.

Each picture is a list of shapes in a 0..1 square (toolbar pictures: 16 by 15
pixels); shapes are point tests, rendered with 4x4 supersampling."""
import math
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


# Shapes: each is (inside(x, y) -> bool, (r, g, b)). Coordinates run 0..1.
def rect(x0, y0, x1, y1, c):
    return (lambda x, y: x0 <= x <= x1 and y0 <= y <= y1, c)


def rrect(x0, y0, x1, y1, r, c):
    def inside(x, y):
        if not (x0 <= x <= x1 and y0 <= y <= y1):
            return False
        cx = min(max(x, x0 + r), x1 - r)
        cy = min(max(y, y0 + r), y1 - r)
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r
    return (inside, c)


def ellipse(cx, cy, rx, ry, c):
    return (lambda x, y: ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2 <= 1, c)


def circle(cx, cy, r, c):
    return ellipse(cx, cy, r, r, c)


def arc(cx, cy, r0, r1, a0, a1, c):
    """Ring between radii r0 and r1, angles a0..a1 in degrees (0 = right, clockwise, y down)."""
    def inside(x, y):
        d = math.hypot(x - cx, y - cy)
        if not (r0 <= d <= r1):
            return False
        a = math.degrees(math.atan2(y - cy, x - cx)) % 360
        lo, hi = a0 % 360, a1 % 360
        return lo <= a <= hi if lo <= hi else (a >= lo or a <= hi)
    return (inside, c)


def poly(points, c):
    def inside(x, y):
        n, hit = len(points), False
        for i in range(n):
            (ax, ay), (bx, by) = points[i], points[(i + 1) % n]
            if (ay > y) != (by > y) and x < (bx - ax) * (y - ay) / (by - ay) + ax:
                hit = not hit
        return hit
    return (inside, c)


def question(cx, cy, s, c):
    """A question mark of height s centred at cx, cy."""
    w = s * 0.13
    top = cy - s * 0.5
    r = s * 0.24
    return [
        arc(cx, top + r + w / 2, r - w / 2, r + w / 2, 150, 90, c),
        rect(cx - w / 2, top + 2 * r, cx + w / 2, cy + s * 0.18, c),
        circle(cx, cy + s * 0.4, w * 0.62, c),
    ]


def shade(c, f):
    return tuple(max(0, min(255, int(v * f))) for v in c)


# ---- pictures ---------------------------------------------------------------

def camera(scale=1.0):
    body = (60, 64, 72)
    return [
        rrect(0.56, 0.10, 0.86, 0.30, 0.03, (90, 94, 104)),       # flash unit
        rect(0.60, 0.14, 0.82, 0.26, (255, 226, 80)),              # flash window
        rect(0.66, 0.28, 0.76, 0.34, (90, 94, 104)),               # its foot
        rrect(0.06, 0.32, 0.94, 0.88, 0.08, body),                 # body
        rect(0.10, 0.36, 0.90, 0.42, shade(body, 1.5)),            # top highlight
        circle(0.50, 0.60, 0.22, (200, 204, 212)),                 # lens ring
        circle(0.50, 0.60, 0.16, (30, 60, 120)),                   # glass
        circle(0.45, 0.55, 0.05, (170, 200, 255)),                 # reflection
        rect(0.12, 0.46, 0.24, 0.52, (220, 60, 50)),               # red dot
    ]


def blocks():
    out = []
    for (x, y, c) in [(0.08, 0.08, (220, 50, 50)), (0.52, 0.08, (50, 170, 70)),
                      (0.08, 0.52, (50, 100, 220)), (0.52, 0.52, (240, 190, 30))]:
        out.append(rrect(x, y, x + 0.40, y + 0.40, 0.06, shade(c, 0.7)))
        out.append(rrect(x + 0.03, y + 0.03, x + 0.37, y + 0.35, 0.05, c))
    return out


def disks():
    out = []
    for i, y in enumerate((0.70, 0.48, 0.26)):
        side = (110, 120, 140)
        out.append(rect(0.10, y, 0.90, y + 0.14, side))
        out.append(ellipse(0.50, y + 0.14, 0.40, 0.10, side))
        out.append(ellipse(0.50, y, 0.40, 0.10, (190, 200, 220)))
        out.append(ellipse(0.50, y, 0.10, 0.03, (90, 100, 120)))
        out.append(rect(0.74, y + 0.07, 0.82, y + 0.11, (60, 220, 80)))  # activity light
    return out


def red_book():
    return [
        rect(0.20, 0.10, 0.86, 0.92, (120, 20, 20)),
        rect(0.24, 0.10, 0.86, 0.86, (210, 40, 40)),
        rect(0.24, 0.86, 0.84, 0.92, (245, 240, 225)),             # pages
        rect(0.14, 0.10, 0.24, 0.92, (150, 25, 25)),               # spine
    ] + question(0.55, 0.47, 0.62, (255, 220, 40))


def cyan_question():
    return question(0.50, 0.50, 0.92, (0, 150, 170)) + question(0.46, 0.47, 0.92, (60, 230, 240))


def scan_frame(k):
    """One of four animation frames: a ring of dots whose bright head moves a quarter turn."""
    out = [circle(0.5, 0.5, 0.46, (235, 242, 250)), arc(0.5, 0.5, 0.44, 0.47, 0, 359.9, (120, 140, 170))]
    n = 8
    head = k * 2
    for i in range(n):
        age = (head - i) % n
        level = max(0.0, 1.0 - age / 5.0)
        c = tuple(int(a + (b - a) * level) for a, b in zip((200, 210, 225), (0, 91, 146)))
        a = math.radians(i * 360 / n - 90)
        out.append(circle(0.5 + 0.30 * math.cos(a), 0.5 + 0.30 * math.sin(a), 0.06 + 0.04 * level, c))
    out.append(circle(0.5, 0.5, 0.12, (0, 91, 146)))
    out.append(circle(0.5, 0.5, 0.06, (255, 255, 255)))
    return out


# ---- the trees' 16-colour pictures -------------------------------------------
# Drawn pixel by pixel on a 16 by 16 grid in the 16 colours of the standard
# palette, so they stay sharp in the trees' ILC_COLOR4 image lists. In the grids
# '.' is transparent, 'k' the outline, 'o' the shadow; 'f' is the fill and 'b'
# the back of an open folder, which the variants of an entry found in one
# snapshot only replace by a checker of their colour and white.

PALETTE16 = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, MAROON, GREEN, OLIVE, TEAL, SILVER, GREY = 0, 1, 2, 3, 6, 7, 8
RED, YELLOW, BLUE, CYAN, WHITE = 9, 11, 12, 14, 15

FOLDER_CLOSED = [
    "................",
    "................",
    "................",
    ".kkkkk..........",
    "kwffffk.........",
    "kfffffkkkkkkkkk.",
    "kwwwwwwwwwwwwwko",
    "kfffffffffffffko",
    "kfffffffffffffko",
    "kfffffffffffffko",
    "kfffffffffffffko",
    "kfffffffffffffko",
    "kfffffffffffffko",
    "kkkkkkkkkkkkkkko",
    ".ooooooooooooooo",
    "................",
]

FOLDER_OPEN = [
    "................",
    "................",
    "................",
    ".kkkkk..........",
    "kbbbbbk.........",
    "kbbbbbbkkkkkk...",
    "kbbbbbbbbbbbk...",
    "kbbbkkkkkkkkkkkk",
    "kbbkwwwwwwwwwwwk",
    "kbbkfffffffffffk",
    "kbkfffffffffffko",
    "kbkfffffffffffko",
    "kkfffffffffffko.",
    "kkfffffffffffko.",
    "kkkkkkkkkkkkkko.",
    "..ooooooooooooo.",
]

DOCUMENT = [
    "................",
    "..kkkkkkkkk.....",
    "..kfffffffkk....",
    "..kfffffffkwk...",
    "..kfffffffkkkk..",
    "..kfgggggffffk..",
    "..kffffffffffko.",
    "..kfggggggggfko.",
    "..kffffffffffko.",
    "..kfggggggggfko.",
    "..kffffffffffko.",
    "..kfggggggggfko.",
    "..kffffffffffko.",
    "..kkkkkkkkkkkko.",
    "...oooooooooooo.",
    "................",
]


# The registry values' pictures: a white tag, pointed at the left with a hole,
# whose face tells the kind of data: dark red "ab" for text, blue "011" over
# "110" for binary data, green "12" for a number. 'g' marks the glyphs.

def tag_grid():
    """The tag: outline rows 1 and 14, a point of four pixels at the left, a
    shadow to the right and below, a hole in the point."""
    rows = [['.'] * 16 for _ in range(16)]
    for y in range(1, 15):
        left = max(0, 4 - min(y - 1, 14 - y))
        for x in range(left, 15):
            edge = y in (1, 14) or x in (left, 14)
            rows[y][x] = 'k' if edge else 'f'
        rows[y][15] = 'o'
    for x in range(5, 16):
        rows[15][x] = 'o'
    for y in (7, 8):
        for x in (2, 3):
            rows[y][x] = 'o'
    return rows


GLYPHS = {
    'a': [".gg.", "...g", ".ggg", "g..g", ".ggg"],
    'b': ["g...", "g...", "ggg.", "g..g", "g..g", "ggg."],
    '0': ["ggg", "g.g", "g.g", "g.g", "ggg"],
    '1': [".g", "gg", ".g", ".g", ".g"],
    'big1': [".g.", "gg.", ".g.", ".g.", ".g.", ".g.", "ggg"],
    'big2': [".gg.", "g..g", "...g", "..g.", ".g..", "g...", "gggg"],
}


def stamp(rows, glyph, x, y):
    for dy, line in enumerate(GLYPHS[glyph]):
        for dx, ch in enumerate(line):
            if ch == 'g':
                rows[y + dy][x + dx] = 'g'


def tag_with(*glyphs):
    """The tag with glyphs stamped at (name, x, y)."""
    rows = tag_grid()
    for name, x, y in glyphs:
        stamp(rows, name, x, y)
    return [''.join(r) for r in rows]


TEXT_TAG = tag_with(('a', 5, 6), ('b', 10, 5))
BINARY_TAG = tag_with(('0', 5, 2), ('1', 9, 2), ('1', 12, 2), ('1', 5, 8), ('1', 8, 8), ('0', 11, 8))
NUMBER_TAG = tag_with(('big1', 5, 4), ('big2', 9, 4))


def pixel_picture(grid, fill, back=None, lines=GREY):
    """Palette indices (None: transparent) of a grid. fill and back are a
    palette index or a checker (colour, white) of two; a checker puts its
    colour where x + y is even."""
    def paint(spec, x, y):
        if isinstance(spec, tuple):
            return spec[(x + y) % 2]
        return spec
    keys = {'k': BLACK, 'o': GREY, 'w': WHITE, 'g': lines}
    rows = []
    for y, line in enumerate(grid):
        row = []
        for x, ch in enumerate(line):
            if ch == '.':
                row.append(None)
            elif ch == 'f':
                row.append(paint(fill, x, y))
            elif ch == 'b':
                row.append(paint(back if back is not None else fill, x, y))
            else:
                row.append(keys[ch])
        rows.append(row)
    return rows


def ico16_image(rows):
    """A 4-bit image of the standard palette with its AND mask."""
    h, w = len(rows), len(rows[0])
    header = struct.pack('<IiiHHIIiiII', 40, w, h * 2, 1, 4, 0, 0, 0, 0, 16, 0)
    palette = b''.join(struct.pack('<BBBB', b, g, r, 0) for (r, g, b) in PALETTE16)
    stride = ((w * 4 + 31) // 32) * 4
    pixels = b''
    for row in reversed(rows):
        line = bytearray(stride)
        for x, index in enumerate(row):
            line[x // 2] |= (index or 0) << (4 if x % 2 == 0 else 0)
        pixels += bytes(line)
    mask_stride = ((w + 31) // 32) * 4
    mask = b''
    for row in reversed(rows):
        bits = bytearray(mask_stride)
        for x, index in enumerate(row):
            if index is None:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bytes(bits)
    return header + palette + pixels + mask


def write_ico16(name, rows):
    data = ico16_image(rows)
    out = struct.pack('<HHH', 0, 1, 1)
    out += struct.pack('<BBBBHHII', 16, 16, 16, 0, 1, 4, len(data), 6 + 16)
    with open(os.path.join(HERE, name), 'wb') as f:
        f.write(out + data)


def tree_pictures():
    """(file name, rows) of the trees' folder and file pictures."""
    red, cyan = (RED, WHITE), (CYAN, WHITE)
    return [
        ('folder_closed.ico', pixel_picture(FOLDER_CLOSED, YELLOW)),
        ('folder_open.ico', pixel_picture(FOLDER_OPEN, YELLOW, OLIVE)),
        ('folder_closed_left.ico', pixel_picture(FOLDER_CLOSED, red)),
        ('folder_open_left.ico', pixel_picture(FOLDER_OPEN, red, (MAROON, WHITE))),
        ('folder_closed_right.ico', pixel_picture(FOLDER_CLOSED, cyan)),
        ('folder_open_right.ico', pixel_picture(FOLDER_OPEN, cyan, (TEAL, WHITE))),
        ('document.ico', pixel_picture(DOCUMENT, WHITE)),
        ('document_left.ico', pixel_picture(DOCUMENT, red)),
        ('document_right.ico', pixel_picture(DOCUMENT, cyan)),
        ('value_text.ico', pixel_picture(TEXT_TAG, WHITE, lines=MAROON)),
        ('value_text_left.ico', pixel_picture(TEXT_TAG, red, lines=MAROON)),
        ('value_text_right.ico', pixel_picture(TEXT_TAG, cyan, lines=MAROON)),
        ('value_binary.ico', pixel_picture(BINARY_TAG, WHITE, lines=BLUE)),
        ('value_binary_left.ico', pixel_picture(BINARY_TAG, red, lines=BLUE)),
        ('value_binary_right.ico', pixel_picture(BINARY_TAG, cyan, lines=BLUE)),
        ('value_number.ico', pixel_picture(NUMBER_TAG, WHITE, lines=GREEN)),
        ('value_number_left.ico', pixel_picture(NUMBER_TAG, red, lines=GREEN)),
        ('value_number_right.ico', pixel_picture(NUMBER_TAG, cyan, lines=GREEN)),
    ]


# ---- rendering and files ----------------------------------------------------

def render(shapes, w, h, sub=4):
    """Returns rows (top first) of (r, g, b, a) with a in 0..255."""
    rows = []
    for py in range(h):
        row = []
        for px in range(w):
            acc = [0.0, 0.0, 0.0]
            cover = 0
            for sy in range(sub):
                for sx in range(sub):
                    x = (px + (sx + 0.5) / sub) / w
                    y = (py + (sy + 0.5) / sub) / h
                    colour = None
                    for inside, c in shapes:
                        if inside(x, y):
                            colour = c
                    if colour:
                        cover += 1
                        for i in range(3):
                            acc[i] += colour[i]
            if cover:
                row.append(tuple(int(v / cover) for v in acc) + (int(255 * cover / (sub * sub)),))
            else:
                row.append((0, 0, 0, 0))
        rows.append(row)
    return rows


def ico_image(rows):
    h, w = len(rows), len(rows[0])
    header = struct.pack('<IiiHHIIiiII', 40, w, h * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = b''.join(struct.pack('<BBBB', b, g, r, a) for row in reversed(rows) for (r, g, b, a) in row)
    mask_stride = ((w + 31) // 32) * 4
    mask = b''
    for row in reversed(rows):
        bits = bytearray(mask_stride)
        for x, (_, _, _, a) in enumerate(row):
            if a < 128:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bytes(bits)
    return header + pixels + mask


def write_ico(name, shapes, sizes=(16, 32, 48)):
    images = [ico_image(render(shapes, s, s)) for s in sizes]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for s, data in zip(sizes, images):
        out += struct.pack('<BBBBHHII', s % 256, s % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    with open(os.path.join(HERE, name), 'wb') as f:
        f.write(out + b''.join(images))


def write_toolbar(name, pictures, w=16, h=15, mask=(255, 0, 255), face=(236, 236, 236)):
    """A 24-bit strip; transparent pixels carry the mask colour."""
    strips = [render(p, w, h) for p in pictures]
    width = w * len(strips)
    stride = (width * 3 + 3) & ~3
    data = b''
    for y in reversed(range(h)):
        line = bytearray()
        for s in strips:
            for (r, g, b, a) in s[y]:
                if a < 100:
                    r, g, b = mask
                else:
                    f = a / 255
                    r, g, b = (int(c * f + fc * (1 - f)) for c, fc in zip((r, g, b), face))
                line += bytes((b, g, r))
        data += bytes(line) + b'\0' * (stride - len(line))
    info = struct.pack('<IiiHHIIiiII', 40, width, h, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    header = struct.pack('<2sIHHI', b'BM', 14 + len(info) + len(data), 0, 0, 14 + len(info))
    with open(os.path.join(HERE, name), 'wb') as f:
        f.write(header + info + data)


if __name__ == '__main__':
    write_ico('corvane.ico', camera())
    write_ico('registry.ico', blocks())
    write_ico('filesystem.ico', disks())
    for k in range(4):
        write_ico('scan%d.ico' % (k + 1), scan_frame(k), sizes=(48, 32))
    for name, rows in tree_pictures():
        write_ico16(name, rows)
    write_toolbar('toolbar.bmp', [camera(), blocks(), disks(), red_book(), cyan_question()])
