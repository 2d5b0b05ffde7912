#!/usr/bin/env bash
# The model viewer with files dropped through the input script: a converted
# model copied under a hostile name shows at the centre of the frame with the
# grid floor still around it; a skinned source is drawn with its clip; a
# model source that cannot be converted, or a model file with no mesh, is
# logged and leaves the model shown before as it was; no name runs a command.
# The model file and the converter's log are kept in the per-user folder,
# never in the working folder or rsc/. A texture that cannot be read is on
# the status line.
set -euo pipefail
source "$(dirname "$0")/e2e_common.bash" "$@"
unset TAVRIN_MAX_FRAMES

# Prints "R G B" of a PNG at pixel (X, Y).
pixel() { python3 "$(dirname "$0")/png_rows.py" "$1" "$2" "$3" | awk '{print $3, $4, $5}'; }

# shoot NAME [FILE...]: frame 20 of the viewer in $work/NAME.png, the FILEs
# (if any) dropped at frames 5, 10, ...
shoot() {
  local name=$1 frame=5 file; shift
  : > "$work/$name.txt"
  for file in "$@"; do printf '%d drop %s\n' $frame "$file" >> "$work/$name.txt"; frame=$((frame + 5)); done
  TAVRIN_MAX_FRAMES=24 TAVRIN_INPUT_SCRIPT="$work/$name.txt" TAVRIN_SCREENSHOT="$work/$name.png@20" \
    run_program "$name" -m
  expect_clean_run "$name"
}
# The viewer's own files of the last run.
kept() { echo "$XDG_DATA_HOME/$userFolderName/$1"; }
nothing_left_here() {
  local left; left=$(find "$work" "$work/rsc" -maxdepth 1 \( -name mv-asset.bin -o -name convert.log \))
  [ -z "$left" ] || fail "the viewer wrote into the working folder or rsc/: $left"
}

shoot empty
hostile="$work/a b \"q\" \$(touch pwned); \`touch pwned2\`.BIN"
cp rsc/models/crate.bin "$hostile"
shoot copied "$hostile"
[ "$(pixel copied.png 512 384)" != "$(pixel empty.png 512 384)" ] || fail "the dropped model is not at the centre"
[ "$(pixel copied.png 512 700)" = "$(pixel empty.png 512 700)" ] || fail "the floor around the model changed"
cmp -s "$hostile" "$(kept mv-asset.bin)" || fail "mv-asset.bin is not a copy of the dropped file"

# A real model source, converted by model-converter from beside the program.
fbx="$work/box \$(touch pwned); b.FBX"
cp /usr/share/assimp/models/FBX/box.fbx "$fbx"
shoot converted "$fbx"
[ "$(pixel converted.png 512 384)" != "$(pixel empty.png 512 384)" ] || fail "the converted box is not at the centre"
[ "$(pixel converted.png 512 700)" = "$(pixel empty.png 512 700)" ] || fail "the floor around the box changed"
grep -q "vertices" "$(kept convert.log)" || { cat "$(kept convert.log)" >&2; fail "convert.log lacks the converter's report"; }
nothing_left_here

# A skinned, animated source: skeleton and clip reach the viewer, which
# plays the clip on the drawn model.
# It is metres wide, so "Scale Model" is ticked by a click first.
cp /usr/share/assimp/models/FBX/animation_with_skeleton.fbx "$work/walk.fbx"
printf '2 mouse move 27 253 0 0\n3 mouse left down\n4 mouse left up\n5 drop %s\n' "$work/walk.fbx" > "$work/skinned.txt"
TAVRIN_MAX_FRAMES=24 TAVRIN_INPUT_SCRIPT="$work/skinned.txt" TAVRIN_SCREENSHOT="$work/skinned.png@20" \
  run_program skinned -m
expect_clean_run skinned
grep -q "16 bones; a clip of 0.833 s" "$(kept convert.log)" ||
  { cat "$(kept convert.log)" >&2; fail "the skinned source lost its skeleton or clip"; }
