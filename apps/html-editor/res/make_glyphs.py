#!/usr/bin/env python3
"""Draws the main window's toolbar glyphs and the closing splash picture as 24-bit BMP files.

Run from this directory: python3 make_glyphs.py. The bottom-left pixel of each glyph is the
button face grey, so the glyphs look right with or without transparency."""
import struct

FACE = (192, 192, 192)
BLACK, WHITE, GREY, DARK = (0, 0, 0), (255, 255, 255), (128, 128, 128), (64, 64, 64)
NAVY, BLUE, RED, GREEN = (0, 0, 128), (0, 0, 255), (255, 0, 0), (0, 128, 0)
YELLOW, OLIVE, TEAL, MAROON = (255, 255, 0), (128, 128, 0), (0, 128, 128), (128, 0, 0)


class Image:
    def __init__(self, w, h, bg=FACE):
        self.w, self.h = w, h
        self.px = [[bg] * w for _ in range(h)]

    def set(self, x, y, c):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.px[y][x] = c

    def fill(self, x0, y0, x1, y1, c):
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                self.set(x, y, c)

    def frame(self, x0, y0, x1, y1, c):
        for x in range(x0, x1 + 1):
            self.set(x, y0, c)
            self.set(x, y1, c)
        for y in range(y0, y1 + 1):
            self.set(x0, y, c)
            self.set(x1, y, c)

    def line(self, x0, y0, x1, y1, c):
        n = max(abs(x1 - x0), abs(y1 - y0), 1)
        for i in range(n + 1):
            self.set(round(x0 + (x1 - x0) * i / n), round(y0 + (y1 - y0) * i / n), c)

    def circle(self, cx, cy, r, c, filled=False):
        for y in range(self.h):
            for x in range(self.w):
                d = ((x - cx) ** 2 + (y - cy) ** 2) ** 0.5
                if (filled and d <= r) or (not filled and abs(d - r) < 0.6):
                    self.set(x, y, c)

    def save(self, name):
        row = (self.w * 3 + 3) & ~3
        data = bytearray()
        for y in range(self.h - 1, -1, -1):
            line = bytearray()
            for (r, g, b) in self.px[y]:
                line += bytes((b, g, r))
            line += b"\0" * (row - len(line))
            data += line
        head = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54)
        info = struct.pack("<IiiHHIIiiII", 40, self.w, self.h, 1, 24, 0, len(data), 3780, 3780, 0, 0)
        with open(name, "wb") as f:
            f.write(head + info + data)


def page(i, x0=3, y0=1, x1=12, y1=14):
    i.fill(x0, y0, x1, y1, WHITE)
    i.frame(x0, y0, x1, y1, BLACK)
    i.line(x1 - 3, y0, x1, y0 + 3, BLACK)
    i.fill(x1 - 2, y0, x1, y0 + 1, FACE)
    i.set(x1, y0 + 2, FACE)


def floppy(i, c=NAVY):
    i.fill(2, 2, 13, 13, c)
    i.fill(4, 2, 11, 6, WHITE)
    i.fill(5, 9, 10, 13, GREY)
    i.fill(8, 10, 9, 12, BLACK)


