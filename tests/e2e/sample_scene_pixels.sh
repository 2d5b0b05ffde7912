#!/usr/bin/env bash
# The game without rooms of its own shows the sample scene (gfx-test-pkg).
# Four screenshots of frame 8 at 320 x 200: through the post-process
# composite, drawn directly, drawn directly with the hinge as a static mesh
# instead of the skinned one, and with the hinge playing its clip;
# sample_scene_probes.py checks named probe points of each with tolerances.
# Then a window resized to 700 x 620 keeps the picture's proportions and
# its size for the next run. The screenshots stay in the work folder
# (build/test/test-tmp/e2e-sample_scene_pixels/shots).
set -euo pipefail
here="$(dirname "$(readlink -f "$0")")"
source "$here/e2e_common.bash" "$@"
mkdir -p "$work/shots"

# post_process 0|1: the graphics configuration of the copy, debug on so the
# scene queues its debug line and cube.
graphics_config() {
  printf '<Graphics>\n  <Debug>1</Debug>\n  <DoPostProcess>%s</DoPostProcess>\n  <UseHBV>1</UseHBV>\n</Graphics>\n' \
    "$1" > "$work/rsc/graphics.xcfg"
}

# shoot NAME POSTPROCESS SKIP: one run, its screenshot in shots/NAME.png.
shoot() {
  graphics_config "$2"
  shoot_scene "$1" "$3"
  expect_line "$(log_file)" "Sample scene: 11 objects placed from 'gfx-test-pkg'"
}

shoot composite 1 gfx-hinge-static,gfx-sparks
shoot direct 0 gfx-hinge-static,gfx-sparks
shoot static 0 gfx-hinge,gfx-sparks
# The hinge playing its clip, so the bind-pose comparison is known to look
# at a skinned draw.
sed -i 's|<show-bind-pose>1</show-bind-pose>|<show-bind-pose>0</show-bind-pose>|; s|<running>0</running>|<running>1</running>|' \
  "$work/rsc/objects/gfx-test.xobj"
shoot animated 0 gfx-hinge-static,gfx-sparks

python3 "$here/sample_scene_probes.py" "$work/shots/composite.png" "$work/shots/direct.png" \
  "$work/shots/static.png" "$work/shots/animated.png" || fail "pixel probes (screenshots in $work/shots)"

# The window's shape: a 320 x 200 window resized to 700 x 620 at frame 2
# (as a drag of its frame would) draws its frame 8 at 700 x 620 with the
# picture in proportion: the sphere, made a large magenta ball, fills the
# box that the projection at 700 x 620 gives it (a picture drawn at the old
# shape and stretched would make it an upright oval). The size is saved at
# the end and the next run opens at it.
graphics_config 0
python3 - "$work/rsc/objects/gfx-test.xobj" <<'PY'
import re, sys
path = sys.argv[1]
text = open(path).read()
ball = re.search(r"<gfx-shadowed>.*?</gfx-shadowed>", text, flags=re.S).group(0)
big = re.sub(r"<Sca([XYZ])>[^<]*</Sca\1>", r"<Sca\1>2.000000</Sca\1>", ball)
big = big.replace("<DiffuseTexID>crate-planks</DiffuseTexID>",
                  "<DiffuseTexID>plain</DiffuseTexID><Color_r>1</Color_r><Color_g>0</Color_g><Color_b>1</Color_b>")
assert big != ball
open(path, "w").write(text.replace(ball, big))
PY
printf '2 resize 700 620\n' > "$work/resize.input"
small_window resized
TAVRIN_MAX_FRAMES=10 TAVRIN_SCREENSHOT="$work/shots/resized.png@8" TAVRIN_INPUT_SCRIPT="$work/resize.input" \
  TAVRIN_SCENE_SKIP=gfx-crate,gfx-tiled-floor,gfx-hinge,gfx-hinge-static,gfx-billboard,gfx-plane,gfx-aimer,gfx-highlighted,gfx-sparks \
  keepXdg=1 run_program resized
expect_clean_run resized
expect_line "$(log_file)" "Screenshot of frame 8 written to '$work/shots/resized.png' (700 x 620)"
expect_line "$settings/UserConfig.xcfg" "<WindowWidth>700</WindowWidth>"
expect_line "$settings/UserConfig.xcfg" "<WindowHeight>620</WindowHeight>"
python3 - "$here" "$work/shots/resized.png" <<'PY' || fail "the ball is not round at 700 x 620 (shots/resized.png)"
import math, sys
sys.path.insert(0, sys.argv[1])
from png_rows import read_rgba
width, height, rows = read_rgba(sys.argv[2])
# The box of the ball's pixels: red and blue well above green.
xs, ys = [], []
for y, line in enumerate(rows):
    for x in range(width):
        r, g, b = line[4 * x], line[4 * x + 1], line[4 * x + 2]
        if r > g + 40 and b > g + 40:
            xs.append(x)
            ys.append(y)
if not xs:
    sys.exit("no ball in the picture")
got_w, got_h = max(xs) - min(xs) + 1, max(ys) - min(ys) + 1
# The box the projection gives the ball (radius 1 at (3, 2.6, 1); the
# camera at (0, 5, -8) looks along +z with a vertical field of 0.33 pi).
eye, centre, radius = (0.0, 5.0, -8.0), (3.0, 2.6, 1.0), 1.0
f = 1.0 / math.tan(math.pi * 0.33 / 2)
px, py = [], []
for i in range(60):
    for j in range(120):
        t, p = math.pi * i / 59, 2 * math.pi * j / 120
        q = [centre[0] + radius * math.sin(t) * math.cos(p) - eye[0], centre[1] + radius * math.cos(t) - eye[1],
             centre[2] + radius * math.sin(t) * math.sin(p) - eye[2]]
        px.append((1 + q[0] / q[2] * f * height / width) / 2 * width)
        py.append((1 - q[1] / q[2] * f) / 2 * height)
want_w, want_h = max(px) - min(px), max(py) - min(py)
print("ball %d x %d pixels, the projection gives %.1f x %.1f" % (got_w, got_h, want_w, want_h))
sys.exit(0 if abs(got_w - want_w) <= 4 and abs(got_h - want_h) <= 4 else 1)
PY
TAVRIN_MAX_FRAMES=3 TAVRIN_SCREENSHOT="$work/shots/reopened.png@2" keepXdg=1 run_program reopened
expect_line "$(log_file)" "Screenshot of frame 2 written to '$work/shots/reopened.png' (700 x 620)"
echo "sample scene: ok"
