#!/usr/bin/env bash
# The long form of the e2e test short_runs_end_during_the_boot_load: the
# shipped game ended at every frame count from 1 to 60 while the boot scene's
# background load runs (plus the signal and window-close runs), first in the
# AddressSanitizer test build (build/test, made by ./test.sh), then in a
# ThreadSanitizer build of the game (build/tsan, as scripts/tsan.sh makes
# it). Any sanitizer report fails the run. SKIP_TSAN=1 leaves out the second
# half; FRAMES replaces the frame counts.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
JOBS=${JOBS:-3}
FRAMES=${FRAMES:-$(seq -s ' ' 1 60)}
script="$root/tests/e2e/short_runs_end_during_the_boot_load.sh"

export SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy LIBGL_ALWAYS_SOFTWARE=1

ASAN_DIR=${LV_TEST_BUILD_DIR:-build/test}
[ -x "$ASAN_DIR/lantern-vaults" ] || { echo "build $ASAN_DIR first (./test.sh)" >&2; exit 2; }
# GL and SDL leak at exit (see test.sh's e2e runs): leaks are not the point.
ASAN_OPTIONS=detect_leaks=0 LV_SHUTDOWN_FRAMES="$FRAMES" \
  bash "$script" "$root/$ASAN_DIR/lantern-vaults" "$root" "$root/$ASAN_DIR/shutdown-race"
echo "asan: every run clean"

[ -z "${SKIP_TSAN:-}" ] || exit 0
TSAN_DIR=${LV_TSAN_BUILD_DIR:-build/tsan}
cmake -S . -B "$TSAN_DIR" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLV_SANITIZE=OFF \
      -DLV_BUILD_BENCH=OFF -DLV_BUILD_TESTS=ON \
      -DCMAKE_CXX_FLAGS="-fsanitize=thread -fno-omit-frame-pointer" \
      -DCMAKE_C_FLAGS="-fsanitize=thread -fno-omit-frame-pointer" \
      -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=thread" >/dev/null
cmake --build "$TSAN_DIR" -j "$JOBS" --target lantern-vaults
prefix=()
if command -v setarch >/dev/null 2>&1 && setarch "$(uname -m)" -R true 2>/dev/null; then
  prefix=(setarch "$(uname -m)" -R)
fi
# The libraries the game loads (Mesa's llvmpipe, SDL, the audio stack) are
# not built with ThreadSanitizer: only reports that reach our code count.
export TSAN_OPTIONS=${TSAN_OPTIONS:-"halt_on_error=1 report_signal_unsafe=0 suppressions=$root/scripts/tsan-game.supp"}
LV_SHUTDOWN_FRAMES="$FRAMES" \
  "${prefix[@]}" bash "$script" "$root/$TSAN_DIR/lantern-vaults" "$root" "$root/$TSAN_DIR/shutdown-race"
echo "tsan: every run clean"
