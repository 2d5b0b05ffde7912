#!/usr/bin/env bash
# A fox penned in by four walls, a player and one bird of each colour, all
# from the shipped archetypes (placed by spawner seeds in the sample scene),
# for 30 s of game time at a fixed step and seed. The trace shows the fox
# surfacing, rubble thrown and a bird's thud on the player (the fox cannot
# leave its pen); a second run traces the same. Screenshots of a frame with
# the fox up and of one with it tunnelling: the fox's orange body shows
# inside the pen, much larger than the tail that sticks out while it digs.
set -euo pipefail
here="$(dirname "$(readlink -f "$0")")"
source "$here/e2e_common.bash" "$@"
export TAVRIN_TRACE_MESSAGES=ObjectCreated,PlaySound
export TAVRIN_MAX_FRAMES=940 TAVRIN_FIXED_DT=0.032 TAVRIN_SEED=11
skip=gfx-camera,gfx-crate,gfx-crate-light,gfx-tiled-floor,gfx-hinge,gfx-hinge-static,gfx-shadowed,gfx-billboard,gfx-plane,gfx-aimer,gfx-highlighted,gfx-sparks

cp "$src/tests/e2e/fixtures/fox-bird-arena.xobj" rsc/objects/
echo "fox-bird-arena" >> rsc/gfx-test-pkg.pkg

# run NAME [SCREENSHOT_FRAME]: a 320 x 200 run; its trace in $work/NAME.trace.
run() {
  small_window "$1"
  local shot=""
  [ -n "${2:-}" ] && shot="$work/$1.png@$2"
  TAVRIN_SCREENSHOT="$shot" TAVRIN_SCENE_SKIP="$skip" keepXdg=1 run_program "$1"
  expect_clean_run "$1"
  local log; log=$(log_file)
  expect_line "$log" "Run ended after 940 frames"
  expect_no_line "$log" "could not be created"
  grep -o "trace frame .*" "$log" > "$work/$1.trace"
}

run first
trace="$work/first.trace"
grep -q "PlaySound(fox-surface-sfx)" "$trace" || fail "the fox never surfaced"
grep -q "ObjectCreated([0-9]* 'fox-projectile-obj')" "$trace" || fail "no rubble thrown"
grep -q "PlaySound(light-thud-sfx)" "$trace" || fail "no bird touched the player"
for name in fox-obj bird-red-obj bird-green-obj bird-blue-obj; do
  grep -q "ObjectCreated([0-9]* '$name')" "$trace" || fail "no $name"
done
up=$(grep -m1 "PlaySound(fox-surface-sfx)" "$trace" | sed 's/trace frame \([0-9]*\):.*/\1/')
[ "$up" -gt 40 ] || fail "surfaced too early ($up)"

run second $((up + 60))   # 1.9 s after surfacing: looking about
cmp -s "$trace" "$work/second.trace" || fail "the second run traced differently"
run third $((up - 20))    # still tunnelling
python3 - "$here" "$work/second.png" "$work/third.png" <<'PY' || fail "pixel checks (screenshots in $work)"
import sys
sys.path.insert(0, sys.argv[1])
from png_rows import read_rgba

def pixels(path):
    width, height, rows = read_rgba(path)
    for y, row in enumerate(rows):
        for x in range(width):
            yield x, y, row[4 * x], row[4 * x + 1], row[4 * x + 2]

def orange(r, g, b): return r > 120 and r > g + 40 and g > b + 25
def purple(r, g, b): return r > 60 and b > 60 and g + 30 < min(r, b)

def look(path):
    fox, pen = [], []
    for x, y, r, g, b in pixels(path):
        if orange(r, g, b): fox.append((x, y))
        if purple(r, g, b): pen.append((x, y))
    return fox, pen

up, pen = look(sys.argv[2])
down, _ = look(sys.argv[3])
print("fox pixels up:", len(up), "tunnelling:", len(down), "pen pixels:", len(pen))
assert pen, "the pen is not on screen"
assert len(up) > 2 * max(len(down), 1), "the surfaced fox is not larger than its tail"
cx = sum(x for x, _ in up) / len(up)
cy = sum(y for _, y in up) / len(up)
xs = [x for x, _ in pen]
ys = [y for _, y in pen]
print("fox at", cx, cy, "pen spans", min(xs), max(xs), min(ys), max(ys))
assert min(xs) < cx < max(xs) and min(ys) < cy < max(ys), "the fox is not in its pen"
PY
echo "fox and birds: surfaced at frame $up, same trace twice, fox seen in its pen"
