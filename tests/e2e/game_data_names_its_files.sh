#!/usr/bin/env bash
# Bad game data dropped into the shipped tree, all at once: tutorial files
# cut short, out of range or a folder, a second level list, an empty room
# palette, a scene calling bound functions with bad arguments, a start-up
# script that fails at its end, counts below zero in archetypes, a HUD scene
# missing an element and holding another of the wrong kind, rooms copied in
# under the names of the HUD's scene, the states and the main menu (which
# hide none of them: the HUD and its pause menu come up), and in the editor
# a ';' load of a room the game refuses. One game run and one editor
# run: each fault is logged with its file's path under rsc/, and both runs
# end cleanly at their frame limit. Then the level data a level is built
# from, one fault per short run (only the first level is built): each line
# starts with the path of the file at fault, and no play starts in a level
# that is refused; one of them from the main menu's Play, whose refusal
# screen says why and gives way to the main menu. An empty room copied in
# as "Room-Yak-Gate" hides nothing: the shipped gate room is played.
set -euo pipefail
source "$(dirname "$0")/e2e_common.bash" "$@"
export TAVRIN_FIXED_DT=0.032 TAVRIN_SEED=61 TAVRIN_MAX_FRAMES=120
unset TAVRIN_SAMPLE_SCENE
mkdir -p rsc/scenes rsc/tutorials/folder.tut/inside
cp "$src/tests/e2e/fixtures/yak-arena-start.scn" rsc/scenes/
# "debug" loads the data before the first frame, as the other bad-data runs do.
printf '<UiSystem>\n  <debug>1</debug>\n  <start-scene>yak-arena-start</start-scene>\n</UiSystem>\n' > rsc/uisystem.xcfg

printf 'prompt {\n  show-limit: 2\n  hud {' > rsc/tutorials/cut.tut
printf 'dash { show-limit: -1 hud { delay: -1 input: joystick } }\nnested { depends: nobody pause-menu { } }\n' \
  > rsc/tutorials/values.tut
# A second list naming the same level: the game plays as before.
cp rsc/levels/levels.xlod rsc/levels/zz-second.xlod
: > rsc/levels/empty.rmp
cat > rsc/ui/bad-args.scn <<'LUA'
function LoadScene(scene)
  local e = UiSolid.new()
  pcall(function() e:SetColor({}) end)
  pcall(function() e:SetWidth(0/0) end)
  local k = UiKeyHandler.new()
  pcall(function() k:AddKey(2^40) end)
  scene:AddElement(e)
  e:SetHeight({})
end
LUA
printf '\nlocal nothing = nil\nnothing.field = 1\n' >> rsc/ui/startup-script.lua
sed -i '0,/<SpawnLimit>[^<]*</s//<SpawnLimit>-4</' rsc/objects/boss-objects.xobj
sed -i 's|<NumAttacks>[^<]*</NumAttacks>|<NumAttacks>-2</NumAttacks>|' rsc/objects/pickup-objects.xobj
sed -i 's|Bar(scene, "ui-health",|Bar(scene, "ui-healthy",|; s|Bar(scene, "ui-energy", \(-*[0-9]*\), \(-*[0-9]*\),.*$|Solid(scene, "ui-energy", \1, \2, 10, 10)|' rsc/ui/hud.scn
grep -q 'Solid(scene, "ui-energy"' rsc/ui/hud.scn || fail "the HUD scene has no energy bar to turn"

for name in hud states main-menu; do cp rsc/level/room-mid-a.xrm "rsc/level/$name.xrm"; done
# An empty room under another spelling of the first level's gate room, which
# sorts before it: the shipped room stays, and the level is built and played.
printf '<Level><Objects/></Level>\n' > rsc/level/Room-Yak-Gate.xrm
{ level_start; printf '40 key 27 down\n41 key 27 up\n'; } > pause.txt

