#!/usr/bin/env python3
"""Draws the tray, list, toolbar and header pictures and writes them as .ico
and .bmp files.

    make_resources.py OUTPUT_DIR           write every file
    make_resources.py --check OUTPUT_DIR   exit 1 if any file differs

Every picture is drawn on a 16-unit design grid from signed distance shapes
(negative inside), so one drawing serves 16, 32 and 48 pixels. Icons are
32-bit with alpha plus the 1-bit mask. Toolbar strips and the preview's button
are 24-bit with a key colour (partly covered edge pixels are blended over the
button face, never over the key, so no pink or teal fringe shows). Header
bitmaps are 8-bit with a colour table whose light grey RGB(192, 192, 192) the
loader maps to the face colour (LR_LOADMAP3DCOLORS); they are pixel art.
"""
import math
import os
import struct
import sys

from make_icon import bitmap_entry

SUPERSAMPLE = 4
ICON_SIZES = (16, 32, 48)

# Palette shared by the family (the program icon's blues).
OUTLINE = (0x2C, 0x5F, 0xA8, 255)
PAPER = (0xFF, 0xFF, 0xFF, 255)
PAPER_LOW = (0xE4, 0xEC, 0xF7, 255)
FLAP = (0xD3, 0xE0, 0xF2, 255)
WHITE = (0xFF, 0xFF, 0xFF, 255)
RED = (0xD9, 0x2B, 0x1F, 255)
RED_DARK = (0x8C, 0x12, 0x0C, 255)
BLUE = (0x1E, 0x6F, 0xD9, 255)
BLUE_DARK = (0x0F, 0x3C, 0x80, 255)
GREEN = (0x33, 0xA8, 0x3C, 255)
GREEN_DARK = (0x17, 0x60, 0x1D, 255)
AMBER = (0xF2, 0xB1, 0x1F, 255)
AMBER_DARK = (0x9A, 0x62, 0x00, 255)
GREY = (0x8E, 0x95, 0x9E, 255)
GREY_DARK = (0x4A, 0x50, 0x58, 255)
GREY_LIGHT = (0xDA, 0xDD, 0xE1, 255)
STEEL = (0xB4, 0xBC, 0xC6, 255)

TOOLBAR_KEY = (0xFF, 0x00, 0xFF)
PREVIEW_KEY = (0x00, 0x80, 0x80)
BUTTON_FACE = (0xD4, 0xD0, 0xC8)
HEADER_FACE = (0xC0, 0xC0, 0xC0)


# --- Shapes: functions (x, y) -> signed distance in design units -----------

def circle(cx, cy, r):
    return lambda x, y: math.hypot(x - cx, y - cy) - r


def box(left, top, right, bottom, radius=0.0):
    cx, cy = (left + right) / 2, (top + bottom) / 2
    hx, hy = (right - left) / 2 - radius, (bottom - top) / 2 - radius

    def d(x, y):
        qx, qy = abs(x - cx) - hx, abs(y - cy) - hy
        outside = math.hypot(max(qx, 0), max(qy, 0))
        return outside + min(max(qx, qy), 0) - radius
    return d


