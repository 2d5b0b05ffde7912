#!/usr/bin/env bash
# The yak boss level fought to its end from an input script: a work copy of
# rsc whose level order starts at "yak-boss" (a start scene that goes
# through the loading screen, the UI's debug load, "max-fps" raised; the
# shipped boss, whose 150 health one hit a phase takes down, and mini-bosses
# that fall to one hit), played with one seed from
# fixtures/sample-game/yak-boss.txt. The player walks into the trigger,
# walks across each charge so the boss slams into a wall, shoots it during
# its stun, shoots the mini-bosses while it hides, and walks to the goal once
# it has sunk and the menhir gate before the goal has sunk after it. The trace must show, in this order and before "GoalReached":
# the boss, hidden at 0.8 with two mini-bosses, back at 0.6, hidden at 0.4
# with two more, back at 0.2, its death (0), its object gone and "battle-bgm".
#
# Re-recording after tuning (rooms, speeds, health, the boss's timing):
# the script is written by fixtures/sample-game/gen-yak-boss.py from keys
# held over frame ranges; its frames count from "GameReady". Each phase
# counts from an anchor, the frame of a trace line (BossHealthChanged 0.8,
# 0.7, 0.6, 0.4, 0.3, 0.2 and "battle-bgm"; trace frame minus the trace
# frame of "GameReady()"). Run the game in a work copy set up as below with
# TAVRIN_TRACE_MESSAGES as here, fix the walk to the first hit, then set
# each anchor in turn to its frame in the new trace and run again. Where a
# phase itself fails, read "yak-charge-sfx" and "yak-slam-sfx" (charge and
# slam) and positions: those of player, boss and mini-bosses came from a
# temporary log line in an own build every few frames (screenshots with
# TAVRIN_SCREENSHOT=path@frame do as well). The player must be moving across
# the boss's line when it charges, walk up beside it after the slam (not
# into it), face it and shoot; stand on a mini-boss's line facing it; and
# reach the goal only after "battle-bgm". Then regenerate yak-boss.txt.
# The run is played on a work copy that dies three times first
# (sample_game.bash, play_retries): out of the level with the fight on, by
# a fall and by a blow, each time choosing Retry with Enter on a lost menu
# opened under a mashed attack key; the level's script then plays from the
# third Retry, so the fight it wins is the one a Retry brings back (its
# frames, when re-recording, count from the run's last "GameReady").
set -euo pipefail
source "$(dirname "$0")/e2e_common.bash" "$@"
source "$e2eDir/sample_game.bash"
trace_view yak-boss-obj yak-mini-boss-obj
play_retries yak-boss 1790
boss_in_view yak-boss yak-boss-obj/yak-mini-boss-obj
up_to_goal "$work/yak-boss-retry.part" "$work/yak-boss-retry.goal"
check_yak-boss "$work/yak-boss-retry.goal"
