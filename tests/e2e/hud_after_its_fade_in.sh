#!/usr/bin/env bash
# The HUD scene over the running sample scene, 320 x 200: after its 0.25 s
# fade-in the health bar's fill (full health) covers its middle row from
# its left end to its right end, and the other bars are not drawn. Then
# every bar's fill inside its frame at 1024 x 768, 1280 x 720 and
# 1920 x 1080 (one four-frame run each).
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
# hud.scn: "ui-health" at left -460, top -340; the fill (200 x 16) sits 4
# units in, so it spans x -456..-256 and y -336..-320.
# The pixels whose centres lie inside the span.
left, right = width / 2 - 456 * scale, width / 2 - 256 * scale
x0, x1 = int(left + 0.5), int(right - 0.5)
y = int(height / 2 - 328 * scale)
row = [tuple(rows[y][4 * x:4 * x + 3]) for x in range(x0, x1 + 1)]
bad = [(x0 + i, p) for i, p in enumerate(row) if not (p[0] > 170 and p[1] < 130 and p[2] < 130)]
if bad:
    print("not the health fill at", bad[:5], "of", len(row))
    sys.exit(1)
# Energy and boss bars stay hidden: their places show no bar colour.
for ux, uy in ((-356, -300), (0, 312)):
    x, y = at(ux, uy)
    p = tuple(rows[y][4 * x:4 * x + 3])
    if p[0] > 170 and p[1] < 130 and p[2] < 130 or (p[0] > 130 and p[2] > 160 and p[1] < 100):
        print("a hidden bar shows at", (x, y), p)
        sys.exit(1)
PY
echo "hud after its fade-in: ok"

# Every bar's fill inside its frame at three screen shapes: the same HUD
# without its handler (so every bar shows, full), no scene behind it, one
# short run per size. On each bar's middle row the frame's rim shows at both
# ends and the fill covers everything between them (no dark inside of the
# frame); on its middle column the rim shows at the top and the fill starts
# right under it.
sed -i 's/^  scene:AddHandler(hud)$/  -- no handler here: every bar shows, full/' "$work/rsc/ui/hud.scn"
grep -q "no handler here" "$work/rsc/ui/hud.scn" || fail "the HUD's handler line was not found in hud.scn"
unset TAVRIN_SAMPLE_SCENE
for size in 1024x768 1280x720 1920x1080; do
  user_folder "bars-$size"
  printf '<UserSettings><WindowWidth>%s</WindowWidth><WindowHeight>%s</WindowHeight><Fullscreen>0</Fullscreen></UserSettings>' \
    "${size%x*}" "${size#*x}" > "$settings/UserConfig.xcfg"
  TAVRIN_MAX_FRAMES=4 TAVRIN_SCREENSHOT="$work/shots/bars-$size.png@3" keepXdg=1 run_program "bars-$size"
  expect_clean_run "bars-$size"
  expect_line "$(log_file)" "Screenshot of frame 3 written to '$work/shots/bars-$size.png' (${size/x/ x })"
  python3 - "$here" "$work/shots/bars-$size.png" "$src/rsc/textures" <<'PY' || fail "a bar's fill is not inside its frame at $size"
import sys
sys.path.insert(0, sys.argv[1])
from png_rows import read_rgba, pixel
width, height, rows = read_rgba(sys.argv[2])
scale = height / 720.0
def px(ux): return int(width / 2 + ux * scale)
def py(uy): return int(height / 2 + uy * scale)
# hud.scn: each frame's top-left corner; the frame is 208 x 24 with a rim of
# 4, the fill 200 x 16 fills its inside.
bars = {"ui-health": ("health", -460, -340), "ui-energy": ("qil", -460, -308),
        "ui-yak": ("boss", -104, 300), "ui-fox1": ("boss", -104, 268)}
def d(a, b): return sum((x - y) ** 2 for x, y in zip(a, b))
bad = []
for name, (kind, left, top) in bars.items():
    _, _, fill = read_rgba("%s/hud-%s-fill.png" % (sys.argv[3], kind))
    _, _, frame = read_rgba("%s/hud-%s-border.png" % (sys.argv[3], kind))
    rim, inside = pixel(frame, 0, 12), pixel(frame, 100, 12)
    def kind_at(x, y, fill_row):
        p = pixel(rows, x, y)
        got = min((d(p, rim), "rim"), (d(p, inside), "dark inside"), (d(p, pixel(fill, 100, fill_row)), "fill"))[1]
        return got, p
    y = py(top + 12)
    want = [(px(left + 2), y, 8, "rim"), (px(left + 206), y, 8, "rim"), (px(left + 104), py(top + 2), 0, "rim"),
            (px(left + 104), py(top + 6), 2, "fill")]
    want += [(x, y, 8, "fill") for x in range(px(left + 5.5), px(left + 202.5) + 1)]
    for x, yy, row, expected in want:
        got, p = kind_at(x, yy, row)
        if got != expected:
            bad.append("%s: %s at (%d, %d) %s, not %s" % (name, got, x, yy, p, expected))
print("%d x %d: %s" % (width, height, "ok" if not bad else "; ".join(bad[:6])))
sys.exit(1 if bad else 0)
PY
done
echo "bars in their frames: ok"
