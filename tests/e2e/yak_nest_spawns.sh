#!/usr/bin/env bash
# The sample nest fills up with yaks at its period, headless. The test object
# (which the probe destroys after three brain steps) is a seed whose spawner
# of period 0 makes one sample "yak-nest-obj" on its first step; 800 frames
# of 0.032 s then make two yaks of its 10 s period (near frames 315 and 630),
# each with its spawn sound and smoke, and the run ends normally. The same
# seed gives the same trace twice.
set -euo pipefail
source "$(dirname "$0")/e2e_common.bash" "$@"
export TAVRIN_TEST_OBJECT=nest-seed-obj
export TAVRIN_TRACE_MESSAGES=ObjectCreated,PlaySound,ShowTutorial,LockTutorial
export TAVRIN_MAX_FRAMES=800 TAVRIN_FIXED_DT=0.032 TAVRIN_SEED=7

cp "$src/tests/e2e/fixtures/nest-seed-objects.xobj" rsc/objects/
echo "nest-seed-objects" >> rsc/loading-pkg.pkg

traces=()
for run in first second; do
  small_window "game-$run"
  keepXdg=1 run_program "game-$run"
  expect_clean_run "game-$run"
  log=$(log_file)
  [ "$(grep -c "ObjectCreated([0-9]* 'yak-obj')" "$log")" -eq 2 ] || fail "$run run: not exactly two yaks"
  [ "$(grep -c "ObjectCreated([0-9]* 'yak-fx-obj')" "$log")" -eq 2 ] || fail "$run run: not one smoke per yak"
  [ "$(grep -c "PlaySound(yak-spawn-sfx)" "$log")" -eq 2 ] || fail "$run run: not one spawn sound per yak"
  expect_line "$log" "ShowTutorial(spawner-appears)"
  expect_line "$log" "LockTutorial(spawner-appears)"
  expect_no_line "$log" "could not be created"
  expect_line "$log" "Run ended after 800 frames"
  traces+=("$(grep -o "trace frame .*" "$log")")
done
[ "${traces[0]}" = "${traces[1]}" ] || fail "the two runs traced differently"
echo "two yaks from the nest, the same in both runs"
