#!/usr/bin/env bash
# Takes the README's three pictures of the sample game at 1280 x 720 with the
# Release build, headless, into docs/shots: menu.png (the main menu),
# level.png (the first level after its fly-over) and boss-fight.png (the yak
# boss fight, played by its replay script). Each run works on a copy of rsc/
# in a temporary folder, as the end-to-end tests do; run it after a change
# the pictures should show.
# Usage: scripts/readme-shots.sh [EXECUTABLE]  (default build/release/lantern-vaults)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
exe=$(readlink -f "${1:-$root/build/release/lantern-vaults}")
[ -x "$exe" ] || { echo "no executable at $exe (build the Release tree first)" >&2; exit 1; }
out="$root/docs/shots"
mkdir -p "$out"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
export SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy TAVRIN_FIXED_DT=0.032 TAVRIN_SEED=23
unset TAVRIN_SAMPLE_SCENE TAVRIN_INPUT_SCRIPT

# shot NAME FRAME START-SCENE [LEVEL [SCRIPT]]: frame FRAME of a run that
# starts at START-SCENE (and plays LEVEL alone) into docs/shots/NAME.png.
shot() {
  local name=$1 frame=$2 start=$3 level=${4:-} script=${5:-} work="$scratch/$1"
  mkdir -p "$work"; cp -r "$root/rsc" "$work/rsc"
  mkdir -p "$work/rsc/scenes"
  cp "$root/tests/e2e/fixtures/yak-arena-start.scn" "$work/rsc/scenes/"
  printf '<UiSystem>\n  <debug>1</debug>\n  <start-scene>%s</start-scene>\n</UiSystem>\n' "$start" > "$work/rsc/uisystem.xcfg"
  [ -z "$level" ] || echo "<$level />" > "$work/rsc/levels/levels.xlod"
  local settings="$work/xdg/Brisa and Qil Lantern Vaults"
  mkdir -p "$settings"
  printf '<UserSettings><WindowWidth>1280</WindowWidth><WindowHeight>720</WindowHeight><Fullscreen>0</Fullscreen></UserSettings>' \
    > "$settings/UserConfig.xcfg"
  (cd "$work" && XDG_DATA_HOME="$work/xdg" TAVRIN_INPUT_SCRIPT="$script" TAVRIN_MAX_FRAMES=$((frame + 1)) \
    TAVRIN_SCREENSHOT="$out/$name.png@$frame" "$exe" >/dev/null 2>"$work/err") ||
    { cat "$work/err" >&2; exit 1; }
  [ -f "$out/$name.png" ] || { echo "$name.png was not written" >&2; exit 1; }
  echo "$out/$name.png"
}

printf 'at GameReady\n20 key 32 down\n21 key 32 up\n' > "$scratch/skip.txt"
shot menu 20 main-menu
shot level 80 yak-arena-start yak-nests "$scratch/skip.txt"
shot boss-fight 400 yak-arena-start yak-boss "$root/tests/e2e/fixtures/sample-game/yak-boss.txt"
