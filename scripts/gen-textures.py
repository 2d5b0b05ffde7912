#!/usr/bin/env python3
# Writes the sample textures under rsc/textures, deterministically (the same
# bytes on every run):
# - tiles.png: the tile atlas, 4 x 4 tiles of 64 x 64 pixels in the order of
#   rsc/palettes/floor-tiles.xpal (flagstones, planks, grass, water and
#   sand), each a base colour with a darker border and a light diagonal so
#   neighbouring tiles and their orientation can be told apart;
# - sky-top ... sky-back.png: the six faces of the sample sky, one flat
#   colour each, all different, so a picture tells which face it shows;
# - daysky-top ... daysky-back.png: the levels' sky, a pale blue dome over
#   a sea of clouds; every pixel's colour comes from the direction it shows
#   (as the skybox places and turns its planes), so the faces meet without
#   seams;
# - stone-floor.png, stone-wall.png: the rooms' flagstones and masonry, each
#   tiling seamlessly (a floor or wall repeats it once per two units);
# - crate-planks.png: a light, even crate face with a darker rim;
# - DropShadow.png: a soft black disc (alpha falls off from the centre);
# - marker.png: the aimer's orange arrow on transparency;
# - sign.png: the billboard's yellow disc on transparency;
# - glass.png: an even, half-transparent cyan for the transparent plane;
# - particle-sheet.png: four 32 x 32 particle cells in one row (a soft glow,
#   a four-pointed spark, a smoke puff and a ring), white with the shape in
#   the alpha channel, so an emitter's blend mode and opacity decide how
#   they look;
# - menu-button.png: the menus' highlight behind the selected button, a warm
#   amber bar with a lighter rim (opaque, so a picture shows the button's
#   rectangle exactly);
# - plain.png: opaque white, for meshes that show only their tint;
# - grid.png: the model viewer's floor cell, light grey with a dark rim, so the
#   floor, tiled 16 times, shows a grid;
# - hud-*-border.png and hud-*-fill.png: the HUD's bar frames (208 x 24, a
#   dark inside with a rim in the bar's colour) and fills (200 x 16, one
#   colour per row, lighter at the top) for health, bosses and the five
#   attacks; every fill row is even from end to end, so a picture shows how
#   much of a bar is drawn;
# - checkbox-on.png, checkbox-off.png: the options screen's boxes (32 x 32,
#   a light frame; ticked has a green centre, unticked a dark one);
# - options-highlight.png: the options screen's selected row (640 x 48), a
#   half-transparent light blue;
# - qil-basic, qil-arc, qil-meteor, qil-shield, qil-fire.png: the companion's
#   flat colour for each attack (the "qil-colors" page names them).
# The outputs are checked in; run this after changing it.
# --check writes nothing and fails when a checked-in file differs.
import math
import os
import struct
import sys
import zlib

TILE = 64
COLUMNS = ROWS = 4
BASES = [
    (150, 150, 140), (130, 128, 120), (110, 135, 105), (90, 90, 95),
    (160, 120, 75), (140, 105, 70), (105, 75, 50), (120, 90, 60),
    (80, 150, 60), (150, 150, 70), (90, 160, 90), (120, 95, 65),
    (50, 90, 170), (80, 130, 180), (210, 190, 130), (140, 140, 140),
]

# The sky's faces; the end-to-end scene checks read these colours.
SKY = {
    "top": (150, 200, 240), "bottom": (90, 70, 50), "right": (200, 180, 40),
    "left": (60, 170, 60), "front": (40, 90, 200), "back": (200, 60, 40),
}


