#!/usr/bin/env bash
# A player who runs past a boss finds the goal shut: in each boss level with
# a goal (brood hall, yak boss, bird boss), from the shipped rooms, the
# player walks right through the boss's trigger and then straight for the
# goal in the arena's south-east corner, along the goal's row up to the
# menhir gate across the goal's alcove, and pushes there. The trace must
# hold the boss's trigger and no "GoalReached", and the level stays loaded.
# The same run then tries the gate's south end as a stubborn player does:
# back along the gate's face to the arena's south wall, then along that
# wall into the gate's end, dashing once a second, and up and left toward
# the goal. The control runs play the rush, and the wall route alone, in a
# copy of the level without its gate and reach the goal: the walks
# themselves go there.
set -euo pipefail
source "$(dirname "$0")/e2e_common.bash" "$@"
source "$e2eDir/sample_game.bash"
# Right (39) through the trigger (x 30), then right and down (40) together
# to the goal's row (z -25), then right along it into the goal (x 76).
{ level_start; printf '24 key 39 down\n130 key 40 down\n247 key 40 up\n'; } > "$work/rush.txt"
# Along the south wall (z -30) into the gate's south end, dashing ('Z')
# once a second, then left (37) and up (38) toward the goal. From the
# gate, after the rush: left and down to the wall, then right along it.
wall_run() {
  local from=$1 to=$2 frame
  printf '%s key 39 down\n' "$from"
  for ((frame = from + 5; frame < to; frame += 31)); do printf '%s key Z down\n%s key Z up\n' "$frame" "$((frame + 2))"; done
  printf '%s key 39 up\n%s key 37 down\n%s key 38 down\n' "$to" "$to" "$to"
}
{ cat "$work/rush.txt"; printf '360 key 39 up\n360 key 37 down\n360 key 40 down\n395 key 37 up\n395 key 40 up\n'
  wall_run 395 490; } > "$work/rush-and-wall.txt"
# From the start: right to the arena (x 30), down to the south wall, along it.
{ level_start; printf '24 key 39 down\n110 key 39 up\n110 key 40 down\n230 key 40 up\n'; wall_run 230 360; } \
  > "$work/wall.txt"
export TAVRIN_INPUT_SCRIPT="$work/rush-and-wall.txt"
frames=560

for level in brood-hall yak-boss bird-boss; do
  fight_copy "$level"
  small_window "$level"
  TAVRIN_MAX_FRAMES=$frames keepXdg=1 run_program "$level"
  expect_clean_run "$level"
  log=$(log_file)
  expect_line "$log" "Run ended after $frames frames"
  expect_line "$log" ": TriggerActivated(1)"
  expect_no_line "$log" "GoalReached()"
  [ "$(grep -c ": LevelLoaded()" "$log")" -eq 1 ] || fail "$level: the level ended"
  echo "$level: the goal stayed shut"
done

# The controls: the yak boss room without its gate.
fight_copy yak-boss
room_drop "$work/rsc/level/room-yak-boss.xrm" menhir-gate-obj
for walk in rush wall; do
  small_window "open-$walk"
  TAVRIN_INPUT_SCRIPT="$work/$walk.txt" TAVRIN_MAX_FRAMES=420 keepXdg=1 run_program "open-$walk"
  expect_clean_run "open-$walk"
  expect_line "$(log_file)" "GoalReached()"
  echo "yak-boss without its gate: the $walk walk reaches the goal"
done
