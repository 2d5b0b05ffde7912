#!/usr/bin/env bash
# The UI system draws its start scene over the game's frame: a scene with a
# half-transparent blue background, a red UiSolid on the left and a UiImage
# of a green texture on the right, at 320 x 200. The solid and the image read
# exactly; elsewhere the frame shows through the background (half the pixel
# of the same frame without the UI plus half the blue).
set -euo pipefail
here="$(dirname "$(readlink -f "$0")")"
source "$here/e2e_common.bash" "$@"

png_probe() { python3 "$here/png_rows.py" "$1" "$2" "$3"; }

shoot_scene plain gfx-sparks

mkdir -p "$work/rsc/scenes"
python3 - "$work/rsc/textures/ui-check-green.tga" <<'PY'
import struct, sys
w = h = 8
header = struct.pack('<BBBHHBHHHHBB', 0, 0, 2, 0, 0, 0, 0, 0, w, h, 32, 8)
open(sys.argv[1], 'wb').write(header + bytes([0, 255, 0, 255]) * (w * h))
PY
cat > "$work/rsc/scenes/ui-check.scn" <<'LUA'
function LoadScene(scene)
  scene:SetColor({0, 0, 1, 0.5})
  local solid = UiSolid.new()
  solid:SetX(-300)
  solid:SetWidth(200)
  solid:SetHeight(200)
  solid:SetColor({1, 0, 0, 1})
  scene:AddElement(solid)
  local image = UiImage.new()
  image:SetTexture("ui-check-green")
  image:SetX(300)
  image:SetWidth(200)
  image:SetHeight(200)
  image:SetColor({1, 1, 1, 1})
  scene:AddElement(image)
end
LUA
# With "debug" the UI system runs the background load (scenes included) at
# start, so the start scene exists at the first update.
printf '<UiSystem>\n  <debug>1</debug>\n  <start-scene>ui-check</start-scene>\n</UiSystem>\n' > "$work/rsc/uisystem.xcfg"
shoot_scene ui gfx-sparks

read -r _ _ r g b _ <<<"$(png_probe "$work/shots/ui.png" 77 100)"
[ "$r $g $b" = "255 0 0" ] || fail "the solid reads $r $g $b"
read -r _ _ r g b _ <<<"$(png_probe "$work/shots/ui.png" 243 100)"
[ "$r $g $b" = "0 255 0" ] || fail "the image reads $r $g $b"
for point in "160 20" "20 180" "300 20"; do
  read -r _ _ pr pg pb _ <<<"$(png_probe "$work/shots/plain.png" $point)"
  read -r _ _ ur ug ub _ <<<"$(png_probe "$work/shots/ui.png" $point)"
  python3 - "$pr" "$pg" "$pb" "$ur" "$ug" "$ub" <<'PY' || fail "background at $point: frame $pr $pg $pb, with the UI $ur $ug $ub"
import sys
p = [int(v) for v in sys.argv[1:4]]; u = [int(v) for v in sys.argv[4:7]]
want = [p[0] * 0.5, p[1] * 0.5, p[2] * 0.5 + 127.5]
sys.exit(0 if all(abs(a - b) <= 3 for a, b in zip(u, want)) else 1)
PY
done
expect_no_line "$(log_file)" "GL error"
echo "ui over the frame: ok"
