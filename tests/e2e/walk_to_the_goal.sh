#!/usr/bin/env bash
# The player walks the first level's start room with the arrow keys, in the
# real game from the main menu on: over the checkpoint (x 10), into the
# health pack (x 15) and onto a goal placed at x 18 in this work copy of the
# start room, so the walk is short. The trace shows the checkpoint, the
# pack's sound and one goal, then the second level loading. Two runs with the
# same seed trace the same (but for the frame of each "GameReady", which
# waits for the loading screen's worker thread).
# A third run plays the first level alone, as a one-level run (the editor's
# Test Level) does: the goal brings up the complete menu over the level, and
# the arrows held under it (Right on, then Left) leave the player where she
# stopped.
set -euo pipefail
here="$(dirname "$(readlink -f "$0")")"
source "$here/e2e_common.bash" "$@"

cp "$src/rsc/uisystem.xcfg" "$work/rsc/uisystem.xcfg"
# The UI system's debug loads the menus at start-up on the main thread, so
# the main menu is up at frame 1 and the script's frames mean the same in
# every run; the game system's debug keys stay off.
sed -i 's|<debug>0</debug>|<debug>1</debug>|' "$work/rsc/uisystem.xcfg"
printf '<GameSystem>\n  <debug>0</debug>\n</GameSystem>\n' > "$work/rsc/gamesystem.xcfg"
unset TAVRIN_SAMPLE_SCENE
sed -i 's|^\(\s*\)<exit-obj>|\1<goal-obj><TransformComponent><PosX>18.000000</PosX><PosY>1.000000</PosY><PosZ>0.000000</PosZ></TransformComponent></goal-obj>\n&|' \
  "$work/rsc/level/room-start.xrm"
grep -q "<goal-obj>" "$work/rsc/level/room-start.xrm" || fail "no goal placed in the start room"

export TAVRIN_TRACE_MESSAGES=LevelLoadStarted,LevelLoaded,GameReady,CheckpointUpdated,PlaySound,GoalReached,GameComplete
export TAVRIN_FIXED_DT=0.016 TAVRIN_SEED=5 TAVRIN_MAX_FRAMES=320
# Enter (Play) at frame 20; Space at 70 ends the level's fly-over (past its
# 0.5 s cool-down); Right held from frame 90 walks the player to the goal,
# reached near frame 190; Right let go at 200, while the second level (which
# opens with the same start room, goal and all) is still in its fly-over.
printf '%s\n' "20 key 13 down" "21 key 13 up" "70 key 32 down" "71 key 32 up" \
  "90 key 39 down" "200 key 39 up" > "$work/walk.input"
export TAVRIN_INPUT_SCRIPT="$work/walk.input"

# trace_frame LOG TEXT [N]: the frame of the Nth (first unless told) trace
# line holding TEXT.
trace_frame() {
  grep -F -- "$2" "$1" | sed -n 's/^.*trace frame \([0-9]*\): .*$/\1/p' | sed -n "${3:-1}p"
}

traces=()
for run in first second; do
  small_window "$run"
  keepXdg=1 run_program "$run"
  expect_clean_run "$run"
  log="$work/$run.log"
  cp "$(log_file)" "$log"
  # Nothing but these lines is logged: no missing archetype, no error.
  other=$(grep -vE "^\[.*\] (Starting|Terminating) application$|^Update order|^Graphics ready: 9 of 9 shader programs|^UI scenes at frame [0-9]+: |^Tutorial .* shows its page |^trace frame [0-9]+: |^Run ended after [0-9]+ frames$" \
    "$log" || true)
  [ -z "$other" ] || { echo "$other" >&2; fail "$run: unexpected log lines"; }
  expect_line "$log" "Run ended after 320 frames"
  expect_line "$log" "CheckpointUpdated((10, 0.05, 0))"
  expect_line "$log" "PlaySound(powerup-health-sfx)"
  [ "$(grep -c ': GoalReached' "$log")" -eq 1 ] || fail "$run: not exactly one GoalReached"
  [ "$(grep -c ': LevelLoadStarted' "$log")" -eq 2 ] || fail "$run: not two level loads"
  [ "$(grep -c ': LevelLoaded' "$log")" -eq 2 ] || fail "$run: not two loaded levels"
  [ "$(grep -c ': GameReady' "$log")" -eq 2 ] || fail "$run: the second level never got ready"
  expect_no_line "$log" "GameComplete"
  checkpoint=$(trace_frame "$log" ": CheckpointUpdated")
  pack=$(trace_frame "$log" "PlaySound(powerup-health-sfx)")
  goal=$(trace_frame "$log" ": GoalReached")
  started=$(trace_frame "$log" ": LevelLoadStarted" 2)
  loaded=$(trace_frame "$log" ": LevelLoaded" 2)
  [ "$checkpoint" -lt "$pack" ] && [ "$pack" -lt "$goal" ] || fail "$run: checkpoint $checkpoint, pack $pack, goal $goal out of order"
  [ "$goal" -lt 200 ] || fail "$run: the goal at frame $goal, after Right was let go"
  [ "$goal" -le "$started" ] && [ "$started" -le "$loaded" ] || fail "$run: goal $goal, next load from $started to $loaded"
  # "GameReady" comes when the loading screen's worker thread is seen done,
  # a frame or two after "LevelLoaded" as the machine allows: left out of
  # the comparison. The walk itself starts at a fixed frame of the script.
  traces+=("$(grep -o "trace frame .*" "$log" | grep -v ": GameReady()")")
done
[ "${traces[0]}" = "${traces[1]}" ] || { diff <(echo "${traces[0]}") <(echo "${traces[1]}") >&2 || true; fail "the two runs traced differently"; }
echo "checkpoint at frame $checkpoint, health pack at $pack, goal at $goal, next level loaded at $loaded"

# The one-level run: Right held through the goal until frame 240, then Left.
echo "<yak-nests />" > "$work/rsc/levels/levels.xlod"
printf '%s\n' "20 key 13 down" "21 key 13 up" "70 key 32 down" "71 key 32 up" "90 key 39 down" "240 key 39 up" \
  "241 key 37 down" > "$work/one-level.input"
small_window one-level
TAVRIN_INPUT_SCRIPT="$work/one-level.input" TAVRIN_MAX_FRAMES=300 TAVRIN_TRACE_POSITIONS=spawner-Luvo keepXdg=1 \
  run_program one-level
expect_clean_run one-level
log=$(log_file)
expect_line "$log" "UI scenes at frame $(($(trace_frame "$log" ": GameComplete") + 1)): game-complete-menu"
# A second to come to a stop after the goal, then not a step more.
sed -n "s/^position frame \([0-9]*\): [0-9]* 'spawner-Luvo' (\([^,]*\),.*$/\1 \2/p" "$log" |
  awk -v from=$(($(trace_frame "$log" ": GoalReached") + 60)) '$1 >= from { n++; lo = n == 1 || $2 < lo ? $2 : lo;
    hi = n == 1 || $2 > hi ? $2 : hi } END { printf "one-level: %d positions, x %s to %s\n", n, lo, hi
    exit !(n >= 40 && hi - lo < 0.01) }' || fail "one-level: the player moved under the complete menu"
