#!/usr/bin/python3
"""Makes data/qor.ttf, the program's glyph font "QOR511" for the printed chart.

A symbol-encoded TrueType font (Windows symbol cmap only): the glyph for byte code c sits at
U+F000 + c. Outlines come from Debian fonts, fetched into the build's cache (tools/sources.py):
  fonts-symbola      Symbola_hint.ttf: planets, nodes, Lilith, Chiron, signs, aspects, elements,
                     crosses
  fonts-noto-core    NotoSansSymbols2-Regular.ttf: Proserpine (U+2BD8), White Moon (U+2BDD)
  fonts-dejavu-core  DejaVuSans.ttf: the ASCII characters, the degree sign and the letters that
                     make the minor quintile-family aspects
FontForge (python3-fontforge) copies and scales them; FontForge also writes a Macintosh cmap,
which this script removes afterwards (a program that finds it would draw boxes at the byte
codes).

    /usr/bin/python3 tools/make_qor_ttf.py [output]
"""
import os
import struct
import sys
from pathlib import Path

# A fixed build time in the font's tables, so that every run writes the same bytes.
os.environ["SOURCE_DATE_EPOCH"] = "1767225600"  # 2026-01-01
import fontforge  # noqa: E402

import sources as packages  # noqa: E402

OUT = Path(sys.argv[1] if len(sys.argv) > 1 else Path(__file__).resolve().parent.parent / "data" / "qor.ttf")
EM = 2048

# code -> list of (source, code point, dx in em units) pasted together, and what it is.
S, N, D = "symbola", "noto", "dejavu"
GLYPHS = {}
for code in range(32, 126):
    GLYPHS[code] = ([(D, code, 0)], "ASCII")
SIGNS = [126] + list(range(129, 140))
for k, code in enumerate(SIGNS):
    GLYPHS[code] = ([(S, 0x2648 + k, 0)], "sign %d" % (k + 1))
POINTS = {
    141: (S, 0x2609, "Sun"), 142: (S, 0x263D, "Moon"), 143: (S, 0x263F, "Mercury"),
    144: (S, 0x2640, "Venus"), 145: (S, 0x2642, "Mars"), 146: (S, 0x2643, "Jupiter"),
    147: (S, 0x2644, "Saturn"), 148: (S, 0x2645, "Uranus"), 149: (S, 0x2646, "Neptune"),
    150: (S, 0x2647, "Pluto"), 151: (S, 0x260A, "north node"), 152: (S, 0x260B, "south node"),
    153: (S, 0x26B8, "Lilith"), 154: (N, 0x2BDD, "White Moon"), 155: (N, 0x2BD8, "Proserpine"),
    156: (S, 0x26B7, "Chiron"),
}
for code, (src, cp, name) in POINTS.items():
    GLYPHS[code] = ([(src, cp, 0)], name)
ASPECTS = {
    171: ([(S, 0x260C, 0)], "conjunction"),
    172: ([(S, 0x26BA, 0)], "semisextile"),
    173: ([(S, 0x22A5, 0)], "semiquintile"),
    174: ([(D, ord("N"), 0)], "novile"),
    175: ([(S, 0x2220, 0)], "semisquare"),
    176: ([(S, 0x26B9, 0)], "sextile"),
    177: ([(D, ord("Q"), 0)], "quintile"),
    178: ([(S, 0x25A1, 0)], "square"),
    179: ([(D, 0xB1, 0)], "sesquiquintile"),
    180: ([(S, 0x25B3, 0)], "trine"),
    181: ([(S, 0x26BC, 0)], "sesquisquare"),
    182: ([("ref", ord("b"), 0), ("ref", ord("Q"), 1300)], "biquintile"),
    183: ([(S, 0x26BB, 0)], "quincunx"),
    184: ([(S, 0x260D, 0)], "opposition"),
}
GLYPHS.update(ASPECTS)
GLYPHS.update({
    243: ([(S, 0x1F702, 0)], "fire"),
    244: ([(S, 0x1F703, 0)], "earth"),
    245: ([(S, 0x1F701, 0)], "air"),
    246: ([(S, 0x1F704, 0)], "water"),
    247: ([(S, 0x271A, 0)], "cardinal cross"),
    248: ([(S, 0x229E, 0)], "fixed cross"),
    249: ([(S, 0x2715, 0)], "mutable cross"),
    253: ([(D, 0xB0, 0)], "degree sign"),
})

COPYRIGHT = (
    "QOR511, glyph font of the qor program, made by tools/make_qor_ttf.py. "
    "Outlines from Symbola (George Douros, free for any use), DejaVu Sans (Copyright (c) 2003 "
    "Bitstream, Inc.; Copyright (c) 2006 Tavmjong Bah; DejaVu changes public domain) and Noto Sans "
    "Symbols 2 (Copyright 2022 The Noto Project Authors, SIL Open Font License 1.1). "
    "This font is licensed under the SIL Open Font License, Version 1.1."
)


def open_font(package, path):
    return fontforge.open(packages.deb_file(package, "usr/share/fonts/truetype", path))


