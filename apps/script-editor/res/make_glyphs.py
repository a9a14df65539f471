#!/usr/bin/env python3
"""Draws the script editor's toolbar glyphs as 16 x 16 24-bit BMP files in BITMAP/.

Each glyph has the transparent colour (olive) in its bottom-left pixel, as the buttons expect.
Run from this directory: python3 make_glyphs.py
"""
import os
import struct

T = (0x80, 0x80, 0x00)  # transparent (olive)
K = (0, 0, 0)
W = (255, 255, 255)
G = (128, 128, 128)
S = (192, 192, 192)
Y = (255, 255, 0)
O = (192, 160, 0)
B = (0, 0, 160)
L = (0, 128, 255)
R = (200, 0, 0)
N = (0, 140, 0)
P = (128, 0, 128)
BR = (150, 100, 40)

FONT = {  # 3 x 5 letters
    'A': ['010', '101', '111', '101', '101'], 'B': ['110', '101', '110', '101', '110'],
    'C': ['011', '100', '100', '100', '011'], 'D': ['110', '101', '101', '101', '110'],
    'E': ['111', '100', '110', '100', '111'], 'F': ['111', '100', '110', '100', '100'],
    'H': ['101', '101', '111', '101', '101'], 'I': ['111', '010', '010', '010', '111'],
    'J': ['001', '001', '001', '101', '010'], 'K': ['101', '101', '110', '101', '101'],
    'L': ['100', '100', '100', '100', '111'], 'M': ['101', '111', '111', '101', '101'],
    'N': ['101', '111', '111', '111', '101'], 'O': ['010', '101', '101', '101', '010'],
    'S': ['011', '100', '010', '001', '110'], 'T': ['111', '010', '010', '010', '010'],
    'U': ['101', '101', '101', '101', '111'], 'V': ['101', '101', '101', '101', '010'],
    'W': ['101', '101', '111', '111', '101'], 'X': ['101', '101', '010', '101', '101'],
    'G': ['011', '100', '101', '101', '011'], 'R': ['110', '101', '110', '101', '101'],
    '/': ['001', '001', '010', '100', '100'], '!': ['010', '010', '010', '000', '010'],
    '?': ['110', '001', '010', '000', '010'], '.': ['000', '000', '000', '000', '010'],
    '(': ['010', '100', '100', '100', '010'], ')': ['010', '001', '001', '001', '010'],
}


class Glyph:
    def __init__(self):
        self.px = [[T] * 16 for _ in range(16)]

    def set(self, x, y, c):
        if 0 <= x < 16 and 0 <= y < 15:  # the bottom row stays transparent
            self.px[y][x] = c

    def rect(self, x0, y0, x1, y1, fill=None, frame=None):
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                edge = x in (x0, x1) or y in (y0, y1)
                c = frame if edge and frame else fill
                if c:
                    self.set(x, y, c)

    def line(self, x0, y0, x1, y1, c):
        n = max(abs(x1 - x0), abs(y1 - y0), 1)
        for i in range(n + 1):
            self.set(round(x0 + (x1 - x0) * i / n), round(y0 + (y1 - y0) * i / n), c)

    def text(self, x, y, s, c, scale=1):
        for ch in s:
            rows = FONT[ch]
            for dy, row in enumerate(rows):
                for dx, bit in enumerate(row):
                    if bit == '1':
                        for sy in range(scale):
                            for sx in range(scale):
                                self.set(x + dx * scale + sx, y + dy * scale + sy, c)
            x += 4 * scale

    def bmp(self):
        rowbytes = b''
        for y in range(15, -1, -1):
            for x in range(16):
                r, g, b = self.px[y][x]
                rowbytes += bytes((b, g, r))
        header = struct.pack('<2sIHHI', b'BM', 54 + len(rowbytes), 0, 0, 54)
        info = struct.pack('<IiiHHIIiiII', 40, 16, 16, 1, 24, 0, len(rowbytes), 2835, 2835, 0, 0)
        return header + info + rowbytes