def glyphs():
    g = {}
    i = Image(16, 16); page(i); g["SB_NEWFILE"] = i
    i = Image(16, 16)
    i.fill(1, 4, 8, 13, OLIVE); i.fill(1, 3, 5, 4, OLIVE)
    i.fill(3, 7, 14, 13, YELLOW); i.frame(3, 7, 14, 13, DARK); i.frame(1, 3, 8, 13, DARK)
    g["SB_OPENFILE"] = i
    i = Image(16, 16); floppy(i); g["SB_SAVE"] = i
    i = Image(16, 16); floppy(i); i.line(9, 14, 15, 8, RED); i.line(10, 14, 15, 9, MAROON)
    g["SB_SAVEAS"] = i
    i = Image(16, 16)
    i.line(5, 1, 10, 9, BLACK); i.line(10, 1, 5, 9, BLACK)
    i.circle(4, 12, 2.5, NAVY); i.circle(11, 12, 2.5, NAVY)
    g["SB_CUT"] = i
    i = Image(16, 16); page(i, 1, 1, 9, 11); page(i, 6, 4, 14, 14); g["SB_COPY"] = i
    i = Image(16, 16)
    i.fill(2, 2, 12, 14, OLIVE); i.frame(2, 2, 12, 14, DARK); i.fill(5, 1, 9, 3, GREY)
    page(i, 7, 6, 14, 15)
    g["SB_PASTE"] = i
    i = Image(16, 16)
    i.circle(6, 6, 4.5, WHITE, True); i.circle(6, 6, 4.5, BLACK)
    i.line(9, 9, 14, 14, DARK); i.line(10, 9, 14, 13, DARK)
    g["SB_FIND"] = i
    i = Image(16, 16)
    i.fill(4, 1, 11, 6, WHITE); i.frame(4, 1, 11, 6, BLACK)
    i.fill(1, 6, 14, 12, GREY); i.frame(1, 6, 14, 12, BLACK)
    i.fill(4, 10, 11, 14, WHITE); i.frame(4, 10, 11, 14, BLACK); i.set(12, 8, GREEN)
    g["SB_PRINT"] = i
    i = Image(16, 16)
    i.circle(7.5, 7.5, 6.5, BLUE, True); i.circle(7.5, 7.5, 6.5, NAVY)
    i.line(1, 7, 14, 7, GREEN); i.line(7, 1, 7, 14, GREEN); i.circle(7.5, 7.5, 3.5, GREEN)
    g["SB_TEST"] = i
    i = Image(16, 16); page(i)
    for y in (4, 6, 8, 10, 12):
        i.line(5, y, 10, y, TEAL if y % 4 else RED)
    g["SB_SCRIBE"] = i
    i = Image(16, 16)
    i.circle(7.5, 8, 6.5, (255, 224, 160), True); i.circle(7.5, 8, 6.5, DARK)
    i.fill(4, 4, 5, 5, RED); i.fill(9, 3, 10, 4, BLUE); i.fill(11, 8, 12, 9, GREEN)
    i.fill(4, 9, 5, 10, YELLOW); i.circle(8, 11, 1.5, FACE, True)
    g["SB_COLOUR"] = i
    i = Image(16, 16)
    i.fill(2, 2, 13, 13, MAROON); i.frame(2, 2, 13, 13, BLACK); i.fill(4, 3, 4, 12, YELLOW)
    i.fill(6, 5, 11, 6, WHITE)
    g["SB_JSREF"] = i
    return g


def splash():
    i = Image(390, 160, WHITE)
    for y in range(160):
        for x in range(390):
            i.px[y][x] = (0, 0, 96 + (x * 120) // 390)
    # A large stylised "T" and a page with angle brackets.
    i.fill(40, 30, 150, 50, YELLOW); i.fill(85, 50, 105, 130, YELLOW)
    i.fill(220, 25, 330, 135, WHITE); i.frame(220, 25, 330, 135, BLACK)
    i.line(260, 55, 240, 80, BLUE); i.line(240, 80, 260, 105, BLUE)
    i.line(290, 55, 310, 80, BLUE); i.line(310, 80, 290, 105, BLUE)
    i.line(285, 50, 265, 110, RED)
    return i


def clipboard():
    """The clipboard window's picture: a board with its clip and a written sheet."""
    i = Image(64, 80)
    i.fill(6, 8, 57, 77, (150, 100, 50)); i.frame(6, 8, 57, 77, DARK)
    i.fill(12, 16, 51, 72, WHITE); i.frame(12, 16, 51, 72, GREY)
    for y in range(24, 68, 6):
        i.line(17, y, 46 if y % 12 else 38, y, NAVY)
    i.fill(22, 3, 41, 13, GREY); i.frame(22, 3, 41, 13, BLACK)
    i.fill(28, 1, 35, 4, GREY); i.frame(28, 1, 35, 4, BLACK)
    return i


if __name__ == "__main__":
    for name, img in glyphs().items():
        img.save("BITMAP/%s.bmp" % name)
    splash().save("BITMAP/SPLASH_LOGO.bmp")
    clipboard().save("BITMAP/CLIP_PICTURE.bmp")
