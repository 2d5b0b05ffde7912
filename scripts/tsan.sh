#!/usr/bin/env bash
# ThreadSanitizer run of the code that threads share: the small-object
# allocator (thread-owned allocators, remote frees, parked allocators), pool
# objects, variants, reference-counted handles and delegates. Builds a
# separate tree (build/tsan) with -fsanitize=thread and runs the matching
# unit tests; any data race fails the run. Slower than ./test.sh, so not part
# of it. Extra arguments replace the test filter.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup-deps.sh

BUILD_DIR=${LV_TSAN_BUILD_DIR:-build/tsan}
JOBS=${JOBS:-$(nproc)}
FILTER=${1:-'SmallAllocator*:SmallObject*:Variant*:RefPtr*:Lifetime*:Table.*:TableDeathTest.*'}

cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLV_SANITIZE=OFF \
      -DLV_BUILD_BENCH=OFF -DLV_BUILD_TESTS=ON \
      -DCMAKE_CXX_FLAGS="-fsanitize=thread -fno-omit-frame-pointer" \
      -DCMAKE_C_FLAGS="-fsanitize=thread -fno-omit-frame-pointer" \
      -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=thread" >/dev/null
cmake --build "$BUILD_DIR" -j "$JOBS" --target lv_unit_tests

export TSAN_OPTIONS=${TSAN_OPTIONS:-halt_on_error=1 second_deadlock_stack=1}
run=("$BUILD_DIR/tests/lv_unit_tests" --gtest_filter="$FILTER")
# ThreadSanitizer needs the classic address-space layout; with strong mmap
# randomisation it stops at start-up, so randomisation is off for the run.
if command -v setarch >/dev/null 2>&1 && setarch "$(uname -m)" -R true 2>/dev/null; then
  run=(setarch "$(uname -m)" -R "${run[@]}")
fi
"${run[@]}"
echo "tsan: no data race in $FILTER"