def page(g, x0=3, y0=1, x1=12, y1=14):
    g.rect(x0, y0, x1, y1, W, K)
    for i in range(3):
        g.set(x1 - i, y0 + 2 - i, T if i < 2 else K)
    g.line(x1 - 3, y0, x1 - 3, y0 + 3, K)
    g.line(x1 - 3, y0 + 3, x1, y0 + 3, K)
    g.set(x1 - 1, y0, T)
    g.set(x1, y0, T)
    g.set(x1, y0 + 1, T)
    g.set(x1 - 2, y0 + 1, K)


def window(g, x0, y0, x1, y1, title=B):
    g.rect(x0, y0, x1, y1, W, K)
    g.rect(x0 + 1, y0 + 1, x1 - 1, y0 + 2, title)


def new_file():
    g = Glyph(); page(g); return g


def open_file():
    g = Glyph()
    g.rect(1, 4, 12, 13, Y, K)
    g.rect(1, 3, 5, 4, Y, K)
    g.line(3, 13, 6, 7, K); g.line(6, 7, 15, 7, K); g.line(15, 7, 12, 13, K)
    for y in range(8, 13):
        g.line(6 - (y - 7) // 2 + 1, y, 14 - (y - 7) // 2, y, O)
    return g


def save_file():
    g = Glyph()
    g.rect(1, 1, 14, 14, B, K)
    g.rect(4, 1, 11, 6, W, K)
    g.rect(4, 9, 11, 14, S, K)
    g.rect(9, 10, 10, 13, B)
    return g


def cut():
    g = Glyph()
    g.line(5, 1, 9, 9, K); g.line(10, 1, 6, 9, K)
    g.rect(3, 10, 6, 13, None, K); g.rect(9, 10, 12, 13, None, K)
    return g


def copy():
    g = Glyph()
    g.rect(1, 1, 8, 10, W, K); g.line(3, 3, 6, 3, B); g.line(3, 5, 6, 5, B)
    g.rect(6, 5, 13, 14, W, K); g.line(8, 7, 11, 7, B); g.line(8, 9, 11, 9, B); g.line(8, 11, 11, 11, B)
    return g


def paste():
    g = Glyph()
    g.rect(1, 2, 10, 14, BR, K); g.rect(4, 1, 7, 3, S, K)
    g.rect(6, 6, 14, 14, W, K); g.line(8, 8, 12, 8, B); g.line(8, 10, 12, 10, B); g.line(8, 12, 12, 12, B)
    return g


def arrange():
    g = Glyph(); g.rect(0, 1, 15, 14, S, K)
    for x in (2, 7): g.rect(x, 10, x + 4, 12, B, K)
    return g


def cascade():
    g = Glyph()
    window(g, 0, 0, 9, 8); window(g, 3, 3, 12, 11); window(g, 6, 6, 15, 14)
    return g


def tile():
    g = Glyph(); window(g, 0, 1, 7, 14); window(g, 8, 1, 15, 14); return g


def minimize_all():
    g = Glyph(); window(g, 1, 1, 14, 10); g.rect(3, 12, 12, 13, K); return g


def close_window():
    g = Glyph(); window(g, 1, 1, 14, 14)
    g.line(4, 5, 11, 12, R); g.line(11, 5, 4, 12, R); g.line(5, 5, 12, 12, R); g.line(12, 5, 5, 12, R)
    return g


def arrow(left):
    g = Glyph()
    for i in range(6):
        x = 3 + i if left else 12 - i
        g.line(x, 7 - i, x, 7 + i, N)
    if left:
        g.rect(9, 5, 13, 9, N)
    else:
        g.rect(2, 5, 6, 9, N)
    return g


def letters(s, c=K, scale=None):
    g = Glyph()
    if scale is None:
        scale = 2 if len(s) == 1 else 1
    width = len(s) * 4 * scale - scale
    g.text((16 - width) // 2, (15 - 5 * scale) // 2, s, c, scale)
    return g


def strike(s):
    g = letters(s); g.line(1, 7, 14, 7, R); return g


def page_letter(s, c):
    g = Glyph(); page(g, 2, 1, 13, 14)
    g.text((16 - (len(s) * 4 - 1)) // 2, 7, s, c)
    return g


def globe(c):
    g = Glyph()
    for y in range(16):
        for x in range(16):
            if (x - 7.5) ** 2 + (y - 7) ** 2 <= 42:
                g.set(x, y, c)
    g.line(1, 7, 14, 7, W); g.line(7, 1, 7, 13, W)
    g.line(3, 3, 12, 3, W); g.line(3, 11, 12, 11, W)
    return g


def page_globe():
    g = Glyph(); page(g, 1, 1, 10, 14)
    for y in range(6, 15):
        for x in range(6, 16):
            if (x - 10.5) ** 2 + (y - 10) ** 2 <= 18:
                g.set(x, y, L)
    return g


def configure():
    g = Glyph(); g.rect(2, 2, 13, 13, S, K); g.rect(5, 5, 10, 10, G, K); g.line(0, 7, 15, 7, K); g.line(7, 0, 7, 14, K)
    g.rect(5, 5, 10, 10, G, K)
    return g


def new_window():
    g = Glyph(); window(g, 1, 3, 12, 14); g.line(9, 5, 14, 0, R); g.line(11, 0, 14, 0, R); g.line(14, 0, 14, 3, R)
    return g


def unit_box():
    g = Glyph(); g.rect(1, 4, 12, 14, O, K); g.line(1, 4, 4, 1, K); g.line(4, 1, 15, 1, K); g.line(15, 1, 12, 4, K)
    g.line(15, 1, 15, 11, K); g.line(15, 11, 12, 14, K); g.text(5, 7, 'U', K)
    return g


GLYPHS = {
    'TOOLBARBUTTON1': new_file(), 'SAVE': save_file(), 'TOOLBARBUTTON3': open_file(),
    'CUT': cut(), 'COPY1': copy(), 'PASTE': paste(),
    'TOOLBARBUTTON2': letters('B'), 'TOOLBARBUTTON16': letters('I', P), 'TOOLBARBUTTON15': letters('U'),
    'TOOLBARBUTTON14': letters('BL', R), 'TOOLBARBUTTON13': letters('ST'), 'TOOLBARBUTTON11': letters('KB', B),
    'TOOLBARBUTTON10': letters('V', P), 'TOOLBARBUTTON9': strike('ST'), 'TOOLBARBUTTON8': letters('CD', B),
    'TOOLBARBUTTON7': letters('DF', N), 'TOOLBARBUTTON6': letters('TT'), 'TOOLBARBUTTON5': letters('EM', P),
    'TOOLBARBUTTON12': letters('CI', N),
    'TOOLBARBUTTON33': arrange(), 'CASC': cascade(), 'TOOLBARBUTTON35': tile(),
    'TOOLBARBUTTON36': minimize_all(), 'CLOSE123': close_window(),
    'BACK': arrow(True), 'FORWARD1': arrow(False),
    'TOOLBARBUTTON23': page_letter('K', B), 'TOOLBARBUTTON45': page_letter('D', N),
    'TOOLBARBUTTON46': page_letter('B', P), 'TOOLBARBUTTON47': page_letter('JS', R),
    'TOOLBARBUTTON48': page_letter('T', K), 'TOOLBARBUTTON50': page_letter('H', B),
    'TOOLBARBUTTON49': unit_box(),
    'IEBUTTON': globe(B), 'TOOLBARBUTTON21': page_globe(), 'TOOLBARBUTTON22': globe(N),
    'TOOLBARBUTTON17': configure(),
    'TOOLBARBUTTON37': letters('DW', B), 'TOOLBARBUTTON38': letters('//', N), 'TOOLBARBUTTON41': new_window(),
    'TOOLBARBUTTON42': letters('!', R), 'TOOLBARBUTTON43': letters('?', B),
}

if __name__ == '__main__':
    here = os.path.dirname(os.path.abspath(__file__))
    os.makedirs(os.path.join(here, 'BITMAP'), exist_ok=True)
    for name, glyph in GLYPHS.items():
        with open(os.path.join(here, 'BITMAP', 'WG_%s.bmp' % name), 'wb') as f:
            f.write(glyph.bmp())
