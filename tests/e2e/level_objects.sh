#!/usr/bin/env bash
# The shipped level objects in the real game, headless. A menhir gate made as
# the test object rises with its sound and makes a rumble object; a rumble
# object whirls its effect around an anchor and all three go on time (the
# rumble object after 0.2 s, the anchor and the effect once the effect's
# 1.6 s are over; frames are 0.032 s, the engine's frame cap). The probe
# removes the test object itself after three brain steps, so the times are
# read from the objects the test objects make. Nothing they ask for is
# missing.
set -euo pipefail
source "$(dirname "$0")/e2e_common.bash" "$@"
export TAVRIN_TRACE_MESSAGES=ObjectCreated,ObjectDestroyed,PlaySound
export TAVRIN_MAX_FRAMES=70 TAVRIN_FIXED_DT=0.032

export TAVRIN_TEST_OBJECT=menhir-gate-obj
run_program game-gate
expect_clean_run game-gate
log=$(log_file)
expect_line "$log" "PlaySound(menhir-move-sfx)"
grep -q "ObjectCreated([0-9]* 'rumble-obj')" "$log" || fail "the gate made no rumble object"
grep -q "ObjectCreated([0-9]* 'anchor-obj')" "$log" || fail "the gate's rumble made no anchor"
for text in "could not be created" "has no BrainComponent" "Could not find composition"; do
  expect_no_line "$log" "$text"
done
frames() { sed -n "s/.*trace frame \([0-9]*\): $1([0-9]* 'rumble-obj').*/\1/p" "$log" | head -1; }
lived=$(( $(frames ObjectDestroyed) - $(frames ObjectCreated) ))
# 0.2 s: more than 6 frames of 0.032 s.
[ "$lived" -ge 7 ] && [ "$lived" -le 8 ] || fail "the rumble object lived $lived frames"
echo "gate: ok"

export TAVRIN_TEST_OBJECT=rumble-obj
run_program game-rumble
expect_clean_run game-rumble
log=$(log_file)
for name in rumble-obj anchor-obj rumble-fx; do
  grep -q "ObjectCreated([0-9]* '$name')" "$log" || fail "no $name was made"
  grep -q "ObjectDestroyed([0-9]* '$name')" "$log" || fail "$name was never removed"
done
frame_of() { sed -n "s/.*trace frame \([0-9]*\): $1([0-9]* '$2').*/\1/p" "$log" | head -1; }
made=$(frame_of ObjectCreated rumble-fx)
gone=$(frame_of ObjectDestroyed rumble-fx)
[ "$(frame_of ObjectDestroyed anchor-obj)" = "$gone" ] || fail "the anchor and the effect went apart"
# 1.6 s at 0.032 s a frame: 50 frames, and the removal shows at the next one.
[ $((gone - made)) -ge 50 ] && [ $((gone - made)) -le 52 ] || fail "effect lived $((gone - made)) frames"
expect_no_line "$log" "could not be created"
echo "rumble: ok"
