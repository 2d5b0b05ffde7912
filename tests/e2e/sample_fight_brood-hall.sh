#!/usr/bin/env bash
# The brood hall fought to its end, headless, from
# fixtures/sample-game/brood-hall.txt: the player's trigger makes the brood
# mother with the fight's music, her bar "ui-yak" starts full, every share
# of health she loses launches a wave of her nests ('BRD1' 1112687665, 'BRD2'
# 1112687666), and after twelve shots (her health is not lowered) she dies
# with "BossHealthChanged"("ui-yak", 0), taking her roaming nests and her
# yaks with her; the player breaks her three fixed nests (two shots each),
# the menhir gate across the goal's alcove sinks, and the player walks to
# the goal. Two runs with one seed trace
# the same; exit 0.
#
# Re-recording (the script is authored against TAVRIN_SEED=23 and a fixed
# step of 0.032 s; its frames count from "GameReady"): run the level as
# below with TAVRIN_TRACE_MESSAGES set and read the trace:
# "BossHealthChanged(ui-yak, F)" after each hit (35 of her 400 health), the
# two trigger ids of each wave, "ObjectCreated(... 'yak-obj')" for her yaks.
# For positions, log the player's and the yaks' transforms every few frames
# in a local build (not committed) or take screenshots with
# TAVRIN_SCREENSHOT=path@frame. She stands at x 60; the script walks round
# her nests to x 66 behind her and shoots left every 28 frames (the
# companion must come back between shots; a shot reaches some 6 units). When
# the arena, her health or the companion change, move the frames so the
# player still stands there and shoots until the "ui-yak, 0" line.
set -euo pipefail
source "$(dirname "$0")/e2e_common.bash" "$@"
source "$e2eDir/sample_game.bash"
fight_copy brood-hall
trace_view brood-mother-obj
play_fight brood-hall 1560
boss_in_view brood-hall brood-mother-obj
up_to_goal "$work/brood-hall.trace" "$work/brood-hall.part"
check_brood-hall "$work/brood-hall.part"
