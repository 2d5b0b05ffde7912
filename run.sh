#!/usr/bin/env bash
# Sets everything up and runs the game: installs the Debian packages, makes a
# Release build and starts it from the repository root (it reads rsc/ from
# the working directory). Arguments go to the program: -l runs the level
# editor, -m the model viewer.
set -euo pipefail
cd "$(dirname "$0")"

bash scripts/setup-deps.sh

BUILD_DIR=${LV_RELEASE_BUILD_DIR:-build/release}
cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=Release -DLV_BUILD_TESTS=OFF >/dev/null
# The model viewer (-m) runs model-converter from beside the program.
cmake --build "$BUILD_DIR" -j "$(nproc)" --target lantern-vaults model-converter

exec "$BUILD_DIR/lantern-vaults" "$@"
