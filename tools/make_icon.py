#!/usr/bin/env python3
"""Draws the program icon: a small grid of cells like the one the program shows (silver
header cells framed in black, white data cells framed in silver, one record framed in red),
as an icon file with 256, 128, 64, 48, 32 and 16 pixel images at 32 bits per pixel. The
256 pixel image is PNG-compressed, the others are bitmaps.

Usage: make_icon.py OUTPUT.ico
"""
import struct
import sys
import zlib

SIZES = (256, 128, 64, 48, 32, 16)
BLACK = (0, 0, 0, 255)
SILVER = (192, 192, 192, 255)
WHITE = (255, 255, 255, 255)
RED = (220, 0, 0, 255)
CLEAR = (0, 0, 0, 0)


def draw(size):
    """Returns rows of RGBA pixels, top row first."""
    pixels = [[CLEAR] * size for _ in range(size)]

    def fill(x1, y1, x2, y2, colour):
        for y in range(max(0, y1), min(size, y2)):
            for x in range(max(0, x1), min(size, x2)):
                pixels[y][x] = colour

    def box(x1, y1, x2, y2, outline, inside, pen):
        fill(x1, y1, x2, y2, outline)
        fill(x1 + pen, y1 + pen, x2 - pen, y2 - pen, inside)

    cells = 3
    gap = max(1, size // 32)
    pen = max(1, size // 40)
    margin = max(1, size // 16)
    cell = (size - 2 * margin - (cells - 1) * gap) // cells
    start = (size - (cells * cell + (cells - 1) * gap)) // 2
    for row in range(cells):
        for column in range(cells):
            x = start + column * (cell + gap)
            y = start + row * (cell + gap)
            if row == 0 or column == 0:
                box(x, y, x + cell, y + cell, BLACK, SILVER, pen)
            elif column == 2:
                box(x, y, x + cell, y + cell, RED, WHITE, pen)
            else:
                box(x, y, x + cell, y + cell, SILVER, WHITE, pen)
    return pixels


def png(size, pixels):
    raw = b"".join(b"\0" + bytes(c for p in row for c in p) for row in pixels)

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
            chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def bitmap(size, pixels):
    """A 32-bit icon bitmap: header of double height, BGRA rows bottom-up, then the AND mask."""
    header = struct.pack("<IiiHHIIiiII", 40, size, 2 * size, 1, 32, 0, 0, 0, 0, 0, 0)
    colour = b"".join(bytes((b, g, r, a)) for row in reversed(pixels) for (r, g, b, a) in row)
    mask_row = (size + 31) // 32 * 4
    mask = bytearray()
    for row in reversed(pixels):
        bits = bytearray(mask_row)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + colour + bytes(mask)


def icon():
    images = []
    for size in SIZES:
        pixels = draw(size)
        images.append((size, png(size, pixels) if size == 256 else bitmap(size, pixels)))
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in images:
        side = 0 if size == 256 else size  # 0 stands for 256
        out += struct.pack("<BBBBHHII", side, side, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    return out + b"".join(data for _, data in images)


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    with open(sys.argv[1], "wb") as f:
        f.write(icon())
