#!/usr/bin/env bash
# Start-up survives a malformed states file and a per-user folder that cannot
# be created: the run still reaches the loop, runs its frames and exits 0.
set -euo pipefail
source "$(dirname "$0")/e2e_common.bash" "$@"

# A states file that is not XML: logged, the table stays empty, the run goes on.
printf '<GamePlay><player-obj><Activity>1</Activ' > rsc/states.xstt
run_program bad-states
expect_line "$(log_file)" "Run ended after 30 frames"
expect_line "$(log_file)" "states.xstt"
echo "malformed states: ok"

# The per-user folder cannot exist (its parent is a file): no log file, no
# settings file; the console still gets the log and the program exits 0.
printf 'not a folder' > "$work/xdg-file"
export XDG_DATA_HOME="$work/xdg-file"
keepXdg=1 run_program no-user-folder
expect_line "$work/no-user-folder.err" "Run ended after 30 frames"
for args in "-l" "-m"; do
  keepXdg=1 run_program "no-user-folder$args" $args
  expect_line "$work/no-user-folder$args.err" "Run ended after 30 frames"
done
echo "unwritable per-user folder: ok"
