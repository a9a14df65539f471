#!/usr/bin/env python3
"""Draws the program's notification-area icon (ICON/TRAYICON.ico): a white page with a folded
corner and a blue tag mark, in 16 x 16 and 32 x 32, 32-bit with an alpha channel and mask.

Run from this directory: python3 make_icons.py."""
import struct

CLEAR = None
BLACK, WHITE, GREY = (0, 0, 0), (255, 255, 255), (128, 128, 128)
BLUE, NAVY, RED = (0, 0, 255), (0, 0, 128), (192, 0, 0)


def page(size):
    """The picture at size x size as rows of colours (None = transparent), top row first."""
    px = [[CLEAR] * size for _ in range(size)]
    s = size / 16.0

    def put(x, y, c):
        if 0 <= x < size and 0 <= y < size:
            px[y][x] = c

    left, right, top, bottom = round(2 * s), round(13 * s) - 1, round(1 * s), round(15 * s) - 1
    fold = round(4 * s)
    for y in range(top, bottom + 1):
        for x in range(left, right + 1):
            if x - (right - fold) > y - top:  # cut-off corner
                continue
            edge = x in (left, right) or y in (top, bottom) or x - (right - fold) == y - top
            put(x, y, BLACK if edge else WHITE)
    for i in range(fold + 1):  # the folded flap
        for j in range(i + 1):
            x, y = right - fold + i, top + j
            put(x, y, BLACK if j in (0, i) or i == fold else GREY)
    # "<>" in blue across the page.
    mid = (top + bottom) // 2 + round(1 * s)
    arm = round(3 * s)
    width = max(1, round(s))
    for k in range(arm + 1):
        for w in range(width):
            put(left + round(2 * s) + k + w, mid - k, BLUE)
            put(left + round(2 * s) + k + w, mid + k, BLUE)
            put(right - round(2 * s) - k - w, mid - k, BLUE)
            put(right - round(2 * s) - k - w, mid + k, BLUE)
    # A red line under it, a bit of text.
    for x in range(left + round(2 * s), right - round(2 * s) + 1):
        put(x, mid + arm + round(2 * s), RED)
    return px


def dib_entry(px):
    size = len(px)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    colour = bytearray()
    for row in reversed(px):
        for c in row:
            if c is None:
                colour += bytes((0, 0, 0, 0))
            else:
                colour += bytes((c[2], c[1], c[0], 255))
    stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(px):
        bits = bytearray(stride)
        for x, c in enumerate(row):
            if c is None:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + bytes(colour) + bytes(mask)


def ico(sizes):
    entries = [dib_entry(page(s)) for s in sizes]
    out = struct.pack('<HHH', 0, 1, len(entries))
    offset = 6 + 16 * len(entries)
    for s, data in zip(sizes, entries):
        out += struct.pack('<BBBBHHII', s % 256, s % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    for data in entries:
        out += data
    return out


if __name__ == '__main__':
    with open('ICON/TRAYICON.ico', 'wb') as f:
        f.write(ico([16, 32]))
