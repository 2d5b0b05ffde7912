#!/usr/bin/env bash
# The companion's slingshot shot in the first level, headless. A start scene
# sends "GameFreshStart" and runs the level's post-load jobs; the level's player and camera spawners are made
# real objects (fixtures/companion-level-spawners.xobj), its companion
# spawner is the shipped companion and a "target-dummy-obj" (70 health)
# stands 4 units ahead of the player, seen from
# above and behind. 'X' with no direction shoots along -z:
# one shot takes 35, a second one after the companion came back takes the
# rest, and the dummy is gone. A run without the second press keeps it.
set -euo pipefail
here="$(dirname "$(readlink -f "$0")")"
source "$here/e2e_common.bash" "$@"
png_probe() { python3 "$here/png_rows.py" "$1" "$2" "$3"; }

# The level: real spawners, the companion, the dummy ahead of the player.
python3 - "$work/rsc" "$here/fixtures/companion-level-spawners.xobj" <<'PY'
import re, sys
rsc, fixture = sys.argv[1], sys.argv[2]
path = rsc + "/objects/level-objects.xobj"
text = open(path).read()
for name in ("spawner-Luvo", "spawner-camera"):
    text = re.sub(r"<%s>.*?</%s>\n" % (name, name), "", text, flags=re.S)
open(path, "w").write(text + open(fixture).read())
room = rsc + "/level/room-start.xrm"
text = open(room).read()
dummy = ("        <target-dummy-obj><TransformComponent><PosX>3.000000</PosX><PosY>1.500000</PosY>"
         "<PosZ>-4.000000</PosZ></TransformComponent></target-dummy-obj>\n")
text = re.sub(r"<spawner-camera>\s*<TransformComponent>.*?</TransformComponent>",
              "<spawner-camera><TransformComponent><PosX>3.000000</PosX><PosY>14.000000</PosY>"
              "<PosZ>9.000000</PosZ></TransformComponent>", text)
open(room, "w").write(text.replace("    </Objects>", dummy + "    </Objects>"))
PY
mkdir -p "$work/rsc/scenes"
cat > "$work/rsc/scenes/companion-start.scn" <<'LUA'
function LoadScene(scene)
  -- Builds the physics grid and the volume hierarchy (which draws the
  -- level's static meshes) once the level is loaded.
  scene:AddHandler(UiLevelLoadHandler.new())
  local start = UiSendMessageHandler.new()
  start:SetRaiseEvent("GameFreshStart")
  scene:AddHandler(start)
end
LUA
printf '<UiSystem>\n  <debug>1</debug>\n  <start-scene>companion-start</start-scene>\n</UiSystem>\n' \
  > "$work/rsc/uisystem.xcfg"

# run NAME SCRIPT: 320 x 200, 200 frames of 0.016 s, shots at frames 40 and 190.
run() {
  local name=$1 script=$2
  mkdir -p "$work/shots"
  small_window "$name"
  printf '%s\n' "$script" > "$work/$name.input"
  TAVRIN_MAX_FRAMES=200 TAVRIN_SCENE_SKIP=gfx-camera TAVRIN_INPUT_SCRIPT="$work/$name.input" \
    TAVRIN_SCREENSHOT="$work/shots/$name-before.png@40" keepXdg=1 run_program "$name-before"
  expect_clean_run "$name-before"
  TAVRIN_MAX_FRAMES=200 TAVRIN_SCENE_SKIP=gfx-camera TAVRIN_INPUT_SCRIPT="$work/$name.input" \
    TAVRIN_TRACE_MESSAGES=PlaySound,ObjectDestroyed \
    TAVRIN_SCREENSHOT="$work/shots/$name-after.png@190" keepXdg=1 run_program "$name"
  expect_clean_run "$name"
}


run twice "$(printf '40 key X down\n41 key X up\n130 key X down\n131 key X up')"
run once "$(printf '40 key X down\n41 key X up')"

log=$(log_file)
before=$(magenta_pixels "$work/shots/twice-before.png")
after=$(magenta_pixels "$work/shots/twice-after.png")
kept=$(magenta_pixels "$work/shots/once-after.png")
echo "dummy pixels: before $before, after two shots $after, after one shot $kept"
[ "$before" -ge 40 ] || fail "the dummy is not on screen before the shots ($before pixels)"
[ "$after" -le 2 ] || fail "the dummy is still on screen after two shots ($after pixels)"
[ "$kept" -ge 40 ] || fail "one shot removed the dummy ($kept pixels)"
thuds() { grep -c "PlaySound(low-thud-sfx)" "$work/xdg-$1/$userFolderName/error_log.log" || true; }
gone() { grep -c "ObjectDestroyed([0-9]* 'target-dummy-obj')" "$work/xdg-$1/$userFolderName/error_log.log" || true; }
[ "$(thuds twice) $(gone twice)" = "2 1" ] || fail "two shots: $(thuds twice) hits, dummy destroyed $(gone twice) times"
[ "$(thuds once) $(gone once)" = "1 0" ] || fail "one shot: $(thuds once) hits, dummy destroyed $(gone once) times"
for name in twice once; do
  log="$work/xdg-$name/$userFolderName/error_log.log"
  expect_no_line "$log" "GL error"
  expect_no_line "$log" "refused"
  expect_no_line "$log" "has no"
  expect_no_line "$log" "is not available in this build"
  expect_line "$log" "Run ended after 200 frames"
done
echo "companion slingshot: ok"
