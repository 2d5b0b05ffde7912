"""Reads an 8-bit RGBA PNG (any filter) into rows of bytes, with nothing but
the standard library, for the end-to-end checks of screenshots.

Run as a script: png_rows.py FILE X Y prints "WIDTH HEIGHT R G B A" of the
pixel at (X, Y). pixel() reads one pixel's RGB; run_end() follows a row from
a pixel while a test holds (where a bar's fill ends, for example)."""
import struct
import sys
import zlib


def read_rgba(path):
    data = open(path, 'rb').read()
    assert data[:8] == b'\x89PNG\r\n\x1a\n', 'not a PNG'
    pos, idat, width, height = 8, b'', 0, 0
    while pos < len(data):
        length, kind = struct.unpack('>I4s', data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if kind == b'IHDR':
            width, height, depth, colour = struct.unpack('>IIBB', body[:10])
            assert depth == 8 and colour == 6, 'not 8-bit RGBA'
        elif kind == b'IDAT':
            idat += body
        pos += 12 + length
    raw, stride, rows, prev = zlib.decompress(idat), width * 4, [], bytearray(width * 4)
    for y in range(height):
        kind = raw[y * (stride + 1)]
        line = bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            a = line[i - 4] if i >= 4 else 0
            b, c = prev[i], (prev[i - 4] if i >= 4 else 0)
            if kind == 1:
                line[i] = (line[i] + a) & 255
            elif kind == 2:
                line[i] = (line[i] + b) & 255
            elif kind == 3:
                line[i] = (line[i] + (a + b) // 2) & 255
            elif kind == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                line[i] = (line[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        rows.append(line)
        prev = line
    return width, height, rows


def pixel(rows, x, y):
    return tuple(rows[y][x * 4:x * 4 + 3])


def run_end(rows, y, x, step, test):
    """The last x from x in steps of step (+1 or -1) along row y whose pixel
    passes test(rgb); x - step when the first does not."""
    width = len(rows[y]) // 4
    while 0 <= x < width and test(pixel(rows, x, y)):
        x += step
    return x - step


if __name__ == '__main__':
    w, h, pixels = read_rgba(sys.argv[1])
    x, y = int(sys.argv[2]), int(sys.argv[3])
    print(w, h, *pixels[y][x * 4:x * 4 + 4])
