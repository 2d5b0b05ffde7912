#!/usr/bin/env bash
# The game loads the sample camera and motion archetypes without a logged
# error, and a "fuse-obj" (a timed life of 0 s) made from its archetype dies
# on the first frame its brain is stepped, before the probe's own three-step
# action can finish.
set -euo pipefail
source "$(dirname "$0")/e2e_common.bash" "$@"
export TAVRIN_MAX_FRAMES=10

export TAVRIN_TEST_OBJECT=fuse-obj
run_program game-fuse
expect_clean_run game-fuse
log=$(log_file)
id=$(sed -n "s/.*Test object \([0-9]*\) created from 'fuse-obj'.*/\1/p" "$log" | head -1)
[ -n "$id" ] || fail "fuse-obj: no object was created"
expect_line "$log" "Test object $id destroyed and announced"
expect_no_line "$log" "Test action of object $id ran"
for text in motion-objects "has no TransformComponent" "has no BrainComponent" "could not be created" \
            "Could not find"; do
  expect_no_line "$log" "$text"
  expect_no_line "$work/game-fuse.out" "$text"
done
echo "fuse-obj: ok"

# The tools load the same archetypes (the camera among them) just as quietly.
for program in -l -m; do
  unset TAVRIN_TEST_OBJECT
  run_program "tool$program" "$program"
  expect_clean_run "tool$program"
  expect_no_line "$(log_file)" "motion-objects"
  expect_no_line "$(log_file)" "has no"
done
echo "tools: ok"
