#!/usr/bin/env python3
"""Writes the program's pictures (button glyphs and icon) from the pixel art
below into src/app/res. The pictures are committed; run this after changing
the art. 16-colour Windows palette; '.' is the transparent olive corner."""
import struct
from pathlib import Path

PALETTE = [  # index: (r, g, b)
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
    (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
    (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]
CODES = {'.': 3, 'k': 0, 'r': 1, 'g': 2, 'n': 4, 'p': 5, 't': 6, 's': 7, 'd': 8, 'R': 9,
         'G': 10, 'y': 11, 'b': 12, 'm': 13, 'c': 14, 'w': 15}

ERASER = """
................
................
..........kkk...
.........kRRRk..
........kRRRRRk.
.......kRRRRRRk.
......kwRRRRRk..
.....kwwwRRRk...
....kwwwwwRk....
...kwwwwwwk.....
..kwwwwwwk......
..kswwwwk.......
...kswwk........
....kkk..dddddd.
................
................
"""

CLIPBOARD = """
......kkkk......
..rrrkssssk rrr.
.rrrrkkkkkkrrrr.
.rrwwwwwwwwwwrr.
.rrwkkkkkkkwwrr.
.rrwwwwwwwwwwrr.
.rrwkkkkkwwwwrr.
.rrwwwwwwwwwwrr.
.rrwkkkkkkkkwrr.
.rrwwwwwwwwwwrr.
.rrwkkkkkkwwwrr.
.rrwwwwwwwwwwrr.
.rrwwwwwwwwwwrr.
.rrrrrrrrrrrrrr.
..rrrrrrrrrrrr..
................
"""


CLOSE = """
................
................
...RR......RR...
...RRR....RRR...
....RRR..RRR....
.....RRRRRR.....
......RRRR......
......RRRR......
.....RRRRRR.....
....RRR..RRR....
...RRR....RRR...
...RR......RR...
................
................
................
................
"""

REFRESH = """
................
......gggg......
....gg....gg.g..
...g........gg..
..g........ggg..
..g.............
.g..............
.g..............
.g.............g
.g.............g
..............g.
..ggg........g..
..gg........g...
..g.gg....gg....
......gggg......
................
"""


def grid(art):
    rows = [line.replace(' ', '.') for line in art.strip('\n').split('\n')]
    return [[CODES[ch] for ch in row.ljust(16, '.')[:16]] for row in rows]


def disabled(pixels):
    """Greyed picture: a white copy offset by one pixel under a grey shape."""
    h, w = len(pixels), len(pixels[0])
    out = [[3] * w for _ in range(h)]
    for y in range(h):
        for x in range(w):
            if pixels[y][x] != 3 and y + 1 < h and x + 1 < w:
                out[y + 1][x + 1] = 15
    for y in range(h):
        for x in range(w):
            if pixels[y][x] != 3:
                out[y][x] = 8
    return out


def dib_4bpp(pixels, mask=None):
    """BITMAPINFOHEADER + palette + bottom-up 4-bit rows (+ AND mask for icons)."""
    h, w = len(pixels), len(pixels[0])
    stride = ((w * 4 + 31) // 32) * 4
    rows = b''
    for row in reversed(pixels):
        packed = bytes((row[x] << 4) | row[x + 1] for x in range(0, w, 2))
        rows += packed.ljust(stride, b'\0')
    palette = b''.join(struct.pack('<BBBB', b, g, r, 0) for r, g, b in PALETTE)
    and_rows = b''
    if mask is not None:
        mstride = ((w + 31) // 32) * 4
        for row in reversed(mask):
            bits = 0
            for x, transparent in enumerate(row):
                bits |= transparent << (8 * mstride - 1 - x)
            and_rows += bits.to_bytes(mstride, 'big')
    height = h * 2 if mask is not None else h
    header = struct.pack('<IiiHHIIiiII', 40, w, height, 1, 4, 0, len(rows) + len(and_rows), 0, 0, 16, 0)
    return header + palette + rows + and_rows


def bmp(path, pixels):
    dib = dib_4bpp(pixels)
    offset = 14 + 40 + 64
    path.write_bytes(struct.pack('<2sIHHI', b'BM', 14 + len(dib), 0, 0, offset) + dib)


def ico(path, images):
    entries, blobs = b'', b''
    offset = 6 + 16 * len(images)
    for pixels in images:
        mask = [[1 if p == 3 else 0 for p in row] for row in pixels]
        solid = [[0 if p == 3 else p for p in row] for row in pixels]
        blob = dib_4bpp(solid, mask)
        n = len(pixels)
        entries += struct.pack('<BBBBHHII', n, n, 16, 0, 1, 4, len(blob), offset)
        blobs += blob
        offset += len(blob)
    path.write_bytes(struct.pack('<HHH', 0, 1, len(images)) + entries + blobs)


def pair(art):
    picture = grid(art)
    return [a + b for a, b in zip(picture, disabled(picture))]


def doubled(pixels):
    return [[p for p in row for _ in (0, 1)] for row in pixels for _ in (0, 1)]


res = Path(__file__).resolve().parent.parent / 'src' / 'app' / 'res'
bmp(res / 'erase.bmp', pair(ERASER))
bmp(res / 'clipboard.bmp', pair(CLIPBOARD))
bmp(res / 'close.bmp', pair(CLOSE))
bmp(res / 'refresh.bmp', pair(REFRESH))
ico(res / 'norvanel.ico', [doubled(grid(CLIPBOARD)), grid(CLIPBOARD)])
