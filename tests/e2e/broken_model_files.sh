#!/usr/bin/env bash
# The tools load every model file and animation set at start-up (the game
# loads them with its loading screen's background load): the samples load
# without a complaint; a truncated model file, a file that is no model at all
# and an animation set naming a missing clip are each logged by name and
# skipped, and the run goes on to its end.
set -euo pipefail
source "$(dirname "$0")/e2e_common.bash" "$@"

run_program clean -m
expect_no_line "$(log_file)" "model file"
expect_no_line "$(log_file)" "animation set"
echo "sample models: ok"

head -c 2400 rsc/models/hinge.bin > rsc/models/broken.bin
printf 'not a model' > rsc/models/junk.bin
printf 'anim: nowhere\nscale: 3\n' > rsc/models/ghost.anim
for args in "-l" "-m"; do
  run_program "broken$args" $args
  log=$(log_file)
  expect_line "$log" "Run ended after 30 frames"
  expect_line "$log" "rsc/models/broken.bin: 'skel' chunk at offset 2348"
  expect_line "$log" "runs past the end of the file"
  expect_line "$log" "rsc/models/junk.bin: does not start with a 'dpm2' chunk"
  expect_line "$log" "rsc/models/ghost.anim: clip 'nowhere' is not loaded, skipped"
done
echo "broken model files: ok"
