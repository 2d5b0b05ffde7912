# Shared by the end-to-end scripts: a fresh copy of the sample data in a work
# folder, headless drivers, and helpers to run one program and check its log.
# Usage: source e2e_common.bash EXE SRCDIR WORKDIR
exe=$1; src=$2; work=$3
e2eDir="$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")"
rm -rf "$work"; mkdir -p "$work"
cp -r "$src/rsc" "$work/rsc"
cd "$work"
# Most scripts look at the graphics test scene, not at the menus: no start
# scene, and the sample scene placed. A script that plays the menus writes
# the shipped configuration back and unsets TAVRIN_SAMPLE_SCENE.
printf '<UiSystem>\n  <debug>0</debug>\n</UiSystem>\n' > "$work/rsc/uisystem.xcfg"
export SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy
export TAVRIN_MAX_FRAMES=30 TAVRIN_FIXED_DT=0.016 TAVRIN_SAMPLE_SCENE=1
unset TAVRIN_INPUT_SCRIPT TAVRIN_SCREENSHOT
userFolderName="Brisa and Qil Lantern Vaults"

fail() { echo "FAIL: $*" >&2; exit 1; }

# run_program NAME [ARGS...]: runs with its own XDG_DATA_HOME ($work/xdg-NAME
# unless XDG_DATA_HOME is preset by the caller); stdout, stderr in NAME.out,
# NAME.err; fails unless the exit code is 0.
run_program() {
  local name=$1; shift
  if [ -z "${keepXdg:-}" ]; then
    export XDG_DATA_HOME="$work/xdg-$name"
    rm -rf "$XDG_DATA_HOME"; mkdir -p "$XDG_DATA_HOME"
  fi
  local code=0
  "$exe" "$@" >"$work/$name.out" 2>"$work/$name.err" || code=$?
  [ "$code" -eq 0 ] || { cat "$work/$name.err" >&2; fail "$name ($*) exited $code"; }
}

# The log file of the last run.
log_file() { echo "$XDG_DATA_HOME/$userFolderName/error_log.log"; }

# expect_line FILE TEXT: TEXT occurs as a fixed string in FILE.
expect_line() { grep -qF -- "$2" "$1" || fail "$1 lacks: $2"; }
# expect_no_line FILE TEXT
expect_no_line() { ! grep -qF -- "$2" "$1" || fail "$1 holds: $2"; }

# expect_clean_run NAME: the run's stderr holds no sanitizer report.
expect_clean_run() {
  ! grep -qE "runtime error:|AddressSanitizer|LeakSanitizer" "$work/$1.err" ||
    { cat "$work/$1.err" >&2; fail "$1: sanitizer report"; }
}

# user_folder NAME: a fresh per-user folder for a run with keepXdg=1; its
# path is left in $settings.
user_folder() {
  export XDG_DATA_HOME="$work/xdg-$1"
  rm -rf "$XDG_DATA_HOME"
  settings="$XDG_DATA_HOME/$userFolderName"
  mkdir -p "$settings"
}

# small_window NAME: a fresh per-user folder whose settings ask for a 320 x
# 200 window, for long runs (use with keepXdg=1): the software renderer's cost
# grows with the window, and these runs check traces, not pictures.
small_window() {
  user_folder "$1"
  printf '<UserSettings><WindowWidth>320</WindowWidth><WindowHeight>200</WindowHeight><Fullscreen>0</Fullscreen></UserSettings>' \
    > "$settings/UserConfig.xcfg"
}

# level_start: the first lines of an input script that plays a level: the
# frames after them count from "GameReady" (the level is up), and a Space at
# 20 skips the camera's fly-over, which holds the keys until then.
level_start() { printf 'at GameReady\n20 key 32 down\n21 key 32 up\n'; }

# magenta_pixels PNG: how many pixels of the picture are magenta (the target
# dummies' colour): red and blue well above green.
magenta_pixels() {
  python3 - "$e2eDir" "$1" <<'PY'
import sys
sys.path.insert(0, sys.argv[1])
from png_rows import read_rgba
width, height, rows = read_rgba(sys.argv[2])
count = 0
for line in rows:
    for x in range(0, width * 4, 4):
        r, g, b = line[x], line[x + 1], line[x + 2]
        if r > 60 and b > 40 and r > 2 * g + 20 and b > 2 * g + 10:
            count += 1
print(count)
PY
}

# shoot_scene NAME SKIP: a 320 x 200 run of the game in a fresh per-user
# folder (10 frames, the sample scene without the archetypes named in SKIP),
# frame 8 written to $work/shots/NAME.png; the run must be clean.
shoot_scene() {
  local name=$1 skip=$2
  mkdir -p "$work/shots"
  small_window "$name"
  TAVRIN_MAX_FRAMES=10 TAVRIN_SCREENSHOT="$work/shots/$name.png@8" TAVRIN_SCENE_SKIP="$skip" keepXdg=1 \
    run_program "$name"
  expect_clean_run "$name"
  expect_line "$(log_file)" "Screenshot of frame 8 written to '$work/shots/$name.png' (320 x 200)"
}

# Room files are nested, one value a line, as the editor writes them.
# room_drop FILE ARCHETYPE: removes every object of that archetype.
# room_sub FILE ARCHETYPE OLD NEW: replaces the text OLD by NEW inside the
# first object of that archetype (fails when OLD is not there).
room_drop() {
  python3 - "$@" <<'PY' || fail "room_drop $*"
import re, sys
path, name = sys.argv[1], re.escape(sys.argv[2])
text = open(path).read()
text, count = re.subn(r"\n[ \t]*<%s\s*/>|\n[ \t]*<%s>(?:(?!</%s>).)*</%s>" % (name, name, name, name), "", text, flags=re.S)
open(path, "w").write(text)
sys.exit(0 if count else 1)
PY
}
room_sub() {
  python3 - "$@" <<'PY' || fail "room_sub $*"
import re, sys
path, name, old, new = sys.argv[1:5]
text = open(path).read()
found = re.search(r"<%s>(?:(?!</%s>).)*</%s>" % ((re.escape(name),) * 3), text, flags=re.S)
if not found or old not in found.group(0): sys.exit(1)
start, end = found.span()
open(path, "w").write(text[:start] + found.group(0).replace(old, new, 1) + text[end:])
PY
}
