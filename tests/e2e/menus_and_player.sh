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
#  3. flow: Enter (Play, held 5 frames as a person holds it) -> loading
#     screen -> HUD with the level's objects; every level opens with the
#     camera's fly-over, which holds all keys (the Enter is let go during
#     it), so Space ends it first. Escape pauses, Escape resumes. The work
#     copy has a spike trap right of the player, whose health is one hit:
#     Right walks the player into it, the player dies, and after the fade
#     the lost menu comes up; its first Enter, Retry, loads the same rooms
#     again and the HUD returns with no fly-over. There the game system's
#     debug key U reaches the goal, the HUD brings up the loading screen of
#     the second level, U there completes the game and the HUD shows the
#     complete menu, whose button goes back to the main menu; an Escape the
#     frame after each U opens no pause menu over either. Play again: the
#     player walks into the trap, Escape pauses during the death's fade,
#     Quit (chosen after the pause menu's first 0.3 s, when it takes keys)
#     goes back to the main menu, where the fade sends no "GameLost"; Quit
#     there ends the game.
#  4. still, right, dash: the level at the same late frame with no key, after
#     Right was held for 40 frames, and after that plus one 'Z' (dash), each
#     with the fly-over skipped. The chase camera keeps the player (the only
#     cyan in the level) in the middle of the picture; the camera's look-at
#     point, which follows the player, lies further right after Right and
#     further still after the dash.
set -euo pipefail
here="$(dirname "$(readlink -f "$0")")"
source "$here/e2e_common.bash" "$@"

cp "$src/rsc/uisystem.xcfg" "$work/rsc/uisystem.xcfg"
unset TAVRIN_SAMPLE_SCENE
printf '<GameSystem>\n  <debug>0</debug>\n</GameSystem>\n' > "$work/rsc/gamesystem.xcfg"
mkdir -p "$work/shots"
# The flow below plays two levels to the game-complete menu: the first two
# of the shipped order.
head -n 2 "$src/rsc/levels/levels.xlod" > "$work/rsc/levels/levels.xlod"

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
    TAVRIN_TRACE_MESSAGES="GameFreshStart,LevelLoadStarted,LevelLoaded,GameReady,GamePaused,GameResumed,GameEnding,StopLoop,ObjectCreated,GoalReached,GameComplete${extraTrace:+,$extraTrace}" \
    keepXdg=1 run_program "$name"
  expect_clean_run "$name"
  cp "$(log_file)" "$work/$name.log"
  expect_no_line "$work/$name.log" "GL error"
  # Nothing but these lines (and those of $extraLines) is logged.
  local other
  other=$(grep -vE "^\[.*\] (Starting|Terminating) application$|^Update order|^Graphics ready: 9 of 9 shader programs|^UI scenes at frame [0-9]+: |^Tutorial .* shows its page |^trace frame [0-9]+: |^Screenshot of frame [0-9]+ written|^Run ended after [0-9]+ frames\$${extraLines:+|$extraLines}" \
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

# 3. the whole flow, from the main menu; with the game system's debug keys,
# U reaches the goal. A Space 50 frames after each level's first loading
# (past the fly-over's 0.5 s cool-down) ends its fly-over. The first room
# of the work copy gets a spike trap right of the player's spawner and the
# player one hit of health, for this run only.
b=$base
sed -i 's|<debug>0</debug>|<debug>1</debug>|' "$work/rsc/gamesystem.xcfg"
cp "$work/rsc/level/room-start.xrm" "$work/room-start.xrm.orig"
cp "$work/rsc/objects/player-objects.xobj" "$work/player-objects.xobj.orig"
sed -i 's|^\(.*\)<spawner-Luvo>\(.*\)$|\1<spike-trap-obj><TransformComponent><PosX>5.000000</PosX><PosY>0.100000</PosY><PosZ>0.000000</PosZ><ScaX>2.000000</ScaX><ScaY>0.200000</ScaY><ScaZ>2.000000</ScaZ></TransformComponent></spike-trap-obj>\n&|' \
  "$work/rsc/level/room-start.xrm"
grep -q '<spike-trap-obj>' "$work/rsc/level/room-start.xrm" || fail "the spike trap was not placed"
sed -i 's|<Health>100</Health>|<Health>10</Health>|' "$work/rsc/objects/player-objects.xobj"
grep -q '<Health>10</Health>' "$work/rsc/objects/player-objects.xobj" || fail "the player's health was not lowered"
# key FRAME CODE: one press and release.
key() { printf '%s key %s down\n%s key %s up\n' "$1" "$2" $(($1 + 1)) "$2"; }
# Right is held from b+100 to b+160; the fade of the death takes 2 s (125
# frames), so the lost menu is up well before the Enter (Retry) at b+350.
r=$((b + 350))
extraTrace=PlayerDeath,GameLost,GameLevelRetry,CameraFlyOver
extraLines="UiSystem: scene 'pause-menu' not pushed: the play it pauses ended in the same frame"
play flow $((r + 500)) 0 "$(echo "$b key 13 down"; echo "$((b + 5)) key 13 up"; key $((b + 50)) 32
key $((b + 70)) 27; key $((b + 90)) 27
echo "$((b + 100)) key 39 down"; echo "$((b + 160)) key 39 up"
key $r 13; key $((r + 50)) U; key $((r + 51)) 27
key $((r + 100)) 32; key $((r + 120)) U; key $((r + 121)) 27
key $((r + 150)) 13
key $((r + 170)) 13; key $((r + 220)) 32
echo "$((r + 250)) key 39 down"; echo "$((r + 310)) key 39 up"
key $((r + 330)) 27; key $((r + 352)) 40; key $((r + 356)) 13
key $((r + 380)) 40; key $((r + 385)) 40; key $((r + 390)) 13)"
unset extraTrace extraLines
cp "$work/room-start.xrm.orig" "$work/rsc/level/room-start.xrm"
cp "$work/player-objects.xobj.orig" "$work/rsc/objects/player-objects.xobj"
log="$work/flow.log"
loading=$(scene_frame "$log" "level-loading-ui")
hud=$(scene_frame "$log" "hud")
paused=$(scene_frame "$log" "hud > pause-menu")
lost=$(scene_frame "$log" "game-lost-menu")
[ -n "$loading" ] && [ -n "$hud" ] && [ -n "$paused" ] && [ -n "$lost" ] ||
  fail "the flow missed a scene (loading '$loading', hud '$hud', pause '$paused', lost '$lost')"
