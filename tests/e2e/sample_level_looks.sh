#!/usr/bin/env bash
# The sample levels as a player sees them, in 640 x 360 shots of the shipped
# rooms (the 16:9 of 1280 x 720) checked by level_looks.py:
#  1. each level's first frame after the fly-over (Space skips it): sky,
#     lit stone, and the player at least 8% of the picture's height;
#  2. the player walking along the near wall (the chase camera's side) of
#     the first level's two corridors and of an arena: it stays in view.
# Each run is a work copy whose level order is one level, its start scene the
# loading screen as Play brings it (GameReady at frame 3 with the UI's debug
# load), a fixed step and seed.
set -euo pipefail
here="$(dirname "$(readlink -f "$0")")"
source "$here/e2e_common.bash" "$@"
source "$here/sample_game.bash"
mkdir -p "$work/shots"

# shot LEVEL NAME FRAME [SCRIPT]: the run's frame FRAME in shots/NAME.png.
shot() {
  local level=$1 name=$2 frame=$3 script=${4:-}
  echo "<$level />" > "$work/rsc/levels/levels.xlod"
  user_folder "$name"
  printf '<UserSettings><WindowWidth>640</WindowWidth><WindowHeight>360</WindowHeight><Fullscreen>0</Fullscreen></UserSettings>' \
    > "$settings/UserConfig.xcfg"
  if [ -n "$script" ]; then export TAVRIN_INPUT_SCRIPT="$script"; else unset TAVRIN_INPUT_SCRIPT; fi
  TAVRIN_MAX_FRAMES=$((frame + 1)) TAVRIN_SCREENSHOT="$work/shots/$name.png@$frame" keepXdg=1 run_program "$name"
  expect_clean_run "$name"
  expect_line "$(log_file)" "Screenshot of frame $frame written to '$work/shots/$name.png' (640 x 360)"
}

mkdir -p "$work/rsc/scenes"
cp "$e2eDir/fixtures/yak-arena-start.scn" "$work/rsc/scenes/"
printf '<UiSystem>\n  <debug>1</debug>\n  <start-scene>yak-arena-start</start-scene>\n</UiSystem>\n' > "$work/rsc/uisystem.xcfg"
sed -i 's|<max-fps>[^<]*</max-fps>|<max-fps>10000.000000</max-fps>|' "$work/rsc/coresystem.xcfg"

# 1. Space at GameReady + 20 ends the fly-over; the chase camera has come
# down to the player some 45 frames later.
level_start > "$work/skip.txt"
# Every level the game plays, in its order.
for level in $(sed -n 's|^ *<\([a-z0-9-]*\) */>.*|\1|p' "$src/rsc/levels/levels.xlod"); do
  shot "$level" "first-$level" 70 "$work/skip.txt"
  python3 "$here/level_looks.py" first "$work/shots/first-$level.png"
done

# 2. Down takes the player to the near wall, Right walks it along (the
# player covers about 0.23 units a frame).
{ level_start; echo "22 key 40 down"; echo "45 key 40 up"; echo "45 key 39 down"; } > "$work/corridor.txt"
shot yak-nests wall-start 75 "$work/corridor.txt"
shot yak-nests wall-nests 135 "$work/corridor.txt"
# In an arena: right into it (short of the boss's trigger), down to its
# near wall, then right along it.
{ level_start; echo "22 key 39 down"; echo "112 key 39 up"; echo "112 key 40 down"; echo "240 key 40 up"
  echo "240 key 39 down"; } > "$work/arena.txt"
shot fox-boss wall-arena 275 "$work/arena.txt"
python3 "$here/level_looks.py" wall "$work/shots/wall-start.png" "$work/shots/wall-nests.png" "$work/shots/wall-arena.png"
