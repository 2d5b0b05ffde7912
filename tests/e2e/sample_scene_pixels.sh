#!/usr/bin/env bash
# The game without rooms of its own shows the sample scene (gfx-test-pkg).
# Four screenshots of frame 8 at 320 x 200: through the post-process
# composite, drawn directly, drawn directly with the hinge as a static mesh
# instead of the skinned one, and with the hinge playing its clip;
# sample_scene_probes.py checks named probe points of each with tolerances. The screenshots stay in the work folder
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
echo "sample scene: ok"
