#!/usr/bin/env bash
# TAVRIN_INPUT_SCRIPT drives the editor headless: keys go in, and a scripted
# window-close request ends the run (the tools quit on close); the game
# ignores the same request and runs to its frame limit.
set -euo pipefail
exe=$1; src=$2; work=$3
rm -rf "$work"; mkdir -p "$work"
cp -r "$src/rsc" "$work/rsc"
cd "$work"
export XDG_DATA_HOME="$work/xdg" SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy TAVRIN_FIXED_DT=0.016
printf '2 key 65 down\n3 key 65 up\n4 text a\nnot a line\n5 close\n' > close.txt
export TAVRIN_INPUT_SCRIPT="$work/close.txt"

# The editor, with no frame limit: only the scripted close can end it before
# the timeout kills it (exit 124).
timeout 60 "$exe" -l
log="$XDG_DATA_HOME/Brisa and Qil Lantern Vaults/error_log.log"
grep -q "close.txt:4: malformed input-script line 'not a line', skipped" "$log" || {
  echo "the malformed line was not reported"; cat "$log"; exit 1; }

# The game ignores the close request and ends at its frame limit.
TAVRIN_MAX_FRAMES=20 timeout 60 "$exe"
echo "scripted close ends the editor and not the game"