def seg_dist(x, y, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    t = ((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy)
    t = max(0.0, min(1.0, t))
    return math.hypot(x - (ax + t * dx), y - (ay + t * dy))


def line(ax, ay, bx, by, width):
    return lambda x, y: seg_dist(x, y, ax, ay, bx, by) - width / 2


def polygon(points):
    n = len(points)

    def d(x, y):
        best = min(seg_dist(x, y, *points[i], *points[(i + 1) % n]) for i in range(n))
        inside = False
        for i in range(n):
            (ax, ay), (bx, by) = points[i], points[(i + 1) % n]
            if (ay > y) != (by > y) and x < ax + (y - ay) * (bx - ax) / (by - ay):
                inside = not inside
        return -best if inside else best
    return d


def arc(cx, cy, r, start, end, width):
    """A stroke along a circle from angle start to end (degrees, clockwise on
    screen from the positive x axis), with round caps."""
    a0, a1 = math.radians(start), math.radians(end)
    ends = [(cx + r * math.cos(a), cy + r * math.sin(a)) for a in (a0, a1)]

    def d(x, y):
        a = math.atan2(y - cy, x - cx)
        while a < a0:
            a += 2 * math.pi
        if a <= a1:
            return abs(math.hypot(x - cx, y - cy) - r) - width / 2
        return min(math.hypot(x - ex, y - ey) for ex, ey in ends) - width / 2
    return d


def union(*shapes):
    return lambda x, y: min(s(x, y) for s in shapes)


def minus(shape, cut):
    return lambda x, y: max(shape(x, y), -cut(x, y))


def rotated(shape, degrees, cx=8.0, cy=8.0):
    c, s = math.cos(math.radians(-degrees)), math.sin(math.radians(-degrees))
    return lambda x, y: shape(cx + (x - cx) * c - (y - cy) * s, cy + (x - cx) * s + (y - cy) * c)


def moved(shape, dx, dy):
    return lambda x, y: shape(x - dx, y - dy)


def scaled(shape, factor, cx, cy):
    return lambda x, y: shape(cx + (x - cx) / factor, cy + (y - cy) / factor) * factor


# --- Layers: (shape, fill, outline colour, outline width) -------------------

def layer(shape, fill, edge=None, edge_width=1.0):
    return (shape, fill, edge, edge_width)


def colour_at(layers, x, y):
    """Composites the layers (last on top) at one sample; returns straight
    RGBA with components 0..255 as floats."""
    r = g = b = a = 0.0
    for shape, fill, edge, edge_width in layers:
        d = shape(x, y)
        if d >= 0:
            continue
        c = edge if edge is not None and d > -edge_width else fill
        if callable(c):
            c = c(x, y)
        ca = c[3] / 255.0
        na = ca + a * (1 - ca)
        if na > 0:
            r = (c[0] * ca + r * a * (1 - ca)) / na
            g = (c[1] * ca + g * a * (1 - ca)) / na
            b = (c[2] * ca + b * a * (1 - ca)) / na
        a = na
    return r, g, b, a * 255


def render(layers, size):
    """Rows (top first) of (r, g, b, a) integer tuples."""
    scale = 16.0 / size
    n = SUPERSAMPLE
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            acc = [0.0, 0.0, 0.0, 0.0]
            for sy in range(n):
                for sx in range(n):
                    r, g, b, a = colour_at(layers, (px + (sx + 0.5) / n) * scale,
                                           (py + (sy + 0.5) / n) * scale)
                    acc[0] += r * a
                    acc[1] += g * a
                    acc[2] += b * a
                    acc[3] += a
            if acc[3] == 0:
                row.append((0, 0, 0, 0))
            else:
                row.append(tuple(round(acc[i] / acc[3]) for i in range(3)) + (round(acc[3] / (n * n)),))
        rows.append(row)
    return rows


# --- The family's parts -----------------------------------------------------

def envelope(left=1.0, top=3.0, right=15.0, bottom=13.0, dim=False):
    """A closed envelope: the program icon's shape."""
    tip = ((left + right) / 2, top + (bottom - top) * 0.58)
    outline = (0xA4, 0xB8, 0xD4, 255) if dim else OUTLINE
    flap = (0xEE, 0xF2, 0xF8, 80) if dim else FLAP
    if dim:
        paper = (0xFF, 0xFF, 0xFF, 60)
    else:
        def paper(x, y):
            t = max(0.0, min(1.0, (y - top) / (bottom - top)))
            return tuple(PAPER[i] + (PAPER_LOW[i] - PAPER[i]) * t for i in range(3)) + (255,)
    body = box(left, top, right, bottom, 0.9)
    return [
        layer(body, paper),
        layer(lambda x, y: max(body(x, y), polygon([(left, top), (right, top), tip])(x, y)), flap),
        layer(union(line(left + 0.6, top + 0.5, *tip, 1.0), line(right - 0.6, top + 0.5, *tip, 1.0)), outline),
        layer(minus(body, box(left + 1, top + 1, right - 1, bottom - 1, 0.2)), outline),
    ]


def emblem_disc(fill, edge, cx=11.5, cy=11.5, r=4.3):
    """The round badge in a corner, with a white rim that parts it from what
    lies below."""
    return [layer(circle(cx, cy, r + 0.9), WHITE), layer(circle(cx, cy, r), fill, edge, 0.8)]


def cross(cx, cy, half, width):
    return union(line(cx - half, cy - half, cx + half, cy + half, width),
                 line(cx + half, cy - half, cx - half, cy + half, width))


def down_arrow(cx, top, bottom, half, stem):
    head = bottom - half * 1.1
    return union(box(cx - stem / 2, top, cx + stem / 2, head + 0.3),
                 polygon([(cx - half, head), (cx + half, head), (cx, bottom)]))


def error_emblem(cx=11.5, cy=11.5, r=4.3):
    mark = union(polygon([(cx - 0.85, cy - 3.0), (cx + 0.85, cy - 3.0), (cx + 0.5, cy + 0.9), (cx - 0.5, cy + 0.9)]),
                 circle(cx, cy + 2.2, 0.85))
    return emblem_disc(RED, RED_DARK, cx, cy, r) + [layer(mark, WHITE)]


def check_emblem(cx=11.5, cy=11.5, r=4.3):
    return emblem_disc(BLUE, BLUE_DARK, cx, cy, r) + [layer(down_arrow(cx, cy - 3.0, cy + 3.0, 2.5, 1.6), WHITE)]


def disabled_emblem(cx=11.5, cy=11.5, r=4.3):
    ring = minus(circle(cx, cy, r), circle(cx, cy, r - 1.5))
    slash = line(cx - r * 0.62, cy + r * 0.62, cx + r * 0.62, cy - r * 0.62, 1.5)
    return [layer(circle(cx, cy, r + 0.9), WHITE), layer(circle(cx, cy, r), WHITE),
            layer(union(ring, slash), GREY_DARK)]


def grey_envelope():
    parts = envelope()
    greyed = []
    for shape, fill, edge, width in parts:
        def to_grey(c):
            if c is None:
                return None
            if callable(c):
                return lambda x, y, c=c: to_grey(c(x, y))
            v = round(0.3 * c[0] + 0.59 * c[1] + 0.11 * c[2])
            v = 110 + v * 0.5
            return (v, v, v, c[3])
        greyed.append(layer(shape, to_grey(fill), to_grey(edge), width))
    return greyed


def paper_clip(width=1.25):
    """A paper clip standing at an angle: an outer and an inner loop of one
    wire."""
    outer = union(arc(8, 4.4, 2.6, 180, 360, width), line(5.4, 4.4, 5.4, 11.2, width),
                  arc(8, 11.2, 2.6, 0, 180, width), line(10.6, 11.2, 10.6, 6.0, width))
    inner = union(arc(8.9, 6.0, 1.7, 180, 360, width), line(7.2, 6.0, 7.2, 10.4, width))
    return rotated(union(outer, inner), 35)


def exclamation(cx=8.0, top=1.5, bottom=14.5):
    h = bottom - top
    bar = polygon([(cx - 1.7, top), (cx + 1.7, top), (cx + 1.0, top + h * 0.66), (cx - 1.0, top + h * 0.66)])
    return union(box(cx - 1.7, top, cx + 1.7, top + 1.5, 0.8), bar, circle(cx, bottom - 1.6, 1.6))


def arrow_up():
    return polygon([(8, 1.5), (14.5, 8), (10.5, 8), (10.5, 14.5), (5.5, 14.5), (5.5, 8), (1.5, 8)])


def arrow_down():
    return polygon([(8, 14.5), (14.5, 8), (10.5, 8), (10.5, 1.5), (5.5, 1.5), (5.5, 8), (1.5, 8)])


def person():
    head = circle(8, 5.0, 3.0)
    body = lambda x, y: max(box(1.5, 9.0, 14.5, 19.0, 5.5)(x, y), y - 14.8)
    return head, body


def question_mark():
    hook = union(arc(8, 5.6, 2.3, 160, 400, 1.8), line(9.6, 7.3, 8.0, 8.8, 1.8), line(8.0, 8.8, 8.0, 9.8, 1.8))
    return union(hook, circle(8, 12.6, 1.15))


def gear():
    def d(x, y):
        a = math.atan2(y - 8, x - 8)
        teeth = 1.3 * max(0.0, min(1.0, 2.2 * math.cos(8 * a) + 0.4))
        return math.hypot(x - 8, y - 8) - (5.0 + teeth)
    return minus(d, circle(8, 8, 2.0))


# --- The pictures -----------------------------------------------------------

ICONS = {
    # Tray states.
    'tray_flash': envelope(dim=True),
    'tray_error': envelope() + error_emblem(),
    'tray_check': envelope() + check_emblem(),
    'tray_check_error': envelope() + check_emblem() + error_emblem(4.4, 4.4, 3.6),
    # Account rows.
    'account_checking': envelope() + check_emblem(),
    'account_idle': envelope(),
    'account_failed': envelope() + error_emblem(),
    'account_disabled': grey_envelope() + disabled_emblem(),
    # Message rows.
    'message_deleted': [layer(cross(8, 8, 5.0, 3.6), RED, RED_DARK, 0.9)],
    'message_uncertain': [layer(circle(8, 8, 7.0), AMBER, AMBER_DARK, 0.9),
                          layer(question_mark(), WHITE)],
    'message_spammer': grey_envelope() + [
        layer(circle(11.5, 11.5, 5.2), WHITE),
        layer(union(minus(circle(11.5, 11.5, 4.3), circle(11.5, 11.5, 2.8)),
                    line(8.4, 14.6, 14.6, 8.4, 1.6)), RED)],
    'priority_low': [layer(down_arrow(8, 1.5, 14.5, 5.5, 4.0), BLUE, BLUE_DARK, 0.9)],
    'priority_high': [layer(exclamation(), RED, RED_DARK, 0.9)],
    'attachment': [layer(paper_clip(2.2), GREY_DARK), layer(paper_clip(0.8), GREY)],
    'friend': [layer(minus(person()[1], circle(8, 5.0, 3.9)), GREEN, GREEN_DARK, 0.9),
               layer(person()[0], GREEN, GREEN_DARK, 0.9)],
}


def two_envelopes():
    back = [(moved(s, 0, 0), f, e, w) for s, f, e, w in envelope(3.5, 1.0, 15.5, 9.5)]
    front = envelope(0.5, 5.0, 12.5, 13.5)
    return back + [layer(box(0.0, 4.3, 13.2, 14.2, 1.2), WHITE)] + front


TOOLBAR = [
    ('check', envelope() + check_emblem()),
    ('check_all', two_envelopes() + check_emblem()),
    ('stop', [layer(polygon([(5.2, 1.2), (10.8, 1.2), (14.8, 5.2), (14.8, 10.8), (10.8, 14.8),
                             (5.2, 14.8), (1.2, 10.8), (1.2, 5.2)]), RED, RED_DARK, 1.0),
              layer(box(4.2, 6.8, 11.8, 9.2, 0.3), WHITE)]),
    ('delete', envelope() + [layer(cross(9.5, 9.5, 4.0, 3.2), RED, RED_DARK, 0.9)]),
    ('reply', envelope(3.0, 5.0, 15.5, 14.0) + [
        layer(union(arc(7.5, 13.5, 6.3, 270, 345, 3.2),
                    polygon([(0.6, 7.2), (6.6, 2.0), (6.6, 12.4)])), (0x7A, 0x3D, 0xC2, 255),
              (0x42, 0x1A, 0x75, 255), 0.9)]),
    ('up', [layer(arrow_up(), GREEN, GREEN_DARK, 1.0)]),
    ('down', [layer(arrow_down(), GREEN, GREEN_DARK, 1.0)]),
    ('mailer', [layer(box(0.5, 1.5, 15.5, 14.5, 0.8), WHITE, GREY_DARK, 1.0),
                layer(box(1.0, 2.0, 15.0, 5.0), BLUE),
                layer(box(12.2, 2.8, 14.0, 4.3), WHITE)]
     + envelope(3.0, 6.5, 13.0, 13.0)),
    ('settings', [layer(gear(), (0x6E, 0x9C, 0xD6, 255), BLUE_DARK, 1.0)]),
    ('filter', [layer(polygon([(0.8, 1.5), (15.2, 1.5), (9.6, 8.0), (9.6, 14.8), (6.4, 12.6), (6.4, 8.0)]),
                      (0x3F, 0x9C, 0xD8, 255), BLUE_DARK, 1.0)]),
]


def keyed(rows, key, face):
    """24-bit pixels over a key colour: pixels less than half covered become
    the key, the rest are blended over the face."""
    out = []
    for row in rows:
        line_ = []
        for r, g, b, a in row:
            if a < 128:
                line_.append(key)
            else:
                t = a / 255.0
                line_.append(tuple(round(c * t + f * (1 - t)) for c, f in zip((r, g, b), face)))
        out.append(line_)
    return out


def greyed(rows, key):
    """The disabled look: luminance, lightened, the key kept."""
    out = []
    for row in rows:
        line_ = []
        for p in row:
            if p == key:
                line_.append(key)
            else:
                v = 0.3 * p[0] + 0.59 * p[1] + 0.11 * p[2]
                v = round(125 + v * 0.45)
                line_.append((v, v, v))
        out.append(line_)
    return out


# Header bitmaps as pixel art: '.' face, '#' black, 'r' dark red.
HEADER_ATTACH = [
    '....##....',
    '...#..#...',
    '...#..#...',
    '...#.##.#.',
    '...#.##.#.',
    '...#.##.#.',
    '...#.##.#.',
    '...#.##.#.',
    '...#.##.#.',
    '...#....#.',
    '...#....#.',
    '....#..#..',
    '.....##...',
    '..........',
]
HEADER_PRIORITY = [
    '..........',
    '....rr....',
    '...rrrr...',
    '...rrrr...',
    '...rrrr...',
    '...rrrr...',
    '....rr....',
    '....rr....',
    '....rr....',
    '..........',
    '....rr....',
    '...rrrr...',
    '....rr....',
    '..........',
]
SORT_UP = [
    '.........',
    '.........',
    '....#....',
    '...###...',
    '..#####..',
    '.#######.',
    '.........',
    '.........',
]
SORT_DOWN = list(reversed(SORT_UP[:-2])) + ['.........', '.........']
PIXEL_COLOURS = {'.': HEADER_FACE, '#': (0, 0, 0), 'r': (0xA0, 0x00, 0x00)}


# --- File formats -------------------------------------------------------------

def ico_file(images):
    offset = 6 + 16 * len(images)
    out = bytearray(struct.pack('<HHH', 0, 1, len(images)))
    for size, data in images:
        out += struct.pack('<BBBBHHII', size % 256, size % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    for _, data in images:
        out += data
    return bytes(out)


def bmp24(rows):
    height, width = len(rows), len(rows[0])
    stride = (width * 3 + 3) & ~3
    pixels = bytearray()
    for row in reversed(rows):
        line_ = bytearray()
        for r, g, b in row:
            line_ += bytes((b, g, r))
        pixels += line_ + bytes(stride - len(line_))
    return bmp_file(width, height, 24, b'', bytes(pixels))


def bmp8(rows, palette):
    height, width = len(rows), len(rows[0])
    stride = (width + 3) & ~3
    index = {c: i for i, c in enumerate(palette)}
    pixels = bytearray()
    for row in reversed(rows):
        line_ = bytes(index[p] for p in row)
        pixels += line_ + bytes(stride - len(line_))
    table = b''.join(bytes((b, g, r, 0)) for r, g, b in palette)
    return bmp_file(width, height, 8, table, bytes(pixels), len(palette))


def bmp_file(width, height, bits, table, pixels, used=0):
    info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, bits, 0, len(pixels), 2835, 2835, used, used)
    offset = 14 + len(info) + len(table)
    return struct.pack('<2sIHHI', b'BM', offset + len(pixels), 0, 0, offset) + info + table + pixels


def pixel_art(art):
    return [[PIXEL_COLOURS[ch] for ch in row] for row in art]


def build():
    """Returns {file name: bytes}."""
    files = {}
    for name, layers in ICONS.items():
        files['icons/%s.ico' % name] = ico_file([(s, bitmap_entry(s, render(layers, s))) for s in ICON_SIZES])
    strip = [[] for _ in range(16)]
    for _, layers in TOOLBAR:
        for y, row in enumerate(keyed(render(layers, 16), TOOLBAR_KEY, BUTTON_FACE)):
            strip[y].extend(row)
    files['bitmaps/toolbar.bmp'] = bmp24(strip)
    files['bitmaps/toolbar_disabled.bmp'] = bmp24(greyed(strip, TOOLBAR_KEY))
    palette = list(PIXEL_COLOURS.values())
    files['bitmaps/header_attach.bmp'] = bmp8(pixel_art(HEADER_ATTACH), palette)
    files['bitmaps/header_priority.bmp'] = bmp8(pixel_art(HEADER_PRIORITY), palette)
    files['bitmaps/sort_ascending.bmp'] = bmp8(pixel_art(SORT_UP), palette)
    files['bitmaps/sort_descending.bmp'] = bmp8(pixel_art(SORT_DOWN), palette)
    clip = [layer(scaled(paper_clip(1.9), 0.95, 8, 8), GREY_DARK), layer(scaled(paper_clip(0.85), 0.95, 8, 8), STEEL)]
    files['bitmaps/preview_attach.bmp'] = bmp24(keyed(render(clip, 30), PREVIEW_KEY, BUTTON_FACE))
    return files


def main():
    args = sys.argv[1:]
    check = args[:1] == ['--check']
    if check:
        args = args[1:]
    if len(args) != 1:
        sys.exit(__doc__)
    differing = []
    for name, data in sorted(build().items()):
        path = os.path.join(args[0], name)
        if check:
            try:
                with open(path, 'rb') as f:
                    same = f.read() == data
            except OSError:
                same = False
            if not same:
                differing.append(name)
            continue
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, 'wb') as f:
            f.write(data)
    if differing:
        sys.exit('out of date: ' + ', '.join(differing))


if __name__ == '__main__':
    main()
