#!/usr/bin/env python3
# Writes the rooms of the sample levels into rsc/level. Each room is planned
# here as room-file text, then written by tools/room-writer in the level
# editor's own form (only the values that differ from each archetype), so a
# shipped room loaded in the editor and saved unchanged is the same file.
# With --check it writes nothing and fails when a checked-in room differs from
# what it would write (after hand edits or a change here without a re-run).
#   gen-sample-rooms.py [--check] [--writer PATH]
# Without --writer (or LV_ROOM_WRITER) it builds the writer in build/tools.
import os
import re
import shutil
import subprocess
import sys
import tempfile

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
ARGS = sys.argv[1:]
CHECK = "--check" in ARGS
WRITER = ARGS[ARGS.index("--writer") + 1] if "--writer" in ARGS else os.environ.get("LV_ROOM_WRITER")
plans = []
def T(x, y, z, sx=None, sy=None, sz=None, ry=None):
    s = "<TransformComponent><PosX>%f</PosX><PosY>%f</PosY><PosZ>%f</PosZ>" % (x, y, z)
    if ry is not None: s += "<RotY>%f</RotY>" % ry
    if sx is not None: s += "<ScaX>%f</ScaX>" % sx
    if sy is not None: s += "<ScaY>%f</ScaY>" % sy
    if sz is not None: s += "<ScaZ>%f</ScaZ>" % sz
    return s + "</TransformComponent>"
def O(name, *parts): return "<%s>%s</%s>" % (name, "".join(parts), name)
def entrance(): return O("entrance-obj", T(0, 0, 0), "<PortalComponent><type-name>Entrance</type-name></PortalComponent>")
def exitp(x): return O("exit-obj", T(x, 0, 0), "<PortalComponent><type-name>Exit</type-name></PortalComponent>")
def trig(i): return "<PlayerTriggerComponent><TriggerId>%d</TriggerId><NumUses>1</NumUses></PlayerTriggerComponent>" % i
def listen(i): return "<TriggerListenerComponent><TriggerId>%d</TriggerId></TriggerListenerComponent>" % i
def arena():
    # a 60 x 60 floor with four walls 8 high, the region over it
    return [O("floor-piece-obj", T(30, -0.5, 0, 60, None, 60)),
            O("wall-piece-obj", T(30, 4, 32, 68, 8, 4)),
            O("wall-piece-obj", T(30, 4, -32, 68, 8, 4)),
            O("wall-piece-obj", T(62, 4, 0, 4, 8, 60)),
            # the west wall leaves the corridor from the start room open
            O("wall-piece-obj", T(-2, 4, 18, 4, 8, 25)),
            O("wall-piece-obj", T(-2, 4, -18, 4, 8, 25)),
            O("yak-arena-obj", T(30, 5, 0, 60, 10, 60))]

# The look of a room, kept apart from its play: textures repeated once per
# two units on floors and walls, the near wall (the -z side, between the
# chase camera and the player) hidden and shown as a low trim so it never
# hides the player (its collider stays where it was), and lanterns along
# the walls that fill the lit program's light slots. Everything here is
# appended after a room's own objects or changes only their meshes, so the
# play of a room and the ids of its objects are those of its plan.
def scale_of(obj, depth=0.5):
    # position and size; a size the room leaves out is its archetype's
    values = dict(re.findall(r"<(Pos[XYZ]|Sca[XYZ])>([-0-9.]+)</", obj))
    get = lambda key, default: float(values.get(key, default))
    return (get("PosX", 0), get("PosY", 0), get("PosZ", 0)), (get("ScaX", 20), get("ScaY", 4), get("ScaZ", depth))
def tiles(x, y):
    return "<MeshComponent><TextureTiles_x>%f</TextureTiles_x><TextureTiles_y>%f</TextureTiles_y></MeshComponent>" % (
        max(1, round(x / 2)), max(1, round(y / 2)))
def textured(obj):
    name = obj[1:obj.index(">")]
    (x, y, z), (sx, sy, sz) = scale_of(obj)
    if name == "floor-piece-obj":
        (x, y, z), (sx, sy, sz) = scale_of(obj, depth=10)
        return obj[:-len("</%s>" % name)] + tiles(sx, sz) + "</%s>" % name
    if name == "wall-piece-obj":
        return obj[:-len("</%s>" % name)] + tiles(max(sx, sz), sy) + "</%s>" % name
    return obj
def is_near_wall(obj):
    # a wall along the near side, or a tall one wholly on that side (an
    # arena's west wall beside the corridor that leads in)
    if not obj.startswith("<wall-piece-obj>"): return False
    (x, y, z), (sx, sy, sz) = scale_of(obj)
    return (z < 0 and sx > sz and sy > 1) or (z + sz / 2 < 0 and sy >= 4)
