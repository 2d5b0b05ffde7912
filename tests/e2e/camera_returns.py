"""The chase camera after a temple's camera glide, from a replay's log.

camera_returns.py LOG DT OBJECTS
    LOG holds the traces of "CameraPosUpdate", "CameraLookAtUpdate",
    "CameraPathFinished" and "GoalReached" and the per-frame positions
    (TAVRIN_TRACE_POSITIONS) of "spawner-Luvo", "exit-obj" and
    "camera-glide-back-obj"; DT is the run's fixed step; OBJECTS is the
    run's rsc/objects/level-objects.xobj, whose "spawner-camera" gives the
    chase camera's own distance and angle. The camera's
    distance is the length from its position to its look-at (the chase
    camera keeps that equal to its distance, whatever its lag or shake) and
    its angle that vector's elevation. From 2 s after the fly-over ends, and
    when the level drew the glide room from 2 s after the player left it,
    up to the goal, the camera must hold that distance and angle. Prints what it
    saw; fails otherwise.
"""
import math
import re
import sys

VEC = r"\(([-0-9.e]+), ([-0-9.e]+), ([-0-9.e]+)\)"
# The camera's messages carry three numbers, not a Vec3.
CAMERA = re.compile(r"^.*trace frame (\d+): Camera(Pos|LookAt)Update" + VEC + "$")
EVENT = re.compile(r"^.*trace frame (\d+): (CameraPathFinished|GoalReached)\(\)$")
POSITION = re.compile(r"^.*position frame (\d+): \d+ '([^']+)' " + VEC + "$")


def chase_setting(objects):
    camera = re.search(r"<spawner-camera>.*?</spawner-camera>", open(objects).read(), re.S).group(0)
    chase = re.search(r"<PlayerCameraLogicComponent>.*?</PlayerCameraLogicComponent>", camera, re.S).group(0)
    return [float(re.search(r"<%s>([^<]*)</" % key, chase).group(1)) for key in ("ChaseDistance", "Angle")]


def main():
    log, dt = sys.argv[1], float(sys.argv[2])
    distance, angle = chase_setting(sys.argv[3])
    eye = at = None
    cameras, events, player, exits, glide_back = {}, {}, {}, set(), None
    for line in open(log, errors="replace"):
        line = line.rstrip("\n")
        m = CAMERA.match(line)
        if m:
            v = tuple(float(m.group(i)) for i in (3, 4, 5))
            eye, at = (v, at) if m.group(2) == "Pos" else (eye, v)
            if eye and at:
                cameras[int(m.group(1))] = (eye, at)
            continue
        m = EVENT.match(line)
        if m:
            events.setdefault(m.group(2), int(m.group(1)))
            continue
        m = POSITION.match(line)
        if m:
            frame, name, p = int(m.group(1)), m.group(2), tuple(float(m.group(i)) for i in (3, 4, 5))
            if name == "spawner-Luvo":
                player.setdefault(frame, p)
            elif name == "exit-obj":
                exits.add(p[0])
            elif name == "camera-glide-back-obj":
                glide_back = p[0]
    for needed in ("CameraPathFinished", "GoalReached"):
        if needed not in events:
            sys.exit("FAIL: no %s in %s" % (needed, log))
    settle = int(math.ceil(2.0 / dt))
    due = events["CameraPathFinished"] + settle
    if glide_back is not None:
        room_exit = min(x for x in exits if x > glide_back)
        left = min(f for f, p in player.items() if p[0] > room_exit)
        print("the glide room ends at x %.1f; the player left it at frame %d" % (room_exit, left))
        due = max(due, left + settle)
    else:
        left = None
        print("no glide room in this draw")
    end = events["GoalReached"]
    # The first frame from which the camera holds the setting up to the goal.
    back, current = None, None
    for frame in range(1, end + 1):
        current = cameras.get(frame, current)
        if current is None:
            continue
        d = [current[0][i] - current[1][i] for i in range(3)]
        length = math.sqrt(sum(c * c for c in d))
        elevation = math.degrees(math.asin(d[1] / length))
        held = abs(length - distance) <= 0.1 and abs(elevation - angle) <= 0.5
        if not held:
            back, last = None, (frame, length, elevation)
        elif back is None:
            back = frame
    if back is None or back > due:
        frame, length, elevation = last
        sys.exit("FAIL: at frame %d (due back by %d) the camera is at distance %.2f, angle %.2f, not %g, %g"
                 % (frame, due, length, elevation, distance, angle))
    after = " (%.2f s after the player left the glide room)" % ((back - left) * dt) if left is not None else ""
    print("the camera holds distance %g and angle %g from frame %d%s to the goal at %d"
          % (distance, angle, back, after, end))


main()
