#!/usr/bin/env bash
# The game makes objects from the sample stock archetypes: colliders are
# fitted to the primitive meshes' vertices under the object's scale, the
# "ShapeName" text makes a sphere, and loading the stock archetypes logs no
# error; a mesh reads its tile grid through the "floor-tiles" palette.
set -euo pipefail
source "$(dirname "$0")/e2e_common.bash" "$@"
export TAVRIN_MAX_FRAMES=5

check_object() {
  local archetype=$1 collider=$2
  export TAVRIN_TEST_OBJECT=$archetype
  run_program "game-$archetype"
  local log; log=$(log_file)
  local id
  id=$(sed -n "s/.*Test object \([0-9]*\) created from '$archetype'.*/\1/p" "$log" | head -1)
  [ -n "$id" ] || fail "$archetype: no object was created"
  expect_line "$log" "Test object $id collider: $collider"
  expect_line "$log" "Test object $id destroyed and announced"
  expect_no_line "$log" "stock-objects"
  expect_no_line "$log" "has no TransformComponent"
  echo "$archetype: ok"
}

check_object floor-obj "kind 0, size 20.000 1.000 20.000"
check_object tiled-floor-obj "kind 0, size 8.000 1.000 8.000"
expect_line "$(log_file)" "tiles: 4 x 4 from 'floor-tiles': 0 0 1 0 4 5 5 4 8 9 10 8 12 13 14 15"
expect_no_line "$(log_file)" "floor-tiles.xpal"
expect_no_line "$(log_file)" "no atlas texture"
check_object block-obj "kind 0, size 1.000 1.000 1.000"
check_object crate-obj "kind 0, size 2.000 2.000 2.000"
check_object ball-obj "kind 1, size 0.8"
