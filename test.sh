#!/usr/bin/env bash
# Sets everything up and runs every test: installs the Debian packages, builds
# with AddressSanitizer and UndefinedBehaviorSanitizer, and runs the whole
# suite (unit, gl and end-to-end) with ctest. Extra arguments go to ctest
# (for example: ./test.sh -L unit, ./test.sh -R Variant: one ctest test per
# GoogleTest suite).
set -euo pipefail
cd "$(dirname "$0")"

bash scripts/setup-deps.sh

BUILD_DIR=${LV_TEST_BUILD_DIR:-build/test}
JOBS=${JOBS:-$(nproc)}

cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLV_SANITIZE=ON \
      -DLV_BUILD_BENCH=OFF >/dev/null
cmake --build "$BUILD_DIR" -j "$JOBS"

# Headless drivers: real GL through EGL and Mesa llvmpipe without a display,
# a silent audio device, and pad events while no window has focus.
export SDL_VIDEODRIVER=${SDL_VIDEODRIVER:-offscreen}
export SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy}
export SDL_JOYSTICK_ALLOW_BACKGROUND_EVENTS=1
export LIBGL_ALWAYS_SOFTWARE=1
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1}

cd "$BUILD_DIR"
ctest --output-on-failure -j "$JOBS" "$@"
