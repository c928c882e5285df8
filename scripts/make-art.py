#!/usr/bin/env python3
"""Writes the program's pictures into the source tree: the button glyphs and
the icon (src/resources) from the pixel art below, and the About dialog's
animated logo (a GIF89a written by our own LZW encoder) and banner (a
placeable Windows metafile) into src/about/res, each also as a C++ byte list
for the dialog's layout. The pictures are committed, so the build needs no
Python; run this after changing the art."""
import math
import struct
from pathlib import Path

# ---------------------------------------------------------------------------
# Button glyphs and icon: 16-colour Windows palette; '.' is the transparent
# olive corner.

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

OK = """
................
................
..............g.
.............gGg
............gGGg
...........gGGg.
..g.......gGGg..
.gGg.....gGGg...
gGGGg...gGGg....
.gGGGg.gGGg.....
..gGGGgGGg......
...gGGGGg.......
....gGGg........
.....gg.........
................
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




# ---------------------------------------------------------------------------
# The animated logo: a clipboard whose sheet an eraser wipes line by line,
# then a tick on the clean sheet. 135 x 125, 16 colours, index 11 shows the
# dialog behind it.

LOGO_W, LOGO_H = 135, 125
CLEAR = 11  # transparent index
LOGO_PALETTE = [
    (0, 0, 0),        # 0 outline
    (92, 52, 20),     # 1 board shadow
    (166, 104, 46),   # 2 board
    (212, 156, 92),   # 3 board highlight
    (255, 255, 255),  # 4 sheet
    (200, 208, 224),  # 5 sheet shade
    (160, 164, 176),  # 6 clip
    (88, 92, 104),    # 7 clip shadow
    (36, 64, 150),    # 8 ink
    (222, 52, 64),    # 9 rubber
    (250, 160, 170),  # 10 rubber highlight and crumbs
    (192, 192, 192),  # 11 transparent: the dialog's grey for viewers without it
    (46, 110, 214),   # 12 sleeve
    (40, 150, 60),    # 13 tick
    (255, 214, 40),   # 14 sparkle
    (230, 234, 242),  # 15 sleeve label
]
TEXT_LINES = [(40, 58), (52, 50), (64, 62), (76, 44), (88, 56), (100, 34)]  # (top, length)
TEXT_LEFT = 37
ERASER_ANGLE = math.radians(125)  # the rubber end points down and to the left
ERASER_LENGTH, ERASER_WIDTH = 40, 18
REST = (104, 36)  # where the rubber end lies between sweeps


class Canvas:
    def __init__(self, w, h, fill):
        self.w, self.h = w, h
        self.px = [[fill] * w for _ in range(h)]

    def shape(self, inside, colour, box=None):
        """Every pixel whose centre satisfies inside(x, y)."""
        x0, y0, x1, y1 = box or (0, 0, self.w, self.h)
        for y in range(max(0, y0), min(self.h, y1)):
            for x in range(max(0, x0), min(self.w, x1)):
                if inside(x + 0.5, y + 0.5):
                    self.px[y][x] = colour

    def rect(self, x0, y0, x1, y1, colour):
        for y in range(max(0, y0), min(self.h, y1)):
            for x in range(max(0, x0), min(self.w, x1)):
                self.px[y][x] = colour

    def round_rect(self, x0, y0, x1, y1, r, colour):
        def inside(x, y):
            cx = min(max(x, x0 + r), x1 - r)
            cy = min(max(y, y0 + r), y1 - r)
            return (x - cx) ** 2 + (y - cy) ** 2 <= r * r
        self.shape(inside, colour, (x0, y0, x1, y1))

    def disc(self, cx, cy, r, colour):
        self.shape(lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r, colour,
                   (int(cx - r) - 1, int(cy - r) - 1, int(cx + r) + 2, int(cy + r) + 2))

    def stroke(self, points, half_width, colour):
        """A thick polyline with round joints."""
        def near(x, y):
            for (ax, ay), (bx, by) in zip(points, points[1:]):
                dx, dy = bx - ax, by - ay
                t = max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy)))
                if (x - ax - t * dx) ** 2 + (y - ay - t * dy) ** 2 <= half_width ** 2:
                    return True
            return False
        self.shape(near, colour)


def draw_clipboard(c):
    c.round_rect(20, 12, 116, 123, 7, 0)
    c.round_rect(21, 13, 115, 122, 6, 1)
    c.round_rect(21, 13, 113, 120, 6, 2)
    c.rect(24, 18, 26, 115, 3)
    c.rect(31, 26, 107, 115, 5)
    c.rect(30, 25, 105, 113, 4)
    # The clip: a ring on top of a rounded plate.
    c.disc(68, 10, 8.5, 0)
    c.disc(68, 10, 7, 6)
    c.disc(68, 10, 3.5, CLEAR)
    c.round_rect(46, 14, 91, 32, 5, 0)
    c.round_rect(47, 15, 90, 31, 4, 6)
    c.rect(49, 26, 88, 30, 7)


def draw_text(c, erased_lines, partial=None):
    """Lines before `erased_lines` are wiped; `partial` is (line, x0, x1),
    the stretch of the line in progress wiped so far."""
    for i, (top, length) in enumerate(TEXT_LINES):
        if i < erased_lines:
            continue
        c.rect(TEXT_LEFT, top, TEXT_LEFT + length, top + 3, 8)
        if partial and partial[0] == i:
            c.rect(partial[1], top, partial[2], top + 3, 4)


def draw_eraser(c, tip):
    """The eraser held at ERASER_ANGLE with its rubber end at `tip`."""
    ux, uy = math.cos(ERASER_ANGLE), math.sin(ERASER_ANGLE)
    half_l, half_w = ERASER_LENGTH / 2, ERASER_WIDTH / 2
    cx, cy = tip[0] - ux * half_l, tip[1] - uy * half_l

    def local(x, y):
        dx, dy = x - cx, y - cy
        return dx * ux + dy * uy, -dx * uy + dy * ux  # along, across

    def part(x, y):
        u, v = local(x, y)
        if abs(u) > half_l or abs(v) > half_w:
            return None
        if half_l - abs(u) < 1.4 or half_w - abs(v) < 1.4:
            return 0
        if u < 3:  # the paper sleeve, with a label stripe
            return 15 if abs(v) < 2.5 and u < -5 else 12
        return 10 if v < -half_w + 5 else 9

    for y in range(LOGO_H):
        for x in range(LOGO_W):
            colour = part(x + 0.5, y + 0.5)
            if colour is not None:
                c.px[y][x] = colour


def draw_sparkle(c, x, y, size):
    c.shape(lambda px, py: abs(px - x) * abs(py - y) <= size * 0.6 and
            abs(px - x) + abs(py - y) <= size, 14,
            (x - size - 1, y - size - 1, x + size + 2, y + size + 2))


def logo_frames():
    frames = []
    # Frame 1: a full sheet, the eraser at rest.
    c = Canvas(LOGO_W, LOGO_H, CLEAR)
    draw_clipboard(c)
    draw_text(c, 0)
    draw_eraser(c, REST)
    frames.append(c)
    # Frames 2 to 7: one line wiped per frame, sweeping right, then left.
    for line, (top, length) in enumerate(TEXT_LINES):
        c = Canvas(LOGO_W, LOGO_H, CLEAR)
        draw_clipboard(c)
        reach = int(length * 0.7)
        if line % 2 == 0:
            tip_x, wiped = TEXT_LEFT + reach, (TEXT_LEFT, TEXT_LEFT + reach)
            crumbs = [(tip_x - 8, top + 5), (tip_x - 14, top + 6), (tip_x - 21, top + 4)]
        else:
            tip_x = TEXT_LEFT + length - reach
            wiped = (tip_x, TEXT_LEFT + length)
            crumbs = [(tip_x + 8, top + 5), (tip_x + 14, top + 6), (tip_x + 21, top + 4)]
        draw_text(c, line, (line,) + wiped)
        for x, y in crumbs:
            c.rect(x, y, x + 2, y + 2, 10)
        draw_eraser(c, (tip_x, top + 2))
        frames.append(c)
    # Frame 8: the clean sheet ticked, the eraser back at rest.
    c = Canvas(LOGO_W, LOGO_H, CLEAR)
    draw_clipboard(c)
    c.stroke([(45, 70), (60, 88), (94, 44)], 6.5, 0)
    c.stroke([(45, 70), (60, 88), (94, 44)], 5, 13)
    for x, y, size in [(40, 42, 5), (98, 98, 6), (78, 104, 4)]:
        draw_sparkle(c, x, y, size)
    draw_eraser(c, REST)
    frames.append(c)
    return [sum(f.px, []) for f in frames]


def lzw_encode(indices, min_code_size):
    """GIF's variable-width LZW: a clear code first, codes growing from
    min_code_size + 1 to 12 bits, a clear code whenever the table fills,
    the end code last; bits packed least significant first."""
    clear, end = 1 << min_code_size, (1 << min_code_size) + 1
    out, acc, nbits = bytearray(), 0, 0
    width, next_code, table = min_code_size + 1, end + 1, {}

    def emit(code):
        nonlocal acc, nbits, width
        acc |= code << nbits
        nbits += width
        while nbits >= 8:
            out.append(acc & 0xFF)
            acc >>= 8
            nbits -= 8
        # The decoder widens its codes once its table reaches the limit.
        if next_code >= (1 << width) and width < 12:
            width += 1

    emit(clear)
    prefix = indices[0]
    for value in indices[1:]:
        key = (prefix, value)
        if key in table:
            prefix = table[key]
            continue
        emit(prefix)
        if next_code >= 4095:
            emit(clear)
            width, next_code, table = min_code_size + 1, end + 1, {}
        else:
            table[key] = next_code
            next_code += 1
        prefix = value
    emit(prefix)
    emit(end)
    if nbits:
        out.append(acc & 0xFF)
    return bytes(out)


def sub_blocks(data):
    return b''.join(bytes([len(data[i:i + 255])]) + data[i:i + 255]
                    for i in range(0, len(data), 255)) + b'\0'


def comment_of_size(text, size):
    """A comment extension of exactly `size` bytes: `text`, then blanks,
    in as few sub-blocks as will hold it."""
    body = size - 3  # introducer, label and terminator
    blocks = -(-body // 256)
    data = text.ljust(body - blocks).encode('ascii')
    cuts = [len(data) * i // blocks for i in range(blocks + 1)]
    return (b'\x21\xfe' + b''.join(bytes([b - a]) + data[a:b] for a, b in zip(cuts, cuts[1:])) +
            b'\0')


def gif(frames, title, credits, size):
    """The animation as a GIF89a stream of exactly `size` bytes: the credits
    comment takes up what the pictures leave."""
    head = b'GIF89a' + struct.pack('<HHBBB', LOGO_W, LOGO_H, 0x80 | 0x30 | 3, 0, 0)
    head += b''.join(bytes(rgb) for rgb in LOGO_PALETTE)
    head += b'\x21\xff\x0bNETSCAPE2.0\x03\x01' + struct.pack('<H', 999) + b'\0'
    head += b'\x21\xfe' + sub_blocks(title.encode('ascii'))
    images = b''
    for pixels in frames:
        disposal_2_transparent = (2 << 2) | 1
        images += b'\x21\xf9\x04' + struct.pack('<BHBB', disposal_2_transparent, 10, CLEAR, 0)
        images += b'\x2c' + struct.pack('<HHHHB', 0, 0, LOGO_W, LOGO_H, 0)
        images += b'\x04' + sub_blocks(lzw_encode(pixels, 4))
    images += b'\x3b'
    room = size - len(head) - len(images)
    if room < len(credits) + 5:
        raise SystemExit('the logo no longer fits in %d bytes' % size)
    return head + comment_of_size(credits, room) + images


# ---------------------------------------------------------------------------
# The banner: a placeable Windows metafile of 2300 x 225 units at 300 units
# per inch, shown stretched into 600 x 70 pixels.

BANNER_W, BANNER_H = 2300, 225


def rgb(r, g, b):
    return r | g << 8 | b << 16  # COLORREF


class Metafile:
    """Records of a standard Windows metafile. Objects take the lowest free
    slot of the object table, as the player assigns them; each is deleted
    once another of its kind has taken its place in the device context, and
    the last ones after the context is restored, so none is deleted while
    selected."""

    def __init__(self):
        self.records, self.slots, self.in_use = [], [], {}
        self.record(0x001E)  # SaveDC

    def record(self, function, payload=b''):
        if len(payload) % 2:
            payload += b'\0'
        self.records.append(struct.pack('<IH', 3 + len(payload) // 2, function) + payload)

    def create(self, kind, function, payload):
        self.record(function, payload)
        slot = self.slots.index(False) if False in self.slots else len(self.slots)
        if slot == len(self.slots):
            self.slots.append(True)
        self.slots[slot] = True
        self.record(0x012D, struct.pack('<H', slot))  # SelectObject
        if kind in self.in_use:
            self.delete(self.in_use[kind])
        self.in_use[kind] = slot

    def delete(self, slot):
        self.record(0x01F0, struct.pack('<H', slot))
        self.slots[slot] = False

    def brush(self, colour):
        self.create('brush', 0x02FC, struct.pack('<HIH', 0, colour, 0))  # BS_SOLID

    def pen(self, colour, width=0, style=0):  # PS_SOLID; 5 is PS_NULL
        self.create('pen', 0x02FA, struct.pack('<HhhI', style, width, 0, colour))

    def font(self, face, height, weight=400, italic=False):
        self.create('font', 0x02FB,
                    struct.pack('<hhhhhBBBBBBBB', -height, 0, 0, 0, weight, italic, 0, 0,
                                0, 0, 0, 2, 0x12) +  # ANSI, proof quality, variable-pitch roman
                    face.encode('ascii') + b'\0')

    def text_colour(self, colour):
        self.record(0x0209, struct.pack('<I', colour))

    def text_align(self, align):  # TA_TOP with TA_LEFT 0 or TA_RIGHT 2
        self.record(0x012E, struct.pack('<H', align))

    def rectangle(self, left, top, right, bottom):
        self.record(0x041B, struct.pack('<hhhh', bottom, right, top, left))

    def round_rect(self, left, top, right, bottom, corner):
        self.record(0x061C, struct.pack('<hhhhhh', corner, corner, bottom, right, top, left))

    def polygon(self, points):
        self.record(0x0324, struct.pack('<h', len(points)) +
                    b''.join(struct.pack('<hh', x, y) for x, y in points))

    def text(self, x, y, text):
        data = text.encode('ascii')
        if len(data) % 2:
            data += b'\0'
        self.record(0x0521, struct.pack('<h', len(text)) + data + struct.pack('<hh', y, x))

    def placeable_bytes(self, bounds, inch):
        self.record(0x0127, struct.pack('<h', -1))  # RestoreDC
        for slot in self.in_use.values():
            self.delete(slot)
        self.record(0x0000)  # end of file
        body = b''.join(self.records)
        header = struct.pack('<HHHIHIH', 1, 9, 0x0300, 9 + len(body) // 2, len(self.slots),
                             max(len(r) for r in self.records) // 2, 0)
        placeable = struct.pack('<IHhhhhHI', 0x9AC6CDD7, 0, *bounds, inch, 0)
        checksum = 0
        for (word,) in struct.iter_unpack('<H', placeable):
            checksum ^= word
        return placeable + struct.pack('<H', checksum) + header + body


NAVY, TOP_BAND, BOTTOM_BAND = rgb(18, 34, 96), rgb(10, 20, 64), rgb(34, 70, 160)
GOLD, WHITE, PALE = rgb(236, 188, 40), rgb(255, 255, 255), rgb(190, 210, 255)
BOARD, BOARD_EDGE, CLIP = rgb(166, 104, 46), rgb(70, 36, 12), rgb(160, 164, 176)
NO_PEN = 5


def banner():
    m = Metafile()
    m.record(0x020B, struct.pack('<hh', 0, 0))  # window origin (y, x)
    m.record(0x020C, struct.pack('<hh', BANNER_H, BANNER_W))  # window extent
    m.record(0x0102, struct.pack('<H', 1))  # transparent text background

    # Bands of blue with a gold rule. They reach past the edges: a rectangle
    # without a pen leaves out its last pixel column and row, wherever the
    # picture is scaled to.
    over = 12
    m.pen(0, style=NO_PEN)
    m.brush(NAVY)
    m.rectangle(-over, -over, BANNER_W + over, BANNER_H + over)
    m.brush(TOP_BAND)
    m.rectangle(-over, -over, BANNER_W + over, 18)
    m.brush(GOLD)
    m.rectangle(-over, 176, BANNER_W + over, 187)
    m.brush(BOTTOM_BAND)
    m.rectangle(-over, 186, BANNER_W + over, BANNER_H + over)

    # The emblem: a clipboard with a written sheet.
    m.pen(BOARD_EDGE, 6)
    m.brush(BOARD)
    m.round_rect(60, 30, 220, 210, 30)
    m.brush(WHITE)
    m.rectangle(84, 58, 196, 192)
    m.brush(CLIP)
    m.round_rect(104, 22, 176, 68, 20)
    m.pen(0, style=NO_PEN)
    m.brush(NAVY)
    for y, width in [(80, 80), (104, 64), (128, 84), (152, 52)]:
        m.rectangle(100, y, 100 + width, y + 10)

    # A row of gold diamonds between the maker and the product.
    m.brush(GOLD)
    for x in (1330, 1390, 1450):
        m.polygon([(x, 96), (x + 22, 74), (x + 44, 96), (x + 22, 118)])

    m.font('Times New Roman', 112, 700, italic=True)
    m.text_colour(WHITE)
    m.text_align(0)
    m.text(270, 24, 'Varnok Software')
    m.text_colour(GOLD)
    m.text_align(2)
    m.text(2250, 24, 'Norvane')

    m.font('Times New Roman', 48)
    m.text_colour(PALE)
    m.text(2250, 124, 'the clipboard utility')
    m.text_align(0)
    m.text(276, 124, 'Small utilities that do one job well')
    return m.placeable_bytes((0, 0, BANNER_W, BANNER_H), 300)


def byte_list(path, data, note):
    """The bytes as a C++ initialiser list, 16 a line."""
    lines = ['// ' + note + ' Written by scripts/make-art.py.']
    for i in range(0, len(data), 16):
        lines.append(' '.join('0x%02x,' % b for b in data[i:i + 16]))
    path.write_text('\n'.join(lines) + '\n')


root = Path(__file__).resolve().parent.parent
res = root / 'src' / 'resources'
bmp(res / 'erase.bmp', pair(ERASER))
bmp(res / 'clipboard.bmp', pair(CLIPBOARD))
bmp(res / 'close.bmp', pair(CLOSE))
bmp(res / 'refresh.bmp', pair(REFRESH))
bmp(res / 'ok.bmp', pair(OK))
ico(res / 'norvanel.ico', [doubled(grid(CLIPBOARD)), grid(CLIPBOARD)])

about = root / 'src' / 'about' / 'res'
about.mkdir(parents=True, exist_ok=True)
# The dialog's "Data" property is 13800 bytes: its length and 13796 of GIF.
logo = gif(logo_frames(), 'Norvane - the clipboard utility', 'Varnok Software', 13796)
(about / 'logo.gif').write_bytes(logo)
byte_list(about / 'logo_data.inc', struct.pack('<i', len(logo)) + logo,
          'The logo as the "Data" property: its length, then logo.gif.')
wmf = banner()
(about / 'banner.wmf').write_bytes(wmf)
byte_list(about / 'banner_data.inc', wmf, 'banner.wmf: the placeable header, then the metafile.')
