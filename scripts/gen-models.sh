#!/usr/bin/env bash
# Regenerates the sample models in rsc/models with our model writer
# (tools/model-writer). The outputs are checked in; run this after changing
# the writer or the samples.
set -euo pipefail
cd "$(dirname "$0")/.."

BUILD_DIR=${LV_TOOLS_BUILD_DIR:-build/tools}
cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=Release -DLV_BUILD_TESTS=OFF -DLV_BUILD_BENCH=OFF >/dev/null
cmake --build "$BUILD_DIR" --target model-writer -j "${JOBS:-$(nproc)}"
mkdir -p rsc/models
"$BUILD_DIR/model-writer" rsc/models
