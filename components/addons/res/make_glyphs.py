#!/usr/bin/env python3
"""Draws the font box's two 12x12 glyphs and writes them as 24-bit BMP files.

Run from this directory: python3 make_glyphs.py. ' ' is the background (olive, the bottom-left
pixel, so it is the transparent colour), other letters are colours of the table.
"""
import os
import struct

COLOURS = {
    " ": (128, 128, 0),
    "k": (0, 0, 0),
    "g": (128, 128, 128),
    "b": (0, 0, 255),
    "w": (255, 255, 255),
}

# Two overlapping letters T, the back one grey, the front one black.
TRUETYPE = [
    "gggggggg    ",
    "g  gg  g    ",
    "   gg       ",
    "   gkkkkkkkk",
    "   gk  kk  k",
    "   gg  kk   ",
    "  gggg kk   ",
    "       kk   ",
    "       kk   ",
    "       kk   ",
    "      kkkk  ",
    "            ",
]

# A small printer.
DEVICE = [
    "            ",
    "   kkkkkk   ",
    "   kwwwwk   ",
    "   kwkkwk   ",
    " kkkkkkkkkk ",
    " kggggggggk ",
    " kggggggbgk ",
    " kggggggggk ",
    " kkkkkkkkkk ",
    "   kwwwwk   ",
    "   kkkkkk   ",
    "            ",
]


def write_bmp(path, rows):
    height = len(rows)
    width = len(rows[0])
    stride = (width * 3 + 3) & ~3
    pixels = b""
    for row in reversed(rows):  # bottom row first
        line = b"".join(bytes((COLOURS[c][2], COLOURS[c][1], COLOURS[c][0])) for c in row)
        pixels += line + b"\0" * (stride - len(line))
    header = struct.pack("<2sIHHI", b"BM", 54 + len(pixels), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + pixels)


os.makedirs("BITMAP", exist_ok=True)
write_bmp("BITMAP/TRUETYPE_FNT.bmp", TRUETYPE)
write_bmp("BITMAP/DEVICE_FNT.bmp", DEVICE)
