#!/usr/bin/env bash
# Test Level and back, and Loads that fail, as a designer does them, in one
# run of the editor:
#  1. a shipped room is loaded and saved ("fresh"); Loads of a name that
#     names no room and of a broken (cut) room file fail, the status line
#     says so at the bottom of the window, and the room saved then ("kept")
#     is the same file, with the shipped room's objects in order;
#  2. the start room (its floor cut short at x 14, so that walking right
#     falls) is loaded, the camera flown and turned, the room saved
#     ("before-test"); "Test Level" plays it, Escape opens the pause menu,
#     whose "Back to editor" ends the play, and the room is saved again
#     ("after-pause");
#  3. a second test: the player walks off the floor and dies; the lost
#     menu's "Back to editor" (never the title screen) ends the play, and the
#     room is saved again ("after-death");
#  4. the view after both tests is the one flown to before the first (the
#     camera's pose came back), and ten Loads in a row each show the room
#     (a pixel check per Load: the sky and the room, not a black view).
#  5. a Load of a room with objects of archetypes the game does not know
#     names them on the status line, a Load of a 300-character name says
#     why it failed inside the window, and a Test Level of a room the game
#     refuses says so there too.
# The three saves around the tests are the same file. Rooms copied in under
# the names of the HUD's scene and of the states hide neither: the tests
# have their HUD and pause menu.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/e2e_common.bash" "$@"
# A bound on the run: the plays wait for "GameReady". Game time runs at
# twice the usual step, so the death's fade takes half the frames.
export TAVRIN_MAX_FRAMES=900 TAVRIN_FIXED_DT=0.032
export TAVRIN_TRACE_MESSAGES=GameReady,GameLost,StateReturn,PlayerDeath
keepXdg=1
user_folder test-level
mkdir -p shots

# in_order FILE TEXT...: each fixed TEXT is on a line after the one before.
in_order() {
  local file=$1 from=0 at
  shift
  for text in "$@"; do
    at=$(tail -n +"$((from + 1))" "$file" | grep -nF -m1 -- "$text" | cut -d: -f1 || true)
    [ -n "$at" ] || fail "$(basename "$file"): no '$text' after line $from"
    from=$((from + at))
  done
}

cat > rsc/leveleditor.xcfg <<'XML'
<LevelEditor>
    <ObjectBarPosX>10</ObjectBarPosX><ObjectBarPosY>420</ObjectBarPosY>
    <PaletteBarPosX>320</PaletteBarPosX><PaletteBarPosY>420</PaletteBarPosY>
    <LoadingFrom>room-start</LoadingFrom>
</LevelEditor>
XML
head -c 700 rsc/level/room-mid-a.xrm > rsc/level/broken.xrm
for name in hud states; do cp rsc/level/room-mid-a.xrm "rsc/level/$name.xrm"; done
sed 's|<Objects>|<Objects><ghost-obj /><old-lamp-obj /><ghost-obj />|' rsc/level/room-mid-a.xrm > rsc/level/ghosts.xrm
longName=$(printf 'n%.0s' $(seq 300))
room_sub rsc/level/room-start.xrm floor-piece-obj "<PosX>10.000000</PosX>" "<PosX>7.000000</PosX><ScaX>14.000000</ScaX>"

# type_into FRAME FIELD TEXT: script lines that type TEXT into the "I/O"
# field FIELD from FRAME on (12 frames); click FRAME ENTRY: a click on an
# "Editor Info" entry "GROUP|NAME" (3 frames).
type_into() {
  local f=$1
  printf '%s mouse item Editor Info|I/O|%s\n%s mouse left down\n%s mouse left up\n' $f "$2" $((f + 1)) $((f + 2))
  printf '%s key 17 down\n%s key A down\n%s key A up\n%s key 17 up\n' $((f + 4)) $((f + 5)) $((f + 6)) $((f + 7))
  printf '%s text %s\n%s key 13 down\n%s key 13 up\n' $((f + 8)) "$3" $((f + 9)) $((f + 10))
}
click() { printf '%s mouse item Editor Info|%s\n%s mouse left down\n%s mouse left up\n' $1 "$2" $(($1 + 1)) $(($1 + 2)); }
save_as() { type_into $1 "Saving To" "$2"; click $(($1 + 12)) "I/O|Save Level"; }
load_from() { type_into $1 "Loading From" "$2"; click $(($1 + 12)) "I/O|Load Level"; }
key() { printf '%s key %s down\n%s key %s up\n' $1 $2 $(($1 + 1)) $2; }

