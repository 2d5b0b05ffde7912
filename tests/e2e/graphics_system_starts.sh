#!/usr/bin/env bash
# The game, the level editor and the model viewer build the graphics system
# on the shipped shaders under the offscreen driver, run 120 frames and end
# cleanly: exit 0, all nine programs and the render targets made, and no
# line in the log reporting a failure. A second game run with a shader
# source removed starts, logs the missing source by name and still runs.
set -euo pipefail
source "$(dirname "$0")/e2e_common.bash" "$@"
export TAVRIN_MAX_FRAMES=120

# Lines that report something wrong (every log line is written at the error
# level, so the text decides).
problems='error|fail|could not|cannot|no such|invalid|missing|skipped|not drawn'

check_program() {
  local name=$1; shift
  run_program "$name" "$@"
  expect_clean_run "$name"
  local log; log=$(log_file)
  expect_line "$log" "Graphics ready: 9 of 9 shader programs, 5 render targets"
  expect_line "$log" "Run ended after 120 frames"
  if grep -iE "$problems" "$log"; then fail "$name: the log reports a problem"; fi
  echo "$name: ok"
}

check_program game
check_program editor -l
check_program viewer -m

rm rsc/shaders/edge-ps.psh
export TAVRIN_MAX_FRAMES=10
run_program no-edge
expect_clean_run no-edge
expect_line "$(log_file)" "shader 'edge-ps': no such SHADER resource"
expect_line "$(log_file)" "Graphics ready: 7 of 9 shader programs"
expect_line "$(log_file)" "Run ended after 10 frames"
echo "graphics system starts in all three programs"
