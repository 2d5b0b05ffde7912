#!/usr/bin/env bash
# The editor's three bars on screen in their colours at their default places,
# a drag of "Editor Info" by its title written to leveleditor.xcfg in the
# per-user folder (never into rsc/) at the end of the run and read by the
# next run, a malformed layout file reported and replaced by the defaults,
# and a window shrunk to 800 x 450 and 640 x 360 and grown back: every bar
# inside the small windows, back at its place after, and saved there.
set -euo pipefail
source "$(dirname "$0")/e2e_common.bash" "$@"
unset TAVRIN_MAX_FRAMES
keepXdg=1
user_folder layout
layout="$settings/leveleditor.xcfg"

# Prints "R G B" of a PNG at pixel (X, Y).
pixel() { python3 "$(dirname "$0")/png_rows.py" "$1" "$2" "$3" | awk '{print $3, $4, $5}'; }
expect_pixel() {
  local got; got=$(pixel "$1" "$2" "$3")
  [ "$got" = "$4" ] || fail "$1 at ($2, $3) reads '$got', expected '$4'"
}
# layout_value KEY: the integer the layout file holds for KEY.
layout_value() { sed -n "s:.*<$1>\(-\?[0-9]*\)</$1>.*:\1:p" "$layout"; }

# First run: defaults; the title of "Editor Info" is dragged 100 px right,
# then the window is closed.
cat > drag.txt <<'SCRIPT'
8 mouse move 60 18 0 0
10 mouse left down
12 mouse move 110 18 50 0
14 mouse move 160 18 50 0
16 mouse left up
20 close
SCRIPT
TAVRIN_INPUT_SCRIPT="$work/drag.txt" TAVRIN_SCREENSHOT="$work/first.png@5" timeout 120 \
  bash -c 'exec "$0" -l' "$exe" >first.out 2>first.err || { cat first.err >&2; fail "first run"; }
! grep -qE "runtime error:|AddressSanitizer" first.err || { cat first.err >&2; fail "first run: sanitizer report"; }
expect_pixel first.png 15 30 "200 200 200"
expect_pixel first.png 325 30 "250 50 50"
expect_pixel first.png 635 30 "50 50 250"
expect_pixel first.png 950 600 "0 0 0"
[ -f "$layout" ] || fail "no layout file written"
[ ! -e "$layout.tmp" ] || fail "the temporary layout file was left"
[ ! -e "$work/LevelEditor" ] || fail "a bare LevelEditor file was written"
[ ! -e "$work/rsc/leveleditor.xcfg" ] || fail "the layout was written into the game's data folder"
[ "$(layout_value SystemBarPosX)" = 110 ] || { cat "$layout" >&2; fail "the drag was not saved"; }
[ "$(layout_value SystemBarPosY)" = 10 ] || fail "SystemBarPosY changed"
[ "$(layout_value ObjectBarPosX)" = 320 ] || fail "ObjectBarPosX changed"
grep -q "<SavingTo>Untitled</SavingTo>" "$layout" || fail "SavingTo missing"
grep -q "<LoadingFrom>Untitled</LoadingFrom>" "$layout" || fail "LoadingFrom missing"

# Second run: the bar is where the user left it.
TAVRIN_MAX_FRAMES=8 TAVRIN_SCREENSHOT="$work/second.png@5" run_program second -l
expect_clean_run second
expect_pixel second.png 115 30 "200 200 200"
expect_pixel second.png 15 30 "0 0 0"

# A malformed layout file: reported, and the defaults are used and saved.
printf '<LevelEditor><SystemBarPosX>50</SystemBarPosX' > "$layout"
TAVRIN_MAX_FRAMES=8 TAVRIN_SCREENSHOT="$work/third.png@5" run_program third -l
expect_line "$(log_file)" "configuration of LevelEditor could not be read"
expect_pixel third.png 15 30 "200 200 200"
[ "$(layout_value SystemBarPosX)" = 10 ] || fail "the defaults were not used"
# A 1280 x 720 window shrunk and grown back: the bars pushed inside the small
# windows return to their places, and the layout saved is theirs.
user_folder resize
printf '<UserSettings><WindowWidth>1280</WindowWidth><WindowHeight>720</WindowHeight><Fullscreen>0</Fullscreen></UserSettings>' \
  > "$settings/UserConfig.xcfg"
cat > resize.txt <<'SCRIPT'
6 resize 800 450
10 resize 640 360
14 resize 1280 720
18 close
SCRIPT
TAVRIN_INPUT_SCRIPT="$work/resize.txt" TAVRIN_SCREENSHOT="$work/r800.png@9,$work/r640.png@13,$work/r1280.png@17" \
  timeout 120 bash -c 'exec "$0" -l' "$exe" >resize.out 2>resize.err || { cat resize.err >&2; fail "resize run"; }
! grep -qE "runtime error:|AddressSanitizer" resize.err || { cat resize.err >&2; fail "resize run: sanitizer report"; }
# 800 x 450: "Tile Palette" (300 wide) pushed left to end at the edge.
expect_pixel r800.png 15 30 "200 200 200"
expect_pixel r800.png 325 30 "250 50 50"
expect_pixel r800.png 505 30 "50 50 250"
expect_pixel r800.png 795 30 "50 50 250"
# 640 x 360: every bar shortened to the window's height and inside it.
expect_pixel r640.png 15 30 "200 200 200"
expect_pixel r640.png 325 30 "250 50 50"
expect_pixel r640.png 635 30 "50 50 250"
expect_pixel r640.png 560 350 "50 50 250"
expect_pixel r640.png 15 350 "200 200 200"
# Grown back: each bar where the layout put it, 400 high again.
expect_pixel r1280.png 15 30 "200 200 200"
expect_pixel r1280.png 325 30 "250 50 50"
expect_pixel r1280.png 505 30 "250 50 50"
expect_pixel r1280.png 635 30 "50 50 250"
expect_pixel r1280.png 635 395 "50 50 250"
expect_pixel r1280.png 950 600 "0 0 0"
for key in SystemBarPosX:10 ObjectBarPosX:320 PaletteBarPosX:630 PaletteBarPosY:10 \
  SystemBarSizeY:400 ObjectBarSizeY:400 PaletteBarSizeX:300 PaletteBarSizeY:400; do
  [ "$(layout_value "${key%%:*}")" = "${key#*:}" ] || { cat "$layout" >&2; fail "${key%%:*} saved squeezed"; }
done
echo "editor panels and layout: ok"
