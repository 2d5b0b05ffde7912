#!/usr/bin/env bash
# A player who runs past a boss finds the goal shut: in each boss level with
# a goal (brood hall, yak boss, bird boss), from the shipped rooms, the
# player walks right through the boss's trigger and then straight for the
# goal in the arena's south-east corner, along the goal's row up to the
# menhir gate across the goal's alcove, and pushes there. The trace must
# hold the boss's trigger and no "GoalReached", and the level stays loaded.
# The control run plays the same script in a copy of the level without its
# gate and reaches the goal: the walk itself goes there.
set -euo pipefail
source "$(dirname "$0")/e2e_common.bash" "$@"
source "$e2eDir/sample_game.bash"
# Right (39) through the trigger (x 30), then right and down (40) together
# to the goal's row (z -25), then right along it into the goal (x 76).
{ level_start; printf '24 key 39 down\n130 key 40 down\n247 key 40 up\n'; } > "$work/rush.txt"
export TAVRIN_INPUT_SCRIPT="$work/rush.txt"
frames=420

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

# The control: the yak boss room without its gate.
fight_copy yak-boss
room_drop "$work/rsc/level/room-yak-boss.xrm" menhir-gate-obj
small_window open
TAVRIN_MAX_FRAMES=$frames keepXdg=1 run_program open
expect_clean_run open
expect_line "$(log_file)" "GoalReached()"
echo "yak-boss without its gate: the same walk reaches the goal"
