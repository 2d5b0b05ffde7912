#!/usr/bin/env bash
# A picture of each of the game's model-writer figures in the model viewer,
# kept in this test's work folder (shots/NAME.png, the viewer's own window) for a person
# to look at after a change to tools/model-writer: each model file is dropped
# into the viewer and frame 20 is shot. The figures standing on y = 0 (the
# player, the yak, the fox's tail) must change the middle of the picture
# from the empty scene's; the static pieces centred on the origin (nest,
# gate stone, pickups) sink half into the viewer's floor and are only kept.
set -euo pipefail
here="$(dirname "$(readlink -f "$0")")"
source "$here/e2e_common.bash" "$@"
unset TAVRIN_MAX_FRAMES TAVRIN_SAMPLE_SCENE
mkdir -p "$work/shots"

# shoot NAME [FILE]: frame 20 of the viewer in shots/NAME.png, FILE dropped at frame 5.
shoot() {
  local name=$1 file=${2:-}
  if [ -n "$file" ]; then printf '5 drop %s\n' "$file" > "$work/$name.txt"; else : > "$work/$name.txt"; fi
  TAVRIN_MAX_FRAMES=24 TAVRIN_INPUT_SCRIPT="$work/$name.txt" TAVRIN_SCREENSHOT="$work/shots/$name.png@20" \
    run_program "$name" -m
  expect_clean_run "$name"
}

shoot empty
for model in nest-mesh menhir-mesh healthpack-mesh powerup-mesh; do shoot "$model" "$work/rsc/models/$model.bin"; done
for model in luvo yak-mesh boxfox-tail-mesh; do
  shoot "$model" "$work/rsc/models/$model.bin"
  python3 -B - "$here" "$work/shots/empty.png" "$work/shots/$model.png" "$model" <<'PY'
import sys
sys.path.insert(0, sys.argv[1])
from png_rows import read_rgba
width, height, empty = read_rgba(sys.argv[2])
_, _, shot = read_rgba(sys.argv[3])
changed = sum(1 for y in range(height // 4, 3 * height // 4) for x in range(width // 4 * 4, 3 * width // 4 * 4, 4)
              if max(abs(empty[y][x + i] - shot[y][x + i]) for i in range(3)) > 30)
print("%s: %d pixels of the middle changed" % (sys.argv[4], changed))
if changed < 50:
    sys.exit("FAIL: %s does not show in the viewer" % sys.argv[4])
PY
done
