#!/usr/bin/env bash
# Runs of the shipped game that end while the boot scene's background load
# still runs: at a sample of frame counts (frame limit, no fixed step, so the
# load really overlaps the end), on SIGTERM and SIGINT mid-load, and on the
# window's close. The loading thread must be stopped and joined before any
# system or manager goes: every run ends with exit 0, the run-end line, and
# no sanitizer report. LV_SHUTDOWN_FRAMES replaces the frame sample
# (scripts/shutdown-race.sh loops over every count from 1 to 60).
set -euo pipefail
here="$(dirname "$(readlink -f "$0")")"
source "$here/e2e_common.bash" "$@"

cp "$src/rsc/uisystem.xcfg" "$work/rsc/uisystem.xcfg"
unset TAVRIN_SAMPLE_SCENE TAVRIN_FIXED_DT
frames=${LV_SHUTDOWN_FRAMES:-"1 2 3 5 8 13 30 60"}

sanitizer_report() {
  grep -qE "runtime error:|AddressSanitizer|LeakSanitizer|ThreadSanitizer" "$work/$1.err"
}

check_run() {
  local name=$1
  ! sanitizer_report "$name" || { cat "$work/$name.err" >&2; fail "$name: sanitizer report"; }
  expect_line "$(log_file)" "Run ended after"
}

for n in $frames; do
  small_window "frames-$n"
  TAVRIN_MAX_FRAMES=$n keepXdg=1 run_program "frames-$n"
  check_run "frames-$n"
done
echo "frame limits ($frames): clean"

# The window's close at frame 2, mid-load.
small_window close
printf '2 close\n' > "$work/close.input"
TAVRIN_MAX_FRAMES=600 TAVRIN_INPUT_SCRIPT="$work/close.input" keepXdg=1 run_program close
check_run close
echo "window close: clean"

# A signal once the first frames have run: the load is under way.
for signal in TERM INT; do
  small_window "sig$signal"
  code=0
  TAVRIN_MAX_FRAMES=100000 "$exe" >"$work/sig$signal.out" 2>"$work/sig$signal.err" &
  pid=$!
  for _ in $(seq 1 200); do
    grep -qF "Update order" "$(log_file)" 2>/dev/null && break
    sleep 0.05
  done
  sleep 0.3
  kill -"$signal" "$pid"
  wait "$pid" || code=$?
  [ "$code" -eq 0 ] || { cat "$work/sig$signal.err" >&2; fail "SIG$signal: exit $code"; }
  check_run "sig$signal"
  echo "SIG$signal mid-load: clean"
done
