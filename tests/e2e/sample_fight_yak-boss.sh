#!/usr/bin/env bash
# The yak boss level fought to its end from an input script: a work copy of
# rsc whose level order starts at "yak-boss" (the start scene of
# sample_levels.sh, the UI's debug load, "max-fps" raised), tuned by
# fixtures/sample-game/yak-boss.bash (the boss's and its mini-bosses' health
# lowered so one hit a phase does), played twice with one seed from
# fixtures/sample-game/yak-boss.txt. The player walks into the trigger,
# walks across each charge so the boss slams into a wall, shoots it during
# its stun, shoots the mini-bosses while it hides, and walks to the goal once
# it has sunk. The trace must show, in this order and before "GoalReached":
# the boss, hidden at 0.8 with two mini-bosses, back at 0.6, hidden at 0.4
# with two more, back at 0.2, its death (0), its object gone and "battle-bgm".
#
# Re-recording after tuning (rooms, speeds, health, the boss's timing):
# the script is written by fixtures/sample-game/gen-yak-boss.py from keys
# held over frame ranges; its frames count from "GameReady". Each phase
# counts from an anchor, the frame of a trace line (BossHealthChanged 0.8,
# 0.7, 0.6, 0.4, 0.3, 0.2 and "battle-bgm"; trace frame minus the trace
# frame of "GameReady()"). Run the game in a work copy set up as below with
# TAVRIN_TRACE_MESSAGES as here, fix the walk to the first hit, then set
# each anchor in turn to its frame in the new trace and run again. Where a
# phase itself fails, read "yak-charge-sfx" and "yak-slam-sfx" (charge and
# slam) and positions: those of player, boss and mini-bosses came from a
# temporary log line in an own build every few frames (screenshots with
# TAVRIN_SCREENSHOT=path@frame do as well). The player must be moving across
# the boss's line when it charges, walk up beside it after the slam (not
# into it), face it and shoot; stand on a mini-boss's line facing it; and
# reach the goal only after "battle-bgm". Then regenerate yak-boss.txt.
set -euo pipefail
source "$(dirname "$0")/e2e_common.bash" "$@"
export TAVRIN_TRACE_MESSAGES=GameReady,ObjectCreated,ObjectDestroyed,PlaySound,PlayBackgroundSound,BossHealthChanged,TriggerActivated,LevelLoaded,PlayerHealthChanged,GoalReached,GameComplete,PlayerDeath
export TAVRIN_FIXED_DT=0.032 TAVRIN_SEED=23
unset TAVRIN_SAMPLE_SCENE
frames=1080
fixtures="$src/tests/e2e/fixtures"

mkdir -p rsc/scenes
cp "$fixtures/yak-arena-start.scn" rsc/scenes/
printf '<UiSystem>\n  <debug>1</debug>\n  <start-scene>yak-arena-start</start-scene>\n</UiSystem>\n' > rsc/uisystem.xcfg
sed -i 's|<max-fps>[^<]*</max-fps>|<max-fps>10000.000000</max-fps>|' rsc/coresystem.xcfg
echo "<yak-boss />" > rsc/levels/levels.xlod
(cd "$work" && source "$fixtures/sample-game/yak-boss.bash")
export TAVRIN_INPUT_SCRIPT="$fixtures/sample-game/yak-boss.txt"

# in_order FILE TEXT...: each TEXT (a fixed string) occurs in FILE on a line
# after the line of the one before it.
in_order() {
  local file=$1 after=0 text line
  shift
  for text in "$@"; do
    line=$(awk -v after="$after" -v text="$text" 'NR > after && index($0, text) { print NR; exit }' "$file")
    [ -n "$line" ] || fail "$file: no '$text' after line $after"
    after=$line
  done
}

traces=()
for run in first second; do
  small_window "yak-boss-$run"
  TAVRIN_MAX_FRAMES=$frames keepXdg=1 run_program "yak-boss-$run"
  expect_clean_run "yak-boss-$run"
  log=$(log_file)
  expect_line "$log" "Run ended after $frames frames"
  expect_no_line "$log" "Could not find composition"
  expect_no_line "$log" "GL error"
  expect_no_line "$log" "PlayerDeath"
  grep -o "trace frame .*" "$log" > "$work/$run.trace"
  boss=$(grep -o "ObjectCreated([0-9]* 'yak-boss-obj')" "$work/$run.trace" | head -1 | grep -o "[0-9]*")
  [ -n "$boss" ] || fail "$run run: no boss"
  in_order "$work/$run.trace" "TriggerActivated(1)" "ObjectCreated($boss 'yak-boss-obj')" \
    "PlaySound(yak-slam-sfx)" "BossHealthChanged(ui-yak, 0.8)" \
    "'yak-mini-boss-obj')" "'yak-mini-boss-obj')" "BossHealthChanged(ui-yak, 0.6)" \
    "PlaySound(yak-slam-sfx)" "BossHealthChanged(ui-yak, 0.4)" \
    "'yak-mini-boss-obj')" "'yak-mini-boss-obj')" "BossHealthChanged(ui-yak, 0.2)" \
    "PlaySound(yak-slam-sfx)" "BossHealthChanged(ui-yak, 0)" "PlaySound(yak-brood-death-sfx)" \
    "ObjectDestroyed($boss 'yak-boss-obj')" "PlayBackgroundSound(battle-bgm)" "GoalReached()" "GameComplete()"
  # The mini-bosses were made by the boss's hides: four, all gone before the goal.
  [ "$(grep -c "ObjectCreated([0-9]* 'yak-mini-boss-obj')" "$work/$run.trace")" -eq 4 ] ||
    fail "$run run: not four mini-bosses"
  [ "$(sed -n '/GoalReached()/q;p' "$work/$run.trace" | grep -c "ObjectDestroyed([0-9]* 'yak-mini-boss-obj')")" -eq 4 ] ||
    fail "$run run: a mini-boss outlived the goal"
  # The script is done before the goal: in the whole game the next level's
  # part of the script waits for its own "GameReady".
  ready=$(grep -m1 "GameReady()" "$work/$run.trace" | grep -o "frame [0-9]*" | grep -o "[0-9]*")
  goal=$(grep -m1 "GoalReached()" "$work/$run.trace" | grep -o "frame [0-9]*" | grep -o "[0-9]*")
  last=$(grep -E "^[0-9]+ " "$TAVRIN_INPUT_SCRIPT" | tail -1 | cut -d" " -f1)
  [ "$((ready + last))" -lt "$goal" ] || fail "$run run: the script plays past the goal"
  traces+=("$(cat "$work/$run.trace")")
done
[ "${traces[0]}" = "${traces[1]}" ] || fail "the two runs traced differently"
echo "yak boss level: fought to its end and the goal, the same twice"
