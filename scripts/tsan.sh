#!/usr/bin/env bash
# ThreadSanitizer run of the code that threads share: the small-object
# allocator (thread-owned allocators, remote frees, parked allocators), pool
# objects, variants, reference-counted handles and delegates; and scene files
# loaded on a worker thread while the main thread instantiates and draws
# scenes (the UI's template lock and element manager). Builds a separate
# tree (build/tsan) with -fsanitize=thread and runs the matching core and UI
# tests; any data race fails the run. Slower than ./test.sh, so not part of
# it. Extra arguments replace the core test filter; UI_FILTER replaces the
# UI one.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup-deps.sh

BUILD_DIR=${LV_TSAN_BUILD_DIR:-build/tsan}
JOBS=${JOBS:-$(nproc)}
FILTER=${1:-'SmallAllocator*:SmallObject*:Variant*:RefPtr*:Lifetime*:Table.*:TableDeathTest.*'}
UI_FILTER=${UI_FILTER:-'UiSceneFiles.ScenesLoadOnAWorker*:UiElementManager.*:UiLevelLoadHandler.*:UiResourceLoadHandler.*'}

cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLV_SANITIZE=OFF \
      -DLV_BUILD_BENCH=OFF -DLV_BUILD_TESTS=ON \
      -DCMAKE_CXX_FLAGS="-fsanitize=thread -fno-omit-frame-pointer" \
      -DCMAKE_C_FLAGS="-fsanitize=thread -fno-omit-frame-pointer" \
      -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=thread" >/dev/null
cmake --build "$BUILD_DIR" -j "$JOBS" --target lv_unit_tests

export TSAN_OPTIONS=${TSAN_OPTIONS:-halt_on_error=1 second_deadlock_stack=1}
# ThreadSanitizer needs the classic address-space layout; with strong mmap
# randomisation it stops at start-up, so randomisation is off for the run.
prefix=()
if command -v setarch >/dev/null 2>&1 && setarch "$(uname -m)" -R true 2>/dev/null; then
  prefix=(setarch "$(uname -m)" -R)
fi
"${prefix[@]}" "$BUILD_DIR/tests/lv_unit_tests" --gtest_filter="$FILTER"
echo "tsan: no data race in $FILTER"
# Repeated: a single run of the threaded test interleaves too few times.
(cd "$BUILD_DIR/tests" && "${prefix[@]}" ./lv_unit_tests --gtest_filter="$UI_FILTER" --gtest_repeat=20)
echo "tsan: no data race in $UI_FILTER"
