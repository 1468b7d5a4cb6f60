#!/usr/bin/env python3
"""Draws the editor's pictures: the window icon (Glyver.ico, 32x32 and 16x16)
and the About bitmap (about.bmp, 260x210, 24 bits). Standard library only.

    python3 make_pictures.py OUTPUT_DIRECTORY
"""
import struct
import sys
from pathlib import Path

# 5 x 7 dot-matrix letters, top row first, as a small serial printer prints.
LETTERS = {
    "G": ["01110", "10001", "10000", "10111", "10001", "10001", "01111"],
    "L": ["10000", "10000", "10000", "10000", "10000", "10000", "11111"],
    "Y": ["10001", "10001", "01010", "00100", "00100", "00100", "00100"],
    "P": ["11110", "10001", "10001", "11110", "10000", "10000", "10000"],
    "H": ["10001", "10001", "10001", "11111", "10001", "10001", "10001"],
    "M": ["10001", "11011", "10101", "10101", "10001", "10001", "10001"],
    "I": ["01110", "00100", "00100", "00100", "00100", "00100", "01110"],
    "V": ["10001", "10001", "10001", "10001", "10001", "01010", "00100"],
    "E": ["11111", "10000", "10000", "11110", "10000", "10000", "11111"],
    "R": ["11110", "10001", "10001", "11110", "10100", "10010", "10001"],
    "F": ["11111", "10000", "10000", "11110", "10000", "10000", "10000"],
    "O": ["01110", "10001", "10001", "10001", "10001", "10001", "01110"],
    "N": ["10001", "11001", "10101", "10011", "10001", "10001", "10001"],
    "T": ["11111", "00100", "00100", "00100", "00100", "00100", "00100"],
    "D": ["11110", "10001", "10001", "10001", "10001", "10001", "11110"],
    " ": ["00000"] * 7,
}

PAPER = (250, 247, 236)
INK = (24, 24, 32)
FRAME = (40, 70, 140)
GRID = (214, 208, 196)


class Canvas:
    def __init__(self, width, height, colour):
        self.width, self.height = width, height
        self.pixels = [[colour] * width for _ in range(height)]

    def fill(self, left, top, right, bottom, colour):
        for y in range(max(top, 0), min(bottom, self.height)):
            for x in range(max(left, 0), min(right, self.width)):
                self.pixels[y][x] = colour

    def dot(self, x, y, size, colour):
        """A round-ish printer dot of the given diameter at (x, y) top-left."""
        for dy in range(size):
            for dx in range(size):
                corner = size > 3 and dx in (0, size - 1) and dy in (0, size - 1)
                if not corner:
                    self.fill(x + dx, y + dy, x + dx + 1, y + dy + 1, colour)

    def text(self, left, top, string, pitch, size, colour):
        for index, letter in enumerate(string):
            for row, bits in enumerate(LETTERS[letter]):
                for column, bit in enumerate(bits):
                    if bit == "1":
                        x = left + (index * 6 + column) * pitch
                        self.dot(x, top + row * pitch, size, colour)

    def text_width(self, string, pitch):
        return (len(string) * 6 - 1) * pitch


def bmp_bytes(canvas):
    """A bottom-up 24-bit BMP file."""
    stride = (canvas.width * 3 + 3) & ~3
    rows = bytearray()
    for y in range(canvas.height - 1, -1, -1):
        line = bytearray()
        for r, g, b in canvas.pixels[y]:
            line += bytes((b, g, r))
        rows += line + bytes(stride - len(line))
    header = struct.pack("<IiiHHIIiiII", 40, canvas.width, canvas.height, 1, 24, 0, len(rows), 2835, 2835, 0, 0)
    file_header = struct.pack("<2sIHHI", b"BM", 14 + len(header) + len(rows), 0, 0, 14 + len(header))
    return file_header + header + rows


def icon_image(canvas, transparent):
    """One 32-bit icon image (BITMAPINFOHEADER, XOR pixels, AND mask)."""
    size = canvas.width
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = bytearray()
    mask = bytearray()
    mask_stride = ((size + 31) // 32) * 4
    for y in range(size - 1, -1, -1):
        bits = 0
        line = bytearray()
        for x in range(size):
            colour = canvas.pixels[y][x]
            if colour == transparent:
                pixels += bytes((0, 0, 0, 0))
                bits |= 1 << (size - 1 - x)
            else:
                r, g, b = colour
                pixels += bytes((b, g, r, 255))
        line += bits.to_bytes(size // 8, "big")
        mask += line + bytes(mask_stride - len(line))
    return header + pixels + mask


def ico_bytes(images):
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries = b""
    for size, data in images:
        entries += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    return directory + entries + b"".join(data for _, data in images)


def draw_icon(size):
    """A sheet of paper with a dot-matrix G on a blue frame."""
    transparent = (255, 0, 255)
    canvas = Canvas(size, size, transparent)
    canvas.fill(1, 1, size - 1, size - 1, FRAME)
    canvas.fill(3, 3, size - 3, size - 3, PAPER)
    pitch = 3 if size >= 32 else 1
    dot = 3 if size >= 32 else 1
    left = (size - 5 * pitch) // 2
    top = (size - 7 * pitch) // 2
    canvas.text(left, top, "G", pitch, dot, INK)
    return canvas, transparent


def draw_about():
    canvas = Canvas(260, 210, PAPER)
    canvas.fill(0, 0, 260, 6, FRAME)
    canvas.fill(0, 204, 260, 210, FRAME)
    for x in range(8, 252, 8):
        for y in range(14, 200, 8):
            canvas.fill(x, y, x + 1, y + 1, GRID)
    title = "GLYPHMILL"
    canvas.text((260 - canvas.text_width(title, 4)) // 2, 26, title, 4, 3, INK)
    name = "GLYVER"
    canvas.text((260 - canvas.text_width(name, 3)) // 2, 88, name, 3, 2, FRAME)
    line = "FONT EDITOR"
    canvas.text((260 - canvas.text_width(line, 2)) // 2, 130, line, 2, 2, INK)
    # A strip of printed dots, as the printer feeds the paper.
    for index in range(28):
        height = 3 + (index * 7) % 11
        for row in range(height):
            canvas.dot(20 + index * 8, 192 - row * 3, 2, FRAME if index % 2 else INK)
    return canvas


def main():
    out = Path(sys.argv[1] if len(sys.argv) > 1 else ".")
    out.mkdir(parents=True, exist_ok=True)
    images = []
    for size in (32, 16):
        canvas, transparent = draw_icon(size)
        images.append((size, icon_image(canvas, transparent)))
    (out / "Glyver.ico").write_bytes(ico_bytes(images))
    (out / "about.bmp").write_bytes(bmp_bytes(draw_about()))


if __name__ == "__main__":
    main()
