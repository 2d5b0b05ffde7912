#!/usr/bin/env bash
# Without OpenGL (SDL's dummy video driver: a window but no GL; or a video
# driver that does not exist, so no window at all) each program logs one line saying the render device could
# not be made, skips the run and ends in order with exit code 1: no crash,
# the log closed, no composition leaked.
set -euo pipefail
source "$(dirname "$0")/e2e_common.bash" "$@"

check_no_gl() {
  local name=$1; shift
  export XDG_DATA_HOME="$work/xdg-$name"
  rm -rf "$XDG_DATA_HOME"; mkdir -p "$XDG_DATA_HOME"
  local code=0
  "$@" >"$work/$name.out" 2>"$work/$name.err" || code=$?
  [ "$code" -eq 1 ] || { cat "$work/$name.err" >&2; fail "$name exited $code, not 1"; }
  local log; log=$(log_file)
  [ "$(grep -c "could not create the render device: " "$log")" -eq 1 ] || fail "$name: not one device line"
  expect_line "$log" "Terminating application"
  expect_no_line "$log" "Run ended after"
  expect_no_line "$work/$name.out" "Not all compositions were freed"
  echo "$name: ok ($(grep "could not create the render device" "$log" | sed 's/^\[[^]]*\] //'))"
}

check_no_gl game-dummy env SDL_VIDEODRIVER=dummy "$exe"
check_no_gl editor-dummy env SDL_VIDEODRIVER=dummy "$exe" -l
check_no_gl viewer-dummy env SDL_VIDEODRIVER=dummy "$exe" -m
check_no_gl game-no-video env SDL_VIDEODRIVER=no-such-driver "$exe"
