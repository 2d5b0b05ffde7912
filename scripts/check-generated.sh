#!/usr/bin/env bash
# Fails when the checked-in output of one of our generators is not what the
# generator writes today: runs GENERATOR into a fresh SCRATCH folder and
# compares every file it writes, byte for byte, with the file of that name in
# FOLDER. A file in FOLDER with one of the extensions EXT that the generator
# no longer writes is reported as well: it would ship content nobody can make
# again. Other files in FOLDER (hand-written records) are not looked at.
# Usage: check-generated.sh GENERATOR FOLDER SCRATCH EXT...
# The tests "sounds-generated" (tools/sound-gen, rsc/sounds) and
# "models-generated" (tools/model-writer, rsc/models) run it.
set -euo pipefail
[ $# -ge 4 ] || { echo "usage: $0 GENERATOR FOLDER SCRATCH EXT..." >&2; exit 2; }
generator=$1; folder=$2; scratch=$3; shift 3

rm -rf "$scratch"; mkdir -p "$scratch"
"$generator" "$scratch" >/dev/null || { echo "FAIL: $generator exited $?" >&2; exit 1; }

bad=0; written=0
for made in "$scratch"/*; do
  [ -f "$made" ] || continue
  name=$(basename "$made"); written=$((written + 1))
  if [ ! -f "$folder/$name" ]; then
    echo "FAIL: $name is written by the generator but not checked in under $folder" >&2; bad=1
  elif ! cmp -s "$made" "$folder/$name"; then
    echo "FAIL: $folder/$name differs from what the generator writes" >&2; bad=1
  fi
done
[ "$written" -gt 0 ] || { echo "FAIL: the generator wrote nothing" >&2; exit 1; }

for ext in "$@"; do
  for shipped in "$folder"/*."$ext"; do
    [ -f "$shipped" ] || continue
    name=$(basename "$shipped")
    [ -f "$scratch/$name" ] ||
      { echo "FAIL: $folder/$name is not written by the generator any more" >&2; bad=1; }
  done
done
[ "$bad" -eq 0 ] && echo "$written files match $folder"
exit "$bad"
