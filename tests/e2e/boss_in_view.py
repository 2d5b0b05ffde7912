"""How much of a boss fight a player sees, from a replay's log.

boss_in_view.py LOG WIDTH HEIGHT BOSS[,BOSS...][/STAND-IN[,STAND-IN...]]
    LOG holds the traces of "CameraPosUpdate", "CameraLookAtUpdate" and
    "BossHealthChanged" and the per-frame positions (TAVRIN_TRACE_POSITIONS)
    of the player ("spawner-Luvo"), the bosses and their stand-ins: while a
    stand-in exists (the yak boss's mini-bosses, while the boss hides) it is
    the one that must be in view, not the boss. The fight runs from the
    first boss's first position to the last bar at 0 (or to the last boss's
    last position); in each of its frames the camera is the last
    position and look-at sent up to that frame, seen through the game's
    projection (a vertical field of view of 0.33 pi, the window's aspect).
    Prints the share of those frames with a boss's centre inside the view
    and the smallest height of the player's figure on screen, and fails
    when the boss is in view in less than half of the frames or the player
    is ever less than 5% of the screen's height.
"""
import math
import re
import sys

FOV_Y = math.pi * 0.33
NEAR = 1.0
PLAYER = "spawner-Luvo"
# The player's figure about its position (its feet): the model's body.
FIGURE = [(x, y, z) for x in (-0.5, 0.5) for y in (0.0, 1.8) for z in (-0.28, 0.46)]

VEC = r"\(([-0-9.e]+), ([-0-9.e]+), ([-0-9.e]+)\)"
# The camera's messages carry three numbers, not a Vec3.
CAMERA = re.compile(r"^.*trace frame (\d+): Camera(Pos|LookAt)Update" + VEC + "$")
POSITION = re.compile(r"^.*position frame (\d+): \d+ '([^']+)' " + VEC + "$")
DEATH = re.compile(r"^.*trace frame (\d+): BossHealthChanged\([^,]+, 0\)$")


def sub(a, b):
    return (a[0] - b[0], a[1] - b[1], a[2] - b[2])


def dot(a, b):
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]


def cross(a, b):
    return (a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0])


def unit(a):
    n = math.sqrt(dot(a, a))
    return (a[0] / n, a[1] / n, a[2] / n)


def project(eye, at, aspect, point):
    """Normalised device (x, y) of point, or None behind the near plane."""
    forward = unit(sub(at, eye))
    right = unit(cross((0.0, 1.0, 0.0), forward))
    up = cross(forward, right)
    d = sub(point, eye)
    depth = dot(d, forward)
    if depth < NEAR:
        return None
    f = 1.0 / math.tan(FOV_Y / 2)
    return (dot(d, right) * f / aspect / depth, dot(d, up) * f / depth)


def main():
    log, width, height = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
    bosses, _, standins = sys.argv[4].partition("/")
    bosses, standins = set(bosses.split(",")), set(standins.split(",")) - {""}
    aspect = width / height
    eye = at = None
    cameras = {}  # frame -> (eye, look-at) at the end of the frame's sends
    positions = {}  # frame -> {name: [positions]}
    deaths = []
    for line in open(log, errors="replace"):
        m = DEATH.match(line.rstrip("\n"))
        if m:
            deaths.append(int(m.group(1)))
            continue
        m = CAMERA.match(line.rstrip("\n"))
        if m:
            v = (float(m.group(3)), float(m.group(4)), float(m.group(5)))
            if m.group(2) == "Pos":
                eye = v
            else:
                at = v
            if eye and at:
                cameras[int(m.group(1))] = (eye, at)
            continue
        m = POSITION.match(line.rstrip("\n"))
        if m:
            positions.setdefault(int(m.group(1)), {}).setdefault(m.group(2), []).append(
                (float(m.group(3)), float(m.group(4)), float(m.group(5))))
    fight = sorted(f for f, seen in positions.items() if bosses & set(seen))
    if not fight:
        sys.exit("FAIL: no position of %s in %s" % (",".join(sorted(bosses)), log))
    last = max(deaths) if deaths else fight[-1]
    camera, inside, frames, smallest = None, 0, 0, 1.0
    for frame in range(1, last + 1):
        camera = cameras.get(frame, camera)
        if frame < fight[0] or camera is None:
            continue
        seen = positions.get(frame, {})
        if PLAYER not in seen:
            continue
        frames += 1
        eye, at = camera
        foes = standins if standins & set(seen) else bosses
        shown = [project(eye, at, aspect, p) for name in foes for p in seen.get(name, [])]
        if any(s and abs(s[0]) <= 1 and abs(s[1]) <= 1 for s in shown):
            inside += 1
        feet = seen[PLAYER][0]
        ys = [project(eye, at, aspect, (feet[0] + x, feet[1] + y, feet[2] + z)) for x, y, z in FIGURE]
        if all(ys):
            smallest = min(smallest, (max(p[1] for p in ys) - min(p[1] for p in ys)) / 2)
    if frames == 0:
        sys.exit("FAIL: no frame of the fight has the player and the camera")
    share = inside / frames
    print("boss in view in %d of %d frames of the fight (%.0f%%); the player at least %.1f%% of the screen height"
          % (inside, frames, 100 * share, 100 * smallest))
    if share < 0.5:
        sys.exit("FAIL: the boss is in view in less than half of the fight")
    if smallest < 0.05:
        sys.exit("FAIL: the player shrinks below 5% of the screen height")


main()
