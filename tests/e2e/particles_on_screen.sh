#!/usr/bin/env bash
# Particles in the real game: one emitter added to the sample scene at
# (0, 5, 0), where the scene's camera (at (0, 5, -8), looking along +z) sees
# the sky's front face in the middle of the picture. Frame 8 is shot without
# the emitter, with a "Normal" one drawn directly, and with a "Glowy" one
# through the composite: the middle pixel turns from the sky to the sheet's
# white glow. The screenshots stay in the work folder.
set -euo pipefail
here="$(dirname "$(readlink -f "$0")")"
source "$here/e2e_common.bash" "$@"
mkdir -p "$work/shots"

# emitter BLEND: the sample scene's copy gets one still particle of the
# sheet's glow cell, three units wide.
emitter() {
  cat > "$work/rsc/objects/e2e-particles.xobj" <<XML
<gfx-e2e-glow>
    <TransformComponent><PosY>5</PosY></TransformComponent>
    <ParticleEmitterComponent>
        <MaximumParticles>1</MaximumParticles><ParticleLifeTime>100</ParticleLifeTime>
        <TextureSheet>particle-sheet</TextureSheet><TextureWidth>32</TextureWidth><TextureHeight>32</TextureHeight>
        <FullTextureWidth>128</FullTextureWidth><FullTextureHeight>32</FullTextureHeight>
        <StartRunning>1</StartRunning><MinScale>3</MinScale><MaxScale>3</MaxScale>
        <BlendMode>$1</BlendMode>
    </ParticleEmitterComponent>
</gfx-e2e-glow>
XML
}
emitter Normal
grep -qx e2e-particles "$work/rsc/gfx-test-pkg.pkg" || echo e2e-particles >> "$work/rsc/gfx-test-pkg.pkg"

# shoot NAME POSTPROCESS SKIP: one run of 10 frames, frame 8 in shots/NAME.png.
shoot() {
  printf '<Graphics><Debug>0</Debug><DoPostProcess>%s</DoPostProcess><UseHBV>1</UseHBV></Graphics>\n' \
    "$2" > "$work/rsc/graphics.xcfg"
  shoot_scene "$1" "$3"
}

# middle NAME: "R G B" of the picture's middle pixel.
middle() { python3 -B "$here/png_rows.py" "$work/shots/$1.png" 160 100 | cut -d' ' -f3-5; }

shoot sky 0 gfx-e2e-glow
shoot normal 0 ""
emitter Glowy
shoot glowy 1 ""

read -r r g b <<< "$(middle sky)"
[ "$r" -lt 80 ] && [ "$b" -gt 150 ] || fail "without the emitter the middle is not the sky: $r $g $b"
for name in normal glowy; do
  read -r r g b <<< "$(middle "$name")"
  [ "$r" -gt 200 ] && [ "$g" -gt 200 ] && [ "$b" -gt 200 ] || fail "$name: the middle is not the white glow: $r $g $b"
done
echo "particles on screen: ok"
