#!/usr/bin/env bash
# TAVRIN_SCREENSHOT=FILE@FRAME in the game, the editor and the viewer: each
# writes a PNG of the window's size (320 x 200 windowed) with the frame
# cleared to opaque black, and logs it.
set -euo pipefail
source "$(dirname "$0")/e2e_common.bash" "$@"

# Prints "WIDTH HEIGHT R G B A" of a PNG (8-bit RGBA, any filter) at pixel (X, Y).
png_probe() {
  python3 - "$1" "$2" "$3" <<'PY'
import struct, sys, zlib
data = open(sys.argv[1], 'rb').read()
assert data[:8] == b'\x89PNG\r\n\x1a\n', 'not a PNG'
pos, idat = 8, b''
while pos < len(data):
    length, kind = struct.unpack('>I4s', data[pos:pos + 8])
    body = data[pos + 8:pos + 8 + length]
    if kind == b'IHDR':
        width, height, depth, colour = struct.unpack('>IIBB', body[:10])
        assert depth == 8 and colour == 6, 'not 8-bit RGBA'
    elif kind == b'IDAT':
        idat += body
    pos += 12 + length
raw, stride, rows, prev = zlib.decompress(idat), width * 4, [], bytearray(width * 4)
for y in range(height):
    kind, line = raw[y * (stride + 1)], bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
    for i in range(stride):
        a = line[i - 4] if i >= 4 else 0
        b, c = prev[i], (prev[i - 4] if i >= 4 else 0)
        if kind == 1: line[i] = (line[i] + a) & 255
        elif kind == 2: line[i] = (line[i] + b) & 255
        elif kind == 3: line[i] = (line[i] + (a + b) // 2) & 255
        elif kind == 4:
            p = a + b - c
            pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
            line[i] = (line[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
    rows.append(line)
    prev = line
x, y = int(sys.argv[2]), int(sys.argv[3])
print(width, height, *rows[y][x * 4:x * 4 + 4])
PY
}

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
