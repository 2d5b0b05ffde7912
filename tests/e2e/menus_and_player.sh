#!/usr/bin/env bash
# The shipped game from boot through its menus into the first level and
# back, headless, driven by scripted input; the scene stack is read from the
# log line the UI system writes at every change.
#  1. probe: the shipped start. Down every frame, Enter every tenth; once
#     the background load has brought up the main menu they choose Quit,
#     which ends the run by itself (exit 0, before the frame limit).
#  The other runs set the UI system's "debug", which runs the same load at
#  start-up on the main thread: the main menu is then up at frame 1, so the
#  frames of the scripts below mean the same in every run.
#  2. menu: a screenshot of the main menu, pixel-checked (menu_pixels.py).
#  3. flow: Enter (Play) -> loading screen -> HUD with the level's objects;
#     Escape pauses, Escape resumes, Escape pauses again, Quit goes back to
#     the main menu and Quit there ends the game.
#  4. still, right, dash: the level at the same late frame with no key, after
#     Right was held for 40 frames, and after that plus one 'Z' (dash). The
#     player's pixels (the only cyan in the level) must lie right of the
#     keyless run's, and further right after the dash.
set -euo pipefail
here="$(dirname "$(readlink -f "$0")")"
source "$here/e2e_common.bash" "$@"

cp "$src/rsc/uisystem.xcfg" "$work/rsc/uisystem.xcfg"
unset TAVRIN_SAMPLE_SCENE
printf '<GameSystem>\n  <debug>0</debug>\n</GameSystem>\n' > "$work/rsc/gamesystem.xcfg"
# A fixed camera beside the first room, last among the room's objects: the
# view follows the last camera that announced itself, so the frame shows the
# player walking across it.
cat > "$work/rsc/objects/e2e-camera.xobj" <<'XML'
<e2e-side-camera>
    <TransformComponent><PosX>12</PosX><PosY>16</PosY><PosZ>-22</PosZ></TransformComponent>
    <MessageComponent />
    <CameraComponent><LookAtPos_X>12</LookAtPos_X><LookAtPos_Y>0</LookAtPos_Y><LookAtPos_Z>0</LookAtPos_Z></CameraComponent>
</e2e-side-camera>
XML
sed -i 's|</Objects>|<e2e-side-camera /></Objects>|' "$work/rsc/level/room-start.xrm"
mkdir -p "$work/shots"

# play NAME FRAMES SHOT_FRAME SCRIPT [WIDTH HEIGHT]: one run of the game (at
# 320 x 200 unless told) with the input script text SCRIPT; a screenshot at
# SHOT_FRAME (0: none).
play() {
  local name=$1 frames=$2 shot=$3 script=$4 width=${5:-320} height=${6:-200}
  user_folder "$name"
  printf '<UserSettings><WindowWidth>%s</WindowWidth><WindowHeight>%s</WindowHeight><Fullscreen>0</Fullscreen></UserSettings>' \
    "$width" "$height" > "$settings/UserConfig.xcfg"
  printf '%s\n' "$script" > "$work/$name.input"
  local shotVar=""
  [ "$shot" -gt 0 ] && shotVar="$work/shots/$name.png@$shot"
  TAVRIN_MAX_FRAMES=$frames TAVRIN_INPUT_SCRIPT="$work/$name.input" TAVRIN_SCREENSHOT="$shotVar" \
    TAVRIN_TRACE_MESSAGES="GameFreshStart,LevelLoadStarted,LevelLoaded,GameReady,GamePaused,GameResumed,GameEnding,StopLoop,ObjectCreated,GoalReached,GameComplete" \
    keepXdg=1 run_program "$name"
  expect_clean_run "$name"
  cp "$(log_file)" "$work/$name.log"
  expect_no_line "$work/$name.log" "GL error"
  # Nothing but these lines is logged.
  local other
  other=$(grep -vE "^\[.*\] (Starting|Terminating) application$|^Update order|^Graphics ready: 9 of 9 shader programs|^UI scenes at frame [0-9]+: |^trace frame [0-9]+: |^Screenshot of frame [0-9]+ written|^Run ended after [0-9]+ frames$" \
    "$work/$name.log" || true)
  [ -z "$other" ] || { echo "$other" >&2; fail "$name: unexpected log lines"; }
}

# scene_frame LOG STACK: the first frame at which the UI stack was STACK.
scene_frame() {
  sed -n "s/^.*UI scenes at frame \([0-9]*\): $2\$/\1/p" "$1" | head -n 1
}
# trace_frame LOG TEXT: the first frame of a trace line holding TEXT.
trace_frame() {
  grep -F -- "$2" "$1" | sed -n 's/^.*trace frame \([0-9]*\): .*$/\1/p' | head -n 1
}

# 1. probe
# Down every frame and Enter after it every tenth frame: an Enter always
# follows a Down the menu has seen, so it chooses Quit.
probeScript=""
for f in $(seq 2 1500); do
  probeScript+="$f key 40 down"$'\n'"$f key 40 up"$'\n'
  [ $((f % 10)) -eq 0 ] && probeScript+="$f key 13 down"$'\n'"$f key 13 up"$'\n'
