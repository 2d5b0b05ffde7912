#!/usr/bin/env bash
# Settings and data files a careless or hostile user can leave behind: none
# crashes a program, none is written over, and each refusal says in the log
# what was refused and why.
set -euo pipefail
source "$(dirname "$0")/e2e_common.bash" "$@"

nested() { printf '%*s' "$1" '' | sed 's/ /<a>/g'; }

# Nesting that TinyXML reads as 200,001 levels behind a '<' its guard once
# misread: it overflowed the stack of all three programs at start-up.
deep="<UserSettings><\">$(nested 200000)"
for args in "" -l -m; do
  name="deep-settings$args"
  user_folder "$name"
  printf '%s' "$deep" > "$settings/UserConfig.xcfg"
  keepXdg=1 run_program "$name" $args
  expect_clean_run "$name"
  expect_line "$(log_file)" "UserConfig.xcfg could not be read (elements nested 200001 levels deep (at most 256 are read)): kept as UserConfig.xcfg.broken, using the defaults"
  [ "$(cat "$settings/UserConfig.xcfg.broken")" = "$deep" ] || fail "$name: the broken file was changed"
  [ -f "$settings/UserConfig.xcfg" ] || fail "$name: no new settings file"
done
echo "deep settings file: ok"

# The same nesting in a states file and an archetype file.
printf '%s' "<GamePlay><1>$(nested 200000)" > rsc/states.xstt
printf '%s' "<deep-obj><\">$(nested 200000)" > rsc/objects/deep.xobj
printf 'deep\n' >> rsc/loading-pkg.pkg
run_program deep-data
expect_clean_run deep-data
for file in rsc/states.xstt rsc/objects/deep.xobj; do
  expect_line "$(log_file)" "Failed to open file'$file'. Is the file name correct?"
  expect_line "$(log_file)" "$file: elements nested 200001 levels deep (at most 256 are read)"
done
rm rsc/objects/deep.xobj; cp "$src/rsc/states.xstt" "$src/rsc/loading-pkg.pkg" rsc/
echo "deep data files: ok"

# A truncated settings file: what was read whole is kept, the file is set
# aside; a second broken file gets a name of its own.
truncated='<UserSettings><WindowWidth>800</WindowWidth><WindowHeight>600</WindowHeight><Fullscreen>0</Fullscreen><bgm-mu'
user_folder truncated
printf '%s' "$truncated" > "$settings/UserConfig.xcfg"
keepXdg=1 run_program truncated
expect_line "$(log_file)" "kept as UserConfig.xcfg.broken, using the defaults except WindowWidth, WindowHeight, Fullscreen (read from it)"
expect_line "$settings/UserConfig.xcfg" "<WindowWidth>800</WindowWidth>"
expect_line "$settings/UserConfig.xcfg" "<Fullscreen>0</Fullscreen>"
printf 'garbage' > "$settings/UserConfig.xcfg"
keepXdg=1 run_program truncated-again
expect_line "$(log_file)" "kept as UserConfig.xcfg.broken-2, using the defaults"
[ "$(cat "$settings/UserConfig.xcfg.broken")" = "$truncated" ] || fail "the first broken file was overwritten"
echo "truncated settings file: ok"

# Window sizes SDL refuses: the programs fall back to the screen size and do
# not save the bad size again.
for size in 100000 2147483647; do
  for args in "" -l; do
    name="window-$size$args"
    user_folder "$name"
    printf '<UserSettings><WindowWidth>%s</WindowWidth><WindowHeight>%s</WindowHeight><Fullscreen>0</Fullscreen></UserSettings>' \
      "$size" "$size" > "$settings/UserConfig.xcfg"
    keepXdg=1 run_program "$name" $args
    expect_clean_run "$name"
    expect_line "$(log_file)" "WindowSystem: cannot create a window of $size x $size"
    expect_no_line "$settings/UserConfig.xcfg" "$size"
    expect_line "$settings/UserConfig.xcfg" "<Fullscreen>1</Fullscreen>"
  done
