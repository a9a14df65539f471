#!/usr/bin/env python3
# Writes the small image fixtures of these tests by hand, independently of the decoder under test.
# Usage: make_fixtures.py <dir>. tiny.png and tiny.jpg (2 x 2 with one transparent pixel, 8 x 8 of
# 0x204080) come from the toolkit writer and must be in <dir> first; png.ico embeds tiny.png.
import struct, os, sys
out = sys.argv[1]
W, H = 3, 2
RED, GREEN, BLUE, WHITE, BLACK, YELLOW = 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF, 0x000000, 0xFFFF00
ROWS = [[RED, GREEN, BLUE], [WHITE, BLACK, YELLOW]]  # top row first
PAL = [BLACK, RED, GREEN, BLUE, WHITE, YELLOW]

def stride(w, bpp): return ((w * bpp + 31) // 32) * 4

def info(w, h, bpp, comp=0, clr=0, size=40, img=0):
    return struct.pack('<IiiHHIIiiII', size, w, h, 1, bpp, comp, img, 2835, 2835, clr, 0)

def filehdr(total, off): return b'BM' + struct.pack('<IHHI', total, 0, 0, off)

def pal4(p): return b''.join(struct.pack('<BBBB', c & 255, (c >> 8) & 255, c >> 16, 0) for c in p)
def pal3(p): return b''.join(struct.pack('<BBB', c & 255, (c >> 8) & 255, c >> 16) for c in p)

def pack_rows(rows, bpp, enc, topdown=False):
    data = b''
    order = rows if topdown else rows[::-1]
    for r in order:
        bits = 0; nb = 0; b = bytearray()
        for px in r:
            v = enc(px)
            if bpp >= 8:
                b += v.to_bytes(bpp // 8, 'little')
            else:
                bits = (bits << bpp) | v; nb += bpp
                if nb == 8: b.append(bits); bits = 0; nb = 0
        if nb: b.append(bits << (8 - nb))
        b += b'\0' * (stride(len(r), bpp) - len(b))
        data += bytes(b)
    return data

def bmp(name, hdr, palette, bits):
    off = 14 + len(hdr) + len(palette)
    open(os.path.join(out, name), 'wb').write(filehdr(off + len(bits), off) + hdr + palette + bits)

def rgb24(c): return ((c & 255) | ((c >> 8) & 255) << 8 | (c >> 16) << 16)
idx = lambda c: PAL.index(c)
# 1 bpp: black/white pattern
MONO = [[BLACK, WHITE, BLACK], [WHITE, WHITE, BLACK]]
bmp('mono1.bmp', info(W, H, 1, clr=2), pal4([BLACK, WHITE]), pack_rows(MONO, 1, lambda c: 1 if c == WHITE else 0))
bmp('pal4.bmp', info(W, H, 4, clr=6), pal4(PAL), pack_rows(ROWS, 4, idx))
bmp('pal8.bmp', info(W, H, 8, clr=6), pal4(PAL), pack_rows(ROWS, 8, idx))
bmp('pal8_topdown.bmp', info(W, -H, 8, clr=6), pal4(PAL), pack_rows(ROWS, 8, idx, True))
bmp('pal8_core.bmp', struct.pack('<IHHHH', 12, W, H, 1, 8), pal3(PAL + [0] * 250), pack_rows(ROWS, 8, idx))
def c555(c): return ((c >> 19) & 31) << 10 | ((c >> 11) & 31) << 5 | ((c >> 3) & 31)
def c565(c): return ((c >> 19) & 31) << 11 | ((c >> 10) & 63) << 5 | ((c >> 3) & 31)
bmp('rgb555.bmp', info(W, H, 16), b'', pack_rows(ROWS, 16, c555))
bmp('rgb565.bmp', info(W, H, 16, comp=3), struct.pack('<III', 0xF800, 0x07E0, 0x001F), pack_rows(ROWS, 16, c565))
bmp('rgb24.bmp', info(W, H, 24), b'', pack_rows(ROWS, 24, rgb24))
bmp('rgb24_topdown.bmp', info(W, -H, 24), b'', pack_rows(ROWS, 24, rgb24, True))
bmp('rgb24_core.bmp', struct.pack('<IHHHH', 12, W, H, 1, 24), b'', pack_rows(ROWS, 24, rgb24))
bmp('rgb32.bmp', info(W, H, 32), b'', pack_rows(ROWS, 32, rgb24))  # fourth byte 0: opaque
# 32 bpp V5 with alpha: alpha 0x80 on every pixel except black which is 0
def argb(c): return rgb24(c) | ((0 if c == BLACK else 0x80) << 24)
v5 = struct.pack('<IiiHHIIiiII', 124, W, H, 1, 32, 3, 0, 2835, 2835, 0, 0) + struct.pack('<IIII', 0xFF0000, 0xFF00, 0xFF, 0xFF000000) + b'sRGB' + b'\0' * 36 + b'\0' * 12 + b'\0' * 16
assert len(v5) == 124
bmp('argb32_v5.bmp', v5, b'', pack_rows(ROWS, 32, argb))
# RLE8 bottom-up: bottom row (white black yellow), then top row (red green blue)
# bottom row: run of 1 white, absolute of 2 (black, yellow) needs >=3 for absolute, so runs
rle8 = bytes([1, idx(WHITE), 1, idx(BLACK), 1, idx(YELLOW), 0, 0,
              0, 3, idx(RED), idx(GREEN), idx(BLUE), 0,  # absolute run of 3, padded
              0, 1])
bmp('rle8.bmp', info(W, H, 8, comp=1, clr=6, img=len(rle8)), pal4(PAL), rle8)
# RLE4: bottom row: run 3 alternating (white, black) -> white black white? use absolute instead
rle4 = bytes([0, 3, (idx(WHITE) << 4) | idx(BLACK), idx(YELLOW) << 4, 0, 0,
              2, (idx(RED) << 4) | idx(GREEN), 1, idx(BLUE) << 4, 0, 0,
              0, 1])
bmp('rle4.bmp', info(W, H, 4, comp=2, clr=6, img=len(rle4)), pal4(PAL), rle4)
# RLE8 with a delta: 4x3, fill bottom row with red, skip to (2,2) and put green
rle8d = bytes([4, idx(RED), 0, 0, 0, 2, 2, 1, 1, idx(GREEN), 0, 1])
bmp('rle8_delta.bmp', info(4, 3, 8, comp=1, clr=6, img=len(rle8d)), pal4(PAL), rle8d)

# Icons: 4x4 4bpp BMP entry with AND mask; transparent where mask bit set
def icon_dib(w, h, bpp, pal, rows_idx, mask_rows):
    hdr = info(w, h * 2, bpp, clr=len(pal))
    xor = pack_rows(rows_idx, bpp, lambda v: v)
    andm = pack_rows(mask_rows, 1, lambda v: v)
    return hdr + pal4(pal) + xor + andm
IW = 4
icon_idx = [[1, 2, 3, 4], [0, 1, 2, 3], [4, 0, 1, 2], [3, 4, 0, 1]]
icon_mask = [[0, 0, 0, 0], [0, 1, 1, 0], [0, 1, 1, 0], [1, 0, 0, 1]]
dib4 = icon_dib(IW, IW, 4, PAL, icon_idx, icon_mask)
# a second, 2x2 1bpp entry
dib1 = icon_dib(2, 2, 1, [BLACK, WHITE], [[1, 0], [0, 1]], [[0, 1], [0, 0]])
pngbytes = open(os.path.join(out, 'tiny.png'), 'rb').read()
def ico(name, typ, entries):
    d = struct.pack('<HHH', 0, typ, len(entries))
    off = 6 + 16 * len(entries)
    blobs = b''
    for (w, h, a, b, blob) in entries:
        d += struct.pack('<BBBBHHII', w % 256, h % 256, 0, 0, a, b, len(blob), off)
        off += len(blob); blobs += blob
    open(os.path.join(out, name), 'wb').write(d + blobs)
ico('two.ico', 1, [(2, 2, 1, 1, dib1), (IW, IW, 1, 4, dib4)])
ico('png.ico', 1, [(2, 2, 1, 32, pngbytes)])
ico('hand.cur', 2, [(IW, IW, 1, 2, dib4)])  # hot spot (1, 2)

# GIF 2x2, four-colour table, codes kept at 3 bits by a clear code before every pixel
def gif_block(codes):
    acc = 0; n = 0; data = bytearray()
    for c in codes:
        acc |= c << n; n += 3
        while n >= 8: data.append(acc & 255); acc >>= 8; n -= 8
    if n: data.append(acc & 255)
    return bytes([2, len(data)]) + bytes(data) + b'\0'
def gif_head():
    g = b'GIF89a' + struct.pack('<HHBBB', 2, 2, 0x81, 0, 0)
    for c in [RED, GREEN, BLUE, WHITE]:
        g += bytes([c >> 16, (c >> 8) & 255, c & 255])
    return g
def gif(name):
    g = gif_head() + b',' + struct.pack('<HHHHB', 0, 0, 2, 2, 0) + gif_block([4, 0, 4, 1, 4, 2, 4, 3, 5])
    open(os.path.join(out, name), 'wb').write(g + b';')
gif('tiny.gif')

# Animated GIF 2x2: a looping application extension, then two frames each behind a graphic
# control extension (the first with a 10/100 s delay and colour 3 transparent). The first frame is
# RED GREEN / BLUE WHITE; the second paints the whole image GREEN, so reading past the first
# frame shows.
def anim_gif(name):
    g = gif_head() + b'\x21\xFF\x0B' + b'NETSCAPE2.0' + b'\x03\x01\x00\x00\x00'
    g += b'\x21\xF9\x04' + struct.pack('<BHB', 0x05, 10, 3) + b'\0'
    g += b',' + struct.pack('<HHHHB', 0, 0, 2, 2, 0) + gif_block([4, 0, 4, 1, 4, 2, 4, 3, 5])
    g += b'\x21\xF9\x04' + struct.pack('<BHB', 0x04, 10, 0) + b'\0'
    g += b',' + struct.pack('<HHHHB', 0, 0, 2, 2, 0) + gif_block([4, 1, 4, 1, 4, 1, 4, 1, 5])
    open(os.path.join(out, name), 'wb').write(g + b';')
anim_gif('anim.gif')