done
play probe 1600 0 "$probeScript"
menu=$(scene_frame "$work/probe.log" "main-menu")
[ -n "$menu" ] || fail "the main menu never came up"
[ "$(scene_frame "$work/probe.log" "boot")" = "1" ] || fail "boot is not the first scene"
ended=$(sed -n 's/^.*Run ended after \([0-9]*\) frames.*$/\1/p' "$work/probe.log" | tail -n 1)
[ -n "$ended" ] && [ "$ended" -lt 1600 ] || fail "Quit did not end the run (ended after '$ended' frames)"
expect_line "$work/probe.log" "StopLoop"
expect_no_line "$work/probe.log" "GameFreshStart"
echo "main menu at frame $menu of the shipped start"

sed -i 's|<debug>0</debug>|<debug>1</debug>|' "$work/rsc/uisystem.xcfg"
base=20

# 2. the main menu
play menu "$base" "$base" "" 640 360
python3 "$here/menu_pixels.py" menu "$work/shots/menu.png"

# 3. the whole flow; with the game system's debug keys, U reaches the goal:
# the second level loads, and past it the game is complete.
b=$base
sed -i 's|<debug>0</debug>|<debug>1</debug>|' "$work/rsc/gamesystem.xcfg"
play flow $((b + 400)) 0 "$b key 13 down
$((b + 1)) key 13 up
$((b + 40)) key U down
$((b + 41)) key U up
$((b + 60)) key U down
$((b + 61)) key U up
$((b + 80)) key 27 down
$((b + 81)) key 27 up
$((b + 100)) key 27 down
$((b + 101)) key 27 up
$((b + 120)) key 27 down
$((b + 121)) key 27 up
$((b + 130)) key 40 down
$((b + 131)) key 40 up
$((b + 140)) key 13 down
$((b + 141)) key 13 up
$((b + 170)) key 40 down
$((b + 171)) key 40 up
$((b + 180)) key 13 down
$((b + 181)) key 13 up"
log="$work/flow.log"
loading=$(scene_frame "$log" "level-loading-ui")
hud=$(scene_frame "$log" "hud")
paused=$(scene_frame "$log" "hud > pause-menu")
[ -n "$loading" ] && [ -n "$hud" ] && [ -n "$paused" ] || fail "the flow missed a scene (loading '$loading', hud '$hud', pause '$paused')"
started=$(trace_frame "$log" "GameFreshStart")
loaded=$(trace_frame "$log" ": LevelLoaded")
ready=$(trace_frame "$log" ": GameReady")
[ "$started" -eq "$b" ] || [ "$started" -eq $((b + 1)) ] || fail "GameFreshStart at frame $started, Enter at $b"
[ "$loading" -le "$loaded" ] || fail "the loading screen ($loading) came after LevelLoaded ($loaded)"
[ "$ready" -le "$hud" ] || fail "GameReady ($ready) after the HUD ($hud)"
for spawner in spawner-Luvo spawner-qil-obj spawner-camera; do expect_line "$log" "'$spawner')"; done
# Pause, resume, pause, and the pause menu's Quit back to the main menu.
[ "$(grep -c ': GamePaused' "$log")" -eq 2 ] || fail "two pauses expected"
[ "$(grep -c ': GameResumed' "$log")" -ge 1 ] || fail "no resume"
[ "$(trace_frame "$log" ": GamePaused")" -lt "$(trace_frame "$log" ": GameResumed")" ] || fail "resumed before paused"
expect_line "$log" ": GameEnding"
# The goal twice: the second (last) level loads, then the game is complete.
[ "$(grep -c ': GoalReached' "$log")" -eq 2 ] || fail "two goals expected"
[ "$(grep -c ': LevelLoadStarted' "$log")" -eq 2 ] || fail "two level loads expected"
[ "$(grep -c ': LevelLoaded' "$log")" -eq 2 ] || fail "two loaded levels expected"
[ "$(grep -c ': GameComplete' "$log")" -eq 1 ] || fail "the game was not completed once"
[ "$(trace_frame "$log" ": GameComplete")" -gt "$(grep ': LevelLoaded' "$log" | tail -n 1 | sed 's/^.*frame \([0-9]*\):.*$/\1/')" ] ||
  fail "GameComplete before the second level was loaded"
sed -i 's|<debug>1</debug>|<debug>0</debug>|' "$work/rsc/gamesystem.xcfg"
sed -n 's/^.*UI scenes at frame [0-9]*: //p' "$log" > "$work/flow.stacks"
printf 'boot\nmain-menu\nlevel-loading-ui\nhud\nhud > pause-menu\nhud\nhud > pause-menu\nmain-menu\n' > "$work/flow.expected"
diff "$work/flow.expected" "$work/flow.stacks" >&2 || fail "the scene stacks differ"
expect_line "$log" ": StopLoop"
ended=$(sed -n 's/^.*Run ended after \([0-9]*\) frames.*$/\1/p' "$log" | tail -n 1)
[ "$ended" -lt $((b + 400)) ] || fail "Quit did not end the game"
echo "Enter at frame $b, loading screen at $loading, LevelLoaded at $loaded, HUD at $hud"

# 4. the player walks and dashes
shot=$((b + 150))
play still "$shot" "$shot" "$b key 13 down
$((b + 1)) key 13 up"
walk="$b key 13 down
$((b + 1)) key 13 up
$((b + 70)) key 39 down
$((b + 110)) key 39 up"
play right "$shot" "$shot" "$walk"
play dash "$shot" "$shot" "$walk
$((b + 112)) key Z down
$((b + 113)) key Z up"
python3 "$here/menu_pixels.py" player "$work/shots/still.png" "$work/shots/right.png" "$work/shots/dash.png"
echo "menus and player: ok"
