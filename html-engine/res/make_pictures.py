#!/usr/bin/env python3
"""Draws the engine's stand-in pictures as BMP files: 1001 the broken picture (16 colours),
1005 its mask (monochrome, white = transparent) and 1002 the picture shown while images are off
(16 colours). The pointing hand 1003.cur is the same picture as the colouring memo's 1077.cur.

Run from this directory: python3 make_pictures.py."""
import struct

# The sixteen standard colours, in palette order.
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128), (0, 128, 128),
    (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255),
    (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, MAROON, GREEN, NAVY, SILVER, GREY, RED, LIME, YELLOW, BLUE, WHITE = 0, 1, 2, 4, 7, 8, 9, 10, 11, 12, 15
W = H = 16


def blank(c):
    return [[c] * W for _ in range(H)]


def fill(px, x0, y0, x1, y1, c):
    for y in range(y0, y1 + 1):
        for x in range(x0, x1 + 1):
            px[y][x] = c


def sheet(px):
    """A sheet of paper, (2, 1) to (13, 14), its top-right corner folded down to (10, 4)."""
    fill(px, 2, 1, 13, 14, WHITE)
    for y in range(1, 15):
        px[y][2] = px[y][13] = BLACK
    for x in range(2, 14):
        px[1][x] = px[14][x] = BLACK
    for i in range(4):
        for x in range(11 + i, 14):
            px[1 + i][x] = SILVER  # cut away
        px[1 + i][10 + i] = BLACK  # the fold's edge
        px[1 + i][10] = BLACK
        px[4][10 + i] = BLACK


def save4(name, px):
    row = ((W * 4 + 31) // 32) * 4
    data = bytearray()
    for y in range(H - 1, -1, -1):
        line = bytearray()
        for x in range(0, W, 2):
            line.append(px[y][x] << 4 | px[y][x + 1])
        data += line + b"\0" * (row - len(line))
    pal = b"".join(bytes((b, g, r, 0)) for (r, g, b) in PALETTE)
    off = 14 + 40 + len(pal)
    head = struct.pack("<2sIHHI", b"BM", off + len(data), 0, 0, off)
    info = struct.pack("<IiiHHIIiiII", 40, W, H, 1, 4, 0, len(data), 3780, 3780, 16, 0)
    with open(name, "wb") as f:
        f.write(head + info + pal + bytes(data))


def save1(name, bits):
    row = ((W + 31) // 32) * 4
    data = bytearray()
    for y in range(H - 1, -1, -1):
        line = bytearray()
        for x in range(0, W, 8):
            v = 0
            for k in range(8):
                v = v << 1 | bits[y][x + k]
            line.append(v)
        data += line + b"\0" * (row - len(line))
    pal = bytes((0, 0, 0, 0, 255, 255, 255, 0))
    off = 14 + 40 + len(pal)
    head = struct.pack("<2sIHHI", b"BM", off + len(data), 0, 0, off)
    info = struct.pack("<IiiHHIIiiII", 40, W, H, 1, 1, 0, len(data), 3780, 3780, 2, 0)
    with open(name, "wb") as f:
        f.write(head + info + pal + bytes(data))


# 1001: the sheet torn across, with a red square, a green triangle and a blue disc on it.
broken = blank(SILVER)
sheet(broken)
fill(broken, 4, 6, 6, 8, RED)
for i in range(3):
    for x in range(9 - i, 10 + i):
        broken[6 + i][x] = GREEN
for y, (x0, x1) in zip(range(11, 14), [(5, 6), (4, 7), (5, 6)]):
    fill(broken, x0, y, x1, y, BLUE)
for x, y in [(3, 10), (4, 9), (5, 10), (6, 9), (7, 10), (8, 9), (9, 10), (10, 9), (11, 10), (12, 9)]:
    broken[y][x] = GREY  # the tear
save4("BITMAP/1001.bmp", broken)

# 1005: transparent (white) around the sheet and in the folded corner's cut.
mask = [[1] * W for _ in range(H)]
for y in range(1, 15):
    for x in range(2, 14):
        mask[y][x] = 0
for i in range(3):
    for x in range(11 + i, 14):
        mask[1 + i][x] = 1
save1("BITMAP/1005.bmp", mask)

# 1002: a framed landscape in greys, the sign of a picture not loaded.
off = blank(SILVER)
fill(off, 1, 2, 14, 13, WHITE)
for x in range(1, 15):
    off[2][x] = GREY
    off[13][x] = GREY
for y in range(2, 14):
    off[y][1] = GREY
    off[y][14] = GREY
fill(off, 10, 4, 11, 5, GREY)  # the sun
for i in range(5):  # a hill from (5, 7) down to the frame
    for x in range(5 - i, 6 + i):
        off[7 + i][x] = GREY
for i in range(4):  # and a lower one
    for x in range(10 - i, 11 + i):
        off[9 + i][x] = GREY
save4("BITMAP/1002.bmp", off)
