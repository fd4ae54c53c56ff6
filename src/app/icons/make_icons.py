#!/usr/bin/env python3
"""make_icons.py: draws Dorvik's five 16-colour icons from the pixel art below.

Run it from anywhere; it rewrites the .ico files next to itself:
    python3 src/app/icons/make_icons.py
Each picture is rows of characters, one per pixel, in the standard 16-colour
palette ('.' is transparent). A 32x32 image that has no art of its own is its
16x16 art doubled.
"""
import os
import struct

# The standard VGA palette, as Windows' 16-colour icons use it.
PALETTE = [
    (0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
    (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0xC0, 0xC0, 0xC0),
    (0x80, 0x80, 0x80), (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
    (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF),
]
# black, dark red, dark green, olive, navy, purple, teal, silver,
# grey, red, green, yellow, blue, magenta, cyan, white
COLOUR_KEYS = "KrgonptsdRGYBMCW"

# Status marks are drawn bold: a bordered 11-unit frame shows them at about
# 12 by 12 pixels, and thin strokes would break up there.
CHECK_MARK = """
................
..............g.
.............gGg
............gGGg
...........gGGGg
..........gGGGg.
.g.......gGGGg..
gGg.....gGGGg...
gGGg...gGGGg....
gGGGg.gGGGg.....
.gGGGgGGGg......
..gGGGGGg.......
...gGGGg........
....gGg.........
.....g..........
................
"""

X_MARK = """
................
.rrr........rrr.
rRRRr......rRRRr
rRRRRr....rRRRRr
.rRRRRr..rRRRRr.
..rRRRRrrRRRRr..
...rRRRRRRRRr...
....rRRRRRRr....
....rRRRRRRr....
...rRRRRRRRRr...
..rRRRRrrRRRRr..
.rRRRRr..rRRRRr.
rRRRRr....rRRRRr
rRRRr......rRRRr
.rrr........rrr.
................
"""

QUESTION_MARK = """
....nnnnnnn.....
...nBBBBBBBn....
..nBBBBBBBBBn...
..nBBBnnnnBBBn..
..nBBn....nBBBn.
...nn.....nBBBn.
........nBBBBn..
.......nBBBBn...
......nBBBBn....
......nBBBn.....
......nBBBn.....
.......nnn......
......nBBBn.....
......nBBBn.....
......nBBBn.....
.......nnn......
"""

# A protection key on its port plug, with its status light.
MAIN = """
................
................
................
KKKK............
KsWKKKKKKKKKKKK.
KsWKnnnnnnnnnnnK
KsdKnBBBBBBBBBnK
KsdKnBBBBBBBGGnK
KsWKnBBBBBBBGGnK
KsdKnBBBBBBBBBnK
KsWKnnnnnnnnnnnK
KsdKKKKKKKKKKKK.
KKKK............
................
................
................
"""

# The maker's logo: a white K on a blue tile.
LOGO = """
.nnnnnnnnnnnnnn.
nBBBBBBBBBBBBBBn
nBWWBBBBBBWWBBBn
nBWWBBBBBWWBBBBn
nBWWBBBBWWBBBBBn
nBWWBBBWWBBBBBBn
nBWWBBWWBBBBBBBn
nBWWBWWBBBBBBBBn
nBWWWWWBBBBBBBBn
nBWWBBWWBBBBBBBn
nBWWBBBWWBBBBBBn
nBWWBBBBWWBBBBBn
nBWWBBBBBWWBBBBn
nBWWBBBBBBWWBBBn
nBBBBBBBBBBBBBBn
.nnnnnnnnnnnnnn.
"""

ICONS = {
    "check_mark.ico": [CHECK_MARK],
    "x_mark.ico": [X_MARK],
    "question_mark.ico": [QUESTION_MARK],
    "main.ico": [MAIN, "x2"],
    "logo.ico": [LOGO, "x2"],
}


def parse(art):
    rows = [row for row in art.strip("\n").split("\n")]
    size = len(rows)
    for row in rows:
        if len(row) != size:
            raise ValueError("art must be square: %r" % row)
    return rows


def doubled(rows):
    out = []
    for row in rows:
        wide = "".join(c + c for c in row)
        out += [wide, wide]
    return out


def image_bytes(rows):
    """One icon image: BITMAPINFOHEADER, palette, 4-bit colour rows, AND mask."""
    size = len(rows)
    colour_stride = ((size * 4 + 31) // 32) * 4
    mask_stride = ((size + 31) // 32) * 4
    colour = bytearray()
    mask = bytearray()
    for row in reversed(rows):  # bitmaps are stored bottom-up
        line = bytearray(colour_stride)
        bits = bytearray(mask_stride)
        for x, key in enumerate(row):
            if key == ".":
                bits[x // 8] |= 0x80 >> (x % 8)
                index = 0
            else:
                index = COLOUR_KEYS.index(key)
            line[x // 2] |= index << (4 if x % 2 == 0 else 0)
        colour += line
        mask += bits
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 4, 0,
                         len(colour) + len(mask), 0, 0, 16, 0)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in PALETTE)
    return header + palette + bytes(colour) + bytes(mask)


def icon_file(images):
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    body = b""
    for rows in images:
        data = image_bytes(rows)
        size = len(rows)
        directory += struct.pack("<BBBBHHII", size % 256, size % 256, 16, 0, 1, 4,
                                 len(data), offset + len(body))
        body += data
    return directory + body


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    for name, art in ICONS.items():
        base = parse(art[0])
        images = [base] + [doubled(base) for extra in art[1:] if extra == "x2"]
        with open(os.path.join(here, name), "wb") as f:
            f.write(icon_file(images))


if __name__ == "__main__":
    main()
