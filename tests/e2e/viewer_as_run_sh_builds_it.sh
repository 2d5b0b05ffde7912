#!/usr/bin/env bash
# The model viewer as a newcomer gets it from "./run.sh -m": run.sh itself,
# from a copy of the repository's launch files, with a cmake on PATH that
# stands in for the compiler: configuring makes the build folder, building
# places each target run.sh names (built beforehand beside the program under
# test) into it. So the viewer finds model-converter beside itself only when
# run.sh builds it. A dropped assimp-testmodels ".fbx" then shows the model,
# lit (more than one shade of it, as faces turned to and from the light);
# without the converter the log says where it looked (and the window's status
# line that it failed), and a file of another kind is named with the kinds
# the viewer takes.
set -euo pipefail
source "$(dirname "$0")/e2e_common.bash" "$@"
unset TAVRIN_MAX_FRAMES
built=$(dirname "$exe")
clone="$work/clone"
mkdir -p "$clone/scripts" "$work/bin"
cp "$src/run.sh" "$clone/run.sh"
printf '#!/usr/bin/env bash\nexit 0\n' > "$clone/scripts/setup-deps.sh"  # the packages are there
cp -r "$work/rsc" "$clone/rsc"

cat > "$work/bin/cmake" <<EOF
#!/usr/bin/env bash
set -euo pipefail
dir=""; mode=configure; targets=()
while [ \$# -gt 0 ]; do
  case "\$1" in
    -B) dir=\$2; shift 2 ;;
    --build) dir=\$2; mode=build; shift 2 ;;
    --target) shift; while [ \$# -gt 0 ] && [ "\${1#-}" = "\$1" ]; do targets+=("\$1"); shift; done ;;
    *) shift ;;
  esac
done
mkdir -p "\$dir"
[ "\$mode" = build ] || exit 0
# No target named: everything is built, every program beside the one tested.
[ \${#targets[@]} -gt 0 ] || targets=(lantern-vaults model-converter)
for t in "\${targets[@]}"; do
  [ -x "$built/\$t" ] || { echo "cmake stand-in: no built '\$t'" >&2; exit 1; }
  # A hard link keeps the program's own path in the build folder.
  ln -f "$built/\$t" "\$dir/\$t" 2>/dev/null || cp "$built/\$t" "\$dir/\$t"
done
EOF
chmod +x "$work/bin/cmake"
export PATH="$work/bin:$PATH"
! command -v model-converter >/dev/null || fail "a model-converter on PATH would hide what run.sh builds"

# run_sh NAME SCRIPT: ./run.sh -m from the copy, frame 20 in $work/NAME.png.
run_sh() {
  local name=$1
  printf '%b' "$2" > "$work/$name.txt"
  export XDG_DATA_HOME="$work/xdg-$name"
  rm -rf "$XDG_DATA_HOME"; mkdir -p "$XDG_DATA_HOME"
  local code=0
  TAVRIN_MAX_FRAMES=24 TAVRIN_INPUT_SCRIPT="$work/$name.txt" TAVRIN_SCREENSHOT="$work/$name.png@20" \
    "$clone/run.sh" -m >"$work/$name.out" 2>"$work/$name.err" || code=$?
  [ "$code" -eq 0 ] || { cat "$work/$name.err" >&2; fail "$name: ./run.sh -m exited $code"; }
  expect_clean_run "$name"
}

cd "$work"
fbx="$work/box.fbx"
cp /usr/share/assimp/models/FBX/box.fbx "$fbx"
run_sh empty ''
run_sh dropped "5 drop $fbx\n"
[ -x "$clone/build/release/model-converter" ] || fail "run.sh did not build model-converter"
expect_no_line "$(log_file)" "failed"
expect_no_line "$(log_file)" "not found"
# run.sh starts the program in the repository's root: the converted model and
# the converter's log go to the per-user folder, not there or into rsc/.
[ -f "$XDG_DATA_HOME/$userFolderName/mv-asset.bin" ] || fail "no mv-asset.bin in the per-user folder"
left=$(find "$clone" -maxdepth 2 \( -name mv-asset.bin -o -name convert.log \))
[ -z "$left" ] || fail "the viewer left files in the repository: $left"

# The model is where the empty scene was, and lit: its pixels (those that
# differ from the empty scene) hold clearly different shades.
python3 - "$work/dropped.png" "$work/empty.png" "$e2eDir" <<'PY' || fail "the dropped model is missing or unlit"
import sys
sys.path.insert(0, sys.argv[3])
from png_rows import read_rgba
w, h, shot = read_rgba(sys.argv[1])
_, _, empty = read_rgba(sys.argv[2])
shades = []
for y in range(h):
    for x in range(w):
        a, b = shot[y][x * 4:x * 4 + 3], empty[y][x * 4:x * 4 + 3]
        if max(abs(p - q) for p, q in zip(a, b)) > 8:
            shades.append(sum(a) / 3)
shades.sort()
if len(shades) < 300:
    sys.exit("only %d pixels changed" % len(shades))
low, high = shades[len(shades) // 10], shades[len(shades) * 9 // 10]
print("model pixels %d, shades %.0f..%.0f" % (len(shades), low, high))
if high - low < 20:
    sys.exit("one flat shade: %.0f..%.0f" % (low, high))
PY

# Without the converter: the log names where it looked; an ".obj" is named
# with the kinds the viewer takes; neither shows anything.
rm "$clone/build/release/model-converter"
printf '#!/usr/bin/env bash\nexit 0\n' > "$work/bin/cmake"  # builds nothing now
cp "$fbx" "$work/other.obj"
run_sh missing "3 drop $work/other.obj\n5 drop $fbx\n"
expect_line "$(log_file)" "ModelView: model-converter not found: looked in $clone/build/release and on PATH; '$fbx' is not shown"
expect_line "$(log_file)" "ModelView: '$work/other.obj' is not a kind the viewer takes (.fbx, .bin, .png, .tga); ignored"
[ "$(grep -c "other.obj" "$(log_file)")" -eq 1 ] || fail "the .obj is logged more than once"
# Nothing shows but the status line's strip along the window's bottom.
python3 - "$work/missing.png" "$work/empty.png" "$e2eDir" <<'PY' || fail "a drop without a converter shows something"
import sys
sys.path.insert(0, sys.argv[3])
from png_rows import read_rgba
w, h, shot = read_rgba(sys.argv[1])
_, _, empty = read_rgba(sys.argv[2])
strip = h - 26
if shot[:strip] != empty[:strip]:
    sys.exit("the frame above the status line changed")
r, g, b = shot[h - 4][(w - 14) * 4:(w - 14) * 4 + 3]
if not (r > 90 and g < 40 and b < 40):
    sys.exit("no status line: %d %d %d" % (r, g, b))
PY
echo "viewer as run.sh builds it: ok"