def tile_pixel(x, y):
    tile = (y // TILE) * COLUMNS + x // TILE
    u, v = x % TILE, y % TILE
    r, g, b = BASES[tile]
    if u < 3 or v < 3 or u >= TILE - 3 or v >= TILE - 3:
        return (r * 3 // 5, g * 3 // 5, b * 3 // 5)
    if abs(u - v) < 2:
        return (min(255, r + 50), min(255, g + 50), min(255, b + 50))
    return (r, g, b)


def lattice(ix, iy, iz):
    h = (ix * 374761393 + iy * 668265263 + iz * 2147483647) & 0xFFFFFFFF
    h = ((h ^ (h >> 13)) * 1274126177) & 0xFFFFFFFF
    return ((h ^ (h >> 16)) & 0xFFFF) / 65535.0


def smooth_noise(x, y, z, period=None):
    # Value noise on the integer lattice, smoothly interpolated; with a
    # period the lattice wraps in x and y so a texture made of it tiles.
    ix, iy, iz = math.floor(x), math.floor(y), math.floor(z)
    fx, fy, fz = x - ix, y - iy, z - iz
    fx, fy, fz = (f * f * (3 - 2 * f) for f in (fx, fy, fz))
    total = 0.0
    for dx in (0, 1):
        for dy in (0, 1):
            for dz in (0, 1):
                cx, cy = ix + dx, iy + dy
                if period:
                    cx, cy = cx % period, cy % period
                w = (fx if dx else 1 - fx) * (fy if dy else 1 - fy) * (fz if dz else 1 - fz)
                total += w * lattice(cx, cy, iz + dz)
    return total


def fractal(x, y, z, octaves, period=None):
    total, amplitude, weight = 0.0, 1.0, 0.0
    for _ in range(octaves):
        total += amplitude * smooth_noise(x, y, z, period)
        weight += amplitude
        x, y, z = x * 2, y * 2, z * 2
        period = period * 2 if period else None
        amplitude *= 0.5
    return total / weight


SKY_SIZE = 128


def sky_direction(face, x, y):
    # The plane's local point for this pixel (image right = +x, image top =
    # +y, the quad's texture coordinates), then the face's placement.
    u = (x + 0.5) / SKY_SIZE - 0.5
    v = 0.5 - (y + 0.5) / SKY_SIZE
    return {"front": (u, v, 0.5), "back": (-u, v, -0.5), "right": (0.5, v, -u),
            "left": (-0.5, v, u), "top": (u, 0.5, -v), "bottom": (u, -0.5, v)}[face]


def mix(a, b, t):
    t = max(0.0, min(1.0, t))
    return tuple(p + (q - p) * t for p, q in zip(a, b))


def daysky_pixel(face, x, y):
    dx, dy, dz = sky_direction(face, x, y)
    length = math.sqrt(dx * dx + dy * dy + dz * dz)
    dx, dy, dz = dx / length, dy / length, dz / length
    zenith, horizon, deep = (85, 125, 205), (200, 220, 235), (100, 118, 175)
    if dy >= 0:
        colour = mix(horizon, zenith, dy ** 0.6)
        wisps = fractal(dx * 3 + 10, dy * 3, dz * 3, 4)
        colour = mix(colour, (245, 245, 250), (wisps - 0.55) * 2.5 * min(1.0, dy * 4))
    else:
        # Below the horizon: a sea of clouds thinning into deep blue.
        colour = mix(horizon, deep, (-dy) ** 0.7)
        clouds = fractal(dx * 4, dy * 4 + 20, dz * 4, 5)
        colour = mix(colour, (235, 238, 245), (clouds - 0.45) * 2.2 * (1.0 - (-dy) ** 1.5))
    return tuple(int(round(c)) for c in colour)


STONE = 128


def stone_floor_pixel(x, y):
    # Four flagstones of 64 x 64, each its own shade, with dark joints.
    u, v = x % 64, y % 64
    slab = (x // 64) + 2 * (y // 64)
    shade = (0.92, 1.0, 0.86, 0.96)[slab]
    grain = fractal(x / 16.0, y / 16.0, slab, 4, period=STONE // 16)
    base = tuple(c * shade * (0.8 + 0.4 * grain) for c in (168, 158, 140))
    joint = min(u, v, 63 - u, 63 - v)
    if joint < 2:
        base = tuple(c * 0.45 for c in base)
    elif joint < 4:
        base = tuple(c * 0.8 for c in base)
    return tuple(max(0, min(255, int(round(c)))) for c in base)


def stone_wall_pixel(x, y):
    # Courses of bricks 64 x 32, every other course offset by half a brick.
    course = y // 32
    shifted = (x + 32 * (course % 2)) % STONE
    u, v = shifted % 64, y % 32
    brick = shifted // 64 + 2 * course
    shade = 0.85 + 0.3 * lattice(brick, course, 7)
    grain = fractal(x / 16.0, y / 16.0, 3, 4, period=STONE // 16)
    base = tuple(c * shade * (0.8 + 0.4 * grain) for c in (140, 128, 118))
    joint = min(u, v, 63 - u, 31 - v)
    if joint < 2:
        base = tuple(c * 0.5 for c in base)
    return tuple(max(0, min(255, int(round(c)))) for c in base)


def crate_pixel(x, y):
    rim = x < 4 or y < 4 or x >= 60 or y >= 60
    return (120, 100, 80) if rim else (220, 220, 220)


def grid_pixel(x, y):
    rim = x < 2 or y < 2 or x >= 62 or y >= 62
    return (60, 60, 70) if rim else (170, 170, 175)


def shadow_pixel(x, y):
    d = math.hypot(x - 31.5, y - 31.5) / 32.0
    return (0, 0, 0, max(0, int(round(200 * (1.0 - d)))))


def marker_pixel(x, y):
    # An arrow pointing up the image: a triangle head over a shaft.
    head = y < 28 and abs(x - 31.5) <= (y - 4) * 0.9
    shaft = 28 <= y < 60 and abs(x - 31.5) <= 7
    return (255, 140, 0, 255) if head or shaft else (0, 0, 0, 0)


def sign_pixel(x, y):
    inside = math.hypot(x - 31.5, y - 31.5) <= 28
    return (250, 220, 40, 255) if inside else (0, 0, 0, 0)


PARTICLE_CELL = 32


def particle_pixel(x, y):
    cell, u = divmod(x, PARTICLE_CELL)
    half = PARTICLE_CELL / 2
    dx, dy = (u + 0.5 - half) / half, (y + 0.5 - half) / half
    r = math.hypot(dx, dy)
    if cell == 0:  # soft glow
        a = max(0.0, 1.0 - r) ** 2
    elif cell == 1:  # spark: a bright core and two thin bars
        a = max(0.0, 1.0 - r * 2.5) + max(0.0, 1.0 - abs(dx) * 12) * max(0.0, 1.0 - abs(dy)) \
            + max(0.0, 1.0 - abs(dy) * 12) * max(0.0, 1.0 - abs(dx))
    elif cell == 2:  # smoke puff: a blob with lumps
        a = 0.7 * max(0.0, 1.0 - r / (0.15 * math.sin(5 * math.atan2(dy, dx)) + 0.85))
    else:  # ring
        a = max(0.0, 1.0 - abs(r - 0.7) * 6)
    return (255, 255, 255, int(round(255 * min(1.0, a))))


# Bar colours of the HUD: health, bosses, then the attacks.
HUD_BARS = {
    "health": (200, 40, 40), "boss": (150, 60, 190), "qil": (230, 200, 40),
    "arc": (60, 120, 230), "meteor": (240, 130, 30), "shield": (60, 210, 210),
    "fire": (230, 70, 20),
}
BAR_W, BAR_H, BAR_RIM = 200, 16, 4


def bar_border_pixel(x, y, colour):
    inside = BAR_RIM <= x < BAR_W + BAR_RIM and BAR_RIM <= y < BAR_H + BAR_RIM
    return (30, 30, 36, 255) if inside else colour + (255,)


def bar_fill_pixel(x, y, colour):
    lift = (BAR_H - y) * 4
    return tuple(min(255, c + lift) for c in colour) + (255,)


def checkbox_pixel(x, y, ticked):
    if x < 3 or y < 3 or x >= 29 or y >= 29:
        return (220, 220, 220, 255)
    if 8 <= x < 24 and 8 <= y < 24:
        return (40, 200, 60, 255) if ticked else (20, 20, 24, 255)
    return (20, 20, 24, 255)


def chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)


def png(width, height, pixel, channels=3):
    rows = bytearray()
    for y in range(height):
        rows.append(0)  # no filter
        for x in range(width):
            rows.extend(pixel(x, y))
    colour_type = 2 if channels == 3 else 6
    data = b"\x89PNG\r\n\x1a\n"
    data += chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, colour_type, 0, 0, 0))
    data += chunk(b"IDAT", zlib.compress(bytes(rows), 9))
    data += chunk(b"IEND", b"")
    return data


# The companion's colour per attack.
QIL = {"basic": (255, 220, 90), "arc": (110, 170, 255), "meteor": (255, 130, 60),
       "shield": (120, 230, 150), "fire": (255, 80, 40)}


def menu_button_pixel(x, y):
    rim = x < 4 or y < 4 or x >= 124 or y >= 28
    return (250, 215, 120) if rim else (200, 130, 40)


def textures():
    out = {"tiles.png": png(TILE * COLUMNS, TILE * ROWS, tile_pixel)}
    for face, colour in SKY.items():
        out["sky-%s.png" % face] = png(16, 16, lambda x, y, c=colour: c)
    for face in SKY:
        out["daysky-%s.png" % face] = png(SKY_SIZE, SKY_SIZE, lambda x, y, f=face: daysky_pixel(f, x, y))
    out["stone-floor.png"] = png(STONE, STONE, stone_floor_pixel)
    out["stone-wall.png"] = png(STONE, STONE, stone_wall_pixel)
    out["crate-planks.png"] = png(64, 64, crate_pixel)
    out["grid.png"] = png(64, 64, grid_pixel)
    out["menu-button.png"] = png(128, 32, menu_button_pixel)
    out["plain.png"] = png(4, 4, lambda x, y: (255, 255, 255))
    out["DropShadow.png"] = png(64, 64, shadow_pixel, 4)
    out["marker.png"] = png(64, 64, marker_pixel, 4)
    out["sign.png"] = png(64, 64, sign_pixel, 4)
    out["glass.png"] = png(16, 16, lambda x, y: (80, 200, 220, 128), 4)
    out["particle-sheet.png"] = png(PARTICLE_CELL * 4, PARTICLE_CELL, particle_pixel, 4)
    for bar, colour in HUD_BARS.items():
        out["hud-%s-border.png" % bar] = png(
            BAR_W + 2 * BAR_RIM, BAR_H + 2 * BAR_RIM, lambda x, y, c=colour: bar_border_pixel(x, y, c), 4)
        out["hud-%s-fill.png" % bar] = png(BAR_W, BAR_H, lambda x, y, c=colour: bar_fill_pixel(x, y, c), 4)
    out["checkbox-on.png"] = png(32, 32, lambda x, y: checkbox_pixel(x, y, True), 4)
    out["checkbox-off.png"] = png(32, 32, lambda x, y: checkbox_pixel(x, y, False), 4)
    out["options-highlight.png"] = png(640, 48, lambda x, y: (120, 170, 255, 96), 4)
    for name, colour in QIL.items():
        out["qil-%s.png" % name] = png(16, 16, lambda x, y, c=colour: c)
    return out


def main():
    check = sys.argv[1:] == ["--check"]
    if sys.argv[1:] and not check:
        sys.exit("usage: gen-textures.py [--check]")
    root = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
    folder = os.path.join(root, "rsc", "textures")
    os.makedirs(folder, exist_ok=True)
    differ = []
    for name, data in sorted(textures().items()):
        path = os.path.join(folder, name)
        if check:
            try:
                same = open(path, "rb").read() == data
            except OSError:
                same = False
            if not same:
                differ.append(name)
            continue
        with open(path + ".tmp", "wb") as f:
            f.write(data)
        os.replace(path + ".tmp", path)
    if differ:
        sys.exit("rsc/textures differs from the generator: " + ", ".join(differ))


if __name__ == "__main__":
    main()