# The ten Loads come at fixed frames, well after the second test has ended
# (checked below from the traced frames); each is looked at 3 frames later.
firstLoad=540
shots="$work/shots/status.png@72,$work/shots/unflown.png@122,$work/shots/flown.png@150"
shots="$shots,$work/shots/back.png@$((firstLoad - 4))"
shots="$shots,$work/shots/ghosts.png@$((firstLoad + 81)),$work/shots/long.png@$((firstLoad + 101))"
shots="$shots,$work/shots/untested.png@$((firstLoad + 121)),$work/shots/no-such.png@60"
{
  load_from 10 room-mid-a
  save_as 26 fresh
  load_from 42 no-such-room
  load_from 58 broken
  save_as 74 kept
  load_from 100 room-start
  # Fly: forward and right with W and D, then turn with the right button.
  printf '124 mouse move 800 500 0 0\n126 key W down\n136 key W up\n126 key D down\n131 key D up\n'
  printf '138 mouse right down\n139 mouse move 840 470 40 -30\n140 mouse move 870 450 30 -20\n141 mouse right up\n'
  save_as 152 before-test
  for i in $(seq 0 9); do
    f=$((firstLoad + 6 * i))
    key $f 186
    shots="$shots,$work/shots/load-$i.png@$((f + 3))"
  done
  load_from $((firstLoad + 64)) ghosts
  load_from $((firstLoad + 84)) "$longName"
  type_into $((firstLoad + 104)) "Loading From" broken
  click $((firstLoad + 116)) "|Test Level"
  printf '%s close\n' $((firstLoad + 124))
  click 168 "|Test Level"
  level_start
  key 40 27   # the pause menu
  key 62 40   # down to "Back to editor", once the menu takes keys (0.3 s)
  key 66 13
  printf 'at StateReturn\n'
  save_as 10 after-pause
  click 30 "|Test Level"
  level_start
  printf '25 key 39 down\n75 key 39 up\n'   # right, off the floor's end
  printf 'at GameLost\n'
  key 20 40; key 24 40   # down twice to "Back to editor"
  key 28 13
  printf 'at StateReturn\n'
  save_as 10 after-death
} > script.txt

TAVRIN_INPUT_SCRIPT="$work/script.txt" TAVRIN_SCREENSHOT="$shots" run_program test-level -l
expect_clean_run test-level
log=$(log_file)
cp "$log" "$work/run.log"

# 1. Loads that fail keep the room.
expect_line "$log" "LevelEditor: the room 'no-such-room' could not be loaded (no such room); the editor keeps the room it had"
grep -qE "LevelEditor: the room 'broken' could not be loaded \(.+\); the editor keeps the room it had" "$log" ||
  fail "the broken room's failure is not logged"
expect_no_line "$log" "the editor holds no objects"
cmp -s rsc/level/fresh.xrm rsc/level/kept.xrm || { diff rsc/level/fresh.xrm rsc/level/kept.xrm >&2; fail "a failed Load changed the room"; }
python3 - "$src/rsc/level/room-mid-a.xrm" rsc/level/kept.xrm <<'PY' || fail "the kept room is not the shipped one"
import sys
import xml.etree.ElementTree as ET
def objects(path):
    return [element.tag for element in ET.parse(path).getroot().find("Objects")]
shipped, kept = objects(sys.argv[1]), objects(sys.argv[2])
assert shipped == kept, (shipped, kept)
PY
# status_line SHOT [EARLIER]: the status line, a dark red strip along the
# bottom of the window, is in SHOT, with another text than in EARLIER.
status_line() {
  python3 - "$here" "shots/$1.png" "shots/${2:-$1}.png" <<'PY' || fail "no (new) status line in $1.png"
import sys
sys.path.insert(0, sys.argv[1])
from png_rows import read_rgba
width, height, rows = read_rgba(sys.argv[2])
red = sum(1 for x in range(width) if (lambda r, g, b: r > 90 and g < 50 and b < 50)(*rows[height - 3][4 * x:4 * x + 3]))
assert red > width * 0.9, "%d of %d pixels of the bottom row are the strip's red" % (red, width)
if sys.argv[3] != sys.argv[2]:
    assert rows[height - 22:] != read_rgba(sys.argv[3])[2][height - 22:], "the same text as before"
PY
}
status_line status

# 2, 3. Both tests came back; the room is the same after each.
expect_line "$log" "LevelEditor: saved the room 'before-test' ("
[ "$(grep -c "LevelEditor: test-playing the room 'room-start'" "$log")" -eq 2 ] || fail "two tests expected"
[ "$(grep -c "LevelEditor: back from test-playing the room 'room-start'" "$log")" -eq 2 ] || fail "two returns expected"
in_order "$log" "LevelEditor: saved the room 'after-pause' (" ": PlayerDeath(" ": GameLost()" ": game-lost-menu" \
  "LevelEditor: back from test-playing" "LevelEditor: saved the room 'after-death' ("
