#!/usr/bin/env python3
"""Draws the two hand cursors of the add-on controls and writes them as 32x32 .cur files.

Run from this directory: python3 make_cursors.py. '#' is a black pixel, '.' white, ' ' and
anything else transparent; 'X' marks the hot spot (drawn black).
"""
import struct

POINT = [
    "     ##                         ",
    "    #..#                        ",
    "    #..#                        ",
    "    #..#                        ",
    "    #..#                        ",
    "    #..###                      ",
    "    #..#..###                   ",
    "    #..#..#..##                 ",
    "    #..#..#..#.#                ",
    "### #..#..#..#..#               ",
    "#..##........#..#               ",
    "#...#...........#               ",
    " #..#...........#               ",
    "  #.............#               ",
    "  #.............#               ",
    "   #............#               ",
    "   #...........#                ",
    "    #..........#                ",
    "    #.........#                 ",
    "     #........#                 ",
    "     #........#                 ",
    "     ##########                 ",
]
POINT_HOT = (5, 0)

DRAG = [
    "                                ",
    "                                ",
    "                                ",
    "                                ",
    "       ## ## ##                 ",
    "      #..#..#..##               ",
    "      #..#..#..#.#              ",
    "    ###..#..#..#..#             ",
    "   #..#........#..#             ",
    "   #..#...........#             ",
    "   #..............#             ",
    "    #.............#             ",
    "    #......X......#             ",
    "     #...........#              ",
    "     #...........#              ",
    "      #.........#               ",
    "      #.........#               ",
    "      ###########               ",
]
DRAG_HOT = (11, 12)


def cursor_bytes(art, hot):
    size = 32
    rows = [line.ljust(size)[:size] for line in art] + [" " * size] * (size - len(art))
    xor = bytearray()
    mask = bytearray()
    for line in reversed(rows):  # BMP rows bottom-up
        bits = 0
        for x, ch in enumerate(line):
            if ch in "#X":
                xor += bytes((0, 0, 0, 255))
            elif ch == ".":
                xor += bytes((255, 255, 255, 255))
            else:
                xor += bytes((0, 0, 0, 0))
                bits |= 1 << (31 - x)
        mask += struct.pack(">I", bits)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    image = header + bytes(xor) + bytes(mask)
    directory = struct.pack("<HHH", 0, 2, 1)
    entry = struct.pack("<BBBBHHII", size, size, 0, 0, hot[0], hot[1], len(image), 6 + 16)
    return directory + entry + image


with open("CURSOR/AD_HANDCUR.cur", "wb") as f:
    f.write(cursor_bytes(POINT, POINT_HOT))
with open("CURSOR/AD_DRAGCUR.cur", "wb") as f:
    f.write(cursor_bytes(DRAG, DRAG_HOT))