done
echo "oversize window: ok"

# No data at all, and a system configuration that does not parse.
mkdir -p "$work/empty"
user_folder no-rsc
(cd "$work/empty" && keepXdg=1 run_program no-rsc)
# The walk's lines reach the log file (opened before it) and stderr.
expect_line "$work/no-rsc.err" "Resource folder 'rsc' not found (working directory '$work/empty'): no data is loaded"
expect_line "$(log_file)" "Resource folder 'rsc' not found (working directory '$work/empty'): no data is loaded"
expect_line "$(log_file)" "Resource 'loading-pkg' not found under 'rsc': nothing of it is loaded"
printf '<CoreSystem><debug>1</debug><max-fps>30</max-fps>' > rsc/coresystem.xcfg
run_program bad-config
expect_line "$(log_file)" "rsc/coresystem.xcfg: configuration of CoreSystem could not be read (Error reading Element value.), its defaults are kept"
cp "$src/rsc/coresystem.xcfg" rsc/coresystem.xcfg
echo "missing data and broken configuration: ok"

# Shaders that crashed the driver's compiler or exhausted memory: a chain of
# doubling macros and a struct array of 10^8 elements. The source is refused
# with its file's name before the driver sees it; the frame runs without it.
{
  echo '#define A0(v) v'
  for i in $(seq 1 39); do echo "#define A$i(v) A$((i - 1))(v) A$((i - 1))(v)"; done
  cat "$src/rsc/shaders/particle-ps.psh"
} > rsc/shaders/particle-ps.psh
{ printf 'struct S { vec4 a[4]; };\nuniform S s[100000000];\n'; cat "$src/rsc/shaders/debug-ps.psh"; } \
  > rsc/shaders/debug-ps.psh
for args in "" -m; do
  name="shader-bombs$args"
  run_program "$name" $args
  expect_clean_run "$name"
  expect_line "$(log_file)" "rsc/shaders/particle-ps.psh: a macro expands to more than 1048576 bytes; source refused before compiling"
  expect_line "$(log_file)" "rsc/shaders/debug-ps.psh: uniforms declare more than"
done
cp "$src/rsc/shaders/particle-ps.psh" "$src/rsc/shaders/debug-ps.psh" rsc/shaders/
echo "shader bombs: ok"

# Model files: a 100,000-bone chain (a minute of start-up once), a NaN bind
# pose, a file cut between two chunks, skinned records under format 0.
python3 - "$src/rsc/models/hinge.bin" <<'PY'
import struct, sys
def chunk(tag, payload): return tag[::-1].encode() + struct.pack('<I', len(payload)) + payload
bone = lambda i: struct.pack('<B', 1) + b'b' + struct.pack('<I', 0xFFFFFFFF if i == 0 else i - 1) + struct.pack('<14f', 0,0,0, 0,0,0,1, 0,0,0, 0,0,0,1)
skel = struct.pack('<I', 100000) + b''.join(bone(i) for i in range(100000))
open('rsc/models/long-chain.bin', 'wb').write(chunk('dpm2', chunk('skel', skel)))
nan = struct.pack('<I', 1) + struct.pack('<B', 1) + b'r' + struct.pack('<I', 0xFFFFFFFF) + struct.pack('<f', float('nan')) + struct.pack('<13f', 0,0, 0,0,0,1, 0,0,0, 0,0,0,1)
open('rsc/models/nan-pose.bin', 'wb').write(chunk('dpm2', chunk('skel', nan)))
hinge = open(sys.argv[1], 'rb').read()
mesh_end = 16 + struct.unpack('<I', hinge[12:16])[0]
open('rsc/models/cut-hinge.bin', 'wb').write(hinge[:mesh_end])
flat = bytearray(hinge); flat[16:20] = struct.pack('<I', 0)
open('rsc/models/flat-hinge.bin', 'wb').write(bytes(flat))
PY
for args in "" -l -m; do
  name="bad-models$args"
  run_program "$name" $args
  expect_clean_run "$name"
  [ -n "$args" ] || continue  # the game loads models with its loading screen
  expect_line "$(log_file)" "model file rsc/models/long-chain.bin: 'skel' chunk at offset 8: bone count 100000 is above 256"
  expect_line "$(log_file)" "model file rsc/models/nan-pose.bin: 'skel' chunk at offset 8: bone 0 'r': a bind translation is not finite"
  expect_line "$(log_file)" "model file rsc/models/cut-hinge.bin: the 'dpm2' chunk declares"
  expect_line "$(log_file)" "model file rsc/models/flat-hinge.bin: 'mesh' chunk at offset 8:"
