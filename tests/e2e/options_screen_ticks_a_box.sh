#!/usr/bin/env bash
# The options screen, driven by scripted keys at the offscreen display's one
# mode (1024 x 768): Down selects the effects row, Enter ticks "cbx_1". The
# box then shows its ticked (green) centre while the full-screen box stays
# unticked, the current-resolution label "lbl_mid" shows text over the
# background, and the saved settings hold the effects muted.
set -euo pipefail
here="$(dirname "$(readlink -f "$0")")"
source "$here/e2e_common.bash" "$@"

# With "debug" the UI system runs the background load at start, so the
# start scene exists at the first update.
printf '<UiSystem>\n  <debug>1</debug>\n  <start-scene>options</start-scene>\n</UiSystem>\n' > "$work/rsc/uisystem.xcfg"
printf '10 key 40 down\n11 key 40 up\n14 key 13 down\n15 key 13 up\n' > "$work/keys.txt"

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
echo "options screen: ok"
