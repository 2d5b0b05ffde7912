#!/usr/bin/env bash
# A replay's frames do not depend on the machine: on a fixed step the
# background resource load, the level's background jobs and a UI timer end
# at the same frame in every run. Two runs must trace the same frames, and
# each load ends in the first UI update after the one that started it,
# however long its worker takes.
set -euo pipefail
here="$(dirname "$(readlink -f "$0")")"
source "$here/e2e_common.bash" "$@"

export TAVRIN_FIXED_DT=0.016 TAVRIN_SEED=5 TAVRIN_MAX_FRAMES=60
export TAVRIN_TRACE_MESSAGES=ReplayResourcesLoaded,LevelLoadStarted,LevelLoaded,GameReady,ReplayTimerFired
grep -qx "level-objects" rsc/loading-pkg.pkg || echo "level-objects" >> rsc/loading-pkg.pkg
echo "replay-boot" >> rsc/loading-pkg.pkg  # the start scene, before the background load
mkdir -p rsc/scenes
cp "$src/tests/e2e/fixtures/replay-boot.scn" "$src/tests/e2e/fixtures/replay-level.scn" rsc/scenes/
printf '<UiSystem>\n  <start-scene>replay-boot</start-scene>\n</UiSystem>\n' > rsc/uisystem.xcfg

# trace NAME: the run's traced lines, "frame: message" only.
trace() {
  grep -E "trace frame [0-9]+: " "$(log_file)" | sed -E 's/^.*trace frame ([0-9]+): ([A-Za-z]+).*$/\1 \2/'
}
frame_of() { echo "$1" | awk -v m="$2" '$2 == m { print $1; exit }'; }

run_program first
expect_clean_run first
first=$(trace)
run_program second
expect_clean_run second
second=$(trace)
echo "$first"
[ "$first" = "$second" ] || { echo "$second" >&2; fail "the two runs traced different frames"; }

for message in ReplayResourcesLoaded LevelLoadStarted LevelLoaded GameReady ReplayTimerFired; do
  [ -n "$(frame_of "$first" "$message")" ] || fail "no $message traced"
done
resources=$(frame_of "$first" ReplayResourcesLoaded)
loaded=$(frame_of "$first" LevelLoaded)
ready=$(frame_of "$first" GameReady)
timer=$(frame_of "$first" ReplayTimerFired)
echo "replay frames: resources $resources, level loaded $loaded, ready $ready, timer $timer"
# The start scene's load ends in the frame that started it (the UI system
# waits for it); the level scene enters in that frame and starts the game.
[ "$resources" -eq 1 ] || fail "the resources were reported at frame $resources, not 1"
# The UI updates before the game system: the level's jobs, started by
# "LevelLoaded", end at the next frame's UI update.
[ "$ready" -eq $((loaded + 1)) ] || fail "GameReady at $ready, not the frame after LevelLoaded ($loaded)"
# The 0.2 s timer fires at its 13th UI update of 0.016 s, counting the
# scene's first frame.
[ "$timer" -eq $((resources + 12)) ] || fail "the 0.2 s timer fired at $timer, not 12 frames after $resources"
