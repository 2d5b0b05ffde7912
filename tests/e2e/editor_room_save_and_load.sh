#!/usr/bin/env bash
# The editor makes a room with keys and its panels and saves it; a second
# run loads it with ';'. First run: "crate-obj" typed into "Selected
# Archetype", C creates one, F6 a second, Delete takes that one away again
# (taps: C, Delete and ';' go down and up within one frame, F6 one frame
# apart), numpad 6 three times moves the first 3 to the right, "3x"
# typed into its PosY is refused with the reason in the log, and so are
# forty digits typed into its PosX (more than the field holds: not cut to
# 32 and taken), on the status line too; "Save Level"
# (found through the panels, not by pixels) refuses the name "hud", which
# the HUD's scene holds (the status line names its file), and "Room-Start",
# which the shipped start room holds in lower case, then writes
# rsc/level/Untitled.xrm; 100001 typed into "Number of Clones" and V make
# no copy, said once in the log and on the status line (the object tables
# cannot hold them: no table-full line), and the window is closed. Second
# run: ';' finds no room "appeared"; the room saved above is moved into the
# rooms folder under that name while the editor runs, and the next ';' loads
# it: the object is highlighted in magenta where the first run left it.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/e2e_common.bash" "$@"
unset TAVRIN_MAX_FRAMES
room="$work/rsc/level/Untitled.xrm"

# "Object Info" and "Tile Palette" below "Editor Info", clear of the object.
cat > rsc/leveleditor.xcfg <<'XML'
<LevelEditor>
    <SystemBarSizeX>300</SystemBarSizeX><SystemBarSizeY>400</SystemBarSizeY>
    <SystemBarPosX>10</SystemBarPosX><SystemBarPosY>10</SystemBarPosY>
    <ObjectBarSizeX>300</ObjectBarSizeX><ObjectBarSizeY>300</ObjectBarSizeY>
    <ObjectBarPosX>10</ObjectBarPosX><ObjectBarPosY>420</ObjectBarPosY>
    <PaletteBarSizeX>200</PaletteBarSizeX><PaletteBarSizeY>300</PaletteBarSizeY>
    <PaletteBarPosX>320</PaletteBarPosX><PaletteBarPosY>420</PaletteBarPosY>
    <LoadingFrom>Untitled</LoadingFrom>
</LevelEditor>
XML

