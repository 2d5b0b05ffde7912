"""Pixel checks of the menus and player end-to-end run.

menu_pixels.py menu SHOT
    The main menu at 640 x 360: the background is the menu's blue, the
    selected Play button is an amber quad filling its rectangle (and nothing
    of it shows outside), the captions are white text of the shipped font
    (enough bright pixels inside each caption's box: Play, Options, Quit) and the title is drawn
    in its gold.
menu_pixels.py player STILL RIGHT DASH X_STILL X_RIGHT X_DASH
    Three 320 x 200 shots of the first level under the chase camera, with
    the x of the camera's look-at point in each: the player's body is the
    only cyan, lit or in shade, and its pixels' mean lies within 8 pixels of
    the picture's middle column in each shot; the look-at x lies at least 4
    units right of the keyless run's after Right was held, and at least 1
    further after a dash.
"""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from png_rows import read_rgba  # noqa: E402


def pixel(rows, x, y):
    return tuple(rows[y][x * 4:x * 4 + 3])


def near(colour, want, tolerance):
    return all(abs(a - b) <= tolerance for a, b in zip(colour, want))


def count(rows, box, test):
    x0, y0, x1, y1 = box
    return sum(1 for y in range(y0, y1) for x in range(x0, x1) if test(pixel(rows, x, y)))


def fail(message):
    sys.exit("FAIL: " + message)


def check_menu(path):
    width, height, rows = read_rgba(path)
    if (width, height) != (640, 360):
        fail("menu shot is %d x %d" % (width, height))
    background = (26, 33, 61)
    for point in [(10, 10), (630, 350), (320, 150), (320, 228)]:
        if not near(pixel(rows, *point), background, 3):
            fail("background at %s reads %s" % (point, pixel(rows, *point)))
    # The Play button: 160 x 32 pixels centred at (320, 200); its amber inside
    # left of the caption, its lighter rim, nothing of it outside.
    amber = (200, 130, 40)
    for point in [(250, 200), (390, 200), (270, 195), (270, 206)]:
        if not near(pixel(rows, *point), amber, 24):
            fail("button inside at %s reads %s" % (point, pixel(rows, *point)))
    for point in [(236, 200), (404, 200), (320, 180), (320, 220)]:
        if not near(pixel(rows, *point), background, 3):
            fail("outside the button at %s reads %s" % (point, pixel(rows, *point)))
    white = lambda c: min(c) >= 200
    if count(rows, (290, 184, 350, 216), white) < 25:
        fail("no caption text on the Play button")
    # Options and Quit below it, unselected: captions without their quads.
    for name, box in [("Options", (290, 234, 350, 266)), ("Quit", (290, 284, 350, 316))]:
        if count(rows, box, white) < 25:
            fail("no %s caption" % name)
        if count(rows, box, lambda c: near(c, amber, 24)) > 0:
            fail("the %s button shows its quad while not selected" % name)
    gold = lambda c: c[0] > 200 and c[1] > 160 and c[2] < 160
    if count(rows, (150, 50, 500, 110), gold) < 300:
        fail("no title text")


def cyan_mean_x(path):
    width, height, rows = read_rgba(path)
    xs = [x for y in range(height) for x in range(width)
          for c in [pixel(rows, x, y)] if c[1] > 60 and c[2] > 60 and c[0] < c[1] * 0.5]
    if len(xs) < 20:
        fail("%s: the player is not in view (%d cyan pixels)" % (path, len(xs)))
    return sum(xs) / len(xs), width


def check_player(still, right, dash, x_still, x_right, x_dash):
    for path in (still, right, dash):
        mean, width = cyan_mean_x(path)
        print("%s: player mean x %.1f" % (os.path.basename(path), mean))
        if abs(mean - width / 2) > 8:
            fail("%s: the chase camera lost the player (mean x %.1f of %d)" % (path, mean, width))
    a, b, c = float(x_still), float(x_right), float(x_dash)
    print("look-at x: still %.2f, after Right %.2f, after the dash %.2f" % (a, b, c))
    if b < a + 4:
        fail("holding Right moved the player from x %.2f to %.2f only" % (a, b))
    if c < b + 1:
        fail("the dash moved the player from x %.2f to %.2f only" % (b, c))


if __name__ == "__main__":
    if sys.argv[1:2] == ["menu"] and len(sys.argv) == 3:
        check_menu(sys.argv[2])
    elif sys.argv[1:2] == ["player"] and len(sys.argv) == 8:
        check_player(*sys.argv[2:8])
    else:
        sys.exit(__doc__)
