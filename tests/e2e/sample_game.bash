# Shared by the replays of the sample game: sample_fight_LEVEL.sh (one
# level fought to its end, twice) and sample_game.sh (the whole game in one
# run). Sourced after e2e_common.bash. A fixed step and seed, the messages
# traced, the work copies, the two runs of a level, and what each level's
# part of a trace must show.
#
# Each level's input script is fixtures/sample-game/LEVEL.txt: its frames
# count from the level's "GameReady" ("at GameReady"), it is authored
# against the seed below, and the header of sample_fight_LEVEL.sh says how
# it was recorded and how to re-record it after tuning. The work copies
# change only the level order, the UI's debug load and the frame cap: the
# archetypes, rooms and palettes are the shipped ones.
export TAVRIN_FIXED_DT=0.032 TAVRIN_SEED=23
unset TAVRIN_SAMPLE_SCENE
export TAVRIN_TRACE_MESSAGES=GameFreshStart,LevelLoaded,GameReady,ObjectCreated,ObjectDestroyed,PlaySound,PlayBackgroundSound,BossHealthChanged,TriggerActivated,PlayerDeath,GoalReached,InitiateVictory,GameComplete,StopLoop
sampleGame="$e2eDir/fixtures/sample-game"

# fight_copy LEVEL: the work copy plays LEVEL alone; its start scene goes
# through the loading screen as the main menu's Play does, with the UI's
# debug load, and "max-fps" is raised so game time outruns real time.
fight_copy() {
  mkdir -p "$work/rsc/scenes"
  cp "$e2eDir/fixtures/yak-arena-start.scn" "$work/rsc/scenes/"
  printf '<UiSystem>\n  <debug>1</debug>\n  <start-scene>yak-arena-start</start-scene>\n</UiSystem>\n' > "$work/rsc/uisystem.xcfg"
  sed -i 's|<max-fps>[^<]*</max-fps>|<max-fps>10000.000000</max-fps>|' "$work/rsc/coresystem.xcfg"
  echo "<$1 />" > "$work/rsc/levels/levels.xlod"
}

# sample_game_copy LEVEL...: the work copy plays LEVEL... in that order from
# the shipped start, with the UI's debug load (the main menu is up at frame
# 1 in every run) and the frame cap raised.
sample_game_copy() {
  printf '<%s />\n' "$@" > "$work/rsc/levels/levels.xlod"
  sed 's|<debug>0</debug>|<debug>1</debug>|' "$src/rsc/uisystem.xcfg" > "$work/rsc/uisystem.xcfg"
  sed -i 's|<max-fps>[^<]*</max-fps>|<max-fps>10000.000000</max-fps>|' "$work/rsc/coresystem.xcfg"
}

