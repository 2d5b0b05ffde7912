"""The chase camera around a temple's camera glide, from a replay's log.

camera_returns.py LOG DT OBJECTS [PLACES]
    LOG holds the traces of "CameraPosUpdate", "CameraLookAtUpdate",
    "CameraPathFinished" and (when the run gets there) "GoalReached" and the
    per-frame positions (TAVRIN_TRACE_POSITIONS) of "spawner-Luvo",
    "exit-obj", "camera-glide-obj" and "camera-glide-back-obj"; DT is the
    run's fixed step; OBJECTS is the run's rsc/objects/level-objects.xobj,
    whose "spawner-camera" gives the chase camera's own distance and angle
    and whose "camera-glide-obj" the glide's. The camera's distance is the
    length from its position to its look-at (the chase camera keeps that
    equal to its distance, whatever its lag or shake) and its angle that
    vector's elevation. From 2 s after the fly-over ends up to the goal (or
    the end of the log), the camera must hold the chase setting whenever the
    player has been outside the glide room (on either side) for 2 s, and the
    glide's whenever the player has been between the strips of the room's
    two ends for 2 s: walking back out of the room gives the chase back,
    walking in again glides again. It never draws back further than the
    farther of the two (and the start of a glide).
    PLACES, when given ("chase,glide,chase,glide"), is the order in which
    the run must have asked for the two settings. Prints what it saw; fails
    otherwise.
"""
import math
import re
import sys

VEC = r"\(([-0-9.e]+), ([-0-9.e]+), ([-0-9.e]+)\)"
# The camera's messages carry three numbers, not a Vec3.
CAMERA = re.compile(r"^.*trace frame (\d+): Camera(Pos|LookAt)Update" + VEC + "$")
EVENT = re.compile(r"^.*trace frame (\d+): (CameraPathFinished|GoalReached)\(\)$")
POSITION = re.compile(r"^.*position frame (\d+): \d+ '([^']+)' " + VEC + "$")
# How far from a strip's middle the player stands wholly past it: half the
# widest strip and half the player.
PAST_STRIP = 2.0


def setting(objects, archetype, component, keys):
    block = re.search(r"<%s>.*?</%s>" % (archetype, archetype), open(objects).read(), re.S).group(0)
    values = re.search(r"<%s>.*?</%s>" % (component, component), block, re.S).group(0)
    return [float(re.search(r"<%s>([^<]*)</" % key, values).group(1)) for key in keys]


def main():
    log, dt = sys.argv[1], float(sys.argv[2])
    chase = setting(sys.argv[3], "spawner-camera", "PlayerCameraLogicComponent", ("ChaseDistance", "Angle"))
    glide = setting(sys.argv[3], "camera-glide-obj", "CameraModifierTriggerListenerComponent",
                    ("ChaseDistance", "NewAngle"))
    eye = at = None
    cameras, events, player, exits, strips = {}, {}, {}, set(), {"camera-glide-obj": set(), "camera-glide-back-obj": set()}
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
            elif name in strips:
                strips[name].add(p[0])
    if "CameraPathFinished" not in events:
        sys.exit("FAIL: no CameraPathFinished in %s" % log)
    settle = int(math.ceil(2.0 / dt))
    start = events["CameraPathFinished"] + settle
    end = events.get("GoalReached", max(player) if player else 0)
    every = strips["camera-glide-obj"] | strips["camera-glide-back-obj"]
    if every:
        # The room runs from the exit before its strips to the exit after them.
        entrance = max(x for x in exits if x < min(every))
        room_exit = min(x for x in exits if x > max(every))
        # The glide holds between the strips of the room's two ends.
        middle = (entrance + room_exit) / 2
        inner = (max(x for x in every if x < middle) + PAST_STRIP, min(x for x in every if x > middle) - PAST_STRIP)
        print("the glide room runs from x %.1f to %.1f, the glide from %.1f to %.1f" % (entrance, room_exit, *inner))
    else:
        print("no glide room in this draw")

    def where(frame):
        x = player[frame][0]
        if every and entrance <= x <= room_exit:
            return "glide" if inner[0] < x < inner[1] else None
        return "chase"

    # What the camera must hold in each frame: the place the player has been
    # in for the last 2 s.
    wanted, place, since = {}, None, 0
    for frame in range(1, end + 1):
        if frame not in player:
            continue
        here = where(frame)
        if here != place:
            place, since = here, frame
        if place and frame >= max(start, since + settle):
            wanted[frame] = place
    settings = {"chase": chase, "glide": glide}
    # A glide starts from the camera as measured, its distance taken to the
    # player's feet rather than to the point 2 above the ground the chase
    # aims at: up to 2 further out than the setting it leaves.
    farthest = max(chase[0], glide[0]) + 2.5
    current, held, failures = None, {"chase": 0, "glide": 0}, []
    for frame in range(1, end + 1):
        current = cameras.get(frame, current)
        if current is None or frame < start:
            continue
        d = [current[0][i] - current[1][i] for i in range(3)]
        length = math.sqrt(sum(c * c for c in d))
        elevation = math.degrees(math.asin(d[1] / length))
        if length > farthest:
            failures.append("at frame %d the camera is %.2f from its look-at, more than %.1f" % (frame, length, farthest))
        if frame not in wanted:
            continue
        distance, angle = settings[wanted[frame]]
        if abs(length - distance) <= 0.1 and abs(elevation - angle) <= 0.5:
            held[wanted[frame]] += 1
        else:
            failures.append("at frame %d (the player %s for 2 s) the camera is at distance %.2f, angle %.2f, not %g, %g"
                            % (frame, "out of the glide room" if wanted[frame] == "chase" else "in the glide",
                               length, elevation, distance, angle))
    if failures:
        sys.exit("FAIL: %s (and %d more)" % (failures[0], len(failures) - 1))
    places = []
    for frame in sorted(wanted):
        if not places or places[-1] != wanted[frame]:
            places.append(wanted[frame])
    if len(sys.argv) > 4 and ",".join(places) != sys.argv[4]:
        sys.exit("FAIL: the run asked for %s, not %s" % (",".join(places) or "nothing", sys.argv[4]))
    print("up to frame %d the camera held the chase setting %g, %g in all %d frames due and the glide's %g, %g in all %d"
          % (end, chase[0], chase[1], held["chase"], glide[0], glide[1], held["glide"]))


main()
