# Shared by the replays of the sample game (sample_fight_*.sh, one level
# each, and sample_game.sh, the whole game): a fixed step and seed, the
# trace they read, a work copy of rsc that plays given levels from the
# shipped main menu, the levels' input scripts and an ordered check.
# Sourced after e2e_common.bash.
#
# Re-recording: a level's script (fixtures/sample-game/LEVEL.txt) counts its
# frames from the level's "GameReady" and is authored against the seed
# below; the header of its sample_fight_LEVEL.sh says how its frames were
# found. After tuning the rooms, the archetypes or the player, replay that
# level alone (ctest -R sample_fight_LEVEL), read the positions and the
# trace of the run, and move the frames of its script.
export TAVRIN_FIXED_DT=0.032 TAVRIN_SEED=23
unset TAVRIN_SAMPLE_SCENE
export TAVRIN_TRACE_MESSAGES=GameFreshStart,LevelLoaded,GameReady,ObjectCreated,PlaySound,PlayBackgroundSound,BossHealthChanged,TriggerActivated,GoalReached,InitiateVictory,GameComplete,StopLoop
sampleGame="$e2eDir/fixtures/sample-game"

# sample_game_copy LEVEL...: the work copy plays LEVEL... in that order from
# the shipped start, with the UI system's "debug" (the main menu is up at
# frame 1 in every run) and the frame cap raised so game time outruns real
# time; each level's LEVEL.bash tunes the copy.
sample_game_copy() {
  printf '<%s />\n' "$@" > "$work/rsc/levels/levels.xlod"
  sed 's|<debug>0</debug>|<debug>1</debug>|' "$src/rsc/uisystem.xcfg" > "$work/rsc/uisystem.xcfg"
  sed -i 's|<max-fps>[^<]*</max-fps>|<max-fps>10000.000000</max-fps>|' "$work/rsc/coresystem.xcfg"
  local level
  for level in "$@"; do
    if [ -f "$sampleGame/$level.bash" ]; then (cd "$work" && source "$sampleGame/$level.bash"); fi
  done
}

# level_script LEVEL: the level's input script.
level_script() { cat "$sampleGame/$1.txt"; }

# in_order LOG TEXT...: each TEXT (a fixed string) is on a line of LOG after
# the line of the TEXT before it.
in_order() {
  local log=$1; shift
  local line=0 text found
  for text in "$@"; do
    found=$(tail -n +"$((line + 1))" "$log" | grep -nF -m 1 -- "$text" | cut -d: -f1 || true)
    [ -n "$found" ] || fail "$(basename "$log"): no '$text' after line $line"
    line=$((line + found))
  done
}