done
rm rsc/models/long-chain.bin rsc/models/nan-pose.bin rsc/models/cut-hinge.bin rsc/models/flat-hinge.bin
echo "bad model files: ok"

# A SIGTERM during start-up loading ends the program in order, between two
# resources, instead of after all of them.
python3 - <<'PY'
import os
os.makedirs('rsc/objects/many', exist_ok=True)
body = ''.join('<many-%d-%d><TransformComponent><PosX>1</PosX></TransformComponent></many-%d-%d>\n' % (f, k, f, k) for k in range(20) for f in [0])
for f in range(6000):
    open('rsc/objects/many/many-%d.xobj' % f, 'w').write(body.replace('many-0-', 'many-%d-' % f))
PY
name=signal-while-loading
export XDG_DATA_HOME="$work/xdg-$name"; rm -rf "$XDG_DATA_HOME"; mkdir -p "$XDG_DATA_HOME"
"$exe" -l >"$work/$name.out" 2>"$work/$name.err" & pid=$!
for _ in $(seq 1 600); do grep -qs "Update order" "$(log_file)" && break; sleep 0.1; done
sleep 1
kill -TERM "$pid"
code=0; wait "$pid" || code=$?
[ "$code" -eq 0 ] || { cat "$work/$name.err" >&2; fail "$name exited $code"; }
expect_clean_run "$name"
expect_line "$(log_file)" "Resource loading stopped: a quit was requested"
rm -r rsc/objects/many
echo "signal while loading: ok"

# Bad numbers and names in data files: each is logged once with the file,
# the object and the key, and the key keeps its default.
sed -i 's|<DRAG>0.900000</DRAG>|<DRAG>-4</DRAG>|; s|<GRAVITY>-30.000000</GRAVITY>|<GRAVITY>nan</GRAVITY>|' rsc/physics.xcfg
sed -i 's|<DoPostProcess>0</DoPostProcess>|<DoPostProcess>2.0.0</DoPostProcess>|; s|<Graphics>|<Physics>|; s|</Graphics>|</Physics>|' rsc/graphics.xcfg
sed -i 's|<MaximumParticles>24</MaximumParticles>|<MaximumParticles>abc</MaximumParticles>|; s|<ParticleLifeTime>0.800000</ParticleLifeTime>|<ParticleLifeTime>-1</ParticleLifeTime>|; s|<BlendMode>Glowy</BlendMode>|<BlendMode>Sparkly</BlendMode>|' rsc/objects/particle-objects.xobj
sed -i 's|<TileDimensionX>64</TileDimensionX>|<TileDimensionX>-64</TileDimensionX>|; s|<NumberOfTilesY>4</NumberOfTilesY>|<NumberOfTilesY>0x10</NumberOfTilesY>|' rsc/palettes/floor-tiles.xpal
printf 'anim: hinge\nscale: inf\n' > rsc/models/hinge-fast.anim
user_folder bad-numbers
printf '<UserSettings><WindowWidth>-800</WindowWidth><WindowHeight>600</WindowHeight><Fullscreen>0</Fullscreen></UserSettings>' \
  > "$settings/UserConfig.xcfg"
