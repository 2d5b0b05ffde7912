#!/usr/bin/env bash
# Scripts written to end, stall or grow the game, each in the shipped game's
# place (the start-up script, the boot scene): every run ends at its frame
# limit with exit 0, the run-end line and the settings saved, and logs what
# was stopped.
#  1. exit: the start-up script calls os.exit(7) (no os library: a Lua error).
#  2. pushes: the boot scene's 0-s repeating timer pushes the boot scene
#     again every frame; the stack stops at its limit with one line.
#  3. recursion: the boot scene's LoadScene calls itself.
#  4. crashers: the boot scene nests groups 200,000 deep and runs the two
#     patterns that recurse or backtrack in C; each is a Lua error (this run
#     is the one to repeat with a Release build, where a stack overflow is a
#     SIGSEGV and not a sanitizer line).
#  5. spin: the start-up script loops for ever; a SIGTERM sent while it runs
#     ends the program within 5 s.
set -euo pipefail
here="$(dirname "$(readlink -f "$0")")"
source "$here/e2e_common.bash" "$@"

cp "$src/rsc/uisystem.xcfg" "$work/rsc/uisystem.xcfg"
unset TAVRIN_SAMPLE_SCENE
startup="$work/rsc/ui/startup-script.lua"
boot="$work/rsc/ui/boot.scn"
cp "$startup" "$work/startup.orig"
cp "$boot" "$work/boot.orig"

ends_in_order() {
  local log; log=$(log_file)
  expect_clean_run "$1"
  expect_line "$log" "Run ended after $2 frames"
  [ -f "$XDG_DATA_HOME/$userFolderName/UserConfig.xcfg" ] || fail "$1: settings not saved"
}

printf '\nos.exit(7)\n' >> "$startup"
small_window exit
TAVRIN_MAX_FRAMES=5 keepXdg=1 run_program exit
ends_in_order exit 5
expect_line "$(log_file)" "lua [startup-script]:"
expect_line "$(log_file)" "attempt to index global 'os'"
cp "$work/startup.orig" "$startup"
echo "exit: the game went on"

cat > "$boot" <<'LUA'
function LoadScene(scene)
  scene:SetName("boot")
  local timer = UiTimerHandler.new()
  timer:SetTimeout(0)
  timer:SetRepeating(true)
  timer:SetRaiseEvent("Again")
  scene:AddHandler(timer)
  local again = UiSceneChangeHandler.new()
  again:SetResponseEvent("Again")
  again:SetTargetScene("boot")
  again:SetSceneChangeMethod(UiSceneChangeMethod.Push)
  scene:AddHandler(again)
end
LUA
small_window pushes
TAVRIN_MAX_FRAMES=120 keepXdg=1 run_program pushes
ends_in_order pushes 120
[ "$(grep -c "not pushed: the scene stack holds 64 scenes already" "$(log_file)")" -eq 1 ] ||
  fail "pushes: not one stack-full line"
echo "pushes: the stack stopped at 64"

printf 'function LoadScene(scene) LoadScene(scene) end\n' > "$boot"
small_window recursion
TAVRIN_MAX_FRAMES=5 keepXdg=1 run_program recursion
ends_in_order recursion 5
expect_line "$(log_file)" "lua [boot]: "
expect_line "$(log_file)" "calls nested more than 200 deep"
cp "$work/boot.orig" "$boot"
echo "recursion: stopped"

cat > "$boot" <<'LUA'
function LoadScene(scene)
  scene:SetName("boot")
  local _, deep = pcall(function()
    local g = UiScrollGroup.new()
    for i = 1, 200000 do local p = UiScrollGroup.new(); p:AddElement(g); g = p end
    scene:AddElement(g)
  end)
  local _, long = pcall(string.find, string.rep("a", 300000), string.rep("a?", 300000) .. string.rep("a", 300000))
  local _, costly = pcall(string.find, ("a"):rep(40), ("a*"):rep(40) .. "b")
  error(table.concat({tostring(deep), tostring(long), tostring(costly)}, " | "))
end
LUA
small_window crashers
TAVRIN_MAX_FRAMES=5 keepXdg=1 run_program crashers
ends_in_order crashers 5
expect_line "$(log_file)" "groups nested more than 32 deep"
expect_line "$(log_file)" "the pattern is longer than 256 bytes"
expect_line "$(log_file)" "the pattern is too costly"
cp "$work/boot.orig" "$boot"
echo "crashers: Lua errors"

printf '\nwhile true do end\n' >> "$startup"
small_window spin
TAVRIN_MAX_FRAMES=100000 "$exe" >"$work/spin.out" 2>"$work/spin.err" &
pid=$!
for _ in $(seq 1 100); do [ -s "$(log_file)" ] && break; sleep 0.05; done
sleep 0.3
kill -TERM "$pid"
for _ in $(seq 1 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$pid" 2>/dev/null; then kill -KILL "$pid"; fail "spin: still running 5 s after SIGTERM"; fi
code=0; wait "$pid" || code=$?
[ "$code" -eq 0 ] || { cat "$work/spin.err" >&2; fail "spin: exit $code"; }
expect_clean_run spin
echo "spin: SIGTERM ended it"
