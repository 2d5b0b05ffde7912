#!/usr/bin/env bash
# The shipped levels, each played headless from its own start: a work copy
# of rsc whose level order starts at that level, a start scene that sends
# "GameFreshStart", the UI's debug load (the level is up at frame 2 in every
# run, whatever the loader thread does), a fixed step, a fixed seed and an
# input script that walks the player right, into the level's player trigger,
# then sidesteps along z. "max-fps" is raised so game time outruns real time.
# The five levels run twice each with one seed; the two traces must be the same.
#  yak-nests:  the gate rises ("menhir-move-sfx") and a wave yak per pulse
#              of the wave the player sets off, and the nests' yaks.
#  brood-hall: the brood mother is made as the player arrives, her nests
#              pulse yaks and she reports on "ui-yak".
#  yak-boss:   the boss is made on the trigger and slams into the walls.
#  bird-boss:  the bird boss is made on the trigger and hatches birds.
#  fox-boss:   the first fox is made on the trigger with the fight's music;
#              it slams its tail.
# Re-recording: the scripts are generated below from frame numbers only
# (walk for WALK frames, then sidestep a second each way); after tuning the
# rooms or the player's speed, change WALK so the player still reaches the
# trigger, and read the new trace of a run to update the expectations.
set -euo pipefail
source "$(dirname "$0")/e2e_common.bash" "$@"
export TAVRIN_TRACE_MESSAGES=ObjectCreated,PlaySound,PlayBackgroundSound,BossHealthChanged,TriggerActivated,LevelLoaded,GoalReached,InitiateVictory,GameComplete
export TAVRIN_FIXED_DT=0.032 TAVRIN_SEED=23
unset TAVRIN_SAMPLE_SCENE
frames=900

mkdir -p rsc/scenes
cp "$src/tests/e2e/fixtures/yak-arena-start.scn" rsc/scenes/
printf '<UiSystem>\n  <debug>1</debug>\n  <start-scene>yak-arena-start</start-scene>\n</UiSystem>\n' > rsc/uisystem.xcfg
sed -i 's|<max-fps>[^<]*</max-fps>|<max-fps>10000.000000</max-fps>|' rsc/coresystem.xcfg
{
  level_start
  echo "# walk right (VK 39) into the trigger, then sidestep up and down (38, 40)"
  echo "24 key 39 down"; echo "262 key 39 up"
  frame=272
  while [ $frame -lt $frames ]; do
    echo "$frame key 38 down"; echo "$((frame + 31)) key 38 up"
    echo "$((frame + 32)) key 40 down"; echo "$((frame + 63)) key 40 up"
    frame=$((frame + 64))
  done
} > walk.txt
export TAVRIN_INPUT_SCRIPT="$work/walk.txt"

# play LEVEL: two runs of LEVEL; leaves the first run's log in $work/LEVEL.log.
play() {
  local level=$1 traces=()
  echo "<$level />" > rsc/levels/levels.xlod
  for run in first second; do
    small_window "$level-$run"
    TAVRIN_MAX_FRAMES=$frames keepXdg=1 run_program "$level-$run"
    expect_clean_run "$level-$run"
    local log
    log=$(log_file)
    expect_line "$log" "Run ended after $frames frames"
    expect_line "$log" "LevelLoaded()"
    expect_no_line "$log" "Could not find composition"
    expect_no_line "$log" "GL error"
    traces+=("$(grep -o "trace frame .*" "$log")")
    [ "$run" = first ] && cp "$log" "$work/$level.log"
  done
  [ "${traces[0]}" = "${traces[1]}" ] || fail "$level: the two runs traced differently"
}
count() { grep -c -- "$2" "$work/$1.log" || true; }

play yak-nests
[ "$(count yak-nests "PlaySound(menhir-move-sfx)")" -ge 1 ] || fail "yak-nests: the gate did not rise"
grep -q "TriggerActivated(" "$work/yak-nests.log" || fail "yak-nests: the player never set the wave off"
[ "$(count yak-nests "'yak-obj')")" -ge 3 ] || fail "yak-nests: too few yaks"

play brood-hall
grep -q "ObjectCreated([0-9]* 'brood-mother-obj')" "$work/brood-hall.log" || fail "brood-hall: no brood mother"
grep -q "ObjectCreated([0-9]* 'yak-obj')" "$work/brood-hall.log" || fail "brood-hall: her nests made no yak"
expect_line "$work/brood-hall.log" "PlayBackgroundSound(boss-battle-bgm)"
expect_no_line "$work/brood-hall.log" "GoalReached()"

play yak-boss
grep -q "ObjectCreated([0-9]* 'yak-boss-obj')" "$work/yak-boss.log" || fail "yak-boss: no boss"
expect_line "$work/yak-boss.log" "PlaySound(yak-slam-sfx)"
# The goal stands off the way to the trigger: walking in does not end the level.
expect_no_line "$work/yak-boss.log" "GoalReached()"

play bird-boss
grep -q "ObjectCreated([0-9]* 'bird-boss-obj')" "$work/bird-boss.log" || fail "bird-boss: no bird boss"
expect_line "$work/bird-boss.log" "PlaySound(bird-spawn-sfx)"
expect_line "$work/bird-boss.log" "PlayBackgroundSound(boss-battle-bgm)"
expect_no_line "$work/bird-boss.log" "GoalReached()"

play fox-boss
grep -q "ObjectCreated([0-9]* 'fox-boss-obj')" "$work/fox-boss.log" || fail "fox-boss: no fox boss"
expect_line "$work/fox-boss.log" "PlayBackgroundSound(boss-battle-bgm)"
expect_line "$work/fox-boss.log" "PlaySound(fox-slam-sfx)"
expect_no_line "$work/fox-boss.log" "InitiateVictory()"
echo "sample levels: each starts, plays the same twice and sets its fight off"