def build():
    sources = {S: open_font("fonts-symbola", "ancient-scripts/Symbola_hint.ttf"),
               N: open_font("fonts-noto-core", "noto/NotoSansSymbols2-Regular.ttf"),
               D: open_font("fonts-dejavu-core", "dejavu/DejaVuSans.ttf")}
    font = fontforge.font()
    font.em = EM
    font.ascent, font.descent = 1638, 410
    font.encoding = "Symbol"
    font.fontname = font.familyname = font.fullname = "QOR511"
    font.weight = "Regular"
    font.version = "5.12"
    font.copyright = COPYRIGHT
    font.appendSFNTName("English (US)", "Descriptor", "Made by tools/make_qor_ttf.py from Symbola, DejaVu Sans and Noto Sans Symbols 2")
    font.appendSFNTName("English (US)", "License", "SIL Open Font License, Version 1.1")
    font.appendSFNTName("English (US)", "License URL", "https://openfontlicense.org")
    for code, (parts, _name) in sorted(GLYPHS.items()):
        name = "qor%03d" % code
        # The glyph sits in the encoding's slot for the code, with no Unicode value of its
        # own: FontForge then writes it into the symbol cmap at U+F000 + code.
        glyph = font.createMappedChar(code)
        glyph.glyphname = name
        glyph.unicode = -1
        if parts[0][0] == "ref":
            # Made of glyphs of this font placed side by side (their codes come earlier).
            width = 0
            for _, part, dx in parts:
                glyph.addReference("qor%03d" % part, (1, 0, 0, 1, dx, 0))
                width = dx + font["qor%03d" % part].width
            glyph.unlinkRef()
        else:
            src, cp, _ = parts[0]
            source = sources[src]
            source.selection.select(("unicode",), cp)
            source.copy()
            font.selection.select(code)
            font.paste()
            glyph = font[name]
            glyph.unlinkRef()
            scale = EM / source.em
            if scale != 1:
                glyph.transform((scale, 0, 0, scale, 0, 0))
            width = int(round(source[cp].width * scale))
        glyph.width = width
        glyph.removeOverlap()
        glyph.correctDirection()
    font.os2_codepages = (-0x80000000, 0)  # bit 31: the symbol character set
    OUT.parent.mkdir(parents=True, exist_ok=True)
    font.generate(str(OUT), flags=("opentype", "no-FFTM-table", "omit-instructions"))


def checksum(data):
    data += b"\0" * (-len(data) % 4)
    return sum(struct.unpack(">%dI" % (len(data) // 4), data)) & 0xFFFFFFFF


def keep_windows_symbol_cmap(path):
    """Rewrites the font with a cmap that holds only the (3, 0) subtable."""
    data = path.read_bytes()
    sfnt_version, num_tables = struct.unpack(">IH", data[:6])
    tables = {}
    for i in range(num_tables):
        tag, _, off, length = struct.unpack(">4sIII", data[12 + 16 * i:28 + 16 * i])
        tables[tag] = bytearray(data[off:off + length])
    cmap = tables[b"cmap"]
    _, count = struct.unpack(">HH", cmap[:4])
    records = [struct.unpack(">HHI", cmap[4 + 8 * j:12 + 8 * j]) for j in range(count)]
    symbol = [r for r in records if r[0] == 3 and r[1] == 0]
    assert len(symbol) == 1, records
    off = symbol[0][2]
    fmt, length = struct.unpack(">HH", cmap[off:off + 4])
    assert fmt == 4
    tables[b"cmap"] = bytearray(struct.pack(">HHHHI", 0, 1, 3, 0, 12) + cmap[off:off + length])
    tables[b"head"][8:12] = b"\0\0\0\0"
    tags = sorted(tables)
    n = len(tags)
    entry_selector = n.bit_length() - 1
    search_range = 16 << entry_selector
    header = struct.pack(">IHHHH", sfnt_version, n, search_range, entry_selector, n * 16 - search_range)
    offset = 12 + 16 * n
    directory, body = b"", b""
    for tag in tags:
        t = bytes(tables[tag])
        directory += struct.pack(">4sIII", tag, checksum(t), offset + len(body), len(t))
        body += t + b"\0" * (-len(t) % 4)
    font = bytearray(header + directory + body)
    adjust = (0xB1B0AFBA - checksum(bytes(font))) & 0xFFFFFFFF
    head_off = offset + sum(len(tables[t]) + (-len(tables[t]) % 4) for t in tags[:tags.index(b"head")])
    font[head_off + 8:head_off + 12] = struct.pack(">I", adjust)
    path.write_bytes(bytes(font))
    return [(r[0], r[1]) for r in records]


def main():
    build()
    dropped = keep_windows_symbol_cmap(OUT)
    print("make_qor_ttf: wrote %s (%d bytes), cmap subtables %s reduced to (3, 0)" % (OUT, OUT.stat().st_size, dropped))
    for code, (parts, name) in sorted(GLYPHS.items()):
        if code >= 126:
            print("  %3d %-15s %s" % (code, name, " + ".join(("%s U+%04X" % (s, cp)) if s != "ref" else ("code %d" % cp) for s, cp, _ in parts)))
    print("  32..125 ASCII from DejaVu Sans")


if __name__ == "__main__":
    main()
