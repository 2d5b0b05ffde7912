#!/usr/bin/env bash
# The executable starts headless in each of its three modes and exits 0.
set -euo pipefail
exe=$1; src=$2; work=$3
rm -rf "$work"; mkdir -p "$work"
cp -r "$src/rsc" "$work/rsc"
cd "$work"
export XDG_DATA_HOME="$work/xdg"
export TAVRIN_MAX_FRAMES=${TAVRIN_MAX_FRAMES:-10} TAVRIN_FIXED_DT=0.016
for args in "" "-l" "-m"; do
  "$exe" $args
done
echo "all three programs exited 0"