# magenta PNG: "COUNT CX CY" of the highlight's pixels right of the panels.
magenta() {
  python3 -c '
import sys
sys.path.insert(0, sys.argv[1])
from png_rows import read_rgba
width, height, rows = read_rgba(sys.argv[2])
xs = ys = n = 0
for y in range(height):
    row = rows[y]
    for x in range(530, width):
        r, g, b = row[4 * x], row[4 * x + 1], row[4 * x + 2]
        if r > 200 and g < 80 and b > 200:
            xs += x; ys += y; n += 1
print(n, xs // max(n, 1), ys // max(n, 1))
' "$here" "$1"
}

# type_into FRAME ITEM TEXT: the panel item ITEM clicked twice (a number
# field takes typing at the second), Ctrl+A, TEXT and Enter; 12 frames.
type_into() {
  printf '%s mouse item %s\n%s mouse left down\n%s mouse left up\n' $1 "$2" $(($1 + 1)) $(($1 + 2))
  printf '%s mouse left down\n%s mouse left up\n' $(($1 + 3)) $(($1 + 4))
  printf '%s key 17 down\n%s key A down\n%s key A up\n%s key 17 up\n' $(($1 + 5)) $(($1 + 6)) $(($1 + 7)) $(($1 + 8))
  printf '%s text %s\n%s key 13 down\n%s key 13 up\n' $(($1 + 9)) "$3" $(($1 + 10)) $(($1 + 11))
}
# save_as FRAME NAME: NAME typed into "Saving To", then "Save Level".
save_as() {
  type_into $1 "Editor Info|I/O|Saving To" "$2"
  printf '%s mouse item Editor Info|I/O|Save Level\n%s mouse left down\n%s mouse left up\n' $(($1 + 12)) $(($1 + 13)) $(($1 + 14))
}
{
  type_into 10 "Editor Info|Object Creation|Selected Archetype" crate-obj
  cat <<'SCRIPT'
22 mouse move 900 700 0 0
24 key C down
24 key C up
25 key 117 down
26 key 117 up
27 key 46 down
27 key 46 up
28 key 102 down
29 key 102 up
30 key 102 down
31 key 102 up
32 key 102 down
33 key 102 up
SCRIPT
  type_into 36 "Object Info|TransformComponent|PosY" 3x
  type_into 52 "Object Info|TransformComponent|PosX" 1234567890123456789012345678901234567890
  save_as 66 hud; save_as 82 Room-Start; save_as 98 Untitled
  # The folded "Clone Settings" opens at its header under "Clone Selected"
  # (groups have no "mouse item" place).
  printf '114 mouse move 100 354 0 0\n115 mouse left down\n116 mouse left up\n'
  type_into 118 "Editor Info|Clone Settings|Number of Clones" 100001
  printf '133 mouse move 900 700 0 0\n135 key V down\n135 key V up\n140 close\n'
} > make.txt
TAVRIN_INPUT_SCRIPT="$work/make.txt" \
  TAVRIN_SCREENSHOT="$work/made.png@51,$work/digits.png@65,$work/refused.png@83,$work/cloned.png@138" \
  ASAN_OPTIONS=detect_leaks=0 \
  XDG_DATA_HOME="$work/xdg-make" timeout 120 "$exe" -l >make.out 2>make.err || { cat make.err >&2; fail "first run"; }
expect_clean_run make
makeLog="$work/xdg-make/$userFolderName/error_log.log"
expect_line "$makeLog" "LevelEditor: the room 'hud' was not saved (the name is taken by 'rsc/ui/hud.scn')"
[ ! -e rsc/level/hud.xrm ] || fail "a room named 'hud' was written"
# Another spelling of a shipped room's name would hide it from the game.
expect_line "$makeLog" "LevelEditor: the room 'Room-Start' was not saved (the name is taken by 'rsc/level/room-start.xrm' (names that differ only in letter case are one name))"
[ ! -e rsc/level/Room-Start.xrm ] || fail "a room named 'Room-Start' was written"
# A refusal on the window: the status line's dark red strip at the bottom,
# with a text it did not show before (SHOT, then the earlier picture).
status_line_changed() {
  python3 - "$here" "$1" "$2" <<'PY'
import sys
sys.path.insert(0, sys.argv[1])
from png_rows import read_rgba
width, height, rows = read_rgba(sys.argv[2])
assert all(rows[height - 3][4 * x] > 90 and rows[height - 3][4 * x + 1] < 40 for x in range(0, width, 8))
assert rows[height - 22:] != read_rgba(sys.argv[3])[2][height - 22:]
PY
}
status_line_changed refused.png digits.png || fail "no status line after the refused save"
expect_line "$makeLog" "LevelEditor: saved the room 'Untitled' (1 objects)"
refusal="LevelEditor: no copy of 'crate-obj' made: 100001 copies asked for, the object tables hold room for "
[ "$(grep -cF "$refusal" "$makeLog")" = 1 ] || fail "the refused clones are not said once"
expect_no_line "$makeLog" "table is full"
status_line_changed cloned.png refused.png || fail "no status line after the refused clones"
[ -f "$room" ] || fail "no room file written"
[ ! -e "$room.tmp" ] || fail "the temporary room file was left"
grep -q "<crate-obj>" "$room" || { cat "$room" >&2; fail "the room lacks the crate"; }
grep -q "<PosX>3.000000</PosX>" "$room" || { cat "$room" >&2; fail "the room lacks the moved PosX"; }
# "3x" typed into PosY is refused whole, with the reason, not read as 3;
# forty digits in PosX are refused as too long, quoted by their start, and
# the PosX saved above is still 3, not the first 32 digits.
expect_line "$makeLog" "panel field 'PosY' of bar 'Object Info': '3x' is not a number; kept 0"
! grep -q "<PosY>3" "$room" || { cat "$room" >&2; fail "'3x' was taken as 3"; }
expect_line "$makeLog" "panel field 'PosX' of bar 'Object Info': '12345678901234567890...' is longer than the field \
holds (40 characters, at most 32); kept 3"
status_line_changed digits.png made.png || fail "no status line for the forty digits"
read -r madeCount madeX madeY <<<"$(magenta made.png)"
[ "$madeCount" -gt 20 ] || fail "no magenta highlight in the first run ($madeCount pixels)"

# Second run: ';' finds no room "appeared" until the room saved above is
# moved into the rooms folder under that name (once the failed Load is in
# the log, two seconds or more before the next ';' at 60 frames a second).
sed -i 's|<LoadingFrom>Untitled</LoadingFrom>|<LoadingFrom>appeared</LoadingFrom>|' rsc/leveleditor.xcfg
mv "$room" "$work/appeared.xrm"
cat > load.txt <<'SCRIPT'
10 key 186 down
10 key 186 up
160 key 186 down
160 key 186 up
170 close
SCRIPT
loadLog="$work/xdg-load/$userFolderName/error_log.log"
TAVRIN_INPUT_SCRIPT="$work/load.txt" TAVRIN_SCREENSHOT="$work/loaded.png@166" ASAN_OPTIONS=detect_leaks=0 \
  XDG_DATA_HOME="$work/xdg-load" timeout 120 "$exe" -l >load.out 2>load.err &
editor=$!
for _ in $(seq 600); do
  grep -qF "the room 'appeared' could not be loaded (no such room)" "$loadLog" 2>/dev/null && break
  sleep 0.05
done
mv "$work/appeared.xrm" rsc/level/appeared.xrm
wait "$editor" || { cat load.err >&2; fail "second run"; }
expect_clean_run load
expect_line "$loadLog" "the room 'appeared' could not be loaded (no such room)"
expect_line "$loadLog" "rsc/level/appeared.xrm' appeared after the start; it is used for 'appeared'"
read -r loadedCount loadedX loadedY <<<"$(magenta loaded.png)"
[ "$loadedCount" -gt 20 ] || fail "no magenta highlight after the load ($loadedCount pixels)"
dx=$((loadedX - madeX)); dy=$((loadedY - madeY))
[ "${dx#-}" -le 2 ] && [ "${dy#-}" -le 2 ] ||
  fail "the loaded object is at ($loadedX, $loadedY), the saved one was at ($madeX, $madeY)"
echo "editor room save and load: ok ($madeCount / $loadedCount magenta pixels at ($loadedX, $loadedY))"