small_window bad-game-data
TAVRIN_INPUT_SCRIPT="$work/pause.txt" keepXdg=1 run_program bad-game-data
expect_clean_run bad-game-data
log="$(log_file)"
expect_line "$log" "Run ended after $TAVRIN_MAX_FRAMES frames"
expect_line "$log" "rsc/tutorials/cut.tut: tutorial 'prompt': scene 'hud': the text ends before its closing '}'; the record is not taken"
expect_line "$log" "rsc/tutorials/values.tut: tutorial 'dash': show limit -1 is below 1; taken as 1"
expect_line "$log" "rsc/tutorials/values.tut: tutorial 'dash': scene 'hud': delay -1 ms is negative; taken as 0"
expect_line "$log" "rsc/tutorials/values.tut: tutorial 'dash': scene 'hud': unknown input 'joystick'"
expect_line "$log" "rsc/tutorials/values.tut: tutorial 'nested' depends on 'nobody', which no tutorial file defines"
# The walk logs to stderr as well as to the log file.
expect_line "$work/bad-game-data.err" "rsc/tutorials/folder.tut: a folder, not a data file"
expect_line "$log" "rsc/levels/zz-second.xlod: a second level list; it replaces the one read from 'rsc/levels/levels.xlod'"
expect_line "$log" "rsc/levels/empty.rmp: Room palette empty lists no room group"
expect_line "$log" "lua [bad-args]: rsc/ui/bad-args.scn:8: bad argument #1 to 'SetHeight' (number expected, got table)"
expect_line "$log" "lua [startup-script]: rsc/ui/startup-script.lua:"
expect_line "$log" "key 'SpawnLimit': -4 is below 0; the spawner counts as always full"
grep -q "^rsc/objects/boss-objects.xobj: object '[^']*': key 'SpawnLimit': -4" "$log" || fail "SpawnLimit -4 not named by its file"
grep -q "^rsc/objects/pickup-objects.xobj: object '[^']*': key 'NumAttacks': -2 is below 0" "$log" ||
  fail "NumAttacks -2 not named by its file"
expect_line "$log" "rsc/ui/hud.scn: UiHudHandler: the scene has no element 'ui-health'; the handler does without it"
expect_line "$log" "rsc/ui/hud.scn: UiHudHandler: the scene's element 'ui-energy' is not a UiEnergyBar"
expect_line "$log" "Resource 'hud': the room 'rsc/level/hud.xrm' is hidden by 'rsc/ui/hud.scn'"
expect_line "$log" "Resource 'states': the room 'rsc/level/states.xrm' is hidden by 'rsc/states.xstt'"
expect_line "$log" "Resource 'main-menu': the room 'rsc/level/main-menu.xrm' is hidden by 'rsc/ui/main-menu.scn'"
expect_line "$log" "Resource 'room-yak-gate': 'rsc/level/Room-Yak-Gate.xrm' is hidden by 'rsc/level/room-yak-gate.xrm', whose name is the key itself"
expect_no_line "$log" "the level is refused"
expect_no_line "$log" "unknown state"
grep -qE "UI scenes at frame [0-9]+: hud > pause-menu$" "$log" || fail "no HUD with its pause menu"

echo "game: every bad file named by its path"

# The editor: ';' loads the room named in its configuration, here one with
# two entrances. It opens for editing, and the log says the game refuses it.
cp "$src/rsc/ui/startup-script.lua" rsc/ui/
rm rsc/level/Room-Yak-Gate.xrm
cp rsc/level/room-mid-a.xrm rsc/level/two-doors.xrm
room_sub rsc/level/two-doors.xrm exit-obj "</TransformComponent>" \
  "</TransformComponent><PortalComponent><type-name>Entrance</type-name></PortalComponent>"
printf '<LevelEditor>\n    <LoadingFrom>two-doors</LoadingFrom>\n</LevelEditor>\n' > rsc/leveleditor.xcfg
printf '20 key 186 down\n21 key 186 up\n' > semicolon.txt
small_window editor-bad-room
TAVRIN_MAX_FRAMES=40 TAVRIN_INPUT_SCRIPT="$work/semicolon.txt" keepXdg=1 run_program editor-bad-room -l
expect_clean_run editor-bad-room
expect_line "$(log_file)" "rsc/level/two-doors.xrm: Room [two-doors] has multiple entrances; the room is refused"
expect_line "$(log_file)" "LevelEditor: the room 'two-doors' is open for editing, but the game refuses it as it is"
echo "editor: the bad room named by its path"