# retry_copy LEVEL: fight_copy LEVEL for a run that dies three ways before
# it wins. The start room loses its west wall (a walk west leaves the
# level's rooms) and the first 5 units of its north wall (a walk north there
# falls below the lowest floor), and gets a spike trap south of the
# player's spawner, off every script's path (a walk south meets its blow);
# its checkpoint is spent from the start, so every retry starts where the
# level does and the last part plays the level's own script as a fresh
# level does. The player starts with 10 of its 100 health (one blow of the
# trap kills) and the debug keys are on: '`' (192) heals it to full.
retry_copy() {
  fight_copy "$1"
  python3 - "$work/rsc/level/room-start.xrm" <<'PY' || fail "$1: the start room could not be opened up"
import sys
import xml.etree.ElementTree as ET
path = sys.argv[1]
tree = ET.parse(path)
objects = tree.getroot().find("Objects")
def value(element, key, default):
    found = element.find("TransformComponent/" + key)
    return float(found.text) if found is not None else default
walls = [o for o in objects if o.tag == "wall-piece-obj"]
west = [w for w in walls if value(w, "PosX", 0.0) < 1.0]
north = max(walls, key=lambda w: value(w, "PosZ", 0.0))
checkpoints = [o for o in objects if o.tag == "checkpoint-obj"]
assert len(west) == 1 and value(north, "PosZ", 0.0) > 4.0 and len(checkpoints) == 1, "unexpected start room"
objects.remove(west[0])
# The north wall (20 long by the archetype unless the room says) gives up its first 5 units.
transform = north.find("TransformComponent")
length = value(north, "ScaX", 20.0)
start = value(north, "PosX", 0.0) - length / 2
for key, number in (("PosX", start + 5 + (length - 5) / 2), ("ScaX", length - 5)):
    element = transform.find(key)
    if element is None:
        element = ET.SubElement(transform, key)
    element.text = "%f" % number
trigger = checkpoints[0].find("PlayerTriggerComponent")
if trigger is None:
    trigger = ET.SubElement(checkpoints[0], "PlayerTriggerComponent")
uses = trigger.find("NumUses")
if uses is None:
    uses = ET.SubElement(trigger, "NumUses")
uses.text = "0"
trap = ET.SubElement(objects, "spike-trap-obj")
transform = ET.SubElement(trap, "TransformComponent")
for key, number in (("PosX", 3), ("PosY", 0.1), ("PosZ", -3.5), ("ScaX", 2), ("ScaY", 0.2), ("ScaZ", 2)):
    ET.SubElement(transform, key).text = "%f" % number
tree.write(path)
PY
  local player="$work/rsc/objects/player-objects.xobj"
  sed -i '/<spawner-Luvo>/,/<\/spawner-Luvo>/s|<Health>100</Health>|<Health>10</Health>|' "$player"
  grep -q '<Health>10</Health>' "$player" || fail "$1: the player's health was not lowered"
  sed -i 's|<debug>0</debug>|<debug>1</debug>|' "$work/rsc/gamesystem.xcfg"
  grep -q '<debug>1</debug>' "$work/rsc/gamesystem.xcfg" || fail "$1: the debug keys are off"
}

# lost_menu: script lines for the lost menu: the attack key (X) mashed as
# it comes up (down then, again 0.22 s later), then Enter (Retry) at 11
# frames (0.35 s). Only Enter may choose.
lost_menu() {
  printf 'at GameLost\n1 key 88 down\n2 key 88 up\n8 key 88 down\n10 key 88 up\n11 key 13 down\n12 key 13 up\n'
}

# retry_script LEVEL: the parts of a run on retry_copy: right into the
# boss's trigger (every boss arena's is met at 109 frames of Right from 24),
# then back west off the floor with the fight on (out of the level); after
# Retry, north into the gap (a fall); after Retry, south onto the trap (a
# blow); after Retry, the level's own script with a heal at 22.
retry_script() {
  printf 'at GameReady\n20 key 32 down\n21 key 32 up\n24 key 39 down\n140 key 39 up\n141 key 37 down\n300 key 37 up\n'
  lost_menu
  printf 'at GameReady\n4 key 38 down\n40 key 38 up\n'
  lost_menu
  printf 'at GameReady\n4 key 40 down\n16 key 40 up\n'
  lost_menu
  sed 's/^at GameReady$/at GameReady\n22 key 192 down\n23 key 192 up/' "$sampleGame/$1.txt"
}

