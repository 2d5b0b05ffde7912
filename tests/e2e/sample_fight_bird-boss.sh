#!/usr/bin/env bash
# The bird roost played to its end from fixtures/sample-game/bird-boss.txt:
# a work copy of rsc whose level order is this level alone (tuned by
# fixtures/sample-game/bird-boss.bash), the loading screen's start as the
# main menu's Play, a fixed step and seed, "max-fps" raised. The trace must
# show, in order: the fight's music, the boss, hatched birds, the boss's
# death with every bird left dying with it, the boss gone with "battle-bgm",
# then "GoalReached"; every bird the level made, the room's own included,
# is gone before the goal. Two runs trace the same; the run ends through the
# normal shutdown at TAVRIN_MAX_FRAMES, exit code 0.
#
# Re-recording (the script is authored against TAVRIN_SEED=23): frames
# count from "GameReady". Read a run's trace (BossHealthChanged,
# ObjectCreated / ObjectDestroyed of the birds) and, while tuning, the
# player's and the boss's positions every few frames (temporary logging in
# your own build, or TAVRIN_SCREENSHOT=path@frame). Walk in and take the
# room's birds as the script does; each hit sends the boss on a new heading,
# so after the hits near the boss's start try a few standing spots (a key
# held for N frames moves the player about 0.3 N units) and keep the one
# whose trace shows the last hit soonest; then walk from where the player
# stands to the goal's row (z -25, x 76) and right into it, and set
# TAVRIN_MAX_FRAMES a little past "GoalReached".
set -euo pipefail
source "$(dirname "$0")/e2e_common.bash" "$@"
level=bird-boss
fixtures="$src/tests/e2e/fixtures/sample-game"
frames=900
export TAVRIN_TRACE_MESSAGES=ObjectCreated,ObjectDestroyed,PlaySound,PlayBackgroundSound,BossHealthChanged,TriggerActivated,LevelLoaded,GameReady,GoalReached,InitiateVictory,GameComplete
export TAVRIN_FIXED_DT=0.032 TAVRIN_SEED=23 TAVRIN_INPUT_SCRIPT="$fixtures/$level.txt"
unset TAVRIN_SAMPLE_SCENE

mkdir -p rsc/scenes
cp "$src/tests/e2e/fixtures/yak-arena-start.scn" rsc/scenes/
printf '<UiSystem>\n  <debug>1</debug>\n  <start-scene>yak-arena-start</start-scene>\n</UiSystem>\n' > rsc/uisystem.xcfg
sed -i 's|<max-fps>[^<]*</max-fps>|<max-fps>10000.000000</max-fps>|' rsc/coresystem.xcfg
echo "<$level />" > rsc/levels/levels.xlod
source "$fixtures/$level.bash"

# in_order FILE TEXT...: each fixed TEXT is found on a line after the line
# where the one before it was found.
in_order() {
  local file=$1 from=0 at; shift
  for text in "$@"; do
    at=$(tail -n +"$((from + 1))" "$file" | grep -nF -m1 -- "$text" | cut -d: -f1) ||
      fail "$file: '$text' not found after line $from"
    from=$((from + at))
  done
}

for run in first second; do
  small_window "$level-$run"
  TAVRIN_MAX_FRAMES=$frames keepXdg=1 run_program "$level-$run"
  expect_clean_run "$level-$run"
  log=$(log_file)
  expect_line "$log" "Run ended after $frames frames"
  expect_no_line "$log" "Could not find composition"
  expect_no_line "$log" "GL error"
  grep -o "trace frame .*" "$log" > "$work/$run.trace"
done
cmp -s "$work/first.trace" "$work/second.trace" || fail "the two runs traced differently"
trace="$work/first.trace"

boss=$(grep -o "ObjectCreated([0-9]* 'bird-boss-obj')" "$trace" | grep -o "[0-9][0-9]*") || fail "no bird boss"
[ "$(wc -l <<<"$boss")" -eq 1 ] || fail "more than one bird boss"
died=$(grep -m1 -F "BossHealthChanged(ui-bird, 0)" "$trace" | sed 's/trace frame \([0-9]*\):.*/\1/') ||
  fail "the bird boss never died"
# Birds hatched by the boss before its death: each hatchling is told it
# spawned ("bird-spawn-sfx"; the boss's own comes before its creation).
hatched=$(awk -v boss="ObjectCreated($boss 'bird-boss-obj')" -v died="trace frame $died:" '
  index($0, boss) { on = 1; next }
  index($0, died) { exit }
  on && index($0, "PlaySound(bird-spawn-sfx)") { n++ }
  END { print n + 0 }' "$trace")
[ "$hatched" -ge 2 ] || fail "only $hatched birds hatched before the boss died"
in_order "$trace" "PlayBackgroundSound(boss-battle-bgm)" "ObjectCreated($boss 'bird-boss-obj')" \
  "PlaySound(bird-spawn-sfx)" "BossHealthChanged(ui-bird, 0.5)" "BossHealthChanged(ui-bird, 0)" \
  "PlaySound(bird-boss-death-sfx)" "ObjectDestroyed($boss 'bird-boss-obj')" "PlayBackgroundSound(battle-bgm)" \
  "GoalReached()" "GameComplete()"
# Killed with the boss: birds still flying at its death go in the next frame.
with=$(grep -cE "^trace frame $((died + 1)): ObjectDestroyed\([0-9]+ 'bird-(red|green|blue)-obj'\)" "$trace" || true)
[ "$with" -ge 1 ] || fail "no bird died with the boss"
# Every bird made, the room's own and the splits included, is gone before the goal.
before_goal=$(sed '/GoalReached()/q' "$trace")
for id in $(grep -oE "ObjectCreated\([0-9]+ 'bird-(red|green|blue)-obj'\)" "$trace" | grep -oE "[0-9]+"); do
  grep -qE "ObjectDestroyed\($id 'bird-" <<<"$before_goal" || fail "bird $id outlived the fight"
done
echo "bird roost: $hatched birds hatched, boss dead at frame $died with $with birds, goal reached, same trace twice"
