#!/usr/bin/env python3
"""Draws the program's icon (songlark.ico) and the song table's status glyph
strip (glyphs.bmp). Original artwork made of simple shapes; run this script
to change them: python3 res/make_art.py"""
import math
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


class Canvas:
    def __init__(self, w, h, bg):
        self.w, self.h = w, h
        self.px = [[bg for _ in range(w)] for _ in range(h)]

    def set(self, x, y, c):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.px[y][x] = c

    def rect(self, x0, y0, x1, y1, c):
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                self.set(x, y, c)

    def disc(self, cx, cy, r, c):
        for y in range(int(cy - r - 1), int(cy + r + 2)):
            for x in range(int(cx - r - 1), int(cx + r + 2)):
                if (x - cx) ** 2 + (y - cy) ** 2 <= r * r:
                    self.set(x, y, c)

    def ring(self, cx, cy, r0, r1, c):
        for y in range(int(cy - r1 - 1), int(cy + r1 + 2)):
            for x in range(int(cx - r1 - 1), int(cx + r1 + 2)):
                d = (x - cx) ** 2 + (y - cy) ** 2
                if r0 * r0 <= d <= r1 * r1:
                    self.set(x, y, c)

    def line(self, x0, y0, x1, y1, c, width=1):
        n = int(max(abs(x1 - x0), abs(y1 - y0)) * 2) + 1
        for i in range(n + 1):
            t = i / n
            x = x0 + (x1 - x0) * t
            y = y0 + (y1 - y0) * t
            for dx in range(width):
                for dy in range(width):
                    self.set(int(round(x)) + dx, int(round(y)) + dy, c)


GREEN = (40, 160, 60)
DARK_GREEN = (20, 100, 30)
WHITE = (255, 255, 255)
BLUE = (30, 80, 200)
YELLOW = (250, 210, 30)
BLACK = (0, 0, 0)
RED = (220, 30, 30)
GREY = (110, 110, 110)
GLASS = (170, 210, 240)

ROW_BACKGROUNDS = [(255, 255, 255), (0, 0, 80), (224, 224, 224)]


def glyph(kind, c, ox, oy):
    """Draws one 15 x 14 glyph with its top left corner at (ox, oy)."""
    if kind == 0:  # a green sheet with lines
        c.rect(ox + 3, oy + 1, ox + 11, oy + 12, GREEN)
        for y in (3, 5, 7, 9):
            c.rect(ox + 5, oy + y, ox + 9, oy + y, WHITE)
    elif kind == 1:  # a circular green mark
        c.disc(ox + 7, oy + 6.5, 6, GREEN)
        c.ring(ox + 7, oy + 6.5, 2.5, 3.8, WHITE)
    elif kind == 2:  # a blue square with a green letter-like mark
        c.rect(ox + 1, oy + 1, ox + 13, oy + 12, BLUE)
        c.line(ox + 4, oy + 3, ox + 4, oy + 10, GREEN, 2)
        c.line(ox + 6, oy + 7, ox + 10, oy + 3, GREEN, 2)
        c.line(ox + 6, oy + 6, ox + 10, oy + 10, GREEN, 2)
    elif kind == 3:  # a smiling yellow face
        c.disc(ox + 7, oy + 6.5, 6, YELLOW)
        c.set(ox + 5, oy + 4, BLACK)
        c.set(ox + 9, oy + 4, BLACK)
        for x in range(4, 11):
            y = 8 + (1 if 5 <= x <= 9 else 0)
            c.set(ox + x, oy + y, BLACK)
    elif kind in (4, 5):  # a magnifying glass, with a red cross for "not found"
        c.ring(ox + 6, oy + 5.5, 3, 4.5, GREY)
        c.disc(ox + 6, oy + 5.5, 2.6, GLASS)
        c.line(ox + 9, oy + 9, ox + 12, oy + 12, GREY, 2)
        if kind == 4:
            c.line(ox + 4, oy + 3, ox + 8, oy + 8, RED, 1)
            c.line(ox + 8, oy + 3, ox + 4, oy + 8, RED, 1)


def write_bmp24(path, canvas):
    row_bytes = (canvas.w * 3 + 3) & ~3
    data = bytearray()
    for y in range(canvas.h - 1, -1, -1):
        row = bytearray()
        for x in range(canvas.w):
            r, g, b = canvas.px[y][x]
            row += bytes((b, g, r))
        row += b"\0" * (row_bytes - len(row))
        data += row
    header = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, canvas.w, canvas.h, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + data)


# Column order of the strip: sheet, LimeWire mark, Kazaa mark, found, not found, searching.
STRIP_KINDS = [0, 1, 2, 3, 4, 5]


def make_strip():
    c = Canvas(90, 42, WHITE)
    for row, bg in enumerate(ROW_BACKGROUNDS):
        for col, kind in enumerate(STRIP_KINDS):
            ox, oy = 15 * col, 14 * row
            c.rect(ox, oy, ox + 14, oy + 13, bg)
            glyph(kind, c, ox, oy)
    write_bmp24(os.path.join(HERE, "glyphs.bmp"), c)


def icon_image(size):
    """32-bit BGRA icon image with an AND mask: a blue disc with a white note."""
    s = size / 32.0
    c = Canvas(size, size, None)
    c.disc(15.5 * s, 15.5 * s, 15 * s, (30, 90, 190))
    c.disc(12 * s, 21 * s, 4.2 * s, WHITE)
    c.rect(int(15 * s), int(6 * s), int(16.8 * s), int(21 * s), WHITE)
    c.line(16 * s, 6 * s, 23 * s, 10 * s, WHITE, max(1, int(2 * s)))
    xor = bytearray()
    for y in range(size - 1, -1, -1):
        for x in range(size):
            p = c.px[y][x]
            xor += bytes((0, 0, 0, 0)) if p is None else bytes((p[2], p[1], p[0], 255))
    mask_row = ((size + 31) // 32) * 4
    mask = bytearray()
    for y in range(size - 1, -1, -1):
        bits = bytearray(mask_row)
        for x in range(size):
            if c.px[y][x] is None:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    info = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    return info + xor + mask


def make_icon():
    images = [icon_image(32), icon_image(16)]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, img in zip((32, 16), images):
        out += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(img), offset)
        offset += len(img)
    with open(os.path.join(HERE, "songlark.ico"), "wb") as f:
        f.write(out + b"".join(images))


if __name__ == "__main__":
    make_strip()
    make_icon()
