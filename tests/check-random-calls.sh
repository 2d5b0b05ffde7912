#!/usr/bin/env bash
# Fails when game code calls the C library's random numbers (rand, std::rand,
# srand): their range is not 0..32767 on Linux, and every random formula of
# the game assumes it. The game uses the engine's Rand, RandomFloat and
# RandomRange. Comment lines are not checked.
# Usage: check-random-calls.sh [SOURCE_DIR]
set -euo pipefail
root=${1:-$(cd "$(dirname "$0")/.." && pwd)}
cd "$root"
[ -d game ] || { echo "no game folder under $root"; exit 1; }

hits=$(find game -type f \( -name '*.h' -o -name '*.cpp' \) -print0 | sort -z |
       xargs -0 -r grep -HnE '(^|[^A-Za-z0-9_])(std::)?s?rand[[:space:]]*\(' |
       grep -vE '^[^:]+:[0-9]+:[[:space:]]*//' || true)
if [ -n "$hits" ]; then
    echo "$hits"
    echo "game code calls the C library's rand or srand; use Ostrel::Rand (engine/core/Random.h)"
    exit 1
fi
echo "no C library random calls in game code"
