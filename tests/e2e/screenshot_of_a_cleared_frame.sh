#!/usr/bin/env bash
# TAVRIN_SCREENSHOT=FILE@FRAME in the game, the editor and the viewer: each
# writes a PNG of the window's size (320 x 200 windowed) with the frame
# cleared to opaque black, and logs it.
set -euo pipefail
source "$(dirname "$0")/e2e_common.bash" "$@"
# Without the sample scene the game has no camera and draws a cleared frame.
rm -f "$work/rsc/gfx-test-pkg.pkg"
# The editor's three bars are placed small in the bottom-right corner, away
# from the probed pixel.
{
  echo "<LevelEditor>"
  for bar in System Object Palette; do
    echo "<${bar}BarSizeX>40</${bar}BarSizeX><${bar}BarSizeY>30</${bar}BarSizeY>"
    echo "<${bar}BarPosX>270</${bar}BarPosX><${bar}BarPosY>160</${bar}BarPosY>"
  done
  echo "</LevelEditor>"
} > "$work/rsc/leveleditor.xcfg"
# The viewer's bar goes there too, and without its floor and sky archetypes
# it draws a cleared frame as well.
printf '<ModelView><SystemBarSizeX>40</SystemBarSizeX><SystemBarSizeY>30</SystemBarSizeY><SystemBarPosX>270</SystemBarPosX><SystemBarPosY>160</SystemBarPosY></ModelView>' \
  > "$work/rsc/modelview.xcfg"
sed -i '/^viewer-objects$/d' "$work/rsc/loading-pkg.pkg"
rm -f "$work/rsc/objects/viewer-objects.xobj"

# Prints "WIDTH HEIGHT R G B A" of a PNG at pixel (X, Y).
png_probe() { python3 "$(dirname "$0")/png_rows.py" "$1" "$2" "$3"; }

check_screenshot() {
  local name=$1; shift
  export XDG_DATA_HOME="$work/xdg-$name"
  rm -rf "$XDG_DATA_HOME"; mkdir -p "$XDG_DATA_HOME/$userFolderName"
  printf '<UserSettings><WindowWidth>320</WindowWidth><WindowHeight>200</WindowHeight><Fullscreen>0</Fullscreen></UserSettings>' \
    > "$XDG_DATA_HOME/$userFolderName/UserConfig.xcfg"
  local shot="$work/shot-$name.png"
  TAVRIN_SCREENSHOT="$shot@5" keepXdg=1 run_program "$name" "$@"
  [ -f "$shot" ] || fail "$name: no screenshot at $shot"
  [ ! -e "$shot.tmp" ] || fail "$name: the temporary file was left"
  expect_line "$(log_file)" "Screenshot of frame 5 written to '$shot' (320 x 200)"
  local probe; probe=$(png_probe "$shot" 160 100)
  [ "$probe" = "320 200 0 0 0 255" ] || fail "$name: screenshot reads '$probe'"
  echo "$name: ok"
}

check_screenshot game
check_screenshot editor -l
check_screenshot viewer -m
