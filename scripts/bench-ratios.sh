#!/usr/bin/env bash
# Reads Google Benchmark JSON files (--benchmark_out_format=json) and prints
# one line per comparison of our code against its baseline, for example
#   allocator churn 16 B: ours/glibc 0.71, ours/mimalloc 1.22
# (allocator, message send, object life cycle, level building and loading,
# physics, text, model conversion, graphics and audio; whole GL frames compare wall-clock times), and the
# animation pool's speed-up over serial stepping for each worker count.
# A ratio is our CPU time over the baseline's for the same work, both from
# one process: below 1 we are faster. Against mimalloc, ours is the run in
# the mimalloc-linked binary (rows MiChurn, MiPairs). With
# --benchmark_repetitions the medians are compared. Plain bash and awk, so
# it runs wherever the benchmarks do.
set -euo pipefail

if [ $# -eq 0 ]; then
  echo "usage: $0 results.json..." >&2
  exit 2
fi

awk '
  # Each benchmark object names itself before its times; "time_unit" follows
  # "cpu_time" in the same object.
  /"name":/ {
    name = $0
    sub(/^[^:]*: *"/, "", name)
    sub(/",? *$/, "", name)
  }
  /"real_time":/ {
    value = $0
    sub(/^[^:]*: */, "", value)
    sub(/, *$/, "", value)
    real = value + 0
  }
  /"cpu_time":/ {
    value = $0
    sub(/^[^:]*: */, "", value)
    sub(/, *$/, "", value)
    cpu = value + 0
  }
  # The animation pool reports its own speed-up (serial over threaded
  # frames taken side by side) and the worker count it ran with.
  # With repetitions the median row stands for the run (it comes after the
  # repetitions); the other aggregates are left out.
  function counter_row(n) {
    if (n ~ /_(mean|stddev|cv)$/) return ""
    sub(/_median$/, "", n)
    return n
  }
  /"speedup":/ {
    value = $0
    sub(/^[^:]*: */, "", value)
    sub(/, *$/, "", value)
    row = counter_row(name)
    if (row != "") {
      if (!(row in speedup)) pooled[++pools] = row
      speedup[row] = value + 0
    }
  }
  /"workers":/ {
    value = $0
    sub(/^[^:]*: */, "", value)
    sub(/, *$/, "", value)
    row = counter_row(name)
    if (row != "") workers[row] = value + 0
  }
  /"objects":/ {
    value = $0
    sub(/^[^:]*: */, "", value)
    sub(/, *$/, "", value)
    row = counter_row(name)
    if (row != "") objectCount[row] = value + 0
  }
  /"time_unit":/ {
    unit = $0
    sub(/^[^:]*: *"/, "", unit)
    sub(/",? *$/, "", unit)
    scale = (unit == "s") ? 1e9 : (unit == "ms") ? 1e6 : (unit == "us") ? 1e3 : 1
    ns = cpu * scale
    if (name ~ /_median$/) {
      base = name
      sub(/_median$/, "", base)
      median[base] = ns
      realMedian[base] = real * scale
    } else if (name !~ /_(mean|stddev|cv)$/) {
      sum[name] += ns
      realSum[name] += real * scale
      count[name]++
    }
  }

  function time_of(n) {
    if (n in median) return median[n]
    if (n in count) return sum[n] / count[n]
    return -1
  }
  # Wall-clock time, for frames whose work runs on the GL driver'"'"'s threads.
  function real_time_of(n) {
    if (n in realMedian) return realMedian[n]
    if (n in count) return realSum[n] / count[n]
    return -1
  }
  function real_ratio(ours, base, label,    a, b) {
    a = real_time_of(ours)
    b = real_time_of(base)
    if (a < 0 || b <= 0) return ""
    return sprintf("ours/%s %.2f (wall clock, %.2f ms per frame)", label, a / b, a / 1e6)
  }
  # "ours/<label> 0.71" when both rows ran, "" otherwise.
  function ratio(ours, base, label,    a, b) {
    a = time_of(ours)
    b = time_of(base)
    if (a < 0 || b <= 0) return ""
    return sprintf((a / b < 0.1) ? "ours/%s %.2g" : "ours/%s %.2f", label, a / b)
  }
  function line(title, r1, r2,    text) {
    text = r1
    if (r2 != "") text = (text == "" ? r2 : text ", " r2)
    if (text != "") print title ": " text
  }

  END {
    split("16 32 64", sizes, " ")
    for (i = 1; i <= 3; i++) {
      s = sizes[i]
      line("allocator churn " s " B", ratio("Churn/SmallAllocator/" s, "Churn/glibc_malloc/" s, "glibc"),
           ratio("MiChurn/SmallAllocator/" s, "MiChurn/mimalloc/" s, "mimalloc"))
    }
    for (i = 1; i <= 3; i++) {
      s = sizes[i]
      line("allocator pairs " s " B", ratio("Pairs/SmallAllocator/" s, "Pairs/glibc_malloc/" s, "glibc"),
           ratio("MiPairs/SmallAllocator/" s, "MiPairs/mimalloc/" s, "mimalloc"))
    }
    for (i = 1; i <= 3; i++) {
      s = sizes[i]
      line("SmallObject new/delete churn " s " B",
           ratio("Objects/SmallAllocator/" s, "Objects/glibc_malloc/" s, "glibc"), "")
    }
    split("1000 10000", objects, " ")
    for (i = 1; i <= 2; i++) {
      n = objects[i]
      line("object life cycle " n " objects", ratio("BM_ObjectLifecycle/" n, "BM_RawAllocationBaseline/" n, "raw allocation"), "")
    }
    split("200 1000 5000", bodies, " ")
    for (i = 1; i <= 3; i++) {
      n = bodies[i]
      line("physics frame " n " bodies", ratio("BM_OursGrid/" n, "BM_Bullet/" n, "bullet (grid)"),
           ratio("BM_OursBruteForce/" n, "BM_Bullet/" n, "bullet (brute force)"))
    }
    a = real_time_of("BM_BuildLevelFromRoomFiles/real_time")
    b = real_time_of("BM_LoadSameObjectsFromOneArchetypeFile/real_time")
    if (a > 0 && b > 0) {
      printf "level of 30 rooms x 200 objects from files: ours/one archetype file %.2f (wall clock, %.0f ms per level)\n", a / b, a / 1e6
    }
    a = real_time_of("BM_LoadFirstLevelFromMainMenu/real_time")
    b = real_time_of("BM_BuildFirstLevelOnly/real_time")
    if (a > 0 && b > 0) {
      printf "first level from Enter on the main menu to the HUD: ours/bare build %.2f (wall clock, %.1f ms per load, aim at most 500)\n", a / b, a / 1e6
    }
    a = time_of("BM_YakChaseFrame")
    b = time_of("BM_PlainBodiesFrame")
    if (a > 0 && b > 0) {
      printf "frame of 200 yaks chasing a player: ours/plain bodies %.2f (yaks add %.3f ms per frame, aim at most 1)\n", a / b, (a - b) / 1e6
    }
    a = real_time_of("BM_YakArenaFrameGl/real_time")
    b = real_time_of("BM_SampleSceneFrameGl/real_time")
    if (a > 0 && b > 0) {
      printf "yak arena mid-fight with the HUD, 1280 x 720: ours/sample scene %.2f (wall clock, %.1f ms per frame, aim at most 16.7)\n", a / b, a / 1e6
    }
    line("model converter, animation_with_skeleton.fbx", ratio("BM_ConvertModel/0", "BM_AssimpImport/0", "assimp import (aim 1.5)"), "")
    line("model converter, duck.dae", ratio("BM_ConvertModel/1", "BM_AssimpImport/1", "assimp import (aim 1.5)"), "")
    line("text measure 10,000 strings", ratio("BM_MeasureStrings", "BM_MeasureStringsRaw", "raw FreeType"), "")
    line("graphics start-up and first frame", ratio("BM_InitializeAndFirstFrameGl", "BM_EmptyFrameGl", "empty frame"), "")
    line("sample scene through the composite", real_ratio("BM_SampleSceneGl/1", "BM_SampleSceneGl/0", "direct"), "")
    line("2,000 static crates through the hierarchy", real_ratio("BM_StaticCratesGl/1", "BM_StaticCratesGl/0", "draw list"), "")
    line("graphics resize round trip", ratio("BM_ResizeRoundTripGl", "BM_EmptyFrameGl", "empty frame"), "")
    split("1 32 100", voices, " ")
    for (i = 1; i <= 3; i++) {
      n = voices[i]
      line("audio mix " n (n == 1 ? " voice" : " voices"),
           ratio("BM_MixDecodedAtDeviceRate/" n, "BM_BaselineSumVoices/" n, "plain sum"), "")
    }
    for (i = 1; i <= pools; i++) {
      n = pooled[i]
      if (workers[n] <= 0) continue
      printf "animation frame, %d objects on %d workers%s: speed-up %.2f over serial (%.2f per worker, aim 0.6)\n",
             objectCount[n], workers[n], (n ~ /Threaded\/0\// ? " (one per processor)" : ""), speedup[n],
             speedup[n] / workers[n]
    }
    split("1 4 16", counts, " ")
    for (i = 1; i <= 3; i++) {
      n = counts[i]
      line("message send " n (n == 1 ? " listener" : " listeners"),
           ratio("BM_MessageTable/" n, "BM_Signals2/" n, "signals2"),
           ratio("BM_MessageTable/" n, "BM_FunctionLoop/" n, "function"))
    }
  }
' "$@"
