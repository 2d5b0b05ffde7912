#!/usr/bin/env bash
# A debug run of the game with the frame profiler switched on by F9: the
# screenshot shows its report, drawn as debug text: the summary line (red)
# in the top-left corner and the section lines ending at the bottom edge of
# the 640 x 400 window; the middle of the frame stays black.
set -euo pipefail
source "$(dirname "$0")/e2e_common.bash" "$@"
# Without the sample scene the game draws nothing but the report.
rm -f "$work/rsc/gfx-test-pkg.pkg"

sed -i 's|<debug>0</debug>|<debug>1</debug>|' rsc/coresystem.xcfg
grep -q '<debug>1</debug>' rsc/coresystem.xcfg || fail "could not switch the debug flag on"
printf '2 key 120 down\n3 key 120 up\n' > "$work/f9.txt"
export XDG_DATA_HOME="$work/xdg-game"
mkdir -p "$XDG_DATA_HOME/$userFolderName"
printf '<UserSettings><WindowWidth>640</WindowWidth><WindowHeight>400</WindowHeight><Fullscreen>0</Fullscreen></UserSettings>' \
  > "$XDG_DATA_HOME/$userFolderName/UserConfig.xcfg"
shot="$work/profiler.png"
TAVRIN_INPUT_SCRIPT="$work/f9.txt" TAVRIN_SCREENSHOT="$shot@20" keepXdg=1 run_program game
[ -f "$shot" ] || fail "no screenshot at $shot"
expect_no_line "$(log_file)" "text is not drawn"

# Prints the number of reddish pixels in the report's top line, of section
# line pixels in the last line's rows, and of lit pixels in the middle of
# the frame.
counts=$(python3 - "$shot" "$(dirname "$0")" <<'PY'
import sys
sys.dont_write_bytecode = True  # no cache files in the source tree
sys.path.insert(0, sys.argv[2])
from png_rows import read_rgba
width, height, rows = read_rgba(sys.argv[1])
red, bottom, elsewhere = 0, 0, 0
for y, line in enumerate(rows):
    for x in range(width):
        r, g, b_ = line[x * 4:x * 4 + 3]
        if x < 200 and y < 20 and r > 128 and g < 100:
            red += 1
        elif x < 300 and y >= height - 14 and b_ > r and b_ > 0:
            bottom += 1
        elif 300 <= x < 500 and 60 <= y < 140 and r + g + b_ > 0:
            elsewhere += 1
print(red, bottom, elsewhere)
PY
)
read -r red bottom elsewhere <<<"$counts"
[ "$red" -gt 20 ] || fail "the profiler's summary line is not on screen ($red red pixels)"
[ "$bottom" -gt 20 ] || fail "the profiler's last section line does not end at the bottom ($bottom pixels)"
[ "$elsewhere" -eq 0 ] || fail "$elsewhere lit pixels in the middle of the frame"
echo "profiler report: $red red pixels, $bottom in the last line; ok"
