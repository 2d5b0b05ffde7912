#!/usr/bin/env bash
# The shipped menus' texts against their elements, measured in 640 x 360
# shots (the 16:9 of 1280 x 720; the menus are laid out on a 1280 x 720
# canvas centred on the screen): each scene is the start scene of a run. For
# every MenuButton of a scene file its white caption lies inside the
# button's rectangle (320 x 64 unless the call gives a width) and is centred
# on it; every CentredLabel (the titles) is centred on the screen and lies
# wholly on it. The menus that differ in the level editor's test play
# ("Back to editor") are shot again with the flag the editor sets.
set -euo pipefail
here="$(dirname "$(readlink -f "$0")")"
source "$here/e2e_common.bash" "$@"
unset TAVRIN_SAMPLE_SCENE
mkdir -p "$work/shots"

cp rsc/ui/startup-script.lua "$work/startup-script.lua"
for run in main-menu pause-menu game-lost-menu game-complete-menu \
  editor:pause-menu editor:game-lost-menu editor:game-complete-menu; do
  scene=${run#editor:}
  mode=game
  cp "$work/startup-script.lua" rsc/ui/startup-script.lua
  if [ "$run" != "$scene" ]; then
    mode=editor
    printf '\nLevelEditorTestPlay = true\n' >> rsc/ui/startup-script.lua
  fi
  printf '<UiSystem>\n  <debug>1</debug>\n  <start-scene>%s</start-scene>\n</UiSystem>\n' "$scene" > rsc/uisystem.xcfg
  user_folder "$mode-$scene"
  printf '<UserSettings><WindowWidth>640</WindowWidth><WindowHeight>360</WindowHeight><Fullscreen>0</Fullscreen></UserSettings>' \
    > "$settings/UserConfig.xcfg"
  TAVRIN_MAX_FRAMES=12 TAVRIN_SCREENSHOT="$work/shots/$mode-$scene.png@10" keepXdg=1 run_program "$mode-$scene"
  expect_clean_run "$mode-$scene"
  python3 -B - "$here" "$src/rsc/ui/$scene.scn" "$work/shots/$mode-$scene.png" "$mode" <<'PY'
import re, sys
sys.path.insert(0, sys.argv[1])
from png_rows import read_rgba
text = open(sys.argv[2]).read()
# Only the branch of "if LevelEditorTestPlay" that the run takes is shown.
branch = re.search(r"if LevelEditorTestPlay then(.*?)\n  else(.*?)\n  end", text, re.S)
if branch:
    text = text[:branch.start()] + branch.group(1 if sys.argv[4] == "editor" else 2) + text[branch.end():]
width, height, rows = read_rgba(sys.argv[3])
scale = width / 1280.0
name = sys.argv[2].split("/")[-1]

def pixels(y0, y1, test):
    y0, y1 = max(0, int(y0 * scale + height / 2)), min(height, int(y1 * scale + height / 2))
    return [x for y in range(y0, y1) for x in range(width) if test(tuple(rows[y][x * 4:x * 4 + 3]))]

def fail(message):
    sys.exit("FAIL: %s: %s" % (name, message))

white = lambda c: min(c) > 170
bright = lambda c: max(c) > 120
middle = width / 2
for caption, y, wide in re.findall(r'MenuButton\(scene, "[^"]+", "([^"]+)", (-?\d+)(?:, (\d+))?\)', text):
    y, half = int(y), int(wide or 320) / 2
    xs = pixels(y - 32, y + 32, white)
    if len(xs) < 20:
        fail("no caption '%s' on its button" % caption)
    left, right = middle - half * scale, middle + half * scale
    if min(xs) < left or max(xs) > right:
        fail("'%s' runs from %d to %d, outside its button (%d to %d)" % (caption, min(xs), max(xs), left, right))
    centre = (min(xs) + max(xs)) / 2
    if abs(centre - middle) > 4:
        fail("'%s' is centred at %.1f, not on its button's %.1f" % (caption, centre, middle))
    print("%s: '%s' %d..%d in %d..%d" % (name, caption, min(xs), max(xs), left, right))
for title, y, size in re.findall(r'CentredLabel\(scene, "([^"]+)", (-?\d+), (\d+)\)', text):
    y, size = int(y), int(size)
    xs = pixels(y, y + 1.3 * size, bright)
    if len(xs) < 20:
        fail("no title '%s'" % title)
    centre = (min(xs) + max(xs)) / 2
    if abs(centre - middle) > 4 or min(xs) <= 0 or max(xs) >= width - 1:
        fail("title '%s' runs from %d to %d (centre %.1f, the screen's %.1f)" % (title, min(xs), max(xs), centre, middle))
    print("%s: title '%s' %d..%d" % (name, title, min(xs), max(xs)))
PY
done
