#!/usr/bin/env bash
# The game under a real X server (Xvfb, no window manager): its window is
# titled "Brisa and Qil: Lantern Vaults" and covers the 1280 x 720 screen
# (first run, no settings), a key typed with xdotool reaches a "KeyTriggered"
# listener (Input's debug listener logs it), SIGTERM ends the run with exit 0
# and the window settings are saved. A second run with 800 x 600 windowed
# settings shows a centred 800 x 600 window at (240, 60).
set -euo pipefail
exe=$1; src=$2; work=$3
rm -rf "$work"; mkdir -p "$work"
cp -r "$src/rsc" "$work/rsc"
echo '<Input><Debug>1</Debug></Input>' > "$work/rsc/input.xcfg"
cd "$work"
export XDG_DATA_HOME="$work/xdg"
unset SDL_VIDEODRIVER TAVRIN_MAX_FRAMES TAVRIN_INPUT_SCRIPT
export TAVRIN_FIXED_DT=0.016
folder="$XDG_DATA_HOME/Brisa and Qil Lantern Vaults"

cat > inner.sh <<'INNER'
set -euo pipefail
exe=$1; want_x=$2; want_y=$3; want_w=$4; want_h=$5
"$exe" > game.out 2>&1 &
pid=$!
win=""
for _ in $(seq 1 200); do
  win=$(xdotool search --name "^Brisa and Qil: Lantern Vaults$" 2>/dev/null | head -n1 || true)
  [ -n "$win" ] && break
  kill -0 "$pid" 2>/dev/null || { echo "game exited before its window appeared"; cat game.out; exit 1; }
  sleep 0.1
done
[ -n "$win" ] || { echo "no window titled 'Brisa and Qil: Lantern Vaults'"; kill -9 "$pid"; exit 1; }
eval "$(xdotool getwindowgeometry --shell "$win")"
echo "window $win at $X,$Y size ${WIDTH}x$HEIGHT"
[ "$X,$Y,$WIDTH,$HEIGHT" = "$want_x,$want_y,$want_w,$want_h" ] || {
  echo "expected the window at $want_x,$want_y size ${want_w}x$want_h"; kill -9 "$pid"; exit 1; }
xdotool windowfocus --sync "$win" 2>/dev/null || true
sleep 0.5
xdotool key --delay 100 a
sleep 1
kill -TERM "$pid"
status=0
wait "$pid" || status=$?
echo "exit status $status"
exit "$status"
INNER

xvfb-run -a -s "-screen 0 1280x720x24" bash inner.sh "$exe" 0 0 1280 720

log="$folder/error_log.log"
grep -q "KeyTriggered(65, 1)" "$log" || { echo "no KeyTriggered(65, 1) in $log"; cat "$log"; exit 1; }
grep -q "KeyTriggered(65, 0)" "$log" || { echo "no KeyTriggered(65, 0) in $log"; exit 1; }
settings="$folder/UserConfig.xcfg"
grep -q "<WindowWidth>1280</WindowWidth>" "$settings"
grep -q "<WindowHeight>720</WindowHeight>" "$settings"
grep -q "<Fullscreen>1</Fullscreen>" "$settings"

printf '<UserSettings><WindowWidth>800</WindowWidth><WindowHeight>600</WindowHeight><Fullscreen>0</Fullscreen></UserSettings>' > "$settings"
xvfb-run -a -s "-screen 0 1280x720x24" bash inner.sh "$exe" 240 60 800 600
grep -q "<WindowWidth>800</WindowWidth>" "$settings"
grep -q "<Fullscreen>0</Fullscreen>" "$settings"
echo "window, key and settings checked"
