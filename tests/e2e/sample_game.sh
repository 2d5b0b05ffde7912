#!/usr/bin/env bash
# The whole sample game in one headless run from one input script: the main
# menu's Play, the seven levels one after the other, the game-complete menu,
# its button back to the main menu, and Quit there, which ends the run.
# The script is the levels' own scripts (fixtures/sample-game/LEVEL.txt,
# the ones sample_fight_LEVEL.sh plays, each starting "at GameReady") one
# after the other, in a work copy with the shipped archetypes and rooms: a
# level plays the same wherever it falls in the run, since the seed is set
# again at each level. Checked: the scene stacks from boot back to the main menu,
# each level's part of the trace as its own replay checks it (its goal; the
# fox arena's victory and "GameComplete"), no missing archetype, no GL
# error, no death, and the normal shutdown (exit 0) on Quit. The run's sound
# is recorded by SDL's disk driver (the mixer's 32-bit float output, as a
# player hears it): it holds music and effects and no sample reaches full
# scale.
set -euo pipefail
source "$(dirname "$0")/e2e_common.bash" "$@"
source "$e2eDir/sample_game.bash"
levels=(yak-nests temple-1 brood-hall yak-boss temple-2 bird-boss fox-boss)
sample_game_copy "${levels[@]}"

# Play is the main menu's first button; the complete menu's only button
# goes back to the main menu, where Down, Down, Enter choose Quit.
{
  printf '20 key 13 down\n21 key 13 up\n'
  for level in "${levels[@]}"; do cat "$sampleGame/$level.txt"; done
  printf 'at GameComplete\n60 key 13 down\n61 key 13 up\n'
  printf '80 key 40 down\n81 key 40 up\n86 key 40 down\n87 key 40 up\n92 key 13 down\n93 key 13 up\n'
} > game.txt
export TAVRIN_INPUT_SCRIPT="$work/game.txt"
limit=20000

small_window game
SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$work/game-audio.raw" TAVRIN_MAX_FRAMES=$limit keepXdg=1 run_program game
# The limiter keeps the mix under its ceiling (0.94) with a smooth gain:
# a run of equal neighbouring samples near the ceiling is the flat top of a
# clamp, and full scale is clipping.
python3 - "$work/game-audio.raw" <<'PY' || fail "the game's sound clips"
import array, sys
ceiling, near = 0.94, 0.93
peak, count, clipped, flat = 0.0, 0, 0, 0
tail = array.array("f")  # the last frame of the previous block
with open(sys.argv[1], "rb") as f:
    while True:
        block = f.read(1 << 20)
        if not block:
            break
        samples = array.array("f")
        samples.frombytes(block[:len(block) // 8 * 8])
        count += len(samples)
        loudest = max(max(samples), -min(samples))
        peak = max(peak, loudest)
        if loudest >= 1.0:
            clipped += sum(1 for s in samples if abs(s) >= 1.0)
        if loudest >= near:
            both = tail + samples
            flat += sum(1 for i in range(2, len(both)) if abs(both[i]) >= near and both[i] == both[i - 2])
        tail = samples[-2:]
print("game sound: %d samples, peak %.4f, %d at full scale, %d flat near the ceiling" % (count, peak, clipped, flat))
if count < 48000 or peak < 0.05:
    sys.exit("FAIL: no sound was recorded")
if clipped or peak >= ceiling:
    sys.exit("FAIL: peak %.4f: %d samples at or beyond full scale" % (peak, clipped))
if flat:
    sys.exit("FAIL: %d samples repeat their neighbour near the limiter's ceiling" % flat)
PY
rm -f "$work/game-audio.raw"
expect_clean_run game
log=$(log_file)
expect_sample_run "$log"
expect_line "$log" ": StopLoop()"
ended=$(sed -n 's/^.*Run ended after \([0-9]*\) frames.*$/\1/p' "$log" | tail -n 1)
[ -n "$ended" ] && [ "$ended" -lt "$limit" ] || fail "Quit did not end the game (ended after '$ended' frames)"

sed -n 's/^.*UI scenes at frame [0-9]*: //p' "$log" > stacks.txt
{
  printf '%s\n' boot main-menu
  for level in "${levels[@]}"; do printf '%s\n' level-loading-ui hud; done
  printf '%s\n' game-complete-menu main-menu
} > stacks.expected
diff stacks.expected stacks.txt >&2 || fail "the scene stacks differ"

# The trace cut after each goal: one part per level, each checked as its
# own replay checks it.
grep -o "trace frame .*" "$log" > game.trace
[ "$(count game.trace "LevelLoaded()")" -eq 7 ] || fail "seven levels expected"
[ "$(count game.trace "GoalReached()")" -eq 6 ] || fail "a goal in each of the first six levels expected"
awk '{ print > ("part-" n ".trace") } /GoalReached\(\)/ { n++ }' n=0 game.trace
for i in "${!levels[@]}"; do "check_${levels[$i]}" "part-$i.trace"; done
echo "sample game: complete at frame $(sed -n 's/^trace frame \([0-9]*\): GameComplete().*$/\1/p' game.trace), Quit after $ended frames"
