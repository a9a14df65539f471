#!/usr/bin/env python3
"""Draws the pictures of the information windows: the about box's logo, the tutorial's side
picture and the reference window's book. Run from this directory: python3 make_info_pictures.py."""
from make_glyphs import Image, FACE, BLACK, WHITE, GREY, DARK, NAVY, BLUE, RED, YELLOW, MAROON


def brackets(i, x0, y0, w, h, c):
    """A page with "< / >" on it, the program's mark."""
    i.fill(x0, y0, x0 + w, y0 + h, WHITE)
    i.frame(x0, y0, x0 + w, y0 + h, BLACK)
    mx, my = x0 + w // 2, y0 + h // 2
    q = w // 5
    i.line(mx - q, my - q, mx - 2 * q, my, c); i.line(mx - 2 * q, my, mx - q, my + q, c)
    i.line(mx + q, my - q, mx + 2 * q, my, c); i.line(mx + 2 * q, my, mx + q, my + q, c)
    i.line(mx + q // 2, my - q, mx - q // 2, my + q, RED)


def about_logo():
    i = Image(64, 64, NAVY)
    i.fill(6, 8, 36, 14, YELLOW); i.fill(18, 14, 24, 44, YELLOW)
    brackets(i, 30, 22, 28, 34, BLUE)
    return i


def tutorial_side():
    i = Image(112, 280)
    for y in range(280):
        for x in range(112):
            i.px[y][x] = (0, 0, 80 + (y * 150) // 280)
    for n, y in enumerate(range(24, 250, 56)):
        brackets(i, 28, y, 56, 40, (BLUE, MAROON, DARK, NAVY)[n % 4])
    return i


def reference_book():
    i = Image(48, 48)
    i.fill(8, 4, 39, 43, MAROON); i.frame(8, 4, 39, 43, BLACK)
    i.fill(11, 5, 12, 42, YELLOW)
    i.fill(40, 6, 42, 43, WHITE); i.frame(40, 6, 42, 43, GREY)
    # "JS" on the cover
    i.fill(18, 14, 23, 15, WHITE); i.fill(21, 14, 22, 27, WHITE); i.fill(17, 26, 21, 27, WHITE)
    i.fill(26, 14, 33, 15, WHITE); i.fill(26, 14, 27, 20, WHITE); i.fill(26, 20, 33, 21, WHITE)
    i.fill(32, 20, 33, 27, WHITE); i.fill(26, 26, 33, 27, WHITE)
    i.set(0, 47, FACE)
    return i


if __name__ == "__main__":
    about_logo().save("BITMAP/ABOUT_LOGO.bmp")
    tutorial_side().save("BITMAP/TUTOR_SIDE.bmp")
    reference_book().save("BITMAP/JSREF_BOOK.bmp")
