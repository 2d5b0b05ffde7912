#!/usr/bin/env bash
# The nest level fought to its end, headless, from
# fixtures/sample-game/yak-nests.txt: the menhir gate rises as the level
# starts, each of the three wave triggers the player walks over makes one
# yak, the two nests of the gate room and every yak are shot, the gate sinks
# with its second "menhir-move-sfx" and is removed, and the player walks to
# the goal. Two runs with one seed trace the same; exit 0. (A first wave
# killed before the nests' trigger: NestLevelGate in the game's unit tests.)
#
# Re-recording (the script is authored against TAVRIN_SEED=23 and a fixed
# step of 0.032 s; its frames count from "GameReady"): run the level as
# below with TAVRIN_TRACE_MESSAGES set and read the trace: "TriggerActivated(1)"
# lines are the wave pulses, "ObjectDestroyed(... 'yak-nest-obj')" and
# "... 'yak-obj'" the kills, "ObjectDestroyed(... 'menhir-gate-obj')" the
# open way. For positions, log the player's, the companion's and the yaks'
# transforms every few frames in a local build (not committed) or take
# screenshots with TAVRIN_SCREENSHOT=path@frame. The player walks about 0.3
# units a frame; a shot reaches some 6 units ahead of the player. The
# script's comments give the places each part aims for: when rooms, speeds
# or the companion change, move the frames so the player still stands there,
# and keep 'X' presses 28 frames apart (the companion must come back).
set -euo pipefail
source "$(dirname "$0")/e2e_common.bash" "$@"
source "$e2eDir/sample_game.bash"
fight_copy yak-nests
play_fight yak-nests 860
up_to_goal "$work/yak-nests.trace" "$work/yak-nests.part"
check_yak-nests "$work/yak-nests.part"