changed=$(python3 - "$work/skinned.png" "$work/empty.png" "$(dirname "$0")" <<'PY'
import sys
sys.path.insert(0, sys.argv[3])
from png_rows import read_rgba
a, b = read_rgba(sys.argv[1]), read_rgba(sys.argv[2])
print(sum(a[2][y][x * 4:x * 4 + 3] != b[2][y][x * 4:x * 4 + 3] for y in range(300, 460) for x in range(400, 624)))
PY
)
[ "$changed" -ge 20 ] || fail "the skinned model is not drawn ($changed pixels changed)"

# A source that cannot be converted, dropped onto the crate: the crate stays.
head -c 100 /usr/share/assimp/models/FBX/box.fbx > "$work/cut \$(touch pwned).fbx"
shoot failed "$work/rsc/models/crate.bin" "$work/cut \$(touch pwned).fbx"
expect_line "$(log_file)" "model-converter exited with code"
expect_line "$(log_file)" "; the converter said:"
expect_no_line "$(log_file)" "see convert.log"
[ ! -e "$(kept mv-asset.bin)" ] || fail "an earlier mv-asset.bin was left after a failed conversion"
[ "$(pixel failed.png 512 384)" = "$(pixel copied.png 512 384)" ] || fail "a failed conversion took the crate away"
# It says so on the window: the status line's dark red strip along the bottom.
reddish() { read -r r g b <<<"$(pixel "$1" 1010 764)"; [ "$r" -gt 90 ] && [ "$g" -lt 40 ] && [ "$b" -lt 40 ]; }
reddish failed.png || fail "no status line after a failed conversion: $(pixel failed.png 1010 764)"
! reddish empty.png || fail "a status line without a failure"
[ ! -e pwned ] && [ ! -e pwned2 ] || fail "a dropped file name ran a command"

# A file of no kind the viewer reads is named and ignored; a broken model
# file is named by the dropped path too. Model files with no mesh (broken,
# empty, a clip alone) leave the crate dropped first: the same object, not a
# new one showing its mesh as theirs.
printf 'not a model\n' > "$work/notes.txt"
printf 'dpm2\0\0' > "$work/cut.bin"
: > "$work/empty.bin"
printf '2 drop %s\n5 drop %s\n8 drop %s\n11 drop %s\n14 drop %s\n' "$work/rsc/models/crate.bin" "$work/notes.txt" \
  "$work/cut.bin" "$work/empty.bin" "$work/rsc/models/hinge-wave.bin" > "$work/odd.txt"
TAVRIN_TRACE_MESSAGES=ObjectCreated,ObjectDestroyed TAVRIN_MAX_FRAMES=18 TAVRIN_INPUT_SCRIPT="$work/odd.txt" \
  run_program odd-drops -m
expect_clean_run odd-drops
expect_line "$(log_file)" "ModelView: '$work/notes.txt' is not a kind the viewer takes (.fbx, .bin, .png, .tga); ignored"
expect_line "$(log_file)" "$work/cut.bin: model file $(kept mv-asset.bin): "
for file in cut.bin empty.bin rsc/models/hinge-wave.bin; do
  expect_line "$(log_file)" "ModelView: '$work/$file' holds no mesh; not shown, the scene is left as it was"
done
[ "$(grep -c "ObjectCreated([0-9]* 'mv-asset')" "$(log_file)")" -eq 1 ] || fail "a failed drop made a model object"
! grep -q "ObjectDestroyed([0-9]* 'mv-asset')" "$(log_file)" || fail "a failed drop took the crate away"
nothing_left_here

# A texture the viewer cannot read is told on the window, not only in the log.
printf 'not an image\n' > "$work/flat.png"
shoot bad-texture "$work/flat.png"
expect_line "$(log_file)" "$work/flat.png: unknown image format (PNG, TGA, DDS and PFM are read), skipped"
reddish bad-texture.png || fail "no status line after an unreadable texture: $(pixel bad-texture.png 1010 764)"
echo "viewer drops: ok"
