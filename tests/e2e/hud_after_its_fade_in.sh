#!/usr/bin/env bash
# The HUD scene over the running sample scene, 320 x 200: after its 0.25 s
# fade-in the health bar's fill (full health) covers its middle row from
# its left end to its right end, and the other bars are not drawn.
set -euo pipefail
here="$(dirname "$(readlink -f "$0")")"
source "$here/e2e_common.bash" "$@"

printf '<UiSystem>\n  <debug>1</debug>\n  <start-scene>hud</start-scene>\n</UiSystem>\n' > "$work/rsc/uisystem.xcfg"
small_window hud
mkdir -p "$work/shots"
TAVRIN_MAX_FRAMES=30 TAVRIN_SCREENSHOT="$work/shots/hud.png@28" keepXdg=1 run_program hud
expect_clean_run hud
expect_line "$(log_file)" "Screenshot of frame 28 written to '$work/shots/hud.png' (320 x 200)"
expect_no_line "$(log_file)" "GL error"
expect_no_line "$(log_file)" "lua"

python3 - "$here" "$work/shots/hud.png" <<'PY' || fail "the health fill does not cover its row"
import sys
sys.path.insert(0, sys.argv[1])
from png_rows import read_rgba
width, height, rows = read_rgba(sys.argv[2])
scale = height / 720.0
def at(ux, uy):
    return int(round(width / 2 + ux * scale)), int(round(height / 2 + uy * scale))
# hud.scn: "ui-health" at left -560, top -340; the fill (200 x 16) sits 4
# units in, so it spans x -556..-356 and y -336..-320.
# The pixels whose centres lie inside the span.
left, right = width / 2 - 556 * scale, width / 2 - 356 * scale
x0, x1 = int(left + 0.5), int(right - 0.5)
y = int(height / 2 - 328 * scale)
row = [tuple(rows[y][4 * x:4 * x + 3]) for x in range(x0, x1 + 1)]
bad = [(x0 + i, p) for i, p in enumerate(row) if not (p[0] > 170 and p[1] < 130 and p[2] < 130)]
if bad:
    print("not the health fill at", bad[:5], "of", len(row))
    sys.exit(1)
# Energy and boss bars stay hidden: their places show no bar colour.
for ux, uy in ((-456, -300), (0, 312)):
    x, y = at(ux, uy)
    p = tuple(rows[y][4 * x:4 * x + 3])
    if p[0] > 170 and p[1] < 130 and p[2] < 130 or (p[0] > 130 and p[2] > 160 and p[1] < 100):
        print("a hidden bar shows at", (x, y), p)
        sys.exit(1)
PY
echo "hud after its fade-in: ok"
