#!/usr/bin/env bash
# Regenerates the sample sounds in rsc/sounds with our generator
# (tools/sound-gen). The outputs are checked in; run this after changing the
# generator. The sound records for them are in rsc/sounds/game-sounds.xsm.
set -euo pipefail
cd "$(dirname "$0")/.."

BUILD_DIR=${LV_TOOLS_BUILD_DIR:-build/tools}
cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=Release -DLV_BUILD_TESTS=OFF -DLV_BUILD_BENCH=OFF >/dev/null
cmake --build "$BUILD_DIR" --target sound-gen -j "${JOBS:-$(nproc)}"
mkdir -p rsc/sounds
"$BUILD_DIR/sound-gen" rsc/sounds
