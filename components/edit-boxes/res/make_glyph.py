#!/usr/bin/env python3
"""Draws the file and directory edits' button glyph, a 14 x 12 folder, as BITMAP/FEDITBMP.bmp
(24-bit; the bottom-left pixel is the transparent colour). Run from this directory."""
import struct

T = (0x80, 0x80, 0x00)  # transparent (olive)
K = (0, 0, 0)
Y = (255, 255, 0)
O = (192, 160, 0)
ROWS = [
    "..............",
    "..............",
    ".KKKK.........",
    "KYYYYK........",
    "KYYYYKKKKKKK..",
    "KYYYYYYYYYYK..",
    "KYOOOOOOOOOOOK",
    "KYOOOOOOOOOOK.",
    "KOOOOOOOOOOOK.",
    "KOOOOOOOOOOK..",
    "KKKKKKKKKKKK..",
    "..............",
]
COLOURS = {".": T, "K": K, "Y": Y, "O": O}
W, H = 14, 12
stride = (W * 3 + 3) & ~3
pixels = b""
for row in reversed(ROWS):
    line = b"".join(bytes((COLOURS[c][2], COLOURS[c][1], COLOURS[c][0])) for c in row)
    pixels += line + b"\0" * (stride - len(line))
header = struct.pack("<2sIHHI", b"BM", 54 + len(pixels), 0, 0, 54)
info = struct.pack("<IiiHHIIiiII", 40, W, H, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
with open("BITMAP/FEDITBMP.bmp", "wb") as f:
    f.write(header + info + pixels)