def lantern(kind, x, y, z): return O(kind, T(x, y, z))
def dressed(objects):
    out, extra = [], []
    walls = [scale_of(o) for o in objects if o.startswith("<wall-piece-obj>")]
    for obj in objects:
        if is_near_wall(obj):
            (x, y, z), (sx, sy, sz) = scale_of(obj)
            out.append(obj.replace("wall-piece-obj", "near-wall-piece-obj"))
            extra.append(O("wall-trim-obj", T(x, 0.4, z, sx, 0.8, sz), tiles(sx, 2)))
        else:
            out.append(textured(obj))
    # lanterns along the far wall and the near trim, about every ten units
    far = [w for w in walls if w[0][2] > 0 and w[1][0] > w[1][2]]
    near = [w for w in walls if w[0][2] < 0 and w[1][0] > w[1][2]]
    arena = any(w[1][1] > 4 for w in walls)
    kind = "arena-lantern-obj" if arena else "lantern-obj"
    # Only the middle lantern of the far wall sheds light (each light costs
    # every lit pixel a pass of the shader's loop); the others glow.
    glow = "arena-lantern-glow-obj" if arena else "lantern-glow-obj"
    spots = []
    for (x, y, z), (sx, sy, sz) in far:
        inner = z - sz / 2 - 0.4
        count = max(1, int(sx // 12))
        spots += [(x - sx / 2 + sx * (i + 0.5) / count, 3.2, inner) for i in range(count)]
    lit = len(spots) // 2
    for (x, y, z), (sx, sy, sz) in near:
        inner = z + sz / 2 + 0.4
        count = max(1, int(sx // 16))
        spots += [(x - sx / 2 + sx * (i + 0.5) / count, 1.2, inner) for i in range(count)]
    for i, spot in enumerate(spots):
        extra.append(lantern(kind if i == lit else glow, *spot))
    return out + extra
def write(name, difficulty, objects):
    objects = dressed(objects)
    text = "<Level>\n    <Attributes>\n        <Difficulty>%d</Difficulty>\n    </Attributes>\n    <Objects>\n" % difficulty
    text += "".join("        %s\n" % o for o in objects)
    text += "    </Objects>\n</Level>\n"
    plans.append((name, text))

# A trigger that starts a fight spans the room across the way through it,
# from inside one side wall to inside the other (`across` in z), so no
# path from the entrance to the way out passes it by.
def fight_trigger(x, across, i): return O("boss-trigger-obj", T(x, 1, 0, None, None, across), trig(i))
# The outer walls of the corridors and end rooms are 2 thick, more than a
# dash covers in one physics step, growing outward from the walls' inner
# faces (at z = +-5 and the end); the arenas' are 4.
# Level 1, middle room: a yak wave set off as the player walks in, one
# yak per trigger crossed. The wave has no timer: the gate of the last room
# counts every yak made after it rises, so a wave that refilled itself for
# ever would keep the gate shut.
# The gate sinks when the last thing it counts is gone, so the nests of the
# last room rise with the wave's first yak: were they set off later, a
# player who killed the yaks as they came would see the gate sink before
# the nests rose. They stand in the last room (its entrance is this room's
# exit, at x 30), out of reach until the wave's triggers are all crossed;
# while a nest stands its wave makes no other.
write("room-yak-nests", 1, [
    entrance(),
    O("floor-piece-obj", T(15, -0.5, 0, 30)),
    O("wall-piece-obj", T(15, 2, 6, 30, None, 2)),
    O("wall-piece-obj", T(15, 2, -6, 30, None, 2)),
    fight_trigger(4, 11, 3),
    fight_trigger(10, 11, 3),
    fight_trigger(16, 11, 3),
    O("yak-wave-obj", T(20, 0.5, 2.5), listen(3)),
    O("yak-nest-wave-obj", T(42, 1, 3), listen(3)),
    O("yak-nest-wave-obj", T(48, 1, -3), listen(3)),
    O("health-pack-obj", T(26, 1, -3)),
    exitp(30)])
# The menhir's stone is 0.8 deep for each unit of its z scale: the scale
# that makes a gate as long as the way it closes, measured from the middle
# of one wall to the middle (or the far face) of the other, so that its
# ends sink into the walls and leave no gap at either end.
def gate_across(length): return length / 0.8
# Level 1, last room: the nests of the middle room's wave at x 12 and 18,
# then the gate, which counts the yaks and nests made after it rises; the
# goal behind it.
write("room-yak-gate", 1, [
    entrance(),
    O("floor-piece-obj", T(20, -0.5, 0, 40)),
    O("wall-piece-obj", T(20, 2, 6, 40, None, 2)),
    O("wall-piece-obj", T(20, 2, -6, 40, None, 2)),
    O("wall-piece-obj", T(41, 2, 0, 2, None, 14)),
    O("menhir-gate-obj", T(28, 2, 0, 1, 2, gate_across(10.5))),
    O("goal-obj", T(36, 1, 0))])
# The boss rooms keep their goal in a corner, off the way to the trigger,
# walled in with a menhir gate across its way in: the gate stands after
# every spawner of the room, so it counts only what is made after the room
# (the boss, and whatever the boss makes), and sinks once they are all
# gone. A player who runs past the boss finds the goal shut. The goal, which
# the gate does not count, closes the room as in every level.
def goal_alcove():
    # the gate runs from inside the south wall (z -30.5) to the alcove
    # wall's north face (z -21.75), covering that wall's west end
    return [O("wall-piece-obj", T(56, 2, -22, 8.5)),
            O("menhir-gate-obj", T(52, 2, -26.125, 1, 2, gate_across(8.75))),
            O("goal-obj", T(56, 1, -25))]
# The chase camera draws back over an arena as the player comes in through
# its west passage (the trigger fills the passage), so the boss stays in
# view; the yak and bird bosses glide it back when they die. Drawn back, it
# sees past the hidden near wall: a strip of floor without a collider lies
# beyond it, so the ground goes on there instead of the sky.
def arena_camera():
    return [O("camera-arena-obj", T(-2, 2, 0), trig(30), listen(30)),
            O("floor-apron-obj", T(30, -0.5, -45, 68, None, 22), tiles(68, 22))]
# Level 2: the brood mother, made by a wave spawner when the player walks in.
write("room-brood-hall", 2, arena()[:6] + arena_camera() + [
    entrance(),
    O("yak-arena-obj", T(30, 5, 0, 60, 10, 60)),
    O("brood-mother-spawner-obj", T(40, 0, 0), listen(5)),
    fight_trigger(10, 62, 5)] + goal_alcove())
# Level 3: the yak boss arena; its tiles come before the boss's spawner.
write("room-yak-boss", 3, [entrance()] + arena() + arena_camera() + [
    O("yak-tile-obj", T(30, 0.01, 15)),
    O("yak-tile-obj", T(30, 0.01, -15)),
    O("yak-boss-spawner-obj", T(45, 0, 0), listen(7)),
    fight_trigger(10, 62, 7)] + goal_alcove())
# Level 4: birds and their boss.
write("room-bird-boss", 4, [entrance()] + arena() + arena_camera() + [
    O("bird-red-obj", T(25, 2, 10)),
    O("bird-blue-obj", T(25, 2, -10)),
    O("bird-boss-spawner-obj", T(40, 6, 0), listen(9)),
    fight_trigger(10, 62, 9)] + goal_alcove())
# Level 5: the fox arena; the manager's victory ends the game.
write("room-fox-boss", 5, [entrance()] + arena() + arena_camera() + [
    O("fox-tile-obj", T(50, 0.01, 20, ry=135)),
    O("fox-tile-obj", T(50, 0.01, -20, ry=45)),
    O("fox-manager-obj", T(30, 0, 0), listen(11),
      "<FoxManagerComponent><TotalFoxNumber>2</TotalFoxNumber></FoxManagerComponent>"),
    O("fox-boss-spawner-obj", T(45, 1, 0), listen(11)),
    fight_trigger(10, 62, 11)])

# The two temple levels: a start, two rooms drawn at random from three of
# rising "Difficulty", and an end room with two power-ups on the way to the
# goal. Every middle room is a straight corridor of one length with its
# objects off the middle line, so each draw is walked through the same way
# and is as long as any other.
def corridor(difficulty, name, objects):
    write(name, difficulty, [
        entrance(),
        O("floor-piece-obj", T(12, -0.5, 0, 24)),
        O("wall-piece-obj", T(12, 2, 6, 24, None, 2)),
        O("wall-piece-obj", T(12, 2, -6, 24, None, 2))] + objects + [exitp(24)])
def pen(x):
    # A low fence round a charger on the north side: it charges at the
    # player and slams into the fence.
    return [O("wall-piece-obj", T(x, 1, 2.25, 8, 2, 0.5)),
            O("wall-piece-obj", T(x - 4, 1, 3.75, 0.5, 2, 2.5)),
            O("wall-piece-obj", T(x + 4, 1, 3.75, 0.5, 2, 2.5)),
            O("charger-yak-obj", T(x, 0.75, 3.75))]
def temple_end(name, first, second):
    write(name, 0, [
        entrance(),
        O("floor-piece-obj", T(13, -0.5, 0, 26)),
        O("wall-piece-obj", T(13, 2, 6, 26, None, 2)),
        O("wall-piece-obj", T(13, 2, -6, 26, None, 2)),
        O("wall-piece-obj", T(27, 2, 0, 2, None, 14)),
        O(first, T(6, 1, 0)),
        O(second, T(14, 1, 0)),
        O("goal-obj", T(22, 1, 0))])
# A glide room: the camera glides out (camera-glide-obj) past the first
# strip and back to the chase (camera-glide-back-obj) before the exit, and
# the same the other way round, so a player who turns back gets the chase
# back on leaving and the glide again on coming in. Each end has a chase
# strip on its outer side and a glide strip on its inner side, a unit apart
# so the player never touches both at once: the last strip walked through
# says what the camera does. The strips are 3 wide, more than a dash covers
# in a frame at 30 frames a second, so none is dashed over, and fire every
# time (a use per physics step of contact; the camera ignores a request for
# the setting it already has), the four ids counting up from `first`.
def strip(i): return "<PlayerTriggerComponent><TriggerId>%d</TriggerId><NumUses>1000000</NumUses></PlayerTriggerComponent>" % i
def glide_strips(first):
    return [O("camera-glide-obj", T(5.5, 2, 0, 3), strip(first), listen(first)),
            O("camera-glide-back-obj", T(22.5, 2, 0, 3), strip(first + 1), listen(first + 1)),
            O("camera-glide-back-obj", T(1.5, 2, 0, 3), strip(first + 2), listen(first + 2)),
            O("camera-glide-obj", T(18.5, 2, 0, 3), strip(first + 3), listen(first + 3))]
# The first temple: a healing station, the light's target and a spike trap;
# a room where the camera glides up and back; a burrowing fox.
corridor(1, "room-shrine-light", [
    O("health-station-obj", T(12, 1, -3.5)),
    O("light-target-obj", T(12, 3, 0)),
    O("spike-trap-obj", T(6, 0.1, 3.5))])
corridor(2, "room-shrine-glide", glide_strips(21) + [
    O("spike-trap-obj", T(12, 0.1, -3.5))])
corridor(3, "room-shrine-fox", [
    O("fox-obj", T(14, 0, 3.5)),
    O("health-pack-obj", T(20, 1, -3.5))])
temple_end("room-shrine-end", "arc-powerup-obj", "meteor-powerup-obj")
# The second temple: the chargers' pens, the glide, the fox.
corridor(1, "room-hall-pen", pen(12) + [O("health-pack-obj", T(20, 1, -3.5))])
corridor(2, "room-hall-glide", glide_strips(23) + pen(12))
corridor(3, "room-hall-fox", [
    O("fox-obj", T(10, 0, -3.5)),
    O("health-station-obj", T(18, 1, 3.5))])
temple_end("room-hall-end", "shield-powerup-obj", "fire-powerup-obj")

def room_writer():
    if WRITER: return WRITER
    build = os.environ.get("LV_TOOLS_BUILD_DIR", os.path.join(ROOT, "build", "tools"))
    subprocess.run(["cmake", "-S", ROOT, "-B", build, "-DCMAKE_BUILD_TYPE=Release", "-DLV_BUILD_TESTS=OFF",
                    "-DLV_BUILD_BENCH=OFF"], check=True, stdout=subprocess.DEVNULL)
    subprocess.run(["cmake", "--build", build, "--target", "room-writer", "-j", str(os.cpu_count() or 2)], check=True)
    return os.path.join(build, "room-writer")

def read(path):
    try:
        with open(path, "rb") as f: return f.read()
    except OSError:
        return None

with tempfile.TemporaryDirectory(prefix="gen-rooms-") as scratch:
    planned, written = os.path.join(scratch, "plans"), os.path.join(scratch, "rooms")
    os.makedirs(planned); os.makedirs(written)
    for name, text in plans:
        with open(os.path.join(planned, name + ".xrm"), "w") as f: f.write(text)
    # The writer's sanitizer build leaks nothing of ours; its libraries' leaks are no fault here.
    env = dict(os.environ, ASAN_OPTIONS=os.environ.get("ASAN_OPTIONS", "detect_leaks=0"))
    run = subprocess.run([room_writer(), os.path.join(ROOT, "rsc"), written] +
                         [os.path.join(planned, name + ".xrm") for name, _ in plans], env=env)
    if run.returncode != 0:
        print("tools/room-writer failed (exit %d)" % run.returncode)
        sys.exit(1)
    stale = []
    for name, _ in plans:
        made = read(os.path.join(written, name + ".xrm"))
        path = os.path.join(ROOT, "rsc", "level", name + ".xrm")
        if made is None:
            print("tools/room-writer wrote no %s.xrm" % name)
            sys.exit(1)
        if read(path) == made: continue
        if CHECK:
            stale.append(path)
        else:
            shutil.copyfile(os.path.join(written, name + ".xrm"), path)

if stale:
    print("rooms differ from scripts/gen-sample-rooms.py: " + ", ".join(stale))
    sys.exit(1)
