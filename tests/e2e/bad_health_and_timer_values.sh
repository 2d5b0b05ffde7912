#!/usr/bin/env bash
# An object whose archetype has a timed trigger with "RepeatTime" 0 and a
# health with "TotalHealth" 0 starts, runs and ends with the game: each bad
# value is logged once when the object starts, nothing hangs, and the run
# ends through the normal shutdown. The message trace logs the object's
# announcement with its archetype's name.
set -euo pipefail
source "$(dirname "$0")/e2e_common.bash" "$@"
export TAVRIN_TEST_OBJECT=bad-values-obj
export TAVRIN_TRACE_MESSAGES=ObjectCreated,TriggerActivated

cp "$src/tests/e2e/fixtures/bad-values-objects.xobj" rsc/objects/
echo "bad-values-objects" >> rsc/loading-pkg.pkg

run_program game
expect_clean_run game
log=$(log_file)
id=$(sed -n "s/.*Test object \([0-9]*\) created from 'bad-values-obj'.*/\1/p" "$log" | head -1)
[ -n "$id" ] || fail "bad-values-obj: no object was created"
[ "$(grep -cF "'bad-values-obj'): RepeatTime 0 is not above 0; it fires nothing" "$log")" -eq 1 ] ||
  fail "the bad RepeatTime is not logged exactly once"
[ "$(grep -cF "'bad-values-obj'): TotalHealth 0 is not above 0" "$log")" -eq 1 ] ||
  fail "the bad TotalHealth is not logged exactly once"
grep -qE "^.*trace frame [0-9]+: ObjectCreated\($id 'bad-values-obj'\)" "$log" ||
  fail "the trace did not log the object's announcement"
expect_no_line "$log" "TriggerActivated("
expect_line "$log" "Run ended after 30 frames"
echo "bad values logged once each; the run ended normally"
