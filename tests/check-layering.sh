#!/usr/bin/env bash
# Fails when an engine, game or tool source includes a header of a library
# above its own, or a third-party header outside the one folder allowed to use
# it (the rules and the order are in check-layering.py, which does the work:
# a shell loop forking per include line grew to a minute on this tree).
# Usage: check-layering.sh [SOURCE_DIR]
set -euo pipefail
exec python3 "$(dirname "$0")/check-layering.py" "${1:-$(cd "$(dirname "$0")/.." && pwd)}"
