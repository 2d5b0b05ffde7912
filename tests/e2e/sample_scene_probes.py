"""Pixel checks of the sample scene (rsc/objects/gfx-test.xobj) on four
screenshots of the same frame: drawn through the composite, drawn directly,
drawn directly with the static hinge in place of the skinned one, and with
the skinned hinge playing its clip.

Every probe is named, placed by projecting a world point with the camera of
the scene, and checked with a tolerance, so small rasterisation changes do
not break it. Prints one line per probe; exits 1 if any fails.

Usage: sample_scene_probes.py COMPOSITE.png DIRECT.png STATIC.png ANIMATED.png"""
import math
import os
import sys

sys.dont_write_bytecode = True  # no cache files in the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from png_rows import read_rgba  # noqa: E402

# The scene's camera and projection (the matrix manager's field of view).
EYE = (0.0, 5.0, -8.0)
FOV_Y = math.pi * 0.33

SKY_FRONT = (40, 90, 200)
SKY_BOTTOM = (90, 70, 50)
CRATE_FACE = 220            # crate-planks.png away from its rim
AMBIENT = 0.35              # lit-vert-ps: unlit surfaces keep this much
TILES = {12: (50, 90, 170), 8: (80, 150, 60), 4: (160, 120, 75), 14: (210, 190, 130)}
RED, MAGENTA = (255, 0, 0), (255, 0, 255)


