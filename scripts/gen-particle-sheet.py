#!/usr/bin/env python3
# Writes the sample particle sheet rsc/textures/particle-sheet.png: four
# 32 x 32 cells in one row (a soft glow, a four-pointed spark, a smoke puff
# and a ring), white with the shape in the alpha channel, so an emitter's
# blend mode and opacity decide how they look. Emitters pick a cell with
# "NumberOfTextures" and the cell size 32 x 32 of a 128 x 32 sheet.
# The output is checked in; run this after changing it.
import math
import os
import struct
import zlib

CELL = 32
CELLS = 4


def alpha(cell, u, v):
    dx, dy = (u + 0.5 - CELL / 2) / (CELL / 2), (v + 0.5 - CELL / 2) / (CELL / 2)
    r = math.hypot(dx, dy)
    if cell == 0:  # soft glow
        a = max(0.0, 1.0 - r) ** 2
    elif cell == 1:  # spark: a bright core and two thin bars
        a = max(0.0, 1.0 - r * 2.5) + max(0.0, 1.0 - abs(dx) * 12) * max(0.0, 1.0 - abs(dy)) \
            + max(0.0, 1.0 - abs(dy) * 12) * max(0.0, 1.0 - abs(dx))
    elif cell == 2:  # smoke puff: a blob with lumps
        lumps = 0.15 * math.sin(5 * math.atan2(dy, dx)) + 0.85
        a = 0.7 * max(0.0, 1.0 - r / lumps)
    else:  # ring
        a = max(0.0, 1.0 - abs(r - 0.7) * 6)
    return int(round(255 * min(1.0, a)))


def chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)


def main():
    width, height = CELL * CELLS, CELL
    rows = bytearray()
    for y in range(height):
        rows.append(0)  # no filter
        for x in range(width):
            rows.extend((255, 255, 255, alpha(x // CELL, x % CELL, y)))
    png = b"\x89PNG\r\n\x1a\n"
    png += chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(bytes(rows), 9))
    png += chunk(b"IEND", b"")
    root = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
    out = os.path.join(root, "rsc", "textures", "particle-sheet.png")
    os.makedirs(os.path.dirname(out), exist_ok=True)
    with open(out + ".tmp", "wb") as f:
        f.write(png)
    os.replace(out + ".tmp", out)


if __name__ == "__main__":
    main()
