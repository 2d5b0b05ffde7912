#!/usr/bin/env bash
# Builds the Release tree and runs every benchmark. Benchmarks report numbers
# against a baseline measured in the same run; they never fail a test run.
set -euo pipefail
cd "$(dirname "$0")"

bash scripts/setup-deps.sh

BUILD_DIR=${LV_RELEASE_BUILD_DIR:-build/release}
cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=Release -DLV_BUILD_TESTS=OFF -DLV_BUILD_BENCH=ON >/dev/null
cmake --build "$BUILD_DIR" -j "$(nproc)"

for b in "$BUILD_DIR"/bench/*; do
  if [ -x "$b" ] && [ -f "$b" ]; then
    echo "== $(basename "$b")"
    "$b" "$@"
  fi
done
