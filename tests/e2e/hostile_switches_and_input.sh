#!/usr/bin/env bash
# Switches and input scripts a careless or hostile user can give: none hangs
# or crashes a program, each refusal is logged, and SIGTERM ends a run at
# once even in the middle of a long frame-cap sleep.
set -euo pipefail
source "$(dirname "$0")/e2e_common.bash" "$@"

# Fixed steps that overflowed the clock and hung the loop are refused.
for dt in 1e300 1e9; do
  TAVRIN_FIXED_DT=$dt run_program "dt-$dt"
  expect_clean_run "dt-$dt"
  expect_line "$work/dt-$dt.err" "TAVRIN_FIXED_DT: malformed value '$dt', ignored"
  expect_line "$(log_file)" "Run ended after 30 frames"
done
echo "huge fixed steps: ok"

# Input scripts: an endless one, one with control bytes, a folder.
TAVRIN_INPUT_SCRIPT=/dev/zero run_program dev-zero
expect_clean_run dev-zero
expect_line "$(log_file)" "/dev/zero: input script longer than 4194304 bytes, the rest is ignored"
printf '1 key\0 65 down\n2 \033[2Jcleared\n' > "$work/control.txt"
TAVRIN_INPUT_SCRIPT="$work/control.txt" run_program control-bytes
expect_line "$(log_file)" "control.txt:1: malformed input-script line '1 key\\x00 65 down', skipped"
expect_line "$(log_file)" "control.txt:2: malformed input-script line '2 \\x1b[2Jcleared', skipped"
TAVRIN_INPUT_SCRIPT="$work" run_program folder-script
expect_line "$(log_file)" "$work: a folder, not an input script, no scripted input"
echo "hostile input scripts: ok"

# A frame cap of 0.01 frames per second is read as 1, and SIGTERM or SIGINT
# ends the run while the loop sleeps (no frame limit: only the signal can).
printf '<CoreSystem><debug>1</debug><max-fps>0.01</max-fps></CoreSystem>' > rsc/coresystem.xcfg
for signal in TERM INT; do
  name="sleep-$signal"
  export XDG_DATA_HOME="$work/xdg-$name"
  rm -rf "$XDG_DATA_HOME"; mkdir -p "$XDG_DATA_HOME"
  env -u TAVRIN_MAX_FRAMES "$exe" >"$work/$name.out" 2>"$work/$name.err" &
  pid=$!
  for _ in $(seq 300); do
    grep -qF "max-fps 0.01 is below 1, using 1" "$(log_file)" 2>/dev/null && break
    sleep 0.1
  done
  expect_line "$(log_file)" "CoreSystem: max-fps 0.01 is below 1, using 1"
  sleep 1.5  # well inside the capped frames' sleeps
  kill -s "$signal" "$pid"
  # Ends at once; the old 100-second sleeps held it far longer than this.
  for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  if kill -0 "$pid" 2>/dev/null; then kill -KILL "$pid"; fail "$name: still running 10 s after SIG$signal"; fi
  code=0; wait "$pid" || code=$?
  [ "$code" -eq 0 ] || fail "$name: exit code $code"
  expect_clean_run "$name"
  expect_line "$(log_file)" "Run ended after"
  [ -f "$XDG_DATA_HOME/$userFolderName/UserConfig.xcfg" ] || fail "$name: settings not saved"
done
cp "$src/rsc/coresystem.xcfg" rsc/coresystem.xcfg
echo "signals end capped sleeps: ok"