keepXdg=1 run_program bad-numbers -l
expect_clean_run bad-numbers
for line in \
  "rsc/physics.xcfg: key 'DRAG': '-4' is below 0; the default 0 is kept" \
  "rsc/physics.xcfg: key 'GRAVITY': 'nan' is not a number; the default 0 is kept" \
  "rsc/graphics.xcfg: the root element is 'Physics', not 'Graphics'; its keys are read anyway" \
  "rsc/graphics.xcfg: key 'DoPostProcess': '2.0.0' is not a whole number (read as 2)" \
  "rsc/objects/particle-objects.xobj: object 'sparks-fx-obj': key 'MaximumParticles': 'abc' is not a whole number; the default 0 is kept" \
  "rsc/objects/particle-objects.xobj: object 'sparks-fx-obj': key 'ParticleLifeTime': '-1' is below 0; the default 0 is kept" \
  "rsc/objects/particle-objects.xobj: object 'sparks-fx-obj': key 'BlendMode': 'Sparkly' is neither 'Normal' nor 'Glowy'" \
  "rsc/palettes/floor-tiles.xpal: key 'TileDimensionX': '-64' is below 1; the default 0 is kept" \
  "rsc/palettes/floor-tiles.xpal: key 'NumberOfTilesY': '0x10' is below 1; the default 1 is kept" \
  "rsc/models/hinge-fast.anim: key 'scale:': 'inf' is not a number; the default 1 is kept" \
  "UserConfig.xcfg: key 'WindowWidth': '-800' is below 0; the default 0 is kept"; do
  expect_line "$(log_file)" "$line"
done
for f in physics.xcfg graphics.xcfg objects/particle-objects.xobj palettes/floor-tiles.xpal models/hinge-fast.anim; do
  cp "$src/rsc/$f" "rsc/$f"
done
rm rsc/physics.xcfg; mkdir rsc/physics.xcfg
run_program config-folder
expect_line "$(log_file)" "rsc/physics.xcfg: configuration of Physics is a folder, not a file; its defaults are kept"
rmdir rsc/physics.xcfg; cp "$src/rsc/physics.xcfg" rsc/
echo "bad numbers in data files: ok"

# Textures, fonts and sounds that the libraries refuse are named with the
# reason: a TGA whose ID field runs past the file, a font FreeType cannot
# open, a WAV with an impossible format and one cut short.
printf '\377\000\002\000\000\000\000\000\000\000\000\000\002\000\002\000\040\050' > rsc/textures/long-id.tga
head -c 300 "$src/rsc/fonts/DejaVuSans.ttf" > rsc/fonts/cut-font.ttf
python3 - "$src/rsc/sounds/dash-sfx.wav" <<'PY'
import sys
wav = bytearray(open(sys.argv[1], 'rb').read())
wide = bytearray(wav); wide[22] = 200
open('rsc/sounds/wide-sfx.wav', 'wb').write(bytes(wide))
open('rsc/sounds/cut-sfx.wav', 'wb').write(bytes(wav[:len(wav) // 2]))
PY
printf 'long-id\ncut-font\nwide-sfx\ncut-sfx\n' >> rsc/loading-pkg.pkg
for args in "" -l -m; do
  name="bad-media$args"
  run_program "$name" $args
  expect_clean_run "$name"
  expect_line "$(log_file)" "long-id.tga"
  expect_line "$(log_file)" "TGA ID field or colour map runs past the end of the file"
  expect_line "$(log_file)" "rsc/fonts/cut-font.ttf: not a font file (FreeType error"
  [ -z "$args" ] || continue  # only the game plays sounds
  expect_line "$(log_file)" "Sound 'rsc/sounds/wide-sfx.wav': cannot decode (impossible format: 200 channels"
  expect_line "$(log_file)" "Sound 'rsc/sounds/cut-sfx.wav': the file is cut short"
done
rm rsc/textures/long-id.tga rsc/fonts/cut-font.ttf rsc/sounds/wide-sfx.wav rsc/sounds/cut-sfx.wav
cp "$src/rsc/loading-pkg.pkg" rsc/
echo "bad textures, fonts and sounds: ok"
