#!/usr/bin/env bash
# The game camera end to end, headless, at 320 x 200 and 0.016 s a frame. A
# start scene (fixtures/camera-start.scn, standing in for the game's menus)
# starts a fresh game at once, so the first level is built and its fly-over
# starts a few frames later. The run's copy of the data loads the level
# archetypes, takes the shipped player ("spawner-Luvo") without gravity
# (nothing here depends on the floor holding it), gives the floor the "grid"
# texture once over its length, puts the rooms' lanterns out and lights the
# camera white.
#
# Run "flies": no Space. The flight ends by itself (with the glide back to
# the chase setting); Right pressed during the flight does not move the
# player; Right held for 60 frames afterwards moves it, the chase keeps its
# pixels within 3 px of their first place, and the floor's edge moves.
# Run "skips": Space 10 frames after the start does nothing, Z 40 frames
# after it (past the 0.5 s cool-down) ends the flight at once, without the
# glide, and is no dash when released. Right, pressed 20 frames after the
# start and held, moves the player as soon as the flight ends (which locks
# the move tutorial).
set -euo pipefail
here="$(dirname "$(readlink -f "$0")")"
source "$here/e2e_common.bash" "$@"

export TAVRIN_FIXED_DT=0.016 TAVRIN_SEED=3
export TAVRIN_TRACE_MESSAGES=LevelLoaded,CameraFlyOver,CameraPathStarted,EndCameraFlyOver,CameraPathFinished,SetTutorialsActive,InterpolateCamera,CameraLookAtUpdate,PlaySound,LockTutorial

python3 - <<'PY'
import re
# The shipped player is the level's "spawner-Luvo" itself.
players = open('rsc/objects/player-objects.xobj').read()
assert '<spawner-Luvo>' in players, 'the shipped player archetype changed'
players = players.replace('<Gravity>1</Gravity>', '<Gravity>0</Gravity>')
open('rsc/objects/player-objects.xobj', 'w').write(players)
level = open('rsc/objects/level-objects.xobj').read()
floor = re.search(r'<floor-piece-obj>.*?</floor-piece-obj>', level, flags=re.S).group(0)
plain = re.sub(r'<MeshComponent>.*?</MeshComponent>', '<MeshComponent><MeshID>Cube</MeshID><DiffuseTexID>grid</DiffuseTexID>'
               '<Color_r>0.55</Color_r><Color_g>0.5</Color_g><Color_b>0.42</Color_b></MeshComponent>', floor, flags=re.S)
level = level.replace(floor, plain)
# The rooms' lanterns go dark and their floors take the archetype's grid once.
for lantern in ('lantern-obj', 'arena-lantern-obj'):
    level = re.sub(r'(<%s>.*?)<LightComponent>.*?</LightComponent>' % lantern, r'\1', level, count=1, flags=re.S)
import glob
for room in glob.glob('rsc/level/*.xrm'):
    text = open(room).read()
    text = re.sub(r'(<floor-piece-obj>(?:(?!</floor-piece-obj>).)*?)<MeshComponent>.*?</MeshComponent>', r'\1', text, flags=re.S)
    open(room, 'w').write(text)
light = ('<LightComponent><Color_R>1</Color_R><Color_G>1</Color_G><Color_B>1</Color_B><Attenuation_X>1</Attenuation_X>'
         '<Attenuation_Y>0</Attenuation_Y><Attenuation_Z>0</Attenuation_Z></LightComponent>')
assert '<PlayerCameraModifierComponent />' in level, 'the shipped camera archetype changed'
level = re.sub(r'(<spawner-camera>.*?)<LightComponent>.*?</LightComponent>', r'\1', level, count=1, flags=re.S)
level = level.replace('<PlayerCameraModifierComponent />', '<PlayerCameraModifierComponent />' + light)
open('rsc/objects/level-objects.xobj', 'w').write(level)
PY
grep -qx "level-objects" rsc/loading-pkg.pkg || echo "level-objects" >> rsc/loading-pkg.pkg
mkdir -p rsc/scenes "$work/shots"
cp "$src/tests/e2e/fixtures/camera-start.scn" rsc/scenes/
printf '<UiSystem>\n  <debug>1</debug>\n  <start-scene>camera-start</start-scene>\n</UiSystem>\n' > rsc/uisystem.xcfg

# play NAME SCRIPT FRAMES SHOT: a run of FRAMES frames driven by SCRIPT, frame
# SHOT written to shots/NAME.png; leaves its log in $log.
play() {
  local name=$1 script=$2 frames=$3 shot=$4
  small_window "$name"
  TAVRIN_MAX_FRAMES=$frames TAVRIN_INPUT_SCRIPT="$work/$script" TAVRIN_SCREENSHOT="$work/shots/$name.png@$shot" \
    keepXdg=1 run_program "$name"
  expect_clean_run "$name"
  log=$(log_file)
  expect_line "$log" "Screenshot of frame $shot written"
}
# frame_of LOG TEXT: the frame of the first trace line holding TEXT, or nothing.
frame_of() { grep -F -- "$2" "$1" | head -1 | sed -E 's/^.*trace frame ([0-9]+): .*$/\1/'; }
# look_at_x LOG FRAME: the x of the last look-at point sent in that frame.
look_at_x() { grep -E "trace frame $2: CameraLookAtUpdate" "$1" | tail -1 | sed -E 's/.*\(([-0-9.e]+), .*/\1/'; }