started=$(trace_frame "$log" "GameFreshStart")
loaded=$(trace_frame "$log" ": LevelLoaded")
ready=$(trace_frame "$log" ": GameReady")
[ "$started" -eq "$b" ] || [ "$started" -eq $((b + 1)) ] || fail "GameFreshStart at frame $started, Enter at $b"
[ "$loading" -le "$loaded" ] || fail "the loading screen ($loading) came after LevelLoaded ($loaded)"
[ "$ready" -le "$hud" ] || fail "GameReady ($ready) after the HUD ($hud)"
for spawner in spawner-Luvo spawner-qil-obj spawner-camera; do expect_line "$log" "'$spawner')"; done
[ "$(grep -c ': GameFreshStart' "$log")" -eq 2 ] || fail "two fresh starts expected"
# Pause and resume before the death, the pause of the second play.
[ "$(grep -c ': GamePaused' "$log")" -eq 2 ] || fail "two pauses expected"
[ "$(grep -c ': GameResumed' "$log")" -ge 1 ] || fail "no resume"
[ "$(trace_frame "$log" ": GamePaused")" -lt "$(trace_frame "$log" ": GameResumed")" ] || fail "resumed before paused"
# The death: once, after the resume and before the lost menu, which comes
# after the fade's 2 s; the lost menu's Retry comes after it.
death=$(trace_frame "$log" ": PlayerDeath")
gameLost=$(trace_frame "$log" ": GameLost")
retry=$(trace_frame "$log" ": GameLevelRetry")
[ -n "$death" ] && [ -n "$gameLost" ] && [ -n "$retry" ] ||
  fail "the death leg is incomplete (PlayerDeath '$death', GameLost '$gameLost', Retry '$retry')"
