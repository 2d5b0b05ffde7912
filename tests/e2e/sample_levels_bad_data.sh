#!/usr/bin/env bash
# Bad data in a work copy of the yak boss level, each case on a fresh copy
# of its room and sounds: an arena without its region, an arena without its
# yak tiles, a missing sound and a malformed room line; then the fox arena
# with "TotalFoxNumber" 0. Each is logged by
# name, the run reaches its frame limit and exits 0, and the user's
# UserConfig.xcfg is written back whole, with its values.
set -euo pipefail
source "$(dirname "$0")/e2e_common.bash" "$@"
export TAVRIN_FIXED_DT=0.032 TAVRIN_SEED=23 TAVRIN_MAX_FRAMES=400
unset TAVRIN_SAMPLE_SCENE
mkdir -p rsc/scenes
cp "$src/tests/e2e/fixtures/yak-arena-start.scn" rsc/scenes/
printf '<UiSystem>\n  <debug>1</debug>\n  <start-scene>yak-arena-start</start-scene>\n</UiSystem>\n' > rsc/uisystem.xcfg
sed -i 's|<max-fps>[^<]*</max-fps>|<max-fps>10000.000000</max-fps>|' rsc/coresystem.xcfg
echo "<yak-boss />" > rsc/levels/levels.xlod
# Walk right into the boss's trigger, then sidestep so the boss slams.
{ level_start; echo "24 key 39 down"; echo "172 key 39 up"; echo "182 key 38 down"; echo "222 key 38 up"; echo "232 key 40 down"; echo "282 key 40 up"; } > walk.txt
export TAVRIN_INPUT_SCRIPT="$work/walk.txt"
room=rsc/level/room-yak-boss.xrm

# bad NAME: one run on the work copy as it now is; then the room and the
# sound restored for the next case.
bad() {
  local name=$1
  small_window "$name"
  keepXdg=1 run_program "$name"
  expect_clean_run "$name"
  cp "$(log_file)" "$work/$name.log"
  expect_line "$work/$name.log" "Run ended after $TAVRIN_MAX_FRAMES frames"
  # The settings are written back at shutdown: whole, and with the user's values.
  python3 -c 'import sys, xml.etree.ElementTree as E; r = E.parse(sys.argv[1]).getroot(); sys.exit(r.findtext("WindowWidth") != "320" or r.findtext("WindowHeight") != "200")' \
    "$settings/UserConfig.xcfg" || fail "$name: UserConfig.xcfg lost its settings"
  cp "$src/$room" "$room"
  cp "$src/rsc/sounds/yak-slam-sfx.wav" rsc/sounds/
}

room_drop "$room" yak-arena-obj
bad no-region
expect_line "$work/no-region.log" "no RegionComponent object marks the arena"

room_drop "$room" yak-tile-obj
bad no-tiles
expect_line "$work/no-tiles.log" "the level has no yak tile"

rm rsc/sounds/yak-slam-sfx.wav
bad missing-sound
expect_line "$work/missing-sound.log" "yak-slam-sfx"

room_sub "$room" yak-tile-obj "</PosX>" "<</PosX>"
bad malformed-room
expect_line "$work/malformed-room.log" "room-yak-boss"

# The fox arena with "TotalFoxNumber" 0 (the room keeps its archetype's
# count): said when the fight starts.
echo "<fox-boss />" > rsc/levels/levels.xlod
sed -i 's|<TotalFoxNumber>2</TotalFoxNumber>|<TotalFoxNumber>0</TotalFoxNumber>|' rsc/objects/fox-bird-boss-objects.xobj
grep -q '<TotalFoxNumber>0</TotalFoxNumber>' rsc/objects/fox-bird-boss-objects.xobj || fail "the fox count was not set to 0"
bad no-foxes-to-count
expect_line "$work/no-foxes-to-count.log" "TotalFoxNumber is 0; this fight will never end in the victory"
echo "sample level bad data: each logged by name, each run to its end"
