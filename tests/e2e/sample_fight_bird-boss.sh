#!/usr/bin/env bash
# The bird roost played to its end from fixtures/sample-game/bird-boss.txt:
# a work copy of rsc whose level order is this level alone (the shipped
# archetypes and rooms), the loading screen's start as the
# main menu's Play, a fixed step and seed, "max-fps" raised. The trace must
# show, in order: the fight's music, the boss, hatched birds, the boss's
# death with every bird left dying with it, the boss gone with "battle-bgm",
# then "GoalReached"; every bird the level made, the room's own included,
# is gone before the goal. The run ends through the
# normal shutdown at TAVRIN_MAX_FRAMES, exit code 0.
#
# Re-recording (the script is authored against TAVRIN_SEED=23): frames
# count from "GameReady". The script is written by
# fixtures/sample-game/gen-bird-boss.py, whose plan is anchored on trace
# lines (the red bird's split, the blue bird's death, the boss's hits). After
# tuning, replay the level alone, read the run's trace and, while tuning, the
# player's, the birds' and the boss's positions every few frames (temporary
# logging in your own build, or TAVRIN_SCREENSHOT=path@frame); move each
# anchor to its new frame, line the player up with each target (a key held
# for N frames moves the player about 0.3 N units; a shot flies along the
# last direction walked and reaches some 7 units), regenerate the script and
# set TAVRIN_MAX_FRAMES a little past "GoalReached".
# The run is played on a work copy that dies three times first
# (sample_game.bash, play_retries): out of the level with the fight on, by
# a fall and by a blow, each time choosing Retry with Enter on a lost menu
# opened under a mashed attack key; the level's script then plays from the
# third Retry, so the fight it wins is the one a Retry brings back (its
# frames, when re-recording, count from the run's last "GameReady").
set -euo pipefail
source "$(dirname "$0")/e2e_common.bash" "$@"
source "$e2eDir/sample_game.bash"
trace_view bird-boss-obj
play_retries bird-boss 1470
boss_in_view bird-boss bird-boss-obj
up_to_goal "$work/bird-boss-retry.part" "$work/bird-boss-retry.goal"
check_bird-boss "$work/bird-boss-retry.goal"