# Right during the flight (swallowed), then held from frame 280 to 340.
printf '50 key 39 down\n60 key 39 up\n280 key 39 down\n' > fly.txt
play flies-280 fly.txt 281 280
play flies-340 fly.txt 341 340
expect_line "$log" "LevelLoaded()"
start=$(frame_of "$log" "CameraPathStarted()")
[ -n "$start" ] || fail "the fly-over never started"
grep -qE "trace frame $start: CameraFlyOver\(\([^)]*\), [2-9][0-9]*\)" "$log" || fail "no route of 2 or more points at frame $start"
end=$(frame_of "$log" "CameraPathFinished()")
[ -n "$end" ] && [ "$end" -lt 279 ] || fail "the flight did not end by itself before frame 279 (ended: '$end')"
expect_no_line "$log" "EndCameraFlyOver"
expect_line "$log" "trace frame $end: InterpolateCamera(13, 55, 1)"
expect_line "$log" "trace frame $end: SetTutorialsActive(true)"
before=$(look_at_x "$log" 279)
after=$(look_at_x "$log" 340)
python3 - "$before" "$after" <<'PY' || fail "player x at frames 279 and 340: $before, $after"
import sys
before, after = float(sys.argv[1]), float(sys.argv[2])
assert abs(before - 3.0) < 0.01, 'Right during the flight moved the player'
assert after - before > 6.0, 'Right after the flight did not move the player'
PY

python3 - "$here" "$work/shots/flies-280.png" "$work/shots/flies-340.png" <<'PY' || fail "the chase did not keep the player in place over a moving floor"
import sys
sys.path.insert(0, sys.argv[1])
from png_rows import read_rgba

def player_centre(rows, w, h):
    # The player: its white texture tinted cyan (0.2, 0.9, 0.95).
    points = [(x, y) for y in range(h) for x in range(w)
              if (lambda r, g, b: g > 120 and g > r + 60 and b > r + 60 and abs(g - b) < 60)(*rows[y][x * 4:x * 4 + 3])]
    assert len(points) >= 8, f'{len(points)} player pixels'
    return sum(p[0] for p in points) / len(points), sum(p[1] for p in points) / len(points)

def floor_left_edge(rows, w, y):
    # The first pixel of the lit, grid-textured floor on the player's row.
    for x in range(w):
        r, g, b = rows[y][x * 4:x * 4 + 3]
        if abs(r - 94) <= 12 and abs(g - 85) <= 12 and abs(b - 74) <= 12:
            return x
    raise AssertionError(f'no floor on row {y}')

w, h, first = read_rgba(sys.argv[2])
_, _, last = read_rgba(sys.argv[3])
(x0, y0), (x1, y1) = player_centre(first, w, h), player_centre(last, w, h)
print(f'player at ({x0:.1f}, {y0:.1f}) and ({x1:.1f}, {y1:.1f})')
assert abs(x1 - x0) <= 3 and abs(y1 - y0) <= 3, 'the player moved on screen'
assert abs(x0 - w / 2) <= 10, 'the player is not in the middle'
edge0, edge1 = floor_left_edge(first, w, round(y0)), floor_left_edge(last, w, round(y0))
print(f'floor edge at x {edge0} and {edge1}')
assert edge0 - edge1 >= 20, 'the floor did not move left under the camera'
PY

# Space within the cool-down, then Z past it; Right held from mid-flight on.
printf '%d key 32 down\n%d key 32 up\n%d key 39 down\n%d key 90 down\n%d key 90 up\n' \
  $((start + 10)) $((start + 11)) $((start + 20)) $((start + 40)) $((start + 45)) > skip.txt
play skips skip.txt $((start + 60)) $((start + 60))
skip=$(frame_of "$log" "EndCameraFlyOver()")
[ "$skip" = "$((start + 40))" ] || fail "EndCameraFlyOver at frame '$skip', wanted $((start + 40)) only"
[ "$(grep -c "EndCameraFlyOver()" "$log")" -eq 1 ] || fail "more than one EndCameraFlyOver"
finished=$(frame_of "$log" "CameraPathFinished()")
[ -n "$finished" ] && [ "$finished" -le $((skip + 1)) ] || fail "the skipped flight ended at frame '$finished'"
expect_no_line "$log" "InterpolateCamera("
expect_no_line "$log" "PlaySound(dash-sfx)"
expect_line "$log" "trace frame $finished: LockTutorial(move-basic)"
held=$(look_at_x "$log" $((start + 60)))
python3 - "$held" <<'PY' || fail "player x 20 frames after the skip with Right held: $held"
import sys
assert float(sys.argv[1]) - 3.0 > 1.0, 'Right held through the flight did not move the player'
PY
echo "fly-over from frame $start: ends by itself at $end, skipped at $skip; the chase keeps the player in place;" \
  "Right held through the flight takes the player to x $held"
