#!/usr/bin/env python3
"""Draws the program icon (a closed envelope) and writes it as a .ico file.

    make_icon.py OUTPUT.ico

Each size is drawn on its own pixel grid (so the 16x16 outline stays crisp)
with 8x8 supersampling for smooth diagonals, and stored as a 32-bit image with
alpha plus the 1-bit mask that older Windows versions read.
"""
import math
import struct
import sys

SIZES = (16, 32, 48)
SUPERSAMPLE = 8

OUTLINE = (0x2C, 0x5F, 0xA8)
PAPER_TOP = (0xFF, 0xFF, 0xFF)
PAPER_BOTTOM = (0xE4, 0xEC, 0xF7)
FLAP = (0xD3, 0xE0, 0xF2)
FOLD = (0x9D, 0xB5, 0xD9)
SEAL = (0xE0, 0x53, 0x3D)


def segment_distance(px, py, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    t = ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy)
    t = max(0.0, min(1.0, t))
    return math.hypot(px - (ax + t * dx), py - (ay + t * dy))


def rounded_rect_inside(px, py, left, top, right, bottom, radius):
    """Distance inwards from the edge of a rounded rectangle (negative outside)."""
    cx = min(max(px, left + radius), right - radius)
    cy = min(max(py, top + radius), bottom - radius)
    if (cx, cy) != (px, py):
        return radius - math.hypot(px - cx, py - cy)
    return min(px - left, right - px, py - top, bottom - py)


def mix(a, b, t):
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(3))


def draw(size):
    """Returns rows (top first) of (r, g, b, a) tuples."""
    margin = round(size * 0.0625)
    left, right = margin, size - margin
    top, bottom = round(size * 0.1875), size - round(size * 0.1875)
    stroke = float(max(1, round(size / 20.0)))
    radius = max(1.0, size / 16.0)
    tip = ((left + right) / 2.0, top + (bottom - top) * 0.58)
    seal_radius = size * 0.085 if size >= 32 else 0.0

    def sample(x, y):
        inside = rounded_rect_inside(x, y, left, top, right, bottom, radius)
        if inside < 0:
            return None
        colour = mix(PAPER_TOP, PAPER_BOTTOM, (y - top) / (bottom - top))
        # The flap: the triangle above the V.
        half_width = (right - left) / 2.0
        if y < tip[1] and abs(x - tip[0]) <= half_width * (1 - (y - top) / (tip[1] - top)):
            colour = FLAP
        # The faint folds from the lower corners.
        fold_end_l = (tip[0] - half_width * 0.28, tip[1] - (bottom - top) * 0.05)
        fold_end_r = (tip[0] + half_width * 0.28, fold_end_l[1])
        if (segment_distance(x, y, left, bottom, *fold_end_l) < stroke * 0.45
                or segment_distance(x, y, right, bottom, *fold_end_r) < stroke * 0.45):
            colour = FOLD
        if (segment_distance(x, y, left, top, *tip) < stroke * 0.6
                or segment_distance(x, y, right, top, *tip) < stroke * 0.6):
            colour = OUTLINE
        if seal_radius and math.hypot(x - tip[0], y - tip[1]) < seal_radius:
            colour = SEAL
        if inside < stroke:
            colour = OUTLINE
        return colour

    rows = []
    n = SUPERSAMPLE
    for py in range(size):
        row = []
        for px in range(size):
            r = g = b = covered = 0.0
            for sy in range(n):
                for sx in range(n):
                    c = sample(px + (sx + 0.5) / n, py + (sy + 0.5) / n)
                    if c is not None:
                        r += c[0]
                        g += c[1]
                        b += c[2]
                        covered += 1
            if covered == 0:
                row.append((0, 0, 0, 0))
            else:
                row.append((round(r / covered), round(g / covered), round(b / covered),
                            round(255 * covered / (n * n))))
        rows.append(row)
    return rows


def bitmap_entry(size, rows):
    """The image as an icon directory entry stores it: a BITMAPINFOHEADER of
    double height, bottom-up BGRA pixels, then the AND mask."""
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = bytearray()
    for row in reversed(rows):
        for r, g, b, a in row:
            pixels += bytes((b, g, r, a))
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        line = bytearray(mask_stride)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                line[x // 8] |= 0x80 >> (x % 8)
        mask += line
    return header + bytes(pixels) + bytes(mask)


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    images = [(size, bitmap_entry(size, draw(size))) for size in SIZES]
    offset = 6 + 16 * len(images)
    out = bytearray(struct.pack('<HHH', 0, 1, len(images)))
    for size, data in images:
        out += struct.pack('<BBBBHHII', size % 256, size % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    for _, data in images:
        out += data
    with open(sys.argv[1], 'wb') as f:
        f.write(out)


if __name__ == '__main__':
    main()
