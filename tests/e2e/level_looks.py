"""Pixel checks of the sample levels as a player sees them (640 x 360 shots).

level_looks.py first SHOT
    The first frame after the fly-over: the sky shows (at least 5% of the
    picture is sky blue), the stone floor and walls are lit unevenly (the
    brightness of their pixels spreads: lanterns, texture and shade, not one
    grey), and the player (the only cyan) stands at least 8% of the
    picture's height tall.
level_looks.py wall SHOT...
    Shots of the player walking along a room's near wall, the side of the
    chase camera: in each the player's body shows (at least 60 cyan pixels
    spanning at least 5% of the picture's height).
"""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from png_rows import read_rgba  # noqa: E402


def fail(message):
    sys.exit("FAIL: " + message)


def pixels(path):
    width, height, rows = read_rgba(path)
    return width, height, [(x, y, tuple(rows[y][x * 4:x * 4 + 3])) for y in range(height) for x in range(width)]


def cyan(c):
    return c[1] > 60 and c[2] > c[1] * 0.8 and c[0] < c[1] * 0.5


def sky(c):
    return c[2] > 140 and c[2] > c[0] + 25 and not cyan(c)


def stone(c):
    # the warm greys of the flagstones and masonry, lit or in shade
    return c[0] >= c[2] and c[0] - c[2] < 90 and abs(c[0] - c[1]) < 40 and max(c) > 15


def player_rows(height, cells, path):
    ys = [y for x, y, c in cells if cyan(c)]
    if len(ys) < 60:
        fail("%s: the player is not in view (%d cyan pixels)" % (path, len(ys)))
    return len(ys), (max(ys) - min(ys) + 1) / height


def first(path):
    width, height, cells = pixels(path)
    skies = sum(1 for _, _, c in cells if sky(c))
    if skies < 0.05 * width * height:
        fail("%s: no sky (%d sky pixels)" % (path, skies))
    light = sorted(sum(c) / 3 for _, y, c in cells if stone(c) and y > height * 0.15)
    if len(light) < 0.2 * width * height:
        fail("%s: too little lit stone (%d pixels)" % (path, len(light)))
    low, high = light[len(light) // 10], light[len(light) * 9 // 10]
    if high - low < 40 or high < 110:
        fail("%s: the floor is one grey (brightness %d to %d)" % (path, low, high))
    count, tall = player_rows(height, cells, path)
    if tall < 0.08:
        fail("%s: the player is %.1f%% of the picture's height" % (path, 100 * tall))
    print("%s: sky %d, stone brightness %d to %d, player %.1f%% tall" % (path, skies, low, high, 100 * tall))


def wall(paths):
    for path in paths:
        width, height, cells = pixels(path)
        count, tall = player_rows(height, cells, path)
        if tall < 0.05:
            fail("%s: only %.1f%% of the picture's height of the player shows" % (path, 100 * tall))
        print("%s: %d player pixels, %.1f%% tall" % (path, count, 100 * tall))


if __name__ == "__main__":
    if len(sys.argv) == 3 and sys.argv[1] == "first":
        first(sys.argv[2])
    elif len(sys.argv) >= 3 and sys.argv[1] == "wall":
        wall(sys.argv[2:])
    else:
        sys.exit(__doc__)
