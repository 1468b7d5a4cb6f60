#!/usr/bin/env python3
"""Draws the symbol editor's four shift-button icons: 16 x 16 triangles
pointing down (111), left (114), right (115) and up (116), black on a
transparent ground, written as small 4-bit .ico files next to this script.
Run it again after changing the drawing; the .ico files are kept in the tree."""
import os
import struct

SIZE = 16


def inside(direction, x, y):
    """True when pixel (x, y), y from the top, lies in the triangle."""
    # An upward triangle: apex at row 4, base at row 11, 13 pixels wide.
    def up(px, py):
        if py < 4 or py > 11:
            return False
        half = py - 4
        return abs(px - 7.5) <= half + 0.5 and abs(px - 7.5) <= 6.5
    if direction == "up":
        return up(x, y)
    if direction == "down":
        return up(x, SIZE - 1 - y)
    if direction == "left":
        return up(y, x)
    return up(y, SIZE - 1 - x)


def icon_bytes(direction):
    palette = [(0, 0, 0)] + [(255, 255, 255)] * 15
    xor_rows, and_rows = [], []
    for y in range(SIZE - 1, -1, -1):  # bottom-up
        xor = bytearray(SIZE // 2)
        mask = 0
        for x in range(SIZE):
            if inside(direction, x, y):
                continue  # colour index 0, black, opaque
            mask |= 1 << (SIZE - 1 - x)
        xor_rows.append(bytes(xor))
        and_rows.append(struct.pack(">H", mask) + b"\0\0")
    image = struct.pack("<IiiHHIIiiII", 40, SIZE, 2 * SIZE, 1, 4, 0, 0, 0, 0, 16, 0)
    image += b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette)
    image += b"".join(xor_rows) + b"".join(and_rows)
    header = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 16, 0, 1, 4, len(image), 6 + 16)
    return header + entry + image


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    for direction in ("down", "left", "right", "up"):
        with open(os.path.join(here, "symboleditor_%s.ico" % direction), "wb") as out:
            out.write(icon_bytes(direction))


if __name__ == "__main__":
    main()
