#!/usr/bin/env bash
# Builds the Release tree and runs every benchmark. Benchmarks report numbers
# against a baseline measured in the same run; they never fail a test run.
# Extra arguments go to every benchmark (for example --benchmark_repetitions=5;
# the ratios then use the medians). After the tables, one line per comparison
# gives our CPU time per operation over the baseline's (below 1: we are
# faster), with the machine's load, since a loaded machine compresses ratios.
set -euo pipefail
cd "$(dirname "$0")"

bash scripts/setup-deps.sh

BUILD_DIR=${LV_RELEASE_BUILD_DIR:-build/release}
JOBS=${JOBS:-$(nproc)}
cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=Release -DLV_BUILD_TESTS=OFF -DLV_BUILD_BENCH=ON >/dev/null
cmake --build "$BUILD_DIR" -j "$JOBS"

RESULTS="$BUILD_DIR/bench-results"
rm -rf "$RESULTS"
mkdir -p "$RESULTS"
load_before=$(cut -d' ' -f1-3 /proc/loadavg)
failed=()
for b in "$BUILD_DIR"/bench/*; do
  if [ -x "$b" ] && [ -f "$b" ]; then
    name=$(basename "$b")
    echo "== $name"
    # One failing benchmark does not hide the others' figures.
    "$b" --benchmark_out="$RESULTS/$name.json" --benchmark_out_format=json "$@" || failed+=("$name")
  fi
done

echo
echo "== ratios (CPU time per operation, ours / baseline; load before $load_before, after $(cut -d' ' -f1-3 /proc/loadavg))"
bash scripts/bench-ratios.sh "$RESULTS"/*.json
if [ ${#failed[@]} -gt 0 ]; then
  echo "failed: ${failed[*]}" >&2
  exit 1
fi
