#!/usr/bin/env bash
# The yak boss fight, headless, 60 s of game time at 0.032 s a frame. A start
# scene sends "GameFreshStart"; the only level is the start room and an arena
# with walls, a region, two yak tiles, the player and a player trigger whose
# wave spawner makes the boss. The input script walks the player into the
# trigger and then sidesteps up and down, so the boss's charges miss it and
# slam into the walls: each slam shakes the camera, plays "yak-slam-sfx" and
# drops 15 rocks, and the boss then glides home between two "yak-boss-fx".
# The same seed gives the same trace twice. A copy of the arena without its
# region logs that the slams drop nothing and runs to its end.
set -euo pipefail
source "$(dirname "$0")/e2e_common.bash" "$@"
export TAVRIN_TRACE_MESSAGES=CameraShake,PlaySound,ObjectCreated,LevelLoaded,TriggerActivated
export TAVRIN_MAX_FRAMES=1875 TAVRIN_FIXED_DT=0.032 TAVRIN_SEED=11

fixtures="$src/tests/e2e/fixtures"
mkdir -p rsc/scenes
cp "$fixtures/room-yak-arena.xrm" rsc/level/
cp "$fixtures/yak-arena.rmp" rsc/levels/
cp "$fixtures/yak-arena-start.scn" rsc/scenes/
echo "<yak-arena />" > rsc/levels/levels.xlod
printf '<UiSystem>\n  <debug>1</debug>\n  <start-scene>yak-arena-start</start-scene>\n</UiSystem>\n' > rsc/uisystem.xcfg
{
  level_start
  echo "# sidestep: up and down along z, a second each way (VK 38 up, 40 down)"
  frame=60
  while [ $frame -lt 1875 ]; do
    echo "$frame key 38 down"; echo "$((frame + 31)) key 38 up"
    echo "$((frame + 32)) key 40 down"; echo "$((frame + 63)) key 40 up"
    frame=$((frame + 64))
  done
} > sidestep.txt
export TAVRIN_INPUT_SCRIPT="$work/sidestep.txt"

traces=()
for run in first second; do
  small_window "arena-$run"
  keepXdg=1 run_program "arena-$run"
  expect_clean_run "arena-$run"
  log=$(log_file)
  expect_line "$log" "Run ended after 1875 frames"
  expect_line "$log" "ObjectCreated("
  grep -q "ObjectCreated([0-9]* 'yak-boss-obj')" "$log" || fail "$run run: no boss"
  expect_line "$log" "CameraShake(0.5, 100, 3)"
  expect_line "$log" "PlaySound(yak-slam-sfx)"
  # The first slam: its shake, 15 rocks, the sound; then the two effects.
  first=$(grep -o "trace frame .*" "$log" | awk '/CameraShake/ { on = 1 } on && n++ < 40')
  [ "$(grep -c "yak-boss-projectile-obj" <<<"$first")" -ge 15 ] || fail "$run run: fewer than 15 rocks after the first slam"
  [ "$(grep -c "ObjectCreated([0-9]* 'yak-boss-fx')" <<<"$first")" -ge 2 ] || fail "$run run: no two effects after the slam"
  traces+=("$(grep -o "trace frame .*" "$log")")
done
[ "${traces[0]}" = "${traces[1]}" ] || fail "the two runs traced differently"

grep -v "yak-arena-obj" "$fixtures/room-yak-arena.xrm" > rsc/level/room-yak-arena.xrm
small_window "no-region"
TAVRIN_MAX_FRAMES=600 keepXdg=1 run_program "no-region"
expect_clean_run "no-region"
log=$(log_file)
expect_line "$log" "no RegionComponent object marks the arena"
expect_line "$log" "Run ended after 600 frames"
expect_no_line "$log" "yak-boss-projectile-obj"
echo "yak boss arena: slams, rocks and effects, the same twice; no region runs on"
