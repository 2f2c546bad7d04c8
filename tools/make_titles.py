#!/usr/bin/python3
"""Draws the title pictures of the splash window and the tile of the empty screen as BMP files:
data/ijtitul1.qor (Russian title), data/ijtitul2.qor (English title), data/bor6.qor (tile).

Everything is drawn here: a night sky of pseudo-random stars (a fixed linear congruential
generator, so the files are the same bytes on every run), a zodiac ring of twelve sectors and
the product name in a small block alphabet defined below. Run: /usr/bin/python3 tools/make_titles.py [output folder, default data/]
"""
import math
import os
import struct
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
DATA = sys.argv[1] if len(sys.argv) > 1 else os.path.join(ROOT, "data")

# 5 x 7 block letters, one string of 7 rows per letter ('#' set).
LETTERS = {
    "Q": [" ### ", "#   #", "#   #", "#   #", "# # #", "#  # ", " ## #"],
    "O": [" ### ", "#   #", "#   #", "#   #", "#   #", "#   #", " ### "],
    "R": ["#### ", "#   #", "#   #", "#### ", "# #  ", "#  # ", "#   #"],
    "5": ["#####", "#    ", "#### ", "    #", "    #", "#   #", " ### "],
    "1": ["  #  ", " ##  ", "  #  ", "  #  ", "  #  ", "  #  ", " ### "],
    "2": [" ### ", "#   #", "    #", "   # ", "  #  ", " #   ", "#####"],
    ".": ["     ", "     ", "     ", "     ", "     ", " ##  ", " ##  "],
    " ": ["     "] * 7,
    # Cyrillic letters of the Russian subtitle
    "А": [" ### ", "#   #", "#   #", "#####", "#   #", "#   #", "#   #"],
    "С": [" ### ", "#   #", "#    ", "#    ", "#    ", "#   #", " ### "],
    "Т": ["#####", "  #  ", "  #  ", "  #  ", "  #  ", "  #  ", "  #  "],
    "Р": ["#### ", "#   #", "#   #", "#### ", "#    ", "#    ", "#    "],
    "О": [" ### ", "#   #", "#   #", "#   #", "#   #", "#   #", " ### "],
    "Л": ["  ###", " #  #", " #  #", " #  #", " #  #", "#   #", "#   #"],
    "Г": ["#####", "#    ", "#    ", "#    ", "#    ", "#    ", "#    "],
    "И": ["#   #", "#   #", "#  ##", "# # #", "##  #", "#   #", "#   #"],
    "Я": [" ####", "#   #", "#   #", " ####", "  # #", " #  #", "#   #"],
    "S": [" ####", "#    ", "#    ", " ### ", "    #", "    #", "#### "],
    "T": ["#####", "  #  ", "  #  ", "  #  ", "  #  ", "  #  ", "  #  "],
    "L": ["#    ", "#    ", "#    ", "#    ", "#    ", "#    ", "#####"],
    "G": [" ### ", "#   #", "#    ", "# ###", "#   #", "#   #", " ### "],
    "A": [" ### ", "#   #", "#   #", "#####", "#   #", "#   #", "#   #"],
    "Y": ["#   #", "#   #", " # # ", "  #  ", "  #  ", "  #  ", "  #  "],
}


