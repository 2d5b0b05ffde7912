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

# The stripe: gold, across the top middle of the picture.
python3 - "$e2eDir" "$work/shots" <<'PY'
import sys
sys.path.insert(0, sys.argv[1])
from png_rows import read_rgba
def gold(path):
    width, height, rows = read_rgba(path)
    n = 0
    for y in range(35, 49):
        for x in range(110, 530):
            r, g, b = rows[y][x * 4:x * 4 + 3]
            n += abs(r - 242) < 30 and abs(g - 184) < 30 and abs(b - 64) < 40
    return n
counts = {f: gold("%s/tutorial-%d.png" % (sys.argv[2], f)) for f in (80, 250, 400)}
print("gold stripe pixels:", counts)
if counts[80] < 800 or counts[400] < 800: sys.exit("FAIL: no page's stripe on screen while a page shows")
if counts[250] > 50: sys.exit("FAIL: a page's stripe is on screen between the pages")
PY
echo "tutorial: the move page, the lock after the move, then the attack page"