class Image:
    def __init__(self, path):
        self.path = path
        self.width, self.height, self.rows = read_rgba(path)

    def rgb(self, x, y):
        p = self.rows[y][x * 4:x * 4 + 3]
        return (p[0], p[1], p[2])

    def project(self, point):
        """Pixel (column, row) of a world point; the camera looks along +z."""
        x, y, z = (point[i] - EYE[i] for i in range(3))
        y_scale = 1.0 / math.tan(FOV_Y / 2)
        x_scale = y_scale * self.height / self.width
        return (int(round((1 + x / z * x_scale) / 2 * self.width)),
                int(round((1 - y / z * y_scale) / 2 * self.height)))

    def window(self, centre, rx, ry):
        cx, cy = centre
        return [self.rgb(x, y) for y in range(max(0, cy - ry), min(self.height, cy + ry + 1))
                for x in range(max(0, cx - rx), min(self.width, cx + rx + 1))]

    def median(self, centre, rx=3, ry=2):
        pixels = self.window(centre, rx, ry)
        return tuple(sorted(p[c] for p in pixels)[len(pixels) // 2] for c in range(3))


failures = []


def check(name, ok, detail):
    print(("ok   " if ok else "FAIL ") + name + ": " + detail)
    if not ok:
        failures.append(name)


def near(a, b, tol):
    return all(abs(a[i] - b[i]) <= tol for i in range(3))


def chroma(c):
    total = float(sum(c)) or 1.0
    return tuple(v / total for v in c)


def scene_checks(img, label):
    # The sky's front face straight ahead, along +z.
    centre = (img.width // 2, img.height // 2)
    got = img.median(centre)
    check(label + " sky_front_ahead", near(got, SKY_FRONT, 6), "%s at %s, want %s" % (got, centre, SKY_FRONT))

    # The long crate is lit at the end near its light and nearly ambient at
    # the far end.
    near_end = img.median(img.project((-2.2, 7.5, 5.5)), 2, 1)
    far_end = img.median(img.project((2.2, 7.5, 5.5)), 2, 1)
    # Near the light: facing 0.78 over 1.64 plus the ambient, about 0.83.
    check(label + " crate_lit_near_light", min(near_end) >= 0.75 * CRATE_FACE,
          "%s near the light, want each channel >= %d" % (near_end, 0.75 * CRATE_FACE))
    want = CRATE_FACE * AMBIENT
    check(label + " crate_dark_far_from_light", all(abs(v - want) <= 0.1 * CRATE_FACE for v in far_end),
          "%s far from the light, want about %.0f" % (far_end, want))

    # Magenta wire-frame edges around the invisible highlighted cube.
    lo = img.project((5.5 - 0.7, 4 + 0.7, 3 - 0.6))
    hi = img.project((5.5 + 0.7, 4 - 0.7, 3 - 0.6))
    box = [img.rgb(x, y) for y in range(lo[1], hi[1] + 1) for x in range(lo[0], hi[0] + 1)]
    magenta = sum(1 for p in box if near(p, MAGENTA, 40))
    check(label + " highlight_edges_magenta", magenta >= 12,
          "%d magenta pixels in %s..%s, want at least 12" % (magenta, lo, hi))

    # The debug line crosses in front of the hinge though it lies behind it.
    hinge = img.median(img.project((-3.2, 3.5, 2.5)), 1, 1)
    check(label + " hinge_in_front_of_line", not near(hinge, SKY_FRONT, 30),
          "%s where the hinge stands, the sky would be %s" % (hinge, SKY_FRONT))
    line_at = img.project((-3.1, 3.0, 3.5))
    line = [p for p in img.window(line_at, 0, 3) if near(p, RED, 40)]
    check(label + " debug_line_through_geometry", len(line) >= 1,
          "%d red pixels in the column at %s" % (len(line), line_at))

    # The tiled floor: row 0 (water, grass) at the largest z, row 1 (planks,
    # sand) nearer; each quadrant in its atlas colour, up to the lighting.
    for name, point, tile in (("far_left", (-2, 2, 6), 12), ("far_right", (2, 2, 6), 8),
                              ("near_left", (-1.5, 2, 2.5), 4), ("near_right", (1.5, 2, 2.5), 14)):
        got = img.median(img.project(point))
        ok = all(abs(a - b) <= 0.03 for a, b in zip(chroma(got), chroma(TILES[tile]))) and sum(got) > 30
        check(label + " floor_" + name, ok, "%s at %s, want the hue of tile %d %s" % (got, img.project(point), tile, TILES[tile]))

    # The last row and column are drawn (the sky's bottom and sides).
    black = sum(1 for x in range(img.width) if img.rgb(x, img.height - 1) == (0, 0, 0))
    black += sum(1 for y in range(img.height) if img.rgb(img.width - 1, y) == (0, 0, 0))
    check(label + " last_row_and_column_not_black", black == 0, "%d black pixels" % black)


def compare(a, b, name, tol, region=None):
    x0, y0, x1, y1 = region or (0, 0, a.width - 1, a.height - 1)
    worst, count = 0, 0
    for y in range(y0, y1 + 1):
        for x in range(x0, x1 + 1):
            d = max(abs(p - q) for p, q in zip(a.rgb(x, y), b.rgb(x, y)))
            worst = max(worst, d)
            count += d > tol
    check(name, count == 0, "%d pixels differ by more than %d (largest %d) in %s" % (count, tol, worst, (x0, y0, x1, y1)))


def main():
    composite, direct, static, animated = (Image(p) for p in sys.argv[1:5])
    scene_checks(composite, "composite")
    scene_checks(direct, "direct")
    # With the fade at (1, 1, 1, 1) the composite adds nothing of its own.
    compare(composite, direct, "composite_equals_direct", 1)
    # The skinned hinge in its bind pose covers the same pixels as the same
    # mesh drawn static.
    got = static.median(static.project((-3.2, 3.5, 2.5)), 1, 1)
    check("static hinge_drawn", not near(got, SKY_FRONT, 30),
          "%s where the static hinge stands, the sky would be %s" % (got, SKY_FRONT))
    lo = direct.project((-3.6, 4.2, 2.5))
    hi = direct.project((-2.4, 1.9, 2.5))
    region = (lo[0], lo[1], hi[0], hi[1])
    compare(direct, static, "hinge_bind_pose_equals_static", 2, region)
    # Playing its clip the hinge bends, so that comparison saw a skinned draw.
    moved = sum(1 for y in range(region[1], region[3] + 1) for x in range(region[0], region[2] + 1)
                if max(abs(p - q) for p, q in zip(animated.rgb(x, y), static.rgb(x, y))) > 2)
    check("hinge_animated_differs", moved >= 20, "%d pixels of the hinge moved, want at least 20" % moved)
    if failures:
        print("failed: " + ", ".join(failures))
        sys.exit(1)


if __name__ == "__main__":
    main()
