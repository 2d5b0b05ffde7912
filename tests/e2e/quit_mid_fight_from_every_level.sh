#!/usr/bin/env bash
# Quitting from every level mid-fight through the pause menu clears the
# level without destroying any object twice. One run of the shipped level
# order (the debug keys on, so that 'U' skips a level): for each level in
# turn it comes up from the main menu's Play, skips to that level (U as
# each level before it comes up, ahead of its fly-over, which holds the
# keys), walks right into the level's first fight for
# about 3.7 s (past each boss's trigger) and, in the fox arena, waits there
# until the fox has raised its tail's mound; it opens the pause menu with
# Escape and chooses Quit; the main menu comes back and Play starts again.
# The log holds no double delete.
set -euo pipefail
source "$(dirname "$0")/e2e_common.bash" "$@"
source "$e2eDir/sample_game.bash"
fight_copy yak-nests
cp "$src/rsc/levels/levels.xlod" "$work/rsc/levels/levels.xlod"
sed -i 's|<debug>0</debug>|<debug>1</debug>|' "$work/rsc/gamesystem.xcfg"
levels=$(grep -c '<' "$work/rsc/levels/levels.xlod")
[ "$levels" -eq 7 ] || fail "the level order holds $levels levels, not 7"
export TAVRIN_TRACE_MESSAGES=GameReady,GoalReached,GameEnding,GameFreshStart,PlayerDeath,ObjectCreated

# quit_part AT: into the fight, Escape at frame AT, then Down and Enter on
# the pause menu after its 0.3 s; at the main menu, Enter (Play).
quit_part() {
  printf '20 key 32 down\n21 key 32 up\n24 key 39 down\n140 key 39 up\n%s key 27 down\n%s key 27 up\n' $1 $(($1 + 1))
  printf '%s key 40 down\n%s key 40 up\n%s key 13 down\n%s key 13 up\n' $(($1 + 12)) $(($1 + 13)) $(($1 + 15)) $(($1 + 16))
  printf 'at GameEnding\n10 key 13 down\n11 key 13 up\n'
}
{
  for ((level = 1; level <= levels; ++level)); do
    for ((skip = 1; skip < level; ++skip)); do printf 'at GameReady\n1 key 85 down\n2 key 85 up\n'; done
    printf 'at GameReady\n'
    # the fox arena's tail mound stands from about 270 frames
    if [ "$level" -eq "$levels" ]; then quit_part 300; else quit_part 141; fi
  done
} > "$work/quit.input"
frames=1400
small_window quit
TAVRIN_MAX_FRAMES=$frames TAVRIN_INPUT_SCRIPT="$work/quit.input" keepXdg=1 run_program quit
expect_clean_run quit
log=$(log_file)
expect_line "$log" "Run ended after $frames frames"
expect_no_line "$log" "malformed input-script line"
expect_no_line "$log" "PlayerDeath("
expect_no_line "$log" "double delete"
[ "$(grep -c ': GameEnding()' "$log")" -eq "$levels" ] || fail "not one quit per level"
[ "$(grep -c 'UI scenes at frame [0-9]*: hud > pause-menu' "$log")" -eq "$levels" ] || fail "not one pause per level"
# Level k is reached by k - 1 skips: 0 + 1 + ... + 6.
[ "$(grep -c ': GoalReached()' "$log")" -eq $((levels * (levels - 1) / 2)) ] || fail "a level was skipped wrongly"
# The fox's mound stood when the last quit came.
grep -o "trace frame .*" "$log" | grep -E "GameEnding|'fox-boss-tail-mound-fx-obj'" | tail -2 | head -1 |
  grep -q "fox-boss-tail-mound-fx-obj" || fail "the fox arena was quit before its mound stood"
echo "quit from each of the $levels levels mid-fight; no double delete"
