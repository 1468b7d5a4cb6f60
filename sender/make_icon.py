#!/usr/bin/env python3
"""Draws the sender's icon: a printer taking a sheet, with an arrow pointing
into it. Writes a single 32x32, 16-colour .ico: make_icon.py OUT.ico"""
import struct
import sys

# The 16 standard Windows colours, as (red, green, blue).
PALETTE = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
           (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
           (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]
BLACK, DARK_GREY, LIGHT_GREY, WHITE, RED, BLUE = 0, 8, 7, 15, 9, 12
SIZE = 32


def draw():
    pixels = [[None] * SIZE for _ in range(SIZE)]  # None: transparent

    def fill(x0, y0, x1, y1, colour):
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                pixels[y][x] = colour

    def frame(x0, y0, x1, y1, colour):
        for x in range(x0, x1 + 1):
            pixels[y0][x] = pixels[y1][x] = colour
        for y in range(y0, y1 + 1):
            pixels[y][x0] = pixels[y][x1] = colour

    fill(9, 2, 22, 14, WHITE)               # the sheet going in
    frame(9, 2, 22, 14, DARK_GREY)
    for y in (5, 8, 11):                    # rows of glyphs on it
        for x in range(11, 21, 2):
            pixels[y][x] = BLACK
    fill(3, 13, 28, 26, LIGHT_GREY)         # printer body
    frame(3, 13, 28, 26, BLACK)
    fill(6, 16, 25, 17, DARK_GREY)          # paper slot
    fill(22, 21, 25, 22, RED)               # power lamp
    fill(6, 27, 25, 29, DARK_GREY)          # base
    fill(14, 18, 17, 21, BLUE)              # arrow into the printer
    for row, half in enumerate(range(4, 0, -1)):
        fill(16 - half, 22 + row, 15 + half, 22 + row, BLUE)
    return pixels


def write_icon(path, pixels):
    xor_rows, and_rows = [], []
    for y in reversed(range(SIZE)):         # bottom-up rows
        row = pixels[y]
        nibbles = [(c if c is not None else 0) for c in row]
        xor_rows.append(bytes((nibbles[x] << 4) | nibbles[x + 1] for x in range(0, SIZE, 2)))
        bits = 0
        for x in range(SIZE):
            bits = (bits << 1) | (1 if row[x] is None else 0)
        and_rows.append(bits.to_bytes(4, "big"))
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 4, 0, 0, 0, 0, 16, 0)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in PALETTE)
    image = header + palette + b"".join(xor_rows) + b"".join(and_rows)
    directory = struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", SIZE, SIZE, 16, 0, 1, 4, len(image), 22)
    with open(path, "wb") as out:
        out.write(directory + image)


if __name__ == "__main__":
    write_icon(sys.argv[1], draw())
