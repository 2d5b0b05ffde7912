#!/usr/bin/env bash
# An archetype file that uses the reserved name "blank" (the factory's name
# for an empty object) is loaded by the game from a package: the record is
# logged and skipped, the records after it load, and the run ends normally.
# A room copied into the rooms folder under the file's name (which the walk
# meets first) does not hide it: the clash is logged, naming both files.
set -euo pipefail
source "$(dirname "$0")/e2e_common.bash" "$@"
export TAVRIN_TEST_OBJECT=after-blank-obj

cp "$src/tests/e2e/fixtures/reserved-objects.xobj" rsc/objects/
echo "reserved-objects" >> rsc/loading-pkg.pkg
cp rsc/level/room-mid-a.xrm rsc/level/Reserved-Objects.xrm

run_program game
log=$(log_file)
expect_line "$log" "Resource 'reserved-objects': the room 'rsc/level/Reserved-Objects.xrm' is hidden by 'rsc/objects/reserved-objects.xobj'"
expect_line "$log" "reserved-objects.xobj: archetype name 'blank' is reserved, skipped"
grep -qE "Test object [0-9]+ created from 'after-blank-obj'" "$log" || fail "the record after the reserved one did not load"
expect_line "$log" "Run ended after 30 frames"
echo "the reserved name was logged and skipped"
