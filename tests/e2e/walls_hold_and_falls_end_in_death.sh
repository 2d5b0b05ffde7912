#!/usr/bin/env bash
# The first level's walls hold a player who dashes at them as a person
# would, and a player who falls out of a level dies by the game's own flow.
#  1. dashes: the shipped nest level, its frames counted from "GameReady".
#     The player walks and dashes (Z) at the north, south and back walls of
#     the start room, into its corner, again against each wall it already
#     touches, across the seam into the nest room and at that room's walls,
#     with uneven, hand-like timings. Nothing leaves the level (no death, no
#     "LevelBoundsWatch" line), and the last frame shows the player (the only
#     cyan in the level) in the middle of the chase camera's picture with the
#     room's floor around it.
#  2. fall: a work copy whose start room's floor ends at x 14, short of the
#     next room: Right walks the player over the checkpoint (x 10) and off
#     the floor's edge into the gap. The fall is logged once, with where the
#     player was; "PlayerDeath", then the "GameLost" fade's end and the lost
#     menu; Enter (Retry) loads the level again, where the player stands at
#     the checkpoint and lives.
set -euo pipefail
source "$(dirname "$0")/e2e_common.bash" "$@"
source "$e2eDir/sample_game.bash"
mkdir -p "$work/shots"
fight_copy yak-nests
export TAVRIN_TRACE_MESSAGES="$TAVRIN_TRACE_MESSAGES,GameLost,GameLevelRetry"

# hold FROM TO KEY: KEY held from frame FROM to frame TO; tap AT KEY.
hold() { printf '%s key %s down\n%s key %s up\n' "$1" "$3" "$2" "$3"; }
tap() { hold "$1" $(($1 + 2)) "$2"; }
up=38 down=40 left=37 right=39 dash=90

# 1. dashes
frames=640
{
  level_start
  hold 41 63 $up; tap 52 $dash                     # up and dash at the north wall
  tap 97 $dash                                     # again, touching it
  hold 131 148 $down; tap 139 $dash                # across the room at the south wall
  tap 177 $dash                                    # against it
  hold 205 221 $left; tap 210 $dash                # the back wall
  tap 246 $dash
  hold 279 296 $up; hold 281 297 $left; tap 285 $dash   # into the back corner
  hold 322 371 $right                              # along the room
  hold 376 388 $up; tap 381 $dash                  # the north wall near the seam
  hold 413 436 $right; tap 419 $dash               # across the seam into the nest room
  hold 452 470 $down; tap 459 $dash                # the nest room's south wall
  tap 497 $dash
  hold 525 533 $up; tap 528 $dash                  # and its north wall
} > "$work/dashes.input"
# The same run up to just after the second dash at the north wall, for a
# look at the player against it.
small_window north
TAVRIN_MAX_FRAMES=110 TAVRIN_INPUT_SCRIPT="$work/dashes.input" TAVRIN_SCREENSHOT="$work/shots/north.png@109" \
  keepXdg=1 run_program north
expect_no_line "$(log_file)" "LevelBoundsWatch"
small_window dashes
TAVRIN_MAX_FRAMES=$frames TAVRIN_INPUT_SCRIPT="$work/dashes.input" \
  TAVRIN_SCREENSHOT="$work/shots/dashes.png@$((frames - 1))" keepXdg=1 run_program dashes
expect_clean_run dashes
log=$(log_file)
cp "$log" "$work/dashes.log"
expect_line "$log" "Run ended after $frames frames"
expect_line "$log" "Screenshot of frame $((frames - 1)) written"
expect_no_line "$log" "LevelBoundsWatch"
expect_no_line "$log" "PlayerDeath("
expect_no_line "$log" "malformed input-script line"
# The player in the middle of the picture, standing on the floor.
python3 - "$e2eDir" "$work/shots/dashes.png" <<'PY' || fail "dashes: the player is not in the room in the last frame"
import sys
sys.path.insert(0, sys.argv[1])
from png_rows import read_rgba
width, height, rows = read_rgba(sys.argv[2])
cyan, floor = [], 0
for y, line in enumerate(rows):
    for x in range(width):
        r, g, b = line[4 * x], line[4 * x + 1], line[4 * x + 2]
        # cyan, or the red of the flash while a yak's hit lasts (below the
        # HUD's red health bar and the tutorial page at the top)
        if (g > 120 and b > 120 and r < g - 50) or (y > height * 0.3 and r > 150 and g < 60 and b < 60):
            cyan.append((x, y))
        elif r > 40 and r >= g >= b and r - b > 10:
            floor += 1
assert cyan, "no cyan"
cx = sum(x for x, _ in cyan) / len(cyan)
cy = sum(y for _, y in cyan) / len(cyan)
print("player at (%.0f, %.0f) of %d x %d; %d floor pixels" % (cx, cy, width, height, floor))
assert abs(cx - width / 2) < width / 4 and abs(cy - height / 2) < height / 3, "the player is off the middle"
assert floor > width * height // 5, "little floor around the player"
PY

# 2. fall
room_sub "$work/rsc/level/room-start.xrm" floor-piece-obj "<PosX>10.000000</PosX>" "<PosX>7.000000</PosX><ScaX>14.000000</ScaX>"
retry=260
{
  level_start
  hold 40 95 $right
  # Enter on the lost menu (Retry).
  tap $retry 13
} > "$work/fall.input"
small_window fall
TAVRIN_MAX_FRAMES=$((retry + 120)) TAVRIN_INPUT_SCRIPT="$work/fall.input" keepXdg=1 run_program fall
expect_clean_run fall
log=$(log_file)
cp "$log" "$work/fall.log"
[ "$(grep -c "LevelBoundsWatch: the player 'spawner-Luvo' (object [0-9]*) left the level at (" "$log")" -eq 1 ] ||
  fail "fall: the fall is not logged once"
grep -E "LevelBoundsWatch: the player 'spawner-Luvo' \(object [0-9]+\) left the level at \([0-9.]+, -[0-9.]+, [-0-9.]+\), below its lowest floor; the player dies" "$log" >/dev/null ||
  fail "fall: the log line does not say where the player fell"
[ "$(grep -c ': PlayerDeath(' "$log")" -eq 1 ] || fail "fall: one death expected"
in_order "$log" ": PlayerDeath(" ": GameLost()" ": game-lost-menu" ": GameLevelRetry()" ": LevelLoaded()" ": GameReady()" \
  "Run ended after"
sed -n 's/^.*\(LevelBoundsWatch: .*\)$/\1/p' "$log"
echo "dashes: the player stayed in the level; fall: died once and the level came back"
