#!/usr/bin/env bash
# Test Level and back, as a designer does it: ';' loads the room named in
# "Loading From" (the start room), it is saved as "before-test", "Test
# Level" plays it (the panels leave the screen), Escape opens the pause
# menu, whose "Back to editor" ends the play, and the room is saved again as
# "after-test". The two saves are the same file: the test changed nothing.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/e2e_common.bash" "$@"
# A bound on the run: the play waits for "GameReady".
export TAVRIN_MAX_FRAMES=1500
keepXdg=1
user_folder test-level

cat > rsc/leveleditor.xcfg <<'XML'
<LevelEditor>
    <ObjectBarPosX>10</ObjectBarPosX><ObjectBarPosY>420</ObjectBarPosY>
    <PaletteBarPosX>320</PaletteBarPosX><PaletteBarPosY>420</PaletteBarPosY>
    <LoadingFrom>room-start</LoadingFrom>
</LevelEditor>
XML

# save_as FRAME NAME: script lines that type NAME into "Saving To" and press
# "Save Level", from FRAME on.
save_as() {
  local f=$1
  printf '%s mouse item Editor Info|I/O|Saving To\n%s mouse left down\n%s mouse left up\n' $f $((f + 1)) $((f + 2))
  printf '%s key 17 down\n%s key A down\n%s key A up\n%s key 17 up\n' $((f + 4)) $((f + 5)) $((f + 6)) $((f + 7))
  printf '%s text %s\n%s key 13 down\n%s key 13 up\n' $((f + 8)) "$2" $((f + 9)) $((f + 10))
  printf '%s mouse item Editor Info|I/O|Save Level\n%s mouse left down\n%s mouse left up\n' \
    $((f + 12)) $((f + 13)) $((f + 14))
}

{
  printf '10 key 186 down\n11 key 186 up\n'
  save_as 16 before-test
  printf '36 mouse item Editor Info||Test Level\n37 mouse left down\n38 mouse left up\n'
  level_start
  printf '40 key 27 down\n41 key 27 up\n'   # the pause menu
  printf '46 key 40 down\n47 key 40 up\n'   # down to "Back to editor"
  printf '50 key 13 down\n51 key 13 up\n'
  save_as 60 after-test
  printf '84 close\n'
} > script.txt

TAVRIN_INPUT_SCRIPT="$work/script.txt" TAVRIN_SCREENSHOT="$work/back.png@200" run_program test-level -l
expect_clean_run test-level
log=$(log_file)
expect_line "$log" "LevelEditor: saved the room 'before-test' ("
expect_line "$log" "LevelEditor: test-playing the room 'room-start'"
expect_line "$log" "LevelEditor: back from test-playing the room 'room-start'"
expect_line "$log" "LevelEditor: saved the room 'after-test' ("
expect_no_line "$log" "no element 'Attributes'"
before="$work/rsc/level/before-test.xrm"
after="$work/rsc/level/after-test.xrm"
cmp -s "$before" "$after" || { diff "$before" "$after" >&2; fail "the room changed across the test"; }
grep -q "<Difficulty>0</Difficulty>" "$after" || fail "the room's difficulty was lost"
grep -q "<spawner-Luvo" "$after" || fail "the player's spawner is missing"
[ ! -e "$work/rsc/leveleditor.xcfg.tmp" ] || fail "a layout file was written into rsc/"
[ -f "$settings/leveleditor.xcfg" ] || fail "no layout in the per-user folder"
echo "editor test level and back: ok"
