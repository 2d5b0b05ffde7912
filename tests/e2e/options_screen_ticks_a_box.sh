#!/usr/bin/env bash
# The options screen, reached from the shipped main menu and driven by
# scripted keys at the offscreen display's one mode (1024 x 768): Down and
# Enter on the main menu push "options" over it. Each check box must show,
# texel by texel, the ticked or the unticked texture (rsc/textures, from
# scripts/gen-textures.py) as the settings say. In the first run the user's
# settings hold a window and muted music; Down selects the effects row and
# Enter ticks "cbx_1": full screen unticked, effects and music ticked, the
# current-resolution label "lbl_mid" shows text over the background, and
# the saved settings hold both muted. A second run starts in full screen
# with muted effects and open music, and only opens the screen: ticked,
# ticked, unticked. No GL error is logged. A third run leaves the screen
# with Escape, and a fourth with Back: each returns to the main menu, which
# still works.
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

# boxes SHOT TICKS: each box "cbx_0".."cbx_2" (32 x 32 units centred at x
# 270 on its row) matches the ticked or unticked texture, as TICKS says (a
# letter a box: t or u), at the centre of every texel where the two differ
# and of every frame texel.
boxes() {
  python3 - "$here" "$1" "$2" "$src/rsc/textures" <<'PY' || fail "$1: a check box shows the wrong texture"
import sys
sys.path.insert(0, sys.argv[1])
from png_rows import read_rgba, pixel
width, height, rows = read_rgba(sys.argv[2])
_, _, ticked = read_rgba(sys.argv[4] + "/checkbox-on.png")
_, _, unticked = read_rgba(sys.argv[4] + "/checkbox-off.png")
scale = height / 720.0  # UI units: 720 high, the origin at the centre
ok = True
for box, (want, uy) in enumerate(zip(sys.argv[3], (-150, -90, -30))):
    texture = ticked if want == "t" else unticked
    bad = 0
    for ty in range(32):
        for tx in range(32):
            x = int(width / 2 + (270 - 16 + tx + 0.5) * scale)
            y = int(height / 2 + (uy - 16 + ty + 0.5) * scale)
            texel = pixel(texture, tx, ty)
            if max(abs(a - b) for a, b in zip(pixel(rows, x, y), texel)) > 24:
                bad += 1
    if bad:
        print("cbx_%d: %d of 1024 texels are not the %s texture" % (box, bad, "ticked" if want == "t" else "unticked"))
        ok = False
sys.exit(0 if ok else 1)
PY
}

user_folder options
printf '<UserSettings><WindowWidth>1024</WindowWidth><WindowHeight>768</WindowHeight><Fullscreen>0</Fullscreen><bgm-mute>1</bgm-mute><sfx-mute>0</sfx-mute></UserSettings>' \
  > "$settings/UserConfig.xcfg"
mkdir -p "$work/shots"
TAVRIN_MAX_FRAMES=24 TAVRIN_INPUT_SCRIPT="$work/keys.txt" TAVRIN_SCREENSHOT="$work/shots/options.png@22" keepXdg=1 \
  run_program options
expect_clean_run options
expect_line "$(log_file)" "Screenshot of frame 22 written to '$work/shots/options.png' (1024 x 768)"
expect_no_line "$(log_file)" "GL error"
expect_no_line "$(log_file)" "lua"
boxes "$work/shots/options.png" utt

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
ok = True
background = pixel(*at(-500, 300))
x0, y0 = at(25, 16)
x1, y1 = at(125, 38)
bright = [(x, y) for y in range(y0, y1) for x in range(x0, x1) if min(pixel(x, y)) > 150]
if len(bright) < 20:
    print("lbl_mid shows", len(bright), "bright pixels over the background", background); ok = False
sys.exit(0 if ok else 1)
PY

grep -q "<sfx-mute>1</sfx-mute>" "$settings/UserConfig.xcfg" || { cat "$settings/UserConfig.xcfg" >&2; fail "sfx-mute not saved on"; }
grep -q "<bgm-mute>1</bgm-mute>" "$settings/UserConfig.xcfg" || { cat "$settings/UserConfig.xcfg" >&2; fail "bgm-mute not kept on"; }
cp "$(log_file)" "$work/options.log"

user_folder full
printf '<UserSettings><WindowWidth>1024</WindowWidth><WindowHeight>768</WindowHeight><Fullscreen>1</Fullscreen><bgm-mute>0</bgm-mute><sfx-mute>1</sfx-mute></UserSettings>' \
  > "$settings/UserConfig.xcfg"
TAVRIN_MAX_FRAMES=16 TAVRIN_INPUT_SCRIPT="$work/open.txt" TAVRIN_SCREENSHOT="$work/shots/full.png@14" keepXdg=1 \
  run_program full
expect_clean_run full
expect_line "$(log_file)" "Screenshot of frame 14 written to '$work/shots/full.png' (1024 x 768)"
expect_no_line "$(log_file)" "GL error"
boxes "$work/shots/full.png" ttu

# stacks NAME: the UI stacks the run logged, one a line.
stacks() { sed -n 's/^.*UI scenes at frame [0-9]*: //p' "$work/$1.log"; }
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