# play_retries LEVEL FRAMES: one run of retry_script LEVEL on retry_copy,
# which must end through the normal shutdown after FRAMES frames. The walk
# out of the level with the boss made, then the fall, each logged once, then
# a death by the trap's blow; the lost menu comes up after each and takes
# Enter, never the attack key mashed as it opened; no double delete. The
# trace after the last "GameReady" (the level replayed after three retries)
# is left in $work/LEVEL-retry.part, and the log from there on in
# $work/LEVEL.log (for boss_in_view).
play_retries() {
  local level=$1 frames=$2 log
  retry_copy "$level"
  retry_script "$level" > "$work/$level-retry.input"
  small_window "$level-retry"
  TAVRIN_TRACE_MESSAGES="$TAVRIN_TRACE_MESSAGES,GameLost,GameLevelRetry" TAVRIN_MAX_FRAMES=$frames \
    TAVRIN_INPUT_SCRIPT="$work/$level-retry.input" keepXdg=1 run_program "$level-retry"
  expect_clean_run "$level-retry"
  log=$(log_file)
  cp "$log" "$work/$level-retry.log"
  expect_line "$log" "Run ended after $frames frames"
  expect_no_line "$log" "double delete"
  expect_no_line "$log" "malformed input-script line"
  [ "$(grep -c ': PlayerDeath(' "$log")" -eq 3 ] || fail "$level: not three deaths"
  [ "$(grep -c "left the level at (-[0-9.]*, [-0-9.]*, [-0-9.]*), outside the level's rooms; the player dies" "$log")" -eq 1 ] ||
    fail "$level: not one walk west out of the level"
  in_order "$log" "TriggerActivated(" "BossHealthChanged(" "outside the level's rooms; the player dies" ": PlayerDeath(" ": GameLost()" ": GameLevelRetry()" ": GameReady()" ", below its lowest floor; the player dies" \
    ": PlayerDeath(" ": GameLost()" ": GameLevelRetry()" ": GameReady()" ": PlayerDeath(" ": GameLost()" \
    ": GameLevelRetry()" ": GameReady()"
  [ "$(grep -c 'LevelBoundsWatch: the player' "$log")" -eq 2 ] || fail "$level: the third death was not by a blow"
  # Enter chose, 11 frames after "GameLost"; the attack key at 1 and 8 did not.
  local lost retry
  lost=$(grep -oE "trace frame [0-9]+: GameLost\(\)" "$log" | grep -oE "[0-9]+" | tr '\n' ' ')
  retry=$(grep -oE "trace frame [0-9]+: GameLevelRetry\(\)" "$log" | grep -oE "[0-9]+" | tr '\n' ' ')
  set -- $lost
  for frame in $retry; do
    [ "$((frame - $1))" -eq 11 ] || fail "$level: Retry chosen $((frame - $1)) frames after the lost menu came up"
    shift
  done
  grep -o "trace frame .*" "$log" | awk '/GameReady\(\)/ { part = "" } { part = part $0 "\n" } END { printf "%s", part }' \
    > "$work/$level-retry.part"
  # The log of that last part, for boss_in_view.
  awk '/trace frame [0-9]+: GameReady\(\)/ { n = 0 } { lines[n++] = $0 } END { for (i = 0; i < n; i++) print lines[i] }' \
    "$log" > "$work/$level.log"
}

# expect_sample_run LOG: what every replay's log must hold or lack.
expect_sample_run() {
  expect_line "$1" "Terminating application"
  expect_no_line "$1" "Could not find composition"
  expect_no_line "$1" "GL error"
  expect_no_line "$1" "malformed input-script line"
  expect_no_line "$1" "PlayerDeath("
}

# play_fight LEVEL FRAMES: two runs of FRAMES frames of LEVEL's script, each
# ending through the normal shutdown with exit 0; the two traces must be the
# same. The first run's trace is left in $work/LEVEL.trace.
play_fight() {
  local level=$1 frames=$2 run log
  export TAVRIN_INPUT_SCRIPT="$sampleGame/$level.txt"
  for run in first second; do
    small_window "$level-$run"
    TAVRIN_MAX_FRAMES=$frames keepXdg=1 run_program "$level-$run"
    expect_clean_run "$level-$run"
    log=$(log_file)
    expect_line "$log" "Run ended after $frames frames"
    expect_sample_run "$log"
    grep -o "trace frame .*" "$log" > "$work/$level-$run.trace"
  done
  cmp -s "$work/$level-first.trace" "$work/$level-second.trace" || fail "$level: the two runs traced differently"
  mv "$work/$level-first.trace" "$work/$level.trace"
  cp "$log" "$work/$level.log"
}

# trace_view NAME...: the runs after it also trace the camera and log the
# positions of the player and the named archetypes every frame, for
# boss_in_view.py and camera_returns.py.
trace_view() {
  TAVRIN_TRACE_MESSAGES="$TAVRIN_TRACE_MESSAGES,CameraPathFinished,CameraPosUpdate,CameraLookAtUpdate"
  TAVRIN_TRACE_POSITIONS=$(IFS=,; echo "spawner-Luvo,$*")
  export TAVRIN_TRACE_MESSAGES TAVRIN_TRACE_POSITIONS
}

# boss_in_view LEVEL BOSS[,BOSS...]: in $work/LEVEL.log (the boss levels'
# fight after their last Retry, play_retries) the
# boss is in view in at least half of the frames and the player never
# shrinks below 5% of the screen's height (320 x 200, as small_window).
boss_in_view() {
  python3 "$e2eDir/boss_in_view.py" "$work/$1.log" 320 200 "$2" || fail "$1: the fight is out of view"
}

# in_order FILE TEXT...: each fixed TEXT is on a line after the line of the
# TEXT before it; '#' in a TEXT stands for an object id (digits).
in_order() {
  local file=$1 from=0 at text pattern
  shift
  for text in "$@"; do
    pattern=$(printf '%s' "$text" | sed 's/[][\.*^$()+?{}|]/\\&/g; s/#/[0-9]+/g')
    at=$(tail -n +"$((from + 1))" "$file" | grep -nE -m1 -- "$pattern" | cut -d: -f1 || true)
    [ -n "$at" ] || fail "$(basename "$file"): no '$text' after line $from"
    from=$((from + at))
  done
}

# count FILE TEXT: the lines of FILE holding the fixed TEXT.
count() { grep -cF -- "$2" "$1" || true; }

# up_to_goal TRACE OUT: the trace up to its first "GoalReached()" (the
# level's part), which must be there.
up_to_goal() {
  sed '/GoalReached()/q' "$1" > "$2"
  expect_line "$2" "GoalReached()"
}

# check_LEVEL PART: what the level's part of a trace must show (the part
# ends with its goal; the fox arena's, with which the game ends, with
# "GameComplete"). In the boss rooms with a goal, the menhir gate across
# the goal's alcove sinks ("menhir-move-sfx") and goes only after the boss
# and all it made are gone, and the goal comes after it.

check_yak-nests() {
  local part=$1 made killed
  # The gate rises, one yak per wave pulse, the nests and the yaks die, the
  # gate sinks and goes, then the goal.
  in_order "$part" "PlaySound(menhir-move-sfx)" "ObjectCreated(# 'menhir-gate-obj')" \
    "TriggerActivated(1)" "ObjectCreated(# 'yak-obj')" "TriggerActivated(1)" "ObjectCreated(# 'yak-obj')" \
    "TriggerActivated(1)" "ObjectCreated(# 'yak-obj')" \
    "ObjectDestroyed(# 'yak-nest-obj')" "ObjectDestroyed(# 'yak-nest-obj')" \
    "PlaySound(menhir-move-sfx)" "ObjectDestroyed(# 'menhir-gate-obj')" "GoalReached()"
  [ "$(count "$part" "TriggerActivated(1)")" -eq 3 ] || fail "yak-nests: not three wave pulses"
  [ "$(count "$part" "PlaySound(menhir-move-sfx)")" -eq 2 ] || fail "yak-nests: the gate did not rise and sink once each"
  made=$(grep -cE "ObjectCreated\([0-9]+ 'yak-obj'\)" "$part" || true)
  killed=$(grep -cE "ObjectDestroyed\([0-9]+ 'yak-obj'\)" "$part" || true)
  [ "$made" -ge 3 ] && [ "$made" -eq "$killed" ] || fail "yak-nests: $made yaks made, $killed killed before the goal"
  echo "yak-nests: the gate rose, $made yaks and two nests died, the gate sank, the goal"
}

check_brood-hall() {
  local part=$1 hits made killed
  # A wave: both trigger ids of her nests, then the yaks they release.
  local wave=("TriggerActivated(1112687665)" "TriggerActivated(1112687666)" "ObjectCreated(# 'yak-obj')")
  in_order "$part" "TriggerActivated(1)" "BossHealthChanged(ui-yak, 1)" "PlayBackgroundSound(boss-battle-bgm)" \
    "ObjectCreated(# 'brood-mother-obj')" \
    "${wave[@]}" "${wave[@]}" "${wave[@]}" "${wave[@]}" "${wave[@]}" \
    "BossHealthChanged(ui-yak, 0)" "PlaySound(yak-brood-death-sfx)" \
    "ObjectDestroyed(# 'brood-mother-obj')" "ObjectDestroyed(# 'spawner-yak-obj')" \
    "ObjectDestroyed(# 'spawner-yak-obj')" "ObjectDestroyed(# 'spawner-yak-obj')" \
    "PlaySound(menhir-move-sfx)" "ObjectDestroyed(# 'menhir-gate-obj')" "GoalReached()"
  hits=$(grep -cE "BossHealthChanged\(ui-yak, 0\.[0-9]+\)" "$part" || true)
  [ "$hits" -ge 11 ] || fail "brood-hall: only $hits hits before her death"
  # Her death takes every yak of the level with her; her three fixed nests
  # stay and the menhir gate before the goal counts them: they are broken
  # before it sinks.
  made=$(grep -cE "ObjectCreated\([0-9]+ 'yak-obj'\)" "$part" || true)
  killed=$(grep -cE "ObjectDestroyed\([0-9]+ 'yak-obj'\)" "$part" || true)
  [ "$made" -eq "$killed" ] || fail "brood-hall: $made yaks made, $killed gone before the goal"
  echo "brood-hall: $hits hits, $(count "$part" "TriggerActivated(1112687665)") waves, $made yaks, her death, the goal"
}

check_yak-boss() {
  local part=$1 boss
  boss=$(grep -oE "ObjectCreated\([0-9]+ 'yak-boss-obj'\)" "$part" | grep -oE "[0-9]+") || fail "yak-boss: no boss"
  [ "$(wc -l <<<"$boss")" -eq 1 ] || fail "yak-boss: more than one boss"
  in_order "$part" "TriggerActivated(1)" "ObjectCreated($boss 'yak-boss-obj')" \
    "PlaySound(yak-slam-sfx)" "BossHealthChanged(ui-yak, 0.8)" \
    "'yak-mini-boss-obj')" "'yak-mini-boss-obj')" "BossHealthChanged(ui-yak, 0.6)" \
    "PlaySound(yak-slam-sfx)" "BossHealthChanged(ui-yak, 0.4)" \
    "'yak-mini-boss-obj')" "'yak-mini-boss-obj')" "BossHealthChanged(ui-yak, 0.2)" \
    "PlaySound(yak-slam-sfx)" "BossHealthChanged(ui-yak, 0)" "PlaySound(yak-brood-death-sfx)" \
    "ObjectDestroyed($boss 'yak-boss-obj')" "PlaySound(menhir-move-sfx)" "PlayBackgroundSound(battle-bgm)" \
    "ObjectDestroyed(# 'menhir-gate-obj')" "GoalReached()"
  # The mini-bosses of its two hides: four, all gone before the goal.
  [ "$(grep -cE "ObjectCreated\([0-9]+ 'yak-mini-boss-obj'\)" "$part")" -eq 4 ] || fail "yak-boss: not four mini-bosses"
  [ "$(grep -cE "ObjectDestroyed\([0-9]+ 'yak-mini-boss-obj'\)" "$part")" -eq 4 ] || fail "yak-boss: a mini-boss outlived the goal"
  echo "yak-boss: hidden at 0.8 and 0.4 with four mini-bosses, its death, battle-bgm, the goal"
}

check_bird-boss() {
  local part=$1 boss died hatched with id
  boss=$(grep -oE "ObjectCreated\([0-9]+ 'bird-boss-obj'\)" "$part" | grep -oE "[0-9]+") || fail "bird-boss: no boss"
  [ "$(wc -l <<<"$boss")" -eq 1 ] || fail "bird-boss: more than one boss"
  died=$(grep -m1 -F "BossHealthChanged(ui-bird, 0)" "$part" | sed 's/trace frame \([0-9]*\):.*/\1/')
  [ -n "$died" ] || fail "bird-boss: the boss never died"
  # Birds it hatched before its death: each hatchling is told it spawned
  # ("bird-spawn-sfx"; the boss's own comes before its creation).
  hatched=$(awk -v boss="ObjectCreated($boss 'bird-boss-obj')" -v died="trace frame $died:" '
    index($0, boss) { on = 1; next }
    index($0, died) { exit }
    on && index($0, "PlaySound(bird-spawn-sfx)") { n++ }
    END { print n + 0 }' "$part")
  [ "$hatched" -ge 2 ] || fail "bird-boss: only $hatched birds hatched before the boss died"
  in_order "$part" "PlayBackgroundSound(boss-battle-bgm)" "ObjectCreated($boss 'bird-boss-obj')" \
    "PlaySound(bird-spawn-sfx)" "BossHealthChanged(ui-bird, 0.5)" "BossHealthChanged(ui-bird, 0)" \
    "PlaySound(bird-boss-death-sfx)" "ObjectDestroyed($boss 'bird-boss-obj')" "PlaySound(menhir-move-sfx)" \
    "PlayBackgroundSound(battle-bgm)" "ObjectDestroyed(# 'menhir-gate-obj')" "GoalReached()"
  # Killed with the boss: birds still flying at its death go in the next frame.
  with=$(grep -cE "^trace frame $((died + 1)): ObjectDestroyed\([0-9]+ 'bird-(red|green|blue)-obj'\)" "$part" || true)
  [ "$with" -ge 1 ] || fail "bird-boss: no bird died with the boss"
  # Every bird made, the room's own and the splits included, is gone before the goal.
  for id in $(grep -oE "ObjectCreated\([0-9]+ 'bird-(red|green|blue)-obj'\)" "$part" | grep -oE "[0-9]+"); do
    grep -qE "ObjectDestroyed\($id 'bird-" "$part" || fail "bird-boss: bird $id outlived the fight"
  done
  echo "bird-boss: $hatched birds hatched, the boss died with $with birds, every bird gone, the goal"
}

check_fox-boss() {
  local part=$1 first second
  first=$(grep -oE "ObjectCreated\([0-9]+ 'fox-boss-obj'\)" "$part" | grep -oE "[0-9]+") || fail "fox-boss: no first fox"
  second=$(grep -oE "ObjectCreated\([0-9]+ 'fox-boss-second-obj'\)" "$part" | grep -oE "[0-9]+") ||
    fail "fox-boss: no second fox"
  [ "$(wc -l <<<"$first")" -eq 1 ] || fail "fox-boss: more than one first fox"
  [ "$(wc -l <<<"$second")" -eq 1 ] || fail "fox-boss: the second fox was made more than once"
  [ "$(count "$part" "InitiateVictory()")" -eq 1 ] || fail "fox-boss: not one victory"
  [ "$(count "$part" "GameComplete()")" -eq 1 ] || fail "fox-boss: not one game complete"
  expect_no_line "$part" "GoalReached()"
  in_order "$part" "PlayBackgroundSound(boss-battle-bgm)" "ObjectCreated($first 'fox-boss-obj')" \
    "BossHealthChanged(ui-fox0, 0.5)" "ObjectCreated($second 'fox-boss-second-obj')" "BossHealthChanged(ui-fox0, 0)" \
    "ObjectDestroyed($first 'fox-boss-obj')" "BossHealthChanged(ui-fox1, 0)" \
    "ObjectDestroyed($second 'fox-boss-second-obj')" "PlayBackgroundSound(battle-bgm)" "InitiateVictory()" \
    "GameComplete()"
  # A fox's tail attack struck before the fight ended.
  in_order "$part" "ObjectCreated($first 'fox-boss-obj')" "PlaySound(fox-slam-sfx)" "InitiateVictory()"
  echo "fox-boss: a tail slam, both foxes down, the second made once, battle-bgm, the victory, the game complete"
}

# The temple levels: the end room's two power-ups are picked up on the way
# and the companion's attacks they give are used ("arc-attack-fx" then
# "meteor-attack-fx" in the first, "shield-attack-fx" then
# "firestarter-attack-fx" in the second) before the goal.
check_temple() {
  local part=$1 level=$2 first=$3 second=$4
  in_order "$part" "ObjectCreated(# '$first-powerup-obj')" "ObjectDestroyed(# '$first-powerup-obj')" \
    "'$first-attack-fx')" "ObjectDestroyed(# '$second-powerup-obj')" "'${5:-$second}-attack-fx')" "GoalReached()"
  echo "$level: the $first and $second power-ups taken, both attacks used, the goal"
}
check_temple-1() { check_temple "$1" temple-1 arc meteor; }
# camera_returns LOG [PLACES]: after the glide room (when drawn) the chase
# camera is back at its own distance and angle within 2 s and holds them to
# the goal; in the glide for 2 s it holds the glide's (camera_returns.py).
camera_returns() {
  python3 "$e2eDir/camera_returns.py" "$1" "$TAVRIN_FIXED_DT" "$work/rsc/objects/level-objects.xobj" ${2:+"$2"} ||
    fail "$(basename "$1"): the camera did not come back"
}

# glide_and_back LEVEL: a temple at the shared seed (its glide room first)
# walked into the glide, back out of the room and in again
# (fixtures/sample-game/glide-and-back.txt): the camera glides, gives the
# chase back within 2 s of the player leaving, and glides again.
glide_and_back() {
  local log
  small_window "$1-glide-and-back"
  TAVRIN_INPUT_SCRIPT="$sampleGame/glide-and-back.txt" TAVRIN_MAX_FRAMES=570 keepXdg=1 run_program "$1-glide-and-back"
  expect_clean_run "$1-glide-and-back"
  log=$(log_file)
  expect_sample_run "$log"
  camera_returns "$log" chase,glide,chase,glide
}
check_temple-2() { check_temple "$1" temple-2 shield fire firestarter; }

# layout TRACE: the archetypes the level made as it loaded (its rooms'
# objects, in order), one line.
layout() { sed -n "s/^trace frame 1: ObjectCreated([0-9]* '\([^']*\)')$/\1/p" "$1" | tr '\n' ' '; }

# play_two_seeds LEVEL FRAMES [SEED]: play_fight at the shared seed, then one
# more run at another seed (5 unless given), left in $work/LEVEL-other.*;
# both reach the goal, and the rooms drawn differ.
play_two_seeds() {
  local level=$1 frames=$2 seed=${3:-5} log
  play_fight "$level" "$frames"
  up_to_goal "$work/$level.trace" "$work/$level.part"
  "check_$level" "$work/$level.part"
  small_window "$level-other"
  TAVRIN_SEED=$seed TAVRIN_MAX_FRAMES=$frames keepXdg=1 run_program "$level-other"
  expect_clean_run "$level-other"
  log=$(log_file)
  expect_sample_run "$log"
  grep -o "trace frame .*" "$log" > "$work/$level-other.trace"
  cp "$log" "$work/$level-other.log"
  up_to_goal "$work/$level-other.trace" "$work/$level-other.part"
  "check_$level" "$work/$level-other.part"
  [ "$(layout "$work/$level.trace")" != "$(layout "$work/$level-other.trace")" ] ||
    fail "$level: seeds 23 and $seed drew the same rooms"
  echo "$level: seed 23 drew: $(layout "$work/$level.trace")"
  echo "$level: seed $seed drew: $(layout "$work/$level-other.trace")"
}
