#!/usr/bin/env bash
# The game, the level editor (-l) and the model viewer (-m, here with a
# further argument, which it reports as ignored) start headless on
# the sample data, run 30 frames and shut down: each exits 0, registers its
# systems in its own update order, never touches the sound system in the
# tools, writes the log start and end lines and the user settings, frees
# every object, steps an object made from an archetype through its
# announcement, its brain and its destruction (the editor, which pauses the
# world, only announces it), and logs nothing else: the
# shipped data holds no record that is reported, and every font it asks for
# is found.
set -euo pipefail
source "$(dirname "$0")/e2e_common.bash" "$@"
export TAVRIN_TEST_OBJECT=brain-obj

game="ObjectManager, WindowSystem, Input, SoundSystem, Graphics, UiSystem, CoreSystem, AnimationSystem, Physics, LogicSystem, ScriptSystem, GameSystem"
editor="ObjectManager, WindowSystem, Input, Graphics, UiSystem, CoreSystem, AnimationSystem, Physics, LogicSystem, ScriptSystem, LevelEditor, GameSystem"
viewer="ObjectManager, WindowSystem, Input, Graphics, CoreSystem, AnimationSystem, Physics, LogicSystem, ScriptSystem, ModelView, GameSystem"

check_program() {
  local name=$1 order=$2 count=$3; shift 3
  run_program "$name" "$@"
  local log; log=$(log_file)
  [ -f "$log" ] || fail "$name: no log file at $log"
  expect_line "$log" "Starting application"
  expect_line "$log" "Terminating application"
  expect_line "$log" "Update order ($count): $order"
  expect_line "$log" "Run ended after 30 frames"
  [ -f "$XDG_DATA_HOME/$userFolderName/UserConfig.xcfg" ] || fail "$name: UserConfig.xcfg not written"
  expect_no_line "$work/$name.out" "Not all compositions were freed"
  # The test object: made from the archetype, announced, stepped by its
  # brain, destroyed and announced again. The editor pauses the world at its
  # first frame, so there the brain never steps and the object stays.
  local id
  id=$(sed -n "s/.*Test object \([0-9]*\) created from 'brain-obj'.*/\1/p" "$log" | head -1)
  [ -n "$id" ] || fail "$name: the test object was not created"
  expect_line "$log" "Test object $id announced"
  if [ "$name" = editor ]; then
    expect_no_line "$log" "Test action of object $id"
  else
    expect_line "$log" "Test action of object $id ran 3 steps"
    expect_line "$log" "Test object $id destroyed and announced"
  fi
  local other
  # The graphics system reports its programs and targets once; the game
  # without rooms places the sample scene. Those lines are expected. The
  # debug font asks for "Arial", which the installed fonts answer, so no
  # font line is among them.
  expect_no_line "$log" "font family"
  other=$(grep -vE "^\[.*\] (Starting|Terminating) application$|^Update order|^Run ended after|^Test (object|action) |^Graphics ready: 9 of 9 shader programs, 5 render targets of [0-9]+ x [0-9]+$|^Sample scene: [0-9]+ objects placed from 'gfx-test-pkg'$" "$log" || true)
  [ -z "$other" ] || fail "$name: the log reports: $other"
  echo "$name: ok"
}

check_program game "$game" 12
# The first argument chooses; what follows it is reported and ignored.
check_program editor "$editor" 12 -l -m
check_program viewer "$viewer" 11 -m box.fbx
expect_line "$work/editor.err" "Command line: '-m' ignored; the level editor takes no further arguments"
expect_line "$work/viewer.err" "Command line: 'box.fbx' ignored; the model viewer takes no further arguments"
# The tools never add the sound system: it is neither configured, created,
# updated nor shut down there.
for name in editor viewer; do
  expect_no_line "$(XDG_DATA_HOME="$work/xdg-$name" log_file)" "SoundSystem"
done
echo "all three programs ran and stopped in order"
