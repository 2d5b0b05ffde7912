#!/usr/bin/env bash
# The first tutorial prompts of the shipped game, headless, in the first
# level from the shipped rsc (640 x 360). Once the fly-over is skipped the
# game system asks for its periodic prompts: "move-basic" is the only one
# due (the others wait for it), and its keyboard page shows across the top
# of the screen for 5 s: a dark panel under a gold stripe. The player walks
# (Right) while it shows, which locks it; the page runs out, and at the next
# request, 10 s after the first, the prompt that waited for it,
# "use-qil-basic", shows its page instead of the move page again.
# Checked: the log's page lines in that order and no second move page, the
# lock traced after the key, and the stripe's gold on the screenshots taken
# while a page shows and not on the one between the pages.
# A fourth run opens the pause menu (Escape) while the move page shows: the
# page is not seen under the menu, not even dimmed, and when Escape closes
# the menu it is back, the same showing.
set -euo pipefail
source "$(dirname "$0")/e2e_common.bash" "$@"
source "$e2eDir/sample_game.bash"
export TAVRIN_TRACE_MESSAGES=GameReady,ShowTutorial,LockTutorial,KeyTriggered
fight_copy yak-nests
{ level_start; printf '120 key 39 down\n130 key 39 up\n'; } > "$work/tutorial.txt"
export TAVRIN_INPUT_SCRIPT="$work/tutorial.txt"

# One run for each picture (a run writes one screenshot); the runs play
# the same script with the same seed.
mkdir -p shots
for frame in 80 250 400; do
  user_folder "tutorial-$frame"
  printf '<UserSettings><WindowWidth>640</WindowWidth><WindowHeight>360</WindowHeight><Fullscreen>0</Fullscreen></UserSettings>' \
    > "$settings/UserConfig.xcfg"
  TAVRIN_MAX_FRAMES=$((frame + 2)) TAVRIN_SCREENSHOT="$work/shots/tutorial-$frame.png@$frame" keepXdg=1 \
    run_program "tutorial-$frame"
  expect_clean_run "tutorial-$frame"
  expect_no_line "$(log_file)" "GL error"
  expect_line "$(log_file)" "Screenshot of frame $frame written"
done
log=$(log_file)
grep -E "shows its page|trace frame [0-9]+: (LockTutorial\(move-basic\)|KeyTriggered\(39, true\))" "$log" > pages.txt
cat pages.txt
in_order pages.txt "Tutorial 'move-basic' shows its page 'tut-move-kb'" "KeyTriggered(39, true)" \
  "LockTutorial(move-basic)" "Tutorial 'use-qil-basic' shows its page 'tut-attack-kb'"
[ "$(count pages.txt "Tutorial 'move-basic'")" -eq 1 ] || fail "the move page showed again after the move"

# Escape at 40 and 90 after "GameReady" (frame 3), past the pause menu's
# input delay.
{ level_start; printf '40 key 27 down\n41 key 27 up\n90 key 27 down\n91 key 27 up\n'; } > "$work/paused.txt"
user_folder tutorial-paused
printf '<UserSettings><WindowWidth>640</WindowWidth><WindowHeight>360</WindowHeight><Fullscreen>0</Fullscreen></UserSettings>' \
  > "$settings/UserConfig.xcfg"
TAVRIN_INPUT_SCRIPT="$work/paused.txt" TAVRIN_MAX_FRAMES=112 keepXdg=1 \
  TAVRIN_SCREENSHOT="$work/shots/paused.png@70,$work/shots/resumed.png@110" run_program tutorial-paused
expect_clean_run tutorial-paused
expect_line "$(log_file)" "hud > pause-menu"
[ "$(grep -c "shows its page" "$(log_file)")" -eq 1 ] || fail "the move page did not show once, through the pause"

# The stripe: gold, across the top middle of the picture.
python3 - "$e2eDir" "$work/shots" <<'PY'
import sys
sys.path.insert(0, sys.argv[1])
from png_rows import read_rgba
# shade: the gold under a menu's backdrop of alpha 0.6 is 0.4 of it.
def gold(path, shade=1.0):
    width, height, rows = read_rgba(path)
    n = 0
    for y in range(35, 49):
        for x in range(110, 530):
            r, g, b = rows[y][x * 4:x * 4 + 3]
            n += abs(r - 242 * shade) < 30 * shade and abs(g - 184 * shade) < 30 * shade and abs(b - 64 * shade) < 40 * shade
    return n
counts = {f: gold("%s/tutorial-%d.png" % (sys.argv[2], f)) for f in (80, 250, 400)}
print("gold stripe pixels:", counts)
if counts[80] < 800 or counts[400] < 800: sys.exit("FAIL: no page's stripe on screen while a page shows")
if counts[250] > 50: sys.exit("FAIL: a page's stripe is on screen between the pages")
paused = gold(sys.argv[2] + "/paused.png") + gold(sys.argv[2] + "/paused.png", 0.4)
resumed = gold(sys.argv[2] + "/resumed.png")
print("gold stripe pixels under the pause menu:", paused, "after it:", resumed)
if paused > 50: sys.exit("FAIL: the page is seen under the pause menu")
if resumed < 800: sys.exit("FAIL: the page is not back after the pause menu")
PY
echo "tutorial: the move page, the lock after the move, then the attack page"
