#!/usr/bin/env bash
# The options screen, reached from the shipped main menu and driven by
# scripted keys at the offscreen display's one mode (1024 x 768): Down and
# Enter on the main menu push "options" over it; there Down selects the
# effects row and Enter ticks "cbx_1". The box then shows its ticked (green)
# centre while the full-screen box stays unticked, the current-resolution
# label "lbl_mid" shows text over the background, and the saved settings
# hold the effects muted. A second run leaves the screen with Escape, and a
# third with Back: each returns to the main menu, which still works.
set -euo pipefail
here="$(dirname "$(readlink -f "$0")")"
source "$here/e2e_common.bash" "$@"

# The shipped start scene; with "debug" the UI system runs the background
# load at start, so the main menu is up at the first update.
cp "$src/rsc/uisystem.xcfg" "$work/rsc/uisystem.xcfg"
sed -i 's|<debug>0</debug>|<debug>1</debug>|' "$work/rsc/uisystem.xcfg"
unset TAVRIN_SAMPLE_SCENE
printf '4 key 40 down\n5 key 40 up\n7 key 13 down\n8 key 13 up\n' > "$work/open.txt"
{ cat "$work/open.txt"; printf '10 key 40 down\n11 key 40 up\n14 key 13 down\n15 key 13 up\n'; } > "$work/keys.txt"

user_folder options
printf '<UserSettings><WindowWidth>1024</WindowWidth><WindowHeight>768</WindowHeight><Fullscreen>0</Fullscreen></UserSettings>' \
  > "$settings/UserConfig.xcfg"
mkdir -p "$work/shots"
TAVRIN_MAX_FRAMES=24 TAVRIN_INPUT_SCRIPT="$work/keys.txt" TAVRIN_SCREENSHOT="$work/shots/options.png@22" keepXdg=1 \
  run_program options
expect_clean_run options
expect_line "$(log_file)" "Screenshot of frame 22 written to '$work/shots/options.png' (1024 x 768)"
expect_no_line "$(log_file)" "GL error"
expect_no_line "$(log_file)" "lua"

python3 - "$here" "$work/shots/options.png" <<'PY' || fail "the options screen does not show what it should"
import sys
sys.path.insert(0, sys.argv[1])
from png_rows import read_rgba
width, height, rows = read_rgba(sys.argv[2])
def pixel(x, y):
    return tuple(rows[y][4 * x:4 * x + 3])
# UI units: 720 are the height, the origin is the centre.
scale = height / 720.0
def at(ux, uy):
    return int(round(width / 2 + ux * scale)), int(round(height / 2 + uy * scale))
ticked = pixel(*at(270, -90))
unticked = pixel(*at(270, -150))
ok = True
if not (ticked[1] > 150 and ticked[0] < 100):
    print("cbx_1 reads", ticked); ok = False
if not max(unticked) < 60:
    print("cbx_0 reads", unticked); ok = False
background = pixel(*at(-500, 300))
x0, y0 = at(25, 16)
x1, y1 = at(125, 38)
bright = [(x, y) for y in range(y0, y1) for x in range(x0, x1) if min(pixel(x, y)) > 150]
if len(bright) < 20:
    print("lbl_mid shows", len(bright), "bright pixels over the background", background); ok = False
sys.exit(0 if ok else 1)
PY

grep -q "<sfx-mute>1</sfx-mute>" "$settings/UserConfig.xcfg" || { cat "$settings/UserConfig.xcfg" >&2; fail "sfx-mute not saved on"; }

# stacks NAME: the UI stacks the run logged, one a line.
stacks() { sed -n 's/^.*UI scenes at frame [0-9]*: //p' "$work/$1.log"; }
cp "$(log_file)" "$work/options.log"
[ "$(stacks options)" = "$(printf 'boot\nmain-menu\nmain-menu > options')" ] || { stacks options >&2; fail "options is not pushed over the main menu"; }

# Escape, then Back (four Downs reach it from the first row): back to the
# main menu, whose Down, Down, Enter then chooses Quit and ends the run.
quit='30 key 40 down\n31 key 40 up\n33 key 40 down\n34 key 40 up\n36 key 13 down\n37 key 13 up\n'
printf "$(cat "$work/open.txt")\n"'12 key 27 down\n13 key 27 up\n'"$quit" > "$work/escape.txt"
back=""
for f in 12 14 16 18; do back+="$f key 40 down\n$((f + 1)) key 40 up\n"; done
printf "$(cat "$work/open.txt")\n${back}"'22 key 13 down\n23 key 13 up\n'"$quit" > "$work/back.txt"
for way in escape back; do
  user_folder "$way"
  TAVRIN_MAX_FRAMES=60 TAVRIN_INPUT_SCRIPT="$work/$way.txt" keepXdg=1 run_program "$way"
  expect_clean_run "$way"
  cp "$(log_file)" "$work/$way.log"
  [ "$(stacks "$way")" = "$(printf 'boot\nmain-menu\nmain-menu > options\nmain-menu')" ] ||
    { stacks "$way" >&2; fail "$way did not close the options screen"; }
  ended=$(sed -n 's/^.*Run ended after \([0-9]*\) frames.*$/\1/p' "$work/$way.log" | tail -n 1)
  [ -n "$ended" ] && [ "$ended" -lt 60 ] || fail "$way: Quit on the main menu did not end the run"
done
echo "options from the main menu: ok"
