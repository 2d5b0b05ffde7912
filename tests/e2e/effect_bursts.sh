#!/usr/bin/env bash
# The game's effects a player must notice, at the chase camera's distance:
# the victory fireworks, an enemy hit, an enemy's death and a health pack
# taken. Each shipped emitter is copied into the sample scene 13 units in
# front of its camera (the chase camera's distance) and shot 0.3 s after it
# starts; the pixels that differ from the scene without it must span at
# least 5% of the picture's height.
set -euo pipefail
here="$(dirname "$(readlink -f "$0")")"
source "$here/e2e_common.bash" "$@"
export TAVRIN_FIXED_DT=0.016

# Each archetype's block becomes "gfx-e2e-ARCHETYPE" (the sample scene places
# every "gfx-" archetype),
# placed at (0, 4, 5), appended to the test objects.
python3 - "$work/rsc/objects" <<'PY'
import re, sys
folder = sys.argv[1]
out = []
for file, name in [("companion-objects.xobj", "fireworks-fx"), ("enemy-objects.xobj", "damage-enemy-fx"),
                   ("enemy-objects.xobj", "yak-fx-obj"), ("pickup-objects.xobj", "healthpack-taken-fx")]:
    text = open("%s/%s" % (folder, file)).read()
    block = re.search(r"^<%s>.*?^</%s>" % (name, name), text, flags=re.S | re.M).group(0)
    block = re.sub(r"<TransformComponent>.*?</TransformComponent>|<TransformComponent />", "", block, flags=re.S)
    block = block.replace("<%s>" % name, "<gfx-e2e-%s>\n    <TransformComponent><PosY>4</PosY><PosZ>5</PosZ></TransformComponent>" % name, 1)
    out.append(block.replace("</%s>" % name, "</gfx-e2e-%s>" % name))
open(folder + "/e2e-bursts.xobj", "w").write("\n".join(out) + "\n")
PY
echo e2e-bursts >> "$work/rsc/gfx-test-pkg.pkg"

effects="fireworks-fx damage-enemy-fx yak-fx-obj healthpack-taken-fx"
# shot NAME [EFFECT]: frame 20 of a 320 x 200 run of the sample scene with
# only EFFECT's copy of the four.
shot() {
  local skip="" effect
  for effect in $effects; do [ "$effect" = "${2:-}" ] || skip="$skip${skip:+,}gfx-e2e-$effect"; done
  small_window "$1"
  TAVRIN_MAX_FRAMES=22 TAVRIN_SCREENSHOT="$work/shots/$1.png@20" TAVRIN_SCENE_SKIP="$skip" keepXdg=1 run_program "$1"
  expect_clean_run "$1"
}
mkdir -p "$work/shots"
shot plain
for effect in $effects; do
  shot "$effect" "$effect"
  python3 -B - "$here" "$work/shots/plain.png" "$work/shots/$effect.png" "$effect" <<'PY'
import sys
sys.path.insert(0, sys.argv[1])
from png_rows import read_rgba
width, height, plain = read_rgba(sys.argv[2])
_, _, shot = read_rgba(sys.argv[3])
ys = [y for y in range(height) for x in range(0, width * 4, 4)
      if max(abs(plain[y][x + i] - shot[y][x + i]) for i in range(3)) > 40]
span = (max(ys) - min(ys) + 1) / height if ys else 0.0
print("%s: %d pixels changed, %.1f%% of the height" % (sys.argv[4], len(ys), 100 * span))
if span < 0.05:
    sys.exit("FAIL: %s spans %.1f%% of the picture's height" % (sys.argv[4], 100 * span))
PY
done