expect_no_line "$log" ": main-menu"
expect_no_line "$log" "no element 'Attributes'"
for after in after-pause after-death; do
  cmp -s rsc/level/before-test.xrm "rsc/level/$after.xrm" ||
    { diff rsc/level/before-test.xrm "rsc/level/$after.xrm" >&2; fail "the room changed across the test ($after)"; }
done
grep -q "<Difficulty>0</Difficulty>" rsc/level/after-death.xrm || fail "the room's difficulty was lost"
grep -q "<spawner-Luvo" rsc/level/after-death.xrm || fail "the player's spawner is missing"
back=$(grep -oE "trace frame [0-9]+: StateReturn" "$log" | tail -1 | grep -oE "[0-9]+" | head -1)
[ -n "$back" ] && [ "$back" -lt $((firstLoad - 30)) ] ||
  fail "the second test ended at frame ${back:-never}, too late for the Loads from frame $firstLoad"

# 4. The view is the one flown to, and every Load shows the room.
python3 - "$here" shots <<'PY' || fail "the view after the tests or after a Load is wrong"
import sys
sys.path.insert(0, sys.argv[1])
from png_rows import read_rgba
folder = sys.argv[2]
def view(name):
    # The 3D view right of the bars, above the status line.
    width, height, rows = read_rgba(folder + "/" + name)
    return [tuple(rows[y][4 * x:4 * x + 3]) for y in range(0, height - 40, 4) for x in range(640, width, 4)]
def difference(a, b):
    return sum(abs(p - q) for u, v in zip(a, b) for p, q in zip(u, v)) / (3.0 * len(a))
unflown, flown, back = view("unflown.png"), view("flown.png"), view("back.png")
print("view: flying changed it by %.1f, the tests by %.1f" % (difference(unflown, flown), difference(flown, back)))
assert difference(unflown, flown) > 8, "flying did not change the view"
assert difference(flown, back) < 3, "the camera did not come back to where it was flown"
for i in range(10):
    pixels = view("load-%d.png" % i)
    dark = sum(1 for p in pixels if max(p) < 24)
    assert dark < len(pixels) // 10, "Load %d: %d of %d pixels are black" % (i + 1, dark, len(pixels))
    assert difference(pixels, back) < 3, "Load %d: the view is not the room's" % (i + 1)
PY
[ ! -e "$work/rsc/leveleditor.xcfg.tmp" ] || fail "a layout file was written into rsc/"
[ -f "$settings/leveleditor.xcfg" ] || fail "no layout in the per-user folder"
# 5. What a Load left out, a long name's reason and a refused test, each on
# the status line.
expect_line "$log" "LevelEditor: the room 'ghosts' is open without 3 objects of the archetypes 'ghost-obj', 'old-lamp-obj', which the game does not know; a save of the room drops them"
expect_line "$log" "LevelEditor: the room '$longName' could not be loaded (no such room)"
expect_line "$log" "LevelEditor: the room 'broken' cannot be test-played; the editor stays"
status_line ghosts; status_line long ghosts; status_line untested long
# The long name's reason is inside the window: the end of the short name's
# line ("' not loaded: no such room") is drawn whole in the long one's.
python3 - "$here" shots/no-such.png shots/long.png <<'PY' || fail "the long name's reason is not in the window"
import sys
sys.path.insert(0, sys.argv[1])
from png_rows import read_rgba
def text_columns(path):
    # Per column of the status strip, which of its rows hold the white text.
    width, height, rows = read_rgba(path)
    return [tuple(rows[y][4 * x] > 200 and rows[y][4 * x + 2] > 200 for y in range(height - 22, height))
            for x in range(width)]
short, long = text_columns(sys.argv[2]), text_columns(sys.argv[3])
end = max(x for x, column in enumerate(short) if any(column)) + 1
tail = short[end - 26 * 7:end]
found = [x for x in range(len(long) - len(tail) + 1) if long[x:x + len(tail)] == tail]
assert found, "the reason's pixels are not in the long name's status line"
PY
# The rooms copied in hid neither the HUD's scene nor the states.
expect_line "$log" "Resource 'hud': the room 'rsc/level/hud.xrm' is hidden by 'rsc/ui/hud.scn'"
expect_line "$log" "Resource 'states': the room 'rsc/level/states.xrm' is hidden by 'rsc/states.xstt'"
expect_no_line "$log" "unknown state"
echo "editor test level and back: ok"
