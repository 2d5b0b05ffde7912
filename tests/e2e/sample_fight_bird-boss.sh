#!/usr/bin/env bash
# The bird roost played to its end from fixtures/sample-game/bird-boss.txt:
# a work copy of rsc whose level order is this level alone (tuned by
# fixtures/sample-game/bird-boss.bash), the loading screen's start as the
# main menu's Play, a fixed step and seed, "max-fps" raised. The trace must
# show, in order: the fight's music, the boss, hatched birds, the boss's
# death with every bird left dying with it, the boss gone with "battle-bgm",
# then "GoalReached"; every bird the level made, the room's own included,
# is gone before the goal. Two runs trace the same; the run ends through the
# normal shutdown at TAVRIN_MAX_FRAMES, exit code 0.
#
# Re-recording (the script is authored against TAVRIN_SEED=23): frames
# count from "GameReady". Read a run's trace (BossHealthChanged,
# ObjectCreated / ObjectDestroyed of the birds) and, while tuning, the
# player's and the boss's positions every few frames (temporary logging in
# your own build, or TAVRIN_SCREENSHOT=path@frame). Walk in and take the
# room's birds as the script does; each hit sends the boss on a new heading,
# so after the hits near the boss's start try a few standing spots (a key
# held for N frames moves the player about 0.3 N units) and keep the one
# whose trace shows the last hit soonest; then walk from where the player
# stands to the goal's row (z -25, x 76) and right into it, and set
# TAVRIN_MAX_FRAMES a little past "GoalReached".
set -euo pipefail
source "$(dirname "$0")/e2e_common.bash" "$@"
source "$e2eDir/sample_game.bash"
fight_copy bird-boss
play_fight bird-boss 900
up_to_goal "$work/bird-boss.trace" "$work/bird-boss.part"
check_bird-boss "$work/bird-boss.part"
