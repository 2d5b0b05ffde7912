#!/usr/bin/env bash
# The fox boss and bird boss rooms, headless, through the game's level flow
# (a start scene sends "GameFreshStart"), 60 s at 0.032 s a frame.
#
# The fox arena: three emerge tiles, a fox manager listening to the player
# trigger the player starts on, and the first fox. The fox burrows at once;
# its surfacings are three tail attacks (three slams each: "fox-slam-sfx"
# and a tremor with its trail) and then an emergence at a lent tile, whose
# rings of rocks shake the camera. The bird room: the bird boss, whose timed
# trigger hatches a bird every 6 s. The same seed gives the same traces.
set -euo pipefail
source "$(dirname "$0")/e2e_common.bash" "$@"
export TAVRIN_TRACE_MESSAGES=CameraShake,PlaySound,PlayBackgroundSound,ObjectCreated,TriggerActivated,ReleaseFoxEmergePoint
export TAVRIN_MAX_FRAMES=1875 TAVRIN_FIXED_DT=0.032 TAVRIN_SEED=5

fixtures="$src/tests/e2e/fixtures"
mkdir -p rsc/scenes
cp "$fixtures/room-fox-arena.xrm" "$fixtures/room-bird-arena.xrm" rsc/level/
cp "$fixtures/fox-arena.rmp" "$fixtures/bird-arena.rmp" rsc/levels/
cp "$fixtures/boss-arena-start.scn" rsc/scenes/
printf '<UiSystem>\n  <debug>1</debug>\n  <start-scene>boss-arena-start</start-scene>\n</UiSystem>\n' > rsc/uisystem.xcfg

traces=()
for run in first second; do
  echo "<fox-arena />" > rsc/levels/levels.xlod
  small_window "fox-$run"
  keepXdg=1 run_program "fox-$run"
  expect_clean_run "fox-$run"
  log=$(log_file)
  expect_line "$log" "Run ended after 1875 frames"
  grep -q "ObjectCreated([0-9]* 'fox-boss-obj')" "$log" || fail "$run run: no fox"
  trace=$(grep -o "trace frame .*" "$log")
  # The fight's music, then a tail attack: three slams, each with its shake,
  # its sound and a tremor with its trail.
  after_bgm=$(awk '/PlayBackgroundSound\(boss-battle-bgm\)/ { on = 1 } on' <<<"$trace")
  [ -n "$after_bgm" ] || fail "$run run: no boss-battle-bgm"
  first_attack=$(awk '/PlaySound\(fox-slam-sfx\)/ { n++ } n >= 1 && n <= 3 { print } n == 3 && /fox-boss-tremor-trail-obj/ { exit }' <<<"$after_bgm")
  [ "$(grep -c "PlaySound(fox-slam-sfx)" <<<"$first_attack")" -eq 3 ] || fail "$run run: no three slams"
  [ "$(grep -c "CameraShake(0.25, 75, 1)" <<<"$first_attack")" -ge 2 ] || fail "$run run: slams without shakes"
  [ "$(grep -c "ObjectCreated([0-9]* 'fox-boss-tremor-obj')" <<<"$first_attack")" -eq 3 ] || fail "$run run: no three tremors"
  [ "$(grep -c "ObjectCreated([0-9]* 'fox-boss-tremor-trail-obj')" <<<"$first_attack")" -eq 3 ] || fail "$run run: no three trails"
  # Later an emergence: a ring shake, then a ring of rocks.
  ring=$(awk '/CameraShake\(0.5, 75, 2.5\)/ { on = 1 } on' <<<"$after_bgm")
  [ "$(grep -c "ObjectCreated([0-9]* 'fox-boss-projectile-obj')" <<<"$ring")" -ge 5 ] || fail "$run run: no ring of rocks"
  [ "$(grep -c "PlaySound(fox-slam-sfx)" <<<"$(awk '/CameraShake\(0.5, 75, 2.5\)/ { exit } { print }' <<<"$after_bgm")")" -eq 9 ] ||
    fail "$run run: the emergence did not come after three tail attacks"
  traces+=("$trace")

  echo "<bird-arena />" > rsc/levels/levels.xlod
  small_window "bird-$run"
  keepXdg=1 run_program "bird-$run"
  expect_clean_run "bird-$run"
  log=$(log_file)
  expect_line "$log" "Run ended after 1875 frames"
  expect_line "$log" "PlayBackgroundSound(boss-battle-bgm)"
  hatched=$(grep -cE "ObjectCreated\([0-9]+ 'bird-(red|blue|green)-obj'\)" "$log" || true)
  [ "$hatched" -ge 5 ] || fail "$run run: $hatched birds hatched"
  [ "$(grep -c "PlaySound(bird-spawn-sfx)" "$log")" -ge 5 ] || fail "$run run: hatchlings were not told they spawned"
  traces+=("$(grep -o "trace frame .*" "$log")")
done
[ "${traces[0]}" = "${traces[2]}" ] || fail "the two fox runs traced differently"
[ "${traces[1]}" = "${traces[3]}" ] || fail "the two bird runs traced differently"
echo "fox and bird boss arenas: slams, tremors, rocks and hatchlings, the same twice"
