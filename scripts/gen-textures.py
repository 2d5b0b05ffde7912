#!/usr/bin/env python3
# Writes the sample tile atlas rsc/textures/tiles.png: 4 x 4 tiles of 64 x 64
# pixels in the order of rsc/palettes/floor-tiles.xpal (flagstones, planks,
# grass, water and sand), each a base colour with a darker border and a light
# diagonal so neighbouring tiles and their orientation can be told apart.
# The output is checked in; run this after changing it.
import os
import struct
import zlib

TILE = 64
COLUMNS = ROWS = 4
BASES = [
    (150, 150, 140), (130, 128, 120), (110, 135, 105), (90, 90, 95),
    (160, 120, 75), (140, 105, 70), (105, 75, 50), (120, 90, 60),
    (80, 150, 60), (150, 150, 70), (90, 160, 90), (120, 95, 65),
    (50, 90, 170), (80, 130, 180), (210, 190, 130), (140, 140, 140),
]


def pixel(x, y):
    tile = (y // TILE) * COLUMNS + x // TILE
    u, v = x % TILE, y % TILE
    r, g, b = BASES[tile]
    if u < 3 or v < 3 or u >= TILE - 3 or v >= TILE - 3:
        return (r * 3 // 5, g * 3 // 5, b * 3 // 5)
    if abs(u - v) < 2:
        return (min(255, r + 50), min(255, g + 50), min(255, b + 50))
    return (r, g, b)


def chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)


def main():
    width, height = TILE * COLUMNS, TILE * ROWS
    rows = bytearray()
    for y in range(height):
        rows.append(0)  # no filter
        for x in range(width):
            rows.extend(pixel(x, y))
    png = b"\x89PNG\r\n\x1a\n"
    png += chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(bytes(rows), 9))
    png += chunk(b"IEND", b"")
    root = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
    out = os.path.join(root, "rsc", "textures", "tiles.png")
    os.makedirs(os.path.dirname(out), exist_ok=True)
    with open(out + ".tmp", "wb") as f:
        f.write(png)
    os.replace(out + ".tmp", out)


if __name__ == "__main__":
    main()