# Level data and the start-up script, one fault per run of a few frames; the
# first level of the list (yak-nests: room-start, room-yak-nests,
# room-yak-gate) is built at once.
# Each row: a name, the change to a fresh copy of the shipped files, and the
# start of the line the log must hold.
cp "$src/rsc/ui/startup-script.lua" "$src/rsc/ui/hud.scn" rsc/ui/
cp "$src/rsc/objects/boss-objects.xobj" "$src/rsc/objects/pickup-objects.xobj" rsc/objects/
rm -f rsc/levels/zz-second.xlod rsc/levels/empty.rmp
rm -rf rsc/tutorials
nests=rsc/levels/yak-nests.rmp
levelCases=(
  "middle-room-without-exit|room_drop rsc/level/room-yak-nests.xrm exit-obj|rsc/level/room-yak-nests.xrm: room [room-yak-nests] has an entrance but no exit"
  "start-room-without-player|room_drop rsc/level/room-start.xrm spawner-Luvo|rsc/level/room-start.xrm: Level 'Yak Nests' lacks the spawner 'spawner-Luvo'"
  "start-room-without-camera|room_drop rsc/level/room-start.xrm spawner-camera|rsc/level/room-start.xrm: Level 'Yak Nests' lacks the spawner 'spawner-camera'"
  "empty-ordered-group|printf 'ordered\\n' > $nests|rsc/levels/yak-nests.rmp: Room palette yak-nests: an ordered group lists no room"
  "starts-with-end-room|printf 'ordered room-yak-gate room-start room-yak-nests\\n' > $nests|rsc/levels/yak-nests.rmp: Level 'Unknown Temple': room [room-yak-gate] has no exit but is room 1 of 3; the level is refused (room file rsc/level/room-yak-gate.xrm)"
  "twenty-thousand-rooms|python3 -c \"print('ordered room-start ' + 'room-yak-nests ' * 20000 + 'room-yak-gate')\" > $nests|rsc/levels/yak-nests.rmp: Level 'Unknown Temple': the layout holds 20002 rooms (at most 256)"
  "list-names-a-room|echo '<room-start />' > rsc/levels/levels.xlod|rsc/levels/levels.xlod: level 'room-start' cannot be played: it names 'rsc/level/room-start.xrm', which is not a room palette"
  "list-names-no-level|echo '<nowhere />' > rsc/levels/levels.xlod|rsc/levels/levels.xlod: level 'nowhere' cannot be played: no room palette"
  "no-startup-script|rm rsc/ui/startup-script.lua|rsc/ui/startup-script.lua: no such file: the start-up script is missing"
  "no-level-list|rm rsc/levels/levels.xlod|rsc/levels/levels.xlod: no such file, and no other \".xlod\" file under 'rsc'"
)
for row in "${levelCases[@]}"; do
  IFS='|' read -r name change line <<< "$row"
  rm -rf rsc/level rsc/levels; cp -r "$src/rsc/level" "$src/rsc/levels" rsc/
  cp "$src/rsc/ui/startup-script.lua" rsc/ui/
  eval "$change"
  small_window "$name"
  TAVRIN_MAX_FRAMES=8 keepXdg=1 run_program "$name"
  expect_clean_run "$name"
  grep -qF -- "$line" "$(log_file)" || { grep -v '^UI scenes' "$(log_file)" >&2; fail "$name: the log lacks: $line"; }
  grep -F -- "$line" "$(log_file)" | grep -q "^${line%%:*}:" || fail "$name: the line does not start with its file"
  # No level: no play in an empty world, the refusal screen instead.
  case $name in
    no-startup-script|no-level-list) ;;
    *) grep -qE "UI scenes at frame [0-9]+: level-refused$" "$(log_file)" || fail "$name: no refusal screen"
       expect_no_line "$(log_file)" "UI scenes at frame 8: hud" ;;
  esac
done
echo "level data: each fault named by the file at fault"

# A level the game refuses is told on screen, and the main menu comes back
# by itself: the first level's middle room without its portals, from the
# main menu's Play.
rm -rf rsc/level rsc/levels; cp -r "$src/rsc/level" "$src/rsc/levels" rsc/
room_drop rsc/level/room-yak-nests.xrm exit-obj
room_drop rsc/level/room-yak-nests.xrm entrance-obj
cp "$src/rsc/uisystem.xcfg" rsc/
small_window refused-level
printf '10 key 13 down\n14 key 13 up\n' > play.txt
TAVRIN_MAX_FRAMES=230 TAVRIN_INPUT_SCRIPT="$work/play.txt" TAVRIN_SCREENSHOT="$work/refused.png@40" \
  TAVRIN_TRACE_MESSAGES=GameReady,GameEnding keepXdg=1 run_program refused-level
expect_clean_run refused-level
log="$(log_file)"
expect_line "$log" "GameSystem: The level 'yak-nests' could not be built: Room [room-yak-nests] has no entrance or exit; no play starts in it"
expect_no_line "$log" ": GameReady"
sed -n 's/^.*UI scenes at frame [0-9]*: //p' "$log" | tr '\n' ' ' | grep -q "main-menu level-loading-ui level-refused main-menu $" ||
  fail "the refusal screen did not lead back to the main menu: $(grep 'UI scenes' "$log" | tr '\n' ' ')"
# On screen: the refusal's dark red, with lines of light text on it.
python3 -c 'import sys; sys.path.insert(0, sys.argv[1]); from png_rows import read_rgba; w, h, rows = read_rgba(sys.argv[2])
px = [rows[y][4 * x:4 * x + 3] for y in range(h) for x in range(w)]; r, g, b = px[w * (h // 2) + w // 2]
sys.exit(not (r > 30 and g < 30 and b < 30 and sum(min(p) > 180 for p in px) > 50))' "$e2eDir" "$work/refused.png" ||
  fail "the refusal screen is not on the picture"
echo "refused level: told on screen, then the main menu"

