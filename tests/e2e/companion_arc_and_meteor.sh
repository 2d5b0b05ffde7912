#!/usr/bin/env bash
# The companion's arc and meteor attacks in the first level, headless, with
# the debug keys on. As in companion_slingshot.sh a start scene sends
# "GameFreshStart", the level's player and camera spawners are real objects
# and its companion spawner is the shipped companion; two shipped dummies
# (70 health) stand in the room, seen from above. '2' chooses the arc: 'X'
# with no direction aims along -z, so the sweep starts 6 units to the
# player's right, where the first dummy stands. Then Right turns the player
# to +x, '3' chooses the meteor and 'X' throws it; it lands about 7 units
# along +x, next to the second dummy, which the landing burst removes.
set -euo pipefail
here="$(dirname "$(readlink -f "$0")")"
source "$here/e2e_common.bash" "$@"

python3 - "$work/rsc" "$here/fixtures/companion-level-spawners.xobj" <<'PY'
import re, sys
rsc, fixture = sys.argv[1], sys.argv[2]
path = rsc + "/objects/level-objects.xobj"
text = open(path).read()
for name in ("spawner-Luvo", "spawner-camera"):
    text = re.sub(r"<%s>.*?</%s>\n" % (name, name), "", text, flags=re.S)
camera = open(fixture).read()
camera = re.sub(r"<LookAtPos_X>[^<]*</LookAtPos_X>", "<LookAtPos_X>9.000000</LookAtPos_X>", camera)
camera = re.sub(r"<LookAtPos_Z>[^<]*</LookAtPos_Z>", "<LookAtPos_Z>0.000000</LookAtPos_Z>", camera)
open(path, "w").write(text + camera)
room = rsc + "/level/room-start.xrm"
text = open(room).read()
dummy = ("        <target-dummy-obj><TransformComponent><PosX>%s</PosX><PosY>1.500000</PosY>"
         "<PosZ>%s</PosZ></TransformComponent></target-dummy-obj>\n")
dummies = dummy % ("7.500000", "0.000000") + dummy % (sys.argv[3] if len(sys.argv) > 3 else "12.500000", "0.000000")
text = re.sub(r"<spawner-camera>\s*<TransformComponent>.*?</TransformComponent>",
              "<spawner-camera><TransformComponent><PosX>9.000000</PosX><PosY>20.000000</PosY>"
              "<PosZ>12.000000</PosZ></TransformComponent>", text)
open(room, "w").write(text.replace("    </Objects>", dummies + "    </Objects>"))
PY
mkdir -p "$work/rsc/scenes"
cat > "$work/rsc/scenes/attacks-start.scn" <<'LUA'
function LoadScene(scene)
  -- Builds the physics grid and the volume hierarchy once the level is loaded.
  scene:AddHandler(UiLevelLoadHandler.new())
  local start = UiSendMessageHandler.new()
  start:SetRaiseEvent("GameFreshStart")
  scene:AddHandler(start)
end
LUA
printf '<UiSystem>\n  <debug>1</debug>\n  <start-scene>attacks-start</start-scene>\n</UiSystem>\n' \
  > "$work/rsc/uisystem.xcfg"
printf '<GameSystem>\n  <debug>1</debug>\n</GameSystem>\n' > "$work/rsc/gamesystem.xcfg"

script="$(printf '%s\n' '40 key 2 down' '41 key 2 up' '44 key X down' '45 key X up' \
  '90 key 39 down' '91 key 39 up' '94 key 3 down' '95 key 3 up' '98 key X down' '99 key X up')"
printf '%s\n' "$script" > "$work/attacks.input"

# shot NAME FRAME: a 320 x 200 run of 160 frames of 0.016 s, frame FRAME kept.
shot() {
  local name=$1 frame=$2
  mkdir -p "$work/shots"
  small_window "$name"
  TAVRIN_MAX_FRAMES=160 TAVRIN_SCENE_SKIP=gfx-camera TAVRIN_INPUT_SCRIPT="$work/attacks.input" \
    TAVRIN_TRACE_MESSAGES=ObjectDestroyed,CameraShake,PlaySound \
    TAVRIN_SCREENSHOT="$work/shots/$name.png@$frame" keepXdg=1 run_program "$name"
  expect_clean_run "$name"
}


shot before 38
shot arc 85
shot meteor 158
before=$(magenta_pixels "$work/shots/before.png")
arc=$(magenta_pixels "$work/shots/arc.png")
meteor=$(magenta_pixels "$work/shots/meteor.png")
echo "dummy pixels: before $before, after the arc $arc, after the meteor $meteor"
[ "$before" -ge 60 ] || fail "the dummies are not on screen ($before pixels)"
[ "$arc" -ge 30 ] && [ "$arc" -le $((before * 3 / 4)) ] || fail "the arc did not remove one dummy ($before -> $arc)"
[ "$meteor" -le 2 ] || fail "the meteor did not remove the second dummy ($meteor pixels)"

log="$work/xdg-meteor/$userFolderName/error_log.log"
gone=$(grep -o "trace frame [0-9]*: ObjectDestroyed([0-9]* 'target-dummy-obj')" "$log" | sed 's/trace frame \([0-9]*\):.*/\1/')
echo "dummies destroyed at frames:" $gone
[ "$(echo "$gone" | wc -w)" = 2 ] || fail "two dummies should be destroyed: $gone"
first=$(echo "$gone" | head -1); second=$(echo "$gone" | tail -1)
[ "$first" -gt 44 ] && [ "$first" -lt 90 ] || fail "the first dummy went at frame $first, not during the arc"
[ "$second" -gt 98 ] || fail "the second dummy went at frame $second, before the meteor"
shake=$(grep -o "trace frame [0-9]*: CameraShake(0.25, 75, 0.5)" "$log" | sed 's/trace frame \([0-9]*\):.*/\1/')
[ "$(echo "$shake" | wc -w)" = 1 ] && [ "$shake" -lt "$second" ] || fail "one landing shake before the second dummy went: '$shake'"
expect_line "$log" "PlaySound(attack-arc-sfx)"
expect_line "$log" "PlaySound(attack-meteor-sfx)"
for name in before arc meteor; do
  log="$work/xdg-$name/$userFolderName/error_log.log"
  expect_no_line "$log" "GL error"
  expect_no_line "$log" "refused"
  expect_no_line "$log" "has no"
  expect_no_line "$log" "found no ground"
  expect_line "$log" "Run ended after 160 frames"
  # Every effect the attacks make is shipped.
  expect_no_line "$work/$name.out" "Could not find composition"
done
echo "companion special attacks: ok"