[ "$(grep -c ': PlayerDeath' "$log")" -eq 2 ] || fail "two deaths expected"
[ "$death" -gt "$(trace_frame "$log" ": GameResumed")" ] || fail "the player died ($death) before the resume"
[ "$gameLost" -ge $((death + 120)) ] || fail "GameLost at $gameLost, before the fade of the death at $death ended"
[ "$lost" -ge "$gameLost" ] && [ "$lost" -lt "$r" ] || fail "the lost menu at '$lost' (GameLost $gameLost, Retry key $r)"
[ "$retry" -ge "$r" ] || fail "Retry at $retry, before its key at $r"
# Three fly-overs: the first level, the second level, the second play; none
# between the Retry and the goal reached on the retried level.
goal=$(trace_frame "$log" ": GoalReached")
[ -n "$goal" ] && [ "$goal" -gt "$retry" ] || fail "the goal ('$goal') was not reached after the Retry ($retry)"
flyOvers=$(grep ': CameraFlyOver' "$log" | sed 's/^.*frame \([0-9]*\):.*$/\1/')
[ "$(echo "$flyOvers" | wc -l)" -eq 3 ] || fail "three fly-overs expected: $(echo $flyOvers)"
for f in $flyOvers; do
  [ "$f" -lt "$retry" ] || [ "$f" -gt "$goal" ] || fail "a second fly-over at frame $f after the Retry at $retry"
done
# The complete menu's button, then the pause menu's Quit during the second
# play's death fade: that fade never ends in "GameLost" over the main menu.
[ "$(grep -c ': GameEnding' "$log")" -eq 2 ] || fail "two game endings expected"
[ "$(grep -c ': GameLost' "$log")" -eq 1 ] || fail "GameLost after the quit of the second death's fade"
# Escape the frame after each U: no pause menu over the loading screen or
# the complete menu (the stacks below hold none).
[ "$(grep -c "scene 'pause-menu' not pushed" "$log")" -eq 2 ] || fail "the two late pauses were not refused"
# The goal twice: the second (last) level loads, then the game is complete.
[ "$(grep -c ': GoalReached' "$log")" -eq 2 ] || fail "two goals expected"
[ "$(grep -c ': LevelLoadStarted' "$log")" -eq 4 ] || fail "four level loads expected"
[ "$(grep -c ': LevelLoaded' "$log")" -eq 4 ] || fail "four loaded levels expected"
[ "$(grep -c ': GameComplete' "$log")" -eq 1 ] || fail "the game was not completed once"
[ "$(trace_frame "$log" ": GameComplete")" -gt "$(grep ': LevelLoaded' "$log" | sed -n 3p | sed 's/^.*frame \([0-9]*\):.*$/\1/')" ] ||
  fail "GameComplete before the second level was loaded"
sed -i 's|<debug>1</debug>|<debug>0</debug>|' "$work/rsc/gamesystem.xcfg"
sed -n 's/^.*UI scenes at frame [0-9]*: //p' "$log" > "$work/flow.stacks"
printf '%s\n' boot main-menu level-loading-ui hud "hud > pause-menu" hud game-lost-menu level-loading-ui hud \
  level-loading-ui hud game-complete-menu main-menu level-loading-ui hud "hud > pause-menu" main-menu > "$work/flow.expected"
diff "$work/flow.expected" "$work/flow.stacks" >&2 || fail "the scene stacks differ"
expect_line "$log" ": StopLoop"
ended=$(sed -n 's/^.*Run ended after \([0-9]*\) frames.*$/\1/p' "$log" | tail -n 1)
[ "$ended" -lt $((r + 500)) ] || fail "Quit did not end the game"
echo "Enter at frame $b, loading screen at $loading, LevelLoaded at $loaded, HUD at $hud"
echo "death at frame $death, lost menu at $lost, Retry at $retry, goal at $goal"

# 4. the player walks and dashes under the chase camera
shot=$((b + 150))
skip="$(key $b 13; key $((b + 50)) 32)"
walk="$skip
$((b + 70)) key 39 down
$((b + 110)) key 39 up"
extraTrace=CameraLookAtUpdate
play still "$shot" "$shot" "$skip"
play right "$shot" "$shot" "$walk"
play dash "$shot" "$shot" "$walk
$((b + 112)) key Z down
$((b + 113)) key Z up"
unset extraTrace
# look_at_x NAME: the x of the last look-at point of the shot's frame.
look_at_x() {
  grep -E "trace frame $shot: CameraLookAtUpdate" "$work/$1.log" | tail -n 1 | sed -E 's/.*\(([-0-9.e]+), .*/\1/'
}
python3 "$here/menu_pixels.py" player "$work/shots/still.png" "$work/shots/right.png" "$work/shots/dash.png" \
  "$(look_at_x still)" "$(look_at_x right)" "$(look_at_x dash)"
echo "menus and player: ok"
