#!/usr/bin/env python3
"""Draws the snippet wizards' pictures: the script scroll beside the fields, the note pad that
opens the help note and the close glyph. Run from this directory: python3 make_wizard_pictures.py."""
from make_glyphs import Image, FACE, BLACK, WHITE, GREY, DARK, NAVY, BLUE, RED, YELLOW, OLIVE


def scroll():
    i = Image(32, 32)
    i.fill(6, 4, 25, 27, (255, 255, 224))
    i.frame(6, 4, 25, 27, DARK)
    i.fill(4, 2, 27, 5, OLIVE)
    i.fill(4, 26, 27, 29, OLIVE)
    # "{ }" and a few lines of script
    for y in (9, 13, 17, 21):
        i.line(10, y, 21 - (y % 3) * 2, y, NAVY)
    i.line(9, 8, 8, 15, BLUE)
    i.line(8, 15, 9, 22, BLUE)
    i.line(22, 8, 23, 15, BLUE)
    i.line(23, 15, 22, 22, BLUE)
    return i


def note():
    i = Image(32, 32)
    i.fill(6, 3, 25, 28, YELLOW)
    i.frame(6, 3, 25, 28, DARK)
    for x in range(8, 25, 4):
        i.fill(x, 1, x + 1, 4, GREY)
    for y in range(9, 27, 4):
        i.line(9, y, 22, y, BLUE)
    i.line(9, 5, 22, 5, RED)
    return i


def close():
    i = Image(16, 16)
    i.line(4, 4, 11, 11, RED)
    i.line(5, 4, 12, 11, RED)
    i.line(11, 4, 4, 11, RED)
    i.line(12, 4, 5, 11, RED)
    i.set(0, 15, FACE)
    return i


if __name__ == "__main__":
    scroll().save("BITMAP/WIZ_SCRIPT.bmp")
    note().save("BITMAP/WIZ_NOTE.bmp")
    close().save("BITMAP/WIZ_CLOSE.bmp")