class Picture:
    def __init__(self, w, h, colour):
        self.w, self.h = w, h
        self.px = [list(colour) for _ in range(w * h)]

    def put(self, x, y, c, alpha=1.0):
        if 0 <= x < self.w and 0 <= y < self.h:
            p = self.px[y * self.w + x]
            for i in range(3):
                p[i] = int(round(p[i] * (1 - alpha) + c[i] * alpha))

    def rect(self, x, y, w, h, c):
        for yy in range(y, y + h):
            for xx in range(x, x + w):
                self.put(xx, yy, c)

    def text(self, x, y, s, scale, c):
        for ch in s:
            rows = LETTERS[ch]
            for r, row in enumerate(rows):
                for k, bit in enumerate(row):
                    if bit == "#":
                        self.rect(x + k * scale, y + r * scale, scale, scale, c)
            x += 6 * scale
        return x

    def bmp(self):
        """24-bit bottom-up BMP (BITMAPINFOHEADER), rows padded to 4 bytes."""
        stride = (self.w * 3 + 3) & ~3
        body = bytearray()
        for y in range(self.h - 1, -1, -1):
            row = bytearray()
            for x in range(self.w):
                r, g, b = self.px[y * self.w + x]
                row += bytes((b, g, r))
            row += b"\0" * (stride - len(row))
            body += row
        header = struct.pack("<2sIHHI", b"BM", 54 + len(body), 0, 0, 54)
        info = struct.pack("<IiiHHIIiiII", 40, self.w, self.h, 1, 24, 0, len(body), 2835, 2835, 0, 0)
        return header + info + bytes(body)


def lcg(seed):
    while True:
        seed = (seed * 1103515245 + 12345) & 0x7FFFFFFF
        yield seed


def width_of(s, scale):
    return len(s) * 6 * scale - scale


def title(subtitle):
    w, h = 480, 300
    p = Picture(w, h, (0, 0, 0))
    # deep blue sky, lighter towards the bottom
    for y in range(h):
        c = (8 + y * 20 // h, 10 + y * 24 // h, 40 + y * 60 // h)
        for x in range(w):
            p.px[y * w + x] = list(c)
    rnd = lcg(1951)
    for _ in range(420):
        x = next(rnd) % w
        y = next(rnd) % h
        b = 120 + next(rnd) % 136
        p.put(x, y, (b, b, min(255, b + 30)))
    # the zodiac ring: two circles and twelve spokes, centred on the right half
    cx, cy, r1, r2 = 352, 140, 112, 88
    for t in range(3600):
        a = t * math.pi / 1800
        for r in (r1, r2, r1 + 1, r2 - 1):
            p.put(int(round(cx + r * math.cos(a))), int(round(cy + r * math.sin(a))), (200, 170, 90), 0.8)
    for k in range(12):
        a = k * math.pi / 6
        for r in range(r2, r1):
            p.put(int(round(cx + r * math.cos(a))), int(round(cy + r * math.sin(a))), (200, 170, 90), 0.8)
        # a dot in the middle of each sector
        m = a + math.pi / 12
        rm = (r1 + r2) / 2
        p.rect(int(round(cx + rm * math.cos(m))) - 2, int(round(cy + rm * math.sin(m))) - 2, 5, 5, (240, 210, 120))
    # the product name and its version
    x = 40
    p.text(x + 3, 73, "QOR", 10, (20, 20, 60))
    p.text(x, 70, "QOR", 10, (250, 230, 160))
    p.text(x + 4, 160, "5.12", 4, (220, 220, 240))
    p.text((w - width_of(subtitle, 3)) // 2, 262, subtitle, 3, (200, 200, 230))
    return p


def tile():
    """A 32 x 32 tile: a dim grey-blue cloth with a small star in each corner cell."""
    n = 32
    p = Picture(n, n, (96, 104, 128))
    rnd = lcg(6)
    for y in range(n):
        for x in range(n):
            d = next(rnd) % 13
            p.px[y * n + x] = [96 + d, 104 + d, 128 + d]
    for x, y in ((8, 8), (24, 24)):
        for dx, dy in ((0, 0), (1, 0), (-1, 0), (0, 1), (0, -1)):
            p.put(x + dx, y + dy, (220, 220, 250))
    return p


def main():
    out = {
        "ijtitul1.qor": title("АСТРОЛОГИЯ"),
        "ijtitul2.qor": title("ASTROLOGY"),
        "bor6.qor": tile(),
    }
    os.makedirs(DATA, exist_ok=True)
    for name, pic in out.items():
        data = pic.bmp()
        with open(os.path.join(DATA, name), "wb") as f:
            f.write(data)
        print("%-13s %dx%d BMP, %d bytes" % (name, pic.w, pic.h, len(data)))


if __name__ == "__main__":
    main()
