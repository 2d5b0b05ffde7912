# Shared by the sample_fight_*.sh scripts: one sample level's fight played
# to its end from its checked-in input script (fixtures/sample-game/LEVEL.txt)
# in a work copy of rsc whose level order is that level alone, twice with one
# seed. Usage: source sample_fight_common.bash EXE SRCDIR WORKDIR
source "$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")/e2e_common.bash" "$@"
export TAVRIN_TRACE_MESSAGES=ObjectCreated,ObjectDestroyed,PlaySound,PlayBackgroundSound,BossHealthChanged,TriggerActivated,LevelLoaded,GoalReached,InitiateVictory,GameComplete
export TAVRIN_FIXED_DT=0.032 TAVRIN_SEED=23
unset TAVRIN_SAMPLE_SCENE

# fight_copy LEVEL: the start scene that goes through the loading screen as
# the main menu's Play does, the UI's debug load, "max-fps" raised so game
# time outruns real time, the level order LEVEL alone, and the level's own
# tuning (fixtures/sample-game/LEVEL.bash, run inside the copy) when it has one.
fight_copy() {
  local level=$1
  mkdir -p rsc/scenes
  cp "$src/tests/e2e/fixtures/yak-arena-start.scn" rsc/scenes/
  printf '<UiSystem>\n  <debug>1</debug>\n  <start-scene>yak-arena-start</start-scene>\n</UiSystem>\n' > rsc/uisystem.xcfg
  sed -i 's|<max-fps>[^<]*</max-fps>|<max-fps>10000.000000</max-fps>|' rsc/coresystem.xcfg
  echo "<$level />" > rsc/levels/levels.xlod
  local tuning="$src/tests/e2e/fixtures/sample-game/$level.bash"
  if [ -f "$tuning" ]; then (cd "$work" && source "$tuning"); fi
}

# play_fight LEVEL FRAMES: two runs of FRAMES frames with the level's input
# script; each must end through the normal shutdown with exit 0, clean, with
# no missing composition and no GL error, and the two traces must be the
# same. The first run's trace lines are left in $work/LEVEL.trace.
play_fight() {
  local level=$1 frames=$2 traces=()
  export TAVRIN_INPUT_SCRIPT="$src/tests/e2e/fixtures/sample-game/$level.txt"
  for run in first second; do
    small_window "$level-$run"
    TAVRIN_MAX_FRAMES=$frames keepXdg=1 run_program "$level-$run"
    expect_clean_run "$level-$run"
    local log
    log=$(log_file)
    expect_line "$log" "Run ended after $frames frames"
    expect_line "$log" "Terminating application"
    expect_no_line "$log" "Could not find composition"
    expect_no_line "$log" "GL error"
    expect_no_line "$log" "$level.txt:"  # a malformed script line is reported by line
    traces+=("$(grep -o "trace frame .*" "$log")")
  done
  [ "${traces[0]}" = "${traces[1]}" ] || fail "$level: the two runs traced differently"
  printf '%s\n' "${traces[0]}" > "$work/$level.trace"
}

# expect_in_order TRACE PATTERN...: each extended regular expression matches
# a line after the line that matched the one before it.
expect_in_order() {
  local trace=$1; shift
  local -a lines
  mapfile -t lines < "$trace"
  local at=0 pattern
  for pattern in "$@"; do
    while [ "$at" -lt "${#lines[@]}" ] && ! [[ "${lines[$at]}" =~ $pattern ]]; do at=$((at + 1)); done
    [ "$at" -lt "${#lines[@]}" ] || fail "$trace: no line matching '$pattern' after the ones before it"
    at=$((at + 1))
  done
}

# before_goal TRACE: the trace lines up to the first "GoalReached()".
before_goal() { sed '/GoalReached()/q' "$1"; }
